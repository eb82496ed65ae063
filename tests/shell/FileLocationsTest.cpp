#include "MainWindowParts.h"
#include "ShellFixture.h"

#include "shell/frmFileLocations.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace zelvora;

using FileLocationsTest = test::ShellFixture;

TEST_F(FileLocationsTest, FirstRunAsksForTheDirectoriesBeforeMakingACatalogue) {
    EXPECT_EQ(start(), nullptr) << "the main window gives way to the file locations dialog";
    auto* dialog = test::findWindow<frmFileLocations>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), QString("File Locations"));
    EXPECT_TRUE(dialog->lblReason->isVisible());
    EXPECT_TRUE(dialog->lblReason->text().contains("choose MAME's folder"));
    EXPECT_EQ(dialog->txtFile[0]->text(), program.path() + "/");
    EXPECT_EQ(dialog->txtFile[1]->text(), program.path() + "/pcx/");
    EXPECT_EQ(dialog->txtFile[2]->text(), program.path() + "/roms/");
    EXPECT_FALSE(dialog->Command3->isEnabled());
    EXPECT_FALSE(QFile::exists(CatalogueFile(program.path())));
    EXPECT_EQ(settings.Get("zelvora", "settings", "Last", ""), QString("0"));

    // Browsing chooses a folder, an empty one too, opening at the box's folder; cancelling the
    // chooser changes nothing.
    const QString shots = program.path() + "/no shots yet";
    ASSERT_TRUE(QDir().mkpath(shots));
    dialogs.folders = {shots, ""};
    QTest::mouseClick(dialog->Command1[1], Qt::LeftButton);
    EXPECT_EQ(dialog->txtFile[1]->text(), shots + "/");
    EXPECT_EQ(dialogs.directoriesAsked.last(), program.path() + "/pcx/");
    QTest::mouseClick(dialog->Command1[2], Qt::LeftButton);
    EXPECT_EQ(dialog->txtFile[2]->text(), program.path() + "/roms/");
    EXPECT_TRUE(dialogs.files.empty() && dialogs.filtersAsked.isEmpty()) << "no file is picked";

    // OK with a directory that lacks MAME brings the dialog straight back, with what was stored,
    // and says what is missing where.
    dialog->txtFile[0]->setText("  " + mameDir() + "  ");
    QTest::mouseClick(dialog->Command2, Qt::LeftButton);
    EXPECT_EQ(settings.Get("Zelvora", "Settings", "MameLocation", ""), mameDir());
    EXPECT_EQ(settings.Get("Zelvora", "Settings", "PCXFiles", ""), shots + "/");
    dialog = test::findWindow<frmFileLocations>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->txtFile[0]->text(), mameDir());
    EXPECT_TRUE(dialog->lblReason->text().contains("\"" + mameDir() + "\""));
    EXPECT_TRUE(dialog->Command3->isEnabled()) << "the stored directory exists";
    EXPECT_EQ(test::findWindow<frmMain>(), nullptr);

    installMame();
    QTest::mouseClick(dialog->Command3, Qt::LeftButton);
    frmMain* window = test::findWindow<frmMain>();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(test::findWindow<frmFileLocations>(), nullptr);
    EXPECT_TRUE(QFile::exists(CatalogueFile(program.path())));
    EXPECT_EQ(window->windowTitle(), QString("Zelvora  (0 Games)"));
    EXPECT_TRUE(fatal.isEmpty());

    // "File Locations" swaps the windows again; nothing is wrong, so nothing is said.
    test::action(window, "mnuFileLocations")->trigger();
    dialog = test::findWindow<frmFileLocations>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(test::findWindow<frmMain>(), nullptr);
    EXPECT_TRUE(dialog->Command3->isEnabled());
    EXPECT_FALSE(dialog->lblReason->isVisible());
}

// The start-up looks for exactly the file every command runs, and the dialog that takes over says
// what it found instead.
TEST_F(FileLocationsTest, StartUpNeedsAnExecutableNamedMameInTheFolder) {
    const struct {
        const char* what;
        const char* stored; // under the MAME folder of the fixture
        const char* file;   // made in that folder; "dir:" makes a folder
        bool executable;
        const char* said; // empty: the main window starts
        bool cancel;
    } cases[] = {
        {"MAME itself", "/", "mame", true, "", true},
        {"the name in capitals", "/", "MAME", true, "No \"mame\" executable was found in the MAME folder", true},
        {"a folder of that name", "/", "dir:mame", true, "No \"mame\" executable", true},
        {"a file that cannot run", "/", "mame", false, "No \"mame\" executable", true},
        {"no final slash", "", "mame", true, "lacks its final \"/\"", true},
        {"no such folder", "/gone/", "mame", true, "does not exist", false},
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

        frmMain* window = start();
        auto* dialog = test::findWindow<frmFileLocations>();
        if (QString(c.said).isEmpty()) {
            EXPECT_NE(window, nullptr);
            EXPECT_EQ(dialog, nullptr);
        } else {
            EXPECT_EQ(window, nullptr);
            ASSERT_NE(dialog, nullptr);
            EXPECT_TRUE(dialog->lblReason->isVisible());
            EXPECT_TRUE(dialog->lblReason->text().contains(c.said)) << dialog->lblReason->text().toStdString();
            EXPECT_TRUE(dialog->lblReason->text().contains(stored));
            EXPECT_EQ(dialog->Command3->isEnabled(), c.cancel);
        }
        test::closeAll();
    }
}

TEST_F(FileLocationsTest, OkEndsEachTypedFolderWithASlash) {
    installMame();
    ASSERT_EQ(start(), nullptr);
    auto* dialog = test::findWindow<frmFileLocations>();
    ASSERT_NE(dialog, nullptr);
    dialog->txtFile[0]->setText(mame.path());
    dialog->txtFile[1]->setText("  /data/shots  ");
    dialog->txtFile[2]->setText("   ");
    QTest::mouseClick(dialog->Command2, Qt::LeftButton);

    EXPECT_EQ(settings.Get("Zelvora", "Settings", "MameLocation", "?"), mameDir());
    EXPECT_EQ(settings.Get("Zelvora", "Settings", "PCXFiles", "?"), QString("/data/shots/"));
    EXPECT_EQ(settings.Get("Zelvora", "Settings", "ROMFiles", "?"), QString());
    EXPECT_EQ(vars.MamePath, mameDir());
    EXPECT_NE(test::findWindow<frmMain>(), nullptr) << "MAME is found in the folder as typed";
}
