#include "app/LiveDockWindow.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <filesystem>

#include "app/Background.h"
#include "app/LiveDock.h"
#include "app/ThemeSession.h"

LiveDockWindow::LiveDockWindow(ThemeSession& session, const LiveDock& dock, QWidget* owner,
                               QObject* parent)
    : QObject(parent), session_(session), dock_(dock) {
    make(owner);
}

void LiveDockWindow::show() {
    if (!session_.theme()) {
        return;
    }
    style_ = styleForCategory(dock_.category());
    const int token = ++drawing_;
    const quint64 generation = session_.generation();
    use_->setEnabled(false);
    view_->setText(tr("Drawing the Dock…"));
    window_->setWindowTitle(
        tr("Live Dock, %1")
            .arg(style_ == DockStyle::TwoD ? QStringLiteral("2D") : QStringLiteral("3D")));
    window_->show();
    window_->raise();
    Background::run(
        QThreadPool::globalInstance(), this,
        [sources = dock_.sources(), style = style_, tile = dock_.tileSize()] {
            return LiveDock::draw(sources, style, tile, true);
        },
        [this](const QImage& picture) {
            picture_ = picture;
            view_->setPixmap(QPixmap::fromImage(picture_));
            view_->setAccessibleName(tr("The Dock at its real size"));
            use_->setEnabled(!picture_.isNull());
            window_->adjustSize();
            emit shown();
        },
        [this, token, generation] {
            return token == drawing_ && session_.generation() == generation;
        });
}

bool LiveDockWindow::useAsScreenshot() {
    const DockTheme* theme = session_.theme();
    if (!theme || picture_.isNull()) {
        return false;
    }
    const std::string name =
        std::filesystem::path(theme->previewDockPath(style_)).filename().string();
    return session_.putBundlePicture(tr("Use as Dock Screenshot"), name,
                                     picture_.convertToFormat(QImage::Format_RGB32));
}

void LiveDockWindow::make(QWidget* owner) {
    window_ = new QDialog(owner, Qt::Window);
    window_->setAccessibleName(tr("Live Dock, larger view"));
    auto* layout = new QVBoxLayout(window_);
    auto* scroll = new QScrollArea(window_);
    view_ = new QLabel(scroll);
    view_->setAlignment(Qt::AlignCenter);
    scroll->setWidget(view_);
    scroll->setWidgetResizable(true);
    scroll->setMinimumSize(640, 200);
    layout->addWidget(scroll);
    auto* buttons = new QDialogButtonBox(window_);
    use_ = buttons->addButton(tr("&Use as Dock Screenshot"), QDialogButtonBox::ActionRole);
    use_->setAccessibleName(tr("Use as Dock Screenshot"));
    QPushButton* close = buttons->addButton(QDialogButtonBox::Close);
    close->setAccessibleName(tr("Close the larger view"));
    layout->addWidget(buttons);
    connect(use_, &QPushButton::clicked, this, [this] { useAsScreenshot(); });
    connect(buttons, &QDialogButtonBox::rejected, window_, &QDialog::hide);
}
