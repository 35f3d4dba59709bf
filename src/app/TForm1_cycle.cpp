#include "app/TForm1.h"

#include "platform/ErrorText.h"
#include "protocol/UnitData.h"
#include "ui/WindowColours.h"

namespace {
// State codes from this value up are not a normal running state.
constexpr std::uint8_t kFirstAbnormalState = 0x50;
} // namespace

void TForm1::StatusTimerTimer() {
    if (terminating || !traceMessages)
        return;
    Guarded([this] {
        if (!traceMessages->isEmpty()) {
            MainStatusBar->showMessage(traceMessages->takeFirst());
        } else if (PanelTextColour(SystemStatPanel) == kGreen &&
                   unitData.unitState < kFirstAbnormalState) {
            MainStatusBar->showMessage(QStringLiteral("Status: ok"));
        }
    });
    MainStatusBar->repaint();
}

void TForm1::UpdateDataTimerTimer() {
    if (terminating)
        return;
    Guarded([this] {
        ComposeLine2();
        ExchangePacket(RequestFrame(Packet::Status));
    });
    CPULoadGraph->setVisible(true);
}

// Counts the hours the unit ran in this run; the close sequence hands them back to the unit.
void TForm1::HoursRunTimerTimer() {
    bool ok = false;
    const int hours = OperHours->text().toInt(&ok);
    if (!ok) {
        // No guard of its own: the failure is shown as a bare error and the count stays.
        services.messages->ShowMessage(
            QStringLiteral("'%1' is not a valid integer value").arg(OperHours->text()));
        return;
    }
    OperHours->setText(QString::number(hours + 1));
    OperHours->repaint();
}
