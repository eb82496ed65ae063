#include "detail/OptionsPanel.h"

#include "mame/Mame.h"
#include "platform/TextCompare.h"
#include "platform/UserDialogs.h"
#include "store/FieldNames.h"
#include "store/Recordset.h"

#include "platform/MouseUpControls.h"

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

// lblOptions1(0) and (1) carry nothing a user needs: they stay out of the layout and hidden.
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
}

void OptionsPanel::createControls() {
    for (int i = 0; i < static_cast<int>(chkBox.size()); ++i) {
        const OptionSpec& option = *FindOption(OptionControl::CheckBox, i);
        chkBox[i] = new MouseUpCheckBox(QLatin1String(option.caption), this, [this, i] { chkBox_MouseUp(i); });
        chkBox[i]->setObjectName(controlName("chkBox", i));
        chkBox[i]->setProperty(TagProperty, option.field);
    }
    for (int i = 0; i < ScrollCount; ++i) {
        hscScroll[i] = new QScrollBar(Qt::Horizontal, this);
        hscScroll[i]->setObjectName(controlName("hscScroll", i));
        hscScroll[i]->setProperty(TagProperty, FindOption(OptionControl::ScrollBar, i)->field);
        // The scroll bars pick a value and hand the keyboard straight back to the game list.
        hscScroll[i]->setFocusPolicy(Qt::NoFocus);
        connect(hscScroll[i], &QScrollBar::valueChanged, this, [this, i] { hscScroll_Change(i); });
    }
    for (int i = 0; i < SlideCount; ++i) {
        sldSlide[i] = new MouseUpSlider(this, [this, i] { sldSlide_MouseUp(i); });
        sldSlide[i]->setObjectName(controlName("sldSlide", i));
        sldSlide[i]->setProperty(TagProperty, FindOption(OptionControl::Slider, i)->field);
        connect(sldSlide[i], &QSlider::valueChanged, this, [this, i] { sldSlide_Change(i); });
    }
    for (int i = 0; i < static_cast<int>(txtOptions.size()); ++i) {
        txtOptions[i] = new QLineEdit(this);
        txtOptions[i]->setObjectName(controlName("txtOptions", i));
        txtOptions[i]->setProperty(TagProperty, FindOption(OptionControl::TextBox, i)->field);
        // textChanged rather than textEdited: loading sets the texts and relies on the flag it
        // raises being lowered at the end, like every other control's.
        connect(txtOptions[i], &QLineEdit::textChanged, this, [this, i] { txtOptions_Change(i); });
    }
    for (int i = 0; i < static_cast<int>(lblOption.size()); ++i) {
        lblOption[i] = new QLabel(this);
        lblOption[i]->setObjectName(controlName("lblOption", i));
        lblOption[i]->setProperty(TagProperty, FindOption(OptionControl::Browsed, i)->field);
        lblOption[i]->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        // A long path must not widen the tab; the label shows what fits.
        lblOption[i]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    }
    for (int i = 0; i < static_cast<int>(OptPlayback.size()); ++i) {
        OptPlayback[i] = new QRadioButton(QLatin1String(PlaybackCaptions[i]), this);
        OptPlayback[i]->setObjectName(controlName("OptPlayback", i));
        // toggled also fires when code selects a button, which loading relies on.
        connect(OptPlayback[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                OptPlayback_Click(i);
        });
    }
    for (int i = 0; i < static_cast<int>(cmbOptions.size()); ++i) {
        cmbOptions[i] = new QPushButton(QLatin1String(ButtonCaptions[i]), this);
        cmbOptions[i]->setObjectName(controlName("cmbOptions", i));
        connect(cmbOptions[i], &QPushButton::clicked, this, [this, i] { cmbOptions_Click(i); });
    }
    // The browse button beside the playback file needs no more room than its three dots.
    cmbOptions[2]->setFixedWidth(cmbOptions[2]->fontMetrics().horizontalAdvance(cmbOptions[2]->text()) * 3 + 12);
    for (int i = 0; i < static_cast<int>(lblOptions.size()); ++i) {
        lblOptions[i] = new QLabel(QLatin1String(HeadingCaptions[i]), this);
        lblOptions[i]->setObjectName(controlName("lblOptions", i));
    }
    for (const int column : {0, 2, 4}) {
        QFont bold = lblOptions[column]->font();
        bold.setBold(true);
        lblOptions[column]->setFont(bold);
    }
    for (int i = 0; i < static_cast<int>(lblOptions1.size()); ++i) {
        lblOptions1[i] = new QLabel(this);
        lblOptions1[i]->setObjectName(controlName("lblOptions1", i));
    }
    lblOptions1[0]->setText(QStringLiteral("Sample Rate"));
    for (int i = 0; i < FirstValueLabel; ++i)
        lblOptions1[i]->hide();
}

