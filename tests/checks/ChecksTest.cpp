#include "CatalogueFixture.h"

#include "checks/PresenceChecks.h"
#include "checks/RomAudit.h"
#include "checks/RomVerification.h"
#include "checks/VerifyReport.h"
#include "launcher/ProcessRunner.h"
#include "mame/GameCommand.h"
#include "mame/Mame.h"
#include "mame/MameVersion.h"

#include <QCryptographicHash>
#include <QProcess>

using namespace zelvora;

namespace {

class PresenceChecksTest : public ::testing::Test, public test::CatalogueFixture {
protected:
    // The field of every record, in the catalogue's order, the default record first.
    QString marks(const QString& field) { return test::Column(*vars.CatalogueDb, field).join(QString()); }

    struct : NoProgress {
        void SetRange(int, int maximum) override { max = maximum; }
        void SetValue(int value) override { last = value; }
        int max = -1, last = -1;
    } progress;
};

// Clearing the status fields afterwards leaves the notes.
TEST_F(PresenceChecksTest, MarksGamesWithoutTheirFileOrTheirParentsWhileMergedAndClearsThem) {
    const QString folder = program.path() + "/files/";
    const std::pair<const char*, QVariantMap> games[] = {
        {"pacman", {}},
        {"pacmanj", {{"Clone", "pacman  "}}},
        {"digdug", {{"Screenshot", 0}}},
        // Marks that are out of date.
        {"mspac", {{"Screenshot", 1}, {"Missing ROM", 0}, {"Bad ROM", 1}, {"Notes", "romset mspac is bad\r"}}},
        {"blank", {{"Clone", "   "}}},
        {"orphanc", {{"Clone", " digdug "}}}, // a parent that has no file
    };
    for (const auto& [rom, fields] : games)
        add(rom, rom, fields);
    // Any letter case; only files count, so neither another kind of archive nor a folder does.
    // Today's snapshots count only when asked for: a PNG by the set's name or in its folder.
    QDir().mkpath(folder + "digdug.zip");
    for (const char* file :
         {"PACMAN.PCX", "mspac.pcx", "Pacman.Zip", "mspac.7z", "Blank.png", "pacmanj/notes.txt", "digdug/0000.PNG"})
        test::WriteBytes(folder + file, "x");
    // What is checked, the folder, merged sets, the count and the marks. Today's MAME reads a
    // ".7z" and a folder named as the set too, and runs "blank" from no file at all. Every check
    // marks through the same code, which the ROM sets show merged and over a folder that is gone.
    enum Check { Zips, TodaysRoms, Pcx, Png };
    const std::tuple<Check, QString, bool, int, const char*> cases[] = {
        {Pcx, folder, false, 4, "0011011"},
        {Zips, folder, false, 5, "0011111"},
        {Zips, folder, true, 4, "0001111"},
        // A folder that is not there marks every game but the default record.
        {Zips, folder + "gone/", true, 6, "0111111"},
        {TodaysRoms, folder, false, 1, "0000001"},
        {Png, folder, false, 2, "0010001"},
    };
    for (const auto& [check, where, merged, count, marked] : cases) {
        progress.last = -1;
        const bool roms = check == Zips || check == TodaysRoms;
        EXPECT_EQ(check == Zips ? CheckMissingZippedRoms(store(), where, merged, progress, RomSetKinds::Zip)
                  : roms ? CheckMissingZippedRoms(store(), where, merged, progress, RomSetKinds::ZipSevenZipOrFolder,
                                                  {"blank"})
                         : CheckMissingScreenshots(store(), where, merged, progress,
                                                   check == Png ? ScreenshotKinds::PcxAndPng : ScreenshotKinds::Pcx),
                  count);
        EXPECT_EQ(marks(roms ? "Missing ROM" : "Screenshot"), QString(marked)) << check << merged;
        EXPECT_EQ(std::pair(progress.max, progress.last), std::pair(6, 6));
    }
    ClearStatusFields(store(), progress);
    for (const char* field : {"Missing ROM", "Screenshot", "Bad ROM"})
        EXPECT_EQ(marks(field), QString("0000000")) << field;
    EXPECT_EQ(stored("mspac", "Notes").toString(), QString("romset mspac is bad\r"));
}

class VerifyReportTest : public ::testing::Test, public test::CatalogueFixture {
protected:
    VerifyReportTest() {
        for (const char* rom : {"pacman", "galaga", "it's"})
            add(rom, rom, {{"Notes", "old notes"}, {"Bad ROM", 0}});
    }
    VerifyReportResult read(const QByteArray& report) {
        test::WriteBytes(program.file("Verify.txt"), report);
        return ReadVerifyReport(program.file("Verify.txt"), store(), progress);
    }
    // The game's Notes and Bad ROM, as "notes|bad".
    QString fields(const char* rom) {
        return rs().FindFirst("Rom", rom) ? rs().Value("Notes").toString() + "|" + rs().Value("Bad ROM").toString()
                                          : "none";
    }

