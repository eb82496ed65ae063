#include "platform/TextLines.h"

#include "TestDirs.h"

#include <gtest/gtest.h>

namespace zelvora {
namespace {

TEST(TextLines, LineEndsEncodingsAndOverlongLines) {
    test::TempProgramDir dir;
    const QString path = dir.path() + QStringLiteral("/listing.txt");
    const QByteArray longLine(TextLineReader::MaxLineLength + 10, 'x');
    test::WriteBytes(path, QByteArray("unix\nwindows\r\n\r\ncaf\xc3\xa9\ncaf\xe9\n") + longLine + "\nlast");

    const std::optional<QStringList> lines = ReadTextLines(path);
    ASSERT_TRUE(lines.has_value());
    ASSERT_EQ(lines->size(), 7);
    EXPECT_EQ(lines->mid(0, 5), (QStringList{QStringLiteral("unix"), QStringLiteral("windows"), QString(),
                                             QStringLiteral("caf\u00e9"), QStringLiteral("caf\u00e9")}));
    EXPECT_EQ(lines->at(5).size(), TextLineReader::MaxLineLength);
    EXPECT_EQ(lines->at(6), QStringLiteral("last")); // the last line needs no line end
}

// The file is read in blocks: a line, its CR LF or the CR alone may straddle a block's end, and a
// line over the cap may run through several blocks.
TEST(TextLines, LinesAcrossBlockEnds) {
    test::TempProgramDir dir;
    const QString path = dir.path() + QStringLiteral("/listing.txt");
    // The CR LF wholly before the block's end, LF on its last byte, CR on it, both after it.
    for (qsizetype shift : {-1, 0, 1, 2}) {
        SCOPED_TRACE(shift);
        const QByteArray first(TextLineReader::BlockSize + shift - 2, 'a');
        test::WriteBytes(path, first + "\r\nsecond\r\nthird");
        EXPECT_EQ(ReadTextLines(path), (QStringList{QString::fromLatin1(first), "second", "third"}));
    }
    const QByteArray huge(TextLineReader::MaxLineLength * 4 + 3 * TextLineReader::BlockSize, 'h');
    test::WriteBytes(path, "before\n" + huge + "\r\nafter\n");
    const std::optional<QStringList> lines = ReadTextLines(path);
    ASSERT_TRUE(lines.has_value());
    ASSERT_EQ(lines->size(), 3);
    EXPECT_EQ(lines->at(1), QString(TextLineReader::MaxLineLength, 'h'));
    EXPECT_EQ(lines->at(2), QStringLiteral("after"));
}

TEST(TextLines, MissingAndEmptyFiles) {
    test::TempProgramDir dir;
    EXPECT_FALSE(ReadTextLines(dir.path() + QStringLiteral("/absent.txt")).has_value());
    const QString empty = dir.path() + QStringLiteral("/empty.txt");
    test::WriteBytes(empty, QByteArray());
    ASSERT_TRUE(ReadTextLines(empty).has_value());
    EXPECT_TRUE(ReadTextLines(empty)->isEmpty());
}

} // namespace
} // namespace zelvora
