#include "update/frmNewVersion.h"

#include "launcher/ProcessRunner.h"
#include "mame/Mame.h"
#include "mame/MameVersion.h"
#include "platform/BackgroundWork.h"
#include "platform/WindowPlacement.h"
#include "store/StoreError.h"
#include "store/Variables.h"

#include <QFontMetricsF>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace zelvora {

namespace {

// The window as first drawn; the lists take what the window gains.
constexpr QSize StartingSize(361, 314);
constexpr int ProgressHeight = 9;
constexpr int ProgressTextLines = 2;
constexpr QSize ButtonSize(89, 25);

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
    lstNew = new QListWidget(this);
    lstNew->setObjectName(QStringLiteral("lstNew"));
    Label2 = new QLabel(QStringLiteral("Expired Games"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    lstExpired = new QListWidget(this);
    lstExpired->setObjectName(QStringLiteral("lstExpired"));
    pb = new QProgressBar(this);
    pb->setObjectName(QStringLiteral("pb"));
    pb->setTextVisible(false);
    pb->setFixedHeight(ProgressHeight);
    lblProgress = new QLabel(this);
    lblProgress->setObjectName(QStringLiteral("lblProgress"));
    lblProgress->setTextFormat(Qt::PlainText);
    lblProgress->setWordWrap(true);
    lblProgress->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblProgress->setMinimumHeight(ProgressTextLines * lblProgress->fontMetrics().lineSpacing());
    cmdOk = new QPushButton(QStringLiteral("OK"), this);
    cmdOk->setObjectName(QStringLiteral("cmdOk"));
    cmdOk->setMinimumSize(ButtonSize);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setMinimumSize(ButtonSize);
    cmdCancel->setAutoDefault(false);
    cmdCancel->hide();

    auto* lists = new QGridLayout;
    lists->addWidget(Label1, 0, 0);
    lists->addWidget(Label2, 0, 1);
    lists->addWidget(lstNew, 1, 0);
    lists->addWidget(lstExpired, 1, 1);
    lists->setRowStretch(1, 1);
    // OK and Cancel share one place; only one of them shows at a time.
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOk);
    buttons->addWidget(cmdCancel);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists, 1);
    layout->addWidget(pb);
    layout->addWidget(lblProgress);
    layout->addLayout(buttons);
    resize(StartingSize.expandedTo(sizeHint()));
    OpenOver(this, main_.window);

    connect(cmdOk, &QPushButton::clicked, this, [this] { cmdOk_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
}

void frmNewVersion::Form_Load() {
    show();
    cmdOk->hide();
    cmdCancel->show();
    running_ = true;
    QString fatal;
    MergeOutcome outcome;
    CatchStoreError(
        [&] {
            RunBesideEvents(display_, [&](WorkProgress& work) {
                work_ = &work;
                outcome = RunUpdate();
            });
        },
        [&](const QString& text) { fatal = text; });
    work_ = nullptr;
    running_ = false;
    cmdCancel->hide();
    if (!fatal.isEmpty()) {
        if (main_.fatal)
            main_.fatal(fatal);
        return;
    }
    ShowOutcome(outcome);
    // The user has seen enough: what the update came to stands in the main window's status bar.
    if (cancelled_) {
        cmdOk_Click();
        return;
    }
    cmdOk->show();
    cmdOk->setDefault(true);
}

MergeOutcome frmNewVersion::RunUpdate() {
    ProgressWatch watch(*this);
    const std::shared_ptr<const Mame> mame = versions_.Of(MameExecutable(vars_.MamePath), runner_, &watch);
    return Cancelled() ? UpdateCancelled() : UpdateFrom(*mame);
}

void frmNewVersion::ShowOutcome(const MergeOutcome& outcome) {
    // A catalogue that could not be written gained and lost nothing, whatever the merge had found.
    if (!outcome.merged) {
        lstNew->clear();
        lstExpired->clear();
    }
    // The list is refilled either way: a refused update has not changed the catalogue, but the
    // recordset the list works on must be its own again.
    QStringList words{QStringLiteral("DONE!")};
    words << outcome.remarks;
    lblProgress->setText(words.join(QLatin1Char('\n')));
    FitProgressText();
    if (main_.window && main_.refill)
        main_.refill();
    if (main_.showResult)
        main_.showResult(outcome.merged
                             ? QStringLiteral("New: %1, Expired: %2").arg(lstNew->count()).arg(lstExpired->count())
                             : QStringLiteral("Catalogue not updated"));
}

MergeOutcome frmNewVersion::UpdateFrom(const Mame& mame) {
    const std::unique_ptr<CatalogueListings> listings =
        mame.ReadListings(vars_.MamePath, vars_.ProgramDir, runner_, *this);
    if (!listings)
        return UpdateCancelled();
    work_->Post([this] { activateWindow(); });
    return listings->MergeInto(vars_, *this);
}

void frmNewVersion::FitProgressText() {
    // The lists give way to the text first; the window grows by what they cannot give.
    layout()->activate();
    const int missing = lblProgress->heightForWidth(lblProgress->width()) - lblProgress->height();
    if (missing > 0)
        resize(width(), height() + missing);
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

// What the update reports, from the thread it runs on, goes to the window's thread.
void frmNewVersion::SetText(const QString& text) {
    work_->SetText(text);
}

void frmNewVersion::SetRange(int minimum, int maximum) {
    work_->SetRange(minimum, maximum);
}

void frmNewVersion::SetValue(int value) {
    work_->SetValue(value);
}

void frmNewVersion::NewGame(const QString& description) {
    work_->Post([this, description] { Append(lstNew, newSize_, description); });
}

void frmNewVersion::ExpiredGame(const QString& description) {
    work_->Post([this, description] { Append(lstExpired, expiredSize_, description); });
}

void frmNewVersion::Display::SetText(const QString& text) {
    window_.lblProgress->setText(text);
}

void frmNewVersion::Display::SetRange(int minimum, int maximum) {
    window_.pb->setRange(minimum, std::max(minimum, maximum));
}

void frmNewVersion::Display::SetValue(int value) {
    window_.pb->setValue(std::clamp(value, window_.pb->minimum(), window_.pb->maximum()));
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
