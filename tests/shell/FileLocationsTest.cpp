#include "ShellFixture.h"

#include "shell/FileLocationsDialog.h"
#include "shell/UpdateWindow.h"
#include "store/ProgramSettings.h"

using namespace zelvora;

using FileLocationsTest = test::ShellFixture;

TEST_F(FileLocationsTest, FirstRunAsksForTheDirectoriesBeforeMakingACatalogue) {
    EXPECT_EQ(start(), nullptr) << "the main window gives way to the file locations dialog";
    auto* dialog = test::findWindow<FileLocationsDialog>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->reasonLabel->isVisible());
    EXPECT_TRUE(dialog->reasonLabel->text().contains("choose MAME's folder"));
    const auto boxes = [&] {
        QStringList texts;
        for (const QLineEdit* field : dialog->folderFields)
            texts << field->text();
        return texts;
    };
    EXPECT_EQ(boxes(),
              (QStringList{program.path() + "/", program.path() + "/pcx/", program.path() + "/roms/", "", ""}));
    EXPECT_FALSE(dialog->cancelButton->isEnabled());
    EXPECT_FALSE(QFile::exists(CatalogueFile(program.path())));

    // Browsing opens at the box's folder; cancelling the chooser changes nothing.
    const QString shots = program.path() + "/no shots yet";
    ASSERT_TRUE(QDir().mkpath(shots));
    dialogs.folders = {shots, ""};
    QTest::mouseClick(dialog->browseButtons[1], Qt::LeftButton);
    EXPECT_EQ(dialogs.directoriesAsked.last(), program.path() + "/pcx/");
    QTest::mouseClick(dialog->browseButtons[3], Qt::LeftButton);
    EXPECT_EQ(boxes(), (QStringList{program.path() + "/", shots + "/", program.path() + "/roms/", "", ""}));

    // OK stores each folder with its final "/"; without MAME the dialog comes back saying where.
    dialog->folderFields[0]->setText("  " + mame.path() + "  ");
    dialog->folderFields[2]->setText("   ");
    dialog->folderFields[3]->setText(program.path() + "/support");
    QTest::mouseClick(dialog->okButton, Qt::LeftButton);
    for (const auto& [key, folder] : {std::pair{"MameLocation", mameDir()},
                                      {"PCXFiles", shots + "/"},
                                      {"ROMFiles", ""},
                                      {"SupportFiles", program.path() + "/support/"}})
        EXPECT_EQ(settings.Get("Zelvora", "Settings", key, "?"), folder) << key;
    dialog = test::findWindow<FileLocationsDialog>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->reasonLabel->text().contains("\"" + mameDir() + "\""));
    EXPECT_TRUE(dialog->cancelButton->isEnabled()) << "the stored directory exists";

    installMame();
    QTest::mouseClick(dialog->cancelButton, Qt::LeftButton);
    window = test::findWindow<MainWindow>();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), QString("Zelvora  (0 Games)"));

    // Opened from the menu: modal over the window, no reason; Escape cancels, Enter is OK and
    // restarts the window.
    trigger("fileLocationsAction");
    QTest::keyClick(test::findWindow<FileLocationsDialog>(), Qt::Key_Escape);
    EXPECT_EQ(test::findWindow<FileLocationsDialog>(), nullptr);
    EXPECT_EQ(test::findWindow<MainWindow>(), window);
    trigger("fileLocationsAction");
    dialog = test::findWindow<FileLocationsDialog>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->parentWidget(), window);
    EXPECT_TRUE(dialog->isModal());
    EXPECT_FALSE(dialog->reasonLabel->isVisible());
    EXPECT_EQ(dialog->folderFields[3]->text(), program.path() + "/support/");
    dialog->folderFields[1]->setText(program.path() + "/shots");
    const QPointer<MainWindow> old(window);
    QTest::keyClick(dialog->folderFields[1], Qt::Key_Return);
    EXPECT_EQ(settings.Get("Zelvora", "Settings", "PCXFiles", "?"), program.path() + "/shots/");
    EXPECT_EQ(test::findWindow<FileLocationsDialog>(), nullptr);
    window = test::findWindow<MainWindow>();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(old.isNull());
    EXPECT_EQ(vars.PcxPath, program.path() + "/shots/");
    EXPECT_EQ(vars.SupportPath, program.path() + "/support/");
}

