#pragma once

#include <QObject>

#include <memory>

#include "model/DockStyle.h"
#include "model/DockTheme.h"

class Dialogs;
class DragDropImageView;
class QWidget;
class DropResponder;
class ThemeSession;
namespace Ui {
class InfoView;
}

// The information view of the main window: the theme's name, author, site,
// version and update feed, the author's signing key (read-only), its
// description, its micro preview and its Dock screenshot of the style chosen.
//
// Owns its form (the Ui struct). Its line fields are listed once, in a table
// that fills, reads and tracks them. It follows the session (not owned)
// itself: every edit of a field is handed to the session as an unsaved edit;
// a theme opened fills every field from the theme, a theme read
// again shows the unsaved edits (or the theme's values), a changed bundle
// file shows the new micro preview or screenshot. Nothing is written here:
// save() and storeAuthorAndSite() are the session's writes. Pictures are
// decoded by the session's decoder. The two pictures are drop targets
// answering to the responder given. GUI thread only.
class InformationView : public QObject {
    Q_OBJECT

public:
    // Which of its drop targets a view is.
    enum class Target { None, MicroPreview, Screenshot };

    // Makes the view's widget (widget()) as a child of parent; the view is a
    // child of its widget and goes with it.
    InformationView(ThemeSession& session, Dialogs& dialogs, QWidget* parent);
    ~InformationView() override;

    // The view's widget, for its place in the window.
    QWidget* widget() const { return widget_; }

    // The values the fields show.
    DockTheme::Information fields() const;
    // Saves the fields (and the description when edited) through the session.
    bool save();
    // Stores the author and site fields at once, the rest left unsaved.
    void storeAuthorAndSite();
    // Opens the site field's address when it is a web address; a beep otherwise.
    void visitSite();
    // The Dock style whose screenshot is shown.
    DockStyle screenshotStyle() const;
    // Shows the open theme's screenshot of screenshotStyle(), or the drop picture.
    void showScreenshot();
    // Shows the open theme's micro preview once decoded, or nothing.
    void showMicroPreview();
    void setDropResponder(DropResponder* responder);
    Target target(const DragDropImageView* view) const;

signals:
    // The Render button was pressed.
    void renderWanted();

protected:
    // Ctrl+Tab in the description types a tab, since Tab moves the focus on.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The fields show values, the description field the theme's description
    // unless withDescription is false.
    void show(const DockTheme::Information& values, bool withDescription);
    void edited(bool description);

    ThemeSession& session_;
    Dialogs& dialogs_;
    std::unique_ptr<Ui::InfoView> ui_;
    QWidget* widget_;
    bool filling_ = false;
};
