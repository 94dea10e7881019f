#pragma once

#include <functional>
#include <string>

// What a window other than the main one (the collection) asks of the window
// that shows the open theme: to open a theme for editing, to apply one, and to
// let a folder change where the open theme may lie. MainController implements it over its
// ThemeSession; the collection holds a reference and never reaches further.
// GUI thread only.
class ThemeHost {
public:
    virtual ~ThemeHost() = default;

    // Opens the bundle at path as the open theme and shows the main window
    // with its information; false when it did not open (the user was told why,
    // or cancelled the question about unsaved edits).
    virtual bool openTheme(const std::string& path) = 0;
    // Runs change, which replaces or removes the folder at path, and returns
    // its result. When the open theme's folder is there, its unsaved edits are
    // asked about first (a cancel returns false without running change), it is
    // closed while change runs and opened again from path afterwards when
    // something is there; else the main window shows the welcome view.
    virtual bool changeThemeFolder(const std::string& path,
                                   const std::function<bool()>& change) = 0;
    // Before the folder at path is read whole (an export): when the open
    // theme's folder is there, its unsaved edits are asked about (Save saves
    // them); false when the user cancelled. The theme stays open.
    virtual bool mayReadThemeFolder(const std::string& path) = 0;
    // Applies the bundle at path to the Dock as Apply Theme does (the check and its sheet, the
    // rights, the tool, the status bar), without opening it; the open theme stays. Beeps while an
    // apply runs.
    virtual void applyTheme(const std::string& path) = 0;
    // Whether an apply or restore runs now.
    virtual bool isApplying() const = 0;
};
