#include "support/ControllerFixture.h"
#include "support/SettingsFile.h"

#include "settings/SetupRules.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QPainter>
#include <QStyleOptionViewItem>

namespace {

class UnitSwitch : public ControllerFixture {
protected:
    TForm1& BuildWithReportedHours() {
        unit.unitSettings = PayloadWithWord(QByteArray(24, '\0'), 17, 120);
        unit.unitSettings[1] = 'C';
        TForm1& f = Build();
        TakeWritten();
        return f;
    }
};

std::vector<int> LimitFieldValues(TForm1& f) {
    std::vector<int> values;
    for (QSpinBox* field :
         {f.Sensor1Alm, f.Sensor2Alm, f.Sensor3Alm, f.Sensor4Alm, f.Sensor5Alm, f.Sensor1ShDn,
          f.Sensor2ShDn, f.Sensor3ShDn, f.Sensor4ShDn, f.Sensor5ShDn})
        values.push_back(field->value());
    return values;
}

std::vector<int> SlotLimits() {
    std::vector<int> values;
    for (const SensorData& slot : unitData.sensors)
        values.push_back(slot.warningLimit);
    for (const SensorData& slot : unitData.sensors)
        values.push_back(slot.shutdownLimit);
    return values;
}

TEST_F(UnitSwitch, ConvertsEveryLimitFieldAndStoresTheChoiceAtOnce) {
    TForm1& f = BuildWithReportedHours();
    const std::vector<int> celsius{-10, 5, 5, 5, 5, 0, 0, 0, 0, 0};
    const std::vector<int> fahrenheit{14, 41, 41, 41, 41, 32, 32, 32, 32, 32};
    ASSERT_EQ(LimitFieldValues(f), celsius);

    f.FahrenheitRadioButton->click();
    EXPECT_FALSE(useCelsius);
    EXPECT_EQ(unitData.unitSettings.tempUnitLetter, 'F');
    // The fields of sensors that are not fitted are converted as well.
    EXPECT_EQ(LimitFieldValues(f), fahrenheit);
    EXPECT_EQ(SlotLimits(), fahrenheit);
    EXPECT_TRUE(f.unitsChanged && f.warningLimitsChanged && f.shutdownLimitsChanged);
    const std::map<QString, QString> storedAtOnce{{"FahrenCel", "0"}};
    EXPECT_EQ(StoredValues(), storedAtOnce);

    // The next apply tick stores the converted limits and tells the unit the new letter.
    f.WriteChangesTimerTimer();
    EXPECT_EQ(StoredValues().at("Sensor1Warn"), "14");
    EXPECT_EQ(StoredValues().at("Sensor5SDN"), "32");
    const auto written = TakeWritten();
    ASSERT_EQ(written.size(), 1u);
    EXPECT_EQ(Hex(written[0].left(5)), "01 02 02 00 46");

    f.CelsiusRadioButton->click();
    EXPECT_TRUE(useCelsius);
    EXPECT_EQ(unitData.unitSettings.tempUnitLetter, 'C');
    EXPECT_EQ(LimitFieldValues(f), celsius);
    EXPECT_EQ(StoredValues().at("FahrenCel"), "1");
    EXPECT_TRUE(messages->shown.isEmpty()) << messages->shown.join('|').toStdString();
}

TEST_F(UnitSwitch, ChoosingTheUnitAlreadyChosenChangesNothing) {
    TForm1& f = Build();
    f.CelsiusRadioButton->click();
    f.CelsiusRadioButtonClick();
    EXPECT_EQ(LimitFieldValues(f), (std::vector<int>{-10, 5, 5, 5, 5, 0, 0, 0, 0, 0}));
    EXPECT_FALSE(f.unitsChanged || f.warningLimitsChanged || f.shutdownLimitsChanged);
    EXPECT_TRUE(QDir(settingsDir.path()).isEmpty());
}

// Celsius and back keeps every whole degree; Fahrenheit and back may move one.
TEST_F(UnitSwitch, FahrenheitLimitCanMoveByOneDegreeThroughCelsius) {
    TForm1& f = Build();
    f.FahrenheitRadioButton->click();
    f.Sensor2Alm->setValue(33);
    f.CelsiusRadioButton->click();
    EXPECT_EQ(f.Sensor2Alm->value(), 1);
    f.FahrenheitRadioButton->click();
    EXPECT_EQ(f.Sensor2Alm->value(), 34);
}

// A field being edited and left empty still holds the limit the sensor uses; that limit is
// converted, so the sensor keeps the temperature the user set.
TEST_F(UnitSwitch, EmptyLimitFieldGetsItsLimitConverted) {
    TForm1& f = Build();
    f.Sensor3Alm->setValue(-40);
    for (QSpinBox* field : {f.Sensor2Alm, f.Sensor3Alm})
        field->findChild<QLineEdit*>()->clear();
    f.FahrenheitRadioButton->click();
    EXPECT_EQ(f.Sensor2Alm->text(), "41");
    EXPECT_EQ(unitData.sensors[1].warningLimit, 41);
    EXPECT_EQ(f.Sensor3Alm->text(), "-40");
    EXPECT_EQ(unitData.sensors[2].warningLimit, -40);
}

// When the choice cannot be stored the user is told, and the program works in the new unit
// with converted limits, so the alarms still fire at the temperatures the user set.
TEST_F(UnitSwitch, ChoiceThatCannotBeStoredIsReportedAndTheSwitchGoesOn) {
    TForm1& f = Build();
    BlockSettingsFolder();
    f.FahrenheitRadioButton->click();
    EXPECT_EQ(messages->shown,
              QStringList{QStringLiteral("Error: the settings could not be saved to \"%1\"")
                              .arg(SettingsStorePath())});
    EXPECT_FALSE(useCelsius);
    EXPECT_EQ(unitData.unitSettings.tempUnitLetter, 'F');
    EXPECT_EQ(f.Sensor1Alm->value(), 14);
    EXPECT_EQ(unitData.sensors[0].warningLimit, 14);
    EXPECT_TRUE(f.unitsChanged);
}

TEST_F(UnitSwitch, BootTemperatureStaysCelsius) {
    TForm1& f = BuildWithReportedHours();
    UserPicks(f.BootTempComboBox, 25);
    f.FahrenheitRadioButton->click();
    EXPECT_EQ(f.BootTempComboBox->currentIndex(), 25);
    EXPECT_EQ(f.BootTempComboBox->currentText(), "-25");
    f.WriteChangesTimerTimer();
    EXPECT_EQ(StoredValues().at("BootIndex"), "25");
    EXPECT_EQ(unitData.fanSettings.bootTempTenths, -250);
}

TEST_F(UnitSwitch, LoadedUnitSetsTheLetterWithoutConvertingOrStoring) {
    WriteSettingsFile("FahrenCel=0\nSensor1Warn=14\n");
    const QByteArray before = SettingsFileText();
    unit.answersUnitSettings = false; // the letter is not overwritten by the unit's own
    TForm1& f = Build();
    EXPECT_TRUE(f.FahrenheitRadioButton->isChecked());
    EXPECT_EQ(unitData.unitSettings.tempUnitLetter, 'F');
    EXPECT_EQ(f.Sensor1Alm->value(), 14);
    EXPECT_EQ(f.Sensor2Alm->value(), 5);
    EXPECT_EQ(SettingsFileText(), before);
}

TEST_F(UnitSwitch, LimitsAtTheFieldsEndsStayWithinTheField) {
    TForm1& f = Build();
    f.Sensor2Alm->setValue(2000000000);
    f.Sensor2ShDn->setValue(-2000000000);
    f.FahrenheitRadioButton->click();
    EXPECT_EQ(f.Sensor2Alm->value(), f.Sensor2Alm->maximum());
    EXPECT_EQ(f.Sensor2ShDn->value(), f.Sensor2ShDn->minimum());
}

TEST(BootItemText, IsTheItemInCelsiusAndItsConversionInFahrenheit) {
    const struct {
        const char* item;
        bool celsius;
        const char* drawn;
    } cases[] = {{"-33", true, "-33"},
                 {"-33", false, "-27"},
                 {"0", false, "32"},
                 {"-40", false, "-40"},
                 {"-1", false, "30"}};
    for (const auto& c : cases)
        EXPECT_EQ(BootItemDrawText(c.item, c.celsius), c.drawn) << c.item << " " << c.celsius;
}

// The boot list draws its items in the chosen unit: in Fahrenheit, item "-33" looks exactly
// like item "-27" does in Celsius.
class BootListDrawing : public ControllerFixture {
protected:
    QImage ClosedBox(TForm1& f, bool celsius, int item) {
        useCelsius = celsius;
        f.BootTempComboBox->setCurrentIndex(item);
        return f.BootTempComboBox->grab().toImage();
    }

