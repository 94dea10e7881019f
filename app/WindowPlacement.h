#pragma once

class QWidget;

// Where the editor's auxiliary windows come up. GUI thread only.
namespace WindowPlacement {

// The first time window is shown, it comes up centred over the window that
// owns it (its parent's window) and inside that screen, instead of wherever
// the window manager puts it. Call once, before the first show.
void centerOnOwnerWhenFirstShown(QWidget* window);

}  // namespace WindowPlacement
