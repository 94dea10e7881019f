#include "app/EditorStyle.h"

#include "app/ToolbarIcons.h"

QIcon EditorStyle::standardIcon(StandardPixmap icon, const QStyleOption* option,
                                const QWidget* widget) const {
    switch (icon) {
        case SP_ToolBarHorizontalExtensionButton:
            return ToolbarIcons::icon(ToolbarIcons::Kind::MoreRight);
        case SP_ToolBarVerticalExtensionButton:
            return ToolbarIcons::icon(ToolbarIcons::Kind::MoreDown);
        default:
            return QProxyStyle::standardIcon(icon, option, widget);
    }
}
