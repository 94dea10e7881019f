#include "translations/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {

// A translator of the application object holding prefix's file for locale, or nullptr.
QTranslator* loaded(const QLocale& locale, const QString& prefix, const QString& folder) {
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(locale, prefix, QStringLiteral("_"), folder)) {
        return translator;
    }
    delete translator;
    return nullptr;
}

QString& installedLanguage() {
    static QString language;
    return language;
}

}  // namespace

QString Translations::install(const std::filesystem::path& resourceFolder,
                              const QStringList& languages) {
    const QString folder = QString::fromStdString((resourceFolder / "translations").string());
    installedLanguage().clear();
    for (const QString& name : languages) {
        const QLocale language(name);
        if (language.language() == QLocale::English) {
            return QString();
        }
        QTranslator* own = loaded(language, QStringLiteral("velvanto"), folder);
        if (!own) {
            continue;
        }
        QCoreApplication::installTranslator(own);
        if (QTranslator* qt = loaded(language, QStringLiteral("qtbase"),
                                     QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            QCoreApplication::installTranslator(qt);
        }
        installedLanguage() = own->language();
        return installedLanguage();
    }
    return QString();
}

QString Translations::language() {
    return installedLanguage();
}

std::filesystem::path Translations::localized(const std::filesystem::path& resourceFolder,
                                              const std::string& name) {
    // A translation names its language with a region ("de_DE"); the pages go by the language.
    const std::string language = installedLanguage().section(QLatin1Char('_'), 0, 0).toStdString();
    std::error_code error;
    const std::filesystem::path page = resourceFolder / (language + ".lproj") / name;
    return !language.empty() && std::filesystem::is_regular_file(page, error)
               ? page
               : resourceFolder / name;
}
