#pragma once

#include <QString>

#include <ostream>

// Failures show texts themselves rather than their UTF-16 units. Found by argument-dependent
// lookup, so it lives in the namespace of QString.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
