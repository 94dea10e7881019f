#include "app/QtDialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/BundleFilter.h"

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
    dialog.setAccessibleName(panel.title.isEmpty() ? QStringLiteral("Save") : panel.title);
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
        dialog.setNameFilter(QStringLiteral("Dock themes (%1)").arg(patterns.join(' ')));
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
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setWindowTitle(sheet.title);
    dialog.setAccessibleName(sheet.title);
    dialog.setAccessibleDescription(sheet.message);
    auto* message =
        new QLabel(QStringLiteral("<b>%1</b><br>%2")
                       .arg(sheet.title.toHtmlEscaped(), sheet.message.toHtmlEscaped()));
    message->setWordWrap(true);
    message->setAccessibleName(sheet.message);
    auto* table = new QTableWidget(static_cast<int>(sheet.findings.size()), 3);
    table->setAccessibleName(QStringLiteral("Findings"));
    table->setAccessibleDescription(QStringLiteral("Double-click a finding to show its image"));
    table->setHorizontalHeaderLabels(
        {QStringLiteral("Severity"), QStringLiteral("Image"), QStringLiteral("What")});
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setStretchLastSection(true);
    table->setWordWrap(true);
    for (int row = 0; row < table->rowCount(); ++row) {
        const ThemeFinding& finding = sheet.findings[static_cast<std::size_t>(row)];
        const bool error = finding.severity == ThemeFinding::Severity::Error;
        const QString image =
            QString::fromStdString(finding.key.empty() ? finding.file : finding.key);
        const QStringList cells = {error ? QStringLiteral("Error") : QStringLiteral("Warning"),
                                   image, QString::fromStdString(finding.sentence)};
        for (int column = 0; column < cells.size(); ++column) {
            table->setItem(row, column, new QTableWidgetItem(cells[column]));
        }
    }
    table->resizeColumnsToContents();
    table->resizeRowsToContents();
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
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(message);
    layout->addWidget(table);
    layout->addWidget(buttons);
    dialog.resize(640, 320);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    return {accepted && proceed != nullptr, shown};
}

Dialogs::SaveAnswer QtDialogs::askSaveChanges(QWidget* window) {
    QMessageBox box(window);
    box.setWindowModality(Qt::WindowModal);
    box.setIcon(QMessageBox::Question);
    box.setWindowTitle(QStringLiteral("Velvanto"));
    box.setText(QStringLiteral("Save changes to the theme information?"));
    box.setAccessibleName(box.text());
    QPushButton* save = box.addButton(QStringLiteral("Save"), QMessageBox::AcceptRole);
    QPushButton* dontSave =
        box.addButton(QStringLiteral("Don't Save"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box.addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
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

QString QtDialogs::startFolder(const QString& asked, const QString& last) {
    if (!asked.isEmpty()) {
        return asked;
    }
    return !last.isEmpty() && QFileInfo(last).isDir() ? last : QDir::homePath();
}

void QtDialogs::chose(const QString& chosen) {
    lastFolder_ = QFileInfo(chosen).absolutePath();
}
