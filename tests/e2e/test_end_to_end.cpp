// The control centre and the simulated unit, both real programs, on a private X display.

#include "EndToEndSession.h"

#include <QElapsedTimer>
#include <QJsonArray>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr int kStartMs = 8000;
// Two data ticks and a margin: long enough for a poll, short enough to notice none came.
constexpr int kTwoTicksMs = 7000;

class EndToEnd : public ::testing::Test {
protected:
    // Starts both programs and waits for the first status poll of the periodic cycle (the
    // first request of all is the start-up one).
    void StartWithUnit() {
        ASSERT_TRUE(session.StartControlCentre());
        ASSERT_TRUE(session.StartUnit());
        ASSERT_TRUE(session.WaitForFrames(
            [](const auto& frames) { return CountStatusRequests(frames) >= 2; }, kStartMs))
            << Listing(session.Frames());
    }

    EndToEndSession session;
};

TEST_F(EndToEnd, StartAsksForEveryPacketSetsNormalFansThenPollsEveryThreeSeconds) {
    StartWithUnit();
    ASSERT_TRUE(session.WaitForFrames(
        [](const auto& frames) { return CountStatusRequests(frames) >= 4; }, 3 * kTwoTicksMs));
    const std::vector<RecordedFrame> frames = session.Frames();

    // Start-up: the four requests in order, then the "Normal" fan preset as a packet 3.
    ASSERT_GE(frames.size(), 5u) << Listing(frames);
    const std::vector<QByteArray> hex = HexOf(frames);
    EXPECT_EQ(
        std::vector<QByteArray>(hex.begin(), hex.begin() + 4),
        (std::vector<QByteArray>{RequestHex(1), RequestHex(2), RequestHex(3), RequestHex(6)}));
    EXPECT_TRUE(hex[4].startsWith("010302")) << Listing(frames);

    const QJsonObject status = session.UnitStatus();
    const QJsonArray words = status.value("fanSettings").toObject().value("words").toArray();
    ASSERT_EQ(words.size(), 10);
    EXPECT_EQ(words[0].toInt(), 2100);
    EXPECT_EQ(words[1].toInt(), 1100);
    EXPECT_EQ(words[2].toInt(), 1400);
    EXPECT_EQ(words[8].toInt(), 1100);
    EXPECT_EQ(words[9].toInt(), 1400);

    // Every data tick sends display line 2, then asks for the status.
    for (std::size_t i = 5; i < hex.size(); ++i) {
        if (hex[i] == RequestHex(1)) {
            EXPECT_TRUE(hex[i - 1].startsWith("010702")) << Listing(frames);
        }
    }

    // After the start-up requests the status request comes once per data tick.
    std::vector<qint64> polls = StatusRequestTimes(frames);
    polls.erase(polls.begin());
    ASSERT_GE(polls.size(), 3u);
    for (std::size_t i = 1; i < polls.size(); ++i) {
        const qint64 gap = polls[i] - polls[i - 1];
        EXPECT_GT(gap, 2000) << Listing(frames);
        EXPECT_LT(gap, 4500) << Listing(frames);
    }
    EXPECT_EQ(session.controlCentre.state(), QProcess::Running);
}

TEST_F(EndToEnd, UnplugAndReplugBringsReadingsBackWithoutARestart) {
    StartWithUnit();
    session.TellUnit("unplug");
    QThread::msleep(500);
    const std::size_t framesWhenUnplugged = session.Frames().size();
    QThread::msleep(kTwoTicksMs);
    EXPECT_EQ(session.Frames().size(), framesWhenUnplugged) << "nothing reaches an unplugged unit";
    EXPECT_FALSE(session.UnitStatus().value("attached").toBool());
    ASSERT_EQ(session.controlCentre.state(), QProcess::Running);

    const std::size_t pollsBefore = CountStatusRequests(session.Frames());
    session.TellUnit("temp 2 31");
    session.TellUnit("plug");
    EXPECT_TRUE(session.WaitForFrames(
        [&](const auto& frames) { return CountStatusRequests(frames) >= pollsBefore + 2; },
        kTwoTicksMs + 2000))
        << Listing(session.Frames());
    EXPECT_TRUE(session.UnitStatus().value("attached").toBool());
    EXPECT_EQ(session.controlCentre.state(), QProcess::Running);
}

