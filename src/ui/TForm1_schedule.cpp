// The auto-start schedule on the "RTC" page: one row per working day, switched on and off by
// its check box. The page is hidden in the window and nothing reads the schedule.
#include "app/TForm1.h"

#include "ui/WindowColours.h"

#include <array>

namespace {
constexpr int kMonday = 0;
constexpr int kTuesday = 1;
constexpr int kWednesday = 2;
constexpr int kThursday = 3;
constexpr int kFriday = 4;
} // namespace

void TForm1::ConnectHeaterAndScheduleHandlers() {
    connect(HeatingSlider, &QSlider::valueChanged, this, &TForm1::HeatingSliderChange);
    connect(MondayCheckBox, &QCheckBox::toggled, this, &TForm1::MondayCheckBoxClick);
    connect(TuesdayCheckBox, &QCheckBox::toggled, this, &TForm1::TuesdayCheckBoxClick);
    connect(WednesdayCheckBox, &QCheckBox::toggled, this, &TForm1::WednesdayCheckBoxClick);
    connect(ThursdayCheckBox, &QCheckBox::toggled, this, &TForm1::ThursdayCheckBoxClick);
    connect(FridayCheckBox, &QCheckBox::toggled, this, &TForm1::FridayCheckBoxClick);
}

void TForm1::MondayCheckBoxClick() {
    Guarded([this] { SwitchDayRow(kMonday, MondayCheckBox->isChecked()); });
}

void TForm1::TuesdayCheckBoxClick() {
    Guarded([this] { SwitchDayRow(kTuesday, TuesdayCheckBox->isChecked()); });
}

void TForm1::WednesdayCheckBoxClick() {
    Guarded([this] { SwitchDayRow(kWednesday, WednesdayCheckBox->isChecked()); });
}

void TForm1::ThursdayCheckBoxClick() {
    Guarded([this] { SwitchDayRow(kThursday, ThursdayCheckBox->isChecked()); });
}

void TForm1::FridayCheckBoxClick() {
    Guarded([this] { SwitchDayRow(kFriday, FridayCheckBox->isChecked()); });
}

// An active row offers its day, hour and minute for editing; an inactive one greys them out.
void TForm1::SwitchDayRow(int day, bool active) {
    struct DayRow {
        QLabel* dayPanel;
        QLabel* timeLabel;
        QComboBox* hour;
        QComboBox* minute;
    };
    const std::array<DayRow, 5> rows = {{{Monday, MondayTime, MondayHour, MondayMin},
                                         {Tuesday, TuesdayTime, TuesdayHour, TuesdayMin},
                                         {Wednesday, WednesdayTime, WednesdayHour, WednesdayMin},
                                         {Thursday, ThursdayTime, ThursdayHour, ThursdayMin},
                                         {Friday, FridayTime, FridayHour, FridayMin}}};
    const DayRow& row = rows.at(static_cast<std::size_t>(day));
    row.dayPanel->setEnabled(active);
    row.hour->setEnabled(active);
    row.minute->setEnabled(active);
    PaintField(row.hour, active ? kWindowColour : kScrollBarColour);
    PaintField(row.minute, active ? kWindowColour : kScrollBarColour);
    row.timeLabel->setEnabled(active);
}
