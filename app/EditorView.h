#pragma once

#include <QList>
#include <QObject>
#include <QRect>

#include <memory>
#include <string>

#include "model/DockStyle.h"
#include "model/DockTheme.h"

class DragDropImageView;
class DropResponder;
class ImageObjectView;
class LiveDock;
class QWidget;
class SlotListModel;
class ThemeSession;
namespace Ui {
class EditorView;
}

// The editor view of the main window: the slot browser of the open theme's
// images of one category, the live Dock under it (LiveDock: the theme's Dock
// as the stand-in Dock draws it, at the size chosen), and the selection panel
// (the selected slot's picture, file name, natural name, description, size,
// the Dock's size, the Dock sizes that draw it and the size warning). The
// live Dock and the browser point at each other: a piece hovered marks its
// slot, the selected slot is outlined on the Dock, a piece clicked selects
// its slot, and a file dropped on a piece selects its slot and is handed on
// as a drop on the selected slot (slotImageDropped).
//
// Owns its form (the Ui struct) and the browser's model; follows the session
// (not owned) itself: a theme opened shows its 2D images, a theme read again
// and a category switch keep the selected slot's key selected (nothing when the
// list shown has no such key), a slot changed (a replacement, its undo or
// redo) is shown selected in its category, a closed theme empties the browser.
// The selection panel's picture is decoded by the session's decoder; a
// selection changed meanwhile drops the older picture. The large picture is
// a drop target answering to the responder given (the main window's
// controller). GUI thread only.
class EditorView : public QObject {
    Q_OBJECT

public:
    // Makes the view's widget (widget()) as a child of parent; the view is a
    // child of its widget and goes with it.
    explicit EditorView(ThemeSession& session, QWidget* parent);
    ~EditorView() override;

    // The view's widget, for its place in the window.
    QWidget* widget() const { return widget_; }

    // The category the browser shows; setCategory keeps the theme and the selected
    // slot's key when the category has it, else nothing is selected.
    DockCategory category() const;
    void setCategory(DockCategory category);
    // The thumbnails' side in pixels.
    void setThumbnailSide(int side);
    // The open theme's slot list of the category shown; nullptr with no theme.
    const DockTheme::SlotList* slotList() const;
    int slotCount() const;
    // The browser's selected rows, ascending.
    QList<int> selectedSlots() const;
    // Selects exactly rows (none: clears the selection).
    void selectSlots(const QList<int>& rows);
    // The one selected slot's item; nullptr unless exactly one is selected.
    const ImageObjectView* selectedItem() const;
    // Shows row of category selected and scrolled to.
    void showSlot(DockCategory category, int row);
    // Shows the slot of key selected, in its own category first; false when
    // the theme has no slot of key.
    bool showKey(const std::string& key);
    // Where row's cell is on the screen.
    QRect cellFrame(int row) const;
    // The drop target of the selection panel answers to responder.
    void setDropResponder(DropResponder* responder);
    // Whether view is the selection panel's picture.
    bool isSelectionPicture(const DragDropImageView* view) const;
    // Shows or hides the live Dock (hidden, it draws nothing).
    void setLiveDockShown(bool shown);
    bool isLiveDockShown() const;
    // The live Dock's icon size, one of DockScene::sizeSteps().
    void setLiveDockSize(int tileSize);
    int liveDockSize() const;
    LiveDock& liveDock() const { return *liveDock_; }

signals:
    // A slot was double-clicked.
    void slotActivated(int row);
    // The category shown changed by showSlot or setCategory.
    void categoryChanged(DockCategory category);
    // A file was dropped on a piece of the live Dock, whose slot is selected now.
    void slotImageDropped(const QString& path);
    // The live Dock's Larger View… was pressed.
    void largerViewWanted();
    // The live Dock's size was chosen.
    void liveDockSizeChosen(int tileSize);

private:
    void themeOpened();
    void themeReloaded();
    // The key of the one selected slot; empty unless exactly one is selected.
    std::string selectedKey() const;
    // Selects the slot of key in the category shown; none selected (the panel
    // says so) when it has none. Called after the browser's rows were replaced.
    void selectKey(const std::string& key);
    // Fills the selection panel from the selection; with not exactly one slot
    // selected, the name, size and description of the slot before stay.
    void updateSelection();
    // The panel with nothing selected, nothing of the slot before kept.
    void clearPanel();
    void showSelectedImage(const QImage& image, const QSize& size, const std::string& key);

    ThemeSession& session_;
    std::unique_ptr<Ui::EditorView> ui_;
    QWidget* widget_;
    SlotListModel* slots_ = nullptr;
    LiveDock* liveDock_ = nullptr;
};
