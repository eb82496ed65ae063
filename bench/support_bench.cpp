// Reading a catver.ini of 50,000 sets as the game list does when it finds one: categories from
// [Category], a tenth of them for adults, and the [VerAdded] section a real file has beside it.
#include "TestDirs.h"

#include "store/SupportFiles.h"

#include <QFile>

#include <benchmark/benchmark.h>

using namespace zelvora;

namespace {

constexpr int Sets = 50000;

QByteArray generatedCatver() {
    QByteArray text = ";; catver.ini 0.251 / 50,000 generated sets ;;\r\n\r\n[FOLDER_SETTINGS]\r\nRootFolderIcon "
                      "mame\r\nSubFolderIcon folder\r\n\r\n[ROOT_FOLDER]\r\n\r\n[Category]\r\n";
    const char* const genres[] = {"Shooter", "Sports", "Platform", "Puzzle", "Fighter", "Driving", "Maze", "Casino"};
    for (int i = 0; i < Sets; ++i) {
        text += "set" + QByteArray::number(i) + "=" + genres[i % 8] + " / Kind " + QByteArray::number(i % 50);
        text += i % 10 == 0 ? " * Mature *\r\n" : "\r\n";
    }
    text += "\r\n[VerAdded]\r\n";
    for (int i = 0; i < Sets; ++i)
        text += "set" + QByteArray::number(i) + "=." + QByteArray::number(i % 251) + "\r\n";
    return text;
}

void BM_ReadCatver(benchmark::State& state) {
    test::TempProgramDir folder;
    QFile file(folder.file(QStringLiteral("catver.ini")));
    if (!file.open(QIODevice::WriteOnly) || file.write(generatedCatver()) < 0) {
        state.SkipWithError("catver.ini not written");
        return;
    }
    file.close();
    for (auto _ : state) {
        SupportFiles support;
        support.SetFolders({folder.path()});
        support.Refresh();
        if (support.Category(QStringLiteral("SET49999")).isEmpty())
            state.SkipWithError("the last set was not read");
    }
    state.counters["bytes"] = static_cast<double>(file.size());
}
BENCHMARK(BM_ReadCatver)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