    NoProgress progress;
};

// Each kind of line; detail lines become the next named set's notes, a second run replacing them.
// Missing, empty and hostile reports are read as far as they hold text.
TEST_F(VerifyReportTest, DetailLinesBecomeTheNextNamedSetsNotesWhateverTheReport) {
    // Blank lines and those about a zip file go; an indented "romset" is a detail line, and
    // "romset galaga" has no blank after the name.
    const VerifyReportResult result = read("pacman.6e  : NOT FOUND\r\n"
                                           "Error in zipfile pacman.zip\n"
                                           "the zipfile pacman.zip was not found\n"
                                           "\n"
                                           "    \n"
                                           "  romset indented\n"
                                           "pacman.6f  : bad CRC\n"
                                           "romset pacman is bad\n"
                                           "romset galaga\n"
                                           "x : NOT FOUND\n"
                                           "romset nosuchset is bad\n"
                                           "romset it's is bad\n"
                                           "left over\n");
    EXPECT_TRUE(result.error.isEmpty());
    EXPECT_EQ(std::pair(result.counts.romsets, result.counts.marked), (std::pair<qint64, qint64>(4, 3)));
    EXPECT_EQ(fields("pacman"), QString("pacman.6e  : NOT FOUND\r  romset indented\rpacman.6f  : bad CRC\r|1"));
    EXPECT_EQ(fields("galaga"), QString("|1")) << "named right after another set";
    EXPECT_EQ(fields("it's"), QString("|1")) << "the notes were dropped at the set that is not there";
    // A second run replaces the notes.
    read("other\nROMSET PACMAN is bad\n");
    EXPECT_EQ(fields("pacman"), QString("other\r|1"));
    EXPECT_TRUE(ReadVerifyReport(program.file("none.txt"), store(), progress).error.isEmpty());
    EXPECT_EQ(read("").counts.lines, 0);
    // More detail lines than one set's notes may hold, then a few bytes that are no text.
    const QByteArray hostile =
        (QByteArray(60000, 'A') + "\n").repeated(5) + QByteArray("\0\xff\xfe garbage\n", 12) + "romset pacman is bad\n";
    set("galaga", {{"Notes", "old notes"}, {"Bad ROM", 0}});
    EXPECT_EQ(read(hostile).counts.marked, 1);
    EXPECT_TRUE(fields("pacman").endsWith("|1"));
    EXPECT_LE(fields("pacman").size(), VerifyReport::MaxNotesLength + 2);
    EXPECT_EQ(fields("galaga"), QString("old notes|0"));
}

// Through a real shell: a MAME that never started leaves an empty report, which must not pass for
// "every set is good"; MAME's own non-zero code (it found bad sets) is no problem.
TEST_F(VerifyReportTest, VerifyRomsSaysWhenMameCouldNotBeStarted) {
    // What happens, the file's name, whether it may run, the shell, the code.
    const std::tuple<const char*, const char*, bool, const char*, int> cases[] = {
        {"MAME finding a bad set", "mame", true, "/bin/sh", 1},
        {"the name in capitals", "MAME", true, "/bin/sh", 127},
        {"a file that cannot run", "mame", false, "/bin/sh", 126},
        {"no shell", "mame", true, "/no/such/sh", -1},
    };
    for (const auto& [what, file, executable, shell, code] : cases) {
        SCOPED_TRACE(what);
        test::TempProgramDir mame;
        test::WriteScript(mame.file(file), "#!/bin/sh\necho 'romset pacman is bad'\nexit 1\n", executable);
        vars.CatalogueDb->Execute("UPDATE ROMS SET [Bad ROM]=0");
        ShellRunner runner(shell);
        const VerifyOutcome outcome = VerifyRoms(store(), mame.path() + "/", program.path(), runner, progress);
        EXPECT_EQ(outcome.exitCode, code);
        EXPECT_TRUE(fields("pacman").endsWith(code == 1 ? "|1" : "|0"));
        // The problem names the code and the command, for the user to try by hand.
        for (const QString& part :
             {QString("exit code %1").arg(code), VerifyCommand(mame.path() + "/", program.path())})
            EXPECT_EQ(outcome.problem.contains(part), code != 1) << outcome.problem.toStdString();
        EXPECT_FALSE(QFile::exists(VerifyReportFile(program.path())));
    }
}

// Today's report as Debian's MAME 0.251 printed it over a folder of damaged sets: every verdict is
// read, the summary agrees, and each bad set's notes are its own detail lines, not those of a set
// printed before it that needs no file it lacks ("4d30" before "990189v").
TEST_F(VerifyReportTest, TodaysReportGivesEachSetItsOwnLines) {
    TodaysVerifyReader reader;
    for (const QString& line : QString(test::ReadBytes(test::FixturePath("mame-today/verifyroms-bad.stdout")) +
                                       test::ReadBytes(test::FixturePath("mame-today/verifyroms-bad.stderr")))
                                   .split('\n'))
        reader.Read(line);
    ASSERT_TRUE(reader.ReadSummary());
    EXPECT_EQ(reader.Verdicts().size(), reader.ReadSummary()->found);
    QStringList bad;
    for (const auto& verdict : reader.Verdicts()) {
        if (verdict.bad)
            bad << verdict.name + "=" + QString::number(verdict.notes.count('\r'));
    }
    EXPECT_EQ(bad.size(), reader.ReadSummary()->found - reader.ReadSummary()->ok);
    EXPECT_EQ(bad.join(' '), "19in1=5 32x=8 990189v=8 acrnsys3_6809=5 pacman=12");
    // Lines written by hand where no real report had them: a good set, and one with a long name.
    reader = {};
    const QString tooLong = "romset " + QString(MaxListedText + 1, 'x') + " is bad";
    for (const QString& line :
         QStringList{"galaga      : gg1.bin (4096 bytes) - NEEDS REDUMP", "romset galaga is good",
                     "it's        : a.bin (16 bytes) - NOT FOUND", "noise", "romset it's [x] is bad", tooLong,
                     "romset pacman is best available", "romset nosuchset is good"})
        reader.Read(line);
    EXPECT_EQ(reader.Malformed(), 1) << "a name longer than any set's";
    // A set MAME runs loses its marks and the lines a bad verdict left, once fixed; notes of
    // another kind stay, lines about another set among them.
    const QString galagaWasBad = "galaga      : gg1.bin (4096 bytes) - INCORRECT CHECKSUM:\r"
                                 "EXPECTED: CRC(12345678) SHA1(0000000000000000000000000000000000000000)\r"
                                 "   FOUND: CRC(00000000)\r";
    set("pacman", {{"Bad ROM", 1}, {"Missing ROM", 1}, {"Notes", galagaWasBad}});
    set("galaga", {{"Bad ROM", 1}, {"Missing ROM", 1}, {"Notes", galagaWasBad}});
    set("it's", {{"Missing ROM", 1}});
    const VerifyCounts counts = StoreVerdicts(store(), reader.Verdicts(), progress);
    EXPECT_EQ((std::array{counts.romsets, counts.marked, counts.found, counts.goodOrBad}),
              (std::array<qint64, 4>{4, 1, 3, 2}));
    // Notes|Bad ROM|Missing ROM
    const auto marks = [&](const char* rom) { return fields(rom) + "|" + stored(rom, "Missing ROM").toString(); };
    EXPECT_EQ(marks("galaga"), QString("|0|0"));
    EXPECT_EQ(marks("pacman"), galagaWasBad + "|0|0");
    EXPECT_EQ(marks("it's"), QString("it's        : a.bin (16 bytes) - NOT FOUND\r|1|1"));
}

// Through a real shell, MAME printing its report: the bad set is stored when MAME ends with 0 or 2;
// any other end stores nothing and tells MAME's own words, without the sound library's noise.
TEST_F(VerifyReportTest, TodaysVerificationStoresNothingUnlessMameEndedWell) {
    test::TempProgramDir mame;
    const QString script = "#!/bin/sh\n"
                           "echo 'ALSA lib confmisc.c:767:(parse_card) cannot find card' >&2\n"
                           "printf 'pacman      : pacman.6e (4096 bytes) - NOT FOUND\\nromset pacman is bad\\n'\n"
                           "printf 'romset galaga is good\\n'\n"
                           "echo \"$*\" > \"$(dirname \"$0\")/args\"\n"
                           "echo '2 romsets found, 1 were OK.' >&2\n"
                           "exit %1\n";
    ShellRunner runner;
    for (const int code : {139, 2}) {
        SCOPED_TRACE(code);
        test::WriteScript(mame.file("mame"), script.arg(code).toUtf8());
        const VerifyOutcome outcome = VerifyTodaysRoms(store(), mame.path() + "/", "/my roms/", runner, progress);
        EXPECT_EQ(outcome.exitCode, code);
        EXPECT_EQ(test::ReadBytes(mame.file("args")), "-verifyroms * -rompath /my roms/\n");
        EXPECT_EQ(fields("pacman"), code == 2 ? "pacman      : pacman.6e (4096 bytes) - NOT FOUND\r|1" : "old notes|0");
        EXPECT_EQ(outcome.counts.marked, code == 2 ? 1 : 0);
        EXPECT_EQ(outcome.problem.isEmpty(), code == 2) << outcome.problem.toStdString();
        EXPECT_EQ(outcome.problem.contains("exit code 139") && outcome.problem.contains("2 romsets found"),
                  code == 139);
        EXPECT_FALSE(outcome.problem.contains("ALSA"));
        EXPECT_TRUE(outcome.notice.isEmpty()) << "MAME found sets good and bad";
        // Asked over an empty folder, MAME names the sets that need no files; a MAME that failed
        // names none, and then no mark changes.
        vars.CatalogueDb->Execute("UPDATE ROMS SET [Missing ROM]=7");
        const PresenceOutcome presence =
            CheckMissingTodaysRoms(store(), mame.path() + "/", program.path() + "/", false, runner, progress);
        EXPECT_EQ(presence.problem.contains("exit code 139"), code == 139) << presence.problem.toStdString();
        EXPECT_EQ(stored("galaga", "Missing ROM").toString() + stored("pacman", "Missing ROM").toString(),
                  code == 2 ? "01" : "77");
    }

    // A report naming more sets than any MAME has is not kept: MAME is stopped and nothing stored.
    test::WriteScript(mame.file("mame"),
                      QString("#!/bin/sh\nyes 'romset galaga is bad' | head -n %1\n").arg(MaxListedGames + 1).toUtf8());
    const VerifyOutcome outcome = VerifyTodaysRoms(store(), mame.path() + "/", "", runner, progress);
    EXPECT_TRUE(outcome.problem.startsWith("MAME's report names more than 200000 sets. Nothing was stored."))
        << outcome.problem.toStdString();
    EXPECT_EQ(fields("galaga"), QString("old notes|0"));
}

// "Verify ROMS" asking MAME only about what changed, through a real shell and a MAME that verifies
// each set it is named by its name: "bad..." is bad, "silent..." gets no verdict, the rest good.
class RomAuditTest : public ::testing::Test, public test::CatalogueFixture {
protected:
    RomAuditTest() {
        for (int i = 0; i < 250; ++i)
            addSet(QString("g%1").arg(i, 3, 10, QChar('0')));
        addSet("badset", {{"Notes", "from the list"}});
        addSet("silent");
        add("clone", "clone", {{"Clone", "g000"}}); // no file of its own: read from its parent's
        add("gone", "gone", {{"Bad ROM", 1}});
        store().ReplaceFacts({{"g000", {}}}); // a catalogue made from today's listing, which says sets need files
        test::WriteScript(mame.file("mame"), "#!/bin/sh\n"
                                             "dir=$(dirname \"$0\")\n"
                                             "echo \"$*\" >> \"$dir/log\"\n"
                                             "stop=$(cat \"$dir/stop\" 2>/dev/null)\n"
                                             "shift; n=0\n"
                                             "for name in \"$@\"; do\n"
                                             "  [ \"$name\" = -rompath ] && break\n"
                                             "  if [ -n \"$stop\" ] && [ $n -eq ${stop#* } ]; then\n"
                                             "    [ \"${stop% *}\" = crash ] && exit 139; exec sleep 60\n"
                                             "  fi\n"
                                             "  n=$((n+1))\n"
                                             "  case \"$name\" in\n"
                                             "  bad*) printf '%-12s: a.1 (16 bytes) - NOT FOUND\\n' \"$name\";\n"
                                             "        echo \"romset $name is bad\";;\n"
                                             "  silent*) ;;\n"
                                             "  *) echo \"romset $name is good\";;\n"
                                             "  esac\n"
                                             "done\n");
    }
    void addSet(const QString& rom, const QVariantMap& fields = {}) {
        add(rom, rom, fields);
        test::WriteBytes(roms.file(rom + ".zip"), "zip");
    }
    AuditOutcome audit() {
        QFile::remove(mame.file("log"));
        return AuditTodaysRoms(store(), mame.path() + "/", roms.path() + "/", runner, progress);
    }
    // The sets named on each of MAME's command lines.
    QStringList asked() {
        QStringList runs;
        for (const QString& line : QString(test::ReadBytes(mame.file("log"))).split('\n', Qt::SkipEmptyParts))
            runs << line.section(" -rompath ", 0, 0).mid(QString("-verifyroms ").size());
        return runs;
    }
    // Bad ROM and Missing ROM, as "BR".
    QString marks(const char* rom) { return stored(rom, "Bad ROM").toString() + stored(rom, "Missing ROM").toString(); }
    qsizetype audited() {
        GameStore games(*vars.CatalogueDb);
        return AuditStore(games).Entries().size();
    }

