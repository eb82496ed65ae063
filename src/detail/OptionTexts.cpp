#include "detail/OptionTexts.h"

#include <cmath>

namespace zelvora {

namespace {

const char* const SoundCards[] = {
    "Silence",        "Sound Blaster", "Sound Blaster AWE32",  "Pro Audio Spectrum",
    "Ultrasound Max", "Ultrasound",    "Windows Sound System", "Ensoniq Soundscape",
};
const char* const Resolutions[] = {
    "Automatic", "320 x 240", "400 x 300", "512 x 384", "640 x 400", "800 x 600", "1024 x 768",
};
const char* const Joysticks[] = {
    "No Joystick",       "2 Button Joystick",  "Dual Joysticks",   "4 Button Joystick",    "6 Button Joystick",
    "8 Button Joystick", "CH Flightstick Pro", "Logitech Wingman", "Microsoft Sidewinder", "Gravis GamePad Pro",
};
const char* const Rotations[] = {"No Rotation", "Rotate Right", "Rotate Left"};
const char* const Flips[] = {"No Flip", "Flip Horizontally", "Flip Vertically"};
const char* const SampleRates[] = {"Sample Rate = 11025", "Sample Rate = 22050", "Sample Rate = 44100"};

template <size_t N> std::optional<QString> entry(const char* const (&list)[N], int index) {
    if (index < 0 || index >= static_cast<int>(N))
        return std::nullopt;
    return QString::fromLatin1(list[index]);
}

} // namespace

std::optional<QString> ScrollValueText(int scroll, int value) {
    switch (scroll) {
    case 0:
        return entry(SoundCards, value);
    case 1:
        return entry(Resolutions, value);
    case 2:
        return entry(Joysticks, value);
    default:
        return std::nullopt;
    }
}

std::optional<QString> SlideValueText(int slide, int value) {
    switch (slide) {
    case 0:
        return QStringLiteral("Gamma Correction = ") + OneDecimal(value / 10.0 + 1.2);
    case 1:
        return QStringLiteral("VGA Freq =") + SignedNumber(value);
    case 2:
        return entry(Rotations, value);
    case 3:
        return entry(Flips, value);
    case 4:
        return QStringLiteral("Vector Width = ") + OneDecimal(value / 4.0);
    case 5:
        return QStringLiteral("Vector Flicker = ") + OneDecimal(value / 2.0);
    case 6:
        return QStringLiteral("Frame Skip = ") + QString::number(value);
    case 7:
        // The rates are stored as -1, 0 and 1.
        return entry(SampleRates, value + 1);
    default:
        return std::nullopt;
    }
}

QString OneDecimal(double value) {
    if (!std::isfinite(value) || std::abs(value) >= 1e15)
        return QString::number(value, 'f', 1);
    // Tenths are counted as an integer, so the sign comes from the rounded count: a value that
    // rounds to zero prints "0.0" however small a negative it was. The count is first snapped to a
    // millionth, because a product such as 0.15 * 10 lands a hair below the half it stands for and
    // would otherwise round down.
    const double tenths = std::round(value * 10.0 * 1e6) / 1e6;
    const long long count = std::llround(tenths);
    const long long magnitude = count < 0 ? -count : count;
    QString text = count < 0 ? QStringLiteral("-") : QString();
    text += QString::number(magnitude / 10) + QLatin1Char('.') + QString::number(magnitude % 10);
    return text;
}

QString SignedNumber(int value) {
    if (value >= 0)
        return QLatin1Char(' ') + QString::number(value);
    return QString::number(value);
}

} // namespace zelvora
