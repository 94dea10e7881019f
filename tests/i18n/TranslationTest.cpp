#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QMenuBar>
#include <QPushButton>
#include <QTranslator>

#include "EditorTest.h"
#include "app/VelvantoApplication.h"
#include "translations/Translations.h"

// The editor as a German user starts it: LANGUAGE is read once, when Qt first
// asks for the system's locale, so it is set before the application is made.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("LANGUAGE", "de");
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

namespace {

class TranslationTest : public EditorTest {
protected:
    // Each test starts from the source texts.
    void TearDown() override {
        for (auto* translator : QCoreApplication::instance()->findChildren<QTranslator*>()) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
        EditorTest::TearDown();
    }
};

TEST_F(TranslationTest, ThePreferredTranslatedLanguageUnlessEnglishComesFirst) {
    const std::vector<std::pair<QStringList, QString>> cases = {
        {{"en-GB", "de-DE"}, ""},
        {{"fr-FR"}, ""},
        {{"fr-FR", "de-AT"}, "de"},
    };
    for (const auto& [languages, installed] : cases) {
        EXPECT_EQ(Translations::install(appResources(), languages), installed)
            << text(languages.join(' '));
    }
}

TEST_F(TranslationTest, TheEditorStartsInGermanWithQtsOwnTexts) {
    VelvantoApplication::prepare(appResources());
    start();
    QStringList menus;
    for (QAction* menu : mainWindow()->menuBar()->actions()) {
        menus << menu->text();
    }
    for (const char* title : {"&Datei", "D&ock", "B&ild", "&Ansicht", "&Fenster", "&Hilfe"}) {
        EXPECT_TRUE(menus.contains(title)) << title << " not in " << text(menus.join(' '));
    }
    QDialogButtonBox box(QDialogButtonBox::Cancel);
    EXPECT_EQ(text(box.button(QDialogButtonBox::Cancel)->text()), "Abbrechen");
}

}  // namespace
