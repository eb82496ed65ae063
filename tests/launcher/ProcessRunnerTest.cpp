#include "TestDirs.h"

#include "launcher/MameVersion.h"
#include "launcher/ProcessRunner.h"
#include "launcher/ShellQuote.h"

#include <QDateTime>

#include <csignal>

#include <gtest/gtest.h>

using namespace zelvora;

TEST(ShellRunnerTest, ReturnsTheChildsStatus) {
    const std::tuple<const char*, const char*, int> cases[] = {
        {"/bin/sh", "exit 3", 3},
        {"/bin/sh", "exit 255", 255},
        {"/bin/sh", "kill -TERM $$", 128 + 15},            // killed by a signal
        {"/bin/sh", "-zelvora-no-such-command-here", 127}, // found no command, not taken for an option
        {"/nonexistent/sh", "exit 0", -1},                 // only when the shell cannot start
    };
    for (const auto& [shell, command, status] : cases)
        EXPECT_EQ(ShellRunner(shell).ExecCmd(command), status) << command;
}

// The window tests hold the environment reaching the child.
TEST(ShellRunnerTest, RedirectedOutputIsCompleteOnReturnAndTheChildRunsInTheCurrentDirectory) {
    test::TempProgramDir dir;
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    const int status = ShellRunner().ExecCmd("(sleep 0.2; printf %s \"$(pwd -P)\") > out.txt");
    QDir::setCurrent(previous);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(QString::fromUtf8(test::ReadBytes(dir.file("out.txt"))), QFileInfo(dir.path()).canonicalFilePath());
}

namespace {

struct Collected : OutputReader {
    bool Read(QByteArrayView bytes) override {
        output += bytes;
        return wanted < 0 || output.size() < wanted;
    }
    void Waiting() override { ++waits; }
    QByteArray output;
    qsizetype wanted = -1;
    int waits = 0;
};

} // namespace

// Also more output than a pipe holds, and a pause the caller's window gets to run its events in.
TEST(ShellRunnerTest, StreamedOutputComesWholeAndInOrderWithErrorsKeptApart) {
    Collected collected;
    const StreamedRun run =
        ShellRunner().ExecStreaming("printf 'first\\n'; sleep 0.3; seq 1 200000; echo oops >&2; exit 3", collected);
    QByteArray expected = "first\n";
    for (int i = 1; i <= 200000; ++i)
        expected += QByteArray::number(i) + '\n';
    EXPECT_EQ(collected.output, expected);
    EXPECT_EQ(run.errors, QByteArray("oops\n"));
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_FALSE(run.stopped);
    EXPECT_GT(collected.waits, 0);

    EXPECT_EQ(ShellRunner("/nonexistent/sh").ExecStreaming("true", collected).exitCode, -1);
}

TEST(ShellRunnerTest, AReaderThatWantsNoMoreEndsAChildThatWouldPrintForever) {
    Collected collected;
    collected.wanted = 1;
    const StreamedRun run = ShellRunner().ExecStreaming("yes", collected);
    EXPECT_TRUE(run.stopped);
    EXPECT_EQ(run.exitCode, 128 + SIGPIPE);
}

// Each word reaches the program as it stands and runs nothing; the command lines' own tests hold
// the usual words staying bare.
TEST(ShellQuoteTest, WordsReachTheProgramIntactAndRunNothing) {
    test::TempProgramDir dir;
    const QString folder = dir.file("My MAME's \"best\"");
    ASSERT_TRUE(QDir().mkpath(folder));
    QStringList words = {
        "x;touch pwned", "My MAME's \"best\"", "", "$(touch pwned)", "`touch pwned`", "*", "~", "it''s", "\\", "-n",
        "PATH=/x",       "Zoë & <Kid>|"};
    words << "a\nb";
    QString command = "cd " + ShellQuote(dir.path()) + " && printf '%s\\0'";
    QByteArray expected;
    for (const QString& word : words) {
        command += ' ' + ShellQuote(word);
        expected += word.toUtf8() + '\0';
    }
    command += " > " + ShellQuote(folder + "/x;touch pwned");

    EXPECT_EQ(ShellRunner().ExecCmd(command), 0);
    EXPECT_EQ(test::ReadBytes(folder + "/x;touch pwned"), expected);
    EXPECT_FALSE(QFile::exists(dir.file("pwned")));
    EXPECT_FALSE(QFile::exists(folder + "/pwned"));
    // As a command's first word an assignment would succeed; quoted, it is a command not found.
    EXPECT_EQ(ShellRunner().ExecCmd(ShellQuote("PATH=/x")), 127);
}

// Each answer from a MAME that is a script saying it; the real answer is the recorded one. An
// empty number stands for the classic MAME.
TEST(MameVersions, OnlyAVersionNumberWithSuccessIsTodaysMame) {
    const std::tuple<const char*, QByteArray, QString> cases[] = {
        {"today's MAME", "cat '" + QFile::encodeName(test::FixturePath("mame-today/version.txt")) + "'", "0.251"},
        {"a failing one", "printf '0.251 (unknown)'; exit 1", ""},
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
