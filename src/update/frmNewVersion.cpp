#include "update/frmNewVersion.h"

#include "launcher/MameVersion.h"
#include "launcher/ProcessRunner.h"
#include "platform/Twips.h"
#include "platform/WindowPlacement.h"
#include "store/StoreError.h"
#include "store/Variables.h"
#include "update/MachineListing.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>
#include <cmath>

namespace zelvora {

namespace {

// Pending events run at most this often: a merge of the whole MAME set has some 200,000 steps,
// and running the event loop at each would take longer than the merge.
constexpr int EventsInterval = 25; // milliseconds

// The progress bar and its text reach 5415 twips, a little past the 5400 of the lists; the
// window is as wide as its widest control, so that none is cut.
constexpr QSize ClientSize(Px(5415), Px(4710));

} // namespace

frmNewVersion::frmNewVersion(Variables& vars, ProcessRunner& runner, MainWindow main, MameVersions* versions)
    : QDialog(main.window, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), vars_(vars), runner_(runner),
      main_(std::move(main)), versions_(versions ? *versions : RunMameVersions()) {
    setObjectName(QStringLiteral("frmNewVersion"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::WindowModal);
    setWindowTitle(QStringLiteral("New Version of Mame"));

    Label1 = new QLabel(QStringLiteral("New Games"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(PxRect(0, 0, 2652, 252));
    lstNew = new QListWidget(this);
    lstNew->setObjectName(QStringLiteral("lstNew"));
    lstNew->setGeometry(PxRect(0, 240, 2652, 2985));
    Label2 = new QLabel(QStringLiteral("Expired Games"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(PxRect(2760, 0, 2652, 252));
    lstExpired = new QListWidget(this);
    lstExpired->setObjectName(QStringLiteral("lstExpired"));
    lstExpired->setGeometry(PxRect(2760, 240, 2652, 2985));
    pb = new QProgressBar(this);
    pb->setObjectName(QStringLiteral("pb"));
    pb->setTextVisible(false);
    pb->setGeometry(PxRect(0, 3480, 5415, 135));
    lblProgress = new QLabel(this);
    lblProgress->setObjectName(QStringLiteral("lblProgress"));
    lblProgress->setTextFormat(Qt::PlainText);
    lblProgress->setWordWrap(true);
    lblProgress->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblProgress->setGeometry(PxRect(0, 3720, 5415, 495));
    cmdOk = new QPushButton(QStringLiteral("OK"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setGeometry(PxRect(2040, 4320, 1332, 372));
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setGeometry(cmdOk->geometry());
    cmdCancel->setAutoDefault(false);
    cmdCancel->hide();
    setFixedSize(ClientSize);
    OpenOver(this, main_.window);

    connect(cmdOk, &QPushButton::clicked, this, [this] { cmdOk_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

void frmNewVersion::Form_Load() {
    show();
    cmdOk->hide();
    cmdCancel->show();
    running_ = true;
    sinceEvents_.start();
    QString fatal;
    CatchStoreError([this] { RunUpdate(); }, [&](const QString& text) { fatal = text; });
    running_ = false;
    cmdCancel->hide();
    if (!fatal.isEmpty()) {
        if (main_.fatal)
            main_.fatal(fatal);
        return;
    }
    // The user has seen enough: what the update came to stands in the main window's status bar.
    if (cancelled_) {
        cmdOk_Click();
        return;
    }
    cmdOk->show();
    cmdOk->setDefault(true);
}

void frmNewVersion::RunUpdate() {
    ProgressWatch watch(*this);
    const MameVersion mame = versions_.Of(MameExecutable(vars_.MamePath), runner_, &watch);
    const MergeOutcome outcome = Cancelled()                    ? UpdateCancelled()
                                 : mame.kind == MameKind::Today ? UpdateFromMachineListing(mame.number)
                                                                : UpdateFromListings();
    ShowProgress();
    // A catalogue that could not be written gained and lost nothing, whatever the merge had found.
    if (!outcome.merged) {
        lstNew->clear();
        lstExpired->clear();
    }
    // The list is refilled either way: a refused update has not changed the catalogue, but the
    // recordset the list works on must be its own again.
    QStringList words{QStringLiteral("DONE!")};
    words << outcome.remarks;
    SetText(words.join(QLatin1Char('\n')));
    FitProgressText();
    if (main_.window && main_.refill)
        main_.refill();
    if (main_.showResult)
        main_.showResult(outcome.merged
                             ? QStringLiteral("New: %1, Expired: %2").arg(lstNew->count()).arg(lstExpired->count())
                             : QStringLiteral("Catalogue not updated"));
}

MergeOutcome frmNewVersion::UpdateFromListings() {
    std::vector<ListingCapture> captures = ListingCommands(vars_.MamePath, vars_.ProgramDir);
    if (!CaptureListings(captures, runner_, *this))
        return UpdateCancelled();
    QCoreApplication::processEvents();
    activateWindow();
    return MergeListings(vars_, *this, captures);
}

// Today's MAME is read while it prints its listing, the window naming it from before it starts.
MergeOutcome frmNewVersion::UpdateFromMachineListing(const QString& version) {
    SetText(QStringLiteral("MAME ") + version);
    QCoreApplication::processEvents();
    const MachineListing listing = ReadMachineListing(vars_.MamePath, runner_, *this);
    if (listing.run.cancelled)
        return UpdateCancelled();
    ShowProgress();
    QCoreApplication::processEvents();
    activateWindow();
    return MergeMachineListing(vars_, *this, listing);
}

void frmNewVersion::FitProgressText() {
    const int needed = lblProgress->heightForWidth(lblProgress->width());
    const int extra = std::max(0, needed - lblProgress->height());
    if (extra == 0)
        return;
    lblProgress->resize(lblProgress->width(), needed);
    cmdOk->move(cmdOk->x(), cmdOk->y() + extra);
    setFixedSize(ClientSize + QSize(0, extra));
}

void frmNewVersion::cmdOk_Click() {
    accept();
}

void frmNewVersion::done(int result) {
    // The merge works on the main window's recordset until its end: the window goes once the
    // update has stopped.
    if (running_) {
        cmdCancel_Click();
        return;
    }
    // Closing deletes this window: what the main window needs is taken first.
    const MainWindow main = main_;
    QDialog::done(result);
    if (main.window) {
        main.window->activateWindow();
        if (main.focusList)
            main.focusList();
    }
}

void frmNewVersion::cmdCancel_Click() {
    cancelled_ = true;
    cmdCancel->setEnabled(false);
}

void frmNewVersion::SetText(const QString& text) {
    lblProgress->setText(text);
}

void frmNewVersion::SetRange(int minimum, int maximum) {
    pb->setRange(minimum, std::max(minimum, maximum));
}

void frmNewVersion::SetValue(int value) {
    // A progress bar repaints at once whenever its value moves a pixel; the value is shown when
    // the window next gets to paint anyway.
    value_ = value;
}

void frmNewVersion::ShowProgress() {
    pb->setValue(std::clamp(value_, pb->minimum(), pb->maximum()));
}

void frmNewVersion::LetEventsRun() {
    if (sinceEvents_.elapsed() < EventsInterval)
        return;
    ShowProgress();
    QCoreApplication::processEvents();
    sinceEvents_.restart();
}

void frmNewVersion::NewGame(const QString& description) {
    Append(lstNew, newSize_, description);
}

void frmNewVersion::ExpiredGame(const QString& description) {
    Append(lstExpired, expiredSize_, description);
}

void frmNewVersion::Append(QListWidget* list, ItemSize& size, const QString& text) {
    // A list lays out every item again after each addition, and an item without a size of its
    // own has its text laid out each time to measure it: over thousands of games that is most of
    // the update's time. The delegate's size is the text's width plus margins that are the same
    // for every item, so the first item is measured by the list and the others from their width.
    const QFontMetricsF metrics(list->font());
    const auto width = [&] { return static_cast<int>(std::ceil(metrics.horizontalAdvance(text))); };
    auto* item = new QListWidgetItem(text);
    if (size.margin < 0) {
        list->addItem(item);
        const QSize measured = list->sizeHintForIndex(list->model()->index(list->count() - 1, 0));
        size = {measured.width() - width(), measured.height()};
        item->setSizeHint(measured);
        return;
    }
    item->setSizeHint(QSize(width() + size.margin, size.height));
    list->addItem(item);
}

} // namespace zelvora
