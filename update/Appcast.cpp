#include "update/Appcast.h"

std::optional<std::vector<AppcastItem>> Appcast::parse(const QByteArray&, const QUrl&,
                                                       QString* why) {
    *why = QStringLiteral("not yet read");
    return std::nullopt;
}

std::optional<AppcastItem> Appcast::newest(const std::vector<AppcastItem>&, const std::string&) {
    return std::nullopt;
}

QByteArray Appcast::write(const std::vector<AppcastItem>&, const QString&) {
    return {};
}

QString Appcast::plainText(const QString& html) {
    return html;
}
