#pragma once

#include <QDialog>

#include <cstdint>

class Clock;
class MessageSink;
class QGroupBox;
class QLabel;
class QPushButton;

// "Clear log file": offers to delete the operation log once it has grown large. Its answer
// goes to clearCanceled; "Remind me later" asks through TReminderForm when to offer it again.
class TClearLogForm : public QDialog {
    Q_OBJECT

public:
    // `clock` and `messages` are passed on to the reminder dialog.
    TClearLogForm(QWidget* owner, const Clock& clock, MessageSink& messages);

    // Puts the log's size into the message and marks a dialog of the program as open.
    void SetLogSize(std::int32_t sizeKb);

    void OkButtonClick();
    void CancelButtonClick();
    void RemindButtonClick();

    QGroupBox* ClearLogGroupBox;
    QLabel* MessageLabel1;
    QLabel* MessageLabel2;
    QPushButton* OkButton;
    QPushButton* RemindButton;
    QPushButton* CancelButton;

private:
    const Clock& clock;
    MessageSink& messages;
};

// Shows the log-size dialog for an operation log of `sizeKb` and returns when it has closed:
// true when the user chose to delete the log. modalDialogOpen is clear again afterwards, also
// when the dialog failed, so that neither this dialog nor the heater dialog is blocked for the
// rest of the run.
bool AskToClearOperationLog(QWidget* owner, std::int32_t sizeKb, const Clock& clock,
                            MessageSink& messages);
