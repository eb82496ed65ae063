#include "detail/HistoryPage.h"

#include "store/GameTexts.h"

#include <QTextBrowser>
#include <QThread>
#include <QVBoxLayout>

namespace zelvora {

namespace {

// A text as it stands in its file, its lines kept, never read as markup.
QString section(const QString& heading, const QString& body, bool fixedWidth) {
    return QStringLiteral("<h3>%1</h3><div style=\"white-space: pre-wrap;%3\">%2</div>")
        .arg(heading, body.trimmed().toHtmlEscaped(),
             fixedWidth ? QStringLiteral(" font-family: monospace;") : QString());
}

} // namespace

HistoryPage::HistoryPage(QWidget* parent) : QWidget(parent), files_(std::make_shared<GameTextFiles>()) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    text = new QTextBrowser(this);
    text->setObjectName(QStringLiteral("historyText"));
    text->setOpenLinks(false);
    text->setFrameShape(QFrame::NoFrame);
    column->addWidget(text);
}

HistoryPage::~HistoryPage() {
    if (thread_)
        thread_->wait();
}

void HistoryPage::SetFolders(const QStringList& folders) {
    folders_ = folders;
    stale_ = true;
}

void HistoryPage::Show(const QString& rom, const QString& parent, const QString& title) {
    rom_ = rom;
    parent_ = parent;
    title_ = title;
    if (stale_ && !thread_)
        refresh();
    if (thread_) {
        shown_ = false;
        text->setPlainText(QStringLiteral("Reading the history files ..."));
        return;
    }
    showTexts();
}

void HistoryPage::refresh() {
    stale_ = false;
    // The worker has the files to itself until it ends; the page waits meanwhile.
    std::shared_ptr<GameTextFiles> files = files_;
    files->SetFolders(folders_);
    thread_ = QThread::create([files] { files->Refresh(); });
    connect(thread_, &QThread::finished, this, [this] {
        thread_->deleteLater();
        thread_ = nullptr;
        if (const QString said = files_->TakeProblem(); !said.isEmpty())
            Q_EMIT problem(said);
        // The folders changed meanwhile: look again.
        if (stale_)
            refresh();
        else
            showTexts();
    });
    thread_->start();
}

void HistoryPage::showTexts() {
    shown_ = true;
    if (rom_.isEmpty()) {
        text->clear();
        return;
    }
    const GameTexts texts = files_->Texts(rom_, parent_);
    QString html = QStringLiteral("<h2>%1</h2>").arg(title_.toHtmlEscaped());
    if (!texts.history.isEmpty())
        html += section(QStringLiteral("History"), texts.history, false);
    if (!texts.info.isEmpty())
        html += section(QStringLiteral("MAME Information"), texts.info, false);
    if (!texts.commands.isEmpty())
        html += section(QStringLiteral("Moves and Commands"), texts.commands, true);
    if (texts.history.isEmpty() && texts.info.isEmpty() && texts.commands.isEmpty())
        html += QStringLiteral("<p>No history, information or moves for this game. They are read from "
                               "history.xml (or history.dat), mameinfo.dat and command.dat in the Support "
                               "Files folder or in MAME's history folders.</p>");
    text->setHtml(html);
}

} // namespace zelvora
