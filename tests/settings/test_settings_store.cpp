#include "settings/SettingsStore.h"

#include "support/PrivateSettings.h"
#include "support/SettingsFile.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override { UsePrivateSettingsStore(dir); }

    // Reads go to the file itself, not to what this process already holds of it: the file is
    // copied into a second folder that the store then uses.
    void ReadFromDiskOnly() {
        const QByteArray text = SettingsFileText();
        UsePrivateSettingsStore(otherDir);
        QDir().mkpath(QFileInfo(SettingsStorePath()).path());
        QFile copy(SettingsStorePath());
        ASSERT_TRUE(copy.open(QFile::WriteOnly));
        copy.write(text);
    }

    QTemporaryDir dir;
    QTemporaryDir otherDir;
};

TEST_F(SettingsStoreTest, ReadingAnAbsentStoreFindsNothingAndCreatesNothing) {
    const SettingsStore store(SettingsStore::Access::Read);
    EXPECT_FALSE(store.ReadInteger(SettingName::kBootIndex));
    EXPECT_FALSE(store.ReadBoolean(SettingName::kFahrenCel));
    EXPECT_FALSE(store.ReadText(SettingName::SensorName(2)));
    EXPECT_FALSE(store.ReadDateTime(SettingName::kNextRemind));
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST_F(SettingsStoreTest, EveryTypeKeepsItsValueThroughTheFile) {
    const QString awkwardText = QStringLiteral("@home, Gehäuse \"kühl\"; 100%");
    const double remind = 46000.75; // a day count with a time of day
    {
        SettingsStore store(SettingsStore::Access::Write);
        store.WriteInteger(SettingName::SensorWarning(1), -2147483647 - 1);
        store.WriteInteger(SettingName::kDisplayUpdateInterval, 7);
        store.WriteBoolean(SettingName::kFahrenCel, false);
        store.WriteBoolean(SettingName::SensorHighLow(2), true);
        store.WriteText(SettingName::SensorName(2), awkwardText);
        store.WriteText(SettingName::SensorName(3), QStringLiteral("123"));
        store.WriteDateTime(SettingName::kNextRemind, remind);
        store.Commit();
    }
    // Booleans are kept as the integers 1 and 0.
    const auto values = StoredValues();
    EXPECT_EQ(values.at("FahrenCel"), "0");
    EXPECT_EQ(values.at("Sensor2HL"), "1");
    EXPECT_EQ(values.at("Display Update Interval"), "7");

    ReadFromDiskOnly();
    const SettingsStore store(SettingsStore::Access::Read);
    EXPECT_EQ(store.ReadInteger(SettingName::SensorWarning(1)), -2147483647 - 1);
    EXPECT_EQ(store.ReadInteger(SettingName::kDisplayUpdateInterval), 7);
    EXPECT_EQ(store.ReadBoolean(SettingName::kFahrenCel), false);
    EXPECT_EQ(store.ReadBoolean(SettingName::SensorHighLow(2)), true);
    EXPECT_EQ(store.ReadText(SettingName::SensorName(2)), awkwardText);
    EXPECT_EQ(store.ReadText(SettingName::SensorName(3)), QStringLiteral("123"));
    EXPECT_EQ(store.ReadDateTime(SettingName::kNextRemind), remind);
}

TEST_F(SettingsStoreTest, AnyNonZeroIntegerReadsAsTrue) {
    WriteSettingsFile("FahrenCel=-3\nSensor2HL=0\n");
    const SettingsStore store(SettingsStore::Access::Read);
    EXPECT_EQ(store.ReadBoolean(SettingName::kFahrenCel), true);
    EXPECT_EQ(store.ReadBoolean(SettingName::SensorHighLow(2)), false);
}

struct WrongType {
    const char* name;
    const char* line;
    std::function<void(const SettingsStore&)> read;
    const char* valueName;
};

void PrintTo(const WrongType& c, std::ostream* os) {
    *os << c.name;
}

class StoredValueOfTheWrongType : public SettingsStoreTest,
                                  public ::testing::WithParamInterface<WrongType> {};

TEST_P(StoredValueOfTheWrongType, IsAReadErrorNamingTheValue) {
    WriteSettingsFile(QString::fromUtf8(GetParam().line) + "\n");
    const SettingsStore store(SettingsStore::Access::Read);
    try {
        GetParam().read(store);
        FAIL() << "no read error";
    } catch (const SettingsReadError& error) {
        EXPECT_NE(std::string(error.what()).find(GetParam().valueName), std::string::npos)
            << error.what();
    }
}

const auto readInteger = [](const SettingsStore& s) { s.ReadInteger("Sensor1Warn"); };
const auto readBoolean = [](const SettingsStore& s) { s.ReadBoolean("FahrenCel"); };
const auto readText = [](const SettingsStore& s) { s.ReadText("Sensor2"); };
const auto readDateTime = [](const SettingsStore& s) { s.ReadDateTime("Next Remind"); };

INSTANTIATE_TEST_SUITE_P(
    Cases, StoredValueOfTheWrongType,
    ::testing::Values(
        WrongType{"textForInteger", "Sensor1Warn=abc", readInteger, "Sensor1Warn"},
        WrongType{"emptyForInteger", "Sensor1Warn=", readInteger, "Sensor1Warn"},
        WrongType{"fractionForInteger", "Sensor1Warn=1.5", readInteger, "Sensor1Warn"},
        WrongType{"beyond32Bits", "Sensor1Warn=2147483648", readInteger, "Sensor1Warn"},
        WrongType{"wordForBoolean", "FahrenCel=true", readBoolean, "FahrenCel"},
        WrongType{"listForText", "Sensor2=left, right", readText, "Sensor2"},
        WrongType{"bytesForText", "Sensor2=@ByteArray(ab)", readText, "Sensor2"},
        WrongType{"sevenBytesForDateTime", "Next%20Remind=@ByteArray(1234567)", readDateTime,
                  "Next Remind"},
        WrongType{"textForDateTime", "Next%20Remind=46000", readDateTime, "Next Remind"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SettingsStoreTest, FileThatCannotBeReadIsReportedAndNeverReplaced) {
    // A folder where the file belongs: it can be neither read nor written.
    ASSERT_TRUE(QDir().mkpath(SettingsStorePath()));
    EXPECT_THROW(SettingsStore(SettingsStore::Access::Read), SettingsReadError);
    EXPECT_THROW(SettingsStore(SettingsStore::Access::Write), SettingsWriteError);
    EXPECT_TRUE(QFileInfo(SettingsStorePath()).isDir());
}

TEST_F(SettingsStoreTest, FailedSaveIsReportedWithTheFileItWasFor) {
    BlockSettingsFolder();
    SettingsStore store(SettingsStore::Access::Write);
    store.WriteInteger(SettingName::kBootIndex, 25);
    try {
        store.Commit();
        FAIL() << "the save was reported as done";
    } catch (const SettingsWriteError& error) {
        EXPECT_EQ(
            QString::fromUtf8(error.what()),
            QStringLiteral("the settings could not be saved to \"%1\"").arg(SettingsStorePath()));
    }
    EXPECT_TRUE(QFileInfo(QFileInfo(SettingsStorePath()).path()).isFile());
}

TEST_F(SettingsStoreTest, RemovingEverythingLeavesNoValue) {
    WriteSettingsFile("BootIndex=25\nSensor2=Ambient\n");
    {
        SettingsStore store(SettingsStore::Access::Write);
        store.RemoveAll();
        store.Commit();
    }
    EXPECT_TRUE(StoredValues().empty());
    ReadFromDiskOnly();
    const SettingsStore store(SettingsStore::Access::Read);
    EXPECT_FALSE(store.ReadInteger(SettingName::kBootIndex));
    EXPECT_FALSE(store.ReadText(SettingName::SensorName(2)));
}

} // namespace
