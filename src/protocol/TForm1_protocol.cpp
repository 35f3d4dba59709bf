#include "app/TForm1.h"

#include "protocol/PacketCodec.h"
#include "protocol/UnitData.h"
#include "ui/WindowColours.h"

#include <QComboBox>
#include <QSpinBox>

namespace {

constexpr int kPauseAfterRequestMs = 50;

const QString kAbsentName = QStringLiteral("N/A");
const QString kNoSensorName = QStringLiteral("Optional");

void SetRowField(QWidget* field, bool active) {
    field->setEnabled(active);
    PaintField(field, active ? kWindowColour : kScrollBarColour);
}

} // namespace

void TForm1::ExchangePacket(const Frame& frame) {
    if (!usbConnected)
        return;
    exchange.Exchange(frame);
}

void TForm1::DispatchPacket(std::uint8_t packet, const QByteArray& payload) {
    switch (packet) {
    case Packet::Status:
        ComDataPacket1Packet(payload);
        break;
    case Packet::UnitSettings:
        ComDataPacket2Packet(payload);
        break;
    case Packet::FanSettings:
        ComDataPacket3Packet(payload);
        break;
    case Packet::DisplayLine1:
        ComDataPacket6Packet(payload);
        break;
    case Packet::DisplayLine2:
        ComDataPacket7Packet(payload);
        break;
    default:
        break;
    }
}

// ---- inbound --------------------------------------------------------------------------------

void TForm1::ComDataPacket1Packet(const QByteArray& payload) {
    try {
        StoreStatus(DecodeStatus(payload), unitData);
        // During construction the record fills but the window is left alone.
        if (!initialised || !windowShown)
            return;
        for (int slot = 1; slot < kSensorCount; ++slot) {
            if (unitData.sensors[slot].temperature == kAbsentSensorTemperature)
                unitData.sensors[slot].name = kAbsentName;
        }
        UpdateSensorRows();
    } catch (...) {
        ShowError(std::current_exception());
        if (!initialised || !windowShown)
            return;
    }
    UpdateUnitStatus();
}

void TForm1::UpdateSensorRows() {
    const std::array<QComboBox*, 4> nameBoxes{SetupSensorComboBox2, SetupSensorComboBox3,
                                              SetupSensorComboBox4, SetupSensorComboBox5};
    const std::array<QComboBox*, 4> directions{Par2HighLow, Par3HighLow, Par4HighLow, Par5HighLow};
    const std::array<QSpinBox*, 4> warnings{Sensor2Alm, Sensor3Alm, Sensor4Alm, Sensor5Alm};
    const std::array<QSpinBox*, 4> shutdowns{Sensor2ShDn, Sensor3ShDn, Sensor4ShDn, Sensor5ShDn};
    for (int row = 0; row < 4; ++row) {
        const QString& name = unitData.sensors[row + 1].name;
        QComboBox* nameBox = nameBoxes[row];
        bool rowActive = false;
        if (name == kAbsentName) {
            const QSignalBlocker blocker(nameBox);
            nameBox->setEditText(kAbsentName);
            SetRowField(nameBox, false);
        } else {
            if (!name.isEmpty()) {
                const QSignalBlocker blocker(nameBox);
                nameBox->setEditText(name);
            }
            SetRowField(nameBox, true);
            rowActive = nameBox->currentText() != kNoSensorName;
        }
        SetRowField(directions[row], rowActive);
        SetRowField(warnings[row], rowActive);
        SetRowField(shutdowns[row], rowActive);
    }
}

void TForm1::ComDataPacket2Packet(const QByteArray& payload) {
    Guarded([&] {
        unitData.unitSettings = DecodeUnitSettings(payload);
        unitData.unitSettingsReceived = true;
        OperHours->setText(QString::number(unitData.unitSettings.operatingHours));
    });
}

void TForm1::ComDataPacket3Packet(const QByteArray& payload) {
    Guarded([&] { unitData.fanSettings = DecodeFanSettings(payload); });
}

void TForm1::ComDataPacket6Packet(const QByteArray& payload) {
    Guarded([&] { StoreDisplayEcho(payload, 1, unitData); });
}

void TForm1::ComDataPacket7Packet(const QByteArray& payload) {
    Guarded([&] { StoreDisplayEcho(payload, 2, unitData); });
}

// ---- outbound -------------------------------------------------------------------------------

void TForm1::RequestInitialPackets() {
    for (const std::uint8_t packet :
         {Packet::Status, Packet::UnitSettings, Packet::FanSettings, Packet::DisplayLine1}) {
        ExchangePacket(RequestFrame(packet));
        services.clock->Pause(kPauseAfterRequestMs);
    }
}

// The block goes back to the unit only once the unit has reported it in this run and its hours
// are known: a block that never arrived is all zeros and would wipe the unit's settings.
void TForm1::SendUnitSettings() {
    Guarded([this] {
        if (!unitData.unitSettingsReceived || unitData.unitSettings.operatingHours <= 0)
            return;
        ExchangePacket(DataFrame(Packet::UnitSettings, EncodeUnitSettings(unitData.unitSettings)));
    });
}

void TForm1::SendFanSettings() {
    Guarded([this] {
        ExchangePacket(DataFrame(Packet::FanSettings, EncodeFanSettings(unitData.fanSettings)));
    });
}

void TForm1::SendPrimaryText() {
    Guarded([this] {
        ExchangePacket(DataFrame(Packet::DisplayLine1,
                                 EncodeTextLine(ToUnitText(PrimaryTextComboBox->currentText()))));
    });
}

void TForm1::SendSecondaryText() {
    Guarded([this] {
        ExchangePacket(DataFrame(Packet::DisplayLine1,
                                 EncodeTextLine(ToUnitText(SecondaryTextComboBox->currentText()))));
    });
}

void TForm1::SendLine2Text() {
    Guarded([this] { ExchangePacket(DataFrame(Packet::DisplayLine2, EncodeTextLine(line2Text))); });
}

void TForm1::SendBlankDisplayLines() {
    ExchangePacket(DataFrame(Packet::DisplayLine1, BlankLine()));
    ExchangePacket(DataFrame(Packet::DisplayLine2, BlankLine()));
}

void TForm1::SendShutdownCommand() {
    ExchangePacket(RequestFrame(Packet::Shutdown));
}
