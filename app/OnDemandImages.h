#pragma once

#include <QObject>
#include <QTextObjectInterface>

class QTextDocument;

// Draws the pictures of a text document, decoding each one the first time it
// is painted, when its <img> gives both width and height. The toolkit's own
// handler decodes every picture of a page as soon as the page is laid out,
// shown or not; a guide with several screenshots then holds them all.
// A picture without both sizes is decoded at layout, as before.
//
// install() makes the handler a child of the document, which keeps it; the
// decoded pictures stay in the document's resources until it is cleared.
// UI thread only.
class OnDemandImages : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

public:
    static void install(QTextDocument* document);

    QSizeF intrinsicSize(QTextDocument* document, int position, const QTextFormat& format) override;
    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument* document, int position,
                    const QTextFormat& format) override;

private:
    explicit OnDemandImages(QObject* parent) : QObject(parent) {}
};
