#include "log/LogUpkeep.h"

#include <gtest/gtest.h>

namespace {

constexpr double kNow = 45000.5;
constexpr double kOneMs = 1.0 / 86400000.0;

struct PlanCase {
    const char* name;
    std::int32_t errorLogKb;
    std::int32_t operationLogKb;
    StoredNextRemind nextRemind;
    bool dialogOpen;
    LogUpkeepPlan expected;
};

class UpkeepPlan : public ::testing::TestWithParam<PlanCase> {};

TEST_P(UpkeepPlan, TrimsTheErrorLogAndOffersTheDialogOnlyWhenDue) {
    const PlanCase& c = GetParam();
    EXPECT_EQ(PlanLogUpkeep({c.errorLogKb, c.operationLogKb, c.nextRemind, kNow, c.dialogOpen}),
              c.expected);
}

constexpr LogUpkeepPlan kNothing{false, LogClearingOffer::None};
constexpr LogUpkeepPlan kTrimOnly{true, LogClearingOffer::None};
constexpr LogUpkeepPlan kDialog{false, LogClearingOffer::ShowDialog};
const auto kAbsent = StoredNextRemind::Absent();

INSTANTIATE_TEST_SUITE_P(
    Cases, UpkeepPlan,
    ::testing::Values(
        // Sizes in units of 1000 bytes: 50 999 bytes are 50, 51 000 bytes are 51.
        PlanCase{"bothAtTheirLimits", 50, 500, kAbsent, false, kNothing},
        PlanCase{"errorLogPastItsLimit", 51, 500, kAbsent, false, kTrimOnly},
        PlanCase{"errorLogTrimmedWhileAHeaterDialogIsOpen", 51, 0, kAbsent, true, kTrimOnly},
        PlanCase{"operationLogPastItsLimit", 50, 501, kAbsent, false, kDialog},
        PlanCase{
            "bothPastTheirLimits", 51, 501, kAbsent, false, {true, LogClearingOffer::ShowDialog}},
        PlanCase{"reminderEarlier", 0, 501, StoredNextRemind::At(kNow - kOneMs), false, kDialog},
        PlanCase{"reminderNowExactly", 0, 501, StoredNextRemind::At(kNow), false, kNothing},
        PlanCase{"reminderLater", 0, 501, StoredNextRemind::At(kNow + kOneMs), false, kNothing},
        PlanCase{"never", 0, 501, StoredNextRemind::At(kNeverRemindDays), false, kNothing},
        PlanCase{"dateBefore1899", 0, 501, StoredNextRemind::At(-1.0), false, kDialog},
        PlanCase{"aDialogIsOpen", 0, 501, kAbsent, true, kNothing},
        PlanCase{"reminderOfAnotherType",
                 51,
                 501,
                 StoredNextRemind::Unreadable("text"),
                 false,
                 {true, LogClearingOffer::ReportUnreadableReminder}},
        // The reminder is only looked at when the dialog could be due.
        PlanCase{"reminderOfAnotherTypeButSmallLog", 0, 500, StoredNextRemind::Unreadable("x"),
                 false, kNothing},
        PlanCase{"reminderOfAnotherTypeWhileADialogIsOpen", 0, 501,
                 StoredNextRemind::Unreadable("x"), true, kNothing}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StoredDateTimes, CountDaysFromTheEndOf1899WithTheTimeOfDayAsFraction) {
    const std::pair<QDateTime, double> cases[] = {
        {QDateTime(QDate(1899, 12, 30), QTime(0, 0)), 0.0},
        {QDateTime(QDate(1899, 12, 31), QTime(6, 0)), 1.25},
        {QDateTime(QDate(1899, 12, 29), QTime(0, 0)), -1.0},
        {QDateTime(QDate(2002, 10, 24), QTime(0, 0)), 37553.0},
        {QDateTime(QDate(2002, 10, 24), QTime(0, 15)), 37553.0 + 15.0 / 1440.0},
        {QDateTime(QDate(9999, 12, 31), QTime(0, 0)), kNeverRemindDays},
    };
    for (const auto& [local, days] : cases) {
        EXPECT_DOUBLE_EQ(DaysSince1899(local), days) << local.toString().toStdString();
        EXPECT_EQ(DateTimeFromDays(days), local) << days;
    }
}

TEST(ReminderIntervals, EachChoiceMovesTheNextReminderOnKeepingTheTimeOfDay) {
    const QDateTime monday(QDate(2024, 1, 1), QTime(10, 0));
    ASSERT_EQ(monday.date().dayOfWeek(), Qt::Monday);
    const double now = DaysSince1899(monday);
    ASSERT_EQ(kReminderIntervalItems,
              (QStringList{"1 day", "2 days", "3 days", "1 week", "1 Month", "Never"}));

    const std::pair<int, QDateTime> cases[] = {
        {0, QDateTime(QDate(2024, 1, 2), QTime(10, 0))},
        {1, QDateTime(QDate(2024, 1, 3), QTime(10, 0))},
        {2, QDateTime(QDate(2024, 1, 4), QTime(10, 0))},
        {3, QDateTime(QDate(2024, 1, 8), QTime(10, 0))},
        {4, QDateTime(QDate(2024, 1, 31), QTime(10, 0))},
        {kNeverRemindItem, QDateTime(QDate(9999, 12, 31), QTime(0, 0))},
        // Typed text instead of a choice: the reminder is due again at once.
        {-1, monday},
    };
    for (const auto& [item, expected] : cases)
        EXPECT_EQ(DateTimeFromDays(NextRemindFor(item, now)), expected) << "item " << item;
}

} // namespace
