#include "support/ControllerFixture.h"

#include "app/TerminationSignals.h"

#include <QTest>

#include <csignal>

namespace {

class TerminationSignal : public ControllerFixture, public ::testing::WithParamInterface<int> {};

// Logout and system shutdown end the program with a signal; the unit must still be told.
TEST_P(TerminationSignal, ClosesTheWindowLikeExit) {
    TForm1& f = Build();
    TerminationSignals signalsToClose;
    QObject::connect(&signalsToClose, &TerminationSignals::terminationRequested, &f,
                     &TForm1::Exit1Click);
    TakeWritten();

    ::raise(GetParam());
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.IsTerminating(); }, 5000));

    const auto written = TakeWritten();
    ASSERT_EQ(written.size(), 2u);
    EXPECT_EQ(Hex(written[0].left(3)), "01 06 02");
    EXPECT_EQ(Hex(written[1].left(3)), "01 07 02");
    EXPECT_FALSE(f.traceMessages);
}

INSTANTIATE_TEST_SUITE_P(Signals, TerminationSignal, ::testing::Values(SIGTERM, SIGINT, SIGHUP));

// A signal during start-up neither kills the program nor gets lost: it waits for the window.
TEST(HeldTerminationSignals, ArriveOnlyOnceDeliveryStartsAndThenExactlyOnce) {
    TerminationSignals signalsToClose(TerminationSignals::Delivery::Held);
    std::vector<int> received;
    QObject::connect(&signalsToClose, &TerminationSignals::terminationRequested,
                     [&](int number) { received.push_back(number); });

    ::raise(SIGTERM);
    QTest::qWait(200);
    EXPECT_TRUE(received.empty());

    signalsToClose.StartDelivery();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !received.empty(); }, 5000));
    QTest::qWait(100);
    EXPECT_EQ(received, std::vector<int>{SIGTERM});
}

} // namespace
