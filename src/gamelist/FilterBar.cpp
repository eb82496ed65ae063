#include "gamelist/FilterBar.h"

#include <QComboBox>
#include <QGridLayout>
#include <QSignalBlocker>
#include <QToolButton>

namespace zelvora {

namespace {

QComboBox* choiceBox(QWidget* parent, const QString& name, const QString& tip) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setToolTip(tip);
    // As wide as its longest choice where there is room; narrower, its text cut, where there is not.
    box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    box->setMinimumWidth(box->fontMetrics().averageCharWidth() * 6);
    return box;
}

QToolButton* toggle(QWidget* parent, const QString& name, const QString& text, const QString& tip) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(text);
    button->setToolTip(tip);
    button->setCheckable(true);
    button->setAutoRaise(true);
    return button;
}

// Selects the entry whose data is `value`, adding it when the box lacks it (a kept filter on a
// category no game has now).
void selectData(QComboBox* box, const QVariant& value, const QString& text) {
    int at = box->findData(value);
    if (at < 0) {
        box->addItem(text, value);
        at = box->count() - 1;
    }
    box->setCurrentIndex(at);
}

} // namespace

FilterBar::FilterBar(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("filterBar"));
    typeBox = choiceBox(this, QStringLiteral("typeFilter"), QStringLiteral("Lists the games of one type only"));
    typeBox->addItem(QStringLiteral("Type"), static_cast<int>(MachineType::Unknown));
    for (const MachineType type : {MachineType::Arcade, MachineType::Mechanical, MachineType::ComputerOrConsole})
        typeBox->addItem(type == MachineType::ComputerOrConsole ? QStringLiteral("Computers and consoles")
                                                                : TypeText(type),
                         static_cast<int>(type));
    statusBox = choiceBox(this, QStringLiteral("statusFilter"),
                          QStringLiteral("Lists only the games MAME runs this well, by its driver's status"));
    statusBox->addItem(QStringLiteral("Status"), static_cast<int>(GameStatus::Unknown));
    for (const GameStatus status : {GameStatus::Working, GameStatus::Imperfect, GameStatus::NotWorking}) {
        QString text = StatusText(status);
        text[0] = text[0].toUpper();
        statusBox->addItem(text, static_cast<int>(status));
    }
    availableButton = toggle(this, QStringLiteral("availableFilter"), QStringLiteral("Available"),
                             QStringLiteral("Lists only the games whose ROM set is in the ROM folder, and those "
                                            "that need no files"));
    favouritesButton = toggle(this, QStringLiteral("favouritesFilter"), QStringLiteral("\u2605 Favourites"),
                              QStringLiteral("Lists only your favourites (Ctrl+D marks one)"));
    categoryBox = choiceBox(this, QStringLiteral("categoryFilter"),
                            QStringLiteral("Lists the games of one category, as catver.ini tells them"));
    playersBox = choiceBox(this, QStringLiteral("playersFilter"),
                           QStringLiteral("Lists the games for this many players at once"));

    grid_ = new QGridLayout(this);
    grid_->setContentsMargins(0, 0, 0, 0);
    SetChoices({}, {}, false);
    for (QComboBox* box : {typeBox, statusBox, categoryBox, playersBox})
        connect(box, &QComboBox::currentIndexChanged, this, &FilterBar::changed);
    for (QToolButton* button : {availableButton, favouritesButton})
        connect(button, &QToolButton::toggled, this, &FilterBar::changed);
}

ListFilters FilterBar::Filters() const {
    ListFilters filters;
    filters.type = static_cast<MachineType>(typeBox->currentData().toInt());
    filters.status = static_cast<GameStatus>(statusBox->currentData().toInt());
    filters.availableOnly = availableButton->isChecked();
    filters.favouritesOnly = favouritesButton->isChecked();
    filters.category = categoryBox->currentData().toString();
    filters.players = playersBox->currentData().toInt();
    return filters;
}

void FilterBar::SetFilters(const ListFilters& filters) {
    const QSignalBlocker a(typeBox), b(statusBox), c(availableButton), d(favouritesButton), e(categoryBox),
        f(playersBox);
    typeBox->setCurrentIndex(std::max(typeBox->findData(static_cast<int>(filters.type)), 0));
    statusBox->setCurrentIndex(std::max(statusBox->findData(static_cast<int>(filters.status)), 0));
    availableButton->setChecked(filters.availableOnly);
    favouritesButton->setChecked(filters.favouritesOnly);
    selectData(categoryBox, filters.category, filters.category);
    selectData(playersBox, filters.players, QString::number(filters.players));
    // The classic MAME's listings tell no type: the filter shows once a game has one, or is set.
    typeBox->setVisible(hasTypes_ || filters.type != MachineType::Unknown);
    categoryBox->setVisible(categoryBox->count() > 1);
    playersBox->setVisible(playersBox->count() > 1);
    // Rows of three, so that each choice can be read in a list pane of half the window; the
    // choices offered close up.
    const std::vector<QWidget*> boxes = {typeBox, statusBox, categoryBox, playersBox};
    std::vector<QWidget*> shown;
    for (QWidget* box : boxes) {
        if (!box->isHidden())
            shown.push_back(box);
    }
    const int perRow = std::min(static_cast<int>(shown.size()), 2);
    for (int column = 0; column < 4; ++column)
        grid_->setColumnStretch(column, column < perRow ? 1 : 0);
    for (QWidget* filter : std::initializer_list<QWidget*>{typeBox, statusBox, categoryBox, playersBox, availableButton,
                                                           favouritesButton})
        grid_->removeWidget(filter);
    for (size_t i = 0; i < shown.size(); ++i)
        grid_->addWidget(shown[i], static_cast<int>(i) / 2, static_cast<int>(i) % 2);
    if (perRow == 2 && shown.size() > 2) {
        grid_->addWidget(availableButton, 0, 2);
        grid_->addWidget(favouritesButton, 1, 2);
    } else {
        grid_->addWidget(availableButton, 0, perRow);
        grid_->addWidget(favouritesButton, 0, perRow + 1);
    }
}

void FilterBar::SetChoices(const QStringList& categories, const QList<int>& players, bool types) {
    hasTypes_ = types;
    const ListFilters kept = Filters();
    {
        const QSignalBlocker a(categoryBox), b(playersBox);
        categoryBox->clear();
        categoryBox->addItem(QStringLiteral("Category"), QString());
        // Each genre, then its categories indented beneath it; of a file with more categories than
        // a list can offer, the genres only (the find field's cat: still finds the others).
        const bool all = categories.size() <= MaxCategoryChoices;
        QString genre;
        for (const QString& category : categories) {
            const QString head = category.section(QStringLiteral(" / "), 0, 0);
            if (head != genre && categoryBox->count() <= MaxCategoryChoices) {
                genre = head;
                categoryBox->addItem(genre, genre);
            }
            if (all && category != head)
                categoryBox->addItem(QStringLiteral("    ") + category.mid(head.size() + 3), category);
        }
        playersBox->clear();
        playersBox->addItem(QStringLiteral("Players"), 0);
        for (const int count : players)
            playersBox->addItem(count == 1 ? QStringLiteral("1 player") : QStringLiteral("%1 players").arg(count),
                                count);
    }
    SetFilters(kept);
}

} // namespace zelvora
