#include "TestDirs.h"

#include "store/Settings.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace zelvora;
using zelvora::test::TempProgramDir;

// Application, section and key are case-blind and every spelling lands in one file; a second
// store over the same directory reads what the first saved, and values come back as saved text.
TEST(Settings, NamesAreCaseBlindAndValuesComeBackAsText) {
    TempProgramDir config;
    Settings settings(config.path());
    settings.Save("Zelvora", "Settings", "MameLocation", "/opt/mame/");
    settings.Save("zelvora", "settings", "odd", "@Invalid(), \"x\"; y=z");
    settings.Save("zelvora", "settings", "empty", "");
    EXPECT_EQ(Settings(config.path()).Get("ZELVORA", "SETTINGS", "mamelocation", ""), QString("/opt/mame/"));
    EXPECT_EQ(settings.FilePath("Zelvora"), settings.FilePath("zelvora"));
    EXPECT_EQ(settings.Get("Zelvora", "Settings", "Odd", ""), QString("@Invalid(), \"x\"; y=z"));
    EXPECT_EQ(settings.Get("zelvora", "settings", "empty", 0), QString(""));
    EXPECT_EQ(settings.Get("zelvora", "settings", "Last", 0), QString("0"));
    EXPECT_EQ(settings.Get("zelvora", "settings", "Merged", false), QString("False"));

    // A garbled file reads as defaults and takes new values.
    zelvora::test::WriteBytes(settings.FilePath("zelvora"), QByteArray("\x00\xff[[[\n=\n", 9));
    EXPECT_EQ(settings.Get("zelvora", "settings", "MameLocation", "none"), QString("none"));
    settings.Save("zelvora", "settings", "Last", "4");
    EXPECT_EQ(settings.Get("zelvora", "settings", "Last", 0), QString("4"));
}

TEST(Settings, NumericAndBooleanReads) {
    const std::pair<const char*, long long> numbers[] = {
        {"abc", 0}, {"", 0}, {"12abc", 12}, {"  7", 7}, {"-3", -3}, {"99999999999999999999999", 999999999999999999LL}};
    for (const auto& [text, number] : numbers)
        EXPECT_EQ(Settings::ToNumber(text), number) << text;
    for (const char* yes : {"1", "True", "true", "-1"})
        EXPECT_TRUE(Settings::ToBool(yes)) << yes;
    for (const char* no : {"0", "False", "", "abc"})
        EXPECT_FALSE(Settings::ToBool(no)) << no;
}
