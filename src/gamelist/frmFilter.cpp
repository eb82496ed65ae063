#include "gamelist/frmFilter.h"

#include "gamelist/GameListQuery.h"
#include "store/Settings.h"

#include "platform/MouseUpControls.h"
#include "platform/Twips.h"
#include "platform/WindowPlacement.h"

#include <QCheckBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

#include <algorithm>
#include <utility>

namespace zelvora {

namespace {

// Room left between controls when a text is wider than the designed size and pushes the next
// control along.
constexpr int ColumnGap = 6;
constexpr int RowGap = 4;

template <typename Widgets> int WidestHint(const Widgets& widgets) {
    int widest = 0;
    for (const QWidget* widget : widgets)
        widest = std::max(widest, widget->sizeHint().width());
    return widest;
}

template <typename Widgets> int TallestHint(const Widgets& widgets) {
    int tallest = 0;
    for (const QWidget* widget : widgets)
        tallest = std::max(tallest, widget->sizeHint().height());
    return tallest;
}

} // namespace

frmFilter::frmFilter(Settings& settings, QWidget* mainWindow, std::function<void()> refill)
    : QDialog(mainWindow), settings_(settings), mainWindow_(mainWindow), refill_(std::move(refill)) {
    setObjectName(QStringLiteral("frmFilter"));
    setWindowTitle(QStringLiteral("Filter"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::WindowModal);
    OpenOver(this, mainWindow);
    // Created row by row so that Tab walks each row's boxes in turn and ends on OK.
    for (int i = 0; i < FilterCount; ++i) {
        const QString suffix = QLatin1Char('_') + QString::number(i);
        Label1[i] = new QLabel(FilterCaption(i), this);
        Label1[i]->setObjectName(QStringLiteral("Label1") + suffix);
        chkShow[i] = new MouseUpCheckBox(QStringLiteral("Show Only"), this, [this, i] { chkShow_MouseUp(i); });
        chkShow[i]->setObjectName(QStringLiteral("chkShow") + suffix);
        chkExclude[i] = new MouseUpCheckBox(QStringLiteral("Exclude"), this, [this, i] { chkExclude_MouseUp(i); });
        chkExclude[i]->setObjectName(QStringLiteral("chkExclude") + suffix);
    }
    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setDefault(true);
    connect(Command1, &QPushButton::clicked, this, &frmFilter::Command1_Click);

    PlaceControls();
    Form_Load();
}

// The designed twip geometry is kept whenever the font allows; a text wider than its control
// widens it, and a column pushed by the text before it moves right, so nothing is clipped or
// drawn over its neighbour. The dialog grows to hold what moved.
void frmFilter::PlaceControls() {
    struct Column {
        int left;
        int width;
        int needed;
    };
    std::array<Column, 3> columns = {{
        {Px(60), Px(1512), WidestHint(Label1)},
        {Px(1680), Px(1155), WidestHint(chkShow)},
        {Px(2820), Px(1152), WidestHint(chkExclude)},
    }};
    for (std::size_t c = 0; c < columns.size(); ++c) {
        if (c > 0)
            columns[c].left = std::max(columns[c].left, columns[c - 1].left + columns[c - 1].needed + ColumnGap);
        columns[c].width = std::max(columns[c].width, columns[c].needed);
    }

    const int rowHeight = std::max({Px(252), TallestHint(Label1), TallestHint(chkShow), TallestHint(chkExclude)});
    const int rowPitch = std::max(Px(360), rowHeight + RowGap);
    const int firstRowTop = Px(60);
    for (int i = 0; i < FilterCount; ++i) {
        const int top = firstRowTop + rowPitch * i;
        Label1[i]->setGeometry(columns[0].left, top, columns[0].width, rowHeight);
        chkShow[i]->setGeometry(columns[1].left, top, columns[1].width, rowHeight);
        chkExclude[i]->setGeometry(columns[2].left, top, columns[2].width, rowHeight);
    }

    const int margin = Px(60);
    const int clientWidth = std::max(Px(4050), columns[2].left + columns[2].width + margin);
    const QSize okHint = Command1->sizeHint();
    const int okWidth = std::max(Px(2055), okHint.width());
    const int okHeight = std::max(Px(372), okHint.height());
    const int rowsBottom = firstRowTop + rowPitch * (FilterCount - 1) + rowHeight;
    const int okTop = std::max(Px(2280), rowsBottom + 2 * RowGap);
    // OK stays where it was drawn relative to the middle of the dialog when the dialog grows.
    const int okLeft = Px(1020) + (clientWidth - Px(4050)) / 2;
    Command1->setGeometry(okLeft, okTop, okWidth, okHeight);

    setFixedSize(clientWidth, std::max(Px(2745), okTop + okHeight + margin));
}

void frmFilter::Form_Load() {
    for (int i = 0; i < FilterCount; ++i) {
        const long long filter = Settings::ToNumber(settings_.Get(StateApplication, StateSection, FilterKey(i), 0));
        chkShow[i]->setChecked(filter == 1);
        chkExclude[i]->setChecked(filter == 2);
    }
}

void frmFilter::chkExclude_MouseUp(int index) {
    if (chkExclude[index]->isChecked())
        chkShow[index]->setChecked(false);
}

void frmFilter::chkShow_MouseUp(int index) {
    if (chkShow[index]->isChecked())
        chkExclude[index]->setChecked(false);
    // Neo Geo games, originals and clones are alternatives to show: a click on any of the three,
    // ticking or clearing, leaves the other two clear.
    constexpr int alternatives = 3;
    if (index < alternatives) {
        for (int other = 0; other < alternatives; ++other) {
            if (other != index)
                chkShow[other]->setChecked(false);
        }
    }
}

void frmFilter::Command1_Click() {
    for (int i = 0; i < FilterCount; ++i) {
        const int filter = 2 * (chkExclude[i]->isChecked() ? 1 : 0) + (chkShow[i]->isChecked() ? 1 : 0);
        settings_.Save(StateApplication, StateSection, FilterKey(i), QString::number(filter));
    }
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
