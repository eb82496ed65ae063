#include "GamesFile.h"

#include <QFile>
#include <QStringList>

#include <array>

namespace zelvora::standin {

namespace {

constexpr int FieldCount = 13;
constexpr int NameWidth = 8;

bool IsSetName(const QString& name) {
    return name.size() <= NameWidth && !name.contains(QLatin1Char(' '));
}

} // namespace

QByteArray GamesFile::Format(const std::vector<StandinGame>& games) {
    QString text = QStringLiteral("# name\tparent\tyear\tmaker\tdescription\tdriver\tcpu1\tcpu2\tcpu3\t"
                                  "sound1\tsound2\tsound3\tverify (good, bad, missing or nofiles)\n");
    const char* const words[] = {"good", "bad", "missing", "nofiles"};
    for (const StandinGame& g : games) {
        const QStringList fields{g.name,
                                 g.parent,
                                 g.year,
                                 g.maker,
                                 g.description,
                                 g.driver,
                                 g.cpus[0],
                                 g.cpus[1],
                                 g.cpus[2],
                                 g.sounds[0],
                                 g.sounds[1],
                                 g.sounds[2],
                                 QLatin1String(words[static_cast<int>(g.verify)])};
        text += fields.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return text.toUtf8();
}

bool GamesFile::fail(const QString& message) {
    games_.clear();
    error_ = message;
    return false;
}

bool GamesFile::Load(const QString& path) {
    games_.clear();
    error_.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read the game data file %1: %2").arg(path, file.errorString()));

    // Fields are cut as views of the one decoded text: the stand-in reads the data file at every
    // listing, and a test may give it a whole MAME set.
    const QString text = QString::fromUtf8(file.readAll());
    const QList<QStringView> lines = QStringView(text).split(QLatin1Char('\n'));
    games_.reserve(static_cast<size_t>(lines.size()));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QStringView line = lines[i];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const auto bad = [&](const QString& why) {
            return fail(QStringLiteral("%1, line %2: %3").arg(path).arg(i + 1).arg(why));
        };
        std::array<QStringView, FieldCount> f;
        qsizetype fields = 0;
        for (QStringView rest = line;; ++fields) {
            const qsizetype tab = rest.indexOf(QLatin1Char('\t'));
            if (fields < FieldCount)
                f[static_cast<size_t>(fields)] = tab < 0 ? rest : rest.first(tab);
            if (tab < 0)
                break;
            rest = rest.sliced(tab + 1);
        }
        if (++fields != FieldCount)
            return bad(QStringLiteral("%1 tab-separated fields instead of %2").arg(fields).arg(FieldCount));

        StandinGame game;
        game.name = f[0].toString();
        game.parent = f[1].toString();
        game.year = f[2].toString();
        game.maker = f[3].toString();
        game.description = f[4].toString();
        game.driver = f[5].toString();
        game.cpus = {f[6].toString(), f[7].toString(), f[8].toString()};
        game.sounds = {f[9].toString(), f[10].toString(), f[11].toString()};
        if (game.name.isEmpty() || !IsSetName(game.name) || !IsSetName(game.parent))
            return bad(QStringLiteral("set names must be 1 to 8 characters without blanks"));
        if (f[12] == QLatin1String("good"))
            game.verify = VerifyStatus::Good;
        else if (f[12] == QLatin1String("bad"))
            game.verify = VerifyStatus::Bad;
        else if (f[12] == QLatin1String("missing"))
            game.verify = VerifyStatus::Missing;
        else if (f[12] == QLatin1String("nofiles"))
            game.verify = VerifyStatus::NoFiles;
        else
            return bad(
                QStringLiteral("verify status \"%1\" is not good, bad, missing or nofiles").arg(f[12].toString()));
        games_.push_back(std::move(game));
    }
    return true;
}

} // namespace zelvora::standin
