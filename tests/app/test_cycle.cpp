#include "support/ControllerFixture.h"

#include "ui/WindowColours.h"

namespace {

class Cycle : public ControllerFixture {};

TEST_F(Cycle, StatusBarShowsQueuedMessagesOnePerTickThenOkWhenGreenAndNormal) {
    TForm1& f = Build();
    SetPanelTextColour(f.SystemStatPanel, kGreen);
    unitData.unitState = 0x4F;
    f.traceMessages->append({"first", "second", "third"});

    QStringList shown;
    for (int tick = 0; tick < 4; ++tick) {
        f.StatusTimerTimer();
        shown.append(f.MainStatusBar->currentMessage());
    }
    EXPECT_EQ(shown, (QStringList{"first", "second", "third", "Status: ok"}));
}

struct KeepCase {
    const char* name;
    QColor colour;
    std::uint8_t state;
};

class StatusBarKeepsLastMessage : public ControllerFixture,
                                  public ::testing::WithParamInterface<KeepCase> {};

TEST_P(StatusBarKeepsLastMessage, WhenTheUnitIsNotInANormalGreenState) {
    TForm1& f = Build();
    SetPanelTextColour(f.SystemStatPanel, GetParam().colour);
    unitData.unitState = GetParam().state;
    f.traceMessages->append("USB connection lost - retrying");
    f.StatusTimerTimer();
    f.StatusTimerTimer();
    EXPECT_EQ(f.MainStatusBar->currentMessage(), "USB connection lost - retrying");
}

INSTANTIATE_TEST_SUITE_P(Cases, StatusBarKeepsLastMessage,
                         ::testing::Values(KeepCase{"greenButState50", kGreen, 0x50},
                                           KeepCase{"orange", kOrange, 0x10},
                                           KeepCase{"red", kRed, 0x10},
                                           KeepCase{"silver", kSilver, 0x10}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Cycle, HandlersDoNothingOnceTheProgramEnds) {
    TForm1& f = Build();
    f.close();
    TakeWritten();
    f.StatusTimerTimer();
    f.UpdateDataTimerTimer();
    EXPECT_TRUE(link->written.empty());
}

TEST_F(Cycle, DataTickRequestsTheStatusAndShowsTheGraph) {
    TForm1& f = Build();
    f.CPULoadGraph->setVisible(false);
    TakeWritten();
    f.UpdateDataTimerTimer();
    const auto written = TakeWritten();
    ASSERT_FALSE(written.empty());
    EXPECT_EQ(Hex(written.back()), "01 01 04");
    EXPECT_TRUE(f.CPULoadGraph->isVisible());
}

TEST_F(Cycle, SilentUnitQueuesTheLossAndResetsBothPipesEveryTick) {
    TForm1& f = Build();
    link->responder = [](const QByteArray&) { return LinkReply::Failure(0x2000000F); };
    link->pipeResets.clear();
    f.UpdateDataTimerTimer();
    f.UpdateDataTimerTimer();
    EXPECT_EQ(f.traceMessages->count("USB connection lost - retrying"), f.traceMessages->size());
    EXPECT_EQ(f.traceMessages->size() * 2, static_cast<int>(link->pipeResets.size()));
    EXPECT_GE(f.traceMessages->size(), 2);
    EXPECT_TRUE(messages->shown.isEmpty());

    // The unit answers again: the next tick decodes its status.
    unit.status[2] = 0x06;
    link->responder = unit.Responder();
    f.UpdateDataTimerTimer();
    EXPECT_EQ(unitData.unitState, 0x06);
}

struct HoursCase {
    const char* name;
    const char* before;
    const char* after;
    bool reported;
};

class HoursCounter : public ControllerFixture, public ::testing::WithParamInterface<HoursCase> {};

TEST_P(HoursCounter, AddsOneHourToThePanel) {
    TForm1& f = Build();
    f.OperHours->setText(GetParam().before);
    f.HoursRunTimerTimer();
    EXPECT_EQ(f.OperHours->text(), GetParam().after);
    EXPECT_EQ(messages->shown.isEmpty(), !GetParam().reported);
}

INSTANTIATE_TEST_SUITE_P(Cases, HoursCounter,
                         ::testing::Values(HoursCase{"neverReported", "-1", "0", false},
                                           HoursCase{"counting", "3600", "3601", false},
                                           HoursCase{"notANumber", "abc", "abc", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Cycle, UnitSettingsReplyShowsTheUnitsHours) {
    TForm1& f = Build();
    f.ComDataPacket2Packet(PayloadWithWord(QByteArray(24, '\0'), 17, 0x0E10));
    EXPECT_EQ(f.OperHours->text(), "3600");
    EXPECT_EQ(unitData.unitSettings.operatingHours, 3600);
}

} // namespace
