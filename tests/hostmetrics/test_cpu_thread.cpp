// The sampler thread against a fake host whose pauses the test steps one by one, with the real
// widgets it feeds. Its window updates must arrive as queued calls on this (the user-interface)
// thread: a widget that changed before this thread handled its events was touched from the
// sampler's own thread.

#include "hostmetrics/CPUThread.h"
#include "hostmetrics/CpuCounters.h"
#include "protocol/UnitData.h"
#include "support/FakeHostCounters.h"
#include "ui/LoadGraph.h"

#include <QCoreApplication>
#include <QLabel>
#include <QSystemTrayIcon>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// Records each message with the thread that showed it.
class ThreadRecordingSink : public MessageSink {
public:
    void ShowMessage(const QString& text) override {
        shown.append(text);
        threads.push_back(QThread::currentThread());
    }
    bool AskOkCancel(const QString&, const QString&) override { return false; }
    QStringList shown;
    std::vector<QThread*> threads;
};

class Sampler : public ::testing::Test {
protected:
    void SetUp() override {
        ResetDefinements();
        panel.setText("MHz ");
        graph.resize(95, 28);
    }
    void TearDown() override {
        thread.reset();
        ResetDefinements();
    }

    CPUThread& Start() {
        thread = std::make_unique<CPUThread>(&panel, &graph, &tray, &speed, &load, counters, sink);
        return *thread;
    }

    // Lets the sampler past the pause it waits in and on to the next one; false if it never
    // got there.
    bool Step() {
        const int begun = counters.samplerPauses;
        counters.AllowPauses(1);
        return counters.WaitForSamplerPauses(begun + 1);
    }

    // Steps the sampler until the window has shown `count` samples, recording the clock text
    // each one brought.
    std::vector<QString> ClockTextsOfSamples(int count) {
        std::vector<QString> texts;
        while (static_cast<int>(graph.History().AddedCount()) < count) {
            const auto shownBefore = graph.History().AddedCount();
            if (!Step())
                break;
            QCoreApplication::processEvents();
            if (graph.History().AddedCount() > shownBefore)
                texts.push_back(panel.text());
        }
        return texts;
    }

    QLabel panel;
    LoadGraph graph;
    QSystemTrayIcon tray;
    std::atomic<std::int32_t> speed{-7};
    std::atomic<std::int32_t> load{-7};
    FakeHostCounters counters;
    ThreadRecordingSink sink;
    std::unique_ptr<CPUThread> thread;
};

TEST_F(Sampler, CreationMeasuresTheClockOnceAndWaitsForTheMainWindow) {
    counters.clockMHz = 5000;
    CPUThread& t = Start();
    EXPECT_EQ(speed, 5000);
    EXPECT_EQ(load, 0);
    EXPECT_TRUE(t.isRunning());
    EXPECT_EQ(t.priority(), QThread::IdlePriority);

    // Without a main window the thread only looks again now and then.
    ASSERT_TRUE(Step());
    ASSERT_TRUE(Step());
    EXPECT_EQ(counters.procStatReads, 0);

    t.SetMainWindowState(true, true);
    ASSERT_TRUE(Step());
    EXPECT_EQ(counters.procStatReads, 1);
}

TEST_F(Sampler, EachSampleReachesTheWidgetsOnlyThroughTheUserInterfaceThread) {
    counters.loadPercent = 50;
    trayHintSelection = 6;
    CPUThread& t = Start();
    t.SetMainWindowState(true, true);
    ASSERT_TRUE(Step()); // out of the wait for the window, into the load measurement
    ASSERT_TRUE(Step()); // the measurement ends, the sample is handed over, the pass pauses

    // The sampler has finished its sample; nothing has changed on the widgets yet.
    EXPECT_EQ(load, 50);
    EXPECT_EQ(panel.text(), "MHz ");
    EXPECT_EQ(graph.History().AddedCount(), 0u);
    EXPECT_EQ(tray.toolTip(), "");

    QCoreApplication::processEvents();
    EXPECT_EQ(panel.text(), "2000 MHz ");
    ASSERT_EQ(graph.History().Samples().size(), 1u);
    EXPECT_EQ(graph.History().Samples().back().percent, 50);
    EXPECT_EQ(graph.History().Samples().back().colour, QColor(0x00, 0xFF, 0x00));
    EXPECT_EQ(tray.toolTip(), "CPU load: 50 %");
}

TEST_F(Sampler, OnePointPerSampleAndTheHintFollowsTheAlarmText) {
    unitData.sensors[1].temperature = 21;
    trayHintSelection = 1;
    CPUThread& t = Start();
    t.SetMainWindowState(true, false); // in the tray: still counts as having a window ...
    ASSERT_TRUE(Step());
    EXPECT_EQ(counters.procStatReads, 0); // ... but not as visible, so no sample

    trayHintSelection = 5;
    ASSERT_EQ(ClockTextsOfSamples(1).size(), 1u);
    EXPECT_EQ(tray.toolTip(), "CPU Speed: 2000 MHz");

    trayAlarmText.Set("Evaporator: WARNING");
    trayHintSelection = 1;
    t.SetMainWindowState(true, true);
    ClockTextsOfSamples(2);
    EXPECT_EQ(tray.toolTip(), "Evaporator: WARNING");

    trayAlarmText.Set("");
    ClockTextsOfSamples(3);
    EXPECT_EQ(tray.toolTip(), "Sensor 2 Temp: 21");
    EXPECT_EQ(graph.History().AddedCount(), 3u);
}

struct RefreshCase {
    const char* what;
    int loadPercent;
    bool procStatReadable;
    bool refreshes;
};

