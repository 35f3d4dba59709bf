// The record both logs hold: its header and line layout, and the snapshots the controller
// takes for the operation log at start and for the error log on warnings.
#include "log/KelvData.h"
#include "log/LogManager.h"
#include "support/ControllerFixture.h"

#include <QDir>
#include <QFile>

namespace {

TEST(LogRecordLayout, HeaderHas37TitlesEachFollowedByATab) {
    QByteArray expected = "Timestamp\tCpu speed\tCpu load\tRear fan\tFront fan\tDisplay line 1\t"
                          "Display line 2\tDisplay interval\tWarning handling\tBoot temp\t"
                          "Heater effect\tOperation hours\t";
    for (int n = 1; n <= 5; ++n) {
        const QByteArray s = "Sensor " + QByteArray::number(n);
        expected += s + "\t" + s + "Sensor temp\t" + s + "Sensor alarm value\t" + s +
                    "Sensor shutdown value\t" + s + "Higher/Lower\t";
    }
    EXPECT_EQ(LogHeaderLine(), expected);
    EXPECT_EQ(LogHeaderLine().count('\t'), 37);
}

SensorData Sensor(const char* name, int temperature, int warning, int shutdown, bool higher) {
    SensorData slot;
    slot.name = QString::fromUtf8(name);
    slot.temperature = temperature;
    slot.warningLimit = warning;
    slot.shutdownLimit = shutdown;
    slot.alarmOnHigher = higher;
    slot.alarmLevel = 2; // not written
    slot.number = 9;     // not written
    return slot;
}

// Limits held in Fahrenheit go out as they are held; temperatures are always Celsius.
TEST(LogRecordLayout, RecordHas38FieldsEachFollowedByATabStatusLast) {
    KelvData record;
    record.timestamp = QDateTime(QDate(2026, 12, 11), QTime(15, 4, 5));
    record.cpuSpeed = 2394;
    record.cpuLoad = 7;
    record.sensors = {Sensor("Evaporator", -41, 14, 32, true), Sensor("Ambient", 23, 41, 32, false),
                      Sensor("Optional", 0, 41, 32, false), Sensor("N/A", -99, 41, 32, false),
                      Sensor("", 0, 0, 0, false)};
    record.rearFanRpm = 1100;
    record.frontFanRpm = 65535;
    record.displayLine1Text = "Speed Load Temp";
    record.displayLine2Text = "DRALMIC";
    record.displayIntervalMs = 5000;
    record.warningHandlingText = "Alarm Sound";
    record.bootTemp = -33;
    record.heaterEffect = 100;
    record.operationHours = -1;
    record.statusText = "ALARM";

    const QByteArray line = LogRecordLine(record, QLocale(QLocale::English, QLocale::UnitedStates));

    EXPECT_EQ(line, "12/11/26 3:04:05 PM\t2394\t7\t1100\t65535\tSpeed Load Temp\tDRALMIC\t5000\t"
                    "Alarm Sound\t-33\t100\t-1\t"
                    "Evaporator\t-41\t14\t32\t1\t"
                    "Ambient\t23\t41\t32\t0\t"
                    "Optional\t0\t41\t32\t0\t"
                    "N/A\t-99\t41\t32\t0\t"
                    "\t0\t0\t0\t0\t"
                    "ALARM\t");
    EXPECT_EQ(line.count('\t'), 38);
}

TEST(LogRecordLayout, TimestampFollowsTheLocaleAndDropsTheTimeAtMidnight) {
    const struct {
        QLocale locale;
        QTime time;
        const char* text;
    } cases[] = {
        {QLocale(QLocale::English, QLocale::UnitedStates), QTime(15, 4, 5), "12/11/26 3:04:05 PM"},
        {QLocale(QLocale::German, QLocale::Germany), QTime(15, 4, 5), "11.12.26 15:04:05"},
        {QLocale(QLocale::German, QLocale::Germany), QTime(0, 0, 1), "11.12.26 00:00:01"},
        {QLocale(QLocale::German, QLocale::Germany), QTime(0, 0), "11.12.26"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LogTimestampText(QDateTime(QDate(2026, 12, 11), c.time), c.locale), c.text);
}

TEST(LogRecordLayout, ATabOrLineBreakInATextCannotSplitTheRecord) {
    KelvData record;
    record.displayLine1Text = "two\twords";
    record.statusText = "line\r\nbreak";
    const QByteArray line = LogRecordLine(record);
    EXPECT_EQ(line.count('\t'), 38);
    EXPECT_FALSE(line.contains('\n') || line.contains('\r'));
    EXPECT_TRUE(line.contains("two words\t"));
}

// ---- the controller's snapshots
// ------------------------------------------------------------------

class LogRecords : public ControllerFixture {
protected:
    QList<QByteArray> LogLines(const char* name) const {
        QFile file(files->dir.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return LogText::SplitLines(file.readAll());
    }
};

TEST_F(LogRecords, StartWritesOneOperationRecordOfTheLoadedSettings) {
    Prepare();
    clock->now = QDateTime(QDate(2026, 12, 11), QTime(9, 30, 0));
    TForm1& f = Build();
    const QList<QByteArray> lines = LogLines("Operatation.log");
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], LogHeaderLine());
    EXPECT_EQ(lines[1], " ");
    const QList<QByteArray> fields = lines[2].split('\t');
    ASSERT_EQ(fields.size(), 39);
    EXPECT_EQ(QString::fromUtf8(fields[0]), LogTimestampText(clock->now, QLocale::system()));
    EXPECT_EQ(fields[5], f.PrimaryTextComboBox->currentText().toUtf8());
    EXPECT_EQ(fields[7], "5000"); // the display interval timer after the first-start load
    EXPECT_EQ(fields[8], "Alarm Sound");
    EXPECT_EQ(fields[9], "-33");
    EXPECT_EQ(fields[10], "100"); // the heater at full power
    EXPECT_EQ(fields[11], "-1");
    EXPECT_EQ(fields[37], "Initializing");
    EXPECT_TRUE(LogLines("Error.log").isEmpty());
}

TEST_F(LogRecords, AStartUpRecordTheLogCouldNotTakeIsSavedAtClose) {
    Prepare();
    // Something that is no file stands at the log's name while the program starts.
    ASSERT_TRUE(QDir(files->dir.path()).mkdir("Operatation.log"));
    TForm1& f = Build();
    EXPECT_EQ(messages->shown.size(), 1);
    ASSERT_TRUE(QDir(files->dir.path()).rmdir("Operatation.log"));

    f.close();

    const QList<QByteArray> lines = LogLines("Operatation.log");
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], LogHeaderLine());
    EXPECT_EQ(lines[2].split('\t').value(37), "Initializing");
    EXPECT_EQ(messages->shown.size(), 1);
}

