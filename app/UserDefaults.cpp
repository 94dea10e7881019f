#include "app/UserDefaults.h"

#include <QSettings>
#include <QStandardPaths>

#include <algorithm>

namespace {

std::unique_ptr<QSettings> openStore() {
#ifdef Q_OS_MACOS
    return std::make_unique<QSettings>(QStringLiteral("Velvanto"), QStringLiteral("Velvanto"));
#else
    // Found anew each time, so a changed XDG_CONFIG_HOME is followed.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return std::make_unique<QSettings>(folder + QStringLiteral("/Velvanto/Velvanto.conf"),
                                       QSettings::IniFormat);
#endif
}

}  // namespace

UserDefaults::UserDefaults() : settings_(openStore()) {}

UserDefaults::~UserDefaults() = default;

std::optional<bool> UserDefaults::boolForKey(const char* key) const {
    QVariant value = settings_->value(QLatin1String(key));
    if (!value.isValid()) {
        return std::nullopt;
    }
    QString text = value.toString().trimmed().toLower();
    if (text == QLatin1String("yes") || text == QLatin1String("true")) {
        return true;
    }
    bool number = false;
    double amount = text.toDouble(&number);
    return number && amount != 0.0;
}

void UserDefaults::setBool(const char* key, bool value) {
    settings_->setValue(QLatin1String(key), value);
    settings_->sync();
}

std::optional<QString> UserDefaults::stringForKey(const char* key) const {
    QVariant value = settings_->value(QLatin1String(key));
    return value.isValid() ? std::optional<QString>(value.toString()) : std::nullopt;
}

void UserDefaults::setString(const char* key, const QString& value) {
    settings_->setValue(QLatin1String(key), value);
    settings_->sync();
}

void UserDefaults::remove(const char* key) {
    settings_->remove(QLatin1String(key));
    settings_->sync();
}

std::vector<std::string> UserDefaults::recentThemes() const {
    std::vector<std::string> paths;
    for (const QVariant& path : settings_->value(QLatin1String(kRecentThemes)).toList()) {
        if (QByteArray bytes = path.toByteArray(); !bytes.isEmpty()) {
            paths.push_back(bytes.toStdString());
        }
    }
    return paths;
}

void UserDefaults::addRecentTheme(const std::string& path) {
    std::vector<std::string> paths = recentThemes();
    std::erase(paths, path);
    paths.insert(paths.begin(), path);
    paths.resize(std::min(paths.size(), kMaxRecentThemes));
    setRecentThemes(paths);
}

void UserDefaults::setRecentThemes(const std::vector<std::string>& paths) {
    QVariantList stored;
    for (const std::string& path : paths) {
        // Bytes, not text: kept exactly as the file system names the folder.
        stored.append(QByteArray::fromStdString(path));
    }
    settings_->setValue(QLatin1String(kRecentThemes), stored);
    settings_->sync();
}

QString UserDefaults::fileName() const {
    return settings_->fileName();
}
