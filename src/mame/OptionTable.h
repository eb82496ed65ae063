#pragma once

#include <QString>

#include <optional>
#include <vector>

namespace zelvora {

// The control an option is edited with on the Options tab; each kind is an array of its own
// there, addressed by the option's index.
// Choice: a setting of today's MAME alone (table GameSettings), edited on today's page only.
enum class OptionControl { CheckBox, ScrollBar, Slider, TextBox, Browsed, PlaybackChoice, Choice };

// How a scroll bar's or slider's value reads in the label beside it.
struct ValueText {
    enum class Form {
        None,
        Names,      // names[value - first]
        OneDecimal, // prefix and value / divisor + offset, to one decimal place
        Signed,     // prefix and the value, with a blank in front when it is 0 or more
        Whole,      // prefix and the value
    };
    Form form = Form::None;
    const char* prefix = "";
    double divisor = 1;
    double offset = 0;
    std::vector<const char*> names = {};
    int first = 0;
    const char* zero = nullptr; // the text at 0 where it differs: what MAME does left to itself
};

// How an option becomes switches of MAME's command line; every switch is followed by a blank.
struct SwitchRule {
    enum class Form {
        None,         // no switch of its own
        Flag,         // `text` when the value is 1
        Number,       // `text` and the number value / divisor + offset, when the value is not 0; and
                      // `text2` with the same number where there is one
        AlwaysNumber, // the same for any value, 0 included
        Choice,       // choices[value - first]; `otherwise` for a value not listed but 0
        Folder,       // `text` and the trimmed text, quoted for the shell, when it is not blank
        Recording,    // "-playback" or "-record" (PlayOpt 1 or 2) and the trimmed text, quoted; `text`
                      // is an extension added when the name lacks it
        RomPath,      // `text` and the trimmed text, then the ROM folder, as one list: "A;B", quoted
        UserText,     // the user's own text after all the others, the whole line trimmed
    };
    Form form = Form::None;
    const char* text = "";
    double divisor = 1;
    double offset = 0;
    std::vector<const char*> choices = {}; // nullptr: no switch for that value
    int first = 0;
    const char* otherwise = nullptr;
    const char* text2 = nullptr;
};

struct OptionSpec {
    // A scroll bar's or slider's range and its label's texts, as one MAME reads them: `min`, `max` and
    // `valueText` below are the classic MAME's, and today's where it reads them the same.
    struct Look {
        int min = 0;
        int max = 0;
        ValueText valueText = {};
    };

    QString field;
    OptionControl control;
    int index;                     // in the array of its control kind
    const char* caption = nullptr; // a check box's text
    int min = 0;                   // a scroll bar's or slider's range
    int max = 0;
    ValueText valueText = {};
    // One column per MAME, read by that MAME alone (ClassicMame, TodaysMame).
    SwitchRule classic = {}; // the switch of MAME of the late 1990s
    SwitchRule today = {};   // the switch of today's MAME; None where it has no such option
    std::optional<Look> todayLook = std::nullopt;
};

// Every option of a game record, in the order its switches stand on MAME's command line.
const std::vector<OptionSpec>& OptionTable();
// The option edited with control `index` of kind `control`; nullptr when there is none.
const OptionSpec* FindOption(OptionControl control, int index);

// The option stored in `field`; nullptr when there is none.
const OptionSpec* FindOption(const QString& field);
// The lowest value any MAME's control for the option makes.
int LowestOfAnyMame(const OptionSpec& option);
// Some MAME has a switch for the option: it is more than a part of how the game starts.
bool AnyMameHasSwitch(const OptionSpec& option);

// The text of the label beside an option's control at `value`, as `text` reads it. A value the
// list has no entry for gives nothing: the label keeps what it shows.
std::optional<QString> OptionValueText(const ValueText& text, int value);

// `value` rounded to one decimal place, halves away from zero, written "0.0": at least one digit
// before the point, always "." whatever the locale, and never a negative zero.
QString OneDecimal(double value);

} // namespace zelvora
