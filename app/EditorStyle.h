#pragma once

#include <QProxyStyle>

// The platform's style, but for the chevrons of menu bars and toolbars that
// do not fit their window, which it draws instead of reading picture files
// for them, so the main window comes up sooner. GUI thread only.
class EditorStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};
