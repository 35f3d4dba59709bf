#include "display/DisplayLines.h"

#include "support/ControllerFixture.h"
#include "support/SettingsFile.h"

#include "protocol/PacketCodec.h"

#include <QTest>

namespace {

struct Line2Case {
    const char* name;
    std::array<int, 3> parameters;
    bool celsius;
    char variant;
    QByteArray line;
};

void PrintTo(const Line2Case& c, std::ostream* os) {
    *os << c.name;
}

class Line2 : public ::testing::TestWithParam<Line2Case> {};

// Sensors at -38, 12, -99 (absent), 0 and 100 °C; the CPU at 2400 MHz and 45 %.
TEST_P(Line2, JoinsTheThreePartsWithSingleBlanks) {
    Line2Inputs inputs;
    inputs.parameters = GetParam().parameters;
    inputs.temperatures = {-38, 12, -99, 0, 100};
    inputs.cpuSpeedMHz = 2400;
    inputs.cpuLoadPercent = 45;
    inputs.celsius = GetParam().celsius;
    inputs.displayVariant = static_cast<std::uint8_t>(GetParam().variant);
    EXPECT_EQ(Hex(ComposeLine2Text(inputs)).toStdString(), Hex(GetParam().line).toStdString());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Line2,
    ::testing::Values(Line2Case{"defaultsVariantW", {5, 6, 0}, true, 'W', "2400MHz 45% -38\xB2"},
                      Line2Case{"defaultsVariantE", {5, 6, 0}, true, 'E', "2400MHz 45% -38\xDF"},
                      Line2Case{"noVariantNoSign", {5, 6, 0}, true, '\0', "2400MHz 45% -38"},
                      Line2Case{"otherVariantNoSign", {0, 1, 2}, true, 'X', "-38 12 -99"},
                      Line2Case{"everySensor", {1, 2, 3}, true, 'W', "12\xB2 -99\xB2 0\xB2"},
                      Line2Case{"fifthSensor", {4, 4, 4}, true, 'E', "100\xDF 100\xDF 100\xDF"},
                      Line2Case{"fahrenheit", {0, 1, 4}, false, 'E', "-36\xDF 54\xDF 212\xDF"},
                      Line2Case{"blankParameter", {5, 6, 7}, true, 'W', "2400MHz 45%     "},
                      Line2Case{"blanksOnly", {7, 7, 7}, true, 'W', "              "},
                      Line2Case{"noSelection", {-1, 6, -1}, true, 'W', " 45% "}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Line2Text, FahrenheitAtMinus40IsMinus40) {
    Line2Inputs inputs;
    inputs.parameters = {0, 7, 7};
    inputs.temperatures[0] = -40;
    inputs.celsius = false;
    inputs.displayVariant = 'E';
    EXPECT_TRUE(ComposeLine2Text(inputs).startsWith("-40\xDF "));
}

TEST(DisplayInterval, ItemsMapToTheirIntervalsAndNeverToNone) {
    const std::optional<int> expected[] = {5000,   10000,  30000,        60000,       180000,
                                           300000, 600000, std::nullopt, std::nullopt};
    for (int item = 0; item <= 8; ++item)
        EXPECT_EQ(DisplayIntervalMs(item), expected[item]) << item;
    EXPECT_EQ(DisplayIntervalMs(-1), std::nullopt);
}

class DisplayLines : public ControllerFixture {
protected:
    TForm1& BuildReportingVariant(char variant, int evaporatorTenths = -400) {
        unit.unitSettings = PayloadWithWord(QByteArray(24, '\0'), 17, 120);
        unit.unitSettings[3] = variant;
        // A cold unit with the second sensor fitted and the other three absent, so that no
        // alarm (and no pending shutdown) changes what line 2 carries.
        const int tenths[] = {evaporatorTenths, 250, -990, -990, -990};
        for (int i = 0; i < 5; ++i)
            unit.status = PayloadWithWord(unit.status, 3 + 2 * i, tenths[i]);
        TForm1& f = Build();
        TakeWritten();
        return f;
    }

    // The payload text of each display frame written since the last call.
    QStringList LinesSent() {
        QStringList lines;
        for (const QByteArray& frame : TakeWritten()) {
            if (frame.size() == kDataFrameLength)
                lines.append(QStringLiteral("%1:%2")
                                 .arg(int(frame[1]))
                                 .arg(QString::fromLatin1(frame.mid(3, 24))));
        }
        return lines;
    }
};

TEST_F(DisplayLines, DataTickSendsLine2FromTheChosenReadings) {
    TForm1& f = BuildReportingVariant('W');
    *f.cpuSpeedMHz = 2400;
    *f.cpuLoadPercent = 45;
    unitData.sensors[0].temperature = -38;
    f.UpdateDataTimerTimer();
    const auto written = TakeWritten();
    ASSERT_EQ(written.size(), 2u);
    EXPECT_EQ(written[0].mid(3, 24), QByteArray("2400MHz 45% -38\xB2") + QByteArray(8, ' '));
    EXPECT_EQ(f.line2Text, QByteArray("2400MHz 45% -38\xB2"));
    EXPECT_EQ(Hex(written[1]), "01 01 04");
}

// A decision of this program: while a critical shutdown is pending, someone standing at the
// unit reads that on line 2 instead of readings.
TEST_F(DisplayLines, PendingShutdownPutsShuttingDownOnLine2) {
    // The evaporator stays past its shut-down limit, so the data tick keeps the shutdown on.
    TForm1& f = BuildReportingVariant('W', 50);
    f.ShutDownTimer->start();
    f.UpdateDataTimerTimer();
    UserPicks(f.DispParam1, 0);
    EXPECT_EQ(LinesSent(),
              (QStringList{"7:SHUTTING DOWN           ", "7:SHUTTING DOWN           "}));
    EXPECT_EQ(f.line2Text, "SHUTTING DOWN");

    f.ShutDownTimer->stop();
    *f.cpuLoadPercent = 0;
    f.ComposeLine2();
    EXPECT_EQ(f.line2Text, QByteArray("5\xB2 0% 5\xB2"));
}

TEST_F(DisplayLines, ParameterChoiceSendsLine2AtOnceAndIsStoredByTheApplyCycle) {
    TForm1& f = BuildReportingVariant('\0');
    *f.cpuSpeedMHz = 3100;
    *f.cpuLoadPercent = 0;
    UserPicks(f.DispParam3, 7);
    EXPECT_EQ(LinesSent(), QStringList{"7:3100MHz 0%              "});
    EXPECT_TRUE(f.displayParamsChanged);
    f.WriteChangesTimerTimer();
    EXPECT_EQ(StoredValues().at("Param3Index"), "7");
    EXPECT_EQ(StoredValues().at("Param1Index"), "5");
}

TEST_F(DisplayLines, LineOneAlternatesAndStoresBothTextsOnEveryTick) {
    TForm1& f = BuildReportingVariant('W');
    f.SecondaryTextComboBox->setEditText("Second text");
    EXPECT_FALSE(f.displayTextChanged);
    f.DisplayIntervalTimerTimer();
    f.DisplayIntervalTimerTimer();
    f.DisplayIntervalTimerTimer();
    EXPECT_EQ(LinesSent(), (QStringList{"6:Speed Load Temp         ", "6:Second text             ",
                                        "6:Speed Load Temp         "}));
    EXPECT_EQ(StoredValues().at("DisplayLine1P"), "Speed Load Temp");
    EXPECT_EQ(StoredValues().at("DisplayLine1S"), "Second text");
}

TEST_F(DisplayLines, FailedStoreOnAnAlternationTickKeepsTheSend) {
    TForm1& f = BuildReportingVariant('W');
    BlockSettingsFolder();
    f.DisplayIntervalTimerTimer();
    EXPECT_EQ(LinesSent(), QStringList{"6:Speed Load Temp         "});
    ASSERT_EQ(messages->shown.size(), 1);
    EXPECT_TRUE(messages->shown[0].startsWith("Error: the settings could not be saved"));
    EXPECT_FALSE(f.showPrimaryText);
}

TEST_F(DisplayLines, TypedPrimaryTextIsSentByTheNextApplyTickCutTo16) {
    TForm1& f = BuildReportingVariant('W');
    f.PrimaryTextComboBox->lineEdit()->selectAll();
    QTest::keyClicks(f.PrimaryTextComboBox->lineEdit(), "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(f.PrimaryTextComboBox->currentText(), "ABCDEFGHIJKLMNOP");
    EXPECT_TRUE(f.displayTextChanged);
    f.WriteChangesTimerTimer();
    EXPECT_EQ(LinesSent(), QStringList{"6:ABCDEFGHIJKLMNOP        "});
}

TEST_F(DisplayLines, LongStoredPrimaryTextReachesTheUnitAsItsFirst16Characters) {
    WriteSettingsFile("DisplayLine1P=Twenty characters ok\n");
    TForm1& f = BuildReportingVariant('W');
    f.DisplayIntervalTimerTimer();
    EXPECT_EQ(LinesSent(), QStringList{"6:Twenty character        "});
}

struct IntervalCase {
    const char* name;
    int item;
    int interval;
    bool running;
};

void PrintTo(const IntervalCase& c, std::ostream* os) {
    *os << c.name;
}

class IntervalChoice : public DisplayLines, public ::testing::WithParamInterface<IntervalCase> {};

TEST_P(IntervalChoice, SetsTheAlternationAndIsStoredAtOnce) {
    TForm1& f = Build();
    f.DisplayIntervalTimer->stop();
    UserPicks(f.DispLine1Int, GetParam().item);
    EXPECT_EQ(f.DisplayIntervalTimer->isActive(), GetParam().running);
    if (GetParam().running) {
        EXPECT_EQ(f.DisplayIntervalTimer->interval(), GetParam().interval);
    }
    EXPECT_EQ(StoredValues().at("Display Update Interval"), QString::number(GetParam().item));
}

INSTANTIATE_TEST_SUITE_P(Cases, IntervalChoice,
                         ::testing::Values(IntervalCase{"fiveSeconds", 0, 5000, true},
                                           IntervalCase{"thirtySeconds", 2, 30000, true},
                                           IntervalCase{"tenMinutes", 6, 600000, true},
                                           IntervalCase{"never", 7, 0, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DisplayLines, NeverStopsTheAlternationUntilAnIntervalIsChosenAgain) {
    TForm1& f = Build();
    ASSERT_TRUE(f.DisplayIntervalTimer->isActive());
    UserPicks(f.DispLine1Int, 7);
    EXPECT_FALSE(f.DisplayIntervalTimer->isActive());
    UserPicks(f.DispLine1Int, 2);
    EXPECT_TRUE(f.DisplayIntervalTimer->isActive());
    EXPECT_EQ(f.DisplayIntervalTimer->interval(), 30000);
}

} // namespace
