#include "launcher/ProcessRunner.h"

#include <QFile>

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>

extern char** environ;

namespace zelvora {

namespace {

// How long a silent child may keep the caller from its events.
constexpr int WaitingInterval = 50; // milliseconds
constexpr qsizetype ErrorsKept = 64 * 1024;

// Frees the spawn attributes however the run leaves.
struct SpawnAttributes {
    posix_spawnattr_t attr;
    bool ready = false;
    SpawnAttributes() { ready = posix_spawnattr_init(&attr) == 0; }
    ~SpawnAttributes() {
        if (ready)
            posix_spawnattr_destroy(&attr);
    }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;
};

struct FileActions {
    posix_spawn_file_actions_t actions;
    bool ready = false;
    FileActions() { ready = posix_spawn_file_actions_init(&actions) == 0; }
    ~FileActions() {
        if (ready)
            posix_spawn_file_actions_destroy(&actions);
    }
    FileActions(const FileActions&) = delete;
    FileActions& operator=(const FileActions&) = delete;
};

// One end of a pipe, closed once.
struct Fd {
    int fd = -1;
    Fd() = default;
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() { close(); }
    void close() {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
};

// Both ends close with this program's other children kept from them; the child's own copy is
// made by the spawn's file actions.
bool MakePipe(Fd& read, Fd& write) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0)
        return false;
    read.fd = ends[0];
    write.fd = ends[1];
    return true;
}

// The child `shell -c -- command`, or -1.
pid_t Spawn(const QString& shellPath, const QString& command, const posix_spawn_file_actions_t* actions) {
    const QByteArray shell = QFile::encodeName(shellPath);
    const QByteArray text = command.toLocal8Bit();
    char dashC[] = "-c";
    // Without "--" a command line that begins with "-" would be read as the shell's own options.
    char endOfOptions[] = "--";
    char* argv[] = {const_cast<char*>(shell.constData()), dashC, endOfOptions, const_cast<char*>(text.constData()),
                    nullptr};

    // A blocked signal or an ignored SIGPIPE of this program would otherwise pass on to MAME and
    // to the commands of a pipeline, which expect the usual defaults.
    SpawnAttributes spawn;
    if (!spawn.ready)
        return -1;
    sigset_t none;
    sigemptyset(&none);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigmask(&spawn.attr, &none);
    posix_spawnattr_setsigdefault(&spawn.attr, &defaults);
    posix_spawnattr_setflags(&spawn.attr, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    pid_t pid = 0;
    if (posix_spawn(&pid, shell.constData(), actions, &spawn.attr, argv, environ) != 0)
        return -1;
    return pid;
}

int WaitFor(pid_t pid) {
    int status = 0;
    pid_t waited = 0;
    do {
        waited = waitpid(pid, &status, 0);
    } while (waited == -1 && errno == EINTR);
    if (waited != pid)
        return -1;
    if (WIFEXITED(status))
        return WEXITSTATUS(status);
    if (WIFSIGNALED(status))
        return 128 + WTERMSIG(status);
    return -1;
}

StreamedRun RunStreaming(const QString& shell, const QString& command, OutputReader& output) {
    StreamedRun run;
    Fd out, outChild, err, errChild;
    FileActions actions;
    if (!actions.ready || !MakePipe(out, outChild) || !MakePipe(err, errChild) ||
        posix_spawn_file_actions_adddup2(&actions.actions, outChild.fd, STDOUT_FILENO) != 0 ||
        posix_spawn_file_actions_adddup2(&actions.actions, errChild.fd, STDERR_FILENO) != 0)
        return run;
    const pid_t pid = Spawn(shell, command, &actions.actions);
    // The child holds its own copies now; the pipes end when the child closes them.
    outChild.close();
    errChild.close();
    if (pid < 0)
        return run;

    std::array<char, 64 * 1024> buffer;
    while (out.fd >= 0 || err.fd >= 0) {
        std::array<pollfd, 2> fds = {pollfd{out.fd, POLLIN, 0}, pollfd{err.fd, POLLIN, 0}};
        const int ready = poll(fds.data(), fds.size(), WaitingInterval);
        if (ready < 0 && errno != EINTR)
            break;
        if (ready <= 0) {
            output.Waiting();
            continue;
        }
        if (fds[0].revents != 0) {
            const ssize_t n = read(out.fd, buffer.data(), buffer.size());
            if (n == 0 || (n < 0 && errno != EINTR)) {
                out.close();
            } else if (n > 0 && !output.Read(QByteArrayView(buffer.data(), n))) {
                run.stopped = true;
                out.close();
            }
        }
        if (fds[1].revents != 0) {
            const ssize_t n = read(err.fd, buffer.data(), buffer.size());
            if (n == 0 || (n < 0 && errno != EINTR))
                err.close();
            else if (n > 0)
                run.errors.append(buffer.data(), std::min<qsizetype>(n, ErrorsKept - run.errors.size()));
        }
    }
    // A poll that failed leaves the pipes to close with this function; the child then ends at
    // its next write.
    out.close();
    err.close();
    run.exitCode = WaitFor(pid);
    return run;
}

} // namespace

StreamedRun ProcessRunner::ExecStreaming(const QString& command, OutputReader& output) {
    return RunStreaming(QStringLiteral("/bin/sh"), command, output);
}

ShellRunner::ShellRunner(QString shell) : shell_(std::move(shell)) {}

int ShellRunner::ExecCmd(const QString& command) {
    const pid_t pid = Spawn(shell_, command, nullptr);
    return pid < 0 ? -1 : WaitFor(pid);
}

StreamedRun ShellRunner::ExecStreaming(const QString& command, OutputReader& output) {
    return RunStreaming(shell_, command, output);
}

} // namespace zelvora
