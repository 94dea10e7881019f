#include "app/UpdateSheet.h"

#include <QDialog>
#include <QLocale>

#include "app/Dialogs.h"
#include "app/ThemeHost.h"
#include "image/ImageFile.h"
#include "ui_ProgressSheet.h"

namespace {

// The version as the feed shows it to people.
QString shown(const AppcastItem& item) {
    return item.shortVersion.isEmpty() ? item.version : item.shortVersion;
}

QString bytes(qint64 count) {
    return QLocale().formattedDataSize(count);
}

}  // namespace

UpdateSheet::UpdateSheet(ThemeHost& host, Dialogs& dialogs, QWidget* window, QObject* parent)
    : QObject(parent),
      host_(host),
      dialogs_(dialogs),
      ui_(std::make_unique<Ui::ProgressSheet>()),
      sheet_(new QDialog(window, Qt::Sheet)),
      updater_(new ThemeUpdater(ImageFile::readerSize, this)) {
    ui_->setupUi(sheet_);
    sheet_->setWindowModality(Qt::WindowModal);
    connect(ui_->progress_stop, &QPushButton::clicked, this, &UpdateSheet::stop);
    connect(ui_->progress_later, &QPushButton::clicked, this, &UpdateSheet::stop);
    connect(ui_->progress_install, &QPushButton::clicked, this, &UpdateSheet::install);
    // Escape or the window's close button: as Stop.
    connect(sheet_, &QDialog::rejected, this, &UpdateSheet::stop);
    connect(updater_, &ThemeUpdater::checked, this, &UpdateSheet::checked);
    connect(updater_, &ThemeUpdater::progress, this, &UpdateSheet::showProgress);
    connect(updater_, &ThemeUpdater::installed, this, &UpdateSheet::ended);
}

UpdateSheet::~UpdateSheet() = default;

void UpdateSheet::start(const std::string& bundlePath, const QString& name) {
    bundlePath_ = bundlePath;
    name_ = name;
    found_ = UpdateCheck();
    show(tr("Checking for updates of %1…").arg(name_), true, false);
    sheet_->open();
    updater_->check(bundlePath_);
}

void UpdateSheet::stop() {
    if (stopping_) {
        return;
    }
    stopping_ = true;
    // Its signal comes as "cancelled" and is not shown: the sheet is gone.
    updater_->cancel();
    sheet_->hide();
    stopping_ = false;
}

void UpdateSheet::install() {
    if (found_.outcome != UpdateCheck::Outcome::Available || updater_->busy()) {
        dialogs_.beep();
        return;
    }
    const bool unsigned_ = !found_.signedByAuthor;
    if (unsigned_ && !dialogs_.ask(sheet_, tr("Unsigned Update"), tr("Install"), tr("Cancel"),
                                   tr("This update is not signed by its author. "
                                      "Install it anyway?"))) {
        return;
    }
    show(tr("Downloading %1 %2…").arg(name_, shown(found_.item)), true, false);
    ui_->progress_stop->setText(tr("Cancel"));
    ui_->progress_stop->setAccessibleName(tr("Cancel the update"));
    updater_->install(bundlePath_, found_.item, unsigned_,
                      [this](const std::string& path, const std::function<bool()>& swap) {
                          return host_.changeThemeFolder(path, swap);
                      });
}

bool UpdateSheet::isOpen() const {
    return sheet_->isVisible();
}

void UpdateSheet::checked(const UpdateCheck& result) {
    found_ = result;
    switch (result.outcome) {
        case UpdateCheck::Outcome::UpToDate:
            show(tr("%1 %2 is up to date.")
                     .arg(result.name, result.currentVersion.isEmpty() ? QStringLiteral("0")
                                                                       : result.currentVersion),
                 false, false);
            break;
        case UpdateCheck::Outcome::Available: {
            const QString have =
                result.currentVersion.isEmpty() ? tr("no version") : result.currentVersion;
            show(tr("%1 %2 is available (you have %3).\n%4")
                     .arg(result.name, shown(result.item), have,
                          result.signedByAuthor
                              ? tr("It is signed by the theme's author.")
                              : tr("It is unsigned: nothing shows it comes from the "
                                   "theme's author.")),
                 false, true);
            ui_->progress_notes->setPlainText(result.item.notes);
            ui_->progress_notes->setVisible(!result.item.notes.isEmpty());
            break;
        }
        case UpdateCheck::Outcome::Failed:
            show(tr("%1 can't be checked for updates: %2.").arg(name_, result.why), false, false);
            break;
    }
}

void UpdateSheet::showProgress(qint64 received, qint64 total) {
    QProgressBar* bar = ui_->progress_bar;
    if (total > 0) {
        bar->setRange(0, 1000);
        bar->setValue(static_cast<int>(received * 1000 / total));
    }
    setText(tr("Downloading %1 %2… %3 of %4")
                .arg(name_, shown(found_.item), bytes(received),
                     total > 0 ? bytes(total) : QStringLiteral("?")));
}

void UpdateSheet::ended(bool ok, const QString& why) {
    if (!sheet_->isVisible()) {
        return;  // stopped: nothing changed, nothing to tell
    }
    if (ok) {
        show(tr("%1 %2 is installed. %3")
                 .arg(name_, shown(found_.item),
                      why.isEmpty() ? tr("The old version is in the trash.")
                                    : tr("The old version is kept as %1.").arg(why)),
             false, false);
    } else {
        show(tr("The update of %1 was not installed: %2. The theme was not changed.")
                 .arg(name_, why),
             false, false);
    }
    emit installed(ok);
}

void UpdateSheet::show(const QString& text, bool busy, bool offer) {
    Ui::ProgressSheet& ui = *ui_;
    setText(text);
    ui.progress_bar->setVisible(busy);
    ui.progress_bar->setRange(0, 0);
    ui.progress_notes->setVisible(false);
    ui.progress_install->setVisible(offer);
    ui.progress_later->setVisible(offer);
    ui.progress_stop->setVisible(!offer);
    // While busy it stops the work; afterwards it only closes the sheet.
    ui.progress_stop->setText(busy ? tr("Stop") : tr("Close"));
    ui.progress_stop->setAccessibleName(busy ? tr("Stop checking") : tr("Close"));
    (offer ? ui.progress_install : ui.progress_stop)->setDefault(true);
}

void UpdateSheet::setText(const QString& text) {
    ui_->progress_text->setText(text);
    // A screen reader reads the sentence itself, not a label's name for it.
    ui_->progress_text->setAccessibleName(text);
}
