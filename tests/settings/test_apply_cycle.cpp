#include "support/ControllerFixture.h"
#include "support/SettingsFile.h"

#include "protocol/PacketCodec.h"

#include <functional>

namespace {

// What one apply tick did, in order: "packet N" for each data frame sent to the unit and
// "stored A B ..." for the values that reached the file between two frames.
class ApplyCycle : public ControllerFixture {
protected:
    TForm1& BuildWithReportedHours() {
        unit.unitSettings = PayloadWithWord(QByteArray(24, '\0'), 17, 120);
        TForm1& f = Build();
        TakeWritten();
        return f;
    }

    QStringList Tick(TForm1& f) {
        QStringList events;
        std::map<QString, QString> seen = StoredValues();
        const auto noteStored = [&] {
            const std::map<QString, QString> now = StoredValues();
            QStringList changed;
            for (const auto& [name, value] : now) {
                const auto before = seen.find(name);
                if (before == seen.end() || before->second != value)
                    changed.append(name);
            }
            if (!changed.isEmpty())
                events.append("stored " + changed.join(' '));
            seen = now;
        };
        const ScriptedUnitLink::Responder answer = link->responder;
        link->responder = [&](const QByteArray& frame) {
            noteStored();
            if (frame.size() == kDataFrameLength)
                events.append(QStringLiteral("packet %1").arg(int(frame[1])));
            return answer(frame);
        };
        f.WriteChangesTimerTimer();
        noteStored();
        link->responder = answer;
        return events;
    }
};

struct FlagCase {
    const char* name;
    std::function<void(TForm1&)> set;
    QStringList events;
};

void PrintTo(const FlagCase& c, std::ostream* os) {
    *os << c.name;
}

class ApplyTick : public ApplyCycle, public ::testing::WithParamInterface<FlagCase> {};

TEST_P(ApplyTick, ServesItsFlagsInTheFixedOrderAndClearsThem) {
    TForm1& f = BuildWithReportedHours();
    // Sensor 3 is fitted, so its name is one to store.
    f.SetupSensorComboBox3->setCurrentIndex(3);
    f.ClearDirtyFlags();
    GetParam().set(f);
    EXPECT_EQ(Tick(f), GetParam().events);
    EXPECT_TRUE(messages->shown.isEmpty()) << messages->shown.join('|').toStdString();
    EXPECT_TRUE(Tick(f).isEmpty()) << "the next tick had something left to do";
}

const QString kAllSaved = "stored BootIndex Sensor1SDN Sensor1Warn Sensor2HL Sensor2SDN "
                          "Sensor2Warn Sensor3 Sensor3HL Sensor3SDN Sensor3Warn Sensor4HL "
                          "Sensor4SDN Sensor4Warn Sensor5HL Sensor5SDN Sensor5Warn";

INSTANTIATE_TEST_SUITE_P(
    Cases, ApplyTick,
    ::testing::Values(
        FlagCase{"fans", [](TForm1& f) { f.fanSettingsChanged = true; }, {"packet 3"}},
        FlagCase{"primaryText", [](TForm1& f) { f.displayTextChanged = true; }, {"packet 6"}},
        FlagCase{"displayParams",
                 [](TForm1& f) { f.displayParamsChanged = true; },
                 {"stored Param1Index Param2Index Param3Index"}},
        FlagCase{"units", [](TForm1& f) { f.unitsChanged = true; }, {"packet 2"}},
        FlagCase{"highLow",
                 [](TForm1& f) { f.highLowChanged = true; },
                 {"stored Sensor2HL Sensor3HL Sensor4HL Sensor5HL"}},
        // Only fitted sensors have a name to store.
        FlagCase{"names", [](TForm1& f) { f.sensorNamesChanged = true; }, {"stored Sensor3"}},
        FlagCase{"warningLimits",
                 [](TForm1& f) { f.warningLimitsChanged = true; },
                 {"stored Sensor1Warn Sensor2Warn Sensor3Warn Sensor4Warn Sensor5Warn"}},
        FlagCase{"shutdownLimits",
                 [](TForm1& f) { f.shutdownLimitsChanged = true; },
                 {"stored Sensor1SDN Sensor2SDN Sensor3SDN Sensor4SDN Sensor5SDN"}},
        FlagCase{"bootTemperature",
                 [](TForm1& f) { f.bootTempChanged = true; },
                 {"stored BootIndex", "packet 3"}},
        FlagCase{"all",
                 [](TForm1& f) { f.SetAllDirtyFlags(); },
                 {"packet 3", "packet 6", "stored Param1Index Param2Index Param3Index", "packet 2",
                  kAllSaved, "packet 3"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ApplyCycle, WithTheDataTimerStoppedFiveFlagsAreDroppedAndNothingIsDone) {
    TForm1& f = BuildWithReportedHours();
    f.UpdateDataTimer->stop();
    f.SetAllDirtyFlags();
    EXPECT_TRUE(Tick(f).isEmpty());
    EXPECT_TRUE(TakeWritten().empty());
    EXPECT_FALSE(f.sensorNamesChanged || f.warningLimitsChanged || f.shutdownLimitsChanged ||
                 f.bootTempChanged || f.unitsChanged);
    EXPECT_TRUE(f.fanSettingsChanged && f.displayTextChanged && f.displayParamsChanged &&
                f.highLowChanged);
}

TEST_F(ApplyCycle, BootItemIsStoredThenSentAsTenthsOfADegree) {
    TForm1& f = BuildWithReportedHours();
    UserPicks(f.BootTempComboBox, 25); // "-25"
    ASSERT_TRUE(f.bootTempChanged);
    EXPECT_EQ(Tick(f), (QStringList{"stored BootIndex", "packet 3"}));
    EXPECT_EQ(StoredValues().at("BootIndex"), "25");
    EXPECT_EQ(unitData.fanSettings.bootTempTenths, -250);
    const auto written = TakeWritten();
    ASSERT_EQ(written.size(), 1u);
    EXPECT_EQ(Hex(written[0].mid(3 + 6, 2)), "06 ff");
}

struct FailedSave {
    const char* name;
    std::function<void(TForm1&)> change;
    std::function<bool(const TForm1&)> flag;
    std::function<void(const TForm1&)> recordUnchanged;
};

void PrintTo(const FailedSave& c, std::ostream* os) {
    *os << c.name;
}

class SaveThatFails : public ApplyCycle, public ::testing::WithParamInterface<FailedSave> {};

// The change is reported and dropped: no retry, nothing sent, the record as it was.
TEST_P(SaveThatFails, IsReportedClearsItsFlagAndLeavesTheRecord) {
    TForm1& f = BuildWithReportedHours();
    GetParam().change(f);
    ASSERT_TRUE(GetParam().flag(f));
    BlockSettingsFolder();
    f.WriteChangesTimerTimer();
    ASSERT_EQ(messages->shown.size(), 1);
    EXPECT_EQ(messages->shown[0], QStringLiteral("Error: the settings could not be saved to \"%1\"")
                                      .arg(SettingsStorePath()));
    EXPECT_FALSE(GetParam().flag(f));
    EXPECT_TRUE(TakeWritten().empty());
    GetParam().recordUnchanged(f);
    f.WriteChangesTimerTimer();
    EXPECT_EQ(messages->shown.size(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SaveThatFails,
    ::testing::Values(
        FailedSave{"direction", [](TForm1& f) { UserPicks(f.Par2HighLow, 0); },
                   [](const TForm1& f) { return f.highLowChanged; },
                   [](const TForm1&) { EXPECT_FALSE(unitData.sensors[1].alarmOnHigher); }},
        FailedSave{"bootTemperature", [](TForm1& f) { UserPicks(f.BootTempComboBox, 25); },
                   [](const TForm1& f) { return f.bootTempChanged; },
                   [](const TForm1&) { EXPECT_NE(unitData.fanSettings.bootTempTenths, -250); }},
        FailedSave{"sensorName", [](TForm1& f) { f.SetupSensorComboBox4->setEditText("Pump"); },
                   [](const TForm1& f) { return f.sensorNamesChanged; },
                   // The name box itself already named the slot; the save has nothing to undo.
                   [](const TForm1&) { EXPECT_EQ(unitData.sensors[3].name, "Pump"); }}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
