#include "support/ControllerFixture.h"

#include "log/LogManager.h"
#include "protocol/PacketCodec.h"

namespace {

QByteArray FramePayload(const QByteArray& frame) {
    return frame.mid(3, 24);
}

class Lifecycle : public ControllerFixture {};

TEST_F(Lifecycle, StartRequestsTheFourPacketsThenSendsTheNormalPresetOverTheUnitsBlock) {
    // The unit's own block: slow fans, boot temperature -33, private words and bytes.
    FanSettingsBlock reported;
    reported.fanLimitRpm = 1800;
    reported.frontFanLowRpm = reported.frontFanHighRpm = 700;
    reported.bootTempTenths = -330;
    reported.words4to7 = {11, 22, 33, 44};
    reported.rearFanLowRpm = reported.rearFanHighRpm = 650;
    reported.bytes20to23 = {0xA1, 0xB2, 0xC3, 0xD4};
    const Payload reportedPayload = EncodeFanSettings(reported);
    unit.fanSettings = QByteArray(reinterpret_cast<const char*>(reportedPayload.data()), 24);

    TForm1& f = Build();

    const auto written = TakeWritten();
    ASSERT_EQ(written.size(), 5u);
    EXPECT_EQ(Hex(written[0]), "01 01 04");
    EXPECT_EQ(Hex(written[1]), "01 02 04");
    EXPECT_EQ(Hex(written[2]), "01 03 04");
    EXPECT_EQ(Hex(written[3]), "01 06 04");
    ASSERT_EQ(written[4].size(), 28);
    EXPECT_EQ(Hex(written[4].left(3)), "01 03 02");

    FanSettingsBlock expected = reported;
    expected.fanLimitRpm = 2100;
    expected.frontFanLowRpm = expected.rearFanLowRpm = 1100;
    expected.frontFanHighRpm = expected.rearFanHighRpm = 1400;
    EXPECT_EQ(DecodeFanSettings(FramePayload(written[4])), expected);

    EXPECT_EQ(clock->pauses, (std::vector<int>{50, 50, 50, 50, 100}));
    EXPECT_TRUE(f.initialised);
    EXPECT_TRUE(f.usbConnected);
    EXPECT_TRUE(messages->shown.isEmpty()) << messages->shown.join('|').toStdString();
    EXPECT_EQ(f.PageControl1->currentIndex(), 0);
    EXPECT_EQ(f.windowTitle(), "Tarvik II Control Centre 1.23");
}

TEST_F(Lifecycle, StartLeavesTimersRunningWithTheirIntervalsAndFlagsClear) {
    TForm1& f = Build();
    struct TimerCase {
        QTimer* timer;
        int interval;
        bool running;
    };
    const TimerCase cases[] = {
        {f.StatusTimer, 1500, true},
        {f.UpdateDataTimer, 3000, true},
        {f.WriteChangesTimer, 4000, true},
        {f.DisplayIntervalTimer, 5000, true},
        {f.MaintainTimer, 30000, true},
        {f.HoursRunTimer, 3600000, true},
        {f.HeatingCountDownTimer, 60000, false},
        {f.ShutDownTimer, 180000, false},
        {f.BlinkTimer, 300, false},
    };
    for (const TimerCase& c : cases) {
        SCOPED_TRACE(c.timer->objectName().toStdString() + " " + std::to_string(c.interval));
        EXPECT_EQ(c.timer->interval(), c.interval);
        EXPECT_EQ(c.timer->isActive(), c.running);
    }
    EXPECT_FALSE(f.fanSettingsChanged || f.displayTextChanged || f.displayParamsChanged ||
                 f.highLowChanged || f.sensorNamesChanged || f.unitsChanged ||
                 f.warningLimitsChanged || f.shutdownLimitsChanged || f.bootTempChanged);
    EXPECT_TRUE(f.showPrimaryText);
    ASSERT_TRUE(f.traceMessages);
    EXPECT_TRUE(f.traceMessages->isEmpty());
    EXPECT_EQ(trayHintSelection.load(), 0);
    EXPECT_EQ(f.errorLog->GetFileName(), files->dir.path() + "/Error.log");
    EXPECT_EQ(f.operationLog->GetFileName(), files->dir.path() + "/Operatation.log");
    EXPECT_TRUE(f.cpuSpeedMHz && f.cpuLoadPercent);
}

// The first status reply fills the record during start, but the window shows it only from
// the first data tick on.
TEST_F(Lifecycle, StatusReceivedDuringStartFillsTheRecordButNotTheWindow) {
    unit.status = PayloadWithWord(QByteArray(24, '\0'), 7, -990); // sensor 3 absent
    unit.status[2] = 0x20;
    TForm1& f = Build();
    EXPECT_EQ(unitData.unitState, 0x20);
    EXPECT_EQ(unitData.sensors[2].temperature, -99);
    EXPECT_NE(unitData.sensors[2].name, "N/A");
    EXPECT_NE(f.SetupSensorComboBox3->currentText(), "N/A");
}

TEST_F(Lifecycle, NoUnitEndsTheProgramWithItsMessageBeforeAnythingElse) {
    Prepare();
    link->unitPresent = false;
    TForm1& f = Build(false);
    EXPECT_EQ(messages->shown, QStringList{"USB connection failed - unable to run program"});
    EXPECT_TRUE(f.IsTerminating());
    EXPECT_FALSE(f.initialised);
    EXPECT_TRUE(link->written.empty());
    EXPECT_FALSE(f.UpdateDataTimer->isActive());
    EXPECT_FALSE(f.StatusTimer->isActive());
    EXPECT_FALSE(f.cpuSpeedMHz);
    // The close sequence already ran: the logs are released and nothing was written.
    EXPECT_FALSE(f.errorLog);
    EXPECT_FALSE(f.operationLog);
    EXPECT_TRUE(files->dir.isValid());
    EXPECT_TRUE(
        QDir(files->dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

TEST_F(Lifecycle, ErrorWhileConnectingLeavesTheWindowRunningWithoutSending) {
    Prepare();
    link->openThrows = true;
    TForm1& f = Build();
    EXPECT_EQ(messages->shown, QStringList{"Error: layer start failed"});
    EXPECT_FALSE(f.usbConnected);
    EXPECT_FALSE(f.IsTerminating());
    EXPECT_TRUE(f.initialised);
    EXPECT_TRUE(link->written.empty());
    // Its timers run, but no exchange ever reaches the link.
    f.UpdateDataTimerTimer();
    EXPECT_TRUE(link->written.empty());
    EXPECT_TRUE(f.traceMessages->isEmpty());
}

TEST_F(Lifecycle, ErrorDuringConstructionSkipsTheRestButMarksTheWindowInitialised) {
    Prepare();
    files->failWith = "no data folder";
    TForm1& f = Build();
    EXPECT_EQ(messages->shown, QStringList{"Error: no data folder"});
    EXPECT_TRUE(f.initialised);
    EXPECT_TRUE(link->written.empty());
    for (QTimer* timer : {f.StatusTimer, f.UpdateDataTimer, f.WriteChangesTimer,
                          f.DisplayIntervalTimer, f.MaintainTimer, f.HoursRunTimer})
        EXPECT_FALSE(timer->isActive());
}

// ---- close sequence ---------------------------------------------------------------------------

struct CloseCase {
    const char* name;
    bool unitReportedSettings;
    const char* hoursShown;
    bool expectPacket2;
    int expectedHours;
};

class CloseSequence : public ControllerFixture, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(CloseSequence, ReturnsHoursOnlyForAReportedBlockThenBlanksBothLines) {
    const CloseCase& c = GetParam();
    unit.unitSettings = PayloadWithWord(QByteArray(24, '\x11'), 17, 3600);
    unit.unitSettings[1] = 'C';
    unit.answersUnitSettings = c.unitReportedSettings;
    TForm1& f = Build();
    f.OperHours->setText(c.hoursShown);
    TakeWritten();

    f.close();

    const auto written = TakeWritten();
    std::vector<QByteArray> expected;
    if (c.expectPacket2) {
        UnitSettingsBlock block = DecodeUnitSettings(unit.unitSettings);
        block.operatingHours = c.expectedHours;
        const Payload payload = EncodeUnitSettings(block);
        expected.push_back(QByteArray("\x01\x02\x02", 3) +
                           QByteArray(reinterpret_cast<const char*>(payload.data()), 24) + "\x04");
    }
    expected.push_back(QByteArray("\x01\x06\x02", 3) + QByteArray(24, ' ') + "\x04");
    expected.push_back(QByteArray("\x01\x07\x02", 3) + QByteArray(24, ' ') + "\x04");
    ASSERT_EQ(written.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(Hex(written[i]), Hex(expected[i])) << "frame " << i;
    EXPECT_TRUE(messages->shown.isEmpty()) << messages->shown.join('|').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CloseSequence,
    ::testing::Values(CloseCase{"hoursCountedOn", true, "3602", true, 3602},
                      CloseCase{"hoursWrapAt16Bits", true, "70000", true, 70000},
                      CloseCase{"zeroHours", true, "0", false, 0},
                      CloseCase{"negativeHours", true, "-1", false, 0},
                      // Never reported: the hours panel counted up from -1, but a block of
                      // zeros must not overwrite the unit's settings.
                      CloseCase{"blockNeverReported", false, "2", false, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Lifecycle, CloseStopsSixTimersAndReleasesWhatTheWindowOwns) {
    TForm1& f = Build();
    f.HeatingCountDownTimer->start();
    f.ShutDownTimer->start();
    f.Exit1Click();
    for (QTimer* timer : {f.HeatingCountDownTimer, f.MaintainTimer, f.UpdateDataTimer,
                          f.StatusTimer, f.DisplayIntervalTimer, f.WriteChangesTimer})
        EXPECT_FALSE(timer->isActive()) << timer->objectName().toStdString();
    // These end with the window itself.
    EXPECT_TRUE(f.HoursRunTimer->isActive());
    EXPECT_TRUE(f.ShutDownTimer->isActive());
    EXPECT_FALSE(f.cpuSpeedMHz || f.cpuLoadPercent || f.cpuThread);
    EXPECT_FALSE(f.errorLog || f.operationLog);
    EXPECT_FALSE(f.traceMessages);
    EXPECT_TRUE(f.IsTerminating());
}

TEST_F(Lifecycle, CloseWithAnUnpluggedUnitStillReleasesEverything) {
    TForm1& f = Build();
    unit.unitSettings = PayloadWithWord(QByteArray(24, '\0'), 17, 5);
    f.ComDataPacket2Packet(unit.unitSettings);
    link->responder = [](const QByteArray&) { return LinkReply::Failure(0); };
    TakeWritten();
    f.close();
    EXPECT_EQ(TakeWritten().size(), 3u); // packet 2, then both blank lines, each failing
    EXPECT_TRUE(messages->shown.isEmpty());
    EXPECT_FALSE(f.traceMessages);
}

TEST_F(Lifecycle, NonNumericHoursPanelIsReportedAndCloseStopsThere) {
    TForm1& f = Build();
    f.OperHours->setText("many");
    TakeWritten();
    f.close();
    EXPECT_EQ(messages->shown, QStringList{"Error: 'many' is not a valid integer value"});
    EXPECT_TRUE(TakeWritten().empty());
    EXPECT_FALSE(f.UpdateDataTimer->isActive());
}

} // namespace
