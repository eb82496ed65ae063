#include "TestDirs.h"

#include <gtest/gtest.h>

#include <QProcess>

namespace {

// The built stand-in MAME, playing today's MAME, refuses the old listings as today's MAME does, so
// that a window test fails where the program asks today's MAME for them.
TEST(StandinTest, PlaysTodaysMameRefusals) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("ZELVORA_STANDIN_LISTXML", zelvora::test::FixturePath("mame-today/listxml.xml"));
    for (const char* old : {"-listdetails", "-listgames"}) {
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(ZELVORA_STANDIN_PATH, {old});
        ASSERT_TRUE(process.waitForFinished(30000)) << old;
        EXPECT_EQ(process.exitCode(), 6) << old;
        EXPECT_EQ(QString::fromUtf8(process.readAllStandardError()), QString("Error: unknown option: %1\n").arg(old));
    }
}

} // namespace
