#include "app/DesktopEntry.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSet>
#include <QStandardPaths>

#include <algorithm>

namespace {

QString unescapeValue(const QString& value) {
    QString out;
    for (qsizetype i = 0; i < value.size(); ++i) {
        QChar c = value[i];
        if (c != QLatin1Char('\\') || i + 1 == value.size()) {
            out += c;
            continue;
        }
        QChar next = value[++i];
        // The string escapes and what they stand for, side by side.
        static const QString escapes = QStringLiteral("sntr\\");
        static const QString meanings = QStringLiteral(" \n\t\r\\");
        qsizetype known = escapes.indexOf(next);
        if (known >= 0) {
            out += meanings[known];
        } else {
            out += c;
            out += next;
        }
    }
    return out;
}

// One argument with its field codes expanded; sets named when a file code was there.
QString expand(const QString& word, const QString& file, bool& named) {
    QString out;
    for (qsizetype i = 0; i < word.size(); ++i) {
        if (word[i] != QLatin1Char('%') || i + 1 == word.size()) {
            out += word[i];
            continue;
        }
        QChar code = word[++i];
        if (QStringLiteral("fFuU").contains(code)) {
            out += file;
            named = true;
        } else if (code == QLatin1Char('%')) {
            out += QLatin1Char('%');
        }
    }
    return out;
}

// Every desktop file of the application folders, as its desktop file id and
// path, the folders in their order of precedence.
std::vector<std::pair<QString, QString>> entryFiles() {
    std::vector<std::pair<QString, QString>> files;
    for (const QString& folder :
         QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation)) {
        const QDir base(folder);
        QDirIterator entries(folder, {QStringLiteral("*.desktop")}, QDir::Files,
                             QDirIterator::Subdirectories);
        while (entries.hasNext()) {
            const QString path = entries.next();
            files.emplace_back(base.relativeFilePath(path).replace(QLatin1Char('/'), '-'), path);
        }
    }
    return files;
}

}  // namespace

std::optional<DesktopEntry> DesktopEntry::read(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return std::nullopt;
    }
    // The name in the user's language wins over the plain one ("de_DE", then "de").
    const QString locale = QLocale().name();
    const QStringList names = {QStringLiteral("Name"),
                               QStringLiteral("Name[%1]").arg(locale.section('_', 0, 0)),
                               QStringLiteral("Name[%1]").arg(locale)};
    qsizetype nameRank = -1;
    DesktopEntry entry;
    bool inGroup = false;
    while (!file.atEnd()) {
        QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inGroup = line == QLatin1String("[Desktop Entry]");
            continue;
        }
        qsizetype equals = line.indexOf(QLatin1Char('='));
        if (!inGroup || line.startsWith(QLatin1Char('#')) || equals < 0) {
            continue;
        }
        QString key = line.left(equals).trimmed();
        QString value = unescapeValue(line.mid(equals + 1).trimmed());
        const bool yes = value == QLatin1String("true");
        if (const qsizetype rank = names.lastIndexOf(key); rank > nameRank) {
            entry.name = value;
            nameRank = rank;
        } else if (key == QLatin1String("Exec")) {
            entry.exec = value;
        } else if (key == QLatin1String("Icon")) {
            entry.icon = value;
        } else if (key == QLatin1String("Type")) {
            entry.type = value;
        } else if (key == QLatin1String("TryExec")) {
            entry.tryExec = value;
        } else if (key == QLatin1String("MimeType")) {
            entry.mimeTypes = value.split(QLatin1Char(';'), Qt::SkipEmptyParts);
        } else if (key == QLatin1String("Hidden")) {
            entry.hidden = yes;
        } else if (key == QLatin1String("NoDisplay")) {
            entry.noDisplay = yes;
        } else if (key == QLatin1String("Terminal")) {
            entry.terminal = yes;
        }
    }
    if (entry.exec.isEmpty()) {
        return std::nullopt;
    }
    return entry;
}

std::optional<QString> DesktopEntry::find(const QString& id) {
    if (id.isEmpty() || id.contains(QLatin1Char('/'))) {
        return std::nullopt;
    }
    for (const auto& [known, path] : entryFiles()) {
        if (known == id) {
            return path;
        }
    }
    return std::nullopt;
}

std::vector<DesktopEntry> DesktopEntry::applicationsFor(const QString& mimeType) {
    std::vector<DesktopEntry> found;
    QSet<QString> seen;
    for (const auto& [id, path] : entryFiles()) {
        // The first of an id counts, even when it is unusable: it hides the later ones.
        if (seen.contains(id)) {
            continue;
        }
        seen.insert(id);
        std::optional<DesktopEntry> entry = read(path);
        if (!entry || entry->type != QLatin1String("Application") || entry->hidden ||
            entry->noDisplay || entry->terminal || !entry->mimeTypes.contains(mimeType) ||
            (!entry->tryExec.isEmpty() && !programPath(entry->tryExec))) {
            continue;
        }
        entry->id = id;
        found.push_back(std::move(*entry));
    }
    std::sort(found.begin(), found.end(), [](const DesktopEntry& a, const DesktopEntry& b) {
        const int order = QString::localeAwareCompare(a.name, b.name);
        return order != 0 ? order < 0 : a.id < b.id;
    });
    return found;
}

std::optional<QString> DesktopEntry::programPath(const QString& program) {
    const QString path =
        program.contains(QLatin1Char('/')) ? program : QStandardPaths::findExecutable(program);
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isAbsolute() || !info.isFile() || !info.isExecutable()) {
        return std::nullopt;
    }
    return path;
}

std::optional<QStringList> DesktopEntry::arguments(const QString& exec, const QString& file) {
    QStringList words;
    QString word;
    bool inWord = false;
    bool quoted = false;
    bool named = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        QChar c = exec[i];
        if (quoted) {
            if (c == QLatin1Char('\\') && i + 1 < exec.size() &&
                QStringLiteral("\"`$\\").contains(exec[i + 1])) {
                word += exec[++i];
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                word += c;
            }
            continue;
        }
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n')) {
            if (inWord) {
                words.append(word);
                word.clear();
                inWord = false;
            }
            continue;
        }
        inWord = true;
        if (c == QLatin1Char('"')) {
            quoted = true;
        } else {
            // Field codes work outside quotes only; a code's "%" is kept for expand().
            word += c == QLatin1Char('%') ? QStringLiteral("\x01") : QString(c);
        }
    }
    if (quoted) {
        return std::nullopt;
    }
    if (inWord) {
        words.append(word);
    }
    QStringList arguments;
    for (const QString& raw : words) {
        // Only the marked "%" (outside quotes) start field codes.
        QString literal = raw;
        literal.replace(QLatin1Char('%'), QStringLiteral("%%"));
        literal.replace(QChar(0x01), QLatin1Char('%'));
        QString expanded = expand(literal, file, named);
        if (!expanded.isEmpty() || !raw.contains(QChar(0x01))) {
            arguments.append(expanded);
        }
    }
    if (arguments.isEmpty()) {
        return std::nullopt;
    }
    if (!named) {
        arguments.append(file);
    }
    return arguments;
}
