// Selecting a game whose 640 x 480 8-bit screenshot is shown: the record move, the decode, the
// scaling and the drawing, beside the decode of the same file alone; and the same with today's
// MAME for a PNG snapshot in the set's own folder, as MAME saves them (at most 15 ms).
#include "BenchWorld.h"
#include "MainWindowParts.h"
#include "PcxWriter.h"

#include "detail/DetailTabs.h"
#include "detail/PcxDecoder.h"
#include "detail/ScreenshotView.h"
#include "gamelist/GameGrid.h"
#include "launcher/ProcessRunner.h"

#include <QDir>
#include <QPainter>

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

} // namespace

ZELVORA_WINDOW_BENCHMARK_MAIN()
