#pragma once

#include <QIcon>

// The toolbar's pictures, drawn with a few strokes when asked for (cheaper at
// start-up than decoding picture files): a new page, a folder, a check mark,
// a circular arrow, a pencil, a magnifier and the chevrons of a bar that does
// not fit. GUI thread only.
class ToolbarIcons {
public:
    enum class Kind { New, Open, Apply, Restore, Edit, Preview, MoreRight, MoreDown };
    static QIcon icon(Kind kind);
};