    test::TempProgramDir mame, roms;
    ShellRunner runner;
    struct : NoProgress {
        void OfferCancel() override {}
        bool Cancelled() const override { return cancelAt >= 0 && value >= cancelAt; }
        void SetValue(int v) override {
            value = v;
            if (v == cancelAt)
                storedMeanwhile = seen();
        }
        int cancelAt = -1, value = 0;
        std::function<QString()> seen;
        QString storedMeanwhile;
    } progress;
};

// MAME crashing part-way, then cancelled part-way: the verdicts it printed stay stored, stored
// while it ran, and are not asked for again; a set without files is not found without asking MAME.
TEST_F(RomAuditTest, KeepsEveryVerdictPrintedAndAsksOnlyAboutTheRest) {
    test::WriteBytes(mame.file("stop"), "crash 200");
    AuditOutcome outcome = audit();
    EXPECT_TRUE(outcome.problem.contains("exit code 139")) << outcome.problem.toStdString();
    EXPECT_EQ(asked().size(), 1);
    EXPECT_EQ(audited(), 200 + 1) << "the verdicts before the crash and the set without files";
    EXPECT_EQ(marks("gone"), "01") << "not found, never bad";
    EXPECT_FALSE(asked().join(' ').contains("gone"));
    EXPECT_EQ(marks("g199") + "|" + marks("g200"), "00|");

    QFile::remove(mame.file("stop"));
    outcome = audit();
    EXPECT_TRUE(outcome.problem.isEmpty()) << outcome.problem.toStdString();
    EXPECT_EQ(asked(), QStringList{"g200 g201 g202 g203 g204 g205 g206 g207 g208 g209 g210 g211 g212 g213 g214 g215 "
                                   "g216 g217 g218 g219 g220 g221 g222 g223 g224 g225 g226 g227 g228 g229 g230 g231 "
                                   "g232 g233 g234 g235 g236 g237 g238 g239 g240 g241 g242 g243 g244 g245 g246 g247 "
                                   "g248 g249 badset silent clone"});
    EXPECT_EQ((std::array{outcome.counts.checked, outcome.counts.carried, outcome.counts.good, outcome.counts.bad,
                          outcome.counts.notFound}),
              (std::array{53, 201, 251, 1, 2}));
    EXPECT_EQ(marks("badset") + "|" + marks("silent") + "|" + marks("clone"), "1|01|00");
    EXPECT_EQ(stored("badset", "Notes").toString(), "badset      : a.1 (16 bytes) - NOT FOUND\r");

    // Every set changed; cancelled while MAME waits after 210 sets, the first AuditBatch of them
    // stored before the cancel, as a program killed then would have kept them.
    for (int i = 0; i < 250; ++i)
        test::WriteBytes(roms.file(QString("g%1.zip").arg(i, 3, 10, QChar('0'))), "changed");
    test::WriteBytes(mame.file("stop"), "wait 210");
    progress.cancelAt = 205;
    progress.seen = [&] {
        GameStore games(*vars.CatalogueDb);
        const QHash<QString, AuditEntry> entries = AuditStore(games).Entries();
        const RomSetFiles now({roms.path()});
        return QString::number(entries["g000"].stamp == now.Stamp("g000", {})) +
               QString::number(entries["g201"].stamp == now.Stamp("g201", {}));
    };
    EXPECT_TRUE(audit().cancelled);
    EXPECT_EQ(progress.storedMeanwhile, "10") << "g000 stored while MAME ran, g201 not yet";
    progress.cancelAt = -1;
    QFile::remove(mame.file("stop"));
    audit();
    EXPECT_EQ(asked().join(' ').split(' ').size(), 41) << "the 40 sets left and the clone of g000";

    // A cleared mark comes back from the last verification, without MAME.
    ClearStatusFields(store(), progress);
    test::WriteBytes(roms.file("g000.zip"), "again");
    outcome = audit();
    EXPECT_EQ(asked(), QStringList{"g000 clone"}) << "the set and the clone reading its parent's file";
    EXPECT_EQ(outcome.counts.carried, 252);
    EXPECT_EQ(marks("badset") + "|" + marks("gone"), "10|01");
}

// With more sets than one run of MAME should take alone, runs verify side by side, one per
// processor: each set is asked about once, and a run that crashes leaves the one beside it to end,
// each keeping what its MAME printed.
TEST_F(RomAuditTest, RunsSideBySideShareTheSetsAndStopTogether) {
    for (int i = 0; i < 200; ++i)
        addSet(QString("h%1").arg(i, 3, 10, QChar('0')));
    QFile::remove(roms.file("silent.zip")); // not found without asking: every set asked prints
    const int lanes = AuditLanes(452);
    test::WriteBytes(mame.file("stop"), "crash 100");
    AuditOutcome outcome = audit();
    EXPECT_TRUE(outcome.problem.contains("exit code 139")) << outcome.problem.toStdString();
    EXPECT_EQ(asked().size(), lanes);
    EXPECT_EQ(audited(), 100 * lanes + 2);

    QFile::remove(mame.file("stop"));
    outcome = audit();
    QStringList sets = asked().join(' ').split(' ');
    EXPECT_EQ(sets.size(), 452 - 100 * lanes);
    sets.removeDuplicates();
    EXPECT_EQ(sets.size(), 452 - 100 * lanes) << "no set asked twice";
    EXPECT_EQ(outcome.counts.good + outcome.counts.bad + outcome.counts.notFound, 454);
    EXPECT_EQ(audited(), 454);
}

// A set's needs are followed on, each once, the set itself never: a clone's parent's BIOS, the
// devices of each. Only those with files count in its stamp, so that the stamp of a set needing no
// more than its parent is the one stored before the others counted.
TEST(RomSetStamp, FollowsTheSetsASetNeeds) {
    const QHash<QString, QStringList> needed{
        {"mslug2", {"mslug", "namco51"}}, {"mslug", {"neogeo", "namco51"}}, {"neogeo", {"MSlug2"}}};
    const NeededSets sets = SetsNeeded("mslug2", " mslug ", needed);
    EXPECT_EQ(sets.parent, "mslug");
    EXPECT_EQ(sets.others, (QStringList{"namco51", "neogeo"}));
    EXPECT_EQ(SetsNeeded("joyjoy", "", {{"joyjoy", {"neogeo"}}}).others, QStringList{"neogeo"}) << "no clone";

    test::TempProgramDir roms;
    for (const char* set : {"mslug2", "mslug", "neogeo"})
        test::WriteBytes(roms.file(QString(set) + ".zip"), set);
    const RomSetFiles files({roms.path()});
    const QByteArray before = (files.Files("mslug2") + ">" + files.Files("mslug")).toUtf8();
    const QString stored = QCryptographicHash::hash(before, QCryptographicHash::Sha1).toHex();
    EXPECT_EQ(files.Stamp("mslug2", {"mslug", {"namco51"}}), stored) << "a needed set without files";
    EXPECT_NE(files.Stamp("mslug2", sets), stored);
    EXPECT_EQ(files.Stamp("namco51", {{}, {"neogeo"}}), QString()) << "nothing of its own: MAME finds nothing";
}

// Verification and game starts against the real MAME, where one is installed.
class RealMameTest : public ::testing::Test, public test::CatalogueFixture {
protected:
    void SetUp() override {
        if (!test::MameInstalled())
            GTEST_SKIP() << "needs today's MAME in " << test::InstalledMame.toStdString() << " (apt-get install mame)";
        // MAME keeps its settings and memory cards under the home folder it is given.
        qputenv("HOME", program.path().toUtf8());
        add("pacman", "Pac-Man");
        add("pong", "Pong (Rev E)", {{"Bad ROM", 1}, {"Missing ROM", 1}, {"Notes", "kept"}});
        // A set whose ROM files are all there, but not what MAME expects.
        ASSERT_EQ(
            QProcess::execute("/bin/sh", {"-c", "cd " + roms.path() +
                                                    " && printf junk > pacman.6e && "
                                                    "python3 -c \"import zipfile; z=zipfile.ZipFile('pacman.zip','w');"
                                                    " z.write('pacman.6e'); z.close()\""}),
            0);
    }
    void TearDown() override { qputenv("HOME", home); }

