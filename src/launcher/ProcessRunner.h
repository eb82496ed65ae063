#pragma once

#include <QString>

namespace zelvora {

// Runs one shell command line as a child process and waits for it: the program's only way of
// starting MAME. Tests replace it to see the command lines without running anything.
class ProcessRunner {
public:
    virtual ~ProcessRunner() = default;
    // Blocks until the child ends and returns its exit status; -1 when no child could be started.
    virtual int ExecCmd(const QString& command) = 0;
};

// Runs the command through `shell -c`, so that redirections and pipes in it work. The child
// inherits the environment, the open standard streams and the current directory. The caller's
// thread waits without running any event loop.
//
// The status is the command's exit code (127 when the shell cannot find the command, as the
// shell reports it), 128 + the signal's number for a child killed by a signal, and -1 only when
// the shell itself could not be started.
class ShellRunner : public ProcessRunner {
public:
    explicit ShellRunner(QString shell = QStringLiteral("/bin/sh"));
    int ExecCmd(const QString& command) override;

private:
    QString shell_;
};

// MAME's executable in its folder (ending with "/"): the file every command runs and start-up
// looks for, by this exact name.
inline QString MameExecutable(const QString& mamePath) {
    return mamePath + QStringLiteral("mame");
}

// The shell's codes for a command it could not find (127) or run (126), and the runner's for no
// shell at all: MAME never ran, whatever the command was meant to do.
inline bool CouldNotStart(int exitCode) {
    return exitCode == 127 || exitCode == 126 || exitCode == -1;
}

} // namespace zelvora
