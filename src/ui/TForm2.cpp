#include "ui/TForm2.h"

#include "protocol/UnitData.h"
#include "ui/DialogStyle.h"
#include "ui/HeaterReduction.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTimeEdit>

namespace {

constexpr int kClientWidth = 370;
constexpr int kClientHeight = 190;

template <typename Widget> Widget* Place(Widget* widget, const char* name, int x, int y) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->move(x, y);
    return widget;
}

QLabel* PlaceLabel(QWidget* parent, const char* name, int x, int y, const QString& text) {
    auto* label = Place(new QLabel(text, parent), name, x, y);
    label->adjustSize();
    return label;
}

QPushButton* PlaceButton(QWidget* parent, const char* name, int x, int y, const QString& text) {
    auto* button = Place(new QPushButton(text, parent), name, x, y);
    button->resize(75, 25);
    return button;
}

} // namespace

TForm2::TForm2(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(QStringLiteral("Heating Reducement"));
    setStyleSheet(kDialogStyleSheet);
    setFixedSize(kClientWidth, kClientHeight);

    HeaterWarningGroupBox =
        Place(new QGroupBox(QStringLiteral("Warning"), this), "HeaterWarningGroupBox", 8, 8);
    HeaterWarningGroupBox->resize(354, 81);
    MessageLabel1 = PlaceLabel(HeaterWarningGroupBox, "MessageLabel1", 12, 20,
                               QStringLiteral("Decreasing heating affect below 75% may cause"));
    MessageLabel2 =
        PlaceLabel(HeaterWarningGroupBox, "MessageLabel2", 12, 38,
                   QStringLiteral("damage to your  system, so do only use this if you"));
    MessageLabel3 =
        PlaceLabel(HeaterWarningGroupBox, "MessageLabel3", 12, 56,
                   QStringLiteral("known what you are doing and only for a limited time."));
    TimerLabel = PlaceLabel(this, "TimerLabel", 16, 100,
                            QStringLiteral("Select for how long heating should be reduced."));

    // A time picker that shows and edits the minutes alone, 00 to 59.
    HeatingTimer = Place(new QTimeEdit(this), "HeatingTimer", 16, 122);
    HeatingTimer->setDisplayFormat(QStringLiteral("mm"));
    HeatingTimer->setTimeRange(QTime(0, 0), QTime(0, kMaxHeaterReductionMinutes));
    HeatingTimer->setTime(QTime(0, 0));
    HeatingTimer->resize(49, 22);
    MinLabel = PlaceLabel(this, "MinLabel", 72, 126, QStringLiteral("Min."));

    OkButton = PlaceButton(this, "OkButton", 192, 156, QStringLiteral("&Ok"));
    CancelButton = PlaceButton(this, "CancelButton", 280, 156, QStringLiteral("&Cancel"));
    connect(OkButton, &QPushButton::clicked, this, &TForm2::OkButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &TForm2::CancelButtonClick);
}

double TForm2::PickedReductionTime() const {
    return HeaterReductionOf(HeatingTimer->time().minute());
}

void TForm2::OkButtonClick() {
    heaterReductionTime = PickedReductionTime();
    accept();
}

void TForm2::CancelButtonClick() {
    heaterReductionTime = kNoHeaterReduction;
    reject();
}

void TForm2::done(int result) {
    FormClose();
    QDialog::done(result);
}

void TForm2::FormClose() {
    modalDialogOpen = false;
}
