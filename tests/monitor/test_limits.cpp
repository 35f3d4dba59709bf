// Sensor limits: each sensor's alarm level, and which sensor's state reaches the system panel.
#include "MonitorFixture.h"

namespace {

const QColor kGreenRgb(0, 128, 0);
const QColor kOrangeRgb(229, 103, 1);
const QColor kRedRgb(255, 0, 0);

struct LevelCase {
    const char* name;
    bool useCelsius;
    bool higher;
    int warning;
    int shutdown;
    int temperature;
    int level;
};

class AlarmLevel : public ::testing::TestWithParam<LevelCase> {};

TEST_P(AlarmLevel, FollowsTheLimitsInTheSensorsDirection) {
    const LevelCase& c = GetParam();
    SensorData slot;
    slot.name = "Ambient";
    slot.alarmOnHigher = c.higher;
    slot.warningLimit = c.warning;
    slot.shutdownLimit = c.shutdown;
    slot.temperature = c.temperature;
    slot.alarmLevel = 7; // whatever the last pass left
    UpdateAlarmLevel(slot, c.useCelsius);
    EXPECT_EQ(slot.alarmLevel, c.level);
}

INSTANTIATE_TEST_SUITE_P(
    Table, AlarmLevel,
    ::testing::Values(
        LevelCase{"higherBelowWarning", true, true, -10, 0, -11, 0},
        LevelCase{"higherAtWarning", true, true, -10, 0, -10, 1},
        LevelCase{"higherBetween", true, true, -10, 0, -1, 1},
        LevelCase{"higherAtShutdown", true, true, -10, 0, 0, 2},
        LevelCase{"higherPastShutdown", true, true, -10, 0, 30, 2},
        LevelCase{"lowerAboveWarning", true, false, 5, 0, 6, 0},
        LevelCase{"lowerAtWarning", true, false, 5, 0, 5, 1},
        LevelCase{"lowerPastShutdown", true, false, 5, 0, -3, 2},
        // Limits held in Fahrenheit are compared in Celsius: 14 F is -10 C, 32 F is 0 C.
        LevelCase{"fahrenheitAtWarning", false, true, 14, 32, -10, 1},
        LevelCase{"fahrenheitBelowWarning", false, true, 14, 32, -11, 0},
        LevelCase{"fahrenheitAtShutdown", false, true, 14, 32, 0, 2},
        LevelCase{"fahrenheitLower", false, false, 41, 32, 5, 1},
        // A shut-down limit on the near side of the warning limit wins on its own.
        LevelCase{"shutdownBeforeWarning", true, true, -10, -20, -15, 2},
        LevelCase{"absentSensorReading", true, false, 5, 0, -99, 2}),
    [](const auto& info) { return std::string(info.param.name); });

// A sensor switched off, or reported absent, is not checked and is not left at the level of
// an earlier pass: it would otherwise keep alarming, and could shut the computer down.
TEST(AlarmLevelOfUnfittedSensor, IsNormalWhateverItsReadingOrEarlierLevel) {
    for (const char* name : {"Optional", "N/A"}) {
        SensorData slot;
        slot.name = name;
        slot.alarmOnHigher = false;
        slot.warningLimit = 5;
        slot.temperature = -99;
        slot.alarmLevel = 2;
        UpdateAlarmLevel(slot, true);
        EXPECT_EQ(slot.alarmLevel, 0) << name;
    }
}

// ---- through the pass ---------------------------------------------------------------------------

struct PanelCase {
    const char* name;
    int state;
    std::array<int, 5> celsius;
    std::array<const char*, 5> statusTexts;
    const char* panelText;
    QColor panelColour;
    bool shutdown;
};

// Sensors 3 to 5 are fitted here, "Higher" with limits 40 and 60; sensor 2 "Lower", 5 and 0.
class SystemPanelTakeOver : public MonitorFixture,
                            public ::testing::WithParamInterface<PanelCase> {};

TEST_P(SystemPanelTakeOver, FirstSensorNotNormalWinsOnlyOverAGreenOrNormalPanel) {
    const PanelCase& c = GetParam();
    TForm1& f = Start();
    unitData.sensors[2] = Slot(3, "Harddisk", true, 40, 60);
    unitData.sensors[3] = Slot(4, "Compressor", true, 40, 60);
    unitData.sensors[4] = Slot(5, "Graphic Processor", true, 40, 60);

    Pass(Status(static_cast<std::uint8_t>(c.state), c.celsius));

    const std::array<QLabel*, 5> panels{f.TempStat1, f.TempStat2, f.TempStat3, f.TempStat4,
                                        f.TempStat5};
    for (int n = 0; n < 5; ++n)
        EXPECT_EQ(panels[n]->text(), c.statusTexts[n]) << "sensor " << n + 1;
    EXPECT_EQ(SystemPanel(), (PanelLook{c.panelText, c.panelColour}));
    EXPECT_EQ(f.ShutDownTimer->isActive(), c.shutdown);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SystemPanelTakeOver,
    ::testing::Values(PanelCase{"allNormal",
                                1,
                                {-30, 25, 30, 30, 30},
                                {"Normal", "Normal", "Normal", "Normal", "Normal"},
                                "Normal",
                                kGreenRgb,
                                false},
                      PanelCase{"evaporatorWarning",
                                1,
                                {-5, 25, 30, 30, 30},
                                {"Warning", "Normal", "Normal", "Normal", "Normal"},
                                "Warning",
                                kOrangeRgb,
                                false},
                      // The first sensor not normal wins, even over a worse one after it.
                      PanelCase{"sensor2WarningBeforeSensor4Alarm",
                                1,
                                {-30, 3, 30, 70, 30},
                                {"Normal", "Warning", "Normal", "ALARM", "Normal"},
                                "Warning",
                                kOrangeRgb,
                                false},
                      PanelCase{"sensor5Alarm",
                                1,
                                {-30, 25, 30, 30, 65},
                                {"Normal", "Normal", "Normal", "Normal", "ALARM"},
                                "ALARM",
                                kRedRgb,
                                true},
                      // "REST" is green, so the evaporator takes the panel ...
                      PanelCase{"restEvaporatorWarning",
                                7,
                                {-5, 25, 30, 30, 30},
                                {"Warning", "Normal", "Normal", "Normal", "Normal"},
                                "Warning",
                                kOrangeRgb,
                                false},
                      // ... but it does not read "Normal", so other sensors do not.
                      PanelCase{"restSensor3Warning",
                                7,
                                {-30, 25, 45, 30, 30},
                                {"Normal", "Normal", "Warning", "Normal", "Normal"},
                                "REST",
                                kGreenRgb,
                                false},
                      // A unit fault shown there is never overwritten by a sensor.
                      PanelCase{"restartDelayKeepsItsPanel",
                                81,
                                {0, 25, 30, 30, 30},
                                {"ALARM", "Normal", "Normal", "Normal", "Normal"},
                                "RESTART DELAY",
                                kOrangeRgb,
                                false},
                      PanelCase{"bootDelayEvaporatorAlarm",
                                2,
                                {0, 25, 30, 30, 30},
                                {"ALARM", "Normal", "Normal", "Normal", "Normal"},
                                "ALARM",
                                kRedRgb,
                                true}),
    [](const auto& info) { return std::string(info.param.name); });

class Limits : public MonitorFixture {};

TEST_F(Limits, EachSensorPastALimitQueuesItsMessageInSensorOrder) {
    TForm1& f = Start();
    unitData.sensors[2] = Slot(3, "Harddisk", true, 40, 60);
    Pass(Status(1, {-30, 3, 61, -99, -99}));
    EXPECT_EQ(*f.traceMessages, (QStringList{"Temperature warning on Ambient",
                                             "TEMPERATURE CRITICAL - SHUTTING DOWN"}));
}

TEST_F(Limits, ASensorSwitchedOffDuringAnAlarmNoLongerHoldsThePanel) {
    TForm1& f = Start();
    unitData.sensors[2] = Slot(3, "Harddisk", true, 40, 60);
    Pass(Status(1, {-30, 25, 45, -99, -99}));
    ASSERT_EQ(SystemPanel(), (PanelLook{"Warning", kOrangeRgb}));

    unitData.sensors[2].name = "Optional";
    f.traceMessages->clear();
    Pass(Status(1, {-30, 25, 45, -99, -99}));
    EXPECT_EQ(f.TempStat3->text(), "");
    EXPECT_EQ(SystemPanel(), (PanelLook{"Normal", kGreenRgb}));
    EXPECT_TRUE(f.traceMessages->isEmpty()) << f.traceMessages->join('|').toStdString();
}

} // namespace
