#include "support/ControllerFixture.h"
#include "ui/WindowColours.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>

#include <array>

namespace {

struct DayRow {
    const char* day;
    QCheckBox* box;
    QLabel* panel;
    QLabel* timeLabel;
    QComboBox* hour;
    QComboBox* minute;
};

class SchedulePage : public ControllerFixture {
protected:
    std::array<DayRow, 5> Rows(TForm1& f) {
        return {
            {{"Monday", f.MondayCheckBox, f.Monday, f.MondayTime, f.MondayHour, f.MondayMin},
             {"Tuesday", f.TuesdayCheckBox, f.Tuesday, f.TuesdayTime, f.TuesdayHour, f.TuesdayMin},
             {"Wednesday", f.WednesdayCheckBox, f.Wednesday, f.WednesdayTime, f.WednesdayHour,
              f.WednesdayMin},
             {"Thursday", f.ThursdayCheckBox, f.Thursday, f.ThursdayTime, f.ThursdayHour,
              f.ThursdayMin},
             {"Friday", f.FridayCheckBox, f.Friday, f.FridayTime, f.FridayHour, f.FridayMin}}};
    }

    static void ExpectRow(const DayRow& row, bool active) {
        SCOPED_TRACE(row.day);
        for (QWidget* control :
             std::initializer_list<QWidget*>{row.panel, row.timeLabel, row.hour, row.minute})
            EXPECT_EQ(control->isEnabledTo(control->parentWidget()), active)
                << control->objectName().toStdString();
        const QColor listColour = active ? kWindowColour : kScrollBarColour;
        EXPECT_EQ(FieldColour(row.hour), listColour);
        EXPECT_EQ(FieldColour(row.minute), listColour);
    }
};

TEST_F(SchedulePage, EachDaysCheckBoxSwitchesItsOwnRowOnly) {
    TForm1& f = Build();
    const auto rows = Rows(f);
    for (std::size_t day = 0; day < rows.size(); ++day) {
        rows[day].box->setChecked(true);
        ExpectRow(rows[day], true);
        for (std::size_t other = 0; other < rows.size(); ++other) {
            if (other != day) {
                EXPECT_FALSE(rows[other].hour->isEnabledTo(rows[other].hour->parentWidget()))
                    << rows[day].day << " switched " << rows[other].day;
            }
        }
        rows[day].box->setChecked(false);
        ExpectRow(rows[day], false);
    }
}

} // namespace
