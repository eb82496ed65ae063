#include "TestDirs.h"

#include "launcher/ProcessRunner.h"

#include <QDir>
#include <QFileInfo>

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
