#include "launcher/ProcessRunner.h"

#include <QByteArray>
#include <QFile>

#include <cerrno>
#include <csignal>
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <utility>

extern char** environ;

namespace zelvora {

namespace {

// Frees the spawn attributes however ExecCmd leaves.
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

} // namespace

ShellRunner::ShellRunner(QString shell) : shell_(std::move(shell)) {}

int ShellRunner::ExecCmd(const QString& command) {
    const QByteArray shell = QFile::encodeName(shell_);
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
    if (posix_spawn(&pid, shell.constData(), nullptr, &spawn.attr, argv, environ) != 0)
        return -1;

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

} // namespace zelvora
