#include "detail/DetailTabs.h"

#include "detail/HistoryPage.h"
#include "detail/InformationPage.h"
#include "detail/OptionsPanel.h"
#include "detail/ScreenShotPage.h"
#include "detail/ScreenshotView.h"
#include "mame/Mame.h"
#include "platform/TextCompare.h"
#include "store/FieldNames.h"

#include <QLabel>
#include <QScrollArea>
#include <QStyle>
#include <QTabBar>
#include <QVBoxLayout>

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

} // namespace

DetailTabs::DetailTabs(UserDialogs& dialogs, std::function<OptionsPanel::Folders()> folders,
                       std::function<void()> focusGrid, QWidget* parent)
    : QTabWidget(parent), focusGrid_(std::move(focusGrid)) {
    setObjectName(QStringLiteral("detailTabs"));
    screenShot = new ScreenShotPage;
    screenshotView = screenShot->view;
    gameTitle = screenShot->gameTitle;
    addTab(screenShot, QStringLiteral("Screen Shot"));
    Options = new OptionsPanel(dialogs, std::move(folders), focusGrid_);
    addTab(Scrolled(Options), QStringLiteral("Options"));
    information_ = new InformationPage;
    infoPicture = information_->picture;
    addTab(information_, QStringLiteral("Information"));
    history = new HistoryPage;
    addTab(history, QStringLiteral("History"));
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

QLabel* DetailTabs::Info(const QString& field) const {
    return information_->Value(field);
}

QLabel* DetailTabs::Caption(const QString& field) const {
    return information_->Caption(field);
}

QString DetailTabs::screenshotPath(const GameRecord& game, const Selection& selection) {
    return finder_.Find(selection.pcxPath, game.Value(Field::Rom).toString(), game.Value(Field::Clone).toString(),
                        selection.assumeMerged, selection.mame->Screenshots());
}

void DetailTabs::showScreenshot(ScreenshotView* view, const GameRecord& game, const Selection& selection) {
    const QString path = screenshotPath(game, selection);
    if (path.isEmpty())
        view->Clear();
    else
        view->ShowScreenshot(path);
}

void DetailTabs::UpdateTab(const GameRecord& game, const Selection& selection) {
    switch (currentIndex()) {
    case ScreenShotTab:
        // The default record has no pictures of its own.
        screenShot->Show(selection.row == 0 ? QString() : game.Value(Field::Rom).toString(),
                         game.Value(Field::Clone).toString(), screenshotPath(game, selection));
        gameTitle->setText(selection.rowText);
        break;
    case OptionsTab: {
        const GameOptions options = game.Options();
        const bool shown = !(options.UsesDefault() && selection.row != 0);
        Options->LoadOptions(options, shown, !EqualNoCase(selection.rowText, DefaultDescription));
        break;
    }
    case InformationTab:
        // The default record has no picture, nor keeps the last game's.
        if (selection.row != 0)
            showScreenshot(infoPicture, game, selection);
        else
            infoPicture->Clear();
        // Today's MAME lists whether a game can save its state and says nothing of high scores;
        // the update keeps that word in the Hi Score field, and the row is named for what it holds.
        information_->Fill(game, {selection.listed, selection.family, selection.mame->HiScoreCaption()});
        break;
    case HistoryTab:
        history->Show(selection.row == 0 ? QString() : game.Value(Field::Rom).toString(),
                      game.Value(Field::Clone).toString(), selection.rowText);
        break;
    default:
        break;
    }
    if (focusGrid_)
        focusGrid_();
}

} // namespace zelvora
