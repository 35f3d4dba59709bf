#include "app/TForm1.h"

#include "ui/SliderThumb.h"
#include "ui/WindowColours.h"
#include "ui/WindowTexts.h"

#include <QGuiApplication>

void TForm1::SetWindowTexts() {
    QGuiApplication::setApplicationDisplayName(kWindowTitle);
    ApplyWindowTexts(*this, *this);
}

void TForm1::ApplyInitialAppearance() {
    SetPanelTextColour(SetupAlm, kOrange);
    // The manual sliders show no thumb until a fan is switched to "Manual".
    for (QSlider* slider : {FrontFanManual, RearFanManual})
        SetSliderThumbVisible(slider, false);
    for (QWidget* field : std::initializer_list<QWidget*>{
             EvaporatorEdit, Sensor1Edit, Par3HighLow, Par4HighLow, Par5HighLow, Sensor3Alm,
             Sensor4Alm, Sensor5Alm, Sensor3ShDn, Sensor4ShDn, Sensor5ShDn})
        PaintField(field, kScrollBarColour);
}
