#pragma once

#include <optional>

// The two meanings of 0 and 1 around the Dock, as distinct types so that no
// caller can take one for the other.
//
// The Dock style is how the Dock draws itself: 0 = 3D (the glass floor),
// 1 = 2D (flat); the Dock keeps it as the boolean "no-glass" of its
// preferences. The Dock-style menus and the Dock screenshots count this way.
enum class DockStyle : int { ThreeD = 0, TwoD = 1 };

// The Dock category is a group of a theme's images: 0 = the 2D Dock's
// images, 1 = the 3D Dock's; it indexes a theme's "Dock_List", the theme
// document's slot lists and the editor's category menu. It runs the other
// way from the Dock style.
enum class DockCategory : int { TwoD = 0, ThreeD = 1 };

// The category of images a Dock of style draws with, and the reverse.
constexpr DockCategory categoryForStyle(DockStyle style) {
    return style == DockStyle::TwoD ? DockCategory::TwoD : DockCategory::ThreeD;
}
constexpr DockStyle styleForCategory(DockCategory category) {
    return category == DockCategory::TwoD ? DockStyle::TwoD : DockStyle::ThreeD;
}

// The position of a value in its lists and menus (0 or 1).
constexpr int indexOf(DockStyle style) {
    return static_cast<int>(style);
}
constexpr int indexOf(DockCategory category) {
    return static_cast<int>(category);
}

// A list or menu position read as a style or a category; nothing for any
// position but 0 and 1.
constexpr std::optional<DockStyle> dockStyleAt(int index) {
    if (index == 0 || index == 1) {
        return static_cast<DockStyle>(index);
    }
    return std::nullopt;
}
constexpr std::optional<DockCategory> dockCategoryAt(int index) {
    if (index == 0 || index == 1) {
        return static_cast<DockCategory>(index);
    }
    return std::nullopt;
}