void OptionsPanel::placeControls() {
    auto* sound = new QVBoxLayout;
    sound->setSpacing(RowSpacing);
    sound->addWidget(lblOptions[0]);
    sound->addWidget(lblOptions[1]);
    sound->addWidget(lblOptions1[2]);
    sound->addWidget(hscScroll[0]);
    for (const int box : {1, 2, 3, 16})
        sound->addWidget(chkBox[box]);
    sound->addWidget(lblOptions1[12]);
    sound->addWidget(sldSlide[7]);
    sound->addStretch(1);

    auto* video = new QVBoxLayout;
    video->setSpacing(RowSpacing);
    video->addWidget(lblOptions[2]);
    video->addWidget(lblOptions[3]);
    video->addWidget(lblOptions1[3]);
    video->addWidget(hscScroll[1]);
    for (int box = 4; box <= 10; ++box)
        video->addWidget(chkBox[box]);
    auto* videoSliders = new QGridLayout;
    videoSliders->setVerticalSpacing(RowSpacing);
    int row = 0;
    for (const int slide : {6, 1, 2, 3}) {
        videoSliders->addWidget(lblOptions1[5 + slide], row, 0);
        videoSliders->addWidget(sldSlide[slide], row, 1);
        ++row;
    }
    videoSliders->setColumnStretch(1, 1);
    video->addLayout(videoSliders);
    video->addStretch(1);

    auto* options = new QVBoxLayout;
    options->setSpacing(RowSpacing);
    options->addWidget(lblOptions[4]);
    options->addWidget(lblOptions[5]);
    options->addWidget(lblOptions1[4]);
    options->addWidget(hscScroll[2]);
    for (int box = 11; box <= 15; ++box)
        options->addWidget(chkBox[box]);
    for (const int slide : {0, 4, 5}) {
        options->addWidget(lblOptions1[5 + slide]);
        options->addWidget(sldSlide[slide]);
    }
    options->addStretch(1);

    auto* columns = new QHBoxLayout;
    columns->setSpacing(ColumnSpacing);
    columns->addLayout(sound, 1);
    columns->addLayout(video, 1);
    columns->addLayout(options, 1);

    // The playback choice stands beside the playback file it applies to.
    auto* rows = new QGridLayout;
    rows->setVerticalSpacing(RowSpacing);
    for (int i = 0; i < static_cast<int>(OptPlayback.size()); ++i)
        rows->addWidget(OptPlayback[i], i, 0);
    auto* playback = new QHBoxLayout;
    playback->addWidget(txtOptions[0], 1);
    playback->addWidget(cmbOptions[2]);
    rows->addLayout(playback, 1, 1);
    rows->addWidget(cmbOptions[0], 3, 0);
    rows->addWidget(lblOption[0], 3, 1);
    rows->addWidget(cmbOptions[1], 4, 0);
    rows->addWidget(lblOption[1], 4, 1);
    rows->addWidget(lblOptions[6], 5, 0);
    rows->addWidget(txtOptions[1], 5, 1);
    rows->addWidget(chkBox[0], 6, 0, 1, 2);
    rows->setColumnStretch(1, 1);

    auto* panel = new QVBoxLayout(this);
    panel->setContentsMargins(PanelMargin, PanelMargin, PanelMargin, PanelMargin);
    panel->addLayout(columns);
    panel->addSpacing(PanelMargin);
    panel->addLayout(rows);
    panel->addStretch(1);
}

