// The critical shutdown: started by a red pass, called off by a green or orange one, and at
// its end the factory settings, the deleted store, the power-off request and the unit's
// shutdown command, in that order.
#include "MonitorFixture.h"

namespace {

const std::array<int, 5> kEvaporatorPastShutdown{2, 25, 0, 0, 0};
const std::array<int, 5> kAllNormal{-30, 25, 0, 0, 0};

class Shutdown : public MonitorFixture {};

TEST_F(Shutdown, ARedPassStartsItOnceWithBlinkingDisplayTextMessagesAndARecord) {
    TForm1& f = Start();
    f.DisplayIntervalTimer->start();
    clock->pauses.clear();

    Pass(Status(1, kEvaporatorPastShutdown));

    EXPECT_EQ(SystemPanel(), (PanelLook{"ALARM", QColor(255, 0, 0)}));
    EXPECT_TRUE(f.ShutDownTimer->isActive());
    EXPECT_EQ(f.ShutDownTimer->interval(), 180000);
    EXPECT_TRUE(f.BlinkTimer->isActive());
    EXPECT_FALSE(f.DisplayIntervalTimer->isActive());
    EXPECT_TRUE(f.TrayAnimationRequested());
    // The unit's line 1 shows its first 16 characters, and the text box holds just those.
    EXPECT_EQ(f.PrimaryTextComboBox->currentText(), "TEMPERATURE CRIT");
    EXPECT_TRUE(f.displayTextChanged);
    EXPECT_EQ(f.line2Text, "SHUTTING DOWN");
    EXPECT_TRUE(f.displayParamsChanged);
    EXPECT_EQ(clock->pauses, std::vector<int>{100});
    EXPECT_EQ(*f.traceMessages, (QStringList{"TEMPERATURE CRITICAL - SHUTTING DOWN",
                                             "TEMPERATURE CRITICAL - SHUTTING DOWN",
                                             "CLOSE CONTROL CENTER TO CANCEL SHUTDOWN"}));
    EXPECT_EQ(ErrorRecords(), 1);
    EXPECT_EQ(trayAlarmText.Get(), "ALARM");

    // Further red passes leave the running three minutes alone.
    const int pending = f.ShutDownTimer->timerId();
    Pass(Status(1, kEvaporatorPastShutdown));
    Pass(Status(83));
    EXPECT_EQ(f.ShutDownTimer->timerId(), pending);
    EXPECT_EQ(ErrorRecords(), 2); // only the "SENSOR FAILED" warning added one
}

struct CallOffCase {
    const char* name;
    int state;
    std::array<int, 5> celsius;
};

class ShutdownCalledOff : public MonitorFixture,
                          public ::testing::WithParamInterface<CallOffCase> {};

TEST_P(ShutdownCalledOff, ByAPassEndingNeitherRedNorSilverAndReArmedByTheNextRedOne) {
    TForm1& f = Start();
    Pass(Status(1, kEvaporatorPastShutdown));
    ASSERT_TRUE(f.ShutDownTimer->isActive());
    const int first = f.ShutDownTimer->timerId();

    Pass(Status(static_cast<std::uint8_t>(GetParam().state), GetParam().celsius));
    EXPECT_FALSE(f.ShutDownTimer->isActive());
    EXPECT_FALSE(f.BlinkTimer->isActive());

    const int recordsBefore = ErrorRecords();
    Pass(Status(1, kEvaporatorPastShutdown));
    EXPECT_TRUE(f.ShutDownTimer->isActive());
    EXPECT_TRUE(f.BlinkTimer->isActive());
    EXPECT_NE(f.ShutDownTimer->timerId(), first);
    EXPECT_EQ(ErrorRecords(), recordsBefore + 1);
    EXPECT_EQ(powerOff->requests, 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, ShutdownCalledOff,
                         ::testing::Values(CallOffCase{"green", 1, kAllNormal},
                                           CallOffCase{"orangeSensorWarning", 1, {-5, 25, 0, 0, 0}},
                                           CallOffCase{"orangeRestartDelay", 81,
                                                       kEvaporatorPastShutdown}),
                         [](const auto& info) { return std::string(info.param.name); });

// What the world looks like at the moment the power-off is requested.
struct AtRequest {
    bool storeExists = true;
    bool factoryDefaultsApplied = false;
    bool shuttingDownQueued = false;
    std::size_t pausesSoFar = 0;
    std::size_t framesSoFar = 0;
};

TEST_F(Shutdown, AtItsEndDefaultsStoreDeletedPowerOffPauseThenTheUnitsCommand) {
    TForm1& f = Start();
    Pass(Status(1, kEvaporatorPastShutdown));
    StoreSomething();
    // The user's own settings, which the factory values replace.
    f.Sensor1Alm->setValue(-25);
    f.Sensor3ShDn->setValue(12);
    f.Par2HighLow->setCurrentIndex(0);
    f.WarningHandlingComboBox->setCurrentIndex(2);
    f.BootTempComboBox->setCurrentIndex(10);
    f.ClearDirtyFlags();
    clock->pauses.clear();
    const int eventPassesBefore = clock->eventPasses;
    TakeWritten();

    AtRequest seen;
    powerOff->onRequest = [&] {
        seen.storeExists = QFile::exists(SettingsStorePath());
        seen.factoryDefaultsApplied =
            f.Sensor1Alm->value() == -10 && f.Sensor3ShDn->value() == 0 &&
            f.Par2HighLow->currentIndex() == 1 && f.WarningHandlingComboBox->currentIndex() == 0 &&
            f.BootTempComboBox->currentText() == "-33" && f.bootTempChanged && f.unitsChanged;
        seen.shuttingDownQueued = f.traceMessages->contains("Shutting down....");
        seen.pausesSoFar = clock->pauses.size();
        seen.framesSoFar = link->written.size();
    };

    f.ShutDownTimerTimer();

    EXPECT_EQ(powerOff->requests, 1);
    EXPECT_FALSE(seen.storeExists);
    EXPECT_TRUE(seen.factoryDefaultsApplied);
    EXPECT_TRUE(seen.shuttingDownQueued);
    EXPECT_EQ(seen.pausesSoFar, 0u);
    EXPECT_EQ(seen.framesSoFar, 0u);
    EXPECT_EQ(clock->pauses, std::vector<int>{10000});
    // Once for the factory defaults, once before the pause.
    EXPECT_EQ(clock->eventPasses - eventPassesBefore, 2);
    const auto written = TakeWritten();
    ASSERT_EQ(written.size(), 1u);
    EXPECT_EQ(Hex(written[0]), "01 85 04");
    // The timer goes on: three minutes later, if the program still runs, it all happens again.
    EXPECT_TRUE(f.ShutDownTimer->isActive());
    EXPECT_TRUE(messages->shown.isEmpty()) << messages->shown.join('|').toStdString();
}

TEST_F(Shutdown, ASimulatedUnitNeverPowersTheComputerOffButEverythingElseHappens) {
    Prepare();
    link->simulated = true;
    TForm1& f = Start();
    Pass(Status(1, kEvaporatorPastShutdown));
    StoreSomething();
    f.traceMessages->clear();
    TakeWritten();

    f.ShutDownTimerTimer();

    EXPECT_EQ(powerOff->requests, 0);
    EXPECT_EQ(*f.traceMessages,
              (QStringList{"Shutting down....", "Simulated unit: the computer stays on"}));
    EXPECT_FALSE(QFile::exists(SettingsStorePath()));
    EXPECT_EQ(clock->pauses.back(), 10000);
    const auto written = TakeWritten();
    ASSERT_EQ(written.size(), 1u);
    EXPECT_EQ(Hex(written[0]), "01 85 04");
}

// Closing the program is the announced way to cancel; a tick that still arrives while the close
// runs (inside one of its message boxes) must not shut anything down.
TEST_F(Shutdown, ClosingTheProgramCancelsIt) {
    TForm1& f = Start();
    Pass(Status(1, kEvaporatorPastShutdown));
    f.close();
    TakeWritten();

    f.ShutDownTimerTimer();

    EXPECT_EQ(powerOff->requests, 0);
    EXPECT_TRUE(TakeWritten().empty());
}

} // namespace
