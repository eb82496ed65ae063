#include "checks/frmStatus.h"

#include "platform/WindowPlacement.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace zelvora {

frmStatus::frmStatus(QWidget* owner) : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("frmStatus"));
    setWindowModality(Qt::WindowModal);
    OpenOver(this, owner);
    setAttribute(Qt::WA_DeleteOnClose);
    Label1 = new QLabel(QStringLiteral("Working"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    pbProgress = new QProgressBar(this);
    pbProgress->setObjectName(QStringLiteral("pbProgress"));
    pbProgress->setTextVisible(false);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setAutoDefault(false);
    cmdCancel->hide();
    connect(cmdCancel, &QPushButton::clicked, this, [this] { Cancel(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(pbProgress);
    layout->addWidget(cmdCancel, 0, Qt::AlignHCenter);
    FitSize();
}

void frmStatus::FitSize() {
    // Room for the longest job title in the title bar; taller when the font or the Cancel needs it.
    setFixedSize(320, std::max(90, sizeHint().height()));
}

void frmStatus::SetText(const QString& text) {
    setWindowTitle(text);
}

void frmStatus::SetRange(int minimum, int maximum) {
    pbProgress->setRange(minimum, std::max(minimum, maximum));
}

void frmStatus::SetValue(int value) {
    pbProgress->setValue(std::clamp(value, pbProgress->minimum(), pbProgress->maximum()));
}

void frmStatus::OfferCancel() {
    cmdCancel->show();
    FitSize();
}

void frmStatus::Cancel() {
    cancelled_ = true;
    cmdCancel->setEnabled(false);
}

void frmStatus::Finish() {
    closing_ = true;
    close();
}

// Escape and the title bar's close end here; the window stays until the job has ended.
void frmStatus::reject() {
    if (closing_) {
        QDialog::reject();
        return;
    }
    if (!cmdCancel->isHidden())
        Cancel();
}

} // namespace zelvora
