#include "app/ThemeExporter.h"

#include <QFileInfo>
#include <QObject>

#include <filesystem>

#include "app/Background.h"
#include "app/Dialogs.h"
#include "image/ImageFile.h"
#include "model/MiscKit.h"
#include "model/ThemeArchive.h"
#include "platform/FileManager.h"

namespace {

// The archive's path for what the save panel gave: ".docktheme.zip" or
// ".zip" added where the name lacks it.
QString archivePath(QString chosen) {
    if (!chosen.endsWith(QStringLiteral(".zip"), Qt::CaseInsensitive)) {
        if (!chosen.endsWith(QStringLiteral(".docktheme"))) {
            chosen += QStringLiteral(".docktheme");
        }
        chosen += QString::fromLatin1(ThemeArchive::kExportSuffix);
    }
    return chosen;
}

}  // namespace

void ThemeExporter::exportBundle(QWidget* window, Dialogs& dialogs, const std::string& bundle,
                                 QObject* context,
                                 const std::function<void(std::optional<QString>)>& done) {
    auto finish = [done](std::optional<QString> archive) {
        if (done) {
            done(std::move(archive));
        }
    };
    const QString name = QString::fromStdString(std::filesystem::path(bundle).filename().string());
    Dialogs::SavePanel panel;
    panel.title = tr("Export Theme");
    panel.proposedName = name + QString::fromLatin1(ThemeArchive::kExportSuffix);
    panel.fileTypes = {QStringLiteral("zip")};
    std::optional<QString> chosen = dialogs.runSavePanel(window, panel);
    if (!chosen) {
        return finish(std::nullopt);
    }
    const QString archive = archivePath(*chosen);
    // Only a regular file is asked about and replaced; a link or anything else there stays.
    std::error_code error;
    const bool replacing = std::filesystem::symlink_status(archive.toStdString(), error).type() ==
                           std::filesystem::file_type::regular;
    if (replacing &&
        !dialogs.ask(
            window, tr("File already exists!"), tr("Replace"), tr("Cancel"),
            tr("%1 already exists. Want you to replace it?").arg(QFileInfo(archive).fileName()))) {
        return finish(std::nullopt);
    }
    const FileManager::Existing existing =
        replacing ? FileManager::Existing::RegularFileReplaced : FileManager::Existing::Kept;
    using Result = std::optional<std::string>;  // why it failed, or nothing
    Background::run(
        QThreadPool::globalInstance(), context,
        [bundle, target = archive.toStdString(), existing]() -> Result {
            std::string why;
            return ThemeArchive::write(bundle, target, MiscKit::sharedFiles(),
                                       ImageFile::readerSize, existing, &why)
                       ? Result()
                       : Result(why);
        },
        [window, &dialogs, archive, name, finish](const Result& why) {
            if (why) {
                // The check's sentences end in a stop of their own.
                QString reason = QString::fromStdString(*why);
                if (reason.endsWith(QLatin1Char('.'))) {
                    reason.chop(1);
                }
                dialogs.alert(window, tr("Theme Not Exported"), tr("OK"),
                              tr("%1 could not be exported: %2.").arg(name, reason));
                return finish(std::nullopt);
            }
            finish(archive);
        });
}
