#include "cli/ThemeCommandLine.h"

#include <QCommandLineParser>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <ostream>

#include "image/ImageFile.h"
#include "model/DockTheme.h"
#include "model/ImageHeader.h"
#include "model/MiscKit.h"
#include "model/ThemeCheck.h"
#include "model/ThemeSignature.h"
#include "platform/Log.h"

// The commands that tell what a bundle holds: check, info (and --set), slots.

namespace {

QString jsonText(const std::string& text) {
    return QString::fromStdString(text);
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
            row.natural = catalogue.getNaturalNameForKey(row.key).value_or("");
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

}  // namespace

int ThemeCommandLine::check(const std::vector<std::string>& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption json(QStringLiteral("json"),
                                  QStringLiteral("Lists the findings as a JSON array."));
    const QCommandLineOption strict(QStringLiteral("strict"),
                                    QStringLiteral("Fails on warnings too."));
    parser.addOptions({json, strict});
    describe(parser, "check",
             "Checks theme bundles as the editor does before a theme reaches the "
             "Dock. Exit status 0 when no bundle has an error, 1 when one has.",
             "BUNDLE", "Theme bundles.", "BUNDLE...");
    if (const int parsed = parse(parser, arguments, 1, SIZE_MAX); parsed != kSuccess) {
        return outcome(parsed);
    }
    QJsonArray list;
    bool failing = false;
    for (const std::string& bundle : operands(parser)) {
        const auto findings =
            ThemeCheck::check(bundle, MiscKit::sharedFiles(), ImageFile::readerSize);
        for (const ThemeFinding& finding : findings) {
            failing = failing || finding.severity == ThemeFinding::Severity::Error ||
                      parser.isSet(strict);
            if (parser.isSet(json)) {
                list.append(QJsonObject{{"bundle", jsonText(bundle)},
                                        {"severity", severityName(finding.severity)},
                                        {"key", jsonText(finding.key)},
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
    if (parser.isSet(json)) {
        writeJson(out_, list);
    }
    return failing ? kFailure : kSuccess;
}

int ThemeCommandLine::info(const std::vector<std::string>& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption set(
        QStringLiteral("set"),
        QStringLiteral("Writes FIELD (name, author, site, version or feed) as VALUE into "
                       "Info.plist first, as the editor saves it; may be given again. "
                       "public-key=KEY names the author's signing key (\"keygen\" tells it), "
                       "which the theme's updates must be signed with; public-key= removes it."),
        QStringLiteral("FIELD=VALUE"));
    parser.addOption(set);
    describe(parser, "info", "Tells a theme's information, its screenshots and its counts.",
             "BUNDLE", "A theme bundle.");
    if (const int parsed = parse(parser, arguments, 1, 1); parsed != kSuccess) {
        return outcome(parsed);
    }
    std::vector<std::pair<std::string, std::string>> changes;
    // The signing key is no field of the information: it is stored on its own.
    std::optional<std::string> publicKey;
    for (const QString& assignment : parser.values(set)) {
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
    std::string screenshots;
    for (DockStyle style : {DockStyle::ThreeD, DockStyle::TwoD}) {
        if (theme->existDockPreview(style)) {
            screenshots += std::string(screenshots.empty() ? "" : ", ") +
                           categoryName(categoryForStyle(style));
        }
    }
    const auto findings = ThemeCheck::check(bundle, MiscKit::sharedFiles(), ImageFile::readerSize);
    std::size_t errors = 0;
    for (const ThemeFinding& finding : findings) {
        errors += finding.severity == ThemeFinding::Severity::Error ? 1 : 0;
    }
    out_ << "Name: " << Log::escaped(information.name) << '\n'
         << "Author: " << Log::escaped(information.author) << '\n'
         << "Site: " << Log::escaped(information.site) << '\n'
         << "Version: " << Log::escaped(information.version) << '\n'
         << "Feed: " << Log::escaped(information.appcast) << '\n'
         << "Signed by key: " << Log::escaped(theme->dockPublicKey().value_or("none")) << '\n'
         << "Screenshots: " << (screenshots.empty() ? "none" : screenshots) << '\n'
         << "Slots: " << theme->dock_2d_images().size() << " 2D, " << theme->dock_3d_images().size()
         << " 3D\n"
         << "Check: " << errors << " errors, " << findings.size() - errors << " warnings\n";
    return kSuccess;
}

int ThemeCommandLine::slotTable(const std::vector<std::string>& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption json(QStringLiteral("json"),
                                  QStringLiteral("Lists the slots as a JSON array."));
    parser.addOption(json);
    describe(parser, "slots",
             "Lists every slot of both categories: key, readable name, file, the image's size, the "
             "size the Dock draws and whether the image is too big for it.",
             "BUNDLE", "A theme bundle.");
    std::string bundle;
    int status = kSuccess;
    const auto theme = parseTheme(parser, arguments, bundle, status);
    if (!theme) {
        return status;
    }
    const std::vector<SlotRow> rows = slotRows(*theme);
    if (parser.isSet(json)) {
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