void OptionsPanel::initOptionControls() {
    for (int i = 0; i < ScrollCount; ++i) {
        const OptionSpec::Look look = mame_->Look(*FindOption(OptionControl::ScrollBar, i));
        hscScroll[i]->setMaximum(look.max);
        hscScroll[i]->setMinimum(look.min);
    }
    for (int i = 0; i < SlideCount; ++i) {
        const OptionSpec::Look look = mame_->Look(*FindOption(OptionControl::Slider, i));
        sldSlide[i]->setMinimum(look.min);
        sldSlide[i]->setMaximum(look.max);
        sldSlide[i]->setPageStep(1);
    }
}

void OptionsPanel::writeScrollLabel(int index) {
    if (!mame_)
        return;
    const OptionSpec& option = *FindOption(OptionControl::ScrollBar, index);
    if (const auto text = OptionValueText(mame_->Look(option).valueText, hscScroll[index]->value()))
        lblOptions1[FirstValueLabel + index]->setText(*text);
}

void OptionsPanel::writeSlideLabel(int index) {
    if (!mame_)
        return;
    const OptionSpec& option = *FindOption(OptionControl::Slider, index);
    if (const auto text = OptionValueText(mame_->Look(option).valueText, sldSlide[index]->value()))
        lblOptions1[FirstValueLabel + ScrollCount + index]->setText(*text);
}

