#include "support/ControllerFixture.h"
#include "support/SettingsFile.h"

#include "protocol/PacketCodec.h"
#include "ui/SliderThumb.h"
#include "ui/WindowColours.h"

#include <QLineEdit>
#include <QTest>

namespace {

class SetupRules : public ControllerFixture {};

struct SensorRow {
    int sensor;
    QComboBox* name;
    std::vector<QWidget*> fields;
    std::vector<QLabel*> readings;
};

std::vector<SensorRow> OptionalRows3To5(TForm1& f) {
    return {{3,
             f.SetupSensorComboBox3,
             {f.Par3HighLow, f.Sensor3Alm, f.Sensor3ShDn},
             {f.ShowSensor3, f.Temp3, f.TempStat3}},
            {4,
             f.SetupSensorComboBox4,
             {f.Par4HighLow, f.Sensor4Alm, f.Sensor4ShDn},
             {f.ShowSensor4, f.Temp4, f.TempStat4}},
            {5,
             f.SetupSensorComboBox5,
             {f.Par5HighLow, f.Sensor5Alm, f.Sensor5ShDn},
             {f.ShowSensor5, f.Temp5, f.TempStat5}}};
}

void ExpectRowActive(const SensorRow& row, bool active) {
    for (QWidget* field : row.fields) {
        EXPECT_EQ(field->isEnabled(), active) << field->objectName().toStdString();
        EXPECT_EQ(FieldColour(field), active ? kWindowColour : kScrollBarColour)
            << field->objectName().toStdString();
    }
    for (QLabel* panel : row.readings)
        EXPECT_EQ(panel->isHidden(), !active) << panel->objectName().toStdString();
}

TEST_F(SetupRules, NameBoxesOfSensors3To5SwitchTheirRows) {
    TForm1& f = Build();
    for (const SensorRow& row : OptionalRows3To5(f)) {
        SCOPED_TRACE(row.sensor);
        f.ClearDirtyFlags();
        row.name->setCurrentIndex(row.name->findText("Compressor"));
        ExpectRowActive(row, true);
        EXPECT_EQ(row.readings[0]->text(), "Compressor");
        EXPECT_EQ(unitData.sensors[row.sensor - 1].name, "Compressor");
        EXPECT_TRUE(f.sensorNamesChanged);

        f.ClearDirtyFlags();
        row.name->setCurrentIndex(0);
        ExpectRowActive(row, false);
        EXPECT_EQ(unitData.sensors[row.sensor - 1].name, "Optional");
        EXPECT_TRUE(f.sensorNamesChanged);
    }
}

TEST_F(SetupRules, TypedNameActivatesTheRowAtTheFirstKeystrokeAndBecomesTheCaption) {
    TForm1& f = Build();
    const SensorRow row = OptionalRows3To5(f)[1];
    QLineEdit* line = f.SetupSensorComboBox4->lineEdit();
    line->selectAll();
    QTest::keyClicks(line, "P");
    ExpectRowActive(row, true);
    EXPECT_EQ(f.ShowSensor4->text(), "P");
    QTest::keyClicks(line, "ump");
    EXPECT_EQ(f.ShowSensor4->text(), "Pump");
    EXPECT_EQ(unitData.sensors[3].name, "Pump");
}

// Row 2 is switched by the status replies only.
TEST_F(SetupRules, Sensor2NamedOptionalStaysActiveUntilTheNextStatusReply) {
    TForm1& f = Build();
    f.SetupSensorComboBox2->setCurrentIndex(1); // "Ambient"
    f.SetupSensorComboBox2->setCurrentIndex(0); // "Optional"
    EXPECT_EQ(f.ShowSensor2->text(), "Optional");
    EXPECT_EQ(unitData.sensors[1].name, "Optional");
    EXPECT_TRUE(f.sensorNamesChanged);
    EXPECT_TRUE(f.Sensor2Alm->isEnabled());
    EXPECT_TRUE(f.Par2HighLow->isEnabled());

    f.ComDataPacket1Packet(QByteArray(24, '\0'));
    EXPECT_FALSE(f.Sensor2Alm->isEnabled());
    EXPECT_FALSE(f.Par2HighLow->isEnabled());
}

TEST_F(SetupRules, DirectionPickedByTheUserReachesTheSlotAtTheNextApplyTick) {
    TForm1& f = Build();
    f.Par2HighLow->setCurrentIndex(0); // the program's choice raises nothing
    EXPECT_FALSE(f.highLowChanged);
    UserPicks(f.Par2HighLow, 0);
    EXPECT_TRUE(f.highLowChanged);
    EXPECT_FALSE(unitData.sensors[1].alarmOnHigher);
    f.WriteChangesTimerTimer();
    EXPECT_TRUE(unitData.sensors[1].alarmOnHigher);
    EXPECT_EQ(StoredValues().at("Sensor2HL"), "1");
    EXPECT_EQ(StoredValues().at("Sensor3HL"), "0");
}

TEST_F(SetupRules, LimitFieldsFollowTypingAndTheProgramButNotAnEmptyText) {
    TForm1& f = Build();
    QLineEdit* line = f.Sensor2Alm->findChild<QLineEdit*>();
    ASSERT_TRUE(line);
    line->selectAll();
    QTest::keyClick(line, Qt::Key_Backspace);
    EXPECT_EQ(f.Sensor2Alm->text(), "");
    EXPECT_EQ(unitData.sensors[1].warningLimit, 5);
    EXPECT_FALSE(f.warningLimitsChanged);

    QTest::keyClicks(line, "45");
    EXPECT_EQ(unitData.sensors[1].warningLimit, 45);
    EXPECT_TRUE(f.warningLimitsChanged);

    // A value set by the program raises the handler like an edit.
    f.Sensor4ShDn->setValue(-7);
    EXPECT_EQ(unitData.sensors[3].shutdownLimit, -7);
    EXPECT_TRUE(f.shutdownLimitsChanged);
}

TEST_F(SetupRules, LimitFieldsTakeDigitsOnly) {
    TForm1& f = Build();
    // Keys reach a field itself, or its text line once it has the focus.
    const std::pair<QSpinBox*, QWidget*> targets[] = {
        {f.Sensor1ShDn, f.Sensor1ShDn}, {f.Sensor2Alm, f.Sensor2Alm->findChild<QLineEdit*>()}};
    for (const auto& [field, target] : targets) {
        SCOPED_TRACE(field->objectName().toStdString());
        ASSERT_TRUE(target);
        field->selectAll();
        QTest::keyClicks(target, "-4a 2");
        EXPECT_EQ(field->text(), "42");
        EXPECT_EQ(field->value(), 42);
    }
}

struct PresetCase {
    const char* name;
    int mode;
    bool front;
    int limit, low, high, slider;
};

void PrintTo(const PresetCase& c, std::ostream* os) {
    *os << c.name;
}

class FanPreset : public SetupRules, public ::testing::WithParamInterface<PresetCase> {};

TEST_P(FanPreset, WritesTheFansSpeedsAndShowsTheirMidpoint) {
    TForm1& f = Build();
    const PresetCase& c = GetParam();
    unitData.fanSettings = FanSettingsBlock{};
    f.ClearDirtyFlags();
    QComboBox* mode = c.front ? f.FrontFanModeComboBox : f.RearFanModeComboBox;
    QSlider* slider = c.front ? f.FrontFanManual : f.RearFanManual;
    UserPicks(mode, c.mode);

    const FanSettingsBlock& fans = unitData.fanSettings;
    EXPECT_EQ(fans.fanLimitRpm, c.limit);
    EXPECT_EQ(c.front ? fans.frontFanLowRpm : fans.rearFanLowRpm, c.low);
    EXPECT_EQ(c.front ? fans.frontFanHighRpm : fans.rearFanHighRpm, c.high);
    EXPECT_EQ(c.front ? fans.rearFanLowRpm : fans.frontFanLowRpm, 0) << "the other fan changed";
    EXPECT_EQ(slider->value(), c.slider);
    EXPECT_FALSE(slider->isEnabled());
    EXPECT_FALSE(SliderThumbVisible(slider));
    EXPECT_TRUE(f.fanSettingsChanged);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FanPreset,
    ::testing::Values(PresetCase{"frontNormal", 0, true, 2100, 1100, 1400, 1250},
                      PresetCase{"frontLowNoise", 1, true, 2100, 750, 750, 750},
                      PresetCase{"frontTurbo", 2, true, 2100, 2100, 2100, 2100},
                      PresetCase{"rearNormal", 0, false, 2100, 1100, 1400, 1250},
                      PresetCase{"rearLowNoise", 1, false, 2100, 750, 750, 750},
                      PresetCase{"rearTurbo", 2, false, 2100, 2100, 2100, 2100}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SetupRules, ManualModeWaitsForTheSliderWhichThenSetsBothSpeeds) {
    TForm1& f = Build();
    UserPicks(f.FrontFanModeComboBox, 0); // "Normal"
    f.WriteChangesTimerTimer();
    const FanSettingsBlock normal = unitData.fanSettings;
    TakeWritten();

    UserPicks(f.FrontFanModeComboBox, 3); // "Manual"
    EXPECT_TRUE(f.FrontFanManual->isEnabled());
    EXPECT_TRUE(SliderThumbVisible(f.FrontFanManual));
    EXPECT_EQ(f.FrontFanManual->value(), 1250);
    EXPECT_TRUE(f.ManualLabel->isEnabled());
    EXPECT_TRUE(f.FanMinLabel->isEnabled());
    EXPECT_TRUE(f.FanMaxLabel->isEnabled());
    EXPECT_EQ(unitData.fanSettings, normal);
    EXPECT_FALSE(f.fanSettingsChanged);
    f.WriteChangesTimerTimer();
    EXPECT_TRUE(TakeWritten().empty());

    f.FrontFanManual->setValue(1800);
    EXPECT_EQ(unitData.fanSettings.frontFanLowRpm, 1800);
    EXPECT_EQ(unitData.fanSettings.frontFanHighRpm, 1800);
    f.WriteChangesTimerTimer();
    const auto written = TakeWritten();
    ASSERT_EQ(written.size(), 1u);
    EXPECT_EQ(Hex(written[0].mid(3 + 2, 4)), "08 07 08 07");

    // The rear fan on a mode leaves the labels to the front fan, which is still manual.
    UserPicks(f.RearFanModeComboBox, 2); // "Turbo"
    EXPECT_FALSE(f.RearFanManual->isEnabled());
    EXPECT_EQ(f.RearFanManual->value(), 2100);
    EXPECT_TRUE(f.ManualLabel->isEnabled());
    EXPECT_TRUE(f.FanMinLabel->isEnabled());

    UserPicks(f.FrontFanModeComboBox, 1); // "Low noise"
    EXPECT_FALSE(f.ManualLabel->isEnabled());
    EXPECT_FALSE(f.FanMinLabel->isEnabled());
    EXPECT_FALSE(f.FanMaxLabel->isEnabled());
}

} // namespace
