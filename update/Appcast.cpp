#include "update/Appcast.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include "model/ThemeVersion.h"

namespace {

constexpr QStringView kEnclosureType = u"application/zip";

// Why the feed's bytes are not UTF-8, or empty: a declared encoding other
// than UTF-8, a UTF-16 or UTF-32 byte-order mark, or bytes that don't decode.
QString notUtf8(const QByteArray& xml) {
    if (xml.startsWith("\xFE\xFF") || xml.startsWith("\xFF\xFE") ||
        xml.startsWith(QByteArray("\0\0\xFE\xFF", 4))) {
        return QStringLiteral("it is not UTF-8 (a UTF-16 or UTF-32 byte-order mark)");
    }
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(xml);
    if (decoder.hasError() || xml.contains('\0')) {
        return QStringLiteral("it is not UTF-8");
    }
    static const QRegularExpression declaration(
        QStringLiteral(R"(^\x{FEFF}?<\?xml[^>]*\bencoding\s*=\s*["']([^"']*)["'])"));
    const QRegularExpressionMatch match = declaration.match(text);
    if (match.hasMatch() && match.captured(1).compare(u"UTF-8", Qt::CaseInsensitive) != 0 &&
        match.captured(1).compare(u"UTF8", Qt::CaseInsensitive) != 0) {
        return QStringLiteral("it is not UTF-8 (it declares ") + match.captured(1) + u')';
    }
    return {};
}

bool isSparkle(const QXmlStreamReader& reader, QStringView name) {
    return reader.namespaceUri() == QLatin1String(Appcast::kNamespace) && reader.name() == name;
}

}  // namespace

std::optional<std::vector<AppcastItem>> Appcast::parse(const QByteArray& xml,
                                                       const QUrl& feedAddress, QString* why) {
    auto refuse = [why](const QString& reason) -> std::optional<std::vector<AppcastItem>> {
        *why = reason;
        return std::nullopt;
    };
    if (xml.size() > kMaxFeedBytes) {
        return refuse(QStringLiteral("it is larger than 1 MiB"));
    }
    if (const QString reason = notUtf8(xml); !reason.isEmpty()) {
        return refuse(reason);
    }
    QXmlStreamReader reader(xml);
    std::vector<AppcastItem> items;
    std::optional<AppcastItem> item;
    std::size_t seen = 0;
    bool rss = false;
    bool channel = false;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::DTD || token == QXmlStreamReader::EntityReference) {
            return refuse(QStringLiteral("it declares a DTD or entities"));
        }
        if (token == QXmlStreamReader::EndElement && reader.name() == u"item" && item) {
            if (!item->version.isEmpty() && item->url.isValid()) {
                items.push_back(std::move(*item));
            }
            item.reset();
            continue;
        }
        if (token != QXmlStreamReader::StartElement) {
            continue;
        }
        const QStringView name = reader.name();
        if (!rss) {
            if (name != u"rss") {
                return refuse(QStringLiteral("it is not an RSS feed"));
            }
            rss = true;
        } else if (name == u"channel" && !item) {
            channel = true;
        } else if (name == u"item" && channel && !item) {
            if (++seen > kMaxItems) {
                return refuse(QStringLiteral("it has more than %1 items").arg(kMaxItems));
            }
            item.emplace();
        } else if (!item) {
            continue;
        } else if (name == u"title" && reader.namespaceUri().isEmpty()) {
            item->title = reader.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
        } else if (name == u"pubDate") {
            item->pubDate =
                reader.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
        } else if (name == u"description" && reader.namespaceUri().isEmpty()) {
            item->notes = plainText(reader.readElementText(QXmlStreamReader::IncludeChildElements));
        } else if (isSparkle(reader, u"version")) {
            item->version =
                reader.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
        } else if (isSparkle(reader, u"shortVersionString")) {
            item->shortVersion =
                reader.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
        } else if (name == u"enclosure") {
            const QXmlStreamAttributes attributes = reader.attributes();
            const QString sparkle = QLatin1String(kNamespace);
            auto value = [&attributes](const QString& nameSpace, const char* attribute) {
                return attributes.value(nameSpace, QLatin1String(attribute)).trimmed().toString();
            };
            if (const QString url = value(QString(), "url"); !url.isEmpty()) {
                item->url = feedAddress.resolved(QUrl(url, QUrl::StrictMode));
            }
            bool number = false;
            const qint64 length = value(QString(), "length").toLongLong(&number);
            item->length = number && length >= 0 ? length : -1;
            item->signature = value(sparkle, "edSignature");
            if (item->version.isEmpty()) {
                item->version = value(sparkle, "version");
            }
            if (item->shortVersion.isEmpty()) {
                item->shortVersion = value(sparkle, "shortVersionString");
            }
        }
    }
    if (reader.hasError()) {
        return refuse(
            QStringLiteral("line %1: %2").arg(reader.lineNumber()).arg(reader.errorString()));
    }
    if (!channel) {
        return refuse(QStringLiteral("it has no <channel>"));
    }
    return items;
}

