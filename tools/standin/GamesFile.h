#pragma once

#include "StandinGame.h"

#include <QString>

#include <vector>

namespace zelvora::standin {

// The stand-in's game data, a UTF-8 text file with one game per line and 13 fields separated by
// tabs:
//
//   name  parent  year  maker  description  driver  cpu1  cpu2  cpu3  sound1  sound2  sound3  verify
//
// `parent` and the processor and sound chip fields may be empty; `verify` is one of good, bad,
// missing or nofiles. Lines that are empty or begin with '#' are comments. A name or parent longer
// than the 8 columns the listings give it, or holding a blank, is refused: it would shift or split
// the listing columns that readers cut by position. Other fields longer than their columns are cut.
class GamesFile {
public:
    // Reads the file at `path`; false when it cannot be read or a line is malformed, and then
    // error() says which file and line.
    bool Load(const QString& path);
    // The file's text for `games`, with the field list as a comment heading it; Load reads it back.
    static QByteArray Format(const std::vector<StandinGame>& games);

    const std::vector<StandinGame>& games() const { return games_; }
    const QString& error() const { return error_; }

private:
    bool fail(const QString& message);

    std::vector<StandinGame> games_;
    QString error_;
};

} // namespace zelvora::standin
