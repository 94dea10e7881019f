#include "cli/ThemeCommandLine.h"

#include <QCommandLineParser>
#include <QDateTime>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <ostream>

#include "cli/UnpackedArchive.h"
#include "image/ImageFile.h"
#include "model/DockTheme.h"
#include "model/ThemeArchive.h"
#include "model/ThemeSignature.h"
#include "model/ThemeVersion.h"
#include "platform/Descriptor.h"
#include "platform/FileManager.h"
#include "platform/Log.h"
#include "update/ThemeUpdater.h"
#include "update/UpdateTransfer.h"

// The commands of a theme's updates: update-check and update for its users,
// appcast for its author.

namespace {

// Checks at once, as the collection runs them.
constexpr std::size_t kParallelChecks = 4;
// Release notes are a few paragraphs.
constexpr std::size_t kMaxNotesBytes = 64 * 1024;

std::string utf8(const QString& text) {
    return text.toStdString();
}

std::string versionText(const QString& version) {
    return version.isEmpty() ? std::string("no version") : utf8(version);
}

// An item's date as RSS writes it (RFC 822), in UTC.
QString rssDate(const QDateTime& when) {
    return QLocale::c().toString(when.toUTC(), QStringLiteral("ddd, dd MMM yyyy HH:mm:ss '+0000'"));
}

// What the archive at path announces: its theme's name, version and key,
// read after an import's unpacking into a temporary folder (all its bounds
// and the theme check); why not, or nothing.
std::optional<std::string> readRelease(const std::string& path, AppcastItem& item, QString& name,
                                       std::optional<std::string>& key) {
    const UnpackedArchive archive(path);
    if (!archive.bundle()) {
        return archive.why();
    }
    std::string why;
    const auto theme = DockTheme::initWithBundleAtPath(*archive.bundle(), &why);
    if (!theme) {
        return why;
    }
    const PlistValue* version =
        theme->infoDictionary() ? theme->infoDictionary()->find("VL_DockVersion") : nullptr;
    if (!version || !version->asString() || version->asString()->empty()) {
        return std::string("its theme has no version; give it one with info --set version=…");
    }
    item.version = QString::fromStdString(*version->asString());
    name = QString::fromStdString(
        theme->dockName().value_or(FileManager::lastComponent(*archive.bundle())));
    key = theme->dockPublicKey();
    return std::nullopt;
}

}  // namespace

int ThemeCommandLine::updateCheck(const QCommandLineParser& parser) {
    const bool json = parser.isSet(QStringLiteral("json"));
    const std::vector<std::string> bundles = operands(parser);
    std::vector<UpdateCheck> results(bundles.size());
    std::vector<std::unique_ptr<ThemeUpdater>> updaters;
    std::size_t next = 0;
    std::size_t done = 0;
    QEventLoop loop;
    for (std::size_t slot = 0; slot < std::min(kParallelChecks, bundles.size()); ++slot) {
        updaters.push_back(std::make_unique<ThemeUpdater>(ImageFile::readerSize));
        ThemeUpdater* updater = updaters.back().get();
        // The bundle this updater checks now, by its place among the operands.
        auto index = std::make_shared<std::size_t>(next++);
        QObject::connect(updater, &ThemeUpdater::checked, updater,
                         [&, updater, index](const UpdateCheck& result) {
                             results[*index] = result;
                             if (++done == bundles.size()) {
                                 loop.quit();
                             } else if (next < bundles.size()) {
                                 *index = next++;
                                 updater->check(bundles[*index]);
                             }
                         });
        updater->check(bundles[*index]);
    }
    loop.exec();
    bool failed = false;
    QJsonArray list;
    for (std::size_t index = 0; index < bundles.size(); ++index) {
        const UpdateCheck& result = results[index];
        const std::string bundle = Log::escaped(bundles[index]);
        failed = failed || result.outcome == UpdateCheck::Outcome::Failed;
        if (json) {
            static const char* const kOutcomes[] = {"up-to-date", "available", "error"};
            QJsonObject row{{"bundle", QString::fromStdString(bundles[index])},
                            {"outcome", kOutcomes[int(result.outcome)]},
                            {"version", result.currentVersion}};
            if (result.outcome == UpdateCheck::Outcome::Available) {
                row.insert("available", result.item.version);
                row.insert("signed", result.signedByAuthor);
                row.insert("url", result.item.url.toString());
                row.insert("notes", result.item.notes);
            } else if (result.outcome == UpdateCheck::Outcome::Failed) {
                row.insert("error", result.why);
            }
            list.append(row);
        } else if (result.outcome == UpdateCheck::Outcome::UpToDate) {
            out_ << bundle << ": " << painted("up to date", kGreen) << " ("
                 << Log::escaped(versionText(result.currentVersion)) << ")\n";
        } else if (result.outcome == UpdateCheck::Outcome::Available) {
            out_ << bundle << ": "
                 << painted(Log::escaped(utf8(result.item.version)) + " available", kYellow)
                 << (result.signedByAuthor ? " (signed)" : " (unsigned)") << '\n';
        } else {
            out_ << bundle << ": " << painted("error:", kRed) << ' '
                 << Log::escaped(utf8(result.why)) << '\n';
        }
    }
    if (json) {
        out_ << QJsonDocument(list).toJson(QJsonDocument::Indented).toStdString();
    }
    return failed ? kFailure : kSuccess;
}

