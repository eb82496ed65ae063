// A game's artwork looked up and read from a zip of 40,000 small PNG pictures, beside the same
// pictures in a folder: reading one from the zip must take no longer than from the folder.
#include "detail/ArtworkFinder.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sys/time.h>
#include <zip.h>

#include <cstdio>
#include <stdexcept>
#include <vector>

using namespace zelvora;

namespace {

constexpr int Pictures = 40000;
constexpr int LookupsPerRound = 2000;

QString SetName(int i) {
    return QStringLiteral("set%1").arg(i, 5, 10, QLatin1Char('0'));
}

QByteArray Png(int i) {
    QImage image(16, 12, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb((i + x) & 0xFF, (i >> 8) & 0xFF, (y * 20 + i) & 0xFF));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return buffer.data();
}

// Dates a folder an hour back, so that its listing counts as settled from the first look.
void Settle(const QString& path) {
    struct timeval times[2];
    gettimeofday(&times[0], nullptr);
    times[0].tv_sec -= 3600;
    times[1] = times[0];
    utimes(QFile::encodeName(path).constData(), times);
}

struct Collection {
    QTemporaryDir dir;
    QString folderRoot = dir.path() + QStringLiteral("/folder/");
    QString zipRoot = dir.path() + QStringLiteral("/zip/");

    Collection() {
        std::vector<QByteArray> pngs;
        pngs.reserve(Pictures);
        QDir().mkpath(folderRoot + QStringLiteral("snap"));
        QDir().mkpath(zipRoot);
        for (int i = 0; i < Pictures; ++i) {
            pngs.push_back(Png(i));
            QFile file(folderRoot + QStringLiteral("snap/") + SetName(i) + QStringLiteral(".png"));
            if (!file.open(QIODevice::WriteOnly) || file.write(pngs.back()) != pngs.back().size())
                throw std::runtime_error("cannot write the pictures");
        }
        int error = 0;
        zip_t* archive =
            zip_open(QFile::encodeName(zipRoot + QStringLiteral("snap.zip")).constData(), ZIP_CREATE, &error);
        for (int i = 0; i < Pictures; ++i) {
            zip_source_t* source =
                zip_source_buffer(archive, pngs[i].constData(), static_cast<zip_uint64_t>(pngs[i].size()), 0);
            const QByteArray name = (SetName(i) + QStringLiteral(".png")).toUtf8();
            zip_file_add(archive, name.constData(), source, 0);
        }
        if (!archive || zip_close(archive) != 0)
            throw std::runtime_error("cannot write the zip");
        for (const QString& folder : {folderRoot, folderRoot + QStringLiteral("snap"), zipRoot})
            Settle(folder);
    }
};

Collection& collection() {
    static Collection made;
    return made;
}

// The nanoseconds a round of look-ups and reads takes, spread over the whole collection.
qint64 Time(ArtworkFinder& finder, int round) {
    QElapsedTimer clock;
    clock.start();
    for (int n = 0; n < LookupsPerRound; ++n) {
        const int i = static_cast<int>((static_cast<qint64>(round * LookupsPerRound + n) * 7919) % Pictures);
        const auto file = finder.Find(ArtworkKind::Snapshot, SetName(i), {});
        if (!file || file->bytes.isEmpty())
            throw std::runtime_error("a picture was not found");
        benchmark::DoNotOptimize(file->bytes.constData());
    }
    return clock.nsecsElapsed();
}

void BM_ArtworkFromZipBesideFolder(benchmark::State& state) {
    Collection& pictures = collection();
    ArtworkFinder folder;
    ArtworkFinder zipped;
    folder.SetRoots({pictures.folderRoot});
    zipped.SetRoots({pictures.zipRoot});
    // The first look indexes the zip and lists the roots; it is timed apart.
    QElapsedTimer clock;
    clock.start();
    zipped.Find(ArtworkKind::Snapshot, SetName(0), {});
    const double indexMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    folder.Find(ArtworkKind::Snapshot, SetName(0), {});
    qint64 folderNs = 0;
    qint64 zipNs = 0;
    int round = 0;
    for (auto _ : state) {
        // Alternating which goes first, so that neither always finds the caches warmed by the other.
        if (round % 2 == 0) {
            folderNs += Time(folder, round);
            zipNs += Time(zipped, round);
        } else {
            zipNs += Time(zipped, round);
            folderNs += Time(folder, round);
        }
        ++round;
    }
    const double lookups = static_cast<double>(round) * LookupsPerRound;
    state.counters["folder_us"] = static_cast<double>(folderNs) / lookups / 1e3;
    state.counters["zip_us"] = static_cast<double>(zipNs) / lookups / 1e3;
    state.counters["ratio"] = static_cast<double>(zipNs) / static_cast<double>(folderNs);
    state.counters["zip_index_ms"] = indexMs;
    state.SetLabel("zip / folder: at most 1");
}
BENCHMARK(BM_ArtworkFromZipBesideFolder)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

BENCHMARK_MAIN();
