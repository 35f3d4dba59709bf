#include "log/TReminderForm.h"

#include "log/LogUpkeep.h"
#include "log/NextRemind.h"
#include "platform/ErrorText.h"
#include "platform/Services.h"
#include "ui/DialogStyle.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace {
constexpr int kClientWidth = 254;
constexpr int kClientHeight = 95;
} // namespace

TReminderForm::TReminderForm(QWidget* owner, const Clock& clock, MessageSink& messages)
    : QDialog(owner), clock(clock), messages(messages) {
    setObjectName(QStringLiteral("TReminderForm"));
    setWindowTitle(QStringLiteral("Reminder"));
    setStyleSheet(kDialogStyleSheet);
    setFixedSize(kClientWidth, kClientHeight);

    ReminderLabel = new QLabel(QStringLiteral("Remind me again in:"), this);
    ReminderLabel->setObjectName(QStringLiteral("ReminderLabel"));
    ReminderLabel->move(16, 12);
    ReminderLabel->adjustSize();

    ReminderComboBox = new QComboBox(this);
    ReminderComboBox->setObjectName(QStringLiteral("ReminderComboBox"));
    ReminderComboBox->setEditable(true);
    // Typing chooses no interval; it must not add an item to the list either.
    ReminderComboBox->setInsertPolicy(QComboBox::NoInsert);
    ReminderComboBox->addItems(kReminderIntervalItems);
    ReminderComboBox->setCurrentIndex(0);
    ReminderComboBox->setGeometry(16, 30, 222, 21);

    OkButton = new QPushButton(QStringLiteral("&Ok"), this);
    OkButton->setObjectName(QStringLiteral("OkButton"));
    OkButton->setGeometry(40, 62, 75, 25);
    CancelButton = new QPushButton(QStringLiteral("&Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setGeometry(139, 62, 75, 25);
    connect(OkButton, &QPushButton::clicked, this, &TReminderForm::OkButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &TReminderForm::CancelButtonClick);
}

int TReminderForm::ChosenItem() const {
    return ReminderComboBox->findText(ReminderComboBox->currentText(),
                                      Qt::MatchExactly | Qt::MatchCaseSensitive);
}

void TReminderForm::OkButtonClick() {
    const double now = DaysSince1899(clock.Now());
    try {
        WriteNextRemind(NextRemindFor(ChosenItem(), now));
    } catch (...) {
        messages.ShowMessage(ErrorMessage(std::current_exception()));
        return;
    }
    accept();
}

void TReminderForm::CancelButtonClick() {
    reject();
}
