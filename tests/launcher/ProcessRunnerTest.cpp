#include "TestDirs.h"

#include "launcher/ProcessRunner.h"

#include <QDir>
#include <QFileInfo>

#include <csignal>

#include <gtest/gtest.h>

using namespace zelvora;

TEST(ShellRunnerTest, ReturnsTheChildsStatus) {
    const std::tuple<const char*, const char*, int> cases[] = {
        {"/bin/sh", "exit 3", 3},
        {"/bin/sh", "true", 0},
        {"/bin/sh", "exit 255", 255},
        {"/bin/sh", "kill -TERM $$", 128 + 15},            // killed by a signal
        {"/bin/sh", "zelvora-no-such-command-here", 127},  // the shell ran but found no command
        {"/bin/sh", "-zelvora-no-such-command-here", 127}, // not taken for the shell's own options
        {"/nonexistent/sh", "exit 0", -1},                 // only when the shell cannot start
    };
    for (const auto& [shell, command, status] : cases)
        EXPECT_EQ(ShellRunner(shell).ExecCmd(command), status) << command;
}

TEST(ShellRunnerTest, RedirectedOutputIsCompleteOnReturnAndTheChildInheritsEnvironmentAndDirectory) {
    test::TempProgramDir dir;
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    qputenv("ZELVORA_PROBE", "inherited");

    const int status = ShellRunner().ExecCmd("(sleep 0.2; printf '%s %s' \"$ZELVORA_PROBE\" \"$(pwd -P)\") > out.txt");

    QDir::setCurrent(previous);
    qunsetenv("ZELVORA_PROBE");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(QString::fromUtf8(test::ReadBytes(dir.file("out.txt"))),
              "inherited " + QFileInfo(dir.path()).canonicalFilePath());
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