void OptionsPanel::SetMame(std::shared_ptr<const Mame> mame) {
    // Asked at every selection; the controls change only with the MAME.
    if (!mame || mame == mame_)
        return;
    mame_ = std::move(mame);
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
            controls = {chkBox[option.index]};
            break;
        case OptionControl::ScrollBar:
            controls = {hscScroll[option.index], lblOptions1[FirstValueLabel + option.index]};
            break;
        case OptionControl::Slider:
            controls = {sldSlide[option.index], lblOptions1[FirstValueLabel + ScrollCount + option.index]};
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

void OptionsPanel::giveFocusToGrid() {
    if (focusGrid_)
        focusGrid_();
}

void OptionsPanel::sldSlide_Change(int index) {
    optionsChanged_ = true;
    writeSlideLabel(index);
}

void OptionsPanel::sldSlide_MouseUp(int /*index*/) {
    giveFocusToGrid();
}

void OptionsPanel::hscScroll_Change(int index) {
    optionsChanged_ = true;
    writeScrollLabel(index);
    giveFocusToGrid();
}

void OptionsPanel::chkBox_MouseUp(int index) {
    optionsChanged_ = true;
    giveFocusToGrid();
    if (EqualNoCase(tagOf(chkBox[index]), Field::Default))
        Q_EMIT defaultToggledByMouse(chkBox[index]->isChecked());
}

void OptionsPanel::txtOptions_Change(int /*index*/) {
    optionsChanged_ = true;
}

void OptionsPanel::OptPlayback_Click(int index) {
    optionsChanged_ = true;
    // Without playback there is no playback file to name.
    if (index == 0)
        txtOptions[0]->clear();
    giveFocusToGrid();
}

void OptionsPanel::cmbOptions_Click(int index) {
    optionsChanged_ = true;
    switch (index) {
    case 0: {
        // Any executable: people keep MAME builds under names of their own. One in MAME's folder
        // is kept by its bare name, which the launch looks up there; any other by its full path.
        const QString mamePath = folders_ ? folders_().mame : QString();
        const QString file = dialogs_.OpenFile(this, QStringLiteral("MAME Executable|*"), mamePath);
        const qsizetype slash = file.lastIndexOf(QLatin1Char('/'));
        lblOption[0]->setText(file.left(slash + 1) == mamePath ? file.mid(slash + 1) : file);
        break;
    }
    case 1: {
        // A folder chooser, so that a folder with no file in it yet can be chosen. Cancelling
        // clears the alternate folder, the way to go back to the ROM folder alone.
        lblOption[1]->setText(dialogs_.ChooseFolder(this, QStringLiteral("Select the Alternate ROM Directory"),
                                                    folders_ ? folders_().rom : QString()));
        break;
    }
    case 2: {
        const QString file = dialogs_.OpenFile(this, QStringLiteral("Playback File|*.inp"), QString());
        const QString name = file.mid(file.lastIndexOf(QLatin1Char('/')) + 1);
        // MAME is given the recording's name without any extension; a name without one is not a
        // recording it wrote.
        const qsizetype dot = name.indexOf(QLatin1Char('.'));
        txtOptions[0]->setText(dot < 0 ? QString() : name.left(dot));
        break;
    }
    default:
        return;
    }
    giveFocusToGrid();
}

void OptionsPanel::LoadOptions(const Recordset& rs, bool shown, bool defaultBoxEnabled) {
    for (QLabel* label : lblOptions)
        label->setVisible(shown);
    for (int i = FirstValueLabel; i < static_cast<int>(lblOptions1.size()); ++i)
        lblOptions1[i]->setVisible(shown);
    for (QWidget* widget : cmbOptions)
        widget->setVisible(shown);
    for (QWidget* widget : OptPlayback)
        widget->setVisible(shown);
    for (QWidget* widget : txtOptions)
        widget->setVisible(shown);

    // A control already at 0 gets no change from being set to 0, so its handler is run for it.
    for (int i = 0; i < ScrollCount; ++i) {
        const qlonglong value = storedNumber(rs.Value(tagOf(hscScroll[i])));
        if (value != 0) {
            hscScroll[i]->setValue(clampedTo(hscScroll[i], value));
        } else {
            hscScroll_Change(i);
            hscScroll[i]->setValue(0);
        }
        hscScroll[i]->setVisible(shown);
    }
    for (int i = 0; i < SlideCount; ++i) {
        const qlonglong value = storedNumber(rs.Value(tagOf(sldSlide[i])));
        if (value != 0) {
            sldSlide[i]->setValue(clampedTo(sldSlide[i], value));
            sldSlide_MouseUp(i);
        } else {
            sldSlide_Change(i);
            sldSlide[i]->setValue(0);
        }
        sldSlide[i]->setVisible(shown);
    }
    for (QCheckBox* box : chkBox) {
        const QVariant value = rs.Value(tagOf(box));
        box->setChecked(!value.isNull() && storedNumber(value) == 1);
        box->setVisible(shown);
    }

    // Every button is cleared first, so that selecting the stored one is a change and runs its
    // handler even when it was already selected. An exclusive group refuses to be left empty.
    for (QRadioButton* button : OptPlayback) {
        button->setAutoExclusive(false);
        button->setChecked(false);
        button->setAutoExclusive(true);
    }
    const QVariant playOpt = rs.Value(Field::PlayOpt);
    const qlonglong choice = storedNumber(playOpt);
    const bool known = choice >= 0 && choice < static_cast<qlonglong>(OptPlayback.size());
    OptPlayback[known ? static_cast<size_t>(choice) : 0]->setChecked(true);

    for (QLabel* label : lblOption) {
        label->setText(storedText(rs.Value(tagOf(label))));
        label->setVisible(shown);
    }
    // After the playback choice: choosing "None" has emptied the playback text just now.
    for (QLineEdit* text : txtOptions)
        text->setText(storedText(rs.Value(tagOf(text))));

    chkBox[0]->setVisible(true);
    chkBox[0]->setEnabled(defaultBoxEnabled);
    optionsChanged_ = false;
}

void OptionsPanel::SaveOptions(Recordset& rs) {
    rs.Edit();
    for (const QCheckBox* box : chkBox)
        rs.SetValue(tagOf(box), box->isChecked() ? 1 : 0);
    for (const QScrollBar* scroll : hscScroll)
        rs.SetValue(tagOf(scroll), scroll->value());
    for (const QSlider* slide : sldSlide)
        rs.SetValue(tagOf(slide), slide->value());
    // Texts become words of MAME's command line, which a NUL would cut short.
    for (const QLineEdit* text : txtOptions)
        rs.SetValue(tagOf(text), text->text().remove(QChar(0)));
    for (const QLabel* label : lblOption)
        rs.SetValue(tagOf(label), label->text().remove(QChar(0)));
    const auto chosen = std::find_if(OptPlayback.begin(), OptPlayback.end(),
                                     [](const QRadioButton* button) { return button->isChecked(); });
    if (chosen != OptPlayback.end())
        rs.SetValue(Field::PlayOpt, static_cast<int>(chosen - OptPlayback.begin()));
    rs.Update();
    optionsChanged_ = false;
}

} // namespace zelvora
