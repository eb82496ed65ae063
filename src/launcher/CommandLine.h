#pragma once

#include <QString>

namespace zelvora {

class Recordset;

// The text of a number as it stands in MAME's switches: a blank before a value of zero or more
// and "-" before a negative one, "." as the point whatever the locale, at most 15 significant
// digits, no trailing zeros, and no zero before the point (1 -> " 1", 0.5 -> " .5", -1 -> "-1").
QString NumberText(double x);

// The switches that follow the game name on MAME's command line, read from the current record
// of `rs` (a recordset over ROMS), each followed by one blank; with additional text from the
// record the whole is trimmed instead.
//
// When the record's Default is 1 the switches come from the default record, and `rs` is left
// standing on it: the launch relies on knowing which record the options were read from.
QString BuildCommandLine(Recordset& rs);

} // namespace zelvora
