#pragma once

#include <QObject>

#include <memory>

class DragDropImageView;
class QWidget;
class DropResponder;
namespace Ui {
class WelcomeView;
}

// The welcome view of the main window, shown while no theme is open: its
// buttons (New, Open, Back Up, Quick Guide) and the picture that takes a
// dropped theme. Owns its form; does nothing itself but tell which button
// was pressed. The picture answers drops to the responder given. GUI thread
// only.
class WelcomeView : public QObject {
    Q_OBJECT

public:
    // Makes the view's widget (widget()) as a child of parent; the view is a
    // child of its widget and goes with it.
    explicit WelcomeView(QWidget* parent);
    ~WelcomeView() override;

    // The view's widget, for its place in the window.
    QWidget* widget() const { return widget_; }

    void setPicture(const QImage& picture);
    void setDropResponder(DropResponder* responder);
    // Whether view is the picture that takes a dropped theme.
    bool isDropPicture(const DragDropImageView* view) const;

signals:
    void newWanted();
    void openWanted();
    void backupWanted();
    void guideWanted();

private:
    std::unique_ptr<Ui::WelcomeView> ui_;
    QWidget* widget_;
};
