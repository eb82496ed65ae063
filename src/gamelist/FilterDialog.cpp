#include "gamelist/FilterDialog.h"

#include "gamelist/GameListQuery.h"
#include "store/ProgramSettings.h"
#include "store/Settings.h"

#include "platform/MouseUpControls.h"
#include "platform/WindowPlacement.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace zelvora {

namespace {

// The dialog as first drawn, and the least its columns, rows and OK take.
constexpr QSize StartingSize(270, 183);
constexpr int ColumnWidths[] = {102, 76, 76};
constexpr int ColumnGap = 4;
constexpr int RowPitch = 24;
constexpr QSize OkSize(137, 25);

} // namespace

FilterDialog::FilterDialog(Settings& settings, QWidget* mainWindow, std::function<void()> refill)
    : QDialog(mainWindow), settings_(settings), mainWindow_(mainWindow), refill_(std::move(refill)) {
    setObjectName(QStringLiteral("FilterDialog"));
    setWindowTitle(QStringLiteral("Filter"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::WindowModal);
    OpenOver(this, mainWindow);
    // Created row by row so that Tab walks each row's boxes in turn and ends on OK.
    for (int i = 0; i < FilterCount; ++i) {
        const QString suffix = QLatin1Char('_') + QString::number(i);
        captions[i] = new QLabel(FilterCaption(i), this);
        captions[i]->setObjectName(QStringLiteral("captions") + suffix);
        showOnlyBoxes[i] = new MouseUpCheckBox(QStringLiteral("Show Only"), this, [this, i] { showOnlyReleased(i); });
        showOnlyBoxes[i]->setObjectName(QStringLiteral("showOnlyBoxes") + suffix);
        excludeBoxes[i] = new MouseUpCheckBox(QStringLiteral("Exclude"), this, [this, i] { excludeReleased(i); });
        excludeBoxes[i]->setObjectName(QStringLiteral("excludeBoxes") + suffix);
    }
    okButton = new QPushButton(QStringLiteral("OK"), this);
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &FilterDialog::finish);

    PlaceControls();
    start();
}

// One row per filter, its caption and its two boxes in columns; OK centred below. A text wider
// than its column widens the column and the dialog with it.
void FilterDialog::PlaceControls() {
    auto* rows = new QGridLayout;
    rows->setVerticalSpacing(0);
    // A caption keeps half a letter's width from the box after it, at every scale.
    rows->setHorizontalSpacing(std::max(ColumnGap, fontMetrics().horizontalAdvance(QLatin1Char('M')) / 2));
    for (int i = 0; i < FilterCount; ++i) {
        rows->addWidget(captions[i], i, 0);
        rows->addWidget(showOnlyBoxes[i], i, 1);
        rows->addWidget(excludeBoxes[i], i, 2);
        rows->setRowMinimumHeight(i, RowPitch);
    }
    for (int column = 0; column < 3; ++column)
        rows->setColumnMinimumWidth(column, ColumnWidths[column]);
    okButton->setMinimumSize(OkSize);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(rows);
    layout->addStretch(1);
    layout->addWidget(okButton, 0, Qt::AlignHCenter);
    resize(StartingSize.expandedTo(sizeHint()));
}

void FilterDialog::start() {
    const FilterStates filters = ProgramSettings(settings_).Filters();
    for (int i = 0; i < FilterCount; ++i) {
        showOnlyBoxes[i]->setChecked(filters[i] == FilterState::ShowOnly);
        excludeBoxes[i]->setChecked(filters[i] == FilterState::Exclude);
    }
}

void FilterDialog::excludeReleased(int index) {
    if (excludeBoxes[index]->isChecked())
        showOnlyBoxes[index]->setChecked(false);
}

void FilterDialog::showOnlyReleased(int index) {
    if (showOnlyBoxes[index]->isChecked())
        excludeBoxes[index]->setChecked(false);
    // Neo Geo games, originals and clones are alternatives to show: a click on any of the three,
    // ticking or clearing, leaves the other two clear.
    constexpr int alternatives = 3;
    if (index < alternatives) {
        for (int other = 0; other < alternatives; ++other) {
            if (other != index)
                showOnlyBoxes[other]->setChecked(false);
        }
    }
}

void FilterDialog::finish() {
    // Both ticked is stored as 3, which filters nothing, as it always was.
    FilterStates filters{};
    for (int i = 0; i < FilterCount; ++i)
        filters[i] = static_cast<FilterState>(2 * (excludeBoxes[i]->isChecked() ? 1 : 0) +
                                              (showOnlyBoxes[i]->isChecked() ? 1 : 0));
    ProgramSettings(settings_).SaveFilters(filters);
    // Closing schedules the dialog's deletion; what follows uses only copies, so it is safe even
    // if the refill lets pending events run.
    const QPointer<QWidget> mainWindow = mainWindow_;
    const std::function<void()> refill = refill_;
    accept();
    if (mainWindow) {
        mainWindow->show();
        mainWindow->raise();
        mainWindow->activateWindow();
    }
    if (refill)
        refill();
}

} // namespace zelvora
