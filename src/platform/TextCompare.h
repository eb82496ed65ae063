#pragma once

#include <QString>
#include <QStringView>

#include <string_view>

namespace zelvora {

// The program's case-blind text comparison. It folds ASCII letters only, upper to lower, and then
// compares code units, which is the order SQLite's NOCASE collation gives the catalogue's text
// columns: the game list's order and the type-ahead search over it agree.
int CompareNoCase(QStringView a, QStringView b);
bool EqualNoCase(QStringView a, QStringView b);

// Leading and trailing blanks removed, nothing else: a tab, a line end or a note's carriage
// returns belong to the text.
QString TrimBlanks(const QString& text);
bool StartsWithNoCase(QStringView text, QStringView prefix);

// A set name as the key of a table of sets: its ASCII letters folded to lower case. The bytes of
// `name` are read as Latin-1.
QString FoldedKey(QStringView name);
QString FoldedKey(std::string_view name);
// The same for the bytes of a text file's line: blanks (spaces, tabs, line ends) off both ends,
// and a comparison that folds ASCII letters only.
std::string_view TrimBlankBytes(std::string_view text);
bool EqualNoCaseBytes(std::string_view a, std::string_view b);

} // namespace zelvora
