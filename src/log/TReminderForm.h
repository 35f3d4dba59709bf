#pragma once

#include <QDialog>

class Clock;
class MessageSink;
class QComboBox;
class QLabel;
class QPushButton;

// "Reminder": asks when the log-size dialog may come back and stores that as "Next Remind".
class TReminderForm : public QDialog {
    Q_OBJECT

public:
    // `clock` gives the moment the interval counts from; `messages` shows a failed save.
    TReminderForm(QWidget* owner, const Clock& clock, MessageSink& messages);

    // Stores "Next Remind" for the chosen interval and closes. A failed save is shown and the
    // dialog stays open.
    void OkButtonClick();
    // Closes without storing anything.
    void CancelButtonClick();

    // The list item whose text the field shows; -1 when the user typed something else.
    int ChosenItem() const;

    QLabel* ReminderLabel;
    QComboBox* ReminderComboBox;
    QPushButton* OkButton;
    QPushButton* CancelButton;

private:
    const Clock& clock;
    MessageSink& messages;
};
