#include "PcxWriter.h"
#include "TestDirs.h"

#include "detail/PcxDecoder.h"
#include "detail/ScreenshotFinder.h"
#include "detail/ScreenshotImage.h"
#include "detail/ScreenshotPlacement.h"

#include <QDir>
#include <QFile>
#include <QImage>

#include <cfenv>
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

TEST(PlaceScreenshot, FillsOneSideCentresTheOtherAndRoundsHalvesToEven) {
    // Picture width and height, area width and height, where it goes.
    const std::tuple<int, int, int, int, QRect> cases[] = {
        // Wider than tall, scaled up or down: by the width, then cut back to the height.
        {32, 24, 420, 300, {10, 0, 400, 300}},
        {1280, 960, 420, 300, {10, 0, 400, 300}},
        // Taller than wide, or square: scaled by the height; the 93.5 margin rounds to the even 94.
        {224, 288, 420, 300, {94, 0, 233, 300}},
        {256, 256, 420, 300, {60, 0, 300, 300}},
        // A 92.5 margin goes down to 92, where rounding half away from zero would give 93.
        {224, 288, 418, 300, {92, 0, 233, 300}},
        // Wide enough to stay within the height: centred vertically.
        {400, 100, 420, 300, {0, 98, 420, 105}},
        // Taller than wide but the area is narrower still: cut back to the width; 16.5 gives 16.
        {240, 320, 200, 300, {0, 16, 200, 267}},
        // A scaled width of exactly 2.5 becomes 2, so the margin is (100 - 2) / 2.
        {5, 6, 100, 3, {49, 0, 2, 3}},
        // Extreme proportions stay finite and inside the area.
        {65535, 1, 420, 300, {0, 150, 420, 0}},
        {1, 65535, 420, 300, {210, 0, 0, 300}},
        // Nothing to draw, or nowhere to draw it.
        {0, 240, 420, 300, {}},
        {320, -240, 420, 300, {}},
        {320, 240, 0, 300, {}},
        {320, 240, 420, -300, {}},
    };
    for (const auto& [w, h, areaW, areaH, expected] : cases)
        EXPECT_EQ(PlaceScreenshot(w, h, areaW, areaH), expected) << w << "x" << h << " in " << areaW << "x" << areaH;

    // Whatever rounding mode the caller left behind.
    const int mode = std::fegetround();
    std::fesetround(FE_UPWARD);
    const QRect upward = PlaceScreenshot(224, 288, 418, 300);
    std::fesetround(FE_DOWNWARD);
    const QRect downward = PlaceScreenshot(224, 288, 420, 300);
    std::fesetround(mode);
    EXPECT_EQ(upward, QRect(92, 0, 233, 300));
    EXPECT_EQ(downward, QRect(94, 0, 233, 300));
}

TEST(PlaceScreenshot, StaysInsideTheAreaAndTouchesOneSide) {
    for (int w = 1; w <= 600; w += 7) {
        for (int h = 1; h <= 600; h += 11) {
            for (const QSize area : {QSize(420, 300), QSize(300, 420), QSize(1, 1), QSize(641, 479)}) {
                const QRect r = PlaceScreenshot(w, h, area.width(), area.height());
                ASSERT_TRUE((QRect(QPoint(0, 0), area).contains(r) || (r.isEmpty() && r.x() >= 0 && r.y() >= 0)) &&
                            (r.width() == area.width() || r.height() == area.height()))
                    << w << "x" << h << " in " << area.width() << "x" << area.height();
            }
        }
    }
}
