#include "PcxWriter.h"
#include "TestDirs.h"

#include "detail/PcxDecoder.h"
#include "detail/ScreenshotFinder.h"
#include "detail/ScreenshotImage.h"

#include <QDir>
#include <QFile>
#include <QImage>

#include <sys/stat.h>

#include <gtest/gtest.h>

using namespace zelvora;

TEST(ScreenshotFinder, OwnFileInAnyCaseThenTheParentsWhileMerged) {
    test::TempProgramDir shots;
    const QString dir = shots.path() + "/";
    test::WriteBytes(dir + "PACMAN.PCX", "x");
    test::WriteBytes(dir + "galaga.pcx", "x");
    ScreenshotFinder finder;

    EXPECT_EQ(finder.Find(dir, "pacman", {}, false), dir + "PACMAN.PCX");
    EXPECT_EQ(finder.Find(dir, "galaga", {}, false), dir + "galaga.pcx");
    // A clone without its own file shows the parent's only while merged sets are assumed.
    EXPECT_EQ(finder.Find(dir, "puckman", "  pacman ", false), QString());
    EXPECT_EQ(finder.Find(dir, "puckman", "  pacman ", true), dir + "PACMAN.PCX");
    EXPECT_EQ(finder.Find(dir, "puckman", "        ", true), QString());
    EXPECT_EQ(finder.FindOwn(dir, "puckman"), QString());

    // A file that appears later is found: the listing follows the folder.
    test::WriteBytes(dir + "PuckMan.Pcx", "x");
    EXPECT_EQ(finder.Find(dir, "puckman", "pacman", true), dir + "PuckMan.Pcx");

    // A folder or a pipe named like a screenshot, a missing folder, an empty name.
    QDir().mkpath(dir + "xevious.pcx");
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir + "DIGDUG.pcx").constData(), 0600), 0);
    EXPECT_EQ(finder.Find(dir, "xevious", {}, false), QString());
    EXPECT_EQ(finder.Find(dir, "digdug", {}, false), QString());
    EXPECT_EQ(finder.Find(dir, "DIGDUG", {}, false), QString());
    // A set name that would lead out of the folder finds nothing there, however the files lie.
    test::WriteBytes(shots.file("inner/x.pcx"), "x");
    for (const char* rom : {"../galaga", "inner/x", ".", ".."})
        EXPECT_EQ(finder.Find(dir, rom, {}, false) + finder.Find(dir + "inner/", rom, {}, false), QString()) << rom;
    EXPECT_EQ(finder.Find(dir + "missing/", "pacman", {}, false), QString());
    EXPECT_EQ(finder.Find(dir, "", {}, false), QString());
}

// Today's MAME: after the PCX, the set's own PNG, then the first snapshot in its folder; the
// parent's the same way. Only the game's own file may be deleted, never one in a folder.
TEST(ScreenshotFinder, TodaysSnapshotsAfterThePcx) {
    test::TempProgramDir shots;
    const QString dir = shots.path() + "/";
    for (const char* file : {"pacman.pcx", "pacman.png", "Galaga.PNG", "mslug/0001.png", "mslug/0000.png",
                             "mslug/readme.txt", "xevious/notes.txt"})
        test::WriteBytes(dir + file, "x");
    ScreenshotFinder finder;
    const auto find = [&](const char* rom, const char* clone = "") {
        return finder.Find(dir, rom, clone, true, ScreenshotKinds::PcxAndPng).mid(dir.size());
    };
    EXPECT_EQ(find("pacman"), "pacman.pcx");
    EXPECT_EQ(find("galaga"), "Galaga.PNG");
    EXPECT_EQ(find("MSLUG"), "mslug/0000.png");
    EXPECT_EQ(find("mslugx", "mslug"), "mslug/0000.png");
    EXPECT_EQ(find("xevious"), "");
    EXPECT_EQ(finder.Find(dir, "galaga", {}, false), QString()) << "PNG only when asked for";
    EXPECT_EQ(finder.FindOwn(dir, "galaga", ScreenshotKinds::PcxAndPng), dir + "Galaga.PNG");
    EXPECT_EQ(finder.FindOwn(dir, "mslug", ScreenshotKinds::PcxAndPng), QString());
}

// A PNG reads as a PCX does. Only a regular file of a screenshot's size is read: opening a pipe
// would wait for a writer forever, and a huge file or a header asking for a huge picture is no
// screenshot.
TEST(LoadScreenshot, ReadsPngAndPcxAndRefusesWhatIsNoScreenshot) {
    test::TempProgramDir dir;
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(qRgb(10, 200, 30));
    ASSERT_TRUE(picture.save(dir.file("shot.PNG")));
    ASSERT_TRUE(QImage(kMaxPcxSide + 1, 1, QImage::Format_Mono).save(dir.file("wide.png")));
    test::WriteBytes(dir.file("shot.pcx"), test::WritePcx24(picture));
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.file("pipe.png")).constData(), 0600), 0);
    QFile huge(dir.file("huge.pcx"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly) && huge.resize(MaxScreenshotBytes + 1));

    EXPECT_EQ(LoadScreenshot(dir.file("shot.PNG")), picture);
    EXPECT_EQ(LoadScreenshot(dir.file("shot.pcx")), picture);
    for (const char* name : {"wide.png", "pipe.png", "huge.pcx", "none.png", ""})
        EXPECT_TRUE(LoadScreenshot(dir.file(name)).isNull()) << name;
}
