#include "detail/OptionTable.h"

#include <QLocale>
#include <QStringList>

#include <gtest/gtest.h>

#include <optional>

using namespace zelvora;

namespace {

QString slideText(int slide, int value) {
    return OptionValueText(*FindOption(OptionControl::Slider, slide), value).value_or("<none>");
}

} // namespace

TEST(OptionTable, EveryControlHasOneOptionAndEveryOptionOneControl) {
    const std::pair<OptionControl, int> counts[] = {{OptionControl::CheckBox, 17}, {OptionControl::ScrollBar, 3},
                                                    {OptionControl::Slider, 8},    {OptionControl::TextBox, 2},
                                                    {OptionControl::Browsed, 2},   {OptionControl::PlaybackChoice, 1}};
    size_t total = 0;
    for (const auto& [control, count] : counts) {
        for (int i = 0; i < count; ++i)
            EXPECT_NE(FindOption(control, i), nullptr) << static_cast<int>(control) << " " << i;
        EXPECT_EQ(FindOption(control, count), nullptr);
        total += count;
    }
    EXPECT_EQ(OptionTable().size(), total);
}

TEST(OptionTable, ValuesWithoutATextGiveNothing) {
    // The label keeps what it showed, so nothing must come back rather than an empty text.
    for (const auto& [scroll, value] : {std::pair{0, 8}, {0, -1}, {1, 7}, {2, 10}})
        EXPECT_EQ(OptionValueText(*FindOption(OptionControl::ScrollBar, scroll), value), std::nullopt)
            << scroll << " " << value;
    for (const auto& [slide, value] : {std::pair{2, 3}, {3, -1}, {7, 2}, {7, -2}})
        EXPECT_EQ(OptionValueText(*FindOption(OptionControl::Slider, slide), value), std::nullopt)
            << slide << " " << value;
}

TEST(OptionTable, SlidersDescribeTheirValues) {
    struct Case {
        int slide;
        int value;
        const char* text;
    };
    const Case cases[] = {
        {0, -12, "Gamma Correction = 0.0"}, // -1.2 + 1.2 may leave a negative hair
        {0, -11, "Gamma Correction = 0.1"},
        {0, 0, "Gamma Correction = 1.2"},
        {0, 3, "Gamma Correction = 1.5"},
        {0, 12, "Gamma Correction = 2.4"},
        {1, 0, "VGA Freq = 0"},
        {1, 2, "VGA Freq = 2"},
        {1, -1, "VGA Freq =-1"},
        {2, 0, "No Rotation"},
        {2, 1, "Rotate Right"},
        {2, 2, "Rotate Left"},
        {3, 0, "No Flip"},
        {3, 1, "Flip Horizontally"},
        {3, 2, "Flip Vertically"},
        {4, 0, "Vector Width = 0.0"},
        {4, 1, "Vector Width = 0.3"},
        {4, 2, "Vector Width = 0.5"},
        {4, 3, "Vector Width = 0.8"},
        {4, 64, "Vector Width = 16.0"},
        {5, 0, "Vector Flicker = 0.0"},
        {5, 1, "Vector Flicker = 0.5"},
        {5, 200, "Vector Flicker = 100.0"},
        {6, 0, "Frame Skip = 0"},
        {6, 3, "Frame Skip = 3"},
        {7, -1, "Sample Rate = 11025"},
        {7, 0, "Sample Rate = 22050"},
        {7, 1, "Sample Rate = 44100"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(slideText(c.slide, c.value), QString(c.text)) << c.slide << " " << c.value;
}

TEST(OptionTable, EveryGammaStepPrintsItsOwnTenth) {
    // Summing a tenth and 1.2 in binary lands beside the decimal; each step must still print the
    // tenth it stands for, without a stray "-0.0" at the bottom.
    for (int value = -12; value <= 12; ++value) {
        const int tenths = value + 12;
        const QString expected = QString("Gamma Correction = %1.%2").arg(tenths / 10).arg(tenths % 10);
        EXPECT_EQ(slideText(0, value), expected) << value;
    }
}

TEST(OptionTable, OneDecimalRoundsHalvesAwayFromZeroAndNeverShowsNegativeZero) {
    const std::pair<double, const char*> cases[] = {
        {0.0, "0.0"},   {-0.0, "0.0"},    {-1e-16, "0.0"}, {-0.04, "0.0"},        {0.25, "0.3"}, {-0.25, "-0.3"},
        {0.75, "0.8"},  {0.05, "0.1"},    {-0.05, "-0.1"}, {0.15, "0.2"},         {1.45, "1.5"}, {0.5, "0.5"},
        {16.0, "16.0"}, {99.96, "100.0"}, {-3.14, "-3.1"}, {12345.67, "12345.7"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(OneDecimal(value), QString(text)) << value;
}

TEST(OptionTable, DecimalPointIgnoresTheLocale) {
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString width = slideText(4, 3);
    const QString gamma = slideText(0, 0);
    QLocale::setDefault(before);
    EXPECT_EQ(width, QString("Vector Width = 0.8"));
    EXPECT_EQ(gamma, QString("Gamma Correction = 1.2"));
}
