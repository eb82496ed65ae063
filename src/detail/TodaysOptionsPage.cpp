#include "detail/TodaysOptionsPage.h"

#include "launcher/ProcessRunner.h"
#include "mame/Mame.h"
#include "mame/TodaysOptions.h"
#include "platform/MouseUpControls.h"
#include "store/FieldNames.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QThread>
#include <QVBoxLayout>

namespace zelvora {

namespace {

// The drop-downs of each column, by their place in TodaysOptions, under their headings.
struct Column {
    const char* heading;
    int first;
    int count;
};
constexpr Column Columns[2][2] = {{{"Video", 0, 8}, {nullptr, 0, 0}}, {{"Sound", 8, 3}, {"Options", 11, 4}}};

constexpr int RowSpacing = 1;
constexpr int ColumnSpacing = 10;

// Asked beside the event loop; ended at once when the page goes.
class Stoppable : public RunWatch {
public:
    explicit Stoppable(std::shared_ptr<std::atomic_bool> stop) : stop_(std::move(stop)) {}
    bool Waiting() override { return !*stop_; }

private:
    std::shared_ptr<std::atomic_bool> stop_;
};

QLabel* heading(const char* text, QWidget* parent) {
    auto* label = new QLabel(QLatin1String(text), parent);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

} // namespace

TodaysOptionsPage::TodaysOptionsPage(std::function<QString()> mamePath, QWidget* parent)
    : QWidget(parent), mamePath_(std::move(mamePath)) {
    setObjectName(QStringLiteral("todaysOptions"));
    const std::vector<TodaysOption>& options = TodaysOptions();
    for (size_t i = 0; i < options.size(); ++i) {
        auto* box = new QComboBox(this);
        box->setObjectName(QStringLiteral("todays_%1").arg(i));
        for (const TodaysChoice& choice : options[i].choices)
            box->addItem(choice.text);
        // A drop-down picks a value and hands the keyboard back to the game list, as the scroll bars
        // of the classic page do. It is never narrower than its entries, MAME's own setting
        // included: the page scrolls rather than cut one off.
        box->setFocusPolicy(Qt::NoFocus);
        box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        connect(box, &QComboBox::activated, this, &TodaysOptionsPage::edited);
        choices.push_back(box);
    }
    ShowDefaults({});
    noRotation = new MouseUpCheckBox(QStringLiteral("No Rotation"), this, [this] { Q_EMIT edited(); });
    debugger = new MouseUpCheckBox(QStringLiteral("Enable Debugger"), this, [this] { Q_EMIT edited(); });
    noRotation->setObjectName(QStringLiteral("todaysNoRotation"));
    debugger->setObjectName(QStringLiteral("todaysDebugger"));

    auto* columns = new QHBoxLayout(this);
    columns->setContentsMargins(0, 0, 0, 0);
    columns->setSpacing(ColumnSpacing);
    for (const auto& column : Columns) {
        // Each caption above its drop-down, which then has the column's width for MAME's own
        // setting, at any scale.
        auto* rows = new QVBoxLayout;
        rows->setSpacing(RowSpacing);
        for (const Column& part : column) {
            if (!part.heading)
                continue;
            rows->addWidget(heading(part.heading, this));
            for (int i = part.first; i < part.first + part.count; ++i) {
                auto* caption = new QLabel(options[static_cast<size_t>(i)].caption, this);
                caption->setBuddy(choices[static_cast<size_t>(i)]);
                rows->addWidget(caption);
                rows->addWidget(choices[static_cast<size_t>(i)]);
            }
            // No Rotation closes the video options, the debugger the last group.
            if (part.first == 0)
                rows->addWidget(noRotation);
            else if (&part == &column[1])
                rows->addWidget(debugger);
        }
        rows->addStretch(1);
        columns->addLayout(rows, 1);
    }
}

TodaysOptionsPage::~TodaysOptionsPage() {
    endAsking();
}

void TodaysOptionsPage::SetMame(std::shared_ptr<const Mame> mame) {
    if (mame == mame_)
        return;
    mame_ = std::move(mame);
    Load(loaded_);
    ShowDefaults({});
    if (isVisible())
        askMame();
}

void TodaysOptionsPage::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    askMame();
}

void TodaysOptionsPage::askMame() {
    if (!mame_ || asked_ == mame_.get())
        return;
    endAsking();
    asked_ = mame_.get();
    stop_ = std::make_shared<std::atomic_bool>(false);
    // Its own runner: the program's may be running a game or a check on another thread meanwhile.
    asking_ = QThread::create([this, mame = mame_, path = mamePath_ ? mamePath_() : QString(), stop = stop_] {
        ShellRunner runner;
        Stoppable watch(stop);
        MameConfig config = mame->ShowConfig(path, runner, watch);
        // The page waits for this thread before it goes, so it is there to be posted to.
        QMetaObject::invokeMethod(
            this,
            [this, mame, config = std::move(config)] {
                if (mame == mame_)
                    ShowDefaults(config);
            },
            Qt::QueuedConnection);
    });
    asking_->start();
}

void TodaysOptionsPage::endAsking() {
    if (!asking_)
        return;
    *stop_ = true;
    asking_->wait();
    delete asking_;
    asking_ = nullptr;
}

void TodaysOptionsPage::ShowDefaults(const MameConfig& config) {
    const std::vector<TodaysOption>& options = TodaysOptions();
    for (size_t i = 0; i < options.size(); ++i) {
        choices[i]->setItemText(0, MamesDefaultText(options[i], config));
        // A drop-down keeps the least width it was first given, whatever its entries become.
        choices[i]->setMinimumWidth(choices[i]->sizeHint().width());
    }
}

void TodaysOptionsPage::Load(const GameOptions& options) {
    loaded_ = options;
    if (!mame_)
        return;
    const std::vector<TodaysOption>& all = TodaysOptions();
    for (size_t i = 0; i < all.size(); ++i)
        choices[i]->setCurrentIndex(ChoiceOf(all[i], options, *mame_));
    // Set as the classic page's boxes are: only 1 ticks them.
    for (QCheckBox* box : {noRotation, debugger}) {
        const QVariant value = options.Value(box == noRotation ? Field::NoRotation : Field::Debugger);
        bool ok = false;
        box->setChecked(!value.isNull() && value.toDouble(&ok) == 1 && ok);
    }
}

QVariantHash TodaysOptionsPage::Values() const {
    QVariantHash values;
    const std::vector<TodaysOption>& all = TodaysOptions();
    for (size_t i = 0; i < all.size(); ++i)
        values.insert(all[i].choices[static_cast<size_t>(std::max(choices[i]->currentIndex(), 0))].values);
    values.insert(Field::NoRotation, noRotation->isChecked() ? 1 : 0);
    values.insert(Field::Debugger, debugger->isChecked() ? 1 : 0);
    return values;
}

} // namespace zelvora
