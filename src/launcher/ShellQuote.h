#pragma once

#include <QString>

namespace zelvora {

// One word of a /bin/sh command line, written so that the shell hands it to the program exactly
// as given: no splitting at blanks, no expansion of $, `, *, ~, no ; or > taking effect.
QString ShellQuote(const QString& word);

} // namespace zelvora
