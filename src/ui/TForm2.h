#pragma once

#include <QDialog>

class QGroupBox;
class QLabel;
class QPushButton;
class QTimeEdit;

// "Heating Reducement": warns about lowering the heater power and asks for how many minutes
// (00 to 59) the reduction may last. The answer goes to heaterReductionTime; every way of
// closing the dialog clears modalDialogOpen.
class TForm2 : public QDialog {
    Q_OBJECT

public:
    explicit TForm2(QWidget* owner);

    // The reduction time chosen in the picker: the reference date-time plus its minutes.
    double PickedReductionTime() const;

    void OkButtonClick();
    void CancelButtonClick();

    QGroupBox* HeaterWarningGroupBox;
    QLabel* MessageLabel1;
    QLabel* MessageLabel2;
    QLabel* MessageLabel3;
    QLabel* TimerLabel;
    QTimeEdit* HeatingTimer;
    QLabel* MinLabel;
    QPushButton* OkButton;
    QPushButton* CancelButton;

protected:
    // Reached by the buttons, the close box and Escape alike.
    void done(int result) override;

private:
    void FormClose();
};
