#include "TestDirs.h"

#include "launcher/MameVersion.h"
#include "launcher/ProcessRunner.h"

#include <QDateTime>
#include <QFile>

#include <gtest/gtest.h>

using namespace zelvora;

// Each answer from a MAME that is a script saying it; the real answer is the recorded one.
TEST(MameVersions, OnlyAVersionNumberWithSuccessIsTodaysMame) {
    const struct {
        const char* what;
        QByteArray script;
        QString number; // empty: the classic MAME
    } cases[] = {
        {"today's MAME", "cat '" + QFile::encodeName(test::FixturePath("mame-today/version.txt")) + "'", "0.251"},
        {"a failing one", "printf '0.251 (unknown)'; exit 1", ""},
        {"the stand-in's refusal", "echo 'mame: unknown switch -version' >&2; echo 'usage: mame ...' >&2; exit 1", ""},
        {"the classic usage text", "echo 'M.A.M.E. v0.36 - Multiple Arcade Machine Emulator'", ""},
        {"silence", "", ""},
        {"no end of it", "yes 0.251", ""},
    };
    for (const auto& [what, script, number] : cases) {
        test::TempProgramDir dir;
        test::WriteScript(dir.file("mame"), "#!/bin/sh\n" + script + "\n");
        ShellRunner runner;
        MameVersions versions;
        const MameVersion version = versions.Of(dir.file("mame"), runner);
        EXPECT_EQ(version.number, number) << what;
        EXPECT_EQ(version.kind, number.isEmpty() ? MameKind::Classic : MameKind::Today) << what;
    }
    ShellRunner runner;
    EXPECT_EQ(MameVersions().Of("/nonexistent/mame", runner).kind, MameKind::Classic);
}

TEST(MameVersions, AskedOncePerExecutableUntilItIsReplaced) {
    test::TempProgramDir dir;
    const QString mame = dir.file("mame");
    const auto install = [&](const char* version, const QDateTime& modified) {
        test::WriteScript(mame, "#!/bin/sh\necho asked >> '" + QFile::encodeName(dir.file("asked")) + "'\nprintf '" +
                                    version + " (unknown)'\n");
        QFile file(mame);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite) && file.setFileTime(modified, QFileDevice::FileModificationTime));
    };
    const auto asked = [&] { return test::ReadBytes(dir.file("asked")).count("asked"); };
    const QDateTime now = QDateTime::currentDateTime();
    ShellRunner runner;
    MameVersions versions;

    install("0.251", now);
    EXPECT_EQ(versions.Of(mame, runner).number, QString("0.251"));
    EXPECT_EQ(versions.Of(mame, runner).number, QString("0.251"));
    EXPECT_EQ(asked(), 1);

    // A new MAME of the same size over the old one.
    install("0.252", now.addSecs(60));
    EXPECT_EQ(versions.Of(mame, runner).number, QString("0.252"));
    EXPECT_EQ(asked(), 2);
}
