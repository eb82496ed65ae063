#include "TestDirs.h"

#include "detail/ScreenshotFinder.h"

#include <QDir>

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

    // A folder with a directory named like a screenshot, a missing folder, an empty name.
    QDir().mkpath(dir + "xevious.pcx");
    EXPECT_EQ(finder.Find(dir, "xevious", {}, false), QString());
    EXPECT_EQ(finder.Find(dir + "missing/", "pacman", {}, false), QString());
    EXPECT_EQ(finder.Find(dir, "", {}, false), QString());
}
