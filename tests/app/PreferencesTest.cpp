// The preferences sheet, the external editor and its desktop entry.
#include "EditorTest.h"
#include "app/DesktopEntry.h"

class PreferencesTest : public EditorTest {
protected:
    // The system's application folders are the test's own, empty at first.
    void SetUp() override {
        EditorTest::SetUp();
        setEnv("XDG_DATA_DIRS", text(at("system")));
    }
    // An executable sh script at path that writes each argument on a line of out.
    void recorder(const QString& path, const QString& out) {
        writeScript(text(path), text(QStringLiteral("for a in \"$@\"; do printf '%s\\n' \"$a\"; "
                                                    "done > '%1.part'\nmv '%1.part' '%1'")
                                         .arg(out)));
    }
    static QString applications() {
        return qEnvironmentVariable("XDG_DATA_HOME") + "/applications";
    }
    void entry(const QString& fileName, const QString& body,
               const QString& folder = applications()) {
        writeFile(text(folder + "/" + fileName), text(body));
    }
};

TEST_F(PreferencesTest, CheckBoxesStoreWhatTheyShowAfterARelaunchAndEditorLabelsFollowTheChoice) {
    MainController& c = start();
    c.btn_show_preferences();
    auto* autoStyle = named<QCheckBox>("Set the Dock style when applying a theme");
    EXPECT_FALSE(named<QCheckBox>("Open themes in the image editor")->isChecked());
    EXPECT_FALSE(autoStyle->isChecked());
    EXPECT_FALSE(named<QCheckBox>("Give replaced images unique names")->isChecked());
    for (bool on : {true, false, true}) {  // each click is stored
        autoStyle->click();
        named<QCheckBox>("Give replaced images unique names")->click();
        EXPECT_EQ(UserDefaults().boolForKey("AutoDockStyle"), on);
        EXPECT_EQ(UserDefaults().boolForKey("GenerateUUID"), on);
    }
    named<QCheckBox>("Open themes in the image editor")->click();
    c.btn_close_preferences();

    MainController& again = start();
    // What is stored counts before the sheet is shown.
    int row = openAndSelect(again, "Separator_Horizontal");
    again.setFileImagePathForSelection(
        picture("red.png", {4, 4}),
        named<DragDropImageView>("Selected image (drop an image to replace it)"));
    EXPECT_EQ(QFileInfo(imagePath(again, row)).fileName().size(), 36);
    again.btn_show_preferences();
    EXPECT_TRUE(named<QCheckBox>("Open themes in the image editor")->isChecked());
    EXPECT_TRUE(named<QCheckBox>("Set the Dock style when applying a theme")->isChecked());
    EXPECT_TRUE(named<QCheckBox>("Give replaced images unique names")->isChecked());
    again.btn_close_preferences();
    // The editor's labels after choosing, cancelling and changing.
    const char* none = "Open Image In... (need to specify app)";
    EXPECT_EQ(action("Open the selected image in the external editor")->text(), none);
    entry("org.example.Paint.desktop",
          "[Desktop Entry]\nType=Application\nName=Paint\nExec=paint %f\nMimeType=image/png;\n");
    QString program = at("home/bin/draw");
    recorder(program, at("home/out"));
    // Answers the chooser (and the panel of Other…) and checks what is stored and shown.
    auto step = [&](bool change, std::optional<int> pick, std::optional<QString> stored,
                    const char* menu, const char* toolbar) {
        dialogs.applicationAnswers = {pick};
        dialogs.panelAnswers = {program};
        change ? again.btn_toolbar_changeEditor() : again.btn_toolbar_openWith();
        EXPECT_EQ(UserDefaults().stringForKey("EDITOR"), stored);
        EXPECT_EQ(action("Open the selected image in the external editor")->text(), menu);
        EXPECT_EQ(action("Open the image in the external editor")->text(), toolbar);
        EXPECT_EQ(dialogs.choices.back().applications.size(), 1u);
    };
    step(false, std::nullopt, std::nullopt, none, "Choose External Editor");
    step(false, 0, "org.example.Paint.desktop", "Open In Paint", "Edit in Paint");
    EXPECT_TRUE(dialogs.panelTitles.empty());
    step(true, Dialogs::kOtherApplication, program, "Open In draw", "Edit in draw");
    EXPECT_EQ(dialogs.panelTitles, std::vector<QString>{"Choose an external editor"});
    step(true, std::nullopt, std::nullopt, none, "Choose External Editor");
}

