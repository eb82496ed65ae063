#include "checks/VerifyReport.h"

#include "platform/Progress.h"
#include "platform/TextCompare.h"
#include "platform/TextLines.h"
#include "store/FieldNames.h"

#include <QFileInfo>
#include <QRegularExpression>

#include <climits>

namespace zelvora {

namespace {

const QString NotesField = Field::Notes;
const QString BadRomField = Field::BadRom;
const QString MissingRomField = Field::MissingRom;

bool onlyBlanks(const QString& line) {
    for (QChar c : line) {
        if (c != QLatin1Char(' '))
            return false;
    }
    return true;
}

} // namespace

VerifyLine ClassifyVerifyLine(const QString& line) {
    if (StartsWithNoCase(line, u"romset")) {
        constexpr qsizetype NameStart = 7; // the 8th character
        const qsizetype blank = line.indexOf(QLatin1Char(' '), NameStart);
        return {VerifyLineKind::Romset, line.mid(NameStart, blank < 0 ? -1 : blank - NameStart)};
    }
    if (onlyBlanks(line))
        return {VerifyLineKind::Blank, {}};
    if (StartsWithNoCase(line, u"the zipfile") || StartsWithNoCase(line, u"error in"))
        return {VerifyLineKind::Ignored, {}};
    return {VerifyLineKind::Detail, {}};
}

VerifyReport::VerifyReport(GameStore& catalogue, Progress& progress) : progress_(progress), writes_(catalogue) {}

void VerifyReport::Read(const QString& line) {
    ++counts_.lines;
    const VerifyLine kind = ClassifyVerifyLine(line);
    switch (kind.kind) {
    case VerifyLineKind::Romset:
        ++counts_.romsets;
        // An empty buffer is stored as an empty text, not as Null.
        if (!kind.name.isEmpty() &&
            writes_.Write(kind.name,
                          {{NotesField, notes_.isNull() ? QString(QLatin1String("")) : notes_}, {BadRomField, 1}}))
            ++counts_.marked;
        notes_.clear();
        break;
    case VerifyLineKind::Detail:
        if (notes_.size() + line.size() + 1 <= MaxNotesLength)
            notes_ += line + QLatin1Char('\r');
        break;
    case VerifyLineKind::Blank:
    case VerifyLineKind::Ignored:
        break;
    }
}

void VerifyReport::Finish() {
    writes_.Commit();
}

VerifyReportResult ReadVerifyReport(const QString& path, GameStore& catalogue, Progress& progress) {
    VerifyReportResult result;
    if (!QFileInfo::exists(path)) {
        progress.SetRange(0, 0);
        return result;
    }
    int total = 0;
    {
        TextLineReader counter(path);
        if (!counter.IsOpen()) {
            result.error = QStringLiteral("Could not read '%1': %2").arg(path, counter.ErrorString());
            return result;
        }
        QString line;
        while (total < INT_MAX && counter.Next(line))
            ++total;
    }
    progress.SetRange(0, total);
    progress.SetValue(0);

    TextLineReader reader(path);
    if (!reader.IsOpen()) {
        result.error = QStringLiteral("Could not read '%1': %2").arg(path, reader.ErrorString());
        return result;
    }
    VerifyReport report(catalogue, progress);
    QString line;
    int value = 0;
    while (reader.Next(line)) {
        if (value < INT_MAX)
            progress.SetValue(++value);
        report.Read(line);
    }
    report.Finish();
    result.counts = report.Counts();
    return result;
}

namespace {

// "romset <name> [<parent>] is <verdict>"
const QRegularExpression
    VerdictLine(QStringLiteral("^romset (\\S+)(?: \\[[^\\]]*\\])? is (bad|good|best available)\\s*$"));
// "<name, padded to 12>: <file> ..."
const QRegularExpression DetailLine(QStringLiteral("^(\\S+) *: \\S"));
const QRegularExpression SummaryLine(QStringLiteral("^(\\d+) romsets found, (\\d+) were OK\\.\\s*$"));

bool continuesDetail(const QString& line) {
    const QString text = line.trimmed();
    return text.startsWith(QLatin1String("EXPECTED:")) || text.startsWith(QLatin1String("FOUND:"));
}

} // namespace

void TodaysVerifyReader::Read(const QString& line) {
    if (!problem_.isEmpty())
        return;
    if (const auto verdict = VerdictLine.match(line); verdict.hasMatch()) {
        const QString name = verdict.captured(1);
        if (name.size() > MaxListedText) {
            ++malformed_;
            detailsOf_.clear();
            details_.clear();
            return;
        }
        if (verdicts_.size() >= static_cast<size_t>(MaxListedGames)) {
            problem_ = QStringLiteral("MAME's report names more than %1 sets.").arg(MaxListedGames);
            return;
        }
        Verdict found;
        found.name = name;
        found.bad = verdict.captured(2) == QLatin1String("bad");
        found.bestAvailable = verdict.captured(2) == QLatin1String("best available");
        if (found.bad && EqualNoCase(detailsOf_, name) && allNotes_ + details_.size() <= MaxAllNotesLength) {
            allNotes_ += details_.size();
            found.notes = details_;
        }
        verdicts_.push_back(std::move(found));
        detailsOf_.clear();
        details_.clear();
        return;
    }
    // A checksum's "EXPECTED:" line would otherwise read as a detail of a set of that name.
    if (detailsOf_.isEmpty() || !continuesDetail(line)) {
        const auto detail = DetailLine.match(line);
        if (!detail.hasMatch()) {
            if (const auto summary = SummaryLine.match(line); summary.hasMatch())
                summary_ = Summary{summary.captured(1).toLongLong(), summary.captured(2).toLongLong()};
            return;
        }
        if (!EqualNoCase(detailsOf_, detail.captured(1))) {
            detailsOf_ = detail.captured(1);
            details_.clear();
        }
    }
    if (details_.size() + line.size() + 1 <= VerifyReport::MaxNotesLength)
        details_ += line + QLatin1Char('\r');
}

bool HoldsVerifyDetails(const QString& notes, const QString& rom) {
    if (!notes.endsWith(QLatin1Char('\r')))
        return false;
    const QList<QStringView> lines = QStringView(notes).chopped(1).split(QLatin1Char('\r'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].toString();
        if (i > 0 && continuesDetail(line))
            continue;
        const auto detail = DetailLine.match(line);
        if (!detail.hasMatch() || !EqualNoCase(detail.capturedView(1), rom))
            return false;
    }
    return true;
}

VerifyCounts StoreVerdicts(GameStore& catalogue, const std::vector<TodaysVerifyReader::Verdict>& verdicts,
                           Progress& progress) {
    VerifyCounts counts;
    progress.SetRange(0, static_cast<int>(std::min<size_t>(verdicts.size(), INT_MAX)));
    QStringList names;
    names.reserve(static_cast<qsizetype>(verdicts.size()));
    for (const TodaysVerifyReader::Verdict& verdict : verdicts)
        names << verdict.name;
    const auto holdsZero = [](const QVariant& value) {
        return value.typeId() == QMetaType::LongLong && value.toLongLong() == 0;
    };
    catalogue.ChangeGames(
        names, {NotesField, BadRomField, MissingRomField}, [&](qsizetype i, const QVariantHash* stored) {
            const TodaysVerifyReader::Verdict& verdict = verdicts[static_cast<size_t>(i)];
            ++counts.romsets;
            progress.SetValue(static_cast<int>(std::min<qint64>(counts.romsets, INT_MAX)));
            if (!stored)
                return QVariantHash();
            ++counts.found;
            if (!verdict.bestAvailable)
                ++counts.goodOrBad;
            if (verdict.bad) {
                ++counts.marked;
                return QVariantHash{{NotesField, verdict.notes.isNull() ? QString(QLatin1String("")) : verdict.notes},
                                    {BadRomField, 1}};
            }
            const bool staleNotes = HoldsVerifyDetails(stored->value(NotesField).toString(), verdict.name);
            if (holdsZero(stored->value(BadRomField)) && holdsZero(stored->value(MissingRomField)) && !staleNotes)
                return QVariantHash();
            QVariantHash cleared{{BadRomField, 0}, {MissingRomField, 0}};
            if (staleNotes)
                cleared.insert(NotesField, QString(QLatin1String("")));
            return cleared;
        });
    return counts;
}

} // namespace zelvora
