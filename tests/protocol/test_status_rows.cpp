#include "support/ControllerFixture.h"

#include "ui/WindowColours.h"

namespace {

// A status payload with the given raw tenths for sensors 1..5.
QByteArray StatusWith(std::array<int, 5> tenths) {
    QByteArray payload(24, '\0');
    for (int i = 0; i < 5; ++i)
        payload = PayloadWithWord(payload, 3 + 2 * i, tenths[i]);
    return payload;
}

class StatusRows : public ControllerFixture {
protected:
    struct Row {
        QComboBox* name;
        QComboBox* direction;
        QSpinBox* warning;
        QSpinBox* shutdown;
    };
    Row RowOf(int sensor) {
        TForm1& f = *form;
        const Row rows[] = {
            {f.SetupSensorComboBox2, f.Par2HighLow, f.Sensor2Alm, f.Sensor2ShDn},
            {f.SetupSensorComboBox3, f.Par3HighLow, f.Sensor3Alm, f.Sensor3ShDn},
            {f.SetupSensorComboBox4, f.Par4HighLow, f.Sensor4Alm, f.Sensor4ShDn},
            {f.SetupSensorComboBox5, f.Par5HighLow, f.Sensor5Alm, f.Sensor5ShDn},
        };
        return rows[sensor - 2];
    }
    void ExpectRowActive(int sensor, bool active) {
        const Row row = RowOf(sensor);
        for (QWidget* field :
             std::initializer_list<QWidget*>{row.direction, row.warning, row.shutdown}) {
            SCOPED_TRACE("sensor " + std::to_string(sensor) + " " +
                         field->objectName().toStdString());
            EXPECT_EQ(field->isEnabled(), active);
            EXPECT_EQ(FieldColour(field), active ? kWindowColour : kScrollBarColour);
        }
    }
};

TEST_F(StatusRows, AbsentSensorIsMarkedAndItsRowSwitchedOffForTheRestOfTheRun) {
    TForm1& f = Build();
    unitData.sensors[2].name = "Compressor";
    f.ComDataPacket1Packet(StatusWith({-990, 210, -990, 300, 300}));

    EXPECT_EQ(unitData.sensors[0].temperature, -99);
    EXPECT_EQ(unitData.sensors[0].name, "Evaporator"); // sensor 1 is never marked
    EXPECT_EQ(unitData.sensors[2].name, "N/A");
    EXPECT_EQ(f.SetupSensorComboBox3->currentText(), "N/A");
    EXPECT_FALSE(f.SetupSensorComboBox3->isEnabled());
    EXPECT_EQ(FieldColour(f.SetupSensorComboBox3), kScrollBarColour);
    ExpectRowActive(3, false);

    // A valid reading later does not bring the row back.
    f.ComDataPacket1Packet(StatusWith({-100, 210, 250, 300, 300}));
    EXPECT_EQ(unitData.sensors[2].name, "N/A");
    EXPECT_FALSE(f.SetupSensorComboBox3->isEnabled());
    ExpectRowActive(3, false);
}

TEST_F(StatusRows, RowsFollowTheirNameBoxes) {
    TForm1& f = Build();
    unitData.sensors[1].name = "";           // empty: box text stays, box enabled
    unitData.sensors[2].name = "Compressor"; // a name: row active
    unitData.sensors[3].name = "Optional";   // no sensor fitted: row inactive
    f.SetupSensorComboBox2->setEditText("Harddisk");
    f.SetupSensorComboBox2->setEnabled(false);

    f.ComDataPacket1Packet(StatusWith({-100, 210, 250, 300, 300}));

    EXPECT_EQ(f.SetupSensorComboBox2->currentText(), "Harddisk");
    EXPECT_TRUE(f.SetupSensorComboBox2->isEnabled());
    ExpectRowActive(2, true);
    EXPECT_EQ(f.SetupSensorComboBox3->currentText(), "Compressor");
    ExpectRowActive(3, true);
    EXPECT_EQ(f.SetupSensorComboBox4->currentText(), "Optional");
    EXPECT_TRUE(f.SetupSensorComboBox4->isEnabled());
    ExpectRowActive(4, false);
}

TEST_F(StatusRows, BeforeTheWindowIsShownOnlyTheRecordChanges) {
    TForm1& f = Build(false);
    unitData.sensors[2].name = "Compressor";
    f.ComDataPacket1Packet(StatusWith({-100, 210, -990, 300, 300}));
    EXPECT_EQ(unitData.sensors[2].temperature, -99);
    EXPECT_EQ(unitData.sensors[2].name, "Compressor");
    EXPECT_NE(f.SetupSensorComboBox3->currentText(), "N/A");
}

TEST_F(StatusRows, NameBoxChangesByTheDecoderRaiseNoChangeHandler) {
    TForm1& f = Build();
    int changes = 0;
    QObject::connect(f.SetupSensorComboBox3, &QComboBox::editTextChanged, [&] { ++changes; });
    QObject::connect(f.SetupSensorComboBox3, &QComboBox::activated, [&] { ++changes; });
    f.ComDataPacket1Packet(StatusWith({-100, 210, -990, 300, 300}));
    EXPECT_EQ(f.SetupSensorComboBox3->currentText(), "N/A");
    EXPECT_EQ(changes, 0);
}

} // namespace
