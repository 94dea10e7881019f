#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <optional>
#include <string>
#include <vector>

// One release of a theme as its feed announces it.
struct AppcastItem {
    QString title;
    QString pubDate;
    // Release notes as plain text (tags of an HTML description stripped).
    QString notes;
    // What "VL_DockVersion" of the release's theme is (ThemeVersion order).
    QString version;
    QString shortVersion;
    // The archive's address, resolved against the feed's.
    QUrl url;
    // The archive's announced size in bytes; -1 when not announced.
    qint64 length = -1;
    // The Ed25519 signature of the archive's bytes, base64; empty when unsigned.
    QString signature;
};

// A theme's update feed: an RSS 2.0 "appcast" with the namespace
// http://www.andymatuschak.org/xml-namespaces/sparkle, one <item> per release:
// <title>, <pubDate>, <description>, <sparkle:version> (or the enclosure's
// sparkle:version), <sparkle:shortVersionString> and <enclosure url length
// type sparkle:edSignature>.
//
// The feed comes from a stranger. parse() refuses, with why: more than
// kMaxFeedBytes; bytes that are not UTF-8 (an encoding other than UTF-8
// declared, a byte-order mark of UTF-16 or UTF-32, or any byte sequence that
// does not decode as UTF-8: the whole feed is decoded first); a DTD (so no
// entity is ever declared or expanded); XML that is not well formed; no
// <rss><channel>; more than kMaxItems items (refused, not cut: a feed cut
// short could hide the newest release). Items without a version or an
// enclosure url are skipped. Notes are plain text, never a page to show.
//
// Stateless; any thread.
class Appcast {
public:
    static constexpr qint64 kMaxFeedBytes = 1 << 20;
    static constexpr std::size_t kMaxItems = 10000;
    static constexpr const char* kNamespace = "http://www.andymatuschak.org/xml-namespaces/sparkle";

    // The items of the feed at feedAddress (relative urls resolve against
    // it), in the feed's order; nothing, with why (a clause), when refused.
    static std::optional<std::vector<AppcastItem>> parse(const QByteArray& xml,
                                                         const QUrl& feedAddress, QString* why);
    // The newest item (ThemeVersion order) newer than currentVersion; an
    // empty currentVersion counts as "0". Nothing when none is newer.
    static std::optional<AppcastItem> newest(const std::vector<AppcastItem>& items,
                                             const std::string& currentVersion);
    // A feed of items in the given order under a channel titled title; what
    // parse() reads back as items.
    static QByteArray write(const std::vector<AppcastItem>& items, const QString& title);
    // The plain text of an HTML fragment: tags dropped, <br>, <p>, <li> and
    // the like as line breaks, the common entities decoded, runs of blank
    // lines and spaces kept short.
    static QString plainText(const QString& html);
};
