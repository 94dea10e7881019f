#include "app/InformationView.h"

#include <sys/stat.h>

#include <QKeyEvent>
#include <QUrl>

#include <algorithm>

#include "app/Dialogs.h"
#include "app/DropPlaceholder.h"
#include "app/ImageDecoder.h"
#include "app/RichTextConversion.h"
#include "app/ThemeSession.h"
#include "image/ThemePreview.h"
#include "platform/Descriptor.h"
#include "ui_InfoView.h"

namespace {

// When the file source names was last changed, or nothing when it can't be opened.
std::optional<std::int64_t> changedAt(const ImageFile::Source& source) {
    const Descriptor file = ImageFile::open(source);
    struct stat info {};
    return file.valid() && ::fstat(file.get(), &info) == 0
               ? std::optional<std::int64_t>(info.st_mtim.tv_sec * 1000000000LL +
                                             info.st_mtim.tv_nsec)
               : std::nullopt;
}

// Whether any picture of the theme changed after its Dock screenshot of style was drawn.
bool isStale(const DockTheme& theme, DockStyle style) {
    const std::optional<std::int64_t> shot = changedAt(ImageFile::Source(
        theme.bundleFolder(), QString::fromStdString(theme.previewDockPath(style))));
    if (!shot) {
        return false;
    }
    const ThemePreview::Sources sources = ThemePreview::sourcesOf(theme);
    return std::ranges::any_of(
        sources, [&](const auto& source) { return changedAt(source.second).value_or(0) > *shot; });
}

using Field = std::string DockTheme::Information::*;

// Each line field and the value it shows.
const std::pair<QLineEdit * Ui::InfoView::*, Field> kFields[] = {
    {&Ui::InfoView::previewdock_title, &DockTheme::Information::name},
    {&Ui::InfoView::previewdock_author, &DockTheme::Information::author},
    {&Ui::InfoView::previewdock_site, &DockTheme::Information::site},
    {&Ui::InfoView::previewdock_version, &DockTheme::Information::version},
    {&Ui::InfoView::previewdock_appcasturl, &DockTheme::Information::appcast},
};

}  // namespace

InformationView::InformationView(ThemeSession& session, Dialogs& dialogs, QWidget* parent)
    : QObject(new QWidget(parent)),
      session_(session),
      dialogs_(dialogs),
      ui_(std::make_unique<Ui::InfoView>()),
      widget_(static_cast<QWidget*>(QObject::parent())) {
    ui_->setupUi(widget_);
    // Tab leaves the description for the controls after it; Ctrl+Tab types a tab (eventFilter).
    ui_->previewdock_description->setTabChangesFocus(true);
    ui_->previewdock_description->installEventFilter(this);
    for (const auto& [widget, value] : kFields) {
        connect(ui_.get()->*widget, &QLineEdit::textEdited, this, [this] { edited(false); });
    }
    connect(ui_->previewdock_description->document(), &QTextDocument::contentsChanged, this,
            [this] {
                if (!filling_) {
                    edited(true);
                }
            });
    connect(ui_->button_saveInfo, &QPushButton::clicked, this, [this] { save(); });
    connect(ui_->button_visitSite, &QPushButton::clicked, this, [this] { visitSite(); });
    connect(ui_->button_render, &QPushButton::clicked, this, [this] { emit renderWanted(); });
    connect(ui_->preview_dockshow_selection, &QComboBox::activated, this,
            [this] { showScreenshot(); });

    auto fill = [this] {
        if (const DockTheme* theme = session_.theme()) {
            show(theme->information(), true);
        }
    };
    connect(&session_, &ThemeSession::opened, this, [this, fill] {
        fill();
        showMicroPreview();
        showScreenshot();
    });
    connect(&session_, &ThemeSession::reloaded, this, [this, fill] {
        if (std::optional<DockTheme::Information> unsaved = session_.unsavedInformation()) {
            show(*unsaved, !session_.hasEditedDescription());
        } else {
            fill();
        }
        showMicroPreview();
        showScreenshot();
    });
    // A slot's new picture may leave the screenshot behind it.
    connect(&session_, &ThemeSession::slotChanged, this, [this] { showScreenshot(); });
    connect(&session_, &ThemeSession::fileChanged, this, [this](const std::string& name) {
        if (name == "preview_micro.png") {
            showMicroPreview();
        } else {
            showScreenshot();
        }
    });
    connect(&session_, &ThemeSession::closed, this, [this] {
        session_.decoder().cancel(ui_->info_micropreview);
        ui_->info_micropreview->setImage(QImage());
    });
}

