#include "shell/MainStatusBar.h"

#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>

namespace zelvora {

namespace {

// How long the typed text stays after the last key: a little over the second in which the next
// key still extends the search.
constexpr int TypedTextMilliseconds = 1500;

// A label that gives up its room before the window would have to grow: a text too long for it
// ends in an ellipsis, and its tooltip holds the whole of it.
class ElidedLabel : public QLabel {
public:
    explicit ElidedLabel(const QString& name, QWidget* parent) : QLabel(parent) {
        setObjectName(name);
        setTextFormat(Qt::PlainText);
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    }
    void SetText(const QString& text) {
        setText(text);
        setToolTip(text);
    }
    QSize minimumSizeHint() const override {
        return QSize(fontMetrics().horizontalAdvance(QStringLiteral("Www\u2026")), QLabel::minimumSizeHint().height());
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QRect area = contentsRect();
        painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         fontMetrics().elidedText(text(), Qt::ElideRight, area.width()));
    }
};

} // namespace

MainStatusBar::MainStatusBar(QWidget* parent) : QStatusBar(parent) {
    setObjectName(QStringLiteral("StatusBar"));
    auto* result = new ElidedLabel(QStringLiteral("resultLabel"), this);
    auto* filters = new ElidedLabel(QStringLiteral("filtersLabel"), this);
    result_ = result;
    filters_ = filters;
    counts_ = new QLabel(this);
    counts_->setObjectName(QStringLiteral("countsLabel"));
    jobBar = new QProgressBar(this);
    jobBar->setObjectName(QStringLiteral("jobBar"));
    // Wide enough to read its percentage, narrow beside the result's text.
    jobBar->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000000000000000")));
    jobCancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    jobCancelButton->setObjectName(QStringLiteral("jobCancelButton"));
    connect(jobCancelButton, &QPushButton::clicked, this, [this] { CancelJob(); });
    addWidget(result_, 1);
    // Permanent, so that the typed text shown over the result leaves them in sight.
    addPermanentWidget(jobBar);
    addPermanentWidget(jobCancelButton);
    jobBar->hide();
    jobCancelButton->hide();
    addPermanentWidget(filters_);
    addPermanentWidget(counts_);
}

void MainStatusBar::SetCounts(int listed, int total) {
    counts_->setText(QStringLiteral("%1 of %2 games").arg(listed).arg(total));
}

void MainStatusBar::SetFilters(const QString& text) {
    static_cast<ElidedLabel*>(filters_)->SetText(text);
}

void MainStatusBar::SetResult(const QString& text) {
    static_cast<ElidedLabel*>(result_)->SetText(text);
}

void MainStatusBar::ShowTyped(const QString& text) {
    showMessage(text, TypedTextMilliseconds);
}

void MainStatusBar::ClearTyped() {
    clearMessage();
}

void MainStatusBar::BeginJob() {
    job_.cancelled = false;
    jobBar->setRange(0, 0);
    jobBar->show();
    jobCancelButton->setEnabled(true);
}

void MainStatusBar::EndJob() {
    jobBar->hide();
    jobCancelButton->hide();
}

void MainStatusBar::CancelJob() {
    job_.cancelled = true;
    jobCancelButton->setEnabled(false);
}

void MainStatusBar::JobProgress::SetText(const QString& text) {
    bar_.SetResult(text);
}

void MainStatusBar::JobProgress::SetRange(int minimum, int maximum) {
    bar_.jobBar->setRange(minimum, maximum);
}

void MainStatusBar::JobProgress::SetValue(int value) {
    bar_.jobBar->setValue(value);
}

void MainStatusBar::JobProgress::OfferCancel() {
    bar_.jobCancelButton->show();
}

QString MainStatusBar::Counts() const {
    return counts_->text();
}

QString MainStatusBar::Filters() const {
    return filters_->text();
}

QString MainStatusBar::Result() const {
    return result_->text();
}

} // namespace zelvora