    const QByteArray home = qgetenv("HOME");
    test::TempProgramDir roms;
    ShellRunner runner;
    NoProgress progress;
};

TEST_F(RealMameTest, VerifyMarksTheBadSetAndClearsTheOneNeedingNoFiles) {
    const VerifyOutcome outcome = VerifyTodaysRoms(store(), test::InstalledMame, roms.path(), runner, progress);
    EXPECT_EQ(outcome.exitCode, 2);
    EXPECT_TRUE(outcome.problem.isEmpty()) << outcome.problem.toStdString();
    EXPECT_EQ(stored("pacman", "Bad ROM").toInt(), 1);
    EXPECT_TRUE(stored("pacman", "Notes").toString().startsWith("pacman      : pacman.6e (4096 bytes) - INCORRECT"));
    // MAME runs it without files.
    for (const auto& [field, value] : {std::pair("Bad ROM", "0"), {"Missing ROM", "0"}, {"Notes", "kept"}})
        EXPECT_EQ(stored("pong", field).toString(), QString(value)) << field;
    EXPECT_EQ(std::pair(outcome.counts.found, outcome.counts.goodOrBad), (std::pair<qint64, qint64>(2, 1)));
    EXPECT_TRUE(outcome.notice.isEmpty()) << outcome.notice.toStdString();
    // Named one by one on the command line, the sets get the same verdicts.
    const AuditOutcome audit = AuditTodaysRoms(store(), test::InstalledMame, roms.path(), runner, progress);
    EXPECT_TRUE(audit.problem.isEmpty()) << audit.problem.toStdString();
    EXPECT_EQ((std::array{audit.counts.checked, audit.counts.good, audit.counts.bad}), (std::array{2, 1, 1}));
}

// Every option that today's MAME has a switch for is set, and MAME takes them all.
TEST_F(RealMameTest, StartGameWithEveryOptionAndAMissingSet) {
    const std::shared_ptr<const Mame> mame = MameVersions().Of(MameExecutable(test::InstalledMame), runner);
    QVariantMap options;
    for (const OptionSpec& option : OptionTable()) {
        if (mame->HasSwitch(option) && option.control != OptionControl::TextBox &&
            option.control != OptionControl::Browsed && option.control != OptionControl::Choice &&
            option.field != "Debugger")
            options[option.field] = 1;
    }
    options["Sound Card"] = 0;
    options["Additional"] = "-video none -seconds_to_run 1";
    set("pong", options);
    // The settings beside the record, each giving a switch; no saved state is left behind.
    ASSERT_TRUE(GameStore(*vars.CatalogueDb)
                    .SaveOptions("pong", GameOptions({{"Window", 0},
                                                      {"Video", "soft"},
                                                      {"Keep Aspect", 0},
                                                      {"Filter", 1},
                                                      {"Auto Frame Skip", 1},
                                                      {"Volume", -32},
                                                      {"Sample Rate Hz", 22050},
                                                      {"Auto Save", 0},
                                                      {"Skip Game Info", 1}})));
    const auto command = [&](const QString& rom) {
        return BuildGameCommand(rom, *GameStore(*vars.CatalogueDb).Options(rom), {}, test::InstalledMame, *mame,
                                roms.path());
    };
    GameRun run = RunGame(runner, command("pong"), *mame);
    EXPECT_EQ(run.exitCode, 0) << run.problem.toStdString();
    set("pacman", {{"Default", 0}, {"Additional", "-video none -sound none -seconds_to_run 1"}});
    run = RunGame(runner, command("pacman"), *mame);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.problem.contains("Required files are missing")) << run.problem.toStdString();
}

} // namespace