    QImage OpenListItem(TForm1& f, bool celsius, int item, bool highlighted) {
        useCelsius = celsius;
        QImage image(80, 16, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        QStyleOptionViewItem option;
        option.initFrom(f.BootTempComboBox->view());
        option.rect = image.rect();
        if (highlighted)
            option.state |= QStyle::State_Selected;
        QPainter painter(&image);
        f.BootTempComboBox->itemDelegate()->paint(&painter, option,
                                                  f.BootTempComboBox->model()->index(item, 0));
        return image;
    }
};

TEST_F(BootListDrawing, ClosedBoxShowsTheItemInTheChosenUnit) {
    TForm1& f = Build();
    EXPECT_EQ(ClosedBox(f, false, 33), ClosedBox(f, true, 27));
    EXPECT_NE(ClosedBox(f, true, 33), ClosedBox(f, true, 27));
}

TEST_F(BootListDrawing, OpenListShowsItemsInTheChosenUnitOnTheirOwnBackground) {
    TForm1& f = Build();
    for (bool highlighted : {false, true}) {
        SCOPED_TRACE(highlighted);
        EXPECT_EQ(OpenListItem(f, false, 33, highlighted), OpenListItem(f, true, 27, highlighted));
        EXPECT_NE(OpenListItem(f, true, 33, highlighted), OpenListItem(f, true, 27, highlighted));
    }
    const QPalette palette = f.BootTempComboBox->view()->palette();
    EXPECT_EQ(OpenListItem(f, true, 0, true).pixelColor(79, 0), palette.color(QPalette::Highlight));
    EXPECT_EQ(OpenListItem(f, true, 0, false).pixelColor(79, 0), palette.color(QPalette::Base));
}

} // namespace
