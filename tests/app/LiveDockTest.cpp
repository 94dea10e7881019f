// The live Dock of the editor view: what it draws after an edit, how it and the
// browser point at each other, a drop on a piece, its larger view and its menu.
#include <QAccessible>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QUndoStack>

#include "EditorTest.h"
#include "app/LiveDock.h"

namespace {

class LiveDockTest : public EditorTest {
protected:
    // Opens a copy of the stock theme in the editor view, the window shown and the Dock drawn.
    LiveDock& opened(MainController& c) {
        openTheme(c);
        mainWindow()->resize(1200, 800);
        mainWindow()->show();
        LiveDock& dock = c.editorView().liveDock();
        EXPECT_TRUE(waitUntil([&] { return !dock.isDrawing() && !dock.picture().isNull(); }));
        return dock;
    }
    // The colour at the centre of the largest piece of key in the picture.
    static QColor colourAt(const LiveDock& dock, const QString& key) {
        QRectF largest;
        for (const DockScene::Piece& piece : dock.pieces()) {
            if (piece.key == key &&
                piece.rect.width() * piece.rect.height() > largest.width() * largest.height()) {
                largest = piece.rect;
            }
        }
        return dock.picture().pixelColor(largest.center().toPoint());
    }
    static int pieceOf(const LiveDock& dock, const QString& key) {
        for (std::size_t piece = 0; piece < dock.pieces().size(); ++piece) {
            if (dock.pieces()[piece].key == key) {
                return static_cast<int>(piece);
            }
        }
        return -1;
    }
};

// The 2D frame's left edge, which also fills its middle: a large piece at every size.
const QString kEdge = QStringLiteral("Border_Left_External");

// Whether the colour drawn is nearly wanted (the frame is drawn over a shade).
bool near(const QColor& drawn, const QColor& wanted) {
    return std::max({std::abs(drawn.red() - wanted.red()), std::abs(drawn.green() - wanted.green()),
                     std::abs(drawn.blue() - wanted.blue())}) < 40;
}

// A drop on a piece goes through the session as an edit, so it is drawn, undone and redrawn.
TEST_F(LiveDockTest, ADropOnAPieceIsDrawnWithUndoABurstEndsInTheLastAndTheLargerViewIsTheShot) {
    MainController& c = start();
    LiveDock& dock = opened(c);
    ASSERT_GE(pieceOf(dock, kEdge), 0);
    const int row = rowOf(c, kEdge.toStdString());
    const QString old = imagePath(c, row);
    const QColor original = colourAt(dock, kEdge);
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(picture("blue.png", {40, 40}, Qt::blue))});
    // As a drag does: it enters, moves over the piece and drops there.
    const QPoint at = dock.pieceRect(pieceOf(dock, kEdge)).center();
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&dock, &enter);
    QDragMoveEvent move(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&dock, &move);
    EXPECT_TRUE(move.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&dock, &drop);
    EXPECT_EQ(QFileInfo(imagePath(c, row)).fileName(), "blue.png");
    ASSERT_TRUE(
        waitUntil([&] { return !dock.isDrawing() && near(colourAt(dock, kEdge), Qt::blue); }));
    // The 2D screenshot is now older than its images, and the information view says so.
    choose(named<QComboBox>("Dock screenshot style"), indexOf(DockStyle::TwoD));
    EXPECT_FALSE(named<QLabel>("The Dock screenshot is out of date")->isHidden());
    c.session().history().undo();
    EXPECT_EQ(imagePath(c, row), old);
    ASSERT_TRUE(
        waitUntil([&] { return !dock.isDrawing() && near(colourAt(dock, kEdge), original); }));
    // Twenty edits at once: the Dock ends in the last, drawn a few times, not twenty.
    const int before = dock.drawings();
    const QColor last(0, 200, 0);
    for (int edit = 0; edit < 20; ++edit) {
        const QColor colour = edit == 19 ? last : QColor(0, 0, 10 * edit + 50);
        const QString name = QStringLiteral("burst%1.png").arg(edit);
        ASSERT_TRUE(c.session().replaceSlotImage(DockCategory::TwoD, row,
                                                 picture(name, {40, 40}, colour), text(name)));
    }
    ASSERT_TRUE(waitUntil([&] { return !dock.isDrawing() && near(colourAt(dock, kEdge), last); }));
    EXPECT_LE(dock.drawings() - before, 3);

    // The larger view draws over the desktop picture and stores it as the 2D screenshot.
    const QString shot =
        QString::fromStdString(c.session().theme()->dockPath()) + "/preview_2d.png";
    const std::string unshot = bytes(shot);
    c.btn_showLargerDock();
    auto* use = named<QPushButton>("Use as Dock Screenshot");
    ASSERT_TRUE(use);
    ASSERT_TRUE(waitUntil([&] { return use->isEnabled(); }));
    EXPECT_GT(named<QLabel>("The Dock at its real size")->pixmap().width(), dock.picture().width());
    use->click();
    EXPECT_NE(bytes(shot), unshot);
    c.session().history().undo();
    EXPECT_EQ(bytes(shot), unshot);
}

TEST_F(LiveDockTest, ThePiecesAndTheSlotsPointAtEachOtherScreenReadersSeeEachAndViewHidesThePane) {
    MainController& c = start();
    LiveDock& dock = opened(c);
    const int piece = pieceOf(dock, kEdge);
    ASSERT_GE(piece, 0);
    const QPoint centre = dock.pieceRect(piece).center();
    EXPECT_EQ(dock.pieceAt(centre), piece);
    // Hovering marks the slot in the browser; a click selects it.
    QTest::mouseMove(&dock, centre);
    const QModelIndex slot =
        named<QListView>("Theme images")->model()->index(rowOf(c, kEdge.toStdString()), 0);
    EXPECT_TRUE(waitUntil([&] { return slot.data(Qt::BackgroundRole).isValid(); }));
    QTest::mouseClick(&dock, Qt::LeftButton, {}, centre);
    ASSERT_TRUE(c.editorView().selectedItem());
    EXPECT_EQ(c.editorView().selectedItem()->keyDock(), kEdge.toStdString());
    EXPECT_EQ(named<QLabel>("Dock sizes that draw it")->text(),
              "Small, Medium, Large, Extra large");
    // Each piece is a child named by its slot, and pressing one selects its slot.
    QAccessibleInterface* pane = QAccessible::queryAccessibleInterface(&dock);
    ASSERT_EQ(pane->childCount(), static_cast<int>(dock.pieces().size()));
    const int divider = pieceOf(dock, QStringLiteral("Separator_Vertical"));
    ASSERT_GE(divider, 0);
    QAccessibleInterface* named = pane->child(divider);
    EXPECT_EQ(named->text(QAccessible::Name), "Divider, 2D");
    named->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(c.editorView().selectedItem()->keyDock(), "Separator_Vertical");
    // View > Live Dock hides the pane, and the choice is kept for the next start.
    QAction* live = action("Live Dock");
    ASSERT_TRUE(live->isChecked());
    live->trigger();
    EXPECT_FALSE(c.editorView().isLiveDockShown());
    MainController& again = start();
    EXPECT_FALSE(again.editorView().isLiveDockShown());
    EXPECT_FALSE(action("Live Dock")->isChecked());
}

}  // namespace
