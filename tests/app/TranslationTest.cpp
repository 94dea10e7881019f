#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QMenuBar>
#include <QPushButton>
#include <QTextBrowser>

#include "EditorTest.h"
#include "app/VelvantoApplication.h"
#include "translations/Translations.h"

// LANGUAGE is read once, when Qt first asks for the system's locale.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("LANGUAGE", "de");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

using TranslationTest = EditorTest;

// The editor started by a German user shows German menus and Qt's own German texts; of the
// languages a user lists, the first translated one wins unless English comes before it.
TEST_F(TranslationTest, TheUsersLanguage) {
    VelvantoApplication::prepare(appResources());
    MainController& c = start();
    QStringList menus;
    for (QAction* menu : mainWindow()->menuBar()->actions()) {
        menus << menu->text();
    }
    for (const char* title : {"&Datei", "D&ock", "B&ild", "&Ansicht", "&Fenster", "&Hilfe"}) {
        EXPECT_TRUE(menus.contains(title)) << title << " not in " << text(menus.join(' '));
    }
    c.btn_quickGuide();  // the bundle's German page, its pictures beside the English one's
    EXPECT_TRUE(named<QTextBrowser>("Text der Kurzanleitung")
                    ->toPlainText()
                    .startsWith("Velvanto-Kurzanleitung"));
    QDialogButtonBox box(QDialogButtonBox::Cancel);
    EXPECT_EQ(text(box.button(QDialogButtonBox::Cancel)->text()), "Abbrechen");
    const std::vector<std::pair<QStringList, QString>> cases = {
        {{"en-GB", "de-DE"}, ""}, {{"fr-FR"}, ""}, {{"fr-FR", "de-AT"}, "de"}};
    for (const auto& [languages, installed] : cases) {
        EXPECT_EQ(Translations::install(appResources(), languages), installed)
            << text(languages.join(' '));
        EXPECT_EQ(Translations::localized(appResources(), "Help.html"),
                  appResources() / (installed.isEmpty() ? "" : "de.lproj") / "Help.html");
    }
}
