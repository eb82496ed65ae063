#include "checks/ProgressDialog.h"

#include "platform/WindowPlacement.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace zelvora {

ProgressDialog::ProgressDialog(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("ProgressDialog"));
    setWindowModality(Qt::WindowModal);
    OpenOver(this, owner);
    setAttribute(Qt::WA_DeleteOnClose);
    workingLabel = new QLabel(QStringLiteral("Working"), this);
    workingLabel->setObjectName(QStringLiteral("workingLabel"));
    workingLabel->setAlignment(Qt::AlignCenter);
    progressBar = new QProgressBar(this);
    progressBar->setObjectName(QStringLiteral("progressBar"));
    progressBar->setTextVisible(false);
    cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    cancelButton->setAutoDefault(false);
    cancelButton->hide();
    connect(cancelButton, &QPushButton::clicked, this, [this] { Cancel(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(workingLabel);
    layout->addWidget(progressBar);
    layout->addWidget(cancelButton, 0, Qt::AlignHCenter);
    FitSize();
}

void ProgressDialog::FitSize() {
    // Room for the longest job title in the title bar; taller when the font or the Cancel needs it.
    setFixedSize(320, std::max(90, sizeHint().height()));
}

void ProgressDialog::SetText(const QString& text) {
    setWindowTitle(text);
}

void ProgressDialog::SetRange(int minimum, int maximum) {
    progressBar->setRange(minimum, std::max(minimum, maximum));
}

void ProgressDialog::SetValue(int value) {
    progressBar->setValue(std::clamp(value, progressBar->minimum(), progressBar->maximum()));
}

void ProgressDialog::OfferCancel() {
    cancelButton->show();
    FitSize();
}

void ProgressDialog::Cancel() {
    cancelled_ = true;
    cancelButton->setEnabled(false);
}

void ProgressDialog::Finish() {
    closing_ = true;
    close();
}

// Escape and the title bar's close end here; the window stays until the job has ended.
void ProgressDialog::reject() {
    if (closing_) {
        QDialog::reject();
        return;
    }
    if (!cancelButton->isHidden())
        Cancel();
}

} // namespace zelvora