TEST_F(LogRecords, ErrorRecordTakesTheWindowsValuesAndTheSamplersFigures) {
    TForm1& f = Build();
    f.cpuSpeedMHz->store(3401);
    f.cpuLoadPercent->store(55);
    f.HeatingSlider->setValue(10);
    f.OperHours->setText("1234");
    f.BootTempComboBox->setCurrentIndex(5);
    f.SystemStatPanel->setText("FAN FAILED");
    unitData.frontFanRpm = 0;
    unitData.rearFanRpm = 900;

    f.WriteErrorLogRecord();

    const QList<QByteArray> lines = LogLines("Error.log");
    ASSERT_EQ(lines.size(), 3);
    const QList<QByteArray> fields = lines[2].split('\t');
    ASSERT_EQ(fields.size(), 39);
    EXPECT_EQ(fields.mid(1, 4), (QList<QByteArray>{"3401", "55", "900", "0"}));
    EXPECT_EQ(fields.mid(9, 3), (QList<QByteArray>{"-5", "100", "1234"}));
    EXPECT_EQ(fields[37], "FAN FAILED");
}

TEST_F(LogRecords, ASnapshotThatCannotReadANumberIsReportedAndWritesNothing) {
    TForm1& f = Build();
    f.BootTempComboBox->setCurrentIndex(-1);
    f.WriteErrorLogRecord();
    EXPECT_EQ(messages->shown, QStringList{"Error: '' is not a valid integer value"});
    EXPECT_TRUE(LogLines("Error.log").isEmpty());
}

TEST_F(LogRecords, TheViewButtonsOpenTheirLogs) {
    TForm1& f = Build();
    f.WriteErrorLogRecord();
    f.ViewLogButton->click();
    f.ErrorViewButton->click();
    ASSERT_EQ(launcher->runs.size(), 2u);
    EXPECT_EQ(launcher->runs[0].arguments, QStringList{files->dir.filePath("Operatation.log")});
    EXPECT_EQ(launcher->runs[1].arguments, QStringList{files->dir.filePath("Error.log")});
}

// The viewer waits in the event loop, so the user may close the program meanwhile.
TEST_F(LogRecords, ClosingTheProgramWhileALogIsOpenIsSafe) {
    TForm1& f = Build();
    launcher->whileRunning = [&] {
        f.UpdateDataTimerTimer(); // polling goes on meanwhile
        f.close();
    };
    f.ViewLogButton->click();
    EXPECT_FALSE(f.operationLog);
    EXPECT_TRUE(f.IsTerminating());
    EXPECT_TRUE(messages->shown.isEmpty()) << messages->shown.join('|').toStdString();
}

} // namespace