std::optional<AppcastItem> Appcast::newest(const std::vector<AppcastItem>& items,
                                           const std::string& currentVersion) {
    const AppcastItem* best = nullptr;
    std::string bestVersion = currentVersion;
    for (const AppcastItem& item : items) {
        const std::string version = item.version.toStdString();
        if (ThemeVersion::compare(version, bestVersion) > 0) {
            best = &item;
            bestVersion = version;
        }
    }
    return best ? std::optional<AppcastItem>(*best) : std::nullopt;
}

QByteArray Appcast::write(const std::vector<AppcastItem>& items, const QString& title) {
    QByteArray xml;
    QXmlStreamWriter writer(&xml);
    writer.setAutoFormatting(true);
    writer.writeStartDocument();
    writer.writeNamespace(QLatin1String(kNamespace), QStringLiteral("sparkle"));
    writer.writeStartElement(QStringLiteral("rss"));
    writer.writeAttribute(QStringLiteral("version"), QStringLiteral("2.0"));
    writer.writeStartElement(QStringLiteral("channel"));
    writer.writeTextElement(QStringLiteral("title"), title);
    const QString sparkle = QLatin1String(kNamespace);
    for (const AppcastItem& item : items) {
        writer.writeStartElement(QStringLiteral("item"));
        writer.writeTextElement(QStringLiteral("title"), item.title);
        writer.writeTextElement(QStringLiteral("pubDate"), item.pubDate);
        if (!item.notes.isEmpty()) {
            writer.writeTextElement(QStringLiteral("description"), item.notes);
        }
        writer.writeTextElement(sparkle, QStringLiteral("version"), item.version);
        if (!item.shortVersion.isEmpty()) {
            writer.writeTextElement(sparkle, QStringLiteral("shortVersionString"),
                                    item.shortVersion);
        }
        writer.writeEmptyElement(QStringLiteral("enclosure"));
        writer.writeAttribute(QStringLiteral("url"), item.url.toString(QUrl::FullyEncoded));
        if (item.length >= 0) {
            writer.writeAttribute(QStringLiteral("length"), QString::number(item.length));
        }
        writer.writeAttribute(QStringLiteral("type"), kEnclosureType.toString());
        if (!item.signature.isEmpty()) {
            writer.writeAttribute(sparkle, QStringLiteral("edSignature"), item.signature);
        }
        writer.writeEndElement();
    }
    writer.writeEndDocument();
    return xml;
}

QString Appcast::plainText(const QString& html) {
    static const QRegularExpression dropped(
        QStringLiteral(R"(<(script|style)\b.*?</\1\s*>|<!--.*?-->)"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression breaks(
        QStringLiteral(R"(<\s*(br|/p|p|/div|div|/li|/h[1-6]|/tr|/ul|/ol)\b[^>]*>)"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression item(QStringLiteral(R"(<\s*li\b[^>]*>)"),
                                         QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression tag(QStringLiteral(R"(<[^>]*>)"));
    static const QRegularExpression spaces(QStringLiteral(R"([ \t\r\f\v]+)"));
    static const QRegularExpression blank(QStringLiteral(R"( ?\n[ \n]*\n ?)"));
    QString text = html;
    text.remove(dropped);
    text.replace(item, QStringLiteral("\n\u2022 "));
    text.replace(breaks, QStringLiteral("\n"));
    text.remove(tag);
    text.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
        .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
        .replace(QStringLiteral("&quot;"), QStringLiteral("\""))
        .replace(QStringLiteral("&#39;"), QStringLiteral("'"))
        .replace(QStringLiteral("&nbsp;"), QStringLiteral(" "))
        .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    text.replace(spaces, QStringLiteral(" "));
    text.replace(blank, QStringLiteral("\n\n"));
    return text.trimmed();
}
