#include "detail/OptionsPanel.h"

#include "detail/TodaysOptionsPage.h"
#include "mame/ClassicMame.h"
#include "mame/Mame.h"
#include "platform/MouseUpControls.h"
#include "platform/TextCompare.h"
#include "platform/UserDialogs.h"
#include "store/FieldNames.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>

namespace zelvora {

namespace {

const char* const PlaybackCaptions[3] = {"None", "Playback", "Record"};
const char* const ButtonCaptions[3] = {"Executable", "Alternate ROM Dir", "..."};
const char* const HeadingCaptions[7] = {"Sound",    "Sound Card",         "Video", "Resolution", "Options",
                                        "Joystick", "Additional Commands"};

constexpr char TagProperty[] = "tag";

// Three columns of option controls share a tab about 440 pixels wide: the controls stand close
// together, in a font a point smaller than the window's.
constexpr int RowSpacing = 3;
constexpr int ColumnSpacing = 6;
constexpr int PanelMargin = 4;

// valueLabels(0) and (1) carry nothing a user needs: they stay out of the layout and hidden.
constexpr int FirstValueLabel = 2;

QString tagOf(const QWidget* widget) {
    return widget->property(TagProperty).toString();
}

// A stored option as a number; a field that holds nothing counts as 0.
qlonglong storedNumber(const QVariant& value) {
    if (value.isNull())
        return 0;
    bool ok = false;
    const qlonglong number = value.toLongLong(&ok);
    return ok ? number : 0;
}

QString storedText(const QVariant& value) {
    return value.isNull() ? QString() : value.toString();
}

// A stored value outside a control's range comes from an older or hand-edited catalogue; the
// control shows the nearest value it can hold.
int clampedTo(const QAbstractSlider* control, qlonglong value) {
    return static_cast<int>(std::clamp<qlonglong>(value, control->minimum(), control->maximum()));
}

QString controlName(const char* array, int index) {
    return QLatin1String(array) + QLatin1Char('_') + QString::number(index);
}

} // namespace

OptionsPanel::OptionsPanel(UserDialogs& dialogs, std::function<Folders()> folders, std::function<void()> focusGrid,
                           QWidget* parent)
    : QWidget(parent), dialogs_(dialogs), folders_(std::move(folders)), focusGrid_(std::move(focusGrid)) {
    setObjectName(QStringLiteral("OptionsPanel"));
    QFont smaller = font();
    if (smaller.pointSizeF() > 2)
        smaller.setPointSizeF(smaller.pointSizeF() - 1);
    setFont(smaller);
    createControls();
    placeControls();
    // Drawn as for the classic MAME until the MAME in use is known: the page's size, which the main
    // window shares its width out by before it asks MAME anything, then holds every value label.
    SetMame(std::make_shared<const ClassicMame>());
}

void OptionsPanel::createControls() {
    for (int i = 0; i < static_cast<int>(checks.size()); ++i) {
        const OptionSpec& option = *FindOption(OptionControl::CheckBox, i);
        checks[i] = new MouseUpCheckBox(QLatin1String(option.caption), this, [this, i] { checkReleased(i); });
        checks[i]->setObjectName(controlName("checks", i));
        checks[i]->setProperty(TagProperty, option.field);
    }
    for (int i = 0; i < ScrollCount; ++i) {
        scrolls[i] = new QScrollBar(Qt::Horizontal, this);
        scrolls[i]->setObjectName(controlName("scrolls", i));
        scrolls[i]->setProperty(TagProperty, FindOption(OptionControl::ScrollBar, i)->field);
        // The scroll bars pick a value and hand the keyboard straight back to the game list.
        scrolls[i]->setFocusPolicy(Qt::NoFocus);
        connect(scrolls[i], &QScrollBar::valueChanged, this, [this, i] { scrollMoved(i); });
    }
    for (int i = 0; i < SlideCount; ++i) {
        sliders[i] = new MouseUpSlider(this, [this, i] { sliderReleased(i); });
        sliders[i]->setObjectName(controlName("sliders", i));
        sliders[i]->setProperty(TagProperty, FindOption(OptionControl::Slider, i)->field);
        connect(sliders[i], &QSlider::valueChanged, this, [this, i] { sliderMoved(i); });
    }
    for (int i = 0; i < static_cast<int>(texts.size()); ++i) {
        texts[i] = new QLineEdit(this);
        texts[i]->setObjectName(controlName("texts", i));
        texts[i]->setProperty(TagProperty, FindOption(OptionControl::TextBox, i)->field);
        // textChanged rather than textEdited: loading sets the texts and relies on the flag it
        // raises being lowered at the end, like every other control's.
        connect(texts[i], &QLineEdit::textChanged, this, [this, i] { textEdited(i); });
    }
    for (int i = 0; i < static_cast<int>(browsedLabels.size()); ++i) {
        browsedLabels[i] = new QLabel(this);
        browsedLabels[i]->setObjectName(controlName("browsedLabels", i));
        browsedLabels[i]->setProperty(TagProperty, FindOption(OptionControl::Browsed, i)->field);
        browsedLabels[i]->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        // A long path must not widen the tab; the label shows what fits.
        browsedLabels[i]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    }
    for (int i = 0; i < static_cast<int>(playbackButtons.size()); ++i) {
        playbackButtons[i] = new QRadioButton(QLatin1String(PlaybackCaptions[i]), this);
        playbackButtons[i]->setObjectName(controlName("playbackButtons", i));
        // toggled also fires when code selects a button, which loading relies on.
        connect(playbackButtons[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                playbackChosen(i);
        });
    }
    for (int i = 0; i < static_cast<int>(optionButtons.size()); ++i) {
        optionButtons[i] = new QPushButton(QLatin1String(ButtonCaptions[i]), this);
        optionButtons[i]->setObjectName(controlName("optionButtons", i));
        connect(optionButtons[i], &QPushButton::clicked, this, [this, i] { browseOption(i); });
    }
    // The browse button beside the playback file needs no more room than its three dots.
    optionButtons[2]->setFixedWidth(optionButtons[2]->fontMetrics().horizontalAdvance(optionButtons[2]->text()) * 3 +
                                    12);
    for (int i = 0; i < static_cast<int>(headings.size()); ++i) {
        headings[i] = new QLabel(QLatin1String(HeadingCaptions[i]), this);
        headings[i]->setObjectName(controlName("headings", i));
    }
    for (const int column : {0, 2, 4}) {
        QFont bold = headings[column]->font();
        bold.setBold(true);
        headings[column]->setFont(bold);
    }
    for (int i = 0; i < static_cast<int>(valueLabels.size()); ++i) {
        valueLabels[i] = new QLabel(this);
        valueLabels[i]->setObjectName(controlName("valueLabels", i));
    }
    valueLabels[0]->setText(QStringLiteral("Sample Rate"));
    for (int i = 0; i < FirstValueLabel; ++i)
        valueLabels[i]->hide();
    todaysPage = new TodaysOptionsPage([this] { return folders_ ? folders_().mame : QString(); }, this);
    connect(todaysPage, &TodaysOptionsPage::edited, this, [this] {
        optionsChanged_ = true;
        giveFocusToGrid();
    });
}

void OptionsPanel::placeControls() {
    auto* sound = new QVBoxLayout;
    sound->setSpacing(RowSpacing);
    sound->addWidget(headings[0]);
    sound->addWidget(headings[1]);
    sound->addWidget(valueLabels[2]);
    sound->addWidget(scrolls[0]);
    for (const int box : {1, 2, 3, 16})
        sound->addWidget(checks[box]);
    sound->addWidget(valueLabels[12]);
    sound->addWidget(sliders[7]);
    sound->addStretch(1);

    auto* video = new QVBoxLayout;
    video->setSpacing(RowSpacing);
    video->addWidget(headings[2]);
    video->addWidget(headings[3]);
    video->addWidget(valueLabels[3]);
    video->addWidget(scrolls[1]);
    for (int box = 4; box <= 10; ++box)
        video->addWidget(checks[box]);
    auto* videoSliders = new QGridLayout;
    videoSliders->setVerticalSpacing(RowSpacing);
    int row = 0;
    for (const int slide : {6, 1, 2, 3}) {
        videoSliders->addWidget(valueLabels[5 + slide], row, 0);
        videoSliders->addWidget(sliders[slide], row, 1);
        ++row;
    }
    videoSliders->setColumnStretch(1, 1);
    video->addLayout(videoSliders);
    video->addStretch(1);

    auto* options = new QVBoxLayout;
    options->setSpacing(RowSpacing);
    options->addWidget(headings[4]);
    options->addWidget(headings[5]);
    options->addWidget(valueLabels[4]);
    options->addWidget(scrolls[2]);
    for (int box = 11; box <= 15; ++box)
        options->addWidget(checks[box]);
    for (const int slide : {0, 4, 5}) {
        options->addWidget(valueLabels[5 + slide]);
        options->addWidget(sliders[slide]);
    }
    options->addStretch(1);

    classicPage = new QWidget(this);
    classicPage->setObjectName(QStringLiteral("classicOptions"));
    auto* columns = new QHBoxLayout(classicPage);
    columns->setContentsMargins(0, 0, 0, 0);
    columns->setSpacing(ColumnSpacing);
    columns->addLayout(sound, 1);
    columns->addLayout(video, 1);
    columns->addLayout(options, 1);

    // The playback choice stands beside the playback file it applies to.
    auto* rows = new QGridLayout;
    rows->setVerticalSpacing(RowSpacing);
    for (int i = 0; i < static_cast<int>(playbackButtons.size()); ++i)
        rows->addWidget(playbackButtons[i], i, 0);
    auto* playback = new QHBoxLayout;
    playback->addWidget(texts[0], 1);
    playback->addWidget(optionButtons[2]);
    rows->addLayout(playback, 1, 1);
    rows->addWidget(optionButtons[0], 3, 0);
    rows->addWidget(browsedLabels[0], 3, 1);
    rows->addWidget(optionButtons[1], 4, 0);
    rows->addWidget(browsedLabels[1], 4, 1);
    rows->addWidget(headings[6], 5, 0);
    rows->addWidget(texts[1], 5, 1);
    rows->addWidget(checks[0], 6, 0, 1, 2);
    rows->setColumnStretch(1, 1);

    auto* panel = new QVBoxLayout(this);
    panel->setContentsMargins(PanelMargin, PanelMargin, PanelMargin, PanelMargin);
    panel->addWidget(classicPage);
    panel->addWidget(todaysPage);
    panel->addSpacing(PanelMargin);
    panel->addLayout(rows);
    panel->addStretch(1);
}

void OptionsPanel::initOptionControls() {
    for (int i = 0; i < ScrollCount; ++i) {
        const OptionSpec::Look look = mame_->Look(*FindOption(OptionControl::ScrollBar, i));
        scrolls[i]->setMaximum(look.max);
        scrolls[i]->setMinimum(look.min);
    }
    for (int i = 0; i < SlideCount; ++i) {
        const OptionSpec::Look look = mame_->Look(*FindOption(OptionControl::Slider, i));
        sliders[i]->setMinimum(look.min);
        sliders[i]->setMaximum(look.max);
        sliders[i]->setPageStep(1);
    }
}

void OptionsPanel::writeScrollLabel(int index) {
    if (!mame_)
        return;
    const OptionSpec& option = *FindOption(OptionControl::ScrollBar, index);
    if (const auto text = OptionValueText(mame_->Look(option).valueText, scrolls[index]->value()))
        valueLabels[FirstValueLabel + index]->setText(*text);
}

void OptionsPanel::writeSlideLabel(int index) {
    if (!mame_)
        return;
    const OptionSpec& option = *FindOption(OptionControl::Slider, index);
    if (const auto text = OptionValueText(mame_->Look(option).valueText, sliders[index]->value()))
        valueLabels[FirstValueLabel + ScrollCount + index]->setText(*text);
}

void OptionsPanel::SetMame(std::shared_ptr<const Mame> mame) {
    // Asked at every selection; the controls change only with the MAME.
    if (!mame || mame == mame_)
        return;
    mame_ = std::move(mame);
    todaysPage->SetMame(mame_);
    classicPage->setVisible(!showsTodaysPage());
    todaysPage->setVisible(showsTodaysPage());
    // Where the MAMEs read a control differently, its range and its label follow the MAME. A value
    // the new range does not hold moves to the nearest one, which the next load replaces: the MAME
    // changing is no edit of the user's. The value labels follow every change of their control;
    // here they take the text of the control's value, so that a load which leaves a value where it
    // was still finds its label right.
    const bool pending = optionsChanged_;
    initOptionControls();
    for (int i = 0; i < ScrollCount; ++i)
        writeScrollLabel(i);
    for (int i = 0; i < SlideCount; ++i)
        writeSlideLabel(i);
    optionsChanged_ = pending;
    for (const OptionSpec& option : OptionTable()) {
        // Only options that are switches at all: the default box and the executable are not.
        if (!AnyMameHasSwitch(option))
            continue;
        QList<QWidget*> controls;
        switch (option.control) {
        case OptionControl::CheckBox:
            controls = {checks[option.index]};
            break;
        case OptionControl::ScrollBar:
            controls = {scrolls[option.index], valueLabels[FirstValueLabel + option.index]};
            break;
        case OptionControl::Slider:
            controls = {sliders[option.index], valueLabels[FirstValueLabel + ScrollCount + option.index]};
            break;
        default:
            continue;
        }
        const bool known = mame_->HasSwitch(option);
        for (QWidget* control : controls) {
            control->setEnabled(known);
            control->setToolTip(known ? QString() : QStringLiteral("The MAME in use has no such option."));
        }
    }
}

// A MAME with settings of its own beyond ROMS is given its own page.
bool OptionsPanel::showsTodaysPage() const {
    return mame_ && mame_->HasSwitch(*FindOption(Setting::Window));
}

void OptionsPanel::giveFocusToGrid() {
    if (focusGrid_)
        focusGrid_();
}

void OptionsPanel::sliderMoved(int index) {
    optionsChanged_ = true;
    writeSlideLabel(index);
}

void OptionsPanel::sliderReleased(int /*index*/) {
    giveFocusToGrid();
}

void OptionsPanel::scrollMoved(int index) {
    optionsChanged_ = true;
    writeScrollLabel(index);
    giveFocusToGrid();
}

void OptionsPanel::checkReleased(int index) {
    optionsChanged_ = true;
    giveFocusToGrid();
    if (EqualNoCase(tagOf(checks[index]), Field::Default))
        Q_EMIT defaultToggledByMouse(checks[index]->isChecked());
}

void OptionsPanel::textEdited(int /*index*/) {
    optionsChanged_ = true;
}

void OptionsPanel::playbackChosen(int index) {
    optionsChanged_ = true;
    // Without playback there is no playback file to name.
    if (index == 0)
        texts[0]->clear();
    giveFocusToGrid();
}

void OptionsPanel::browseOption(int index) {
    optionsChanged_ = true;
    switch (index) {
    case 0: {
        // Any executable: people keep MAME builds under names of their own. One in MAME's folder
        // is kept by its bare name, which the launch looks up there; any other by its full path.
        const QString mamePath = folders_ ? folders_().mame : QString();
        const QString file = dialogs_.OpenFile(this, QStringLiteral("MAME Executable|*"), mamePath);
        const qsizetype slash = file.lastIndexOf(QLatin1Char('/'));
        browsedLabels[0]->setText(file.left(slash + 1) == mamePath ? file.mid(slash + 1) : file);
        break;
    }
    case 1: {
        // A folder chooser, so that a folder with no file in it yet can be chosen. Cancelling
        // clears the alternate folder, the way to go back to the ROM folder alone.
        browsedLabels[1]->setText(dialogs_.ChooseFolder(this, QStringLiteral("Select the Alternate ROM Directory"),
                                                        folders_ ? folders_().rom : QString()));
        break;
    }
    case 2: {
        const QString file = dialogs_.OpenFile(this, QStringLiteral("Playback File|*.inp"), QString());
        const QString name = file.mid(file.lastIndexOf(QLatin1Char('/')) + 1);
        // MAME is given the recording's name without any extension; a name without one is not a
        // recording it wrote.
        const qsizetype dot = name.indexOf(QLatin1Char('.'));
        texts[0]->setText(dot < 0 ? QString() : name.left(dot));
        break;
    }
    default:
        return;
    }
    giveFocusToGrid();
}

void OptionsPanel::LoadOptions(const GameOptions& options, bool shown, bool defaultBoxEnabled) {
    for (QLabel* label : headings)
        label->setVisible(shown);
    for (int i = FirstValueLabel; i < static_cast<int>(valueLabels.size()); ++i)
        valueLabels[i]->setVisible(shown);
    for (QWidget* widget : optionButtons)
        widget->setVisible(shown);
    for (QWidget* widget : playbackButtons)
        widget->setVisible(shown);
    for (QWidget* widget : texts)
        widget->setVisible(shown);

    // A control already at 0 gets no change from being set to 0, so its handler is run for it.
    for (int i = 0; i < ScrollCount; ++i) {
        const qlonglong value = storedNumber(options.Value(tagOf(scrolls[i])));
        if (value != 0) {
            scrolls[i]->setValue(clampedTo(scrolls[i], value));
        } else {
            scrollMoved(i);
            scrolls[i]->setValue(0);
        }
        scrolls[i]->setVisible(shown);
    }
    for (int i = 0; i < SlideCount; ++i) {
        const qlonglong value = storedNumber(options.Value(tagOf(sliders[i])));
        if (value != 0) {
            sliders[i]->setValue(clampedTo(sliders[i], value));
            sliderReleased(i);
        } else {
            sliderMoved(i);
            sliders[i]->setValue(0);
        }
        sliders[i]->setVisible(shown);
    }
    for (QCheckBox* box : checks) {
        const QVariant value = options.Value(tagOf(box));
        box->setChecked(!value.isNull() && storedNumber(value) == 1);
        box->setVisible(shown);
    }

    // Every button is cleared first, so that selecting the stored one is a change and runs its
    // handler even when it was already selected. An exclusive group refuses to be left empty.
    for (QRadioButton* button : playbackButtons) {
        button->setAutoExclusive(false);
        button->setChecked(false);
        button->setAutoExclusive(true);
    }
    const QVariant playOpt = options.Value(Field::PlayOpt);
    const qlonglong choice = storedNumber(playOpt);
    const bool known = choice >= 0 && choice < static_cast<qlonglong>(playbackButtons.size());
    playbackButtons[known ? static_cast<size_t>(choice) : 0]->setChecked(true);

    for (QLabel* label : browsedLabels) {
        label->setText(storedText(options.Value(tagOf(label))));
        label->setVisible(shown);
    }
    // After the playback choice: choosing "None" has emptied the playback text just now.
    for (QLineEdit* text : texts)
        text->setText(storedText(options.Value(tagOf(text))));

    todaysPage->Load(options);
    classicPage->setVisible(shown && !showsTodaysPage());
    todaysPage->setVisible(shown && showsTodaysPage());
    checks[0]->setVisible(true);
    checks[0]->setEnabled(defaultBoxEnabled);
    optionsChanged_ = false;
}

GameOptions OptionsPanel::Options() const {
    GameOptions options;
    for (const QCheckBox* box : checks)
        options.SetValue(tagOf(box), box->isChecked() ? 1 : 0);
    for (const QScrollBar* scroll : scrolls)
        options.SetValue(tagOf(scroll), scroll->value());
    for (const QSlider* slide : sliders)
        options.SetValue(tagOf(slide), slide->value());
    // Texts become words of MAME's command line, which a NUL would cut short.
    for (const QLineEdit* text : texts)
        options.SetValue(tagOf(text), text->text().remove(QChar(0)));
    for (const QLabel* label : browsedLabels)
        options.SetValue(tagOf(label), label->text().remove(QChar(0)));
    const auto chosen = std::find_if(playbackButtons.begin(), playbackButtons.end(),
                                     [](const QRadioButton* button) { return button->isChecked(); });
    if (chosen != playbackButtons.end())
        options.SetValue(Field::PlayOpt, static_cast<int>(chosen - playbackButtons.begin()));
    // Today's page speaks for the fields it shares with the classic controls, which it hides.
    if (showsTodaysPage()) {
        const QVariantHash values = todaysPage->Values();
        for (auto value = values.cbegin(); value != values.cend(); ++value)
            options.SetValue(value.key(), value.value());
    }
    return options;
}

} // namespace zelvora
