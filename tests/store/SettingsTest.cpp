#include "TestDirs.h"

#include "store/Settings.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace zelvora;
using zelvora::test::TempProgramDir;

TEST(Settings, ApplicationSectionAndKeyAreCaseBlind) {
    TempProgramDir config;
    Settings settings(config.path());
    settings.Save("Zelvora", "Settings", "MameLocation", "/opt/mame/");
    EXPECT_EQ(settings.Get("zelvora", "settings", "mamelocation", ""), QString("/opt/mame/"));
    settings.Save("zelvora", "settings", "Filter 3", "2");
    EXPECT_EQ(settings.Get("ZELVORA", "SETTINGS", "FILTER 3", 0), QString("2"));

    // Both spellings land in one file, under [settings].
    EXPECT_TRUE(QFile::exists(config.path() + "/Zelvora/zelvora.ini"));
    EXPECT_EQ(settings.FilePath("Zelvora"), settings.FilePath("zelvora"));

    // A second store over the same directory reads what the first one saved.
    EXPECT_EQ(Settings(config.path()).Get("Zelvora", "Settings", "MAMELOCATION", ""), QString("/opt/mame/"));
}

TEST(Settings, AbsentKeysGiveTheirDefaultsAsText) {
    TempProgramDir config;
    Settings settings(config.path());
    EXPECT_EQ(settings.Get("Zelvora", "Settings", "PCXFiles", ""), QString(""));
    EXPECT_EQ(settings.Get("zelvora", "settings", "Last", 0), QString("0"));
    EXPECT_EQ(settings.Get("zelvora", "settings", "Merged", false), QString("False"));
    EXPECT_EQ(settings.Get("zelvora", "settings", "Merged", true), QString("True"));
    // Values that look like other things come back as the text saved.
    settings.Save("zelvora", "settings", "odd", "@Invalid(), \"x\"; y=z");
    EXPECT_EQ(settings.Get("zelvora", "settings", "odd", ""), QString("@Invalid(), \"x\"; y=z"));
    settings.Save("zelvora", "settings", "empty", "");
    EXPECT_EQ(settings.Get("zelvora", "settings", "empty", 0), QString(""));
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

TEST(Settings, AGarbledFileReadsAsDefaults) {
    TempProgramDir config;
    Settings settings(config.path());
    QDir().mkpath(config.path() + "/Zelvora");
    zelvora::test::WriteBytes(settings.FilePath("zelvora"), QByteArray("\x00\xff[[[\n=\n", 9));
    EXPECT_EQ(settings.Get("zelvora", "settings", "Last", 0), QString("0"));
    settings.Save("zelvora", "settings", "Last", "4");
    EXPECT_EQ(settings.Get("zelvora", "settings", "Last", 0), QString("4"));
}
