#include "mame/MameVersion.h"

#include "launcher/ProcessRunner.h"
#include "launcher/ShellQuote.h"
#include "mame/ClassicMame.h"
#include "mame/TodaysMame.h"

#include <QFile>
#include <QRegularExpression>

#include <sys/stat.h>

namespace zelvora {

namespace {

// Today's MAME answers with one short line; the classic one may print its whole usage text.
constexpr qsizetype AnswerKept = 4096;

class Answer : public OutputReader {
public:
    Answer(std::chrono::milliseconds patience, RunWatch* watch)
        : deadline_(std::chrono::steady_clock::now() + patience), watch_(watch) {}

    bool Read(QByteArrayView bytes) override {
        text.append(bytes.first(std::min(bytes.size(), AnswerKept - text.size())));
        return text.size() < AnswerKept;
    }
    bool Waiting() override {
        givenUp = watch_ && !watch_->Waiting();
        return !givenUp && std::chrono::steady_clock::now() < deadline_;
    }

    QByteArray text;
    bool givenUp = false; // by the watch, not for want of patience

private:
    std::chrono::steady_clock::time_point deadline_;
    RunWatch* watch_;
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

std::shared_ptr<const Mame> MameAnswering(bool answered, QByteArrayView answer) {
    if (const QString number = answered ? VersionNumber(answer) : QString(); !number.isEmpty())
        return std::make_shared<TodaysMame>(number);
    return std::make_shared<ClassicMame>();
}

std::shared_ptr<const Mame> MameVersions::Of(const QString& executable, ProcessRunner& runner, RunWatch* watch) {
    const FileStamp stamp = StampOf(executable);
    if (const auto it = known_.constFind(executable); it != known_.constEnd() && it->stamp == stamp)
        return it->mame;

    Answer answer(patience_, watch);
    const StreamedRun run = runner.ExecStreaming(ShellQuote(executable) + QStringLiteral(" -version"), answer);
    if (answer.givenUp)
        return MameAnswering(false, {});
    std::shared_ptr<const Mame> mame = MameAnswering(run.exitCode == 0 && !run.stopped && !run.cancelled, answer.text);
    known_.insert(executable, {stamp, mame});
    return mame;
}

MameVersions& RunMameVersions() {
    static MameVersions versions;
    return versions;
}

} // namespace zelvora
