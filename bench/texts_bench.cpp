// The game texts over generated files of 50,000 sets: indexing a history.xml of some 30 MB, as
// when the collection's files are found, and looking a game's three texts up, as each click on a
// row does.
#include "TestDirs.h"

#include "store/GameTexts.h"

#include <QFile>

#include <benchmark/benchmark.h>

using namespace zelvora;

namespace {

constexpr int Sets = 50000;

QByteArray setName(int i) {
    return "set" + QByteArray::number(i);
}

// Every tenth set is a clone without texts of its own; a paragraph of some 600 bytes per entry.
QByteArray generatedHistory() {
    const QByteArray paragraph = "A game of 1984 &amp; its story, told over several lines of text as the collectors "
                                 "write them, with a few facts on who made it and how it plays.\n";
    QByteArray text = "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<history version=\"2.51\">\n";
    for (int i = 0; i < Sets; ++i) {
        if (i % 10 == 1)
            continue;
        text += "\t<entry>\n\t\t<systems>\n\t\t\t<system name=\"" + setName(i) + "\" />\n\t\t</systems>\n\t\t<text>\n";
        for (int line = 0; line < 4; ++line)
            text += paragraph;
        text += "\t\t</text>\n\t</entry>\n";
    }
    return text + "</history>\n";
}

QByteArray generatedDat(const QByteArray& section) {
    QByteArray text = "# generated\n\n";
    for (int i = 0; i < Sets; ++i) {
        if (i % 10 != 1)
            text += "$info=" + setName(i) + ",\n" + section + "\nNotes on the game's driver.\n$end\n\n";
    }
    return text;
}

bool write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

class TextFiles {
public:
    TextFiles() {
        ok = write(folder.file(QStringLiteral("history.xml")), generatedHistory()) &&
             write(folder.file(QStringLiteral("mameinfo.dat")), generatedDat("$mame")) &&
             write(folder.file(QStringLiteral("command.dat")), generatedDat("$cmd"));
    }
    test::TempProgramDir folder;
    bool ok = false;
};

void BM_IndexHistoryXml(benchmark::State& state) {
    TextFiles files;
    const QString path = files.folder.file(QStringLiteral("history.xml"));
    for (auto _ : state) {
        TextIndex index("$bio");
        index.Refresh(path);
        if (!files.ok || index.Count() != Sets - Sets / 10)
            state.SkipWithError("the entries were not all indexed");
    }
    state.counters["MB"] = static_cast<double>(QFile(path).size()) / 1e6;
    state.SetLabel("well under 1 s");
}
BENCHMARK(BM_IndexHistoryXml)->Unit(benchmark::kMillisecond);

// A clone's look-up: three kinds, each missed and then found under the parent.
void BM_LookUpGameTexts(benchmark::State& state) {
    TextFiles files;
    GameTextFiles texts;
    texts.SetFolders({files.folder.path()});
    texts.Refresh();
    int i = 1;
    for (auto _ : state) {
        const GameTexts found = texts.Texts(QString::fromLatin1(setName(i)), QString::fromLatin1(setName(i - 1)));
        if (found.history.isEmpty() || found.info.isEmpty() || found.commands.isEmpty())
            state.SkipWithError("a text was not found");
        i = (i + 7919 * 10) % Sets;
    }
    state.SetLabel("all three kinds of a clone: at most 5 ms");
}
BENCHMARK(BM_LookUpGameTexts)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
