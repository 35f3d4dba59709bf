// Heater power control on the "Misc." page. The group is hidden in the window, so the slider
// stays at full power in normal use; the rules still hold for when it is shown.
#include "app/TForm1.h"

#include "protocol/UnitData.h"
#include "ui/HeaterReduction.h"
#include "ui/TForm2.h"
#include "ui/WindowColours.h"

namespace {
const QString kHeatingReducedText = QStringLiteral("Heating Reduced");
const QString kNormalText = QStringLiteral("Normal");
} // namespace

void TForm1::HeatingSliderChange() {
    // Slider moves while the heater dialog is up are the dialog's own business.
    if (modalDialogOpen)
        return;
    Guarded([this] {
        if (HeatingSlider->value() < kLowestUntimedHeaterPosition &&
            heaterReductionTime == kNoHeaterReduction) {
            // The dialog clears the flag as it closes; this holds if it never gets that far.
            struct ClearModalFlag {
                ~ClearModalFlag() { modalDialogOpen = false; }
            } clearOnLeaving;
            TForm2 dialog(this);
            modalDialogOpen = true;
            dialog.exec();
        }

        if (heaterReductionTime > kNoHeaterReduction) {
            // A running count-down goes on undisturbed.
            if (!HeatingCountDownTimer->isActive())
                HeatingCountDownTimer->start();
            HeatingTimerPanel->setText(HeaterMinutesText(heaterReductionTime));
            HeatingTimerPanel->repaint();
            HeaterReduceLabel->setEnabled(true);
            SystemStatPanel->setText(kHeatingReducedText);
            SetPanelTextColour(SystemStatPanel, kOrange);
            SystemStatPanel->repaint();
        } else {
            SetPanelTextColour(EffectLabel, palette().color(QPalette::WindowText));
            HeatingCountDownTimer->stop();
            // No time limit was given: the reduction goes no deeper than the untimed range.
            // This runs the handler again for the new position.
            if (HeatingSlider->value() < kLowestUntimedHeaterPosition)
                HeatingSlider->setValue(kLowestUntimedHeaterPosition);
            SystemStatPanel->setText(kNormalText);
            SetPanelTextColour(SystemStatPanel, kGreen);
            SystemStatPanel->repaint();
        }

        const int position = HeatingSlider->value();
        if (position < kLowestUntimedHeaterPosition) {
            SetPanelTextColour(EffectLabel, kRed);
        } else if (position < kFullHeaterPower) {
            SetPanelTextColour(EffectLabel, kOrange);
        } else {
            SetPanelTextColour(EffectLabel, palette().color(QPalette::WindowText));
            heaterReductionTime = kNoHeaterReduction;
            HeatingCountDownTimer->stop();
            HeatingTimerPanel->setText(HeaterMinutesText(kNoHeaterReduction));
            HeatingTimerPanel->repaint();
            HeaterReduceLabel->setEnabled(false);
        }
    });
}

void TForm1::HeatingCountDownTimerTimer() {
    if (terminating)
        return;
    Guarded([this] {
        if (heaterReductionTime > kNoHeaterReduction) {
            heaterReductionTime = OneMinuteLess(heaterReductionTime);
            HeatingTimerPanel->setText(HeaterMinutesText(heaterReductionTime));
            HeatingTimerPanel->repaint();
        }
        if (!(heaterReductionTime > kNoHeaterReduction)) {
            HeatingCountDownTimer->stop();
            // The slider handler restores full power, "0 Min" and "Normal".
            HeatingSlider->setValue(kFullHeaterPower);
            heaterReductionTime = kNoHeaterReduction;
            HeaterReduceLabel->setEnabled(false);
        }
    });
}
