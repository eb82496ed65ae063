#include "platform/TextLines.h"

#include "TestDirs.h"

#include <gtest/gtest.h>

using namespace zelvora;

// Line ends, encodings and overlong lines. The file is read in blocks: a line, its CR LF or the CR
// alone may straddle a block's end, and a line over the cap may run through several blocks. The
// update's tests hold a missing and an empty file.
TEST(TextLines, LineEndsEncodingsOverlongLinesAndBlockEnds) {
    test::TempProgramDir dir;
    const QString path = dir.file("listing.txt");
    const int max = TextLineReader::MaxLineLength;
    // The last line needs no line end.
    test::WriteBytes(path, "unix\nwindows\r\n\r\ncaf\xc3\xa9\ncaf\xe9\n" + QByteArray(max + 10, 'x') + "\nlast");
    EXPECT_EQ(ReadTextLines(path),
              (QStringList{"unix", "windows", "", "caf\u00e9", "caf\u00e9", QString(max, 'x'), "last"}));
    // The CR LF wholly before the block's end, LF on its last byte, CR on it, both after it.
    for (qsizetype shift : {-1, 0, 1, 2}) {
        SCOPED_TRACE(shift);
        const QByteArray first(TextLineReader::BlockSize + shift - 2, 'a');
        test::WriteBytes(path, first + "\r\nsecond\r\nthird");
        EXPECT_EQ(ReadTextLines(path), (QStringList{QString::fromLatin1(first), "second", "third"}));
    }
    const QByteArray huge(max * 4 + 3 * TextLineReader::BlockSize, 'h');
    test::WriteBytes(path, "before\n" + huge + "\r\nafter\n");
    EXPECT_EQ(ReadTextLines(path), (QStringList{"before", QString(max, 'h'), "after"}));
}
