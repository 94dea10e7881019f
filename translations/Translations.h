#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

#include <filesystem>

// The program's texts in the user's language. install() looks through the
// user's languages in order (QLocale::system().uiLanguages(), which honours
// LANGUAGE, or those given) for the first one this program has a translation for,
// "translations/velvanto_<language>.qm" in the resource folder, and installs
// it together with Qt's own for the same language ("qtbase_<language>.qm"
// from Qt's translations folder), so that the program's texts and Qt's
// dialogs speak one language. English is the source language: a user who puts
// it before any translated language keeps the source texts. Only those files
// are read; nothing is written. The translators belong to the application
// object. Call once, on the main thread, after the application object is made
// and before any window or text.
class Translations {
public:
    // The language installed as its translation names it ("de"), or an empty
    // string when the source texts stay.
    static QString install(const std::filesystem::path& resourceFolder,
                           const QStringList& languages = QLocale::system().uiLanguages());
    // The language install() put in place last, or an empty string.
    static QString language();
    // A page of the resource folder in that language: "<language>.lproj/name"
    // when the folder has it, else name itself.
    static std::filesystem::path localized(const std::filesystem::path& resourceFolder,
                                           const std::string& name);
};