TEST_F(EndToEnd, EndingTheProgramReturnsTheHoursAndBlanksBothDisplayLines) {
    StartWithUnit();
    const std::size_t before = session.Frames().size();
    EXPECT_EQ(session.TerminateControlCentre(15000), std::optional<int>(0));

    ASSERT_TRUE(session.WaitForFrames(
        [&](const auto& frames) { return frames.size() >= before + 3; }, 5000));
    const std::vector<QByteArray> hex = HexOf(session.Frames());
    const std::vector<QByteArray> last(hex.end() - 3, hex.end());
    EXPECT_TRUE(last[0].startsWith("010202")) << "the unit's settings with its hours";
    EXPECT_EQ(last[1], BlankLineHex(6));
    EXPECT_EQ(last[2], BlankLineHex(7));
    EXPECT_EQ(session.UnitStatus().value("line1").toString(), QString(16, QLatin1Char(' ')));
}

// The evaporator past its warning limit, then past its shut-down limit, then back: the window,
// the error log and the unit's display follow, and the simulated unit never gets the final
// shutdown command while the condition is called off in time.
TEST_F(EndToEnd, WarningThenCriticalThenCalledOff) {
    StartWithUnit();
    const auto countOf = [&](const QString& status) {
        return session.LogStatuses(QStringLiteral("Error.log")).count(status);
    };
    const auto waitFor = [](const std::function<bool()>& condition, int timeoutMs) {
        QElapsedTimer timer;
        timer.start();
        while (!condition() && timer.elapsed() < timeoutMs)
            QThread::msleep(100);
        return condition();
    };

    session.TellUnit("temp 1 -5");
    ASSERT_TRUE(waitFor([&] { return countOf(QStringLiteral("Warning")) >= 1; }, kTwoTicksMs));
    QElapsedTimer warning;
    warning.start();
    // One error record per data tick while the warning lasts.
    ASSERT_TRUE(
        waitFor([&] { return countOf(QStringLiteral("Warning")) >= 3; }, kTwoTicksMs + 2000));
    EXPECT_GT(warning.elapsed(), 4000);

    session.TellUnit("temp 1 1");
    ASSERT_TRUE(waitFor([&] { return countOf(QStringLiteral("ALARM")) >= 1; }, kTwoTicksMs));
    // The unit's display says so within one apply cycle and one data tick.
    ASSERT_TRUE(waitFor(
        [&] {
            const QJsonObject status = session.UnitStatus();
            return status.value("line1").toString() == QStringLiteral("TEMPERATURE CRIT") &&
                   status.value("line2").toString().startsWith(QStringLiteral("SHUTTING DOWN"));
        },
        kTwoTicksMs));
    // The overall status panel blinks: its warm alarm text shows, then vanishes into the
    // panel's silver.
    const auto isAlarmText = [](const QString& colour) {
        bool ok = false;
        const uint rgb = colour.mid(1).toUInt(&ok, 16);
        return ok && (rgb >> 16) > 0xC0 && (rgb & 0xFF) < 0x60;
    };
    bool sawText = false;
    bool sawNoText = false;
    QStringList seen;
    for (int look = 0; look < 40 && !(sawText && sawNoText); ++look) {
        const QStringList colours = session.StatusPanelColours();
        ASSERT_FALSE(colours.isEmpty());
        const bool text = std::any_of(colours.begin(), colours.end(), isAlarmText);
        seen.append(colours.mid(0, 6).join(QLatin1Char(' ')));
        sawText = sawText || text;
        sawNoText = sawNoText || !text;
        QThread::msleep(70);
    }
    EXPECT_TRUE(sawText && sawNoText) << seen.join(QLatin1Char('\n')).toStdString();

    session.TellUnit("temp 1 auto");
    ASSERT_TRUE(waitFor(
        [&] {
            return !session.UnitStatus().value("line2").toString().startsWith(
                QStringLiteral("SHUTTING DOWN"));
        },
        kTwoTicksMs + 3000));
    const int alarms = countOf(QStringLiteral("ALARM"));
    QThread::msleep(kTwoTicksMs);
    EXPECT_EQ(countOf(QStringLiteral("ALARM")), alarms);
    EXPECT_EQ(session.UnitStatus().value("shutdownCommands").toInt(), 0);
    EXPECT_EQ(session.controlCentre.state(), QProcess::Running);
}

TEST_F(EndToEnd, WithoutAUnitTheProgramSaysSoAndEndsOnceAnswered) {
    ASSERT_TRUE(session.StartControlCentre());
    ASSERT_TRUE(session.AnswerMessageBox(15000)) << "no message box came up";
    EXPECT_EQ(EndToEndSession::ExitCode(session.controlCentre, 10000), std::optional<int>(0));
    // The run never started, so it left no start-up record behind.
    EXPECT_FALSE(QFile::exists(session.DataFolder() + QStringLiteral("/Operatation.log")));
}

} // namespace