int ThemeCommandLine::update(const QCommandLineParser& parser) {
    const QString allowUnsigned = QStringLiteral("allow-unsigned");
    const std::string bundle = operands(parser).front();
    ThemeUpdater updater(ImageFile::readerSize);
    QEventLoop loop;
    UpdateCheck found;
    QObject::connect(&updater, &ThemeUpdater::checked, &loop, [&](const UpdateCheck& result) {
        found = result;
        loop.quit();
    });
    updater.check(bundle);
    loop.exec();
    if (found.outcome == UpdateCheck::Outcome::Failed) {
        return fail(bundle, utf8(found.why));
    }
    if (found.outcome == UpdateCheck::Outcome::UpToDate) {
        out_ << Log::escaped(bundle) << ": up to date (" << versionText(found.currentVersion)
             << ")\n";
        return kSuccess;
    }
    if (!found.signedByAuthor && !parser.isSet(allowUnsigned)) {
        return fail(bundle, utf8(found.item.version) + " is available, but " +
                                ThemeUpdater::kUnsigned + "; --allow-unsigned installs it");
    }
    bool ok = false;
    QString why;
    QObject::connect(&updater, &ThemeUpdater::progress, &loop, [&](qint64 received, qint64 total) {
        if (terminal_.progress) {
            out_ << progressLine(std::size_t(received), std::size_t(std::max(total, received)))
                 << std::flush;
        }
    });
    QObject::connect(&updater, &ThemeUpdater::installed, &loop,
                     [&](bool installed, const QString& said) {
                         ok = installed;
                         why = said;
                         loop.quit();
                     });
    updater.install(bundle, found.item, parser.isSet(allowUnsigned),
                    [](const std::string&, const std::function<bool()>& swap) { return swap(); });
    loop.exec();
    if (terminal_.progress) {
        out_ << "\r\033[K";
    }
    if (!ok) {
        return fail(bundle, utf8(why));
    }
    out_ << Log::escaped(bundle) << ": updated to " << Log::escaped(utf8(found.item.version))
         << (why.isEmpty() ? std::string() : " (" + Log::escaped(utf8(why)) + ")") << '\n';
    return kSuccess;
}

int ThemeCommandLine::appcast(const QCommandLineParser& parser) {
    const QString keyFile = QStringLiteral("key");
    const QString prefix = QStringLiteral("url-prefix");
    const QString notes = QStringLiteral("notes");
    if (!parser.isSet(keyFile) || !parser.isSet(prefix)) {
        return usage("appcast needs --key KEYFILE and --url-prefix URL");
    }
    std::string why;
    const std::string keyPath = bytesOf(parser.value(keyFile));
    const std::optional<std::string> secret = ThemeSignature::readKeyFile(keyPath, &why);
    const std::optional<std::string> publicKey =
        secret ? ThemeSignature::publicKeyOf(*secret) : std::nullopt;
    if (!publicKey) {
        return fail(keyPath, secret ? "holds no usable key" : why);
    }
    QString base = parser.value(prefix);
    base += base.endsWith(u'/') ? QString() : QStringLiteral("/");
    const QUrl baseUrl(base, QUrl::StrictMode);
    if (const QString refused = UpdateTransfer::refusal(QUrl(), baseUrl, true);
        !refused.isEmpty()) {
        return usage("--url-prefix: " + utf8(refused));
    }
    std::string notesText;
    if (parser.isSet(notes)) {
        const std::string notesPath = bytesOf(parser.value(notes));
        FileManager::ReadOptions reading;
        reading.maxBytes = kMaxNotesBytes;
        const std::optional<std::string> read = FileManager::readFile(notesPath, reading);
        if (!read) {
            return fail(notesPath, "can't be read (a plain file of at most 64 KiB)");
        }
        notesText = *read;
    }
    std::vector<AppcastItem> items;
    QString title;
    for (const std::string& archive : operands(parser)) {
        AppcastItem item;
        QString name;
        std::optional<std::string> key;
        if (const auto refused = readRelease(archive, item, name, key)) {
            return fail(archive, *refused);
        }
        if (key != publicKey) {
            return fail(archive, key ? "its theme names another key than " + keyPath +
                                           "'s; its users could not install it"
                                     : "its theme names no key; set it with info --set "
                                       "public-key=" +
                                           *publicKey + " before export");
        }
        if (std::any_of(items.begin(), items.end(),
                        [&](const AppcastItem& other) { return other.version == item.version; })) {
            return fail(archive, "another archive holds version " + utf8(item.version));
        }
        Descriptor file(
            FileManager::openRegularFile(archive, true, AT_FDCWD, ThemeArchive::kMaxTotalBytes));
        struct stat info {};
        const std::optional<std::string> signature =
            file.valid() && ::fstat(file.get(), &info) == 0
                ? ThemeSignature::signFile(file.get(), ThemeArchive::kMaxTotalBytes, *secret, &why)
                : std::nullopt;
        if (!signature) {
            return fail(archive, file.valid() ? why : std::strerror(errno));
        }
        item.title = name + u' ' + item.version;
        item.pubDate = rssDate(QDateTime::fromSecsSinceEpoch(info.st_mtime));
        item.length = info.st_size;
        item.signature = QString::fromStdString(*signature);
        const std::string fileName = FileManager::lastComponent(archive);
        item.url = baseUrl.resolved(QUrl::fromEncoded(
            QUrl::toPercentEncoding(QByteArray(fileName.data(), qsizetype(fileName.size())))));
        title = title.isEmpty() ? name : title;
        items.push_back(std::move(item));
    }
    std::stable_sort(items.begin(), items.end(), [](const AppcastItem& a, const AppcastItem& b) {
        return ThemeVersion::compare(a.version.toStdString(), b.version.toStdString()) > 0;
    });
    // Plain text in a description, which readers take as HTML.
    items.front().notes =
        QString::fromUtf8(notesText.data(), qsizetype(notesText.size())).toHtmlEscaped();
    out_ << Appcast::write(items, title).toStdString();
    return kSuccess;
}
