#include "log/TClearLogForm.h"

#include "log/TReminderForm.h"
#include "protocol/UnitData.h"
#include "ui/DialogStyle.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace {

constexpr int kClientWidth = 303;
constexpr int kClientHeight = 120;

QPushButton* PlaceButton(QWidget* parent, const char* name, const QString& text, int x, int width) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(x, 86, width, 25);
    return button;
}

QLabel* PlaceLabel(QWidget* parent, const char* name, int y) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(16, y, 255, 15);
    return label;
}

} // namespace

TClearLogForm::TClearLogForm(QWidget* owner, const Clock& clock, MessageSink& messages)
    : QDialog(owner), clock(clock), messages(messages) {
    setObjectName(QStringLiteral("TClearLogForm"));
    setWindowTitle(QStringLiteral("Clear log file"));
    setStyleSheet(kDialogStyleSheet);
    setFixedSize(kClientWidth, kClientHeight);

    ClearLogGroupBox = new QGroupBox(QStringLiteral("Log Clearing"), this);
    ClearLogGroupBox->setObjectName(QStringLiteral("ClearLogGroupBox"));
    ClearLogGroupBox->setGeometry(8, 8, 287, 69);
    MessageLabel1 = PlaceLabel(ClearLogGroupBox, "MessageLabel1", 22);
    MessageLabel2 = PlaceLabel(ClearLogGroupBox, "MessageLabel2", 42);

    // One row, left to right: delete, remind later (wider, for its longer caption), keep.
    OkButton = PlaceButton(this, "OkButton", QStringLiteral("&Ok"), 8, 75);
    RemindButton = PlaceButton(this, "RemindButton", QStringLiteral("&Remind me later"), 91, 121);
    CancelButton = PlaceButton(this, "CancelButton", QStringLiteral("&Cancel"), 220, 75);
    connect(OkButton, &QPushButton::clicked, this, &TClearLogForm::OkButtonClick);
    connect(RemindButton, &QPushButton::clicked, this, &TClearLogForm::RemindButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &TClearLogForm::CancelButtonClick);
}

void TClearLogForm::SetLogSize(std::int32_t sizeKb) {
    MessageLabel1->setText(QStringLiteral("Your operation log is getting big (%1kb).").arg(sizeKb));
    MessageLabel2->setText(QStringLiteral("Do you want to clear it now?"));
    modalDialogOpen = true;
}

void TClearLogForm::OkButtonClick() {
    clearCanceled = false;
    accept();
}

void TClearLogForm::CancelButtonClick() {
    clearCanceled = true;
    reject();
}

void TClearLogForm::RemindButtonClick() {
    hide();
    {
        TReminderForm reminder(this, clock, messages);
        reminder.exec();
    }
    // Whether a date was stored or not, the log stays for now.
    clearCanceled = true;
    reject();
}

bool AskToClearOperationLog(QWidget* owner, std::int32_t sizeKb, const Clock& clock,
                            MessageSink& messages) {
    struct ClearModalFlag {
        ~ClearModalFlag() { modalDialogOpen = false; }
    } clearOnLeaving;
    TClearLogForm dialog(owner, clock, messages);
    dialog.SetLogSize(sizeKb);
    dialog.hide();
    dialog.exec();
    return !clearCanceled;
}
