#include "app/DesktopEntry.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

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

}  // namespace

std::optional<DesktopEntry> DesktopEntry::read(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return std::nullopt;
    }
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
        if (key == QLatin1String("Name")) {
            entry.name = value;
        } else if (key == QLatin1String("Exec")) {
            entry.exec = value;
        }
    }
    if (entry.exec.isEmpty()) {
        return std::nullopt;
    }
    return entry;
}

std::optional<QString> DesktopEntry::find(const QString& fileName) {
    if (fileName.isEmpty() || fileName.contains(QLatin1Char('/'))) {
        return std::nullopt;
    }
    for (const QString& folder :
         QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation)) {
        QString path = folder + QLatin1Char('/') + fileName;
        if (QFileInfo(path).isFile()) {
            return path;
        }
    }
    return std::nullopt;
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
