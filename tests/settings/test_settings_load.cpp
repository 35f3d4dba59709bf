#include "support/ControllerFixture.h"
#include "support/SettingsFile.h"

#include "ui/WindowColours.h"

#include <functional>

namespace {

class SettingsLoad : public ControllerFixture {
protected:
    // A restart: the window goes, the program-wide values start afresh, the store stays.
    TForm1& Restart() {
        form.reset();
        ResetDefinements();
        Prepare();
        return Build();
    }
};

bool AnyDirtyFlag(const TForm1& f) {
    return f.fanSettingsChanged || f.displayTextChanged || f.displayParamsChanged ||
           f.highLowChanged || f.sensorNamesChanged || f.unitsChanged || f.warningLimitsChanged ||
           f.shutdownLimitsChanged || f.bootTempChanged;
}

TEST_F(SettingsLoad, FirstStartCreatesNothingAndShowsTheDefaults) {
    TForm1& f = Build();
    EXPECT_TRUE(messages->shown.isEmpty()) << messages->shown.join('|').toStdString();
    EXPECT_TRUE(QDir(settingsDir.path()).isEmpty());

    const int warnings[] = {-10, 5, 5, 5, 5};
    const QSpinBox* warningFields[] = {f.Sensor1Alm, f.Sensor2Alm, f.Sensor3Alm, f.Sensor4Alm,
                                       f.Sensor5Alm};
    for (int slot = 0; slot < kSensorCount; ++slot) {
        SCOPED_TRACE(slot);
        EXPECT_EQ(unitData.sensors[slot].number, slot + 1);
        EXPECT_EQ(unitData.sensors[slot].warningLimit, warnings[slot]);
        EXPECT_EQ(warningFields[slot]->value(), warnings[slot]);
        EXPECT_EQ(unitData.sensors[slot].shutdownLimit, 0);
    }
    EXPECT_EQ(unitData.sensors[0].name, "Evaporator");
    EXPECT_TRUE(unitData.sensors[0].alarmOnHigher);
    EXPECT_EQ(unitData.sensors[2].name, "");
    EXPECT_EQ(f.Par3HighLow->currentText(), "Lower");
    EXPECT_FALSE(f.Par3HighLow->isEnabled());
    EXPECT_EQ(f.SetupSensorComboBox3->currentText(), "Optional");
    EXPECT_EQ(f.DispParam1->currentIndex(), 5);
    EXPECT_EQ(f.DispParam2->currentIndex(), 6);
    EXPECT_EQ(f.DispParam3->currentIndex(), 0);
    EXPECT_EQ(f.PrimaryTextComboBox->currentText(), "Speed Load Temp");
    EXPECT_EQ(f.SecondaryTextComboBox->currentText(), "DRALMIC");
    EXPECT_EQ(f.BootTempComboBox->currentText(), "-33");
    EXPECT_EQ(f.WarningHandlingComboBox->currentIndex(), 0);
    EXPECT_TRUE(f.CelsiusRadioButton->isChecked());
    EXPECT_TRUE(useCelsius);
    EXPECT_EQ(f.DisplayIntervalTimer->interval(), 5000);

    // The first save creates the file.
    f.Sensor2Alm->setValue(7);
    f.WriteChangesTimerTimer();
    EXPECT_EQ(StoredValues().at("Sensor2Warn"), "7");
}

TEST_F(SettingsLoad, StoredValuesFillTheWindowAndTheSensorSlotsWithoutStoringOrSending) {
    WriteSettingsFile("Sensor1Warn=-20\n"
                      "Sensor1SDN=-5\n"
                      "Sensor2=Ambient\n"
                      "Sensor2HL=1\n"
                      "Sensor2Warn=30\n"
                      "Sensor2SDN=40\n"
                      "Sensor3=My own spot\n"
                      "Sensor3Warn=12\n"
                      "Sensor4=N/A\n"
                      "Sensor4HL=1\n"
                      "Sensor5=Optional\n"
                      "Param1Index=0\n"
                      "Param2Index=8\n"
                      "Param3Index=7\n"
                      "DisplayLine1P=Hello unit\n"
                      "DisplayLine1S=Second\n"
                      "BootIndex=25\n"
                      "Warning%20handling%20Index=-1\n"
                      "FahrenCel=0\n"
                      "Display%20Update%20Interval=6\n");
    const QByteArray before = SettingsFileText();
    TForm1& f = Build();
    EXPECT_TRUE(messages->shown.isEmpty()) << messages->shown.join('|').toStdString();
    EXPECT_EQ(SettingsFileText(), before);
    EXPECT_FALSE(AnyDirtyFlag(f));

    // Limits are taken as stored: they were saved in the unit that is loaded with them.
    EXPECT_FALSE(useCelsius);
    EXPECT_TRUE(f.FahrenheitRadioButton->isChecked());
    EXPECT_EQ(f.Sensor1Alm->value(), -20);
    EXPECT_EQ(f.Sensor1ShDn->value(), -5);
    EXPECT_EQ(f.Sensor2Alm->value(), 30);
    EXPECT_EQ(f.Sensor2ShDn->value(), 40);
    EXPECT_EQ(f.Sensor3Alm->value(), 12);
    EXPECT_EQ(f.Sensor3ShDn->value(), 0);
    EXPECT_EQ(unitData.sensors[0].warningLimit, -20);
    EXPECT_EQ(unitData.sensors[1].shutdownLimit, 40);
    EXPECT_EQ(unitData.sensors[2].warningLimit, 12);

    EXPECT_EQ(unitData.sensors[1].name, "Ambient");
    EXPECT_TRUE(unitData.sensors[1].alarmOnHigher);
    EXPECT_EQ(f.Par2HighLow->currentText(), "Higher");
    // A name of the user's own makes the row active.
    EXPECT_EQ(f.SetupSensorComboBox3->currentText(), "My own spot");
    for (QWidget* field :
         std::initializer_list<QWidget*>{f.Par3HighLow, f.Sensor3Alm, f.Sensor3ShDn}) {
        EXPECT_TRUE(field->isEnabled()) << field->objectName().toStdString();
        EXPECT_EQ(FieldColour(field), kWindowColour) << field->objectName().toStdString();
    }
    // "N/A" and "Optional" stand for no sensor: the rows stay switched off.
    EXPECT_EQ(f.SetupSensorComboBox4->currentText(), "Optional");
    EXPECT_FALSE(f.Sensor4Alm->isEnabled());
    EXPECT_EQ(f.Par4HighLow->currentText(), "Higher");
    EXPECT_FALSE(f.Sensor5Alm->isEnabled());

    // Indexes outside a list leave it without a selection.
    EXPECT_EQ(f.DispParam1->currentIndex(), 0);
    EXPECT_EQ(f.DispParam2->currentIndex(), -1);
    EXPECT_EQ(f.DispParam3->currentIndex(), 7);
    EXPECT_EQ(f.WarningHandlingComboBox->currentIndex(), -1);
    EXPECT_EQ(f.PrimaryTextComboBox->currentText(), "Hello unit");
    EXPECT_EQ(f.SecondaryTextComboBox->currentText(), "Second");
    EXPECT_EQ(f.BootTempComboBox->currentText(), "-25");
    EXPECT_EQ(f.DispLine1Int->currentText(), "10 Min");
    EXPECT_EQ(f.DisplayIntervalTimer->interval(), 600000);
    EXPECT_TRUE(f.DisplayIntervalTimer->isActive());
}

struct ReadErrorCase {
    const char* name;
    const char* file;
    const char* message;
    std::function<void(TForm1&)> check;
};

void PrintTo(const ReadErrorCase& c, std::ostream* os) {
    *os << c.name;
}

class ValueOfTheWrongType : public SettingsLoad,
                            public ::testing::WithParamInterface<ReadErrorCase> {};

// The load that meets the value stops there; the other loads and the start go on.
TEST_P(ValueOfTheWrongType, EndsItsLoadButNotTheStart) {
    WriteSettingsFile(GetParam().file);
    TForm1& f = Build();
    EXPECT_EQ(messages->shown, QStringList{GetParam().message});
    GetParam().check(f);
    EXPECT_TRUE(f.UpdateDataTimer->isActive());
    EXPECT_TRUE(f.WriteChangesTimer->isActive());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ValueOfTheWrongType,
    ::testing::Values(
        ReadErrorCase{"sensorLimit",
                      "Sensor1Warn=abc\nSensor2Warn=30\nSensor3=Compressor\nParam1Index=0\n",
                      "Error: the stored value \"Sensor1Warn\" is not an integer",
                      [](TForm1& f) {
                          EXPECT_EQ(f.Sensor2Alm->value(), 5);
                          EXPECT_EQ(f.SetupSensorComboBox3->currentText(), "Optional");
                          EXPECT_FALSE(f.Sensor3Alm->isEnabled());
                          EXPECT_EQ(f.DispParam1->currentIndex(), 0);
                      }},
        ReadErrorCase{"displayParameter",
                      "Sensor3=Compressor\nParam1Index=0\nParam2Index=x\nBootIndex=10\n"
                      "FahrenCel=0\n",
                      "Error: the stored value \"Param2Index\" is not an integer",
                      [](TForm1& f) {
                          EXPECT_EQ(f.DispParam1->currentIndex(), 0);
                          EXPECT_EQ(f.DispParam2->currentIndex(), 6);
                          EXPECT_EQ(f.BootTempComboBox->currentIndex(), 33);
                          EXPECT_EQ(f.SetupSensorComboBox3->currentText(), "Compressor");
                          EXPECT_FALSE(useCelsius);
                      }},
        ReadErrorCase{"unitChoice",
                      "FahrenCel=maybe\nDisplay%20Update%20Interval=7\nSensor3=Compressor\n",
                      "Error: the stored value \"FahrenCel\" is not a boolean (1 or 0)",
                      [](TForm1& f) {
                          EXPECT_TRUE(useCelsius);
                          EXPECT_EQ(f.DispLine1Int->currentIndex(), 0);
                          EXPECT_EQ(f.SetupSensorComboBox3->currentText(), "Compressor");
                      }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsLoad, BootIndexOutsideTheListSelectsNothingAndSendsNothing) {
    WriteSettingsFile("BootIndex=99\n");
    TForm1& f = Build();
    EXPECT_EQ(f.BootTempComboBox->currentIndex(), -1);
    const std::int32_t bootBefore = unitData.fanSettings.bootTempTenths;
    TakeWritten();
    f.bootTempChanged = true;
    f.WriteChangesTimerTimer();
    EXPECT_TRUE(TakeWritten().empty());
    EXPECT_EQ(StoredValues().at("BootIndex"), "99");
    EXPECT_EQ(unitData.fanSettings.bootTempTenths, bootBefore);
}

// What the user set is there again after a restart, in the unit it was set in.
TEST_F(SettingsLoad, RestartKeepsNamesLimitsTextsAndChoices) {
    TForm1& f = Build();
    f.SetupSensorComboBox3->setCurrentIndex(3); // "Compressor", picked by the user
    UserPicks(f.Par3HighLow, 0);
    f.Sensor3Alm->setValue(25);
    f.Sensor1ShDn->setValue(-3);
    f.PrimaryTextComboBox->setEditText("My own text");
    UserPicks(f.SecondaryTextComboBox, 3);
    UserPicks(f.DispParam2, 7);
    UserPicks(f.BootTempComboBox, 25);
    UserPicks(f.DispLine1Int, 2);
    f.FahrenheitRadioButton->click();
    f.WriteChangesTimerTimer();
    f.DisplayIntervalTimerTimer();
    ASSERT_TRUE(messages->shown.isEmpty()) << messages->shown.join('|').toStdString();

    TForm1& g = Restart();
    EXPECT_TRUE(messages->shown.isEmpty()) << messages->shown.join('|').toStdString();
    EXPECT_EQ(g.SetupSensorComboBox3->currentText(), "Compressor");
    EXPECT_EQ(g.Par3HighLow->currentText(), "Higher");
    EXPECT_TRUE(unitData.sensors[2].alarmOnHigher);
    EXPECT_FALSE(useCelsius);
    EXPECT_EQ(g.Sensor3Alm->value(), 77);  // 25 °C
    EXPECT_EQ(g.Sensor1ShDn->value(), 27); // -3 °C
    EXPECT_EQ(g.Sensor1Alm->value(), 14);  // -10 °C
    EXPECT_EQ(unitData.sensors[2].warningLimit, 77);
    EXPECT_EQ(g.PrimaryTextComboBox->currentText(), "My own text");
    EXPECT_EQ(g.SecondaryTextComboBox->currentText(), "Super Cooled");
    EXPECT_EQ(g.DispParam2->currentIndex(), 7);
    EXPECT_EQ(g.BootTempComboBox->currentText(), "-25");
    EXPECT_EQ(g.DisplayIntervalTimer->interval(), 30000);
}

TEST_F(SettingsLoad, NeverStoredAsTheIntervalKeepsLineOneStillAfterARestart) {
    WriteSettingsFile("Display%20Update%20Interval=7\n");
    TForm1& f = Build();
    EXPECT_EQ(f.DispLine1Int->currentText(), "Never");
    EXPECT_FALSE(f.DisplayIntervalTimer->isActive());
}

} // namespace