InformationView::~InformationView() = default;

DockTheme::Information InformationView::fields() const {
    DockTheme::Information values;
    for (const auto& [widget, value] : kFields) {
        values.*value = (ui_.get()->*widget)->text().toStdString();
    }
    return values;
}

bool InformationView::save() {
    // The description is written only when it was edited, with the rest or not at all.
    return session_.saveInformation(fields());
}

void InformationView::storeAuthorAndSite() {
    session_.storeAuthorAndSite(ui_->previewdock_author->text().toStdString(),
                                ui_->previewdock_site->text().toStdString());
}

void InformationView::visitSite() {
    // Only a web address: a stranger's theme must not open local files or start programs.
    QUrl address(ui_->previewdock_site->text().trimmed(), QUrl::StrictMode);
    QString scheme = address.scheme().toLower();
    if (!address.isValid() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https")) ||
        address.host().isEmpty()) {
        dialogs_.beep();
        return;
    }
    dialogs_.openUrl(address);
}

DockStyle InformationView::screenshotStyle() const {
    return dockStyleAt(ui_->preview_dockshow_selection->currentIndex()).value_or(DockStyle::ThreeD);
}

void InformationView::showScreenshot() {
    DragDropImageView* view = ui_->screenshot_preview;
    auto shown = [view](const QImage& image, QSize) {
        view->setImage(image.isNull() ? DropPlaceholder::load() : image);
    };
    const DockTheme* theme = session_.theme();
    const DockStyle style = screenshotStyle();
    ui_->screenshot_stale->setVisible(theme && isStale(*theme, style));
    if (theme && theme->existDockPreview(style)) {
        session_.decoder().request(
            view, {theme->bundleFolder(), QString::fromStdString(theme->previewDockPath(style))},
            QSize(), shown);
    } else {
        session_.decoder().cancel(view);
        shown(QImage(), QSize());
    }
}

void InformationView::showMicroPreview() {
    DragDropImageView* view = ui_->info_micropreview;
    const DockTheme* theme = session_.theme();
    std::optional<std::string> path = theme ? theme->dockMicroPreview() : std::nullopt;
    if (!path) {
        session_.decoder().cancel(view);
        view->setImage(QImage());
        return;
    }
    session_.decoder().request(view, {theme->bundleFolder(), QString::fromStdString(*path)},
                               QSize(),
                               [view](const QImage& image, QSize) { view->setImage(image); });
}

void InformationView::setDropResponder(DropResponder* responder) {
    ui_->info_micropreview->setResponderClass(responder);
    ui_->screenshot_preview->setResponderClass(responder);
}

InformationView::Target InformationView::target(const DragDropImageView* view) const {
    return view == ui_->info_micropreview    ? Target::MicroPreview
           : view == ui_->screenshot_preview ? Target::Screenshot
                                             : Target::None;
}

bool InformationView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_->previewdock_description && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab && key->modifiers() == Qt::ControlModifier) {
            ui_->previewdock_description->insertPlainText(QStringLiteral("\t"));
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void InformationView::show(const DockTheme::Information& values, bool withDescription) {
    filling_ = true;
    for (const auto& [widget, value] : kFields) {
        (ui_.get()->*widget)->setText(QString::fromStdString(values.*value));
    }
    // Read-only: the key is named by the author's tools, never typed here.
    const DockTheme* theme = session_.theme();
    const std::optional<std::string> key = theme ? theme->dockPublicKey() : std::nullopt;
    ui_->previewdock_publickey->setText(
        key ? tr("Signed by key %1").arg(QString::fromStdString(*key))
            : tr("Not signed: updates need https and your confirmation"));
    if (withDescription) {
        ui_->previewdock_description->clear();
        if (std::optional<RichText> description = theme ? theme->description() : std::nullopt) {
            RichTextConversion::fill(*ui_->previewdock_description->document(), *description);
        }
    }
    filling_ = false;
}

void InformationView::edited(bool description) {
    std::optional<RichText> text;
    if (description) {
        text = RichTextConversion::toRichText(*ui_->previewdock_description->document());
    }
    session_.editInformation(fields(), std::move(text));
}
