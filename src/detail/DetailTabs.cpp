#include "detail/DetailTabs.h"

#include "detail/OptionsPanel.h"
#include "detail/ScreenshotView.h"
#include "mame/Mame.h"
#include "platform/TextCompare.h"
#include "store/FieldNames.h"
#include "store/FieldTable.h"
#include "store/Recordset.h"

#include <QGridLayout>
#include <QLabel>
#include <QScrollArea>
#include <QStyle>
#include <QTabBar>
#include <QVBoxLayout>

namespace zelvora {

namespace {

// Each information label shows the field named by its tag.
const QString* const InfoTags[17] = {
    &Field::Date,     &Field::Driver, &Field::Cpu1,         &Field::Cpu2,  &Field::Cpu3,   &Field::Sound1,
    &Field::Sound2,   &Field::Sound3, &Field::Playable,     &Field::Sound, &Field::Colors, &Field::HiScore,
    &Field::Cocktail, &Field::Clone,  &Field::Manufacturer, &Field::Rom,   &Field::Notes};

// A page that scrolls rather than cuts its controls off when the window is small or the screen
// is scaled up; it looks like the tab it stands on.
QScrollArea* Scrolled(QWidget* page) {
    auto* scroll = new QScrollArea;
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(page);
    // After setWidget, which fills the page's background with the window's colour.
    scroll->viewport()->setAutoFillBackground(false);
    page->setAutoFillBackground(false);
    return scroll;
}

QLabel* tagged(QLabel* label, int index, const QString& tag) {
    label->setObjectName(QStringLiteral("lblInfo_%1").arg(index));
    label->setProperty("tag", tag);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Catalogue text is shown as it stands, never read as markup.
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

DetailTabs::DetailTabs(UserDialogs& dialogs, std::function<OptionsPanel::Folders()> folders,
                       std::function<void()> focusGrid, QWidget* parent)
    : QTabWidget(parent), focusGrid_(std::move(focusGrid)) {
    setObjectName(QStringLiteral("sstDisplay"));
    for (int i = 0; i < 17; ++i)
        lblInfo[i] = tagged(new QLabel(this), i, *InfoTags[i]);
    addTab(makeScreenShotTab(), QStringLiteral("Screen Shot"));
    Options = new OptionsPanel(dialogs, std::move(folders), focusGrid_);
    addTab(Scrolled(Options), QStringLiteral("Options"));
    addTab(Scrolled(makeInformationTab()), QStringLiteral("Information"));
}

QSize DetailTabs::sizeHint() const {
    // Room for every page as it was drawn, whichever is in front, so that the list beside the tabs
    // does not jump when the option controls are hidden or shown.
    QSize hint = QTabWidget::sizeHint();
    for (const QWidget* page : {static_cast<const QWidget*>(Options), static_cast<const QWidget*>(information_)})
        hint = hint.expandedTo(page->sizeHint() + QSize(Frame(), Frame() + tabBar()->sizeHint().height()));
    return hint;
}

QSize DetailTabs::minimumSizeHint() const {
    // Every tab's caption shows: the pages scroll, the tab bar does not.
    return QTabWidget::minimumSizeHint().expandedTo(QSize(tabBar()->sizeHint().width() + Frame(), 0));
}

int DetailTabs::Frame() const {
    return 2 * style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 8;
}

QWidget* DetailTabs::makeScreenShotTab() {
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    Picture1 = new ScreenshotView(QSize(420, 300), QSize(140, 100), page);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    lblGame = new QLabel(page);
    lblGame->setObjectName(QStringLiteral("lblGame"));
    lblGame->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lblGame->setWordWrap(true);
    lblGame->setTextFormat(Qt::PlainText);
    QFont font = lblGame->font();
    font.setBold(true);
    lblGame->setFont(font);
    column->addWidget(Picture1, 1);
    column->addWidget(lblGame);
    return page;
}

QWidget* DetailTabs::makeInformationTab() {
    auto* page = new QWidget;
    information_ = page;
    auto* outer = new QVBoxLayout(page);
    auto* columns = new QHBoxLayout;

    auto* left = new QVBoxLayout;
    Picture3 = new ScreenshotView(QSize(110, 80), QSize(110, 80), page);
    Picture3->KeepProportions(true);
    Picture3->setObjectName(QStringLiteral("Picture3"));
    lblInfo[14]->setWordWrap(true);
    left->addWidget(lblInfo[14]);
    left->addWidget(Picture3);
    left->addWidget(lblInfo[0]);
    left->addStretch(1);

    auto addRows = [this, page](QGridLayout* grid, std::initializer_list<std::pair<int, int>> rows,
                                std::initializer_list<const char*> captions) {
        int r = 0;
        auto caption = captions.begin();
        for (const auto& [labelIndex, infoIndex] : rows) {
            Label1[labelIndex] = new QLabel(QLatin1String(*caption++), page);
            Label1[labelIndex]->setObjectName(QStringLiteral("Label1_%1").arg(labelIndex));
            grid->addWidget(Label1[labelIndex], r, 0);
            grid->addWidget(lblInfo[infoIndex], r, 1);
            ++r;
        }
        grid->setColumnStretch(1, 1);
        grid->setRowStretch(r, 1);
    };
    auto* middle = new QGridLayout;
    addRows(middle, {{0, 15}, {3, 2}, {4, 3}, {5, 4}, {6, 5}, {7, 6}, {8, 7}, {9, 1}},
            {"ROM File", "CPU 1", "CPU 2", "CPU 3", "Sound 1", "Sound 2", "Sound 3", "Driver"});
    auto* right = new QGridLayout;
    addRows(right, {{10, 8}, {14, 9}, {13, 10}, {12, 11}, {11, 12}, {15, 13}},
            {"Playable-", "Sound-", "Colors-", "Hi Score-", "Cocktail-", "Clone of-"});

    // Set names of up to 15 characters and chip names such as "Motorola MC68000" show whole.
    const QFontMetrics metrics = lblInfo[15]->fontMetrics();
    lblInfo[15]->setMinimumWidth(metrics.horizontalAdvance(QString(15, QLatin1Char('m'))));
    for (const int chip : {2, 3, 4, 5, 6, 7})
        lblInfo[chip]->setMinimumWidth(metrics.horizontalAdvance(QStringLiteral("Motorola MC68000")));

    columns->addLayout(left, 2);
    columns->addSpacing(8);
    columns->addLayout(middle, 3);
    columns->addSpacing(8);
    columns->addLayout(right, 2);
    outer->addLayout(columns);

    QLabel* notes = lblInfo[16];
    notes->setWordWrap(true);
    notes->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* scroll = new QScrollArea(page);
    scroll->setObjectName(QStringLiteral("NotesArea"));
    scroll->setWidgetResizable(true);
    scroll->setWidget(notes);
    outer->addWidget(scroll, 1);
    return page;
}

void DetailTabs::showScreenshot(ScreenshotView* view, const Recordset& rs, const Selection& selection) {
    const QString path =
        finder_.Find(selection.pcxPath, rs.Value(Field::Rom).toString(), rs.Value(Field::Clone).toString(),
                     selection.assumeMerged, selection.mame->Screenshots());
    if (path.isEmpty())
        view->Clear();
    else
        view->ShowScreenshot(path);
}

void DetailTabs::UpdateTab(const Recordset& rs, const Selection& selection) {
    switch (currentIndex()) {
    case ScreenShotTab:
        showScreenshot(Picture1, rs, selection);
        lblGame->setText(selection.rowText);
        break;
    case OptionsTab: {
        const QVariant useDefault = rs.Value(Field::Default);
        const bool onDefaultSet = !useDefault.isNull() && useDefault.toLongLong() == 1;
        const bool shown = !(onDefaultSet && selection.row != 0);
        Options->LoadOptions(rs, shown, !EqualNoCase(selection.rowText, DefaultDescription));
        break;
    }
    case InformationTab:
        // Today's MAME lists whether a game can save its state and says nothing of high scores;
        // the update keeps that word in the Hi Score field, and the row is named for what it holds.
        Label1[12]->setText(selection.mame->HiScoreCaption());
        if (selection.row != 0)
            showScreenshot(Picture3, rs, selection);
        for (QLabel* label : lblInfo) {
            QString text = rs.Value(label->property("tag").toString()).toString();
            // Notes keep MAME's carriage returns between lines.
            text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
            label->setText(text);
        }
        if (lblInfo[9]->text().endsWith(QLatin1String("(1)")))
            lblInfo[9]->setText(lblInfo[9]->text().chopped(3) + QStringLiteral(" Samples"));
        break;
    default:
        break;
    }
    if (focusGrid_)
        focusGrid_();
}

void DetailTabs::SaveGameOptions(Recordset& rs) {
    Options->SaveOptions(rs);
}

} // namespace zelvora