TEST_F(Sampler, ClockIsMeasuredAgainOnEveryTenthSampleOnlyBelowFortyPercent) {
    const std::vector<RefreshCase> cases = {
        {"quiet processor", 25, true, true},      {"just below the limit", 39, true, true},
        {"at the limit", 40, true, false},        {"busy processor", 90, true, false},
        {"load unreadable (-1)", 0, false, true},
    };
    for (const RefreshCase& c : cases) {
        SCOPED_TRACE(c.what);
        thread.reset();
        counters.clockMHz = 2000;
        counters.loadPercent = c.loadPercent;
        counters.procStatReadable = c.procStatReadable;
        CPUThread& t = Start();
        t.SetMainWindowState(true, true);
        const auto shownBefore = static_cast<int>(graph.History().AddedCount());
        counters.clockMHz = 3000;

        const std::vector<QString> texts = ClockTextsOfSamples(shownBefore + 12);
        ASSERT_EQ(texts.size(), 12u);
        for (int i = 0; i < 12; ++i) {
            const bool refreshed = c.refreshes && i >= 9;
            EXPECT_EQ(texts[i], refreshed ? "3000 MHz " : "2000 MHz ") << "sample " << i + 1;
        }
        EXPECT_EQ(load, c.procStatReadable ? c.loadPercent : kLoadUnknown);
    }
}

struct ScheduleCase {
    const char* what;
    bool granted;
    int raisedReads;
};

TEST_F(Sampler, ClockMeasurementRunsRaisedAndRestoresEvenWhenTheRaiseIsRefused) {
    const std::vector<ScheduleCase> cases = {{"raise granted", true, 2},
                                             {"raise refused", false, 0}};
    for (const ScheduleCase& c : cases) {
        SCOPED_TRACE(c.what);
        thread.reset();
        counters.grantRaise = c.granted;
        counters.raises = counters.restores = counters.raisedCounterReads = 0;
        Start();
        EXPECT_EQ(speed, 2000);
        EXPECT_EQ(counters.raises, 1);
        EXPECT_EQ(counters.restores, 1);
        // Both readings of the counter fall inside the raised span.
        EXPECT_EQ(counters.raisedCounterReads, c.raisedReads);
        EXPECT_FALSE(counters.raised);
    }
}

struct NoCounterCase {
    const char* what;
    std::optional<std::int32_t> kernelMHz;
    std::int32_t shown;
};

TEST_F(Sampler, WithoutATimeStampCounterTheKernelsClockIsShown) {
    const std::vector<NoCounterCase> cases = {{"kernel reports 1800 MHz", 1800, 1800},
                                              {"kernel reports nothing", std::nullopt, 0}};
    for (const NoCounterCase& c : cases) {
        SCOPED_TRACE(c.what);
        thread.reset();
        counters.hasTimeStampCounter = false;
        counters.kernelMHz = c.kernelMHz;
        counters.raises = 0;
        Start();
        EXPECT_EQ(speed, c.shown);
        EXPECT_EQ(counters.raises, 0);
    }
}

TEST_F(Sampler, StopEndsTheThreadInsideItsPassWithoutShowingThatSample) {
    CPUThread& t = Start();
    t.SetMainWindowState(true, true);
    ASSERT_TRUE(Step()); // now inside the one-second load measurement
    ASSERT_EQ(counters.procStatReads, 1);

    // The fake holds the pause until stopped: only a stop that cuts it short ends the thread.
    t.Stop();
    ASSERT_TRUE(t.wait(5000));
    QCoreApplication::processEvents();
    EXPECT_EQ(counters.procStatReads, 1);
    EXPECT_EQ(graph.History().AddedCount(), 0u);
    EXPECT_EQ(panel.text(), "MHz ");
    EXPECT_TRUE(sink.shown.isEmpty());
}

TEST_F(Sampler, InterruptionRequestEndsTheThreadAfterThePassItIsIn) {
    CPUThread& t = Start();
    t.SetMainWindowState(true, true);
    ASSERT_TRUE(Step());
    t.requestInterruption();
    counters.SetHold(false);
    ASSERT_TRUE(t.wait(5000));
    QCoreApplication::processEvents();
    EXPECT_EQ(graph.History().AddedCount(), 1u);
    EXPECT_EQ(counters.procStatReads, 2);
}

TEST_F(Sampler, AnErrorInAPassShowsOneMessageOnTheUserInterfaceThreadAndEndsTheThread) {
    counters.procStatReadsBeforeError = 2; // the second sample's first reading fails
    CPUThread& t = Start();
    t.SetMainWindowState(true, true);
    counters.SetHold(false);
    ASSERT_TRUE(t.wait(5000));
    EXPECT_TRUE(sink.shown.isEmpty()); // not shown from the sampler's thread

    QCoreApplication::processEvents();
    EXPECT_EQ(sink.shown, QStringList{"Error: processor counters went away"});
    ASSERT_EQ(sink.threads.size(), 1u);
    EXPECT_EQ(sink.threads[0], QThread::currentThread());
    EXPECT_EQ(counters.procStatReads, 3);
    EXPECT_EQ(graph.History().AddedCount(), 1u);
    // The cells keep their last values for the display and the logs.
    EXPECT_EQ(load, 25);
    EXPECT_EQ(speed, 2000);
}

TEST_F(Sampler, UpdatesStillQueuedWhenTheThreadIsDeletedAreDropped) {
    CPUThread& t = Start();
    t.SetMainWindowState(true, true);
    ASSERT_TRUE(Step());
    ASSERT_TRUE(Step()); // a sample is waiting for this thread
    thread.reset();
    QCoreApplication::processEvents();
    EXPECT_EQ(graph.History().AddedCount(), 0u);
    EXPECT_EQ(panel.text(), "MHz ");
}

} // namespace