TEST_F(PreferencesTest, TheChooserListsTheImageEditorsAsOpenWithDoes) {
    const QString system = at("system/applications");
    const QString png = "MimeType=image/gif;image/png;\n";
    // Each: its file, its folder, the entry's lines after the group's.
    const std::tuple<QString, QString, QString> entries[] = {
        {"a.desktop", applications(), "Name=Zed\n" + png},
        {"a.desktop", system, "Name=Shadowed\n" + png},
        {"gone.desktop", applications(), "Hidden=true\n"},
        {"gone.desktop", system, "Name=Deleted by the user\n" + png},
        {"quiet.desktop", system, "Name=Quiet\nNoDisplay=true\n" + png},
        {"text.desktop", system, "Name=Text\nMimeType=text/plain;\n"},
        {"link.desktop", system, "Name=Link\nType=Link\n" + png},
        {"try.desktop", system, "Name=Try\nTryExec=/nowhere/x\n" + png},
        {"term.desktop", system, "Name=Term\nTerminal=true\n" + png},
        {"able.desktop", system, "Name=Able\nTryExec=sh\n" + png},
        {"sub/mid.desktop", system, "Name=Middle\nName[de]=Mitte\n" + png},
    };
    for (const auto& [file, folder, lines] : entries) {
        const QString type = lines.contains("Type=Link") ? "" : "Type=Application\n";
        entry(file, "[Desktop Entry]\nExec=x %f\n" + type + lines, folder);
    }
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    std::vector<std::string> listed;
    for (const DesktopEntry& found : DesktopEntry::applicationsFor("image/png")) {
        listed.push_back(text(found.name + " " + found.id));
    }
    QLocale::setDefault(before);
    EXPECT_EQ(listed, (std::vector<std::string>{"Able able.desktop", "Mitte sub-mid.desktop",
                                                "Zed a.desktop"}));
    EXPECT_EQ(DesktopEntry::find("sub-mid.desktop"), system + "/sub/mid.desktop");
}

TEST_F(PreferencesTest,
       ExecLinesSplitByTheRulesAndADesktopEntryOpensTheSelectedImageOrBeepsAndLogs) {
    const std::pair<QString, std::optional<QStringList>> cases[] = {
        {"gimp %U", QStringList{"gimp", "/f g.png"}},
        {"app --open=%f", QStringList{"app", "--open=/f g.png"}},
        {"app", QStringList{"app", "/f g.png"}},
        {"\"/opt/My App/run\" %F %u", QStringList{"/opt/My App/run", "/f g.png", "/f g.png"}},
        {"app \"\" '%f'", QStringList{"app", "", "'/f g.png'"}},
        {"app \"%f\"", QStringList{"app", "%f", "/f g.png"}},
        {"app %c %k %%", QStringList{"app", "%", "/f g.png"}},
        {"app \"open", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [exec, arguments] : cases) {
        EXPECT_EQ(DesktopEntry::arguments(exec, "/f g.png"), arguments) << text(exec);
    }
    QString program = at("home/bin/recorder");
    QString out = at("home/args");
    recorder(program, out);
    entry("recorder.desktop",
          QStringLiteral("[Desktop Entry]\nType=Application\nName=Recorder\n"
                         "Exec=\"%1\" --title \"two words\" \"a \\\\\"quoted\\\\\" \\\\$HOME\" %f "
                         "100%% %i\n")
              .arg(program));
    UserDefaults().setString("EDITOR", "recorder.desktop");
    MainController& c = start();
    openTheme(c);
    int row = rowOf(c, "Separator_Horizontal");
    c.btn_toolbar_openWith();  // no selection: nothing, no beep
    select(c, {row});
    c.btn_toolbar_openWith();
    ASSERT_TRUE(waitUntil([&] { return QFile::exists(out); }));
    EXPECT_EQ(QString::fromStdString(bytes(out)),
              QStringLiteral("--title\ntwo words\na \"quoted\" $HOME\n%1\n100%\n")
                  .arg(imagePath(c, row)));
    EXPECT_EQ(dialogs.beeps, 0);
    // Editors that cannot start.
    entry("broken.desktop", "[Desktop Entry]\nName=Broken\nExec=\"unclosed %f\n");
    entry("gone.desktop", "[Desktop Entry]\nName=Gone\nExec=/nowhere/gone %f\n");
    QString plain = at("home/bin/not-executable");
    writeFile(text(plain), "");
    int beeps = 0;
    for (QString editor : {QStringLiteral("broken.desktop"), QStringLiteral("gone.desktop"),
                           QStringLiteral("missing.desktop"), plain, at("home/bin/none")}) {
        UserDefaults().setString("EDITOR", editor);
        c.btn_toolbar_openWith();
        EXPECT_EQ(dialogs.beeps, ++beeps) << text(editor);
        EXPECT_TRUE(log.lines().back().starts_with("Cannot open ")) << log.lines().back();
    }
}
