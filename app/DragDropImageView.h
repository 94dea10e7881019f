#pragma once

#include <QImage>
#include <QLabel>
#include <QPixmap>

#include <optional>

class DragDropImageView;
class QMimeData;

// What a drop target hands its dropped file to.
class DropResponder {
public:
    virtual ~DropResponder() = default;
    // path: the first dropped file's full path; view: the target that took it.
    virtual void setFileImagePathForSelection(const QString& path, DragDropImageView* view) = 0;
};

// An image view that takes one dropped file and hands its path, with itself,
// to its responder, so one controller can tell its drop targets apart. The
// view does not show the dropped image itself: the responder sets what it
// shows. A drag is taken when its source allows copying; of several files
// only the first is handed on; a drop with no file names (image data only,
// or no local file) hands nothing on and changes nothing. The view does not
// own its responder. GUI thread only.
class DragDropImageView : public QLabel {
    Q_OBJECT

public:
    explicit DragDropImageView(QWidget* parent = nullptr);

    void setResponderClass(DropResponder* responder) { responder_ = responder; }
    DropResponder* responderClass() const { return responder_; }

    // How the image fills the view: shrunk to fit keeping its proportions
    // (the default), at its own size, or stretched to fill the view.
    enum class Scaling { ProportionallyDown, None, AxesIndependently };

    // Shows image as the scaling says; a null image shows nothing.
    void setImage(const QImage& image);
    void setImageScaling(Scaling scaling);
    Scaling imageScaling() const { return scaling_; }
    const QImage& image() const { return image_; }

    // The path a drop of mime would hand on; nothing without a local file.
    static std::optional<QString> firstFileName(const QMimeData* mime);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void showScaled();

    DropResponder* responder_ = nullptr;
    QImage image_;
    QPixmap scaled_;  // only when the view shows image_ at another size
    Scaling scaling_ = Scaling::ProportionallyDown;
};
