#include "app/QtDialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/BundleFilter.h"
#include "model/MiscKit.h"

namespace {

// A file dialog that takes a bundle of one of its types as one item: opened
// from the list, typed as a path, or selected when the accept button is
// pressed, instead of entering it.
class BundleDialog : public QFileDialog {
public:
    BundleDialog(QWidget* window, const QString& title, QStringList types, bool archives)
        : QFileDialog(window, title), types_(std::move(types)), archives_(archives) {
        connect(this, &QFileDialog::directoryEntered, this, [this](const QString& folder) {
            if (BundleFilter::isBundle(folder, types_)) {
                take(folder);
            }
        });
    }
    std::optional<QString> chosen;

    void accept() override {
        const QStringList files = selectedFiles();
        if (!files.isEmpty() && takes(files.first())) {
            take(files.first());
            return;
        }
        QFileDialog::accept();
    }

    // Whether path is one item the panel takes: a bundle, or an archive when it lists them.
    bool takes(const QString& path) const {
        return BundleFilter::isBundle(path, types_) ||
               (archives_ && BundleFilter::isThemeArchive(path));
    }

private:
    void take(const QString& bundle) {
        chosen = bundle;
        QDialog::done(QDialog::Accepted);
    }
    QStringList types_;
    bool archives_;
};

// A window-modal sheet titled title, for the screen reader too.
void titled(QDialog& dialog, const QString& title) {
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setWindowTitle(title);
    dialog.setAccessibleName(title);
}

// Lays the sheet out, message over body over buttons, which close it.
void arrange(QDialog& dialog, QWidget* message, QWidget* body, QDialogButtonBox* buttons,
             QSize size) {
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(message);
    layout->addWidget(body);
    layout->addWidget(buttons);
    dialog.resize(size);
}

}  // namespace

