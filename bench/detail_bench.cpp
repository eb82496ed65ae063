// Selecting a game whose 640 x 480 8-bit screenshot is shown: the record move, the decode, the
// scaling and the drawing, beside the decode of the same file alone; and the same with today's
// MAME for a PNG snapshot in the set's own folder, as MAME saves them (at most 15 ms). Then
// selecting a game on the History tab, its texts among a history.xml of every game (at most 5 ms),
// and on the Screen Shot tab its title read from a titles.zip of 40,000 pictures.
#include "BenchWorld.h"
#include "MainWindowParts.h"
#include "PcxWriter.h"

#include "detail/DetailTabs.h"
#include "detail/PcxDecoder.h"
#include "detail/ScreenshotView.h"
#include "gamelist/GameGrid.h"
#include "launcher/ProcessRunner.h"

#include "detail/HistoryPage.h"
#include "detail/ScreenShotPage.h"

#include <QBuffer>
#include <QDir>
#include <QPainter>
#include <QTest>

#include <zip.h>

using namespace zelvora;
using zelvora::bench::world;

namespace {

// A screenshot-like picture: bands and shapes in a few hundred colours.
QImage screenshot() {
    QImage image(640, 480, QImage::Format_RGB32);
    QPainter painter(&image);
    for (int y = 0; y < 480; y += 16)
        painter.fillRect(0, y, 640, 16, QColor::fromHsv((y * 3) % 360, 200, 120 + y % 120));
    painter.setBrush(Qt::yellow);
    painter.drawEllipse(200, 140, 240, 200);
    return image;
}

struct Shots {
    QString path;
    int rowA = 0;
    int rowB = 0;
};

Shots& shots() {
    static Shots made = [] {
        Shots s;
        auto& w = world();
        MainWindow* window = w.mainWindow();
        QDir().mkpath(w.vars.PcxPath);
        // Two games with screenshots, so that each selection is a real move.
        s.rowA = 1000;
        s.rowB = 2000;
        for (int row : {s.rowA, s.rowB}) {
            const QString rom = window->Rows().Rom(row);
            s.path = w.vars.PcxPath + rom + QStringLiteral(".pcx");
            test::WriteBytes(s.path, test::WritePcx8(screenshot()));
        }
        return s;
    }();
    return made;
}

void BM_SelectRowWithScreenshot(benchmark::State& state) {
    Shots& s = shots();
    MainWindow* window = world().mainWindow();
    test::tabs(window)->setCurrentIndex(DetailTabs::ScreenShotTab);
    bool flip = false;
    for (auto _ : state) {
        flip = !flip;
        test::grid(window)->SetCurrentRow(flip ? s.rowA : s.rowB);
        // The picture is drawn when the window paints; paint it now, as the screen would.
        test::tabs(window)->grab();
        if (test::tabs(window)->screenshotView->IsEmpty())
            state.SkipWithError("no screenshot shown");
    }
}
BENCHMARK(BM_SelectRowWithScreenshot)->Unit(benchmark::kMillisecond);

void BM_DecodeScreenshotAlone(benchmark::State& state) {
    const QString path = shots().path;
    for (auto _ : state)
        benchmark::DoNotOptimize(LoadPcx(path));
}
BENCHMARK(BM_DecodeScreenshotAlone)->Unit(benchmark::kMillisecond);

void BM_SelectRowWithPngInSetFolder(benchmark::State& state) {
    auto& w = world();
    MainWindow* window = w.mainWindow();
    // The MAME folder now holds today's MAME, which is asked again as its file changed.
    static ShellRunner shell;
    w.runner.forward = &shell;
    test::WriteScript(w.mame.file(QStringLiteral("mame")),
                      "#!/bin/sh\n[ \"$1\" = -version ] && printf '0.251 (unknown)'\n");
    const int rows[] = {3000, 4000};
    for (int row : rows) {
        const QString rom = window->Rows().Rom(row);
        QDir().mkpath(w.vars.PcxPath + rom);
        screenshot().save(w.vars.PcxPath + rom + QStringLiteral("/0000.png"));
    }
    test::tabs(window)->setCurrentIndex(DetailTabs::ScreenShotTab);
    bool flip = false;
    for (auto _ : state) {
        flip = !flip;
        test::grid(window)->SetCurrentRow(rows[flip ? 0 : 1]);
        test::tabs(window)->grab();
        if (test::tabs(window)->screenshotView->IsEmpty())
            state.SkipWithError("no snapshot shown");
    }
}
BENCHMARK(BM_SelectRowWithPngInSetFolder)->Unit(benchmark::kMillisecond);

// The rows selected in turn by the benchmarks below, and their set names.
const int TextRows[] = {12000, 34000};

// A history.xml of every game, some 20 MB as a collection's file, in the Support Files folder;
// made once, as Google Benchmark runs a benchmark's function more than once.
void writeHistoryOnce() {
    static const bool written = [] {
        auto& w = world();
        MainWindow* window = w.mainWindow();
        const QString support = w.program.path() + QStringLiteral("/support/");
        QDir().mkpath(support);
        QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<history>\n";
        for (int row = 1; row < window->Rows().RowCount(); ++row) {
            xml += "<entry><systems><system name=\"" + window->Rows().Rom(row).toUtf8() + "\" /></systems><text>\n" +
                   QByteArray(300, 'x') + "\n- TRIVIA -\n" + QByteArray(100, 'y') + "\n</text></entry>\n";
        }
        test::WriteBytes(support + QStringLiteral("history.xml"), xml + "</history>\n");
        w.settings.Save("Zelvora", "Settings", "SupportFiles", support);
        window->FillGrid();
        return true;
    }();
    static_cast<void>(written);
}

void BM_SelectRowOnHistoryTab(benchmark::State& state) {
    writeHistoryOnce();
    MainWindow* window = world().mainWindow();
    DetailTabs* tabs = test::tabs(window);
    tabs->setCurrentIndex(DetailTabs::HistoryTab);
    // The first look indexes the file on its own thread; the user waits for that once.
    test::grid(window)->SetCurrentRow(TextRows[0]);
    if (!QTest::qWaitFor([tabs] { return tabs->history->IsReady(); }, 30'000))
        state.SkipWithError("the history was not indexed");
    bool flip = false;
    for (auto _ : state) {
        flip = !flip;
        test::grid(window)->SetCurrentRow(TextRows[flip ? 1 : 0]);
        tabs->grab();
        if (!tabs->history->IsReady())
            state.SkipWithError("the history is not shown");
    }
    state.SetLabel("at most 5 ms");
}
BENCHMARK(BM_SelectRowOnHistoryTab)->Unit(benchmark::kMillisecond);

// A titles.zip of 40,000 pictures in the Artwork folder, made once.
bool writeTitlesOnce() {
    static const bool written = [] {
        auto& w = world();
        MainWindow* window = w.mainWindow();
        const QString artwork = w.program.path() + QStringLiteral("/artwork/");
        QDir().mkpath(artwork);
        QBuffer png;
        png.open(QIODevice::WriteOnly);
        screenshot().scaled(320, 240).save(&png, "PNG");
        const QByteArray bytes = png.data();
        int error = 0;
        zip_t* archive = zip_open(QFile::encodeName(artwork + QStringLiteral("titles.zip")).constData(),
                                  ZIP_CREATE | ZIP_TRUNCATE, &error);
        for (int row = 1; archive && row <= 40000; ++row) {
            const QByteArray name = window->Rows().Rom(row).toUtf8() + ".png";
            zip_source_t* source =
                zip_source_buffer(archive, bytes.constData(), static_cast<zip_uint64_t>(bytes.size()), 0);
            const zip_int64_t index = zip_file_add(archive, name.constData(), source, ZIP_FL_OVERWRITE);
            zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
        }
        if (!archive || zip_close(archive) != 0)
            return false;
        w.settings.Save("Zelvora", "Settings", "ArtworkFiles", artwork);
        window->FillGrid();
        return true;
    }();
    return written;
}

void BM_SelectRowWithTitleFromZip(benchmark::State& state) {
    if (!writeTitlesOnce()) {
        state.SkipWithError("could not write titles.zip");
        return;
    }
    MainWindow* window = world().mainWindow();
    DetailTabs* tabs = test::tabs(window);
    tabs->setCurrentIndex(DetailTabs::ScreenShotTab);
    tabs->screenShot->SetKind(ArtworkKind::Title);
    // The zip is indexed at its first look.
    test::grid(window)->SetCurrentRow(TextRows[0]);
    bool flip = false;
    for (auto _ : state) {
        flip = !flip;
        test::grid(window)->SetCurrentRow(TextRows[flip ? 1 : 0]);
        tabs->grab();
        if (tabs->screenshotView->IsEmpty())
            state.SkipWithError("no title shown");
    }
    tabs->screenShot->SetKind(ArtworkKind::Snapshot);
}
BENCHMARK(BM_SelectRowWithTitleFromZip)->Unit(benchmark::kMillisecond);

} // namespace

ZELVORA_WINDOW_BENCHMARK_MAIN()
