#include "detail/OptionTable.h"

#include <QLocale>

#include <gtest/gtest.h>

#include <map>
#include <optional>

using namespace zelvora;

// The Options tab keeps an array of controls per kind: every index from 0 up must find its own
// option, or a control would edit nothing or two controls one field.
TEST(OptionTable, EachControlOfAKindFindsItsOwnOption) {
    std::map<OptionControl, int> count;
    for (const OptionSpec& option : OptionTable()) {
        EXPECT_EQ(FindOption(option.control, option.index), &option) << option.field.toStdString();
        ++count[option.control];
    }
    for (const auto& [control, n] : count) {
        for (int i = 0; i < n; ++i)
            EXPECT_NE(FindOption(control, i), nullptr) << static_cast<int>(control) << " " << i;
        EXPECT_EQ(FindOption(control, n), nullptr);
    }
}

// The Options tab's own tests see each label's text; what they cannot see is a value with no text,
// where the label keeps what it showed, so nothing must come back rather than an empty text.
TEST(OptionTable, ValuesWithoutATextGiveNothing) {
    using enum OptionControl;
    for (const auto& [control, index, value] :
         {std::tuple{ScrollBar, 0, 8}, {ScrollBar, 0, -1}, {Slider, 2, 3}, {Slider, 7, 2}, {Slider, 7, -2}})
        EXPECT_EQ(OptionValueText(*FindOption(control, index), value), std::nullopt) << index << " " << value;
    // A negative value takes the blank's place.
    EXPECT_EQ(OptionValueText(*FindOption(Slider, 1), -1), "VGA Freq =-1");
}

TEST(OptionTable, EveryGammaStepPrintsItsOwnTenthWhateverTheLocale) {
    // Summing a tenth and 1.2 in binary lands beside the decimal; each step must still print the
    // tenth it stands for, without a stray "-0.0" at the bottom, and with a point, not a comma.
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    for (int value = -12; value <= 12; ++value) {
        const int tenths = value + 12;
        EXPECT_EQ(OptionValueText(*FindOption(OptionControl::Slider, 0), value),
                  QString("Gamma Correction = %1.%2").arg(tenths / 10).arg(tenths % 10));
    }
    QLocale::setDefault(before);
}

TEST(OptionTable, OneDecimalRoundsHalvesAwayFromZeroAndNeverShowsNegativeZero) {
    const std::pair<double, const char*> cases[] = {
        {0.0, "0.0"},  {-0.0, "0.0"}, {-1e-16, "0.0"}, {-0.04, "0.0"},   {0.25, "0.3"},   {-0.25, "-0.3"},
        {0.15, "0.2"}, {1.45, "1.5"}, {-0.05, "-0.1"}, {99.96, "100.0"}, {-3.14, "-3.1"}, {12345.67, "12345.7"},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(OneDecimal(value), QString(text)) << value;
}
