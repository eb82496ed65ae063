#include "detail/DetailTabs.h"

#include "detail/OptionsPanel.h"
#include "detail/ScreenshotView.h"
#include "mame/Mame.h"
#include "platform/TextCompare.h"
#include "store/FieldNames.h"

#include <QGridLayout>
#include <QLabel>
#include <QScrollArea>
#include <QStyle>
#include <QTabBar>
#include <QVBoxLayout>
#include <algorithm>

namespace zelvora {

namespace {

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

QLabel* valueLabel(const QString& field, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(QStringLiteral("info_") + field);
    label->setProperty("field", field);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Catalogue text is shown as it stands, never read as markup.
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

DetailTabs::DetailTabs(UserDialogs& dialogs, std::function<OptionsPanel::Folders()> folders,
                       std::function<void()> focusGrid, QWidget* parent)
    : QTabWidget(parent), focusGrid_(std::move(focusGrid)) {
    setObjectName(QStringLiteral("detailTabs"));
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
    screenshotView = new ScreenshotView(QSize(420, 300), QSize(140, 100), page);
    screenshotView->setObjectName(QStringLiteral("screenshotView"));
    gameTitle = new QLabel(page);
    gameTitle->setObjectName(QStringLiteral("gameTitle"));
    gameTitle->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    gameTitle->setWordWrap(true);
    gameTitle->setTextFormat(Qt::PlainText);
    QFont font = gameTitle->font();
    font.setBold(true);
    gameTitle->setFont(font);
    column->addWidget(screenshotView, 1);
    column->addWidget(gameTitle);
    return page;
}

QWidget* DetailTabs::makeInformationTab() {
    auto* page = new QWidget;
    information_ = page;
    auto* outer = new QVBoxLayout(page);
    auto* columns = new QHBoxLayout;
    auto* side = new QVBoxLayout;
    auto* machine = new QGridLayout;
    auto* status = new QGridLayout;
    infoPicture = new ScreenshotView(QSize(110, 80), QSize(110, 80), page);
    infoPicture->KeepProportions(true);
    infoPicture->setObjectName(QStringLiteral("infoPicture"));

    // Beside the picture the maker above it and the year below; each column a caption and a value
    // per field; the notes below all three.
    std::vector<const CatalogueField*> shown;
    for (const CatalogueField& field : CatalogueFields()) {
        if (field.info.area != InfoArea::None)
            shown.push_back(&field);
    }
    std::stable_sort(shown.begin(), shown.end(),
                     [](const CatalogueField* a, const CatalogueField* b) { return a->info.place < b->info.place; });
    side->addWidget(infoPicture);
    QLabel* notes = nullptr;
    for (const CatalogueField* field : shown) {
        QLabel* value = valueLabel(field->name, page);
        info_.push_back(value);
        switch (field->info.area) {
        case InfoArea::Side:
            value->setWordWrap(true);
            side->insertWidget(std::min(field->info.place, side->count()), value);
            break;
        case InfoArea::Machine:
        case InfoArea::Status: {
            QGridLayout* grid = field->info.area == InfoArea::Machine ? machine : status;
            auto* caption = new QLabel(QLatin1String(field->caption), page);
            caption->setObjectName(QStringLiteral("caption_") + field->name);
            captions_.insert(field->name, caption);
            const int row = grid->rowCount();
            grid->addWidget(caption, row, 0);
            grid->addWidget(value, row, 1);
            break;
        }
        default:
            notes = value;
            break;
        }
    }
    side->addStretch(1);
    for (QGridLayout* grid : {machine, status}) {
        grid->setColumnStretch(1, 1);
        grid->setRowStretch(grid->rowCount(), 1);
    }

    // Set names of up to 15 characters and chip names such as "Motorola MC68000" show whole.
    const QFontMetrics metrics = page->fontMetrics();
    Info(Field::Rom)->setMinimumWidth(metrics.horizontalAdvance(QString(15, QLatin1Char('m'))));
    for (const QString* chip :
         {&Field::Cpu1, &Field::Cpu2, &Field::Cpu3, &Field::Sound1, &Field::Sound2, &Field::Sound3})
        Info(*chip)->setMinimumWidth(metrics.horizontalAdvance(QStringLiteral("Motorola MC68000")));

    columns->addLayout(side, 2);
    columns->addSpacing(8);
    columns->addLayout(machine, 3);
    columns->addSpacing(8);
    columns->addLayout(status, 2);
    outer->addLayout(columns);

    notes->setWordWrap(true);
    notes->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    auto* scroll = new QScrollArea(page);
    scroll->setObjectName(QStringLiteral("NotesArea"));
    scroll->setWidgetResizable(true);
    scroll->setWidget(notes);
    outer->addWidget(scroll, 1);
    return page;
}

QLabel* DetailTabs::Info(const QString& field) const {
    for (QLabel* label : info_) {
        if (label->property("field").toString() == field)
            return label;
    }
    return nullptr;
}

QLabel* DetailTabs::Caption(const QString& field) const {
    return captions_.value(field);
}

void DetailTabs::showScreenshot(ScreenshotView* view, const GameRecord& game, const Selection& selection) {
    const QString path =
        finder_.Find(selection.pcxPath, game.Value(Field::Rom).toString(), game.Value(Field::Clone).toString(),
                     selection.assumeMerged, selection.mame->Screenshots());
    if (path.isEmpty())
        view->Clear();
    else
        view->ShowScreenshot(path);
}

void DetailTabs::UpdateTab(const GameRecord& game, const Selection& selection) {
    switch (currentIndex()) {
    case ScreenShotTab:
        showScreenshot(screenshotView, game, selection);
        gameTitle->setText(selection.rowText);
        break;
    case OptionsTab: {
        const GameOptions options = game.Options();
        const bool shown = !(options.UsesDefault() && selection.row != 0);
        Options->LoadOptions(options, shown, !EqualNoCase(selection.rowText, DefaultDescription));
        break;
    }
    case InformationTab:
        // Today's MAME lists whether a game can save its state and says nothing of high scores;
        // the update keeps that word in the Hi Score field, and the row is named for what it holds.
        Caption(Field::HiScore)->setText(selection.mame->HiScoreCaption());
        if (selection.row != 0)
            showScreenshot(infoPicture, game, selection);
        for (QLabel* label : info_) {
            QString text = game.Value(label->property("field").toString()).toString();
            // Notes keep MAME's carriage returns between lines.
            text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
            label->setText(text);
        }
        if (QLabel* sound = Info(Field::Sound); sound->text().endsWith(QLatin1String("(1)")))
            sound->setText(sound->text().chopped(3) + QStringLiteral(" Samples"));
        break;
    default:
        break;
    }
    if (focusGrid_)
        focusGrid_();
}

} // namespace zelvora
