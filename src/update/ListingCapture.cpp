#include "update/ListingCapture.h"

#include "launcher/ProcessRunner.h"
#include "launcher/ShellQuote.h"
#include "platform/Progress.h"

#include <QFile>

namespace zelvora {

namespace {

// Writes what MAME prints into a capture file as it comes.
class CaptureFile : public OutputReader {
public:
    CaptureFile(const QString& path, Progress& progress) : file_(path), progress_(progress) {
        if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
            error_ = file_.errorString();
    }

    bool Read(QByteArrayView bytes) override {
        if (error_.isEmpty() && file_.write(bytes.data(), bytes.size()) != bytes.size())
            error_ = file_.errorString();
        return error_.isEmpty();
    }
    bool Waiting() override { return !progress_.Cancelled(); }

    // Why MAME's output could not be written whole; empty when it was.
    QString Close() {
        if (file_.isOpen()) {
            file_.close();
            if (error_.isEmpty() && file_.error() != QFileDevice::NoError)
                error_ = file_.errorString();
        }
        return error_;
    }
    bool IsOpen() const { return file_.isOpen(); }

private:
    QFile file_;
    Progress& progress_;
    QString error_;
};

} // namespace

void RemoveCaptures(const std::vector<ListingCapture>& captures) {
    for (const ListingCapture& capture : captures) {
        if (!capture.path.isEmpty())
            QFile::remove(capture.path);
    }
}

std::vector<ListingCapture> ListingCommands(const QString& mamePath, const QString& programDir) {
    const QString mame = ShellQuote(mamePath + QStringLiteral("mame"));
    std::vector<ListingCapture> captures;
    for (const auto& [file, option] : {std::pair{"Clones.txt", "-listclones"}, std::pair{"Games.txt", "-listgames"},
                                       std::pair{"Details.txt", "-listdetails"}}) {
        captures.push_back({QLatin1String(file), mame + QLatin1Char(' ') + QLatin1String(option), 0,
                            programDir + QLatin1Char('/') + QLatin1String(file), QString()});
    }
    return captures;
}

bool CaptureListings(std::vector<ListingCapture>& captures, ProcessRunner& runner, Progress& progress) {
    for (ListingCapture& capture : captures) {
        CaptureFile file(capture.path, progress);
        bool cancelled = false;
        if (file.IsOpen()) {
            const StreamedRun run = runner.ExecStreaming(capture.command, file);
            capture.exitCode = run.exitCode;
            cancelled = run.cancelled;
        }
        capture.error = file.Close();
        if (cancelled) {
            // A cancelled update leaves nothing behind: what was captured is of no use.
            RemoveCaptures(captures);
            return false;
        }
        // The disk that had no room for this one has none for the next.
        if (!capture.error.isEmpty())
            break;
    }
    return true;
}

} // namespace zelvora
