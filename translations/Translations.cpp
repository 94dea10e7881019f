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

}  // namespace

QString Translations::install(const std::filesystem::path& resourceFolder,
                              const QStringList& languages) {
    const QString folder = QString::fromStdString((resourceFolder / "translations").string());
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
        return own->language();
    }
    return QString();
}