std::optional<QString> QtDialogs::runOpenPanel(QWidget* window, const OpenPanel& panel) {
    BundleDialog dialog(window, panel.title, panel.fileTypes, panel.themeArchives);
    dialog.setAccessibleName(panel.title);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setDirectory(startFolder(panel.directory, lastFolder_));
    if (!panel.canChooseFiles && panel.canChooseDirectories) {
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
    } else if (!panel.fileTypes.isEmpty()) {
        // Bundles are folders: show only folders and the bundles.
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setProxyModel(new BundleFilter(panel.fileTypes, panel.themeArchives, &dialog));
    } else {
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    // After the modes, which put the standard label back.
    if (!panel.prompt.isEmpty()) {
        dialog.setLabelText(QFileDialog::Accept, panel.prompt);
    }
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    if (dialog.chosen) {
        chose(*dialog.chosen);
        return dialog.chosen;
    }
    QStringList files = dialog.selectedFiles();
    if (files.isEmpty()) {
        return std::nullopt;
    }
    if (!panel.fileTypes.isEmpty() && !dialog.takes(files.first())) {
        return std::nullopt;
    }
    chose(files.first());
    return files.first();
}

std::optional<QString> QtDialogs::runSavePanel(QWidget* window, const SavePanel& panel) {
    QFileDialog dialog(window, panel.title);
    dialog.setAccessibleName(panel.title.isEmpty() ? tr("Save") : panel.title);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setDirectory(startFolder(panel.directory, lastFolder_));
    if (!panel.fileTypes.isEmpty()) {
        QStringList patterns;
        for (const QString& type : panel.fileTypes) {
            patterns << QStringLiteral("*.") + type;
        }
        dialog.setNameFilter(tr("Dock themes (%1)").arg(patterns.join(' ')));
    }
    dialog.selectFile(panel.proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    chose(dialog.selectedFiles().first());
    return dialog.selectedFiles().first();
}

void QtDialogs::alert(QWidget* window, const QString& title, const QString& button,
                      const QString& message) {
    auto* box = new QMessageBox(window);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(window ? Qt::WindowModal : Qt::ApplicationModal);
    box->setWindowTitle(title);
    box->setText(QStringLiteral("<b>%1</b>").arg(title.toHtmlEscaped()));
    box->setInformativeText(message.toHtmlEscaped());
    box->setAccessibleName(title);
    box->setAccessibleDescription(message);
    box->addButton(button, QMessageBox::AcceptRole)->setAccessibleName(button);
    box->open();
}

bool QtDialogs::ask(QWidget* window, const QString& title, const QString& defaultButton,
                    const QString& alternateButton, const QString& message) {
    QMessageBox box(window);
    box.setWindowModality(Qt::WindowModal);
    box.setIcon(QMessageBox::Question);
    box.setWindowTitle(title);
    box.setText(QStringLiteral("<b>%1</b>").arg(title.toHtmlEscaped()));
    box.setInformativeText(message.toHtmlEscaped());
    box.setAccessibleName(title);
    box.setAccessibleDescription(message);
    QPushButton* yes = box.addButton(defaultButton, QMessageBox::AcceptRole);
    yes->setAccessibleName(defaultButton);
    QPushButton* no = box.addButton(alternateButton, QMessageBox::RejectRole);
    no->setAccessibleName(alternateButton);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

Dialogs::FindingsAnswer QtDialogs::showFindings(QWidget* window, const FindingsSheet& sheet) {
    QDialog dialog(window);
    titled(dialog, sheet.title);
    dialog.setAccessibleDescription(sheet.message);
    auto* message =
        new QLabel(QStringLiteral("<b>%1</b><br>%2")
                       .arg(sheet.title.toHtmlEscaped(), sheet.message.toHtmlEscaped()));
    message->setWordWrap(true);
    message->setAccessibleName(sheet.message);
    QTableWidget* table = findingsTable(sheet.findings);
    std::optional<int> shown;
    QObject::connect(table, &QTableWidget::cellDoubleClicked, &dialog, [&](int row) {
        shown = row;
        dialog.reject();
    });
    auto* buttons = new QDialogButtonBox;
    QPushButton* proceed = nullptr;
    if (!sheet.proceedButton.isEmpty()) {
        proceed = buttons->addButton(sheet.proceedButton, QDialogButtonBox::AcceptRole);
        proceed->setAccessibleName(sheet.proceedButton);
    }
    QPushButton* close = buttons->addButton(sheet.closeButton, QDialogButtonBox::RejectRole);
    close->setAccessibleName(sheet.closeButton);
    close->setDefault(true);
    arrange(dialog, message, table, buttons, {640, 320});
    const bool accepted = dialog.exec() == QDialog::Accepted;
    return {accepted && proceed != nullptr, shown};
}

std::optional<int> QtDialogs::chooseApplication(QWidget* window, const ApplicationChoice& choice) {
    QDialog dialog(window);
    titled(dialog, choice.title);
    auto* message = new QLabel(choice.message);
    message->setWordWrap(true);
    auto* list = new QListWidget;
    list->setAccessibleName(tr("Applications"));
    list->setIconSize(QSize(32, 32));
    list->setUniformItemSizes(true);
    message->setBuddy(list);
    for (const ApplicationChoice::Application& application : choice.applications) {
        const QIcon icon = QFileInfo(application.icon).isAbsolute()
                               ? QIcon(application.icon)
                               : QIcon::fromTheme(application.icon);
        list->addItem(new QListWidgetItem(icon, application.name));
    }
    list->addItem(choice.otherItem);
    list->setCurrentRow(0);
    QObject::connect(list, &QListWidget::itemActivated, &dialog, &QDialog::accept);
    auto* buttons = new QDialogButtonBox;
    QPushButton* accept = buttons->addButton(tr("Choose"), QDialogButtonBox::AcceptRole);
    accept->setAccessibleName(accept->text());
    accept->setDefault(true);
    buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole)->setAccessibleName(tr("Cancel"));
    arrange(dialog, message, list, buttons, {420, 360});
    if (dialog.exec() != QDialog::Accepted || list->currentRow() < 0) {
        return std::nullopt;
    }
    const int row = list->currentRow();
    return row < static_cast<int>(choice.applications.size()) ? row : kOtherApplication;
}

Dialogs::SaveAnswer QtDialogs::askSaveChanges(QWidget* window) {
    QMessageBox box(window);
    box.setWindowModality(Qt::WindowModal);
    box.setIcon(QMessageBox::Question);
    box.setWindowTitle(QStringLiteral("Velvanto"));
    box.setText(tr("Save changes to the theme information?"));
    box.setAccessibleName(box.text());
    QPushButton* save = box.addButton(tr("Save"), QMessageBox::AcceptRole);
    QPushButton* dontSave = box.addButton(tr("Don't Save"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(tr("Cancel"), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save) {
        return SaveAnswer::Save;
    }
    return box.clickedButton() == dontSave ? SaveAnswer::DontSave : SaveAnswer::Cancel;
}

void QtDialogs::beep() {
    QApplication::beep();
}

void QtDialogs::openUrl(const QUrl& address) {
    QDesktopServices::openUrl(address);
}

QTableWidget* QtDialogs::findingsTable(const std::vector<ThemeFinding>& findings) {
    auto* table = new QTableWidget(static_cast<int>(findings.size()), 3);
    table->setAccessibleName(tr("Findings"));
    table->setAccessibleDescription(tr("Double-click a finding to show its image"));
    table->setHorizontalHeaderLabels({tr("Severity"), tr("Image"), tr("What")});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    table->setWordWrap(true);
    const MiscKit& catalogue = MiscKit::sharedFiles();
    for (int row = 0; row < table->rowCount(); ++row) {
        const ThemeFinding& finding = findings[static_cast<std::size_t>(row)];
        const bool error = finding.severity == ThemeFinding::Severity::Error;
        // A slot by the name the slot browser gives it, its key at hand in the tooltip.
        const QString image = QString::fromStdString(
            finding.key.empty()
                ? finding.file
                : catalogue.getNaturalNameForKey(finding.key).value_or(finding.key));
        const QStringList cells = {error ? tr("Error") : tr("Warning"), image,
                                   QString::fromStdString(finding.sentence)};
        for (int column = 0; column < cells.size(); ++column) {
            table->setItem(row, column, new QTableWidgetItem(cells[column]));
        }
        if (!finding.key.empty()) {
            table->item(row, 1)->setToolTip(QString::fromStdString(finding.key));
        }
    }
    table->resizeColumnsToContents();
    table->resizeRowsToContents();
    return table;
}

QString QtDialogs::startFolder(const QString& asked, const QString& last) {
    if (!asked.isEmpty()) {
        return asked;
    }
    return !last.isEmpty() && QFileInfo(last).isDir() ? last : QDir::homePath();
}

void QtDialogs::chose(const QString& chosen) {
    lastFolder_ = QFileInfo(chosen).absolutePath();
}
