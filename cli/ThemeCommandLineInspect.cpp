#include "cli/ThemeCommandLine.h"

#include <QCommandLineParser>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ostream>

#include "cli/UnpackedArchive.h"
#include "image/ImageFile.h"
#include "model/DockTheme.h"
#include "model/ImageHeader.h"
#include "model/MiscKit.h"
#include "model/ThemeCheck.h"
#include "model/ThemeSignature.h"
#include "platform/BundleFolder.h"
#include "platform/Log.h"

// check, info (and info --set) and slots: what a bundle holds.

namespace {

QString jsonText(const std::string& text) {
    return QString::fromStdString(text);
}

std::string utf8(const QString& text) {
    return text.toStdString();
}

// The catalogue's display name for a slot key ("Divider, 3D"), the one the
// editor lists; empty for an empty key or one the catalogue lacks.
std::string naturalName(const std::string& key) {
    return key.empty() ? std::string()
                       : MiscKit::sharedFiles().getNaturalNameForKey(key).value_or("");
}

void writeJson(std::ostream& out, const QJsonArray& array) {
    out << QJsonDocument(array).toJson(QJsonDocument::Indented).toStdString();
}

const char* severityName(ThemeFinding::Severity severity) {
    return severity == ThemeFinding::Severity::Error ? "error" : "warning";
}

const char* categoryName(DockCategory category) {
    return category == DockCategory::TwoD ? "2D" : "3D";
}

std::string sizeText(int width, int height) {
    return std::to_string(width) + "x" + std::to_string(height);
}

// The columns text takes on a terminal: a column per character of UTF-8.
std::size_t columnsOf(const std::string& text) {
    return std::size_t(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// One slot of a bundle as the slots command lists it.
struct SlotRow {
    DockCategory category = DockCategory::TwoD;
    std::string key;
    std::string natural;
    std::string file;
    std::optional<ImageSize> size;
    DockSize dockSize;
    bool tooBig() const {
        return size && (size->width > dockSize.width || size->height > dockSize.height);
    }
};

std::optional<ImageSize> imageSize(const DockTheme& theme, const std::string& path) {
    const Descriptor file = theme.openImage(path);
    return file.valid() ? ImageFile::pictureSize(file.get()) : std::nullopt;
}

std::vector<SlotRow> slotRows(const DockTheme& theme) {
    const MiscKit& catalogue = MiscKit::sharedFiles();
    std::vector<SlotRow> rows;
    for (DockCategory category : {DockCategory::TwoD, DockCategory::ThreeD}) {
        for (const DockTheme::Item& item : theme.slotList(category)) {
            SlotRow row;
            row.category = category;
            row.key = item->keyDock();
            row.natural = naturalName(row.key);
            row.file = theme.getFileNameForKey(row.key, category).value_or("");
            row.size = imageSize(theme, item->path());
            row.dockSize = catalogue.getSizeForFileKey(row.key);
            rows.push_back(std::move(row));
        }
    }
    return rows;
}

// The field of information a --set names; nothing for a name it does not know.
// Without information, tells only whether the name is known (any non-null).
std::string* informationField(const std::string& field, DockTheme::Information* information) {
    static DockTheme::Information probe;
    DockTheme::Information& values = information ? *information : probe;
    if (field == "name") {
        return &values.name;
    }
    if (field == "author") {
        return &values.author;
    }
    if (field == "site") {
        return &values.site;
    }
    if (field == "version") {
        return &values.version;
    }
    return field == "feed" ? &values.appcast : nullptr;
}

// The --set field of the theme's signing key.
constexpr const char* kPublicKeyField = "public-key";

// Fills findings with the check of path: a bundle folder, or any other file
// read as a theme archive through UnpackedArchive (the import's bounded
// reader). Returns why path can't be checked instead, when it can't.
std::optional<std::string> themeFindings(const std::string& path,
                                         std::vector<ThemeFinding>& findings) {
    const auto check = [&findings](const std::string& bundle) {
        findings = ThemeCheck::check(bundle, MiscKit::sharedFiles(), ImageFile::readerSize);
        return std::nullopt;
    };
    struct stat there {};
    if (::stat(path.c_str(), &there) != 0) {
        return errno == ENOENT ? utf8(ThemeCommandLine::tr("not a theme: nothing is there"))
                               : ThemeCommandLine::filled(
                                     ThemeCommandLine::tr("not a theme: it can't be read (%1)"),
                                     {std::strerror(errno)});
    }
    if (S_ISDIR(there.st_mode)) {
        const auto folder = BundleFolder::open(path);
        if (folder && folder->entryAt("Info.plist") == BundleFolder::Entry::None) {
            return utf8(ThemeCommandLine::tr("not a theme: it holds no Info.plist"));
        }
        return check(path);
    }
    const UnpackedArchive archive(path);
    if (const auto& unpacked = archive.bundle() ? archive.bundle() : archive.refusedByCheck()) {
        return check(*unpacked);
    }
    return archive.why();
}

}  // namespace

int ThemeCommandLine::check(const QCommandLineParser& parser) {
    const bool json = parser.isSet(QStringLiteral("json"));
    QJsonArray list;
    bool failing = false;
    for (const std::string& bundle : operands(parser)) {
        std::vector<ThemeFinding> findings;
        if (const auto refused = themeFindings(bundle, findings)) {
            failing = true;
            fail(bundle, *refused);
            continue;
        }
        for (const ThemeFinding& finding : findings) {
            failing = failing || finding.severity == ThemeFinding::Severity::Error ||
                      parser.isSet(QStringLiteral("strict"));
            if (json) {
                list.append(QJsonObject{{"bundle", jsonText(bundle)},
                                        {"severity", severityName(finding.severity)},
                                        {"key", jsonText(finding.key)},
                                        {"name", jsonText(naturalName(finding.key))},
                                        {"file", jsonText(finding.file)},
                                        {"text", jsonText(finding.sentence)}});
                continue;
            }
            std::string where = finding.key;
            if (!finding.file.empty()) {
                where += (where.empty() ? "(" : " (") + finding.file + ")";
            }
            // One line each, whatever the path and the bundle's names hold.
            const bool error = finding.severity == ThemeFinding::Severity::Error;
            out_ << Log::escaped(bundle) << ": "
                 << painted(severityName(finding.severity), error ? kRed : kYellow) << ": "
                 << Log::escaped((where.empty() ? "" : where + ": ") + finding.sentence) << '\n';
        }
    }
    if (json) {
        writeJson(out_, list);
    }
    return failing ? kFailure : kSuccess;
}

int ThemeCommandLine::info(const QCommandLineParser& parser) {
    std::vector<std::pair<std::string, std::string>> changes;
    // The signing key is no field of the information: it is stored on its own.
    std::optional<std::string> publicKey;
    for (const QString& assignment : parser.values(QStringLiteral("set"))) {
        const std::string text = bytesOf(assignment);
        const auto equals = text.find('=');
        const std::string field = text.substr(0, equals);
        const std::string value = equals == std::string::npos ? "" : text.substr(equals + 1);
        if (equals != std::string::npos && field == kPublicKeyField) {
            publicKey = value;
            continue;
        }
        changes.emplace_back(field, value);
        if (equals == std::string::npos || !informationField(field, nullptr)) {
            return usage(
                "--set takes name=, author=, site=, version=, feed= or public-key=, not '" +
                Log::escaped(text) + "'");
        }
    }
    const std::string bundle = operands(parser).front();
    // Refused before anything is written.
    if (publicKey && !publicKey->empty() && !ThemeSignature::isPublicKey(*publicKey)) {
        return fail(bundle, "not a public key: " + *publicKey);
    }
    const auto theme = openTheme(bundle);
    if (!theme) {
        return kFailure;
    }
    DockTheme::Information information = theme->information();
    if (!changes.empty()) {
        for (const auto& [field, value] : changes) {
            *informationField(field, &information) = value;
        }
        if (!theme->saveInformation(information, nullptr)) {
            return fail(bundle, theme->errorString());
        }
    }
    if (publicKey && *publicKey != theme->dockPublicKey().value_or("") &&
        !theme->storePublicKey(*publicKey)) {
        return fail(bundle, theme->errorString());
    }
    QJsonArray screenshots;
    for (DockStyle style : {DockStyle::ThreeD, DockStyle::TwoD}) {
        if (theme->existDockPreview(style)) {
            screenshots.append(categoryName(categoryForStyle(style)));
        }
    }
    const auto findings = ThemeCheck::check(bundle, MiscKit::sharedFiles(), ImageFile::readerSize);
    const auto errors = std::size_t(
        std::count_if(findings.begin(), findings.end(), [](const ThemeFinding& finding) {
            return finding.severity == ThemeFinding::Severity::Error;
        }));
    const std::size_t warnings = findings.size() - errors;
    const std::optional<std::string> key = theme->dockPublicKey();
    if (parser.isSet(QStringLiteral("json"))) {
        out_ << QJsonDocument(
                    QJsonObject{
                        {"bundle", jsonText(bundle)},
                        {"name", jsonText(information.name)},
                        {"author", jsonText(information.author)},
                        {"site", jsonText(information.site)},
                        {"version", jsonText(information.version)},
                        {"feed", jsonText(information.appcast)},
                        {"publicKey", key ? QJsonValue(jsonText(*key)) : QJsonValue()},
                        {"screenshots", screenshots},
                        {"slots", QJsonObject{{"2D", qint64(theme->dock_2d_images().size())},
                                              {"3D", qint64(theme->dock_3d_images().size())}}},
                        {"errors", qint64(errors)},
                        {"warnings", qint64(warnings)}})
                    .toJson(QJsonDocument::Indented)
                    .toStdString();
        return kSuccess;
    }
    QStringList shown;
    for (const QJsonValue& style : screenshots) {
        shown << style.toString();
    }
    out_ << "Name: " << Log::escaped(information.name) << '\n'
         << "Author: " << Log::escaped(information.author) << '\n'
         << "Site: " << Log::escaped(information.site) << '\n'
         << "Version: " << Log::escaped(information.version) << '\n'
         << "Feed: " << Log::escaped(information.appcast) << '\n'
         << "Signed by key: " << Log::escaped(key.value_or("none")) << '\n'
         << "Screenshots: " << (shown.isEmpty() ? "none" : utf8(shown.join(u", "))) << '\n'
         << "Slots: " << theme->dock_2d_images().size() << " 2D, " << theme->dock_3d_images().size()
         << " 3D\n"
         << "Check: " << counted(errors, tr("%1 error"), tr("%1 errors")) << ", "
         << counted(warnings, tr("%1 warning"), tr("%1 warnings")) << '\n';
    return kSuccess;
}

int ThemeCommandLine::slotTable(const QCommandLineParser& parser) {
    const auto theme = openTheme(operands(parser).front());
    if (!theme) {
        return kFailure;
    }
    const std::vector<SlotRow> rows = slotRows(*theme);
    if (parser.isSet(QStringLiteral("json"))) {
        QJsonArray list;
        for (const SlotRow& row : rows) {
            QJsonObject object{{"category", categoryName(row.category)},
                               {"key", jsonText(row.key)},
                               {"natural", jsonText(row.natural)},
                               {"file", jsonText(row.file)},
                               {"dockWidth", double(row.dockSize.width)},
                               {"dockHeight", double(row.dockSize.height)},
                               {"tooBig", row.tooBig()}};
            object.insert("width", row.size ? QJsonValue(row.size->width) : QJsonValue());
            object.insert("height", row.size ? QJsonValue(row.size->height) : QJsonValue());
            list.append(object);
        }
        writeJson(out_, list);
        return kSuccess;
    }
    std::vector<std::vector<std::string>> table{
        {"CATEGORY", "KEY", "NAME", "FILE", "SIZE", "DOCK SIZE", ""}};
    for (const SlotRow& row : rows) {
        // A stranger's names reach the terminal with their control characters escaped.
        table.push_back({categoryName(row.category), Log::escaped(row.key), row.natural,
                         Log::escaped(row.file),
                         row.size ? sizeText(row.size->width, row.size->height) : "?",
                         sizeText(int(row.dockSize.width), int(row.dockSize.height)),
                         row.tooBig() ? painted("too big", kYellow) : ""});
    }
    std::vector<std::size_t> widths(table.front().size(), 0);
    for (const auto& line : table) {
        for (std::size_t column = 0; column < line.size(); ++column) {
            widths[column] = std::max(widths[column], columnsOf(line[column]));
        }
    }
    for (const auto& line : table) {
        std::string text;
        for (std::size_t column = 0; column < line.size(); ++column) {
            text += line[column];
            if (column + 1 < line.size()) {
                text += std::string(widths[column] - columnsOf(line[column]) + 2, ' ');
            }
        }
        while (!text.empty() && text.back() == ' ') {
            text.pop_back();
        }
        out_ << text << '\n';
    }
    return kSuccess;
}
