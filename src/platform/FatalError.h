#pragma once

#include <QString>

class QWidget;

namespace zelvora {

// What the program does with an engine or file error it cannot go on from: the text is shown to
// the user and the program ends with a non-zero status.
[[noreturn]] void ShowFatalError(const QString& text, QWidget* parent = nullptr);

} // namespace zelvora