#ifdef ZELVORA_STANDIN_PATH
// A first start with today's MAME installed: its folders fill the boxes, one Enter keeps them, with
// MAME's own for the searches after the user's, and the update runs at once; its OK shows the list.
TEST_F(FileLocationsTest, FirstStartTakesTheFoldersOfTheMameItFinds) {
    const QString today = useTodaysFolder();
    shell.MameSearchFolders = {program.path() + "/nowhere", mame.path(), today};
    EXPECT_EQ(start(), nullptr);
    auto* dialog = test::findWindow<FileLocationsDialog>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->reasonLabel->text().contains("MAME was found in \"" + today + "\""));
    const QString home = QDir::homePath();
    const QStringList expected{today, today + "snap/", home + "/mame/roms/;" + today + "roms/",
                               home + "/.mame/;" + today + "ini/", today + "artwork/"};
    for (int i = 0; i < FileLocationsDialog::FolderCount; ++i)
        EXPECT_EQ(dialog->folderFields[i]->text(), expected[i]);

    dialog->folderFields[2]->setText(" /my roms ; " + home + "/mame/roms");
    QTest::keyClick(dialog->folderFields[0], Qt::Key_Return);
    EXPECT_EQ(settings.Get("Zelvora", "Settings", "ROMFiles", "?"), "/my roms/;" + home + "/mame/roms/");
    const MameFolders kept = ProgramSettings(settings).ReadMameFolders();
    EXPECT_EQ(kept.roms, (QStringList{home + "/mame/roms", today + "roms"}));
    EXPECT_EQ(SearchFolders(vars.RomPath, kept.roms), (QStringList{"/my roms/", home + "/mame/roms/", today + "roms"}));
    EXPECT_TRUE(dialogs.questions.isEmpty()) << "OK asked for the update";
    QTRY_VERIFY(test::findWindow<UpdateWindow>() != nullptr);
    auto* update = test::findWindow<UpdateWindow>();
    QTRY_VERIFY(update->okButton->isEnabled());
    update->okButton->click();
    window = test::findWindow<MainWindow>();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->windowTitle().contains("Games)")) << window->windowTitle().toStdString();
    EXPECT_FALSE(window->windowTitle().contains("(0 Games)"));
}
#endif

// The start-up needs exactly the file every command runs, and says what it found instead.
TEST_F(FileLocationsTest, StartUpNeedsAnExecutableNamedMameInTheFolder) {
    const struct {
        const char* what;
        const char* stored; // under the MAME folder of the case
        const char* file;   // made in that folder; "dir:" makes a folder
        bool executable;
        const char* said; // empty: the main window starts
    } cases[] = {
        {"MAME itself", "/", "mame", true, ""},
        {"the name in capitals", "/", "MAME", true, "No \"mame\" executable was found in the MAME folder"},
        {"a folder of that name", "/", "dir:mame", true, "No \"mame\" executable"},
        {"a file that cannot run", "/", "mame", false, "No \"mame\" executable"},
        {"no final slash", "", "mame", true, "lacks its final \"/\""},
        {"no such folder", "/gone/", "mame", true, "does not exist"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempProgramDir folder;
        const QString file = folder.file(QString(c.file).remove("dir:"));
        if (QString(c.file).startsWith("dir:"))
            ASSERT_TRUE(QDir().mkpath(file));
        else
            test::WriteScript(file, "#!/bin/sh\n", c.executable);
        const QString stored = folder.path() + c.stored;
        settings.Save("Zelvora", "Settings", "MameLocation", stored);

        const bool started = start() != nullptr;
        auto* dialog = test::findWindow<FileLocationsDialog>();
        EXPECT_EQ(started, QString(c.said).isEmpty());
        if (dialog) {
            EXPECT_TRUE(dialog->reasonLabel->text().contains(c.said)) << dialog->reasonLabel->text().toStdString();
            EXPECT_TRUE(dialog->reasonLabel->text().contains(stored));
            EXPECT_EQ(dialog->cancelButton->isEnabled(), QDir(stored).exists()) << "Cancel needs a folder";
        }
        test::closeAll();
    }
}
