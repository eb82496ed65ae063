#include "launcher/MameVersion.h"

#include "launcher/ProcessRunner.h"
#include "launcher/ShellQuote.h"

#include <QFile>
#include <QRegularExpression>

#include <sys/stat.h>

namespace zelvora {

namespace {

// Today's MAME answers with one short line; the classic one may print its whole usage text.
constexpr qsizetype AnswerKept = 4096;

class Answer : public OutputReader {
public:
    bool Read(QByteArrayView bytes) override {
        text.append(bytes.first(std::min(bytes.size(), AnswerKept - text.size())));
        return text.size() < AnswerKept;
    }
    QByteArray text;
};

} // namespace

QString VersionNumber(QByteArrayView answer) {
    static const QRegularExpression number(QStringLiteral("^\\s*(\\d+\\.\\d+)"));
    const QRegularExpressionMatch match = number.match(QString::fromUtf8(answer));
    return match.hasMatch() ? match.captured(1) : QString();
}

MameVersions::FileStamp MameVersions::StampOf(const QString& path) {
    struct stat info {};
    if (stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return {true, info.st_dev, info.st_ino, info.st_size,
            static_cast<qint64>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

MameVersion MameVersions::Of(const QString& executable, ProcessRunner& runner) {
    const FileStamp stamp = StampOf(executable);
    if (const auto it = known_.constFind(executable); it != known_.constEnd() && it->stamp == stamp)
        return it->version;

    Answer answer;
    const StreamedRun run = runner.ExecStreaming(ShellQuote(executable) + QStringLiteral(" -version"), answer);
    MameVersion version;
    if (run.exitCode == 0 && !run.stopped) {
        version.number = VersionNumber(answer.text);
        if (!version.number.isEmpty())
            version.kind = MameKind::Today;
    }
    known_.insert(executable, {stamp, version});
    return version;
}

MameVersions& RunMameVersions() {
    static MameVersions versions;
    return versions;
}

} // namespace zelvora
