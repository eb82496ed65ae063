#pragma once

#include <QString>

#include <optional>

namespace zelvora {

inline constexpr int ScrollCount = 3;
inline constexpr int SlideCount = 8;

// The text of the value label that follows scroll bar `scroll` (lblOptions1(2 + scroll)) at
// `value`. A value the list has no entry for gives nothing: the label keeps what it shows.
std::optional<QString> ScrollValueText(int scroll, int value);

// The text of the value label that follows slider `slide` (lblOptions1(5 + slide)) at `value`;
// nothing for a value without a text.
std::optional<QString> SlideValueText(int slide, int value);

// `value` rounded to one decimal place, halves away from zero, written "0.0": at least one digit
// before the point, always "." whatever the locale, and never a negative zero.
QString OneDecimal(double value);

// A number with a blank in front when it is zero or more, and its "-" otherwise.
QString SignedNumber(int value);

} // namespace zelvora
