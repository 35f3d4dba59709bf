// The presentation and alarm pass that follows every decoded status reply: the unit's state in
// the status panel, the readings, and what the final colour of the panel sets off.
#include "MonitorFixture.h"

namespace {

const QColor kGreenRgb(0, 128, 0);
const QColor kOrangeRgb(229, 103, 1);
const QColor kRedRgb(255, 0, 0);

struct StateCase {
    int code;
    const char* text;
    QColor colour;
    const char* trace; // nullptr: nothing queued
    int storedCode;
    bool warning;
    bool shutdown;
};

class UnitStateShown : public MonitorFixture, public ::testing::WithParamInterface<StateCase> {};

// All sensors are well inside their limits, so whatever happens comes from the state code.
TEST_P(UnitStateShown, WithItsTextColourTraceAndEffect) {
    const StateCase& c = GetParam();
    TForm1& f = Start();

    Pass(Status(static_cast<std::uint8_t>(c.code)));

    EXPECT_EQ(SystemPanel(), (PanelLook{c.text, c.colour}));
    EXPECT_EQ(unitData.unitState, c.storedCode);
    if (c.trace) {
        EXPECT_EQ(f.traceMessages->value(0), c.trace);
    } else if (!c.shutdown) {
        EXPECT_TRUE(f.traceMessages->isEmpty()) << f.traceMessages->join('|').toStdString();
    }
    // The warning action plays the factory choice, the alarm sound, and writes a record; the
    // shutdown start writes one more.
    EXPECT_EQ(sound->played.size(), c.warning ? 1 : 0);
    EXPECT_EQ(ErrorRecords(), (c.warning ? 1 : 0) + (c.shutdown ? 1 : 0));
    EXPECT_EQ(f.ShutDownTimer->isActive(), c.shutdown);
    EXPECT_EQ(f.BlinkTimer->isActive(), c.shutdown);
    EXPECT_EQ(trayAlarmText.Get(), c.warning || c.shutdown ? QString(c.text) : QString());
    EXPECT_TRUE(messages->shown.isEmpty()) << messages->shown.join('|').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Table, UnitStateShown,
    ::testing::Values(
        StateCase{0, "POWER UP", kGreenRgb, "POWER UP", 0, false, false},
        StateCase{1, "Normal", kGreenRgb, nullptr, 1, false, false},
        StateCase{2, "BOOT DELAY", kGreenRgb, "BOOT DELAY", 2, false, false},
        StateCase{3, "Normal", kGreenRgb, nullptr, 3, false, false},
        StateCase{4, "Normal", kGreenRgb, nullptr, 4, false, false},
        StateCase{5, "POWER DOWN", kGreenRgb, "POWER DOWN", 5, false, false},
        StateCase{6, "IDLE", kGreenRgb, "IDLE", 6, false, false},
        StateCase{7, "REST", kGreenRgb, "REST", 7, false, false},
        StateCase{80, "TO SLOW", kRedRgb,
                  "TO SLOW - The cooling didnt reach appropiate temperature in time", 80, true,
                  true},
        StateCase{81, "RESTART DELAY", kOrangeRgb, "RESTART DELAY - Compressor must rest", 81, true,
                  false},
        StateCase{82, "FAN FAILED", kOrangeRgb,
                  "FAN FAILED - One or both of the fans isn't working properly", 82, true, false},
        StateCase{83, "SENSOR FAILED", kRedRgb, "SENSOR FAILED", 83, true, true},
        StateCase{84, "CRITICAL TEMPERATURE", kOrangeRgb,
                  "CRITICAL TEMPERATURE -  System is critical in controlling the temperature", 84,
                  true, false},
        StateCase{85, "TEMPERATURE FAILURE", kRedRgb,
                  "TEMPERATURE FAILURE - System could not control the temperature", 85, true, true},
        StateCase{86, "STOP FAILURE", kRedRgb,
                  "STOP FAILURE - Unsuccesfull attempt to stop the system", 86, true, true},
        StateCase{87, "SWITCH ERROR", kRedRgb,
                  "SWITCH ERROR - The compressor's thermal switch did go open", 87, true, true},
        // Outside the table: ordinary running, kept as code 3, never a fault.
        StateCase{8, "Normal", kGreenRgb, nullptr, 3, false, false},
        StateCase{79, "Normal", kGreenRgb, nullptr, 3, false, false},
        StateCase{88, "Normal", kGreenRgb, nullptr, 3, false, false},
        StateCase{200, "Normal", kGreenRgb, nullptr, 3, false, false}),
    [](const auto& info) { return "code" + std::to_string(info.param.code); });

class Presentation : public MonitorFixture {};

TEST_F(Presentation, ANotableStateQueuesItsTraceOnEveryPass) {
    TForm1& f = Start();
    for (int pass = 0; pass < 3; ++pass)
        Pass(Status(0));
    EXPECT_EQ(*f.traceMessages, (QStringList{"POWER UP", "POWER UP", "POWER UP"}));
}

TEST_F(Presentation, AnOrangeFaultWarnsOnEveryPassAndNeverStartsTheShutdown) {
    TForm1& f = Start();
    for (int pass = 0; pass < 3; ++pass)
        Pass(Status(81));
    EXPECT_EQ(sound->played.size(), 3);
    EXPECT_EQ(ErrorRecords(), 3);
    EXPECT_FALSE(f.ShutDownTimer->isActive());
}

TEST_F(Presentation, ARedFaultStartsTheShutdownOnceAndWarnsOnEveryPass) {
    TForm1& f = Start();
    Pass(Status(80));
    const int pendingTimer = f.ShutDownTimer->timerId();
    EXPECT_EQ(ErrorRecords(), 2); // the warning's record, then the shutdown start's
    Pass(Status(80));
    Pass(Status(80));
    EXPECT_EQ(f.ShutDownTimer->timerId(), pendingTimer);
    EXPECT_EQ(ErrorRecords(), 4);
    EXPECT_EQ(sound->played.size(), 3);
}

TEST_F(Presentation, ASensorWarningTurnsANormalPassOrangeAndRaisesTheWarning) {
    TForm1& f = Start();
    Pass(Status(1, {-10, 25, 0, 0, 0}));
    EXPECT_EQ(SystemPanel(), (PanelLook{"Warning", kOrangeRgb}));
    EXPECT_EQ(trayAlarmText.Get(), "Warning");
    EXPECT_EQ(ErrorRecords(), 1);
    EXPECT_FALSE(f.ShutDownTimer->isActive());

    // One degree back clears it on the next pass.
    Pass(Status(1, {-11, 25, 0, 0, 0}));
    EXPECT_EQ(SystemPanel(), (PanelLook{"Normal", kGreenRgb}));
    EXPECT_EQ(trayAlarmText.Get(), "");
    EXPECT_EQ(ErrorRecords(), 1);
}

TEST_F(Presentation, NothingIsShownBeforeTheWindowIsUp) {
    Prepare();
    unit.status = Status(85);
    Build(false);
    form->ComDataPacket1Packet(Status(85));
    EXPECT_EQ(form->SystemStatPanel->text(), "Initializing");
    EXPECT_FALSE(form->ShutDownTimer->isActive());
    EXPECT_TRUE(sound->played.isEmpty());
}

// ---- readings ---------------------------------------------------------------------------------

struct RowCase {
    const char* name;
    const char* slotName;
    int celsius;
    bool useCelsius;
    bool shown;
    const char* value; // the value panel's text when shown
};

class SensorRow : public MonitorFixture, public ::testing::WithParamInterface<RowCase> {};

TEST_P(SensorRow, ShowsFittedSensorsInTheChosenUnit) {
    const RowCase& c = GetParam();
    TForm1& f = Start();
    useCelsius = c.useCelsius;
    unitData.sensors[2] = Slot(3, c.slotName, true, 90, 100);
    f.ShowSensor3->setText("stale");
    f.Temp3->setText("stale");

    Pass(Status(1, {-30, 25, c.celsius, -99, -99}));

    EXPECT_EQ(f.ShowSensor3->isVisible(), c.shown);
    EXPECT_EQ(f.Temp3->isVisible(), c.shown);
    EXPECT_EQ(f.TempStat3->isVisible(), c.shown);
    EXPECT_EQ(f.ShowSensor3->text(), c.shown ? QString(c.slotName) : QString());
    EXPECT_EQ(f.Temp3->text(), c.shown ? QString::fromUtf8(c.value) : QString());
    EXPECT_EQ(f.TempStat3->text(), c.shown ? "Normal" : "");
    // Sensors 4 and 5 report no sensor and are not shown either.
    EXPECT_FALSE(f.Temp4->isVisible());
    EXPECT_FALSE(f.Temp5->isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    Table, SensorRow,
    ::testing::Values(RowCase{"celsius", "Harddisk", 18, true, true, "18°C"},
                      RowCase{"fahrenheit", "Harddisk", 25, false, true, "77°F"},
                      RowCase{"fahrenheitMinus40", "Harddisk", -40, false, true, "-40°F"},
                      RowCase{"optionalDespiteAReading", "Optional", 18, true, false, ""},
                      RowCase{"emptyName", "", 18, true, false, ""},
                      RowCase{"reportedAbsent", "Harddisk", -99, true, false, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Presentation, TheEvaporatorRowIsAlwaysShownUnderItsName) {
    TForm1& f = Start();
    useCelsius = false;
    Pass(Status(1, {-33, 25, 0, 0, 0}));
    EXPECT_EQ(f.ShowSensor1->text(), "Evaporator");
    EXPECT_EQ(f.Temp1->text(), "-27°F");
    EXPECT_EQ(f.Temp2->text(), "77°F");
    EXPECT_EQ(f.TempStat1->text(), "Normal");
}

struct FanCase {
    const char* name;
    int frontRpm;
    int rearRpm;
    int frontMode;
    const char* frontSpeed;
    const char* frontStatus;
    QColor frontColour;
    const char* rearSpeed;
    const char* rearStatus;
};

class FanRows : public MonitorFixture, public ::testing::WithParamInterface<FanCase> {};

TEST_P(FanRows, ShowSpeedAndModeOrStopped) {
    const FanCase& c = GetParam();
    TForm1& f = Start();
    f.FrontFanModeComboBox->setCurrentIndex(c.frontMode);
    for (QLabel* panel : {f.FanRPM1, f.Fan1StatusLabel, f.FanRPM2, f.Fan2StatusLabel})
        panel->setText("before");
    SetPanelTextColour(f.Fan1StatusLabel, kBlack);

    Pass(Status(1, {-30, 25, 0, 0, 0}, c.frontRpm, c.rearRpm));

    EXPECT_EQ(f.FanRPM1->text(), c.frontSpeed);
    EXPECT_EQ((PanelLook{f.Fan1StatusLabel->text(), PanelTextColour(f.Fan1StatusLabel)}),
              (PanelLook{c.frontStatus, c.frontColour}));
    EXPECT_EQ(f.FanRPM2->text(), c.rearSpeed);
    EXPECT_EQ(f.Fan2StatusLabel->text(), c.rearStatus);
}

INSTANTIATE_TEST_SUITE_P(Table, FanRows,
                         ::testing::Values(FanCase{"runningNormal", 1250, 1100, 0, "1250 RPM",
                                                   "Normal", kGreenRgb, "1100 RPM", "Normal"},
                                           FanCase{"runningManual", 1900, 1100, 3, "1900 RPM",
                                                   "Manual", kGreenRgb, "1100 RPM", "Normal"},
                                           FanCase{"frontStopped", 0, 1100, 0, "0 RPM", "Stopped",
                                                   kRedRgb, "1100 RPM", "Normal"},
                                           FanCase{"rearStopped", 1250, 0, 0, "1250 RPM", "Normal",
                                                   kGreenRgb, "0 RPM", "Stopped"},
                                           FanCase{"highestValidSpeed", 9999, 1100, 0, "9999 RPM",
                                                   "Normal", kGreenRgb, "1100 RPM", "Normal"},
                                           FanCase{"invalidSpeedLeavesTheRow", 12000, 10000, 0,
                                                   "before", "before", QColor(0, 0, 0), "before",
                                                   "before"}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
