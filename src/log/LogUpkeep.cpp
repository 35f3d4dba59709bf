#include "log/LogUpkeep.h"

#include <array>
#include <cmath>

namespace {

const QDate kDayZero(1899, 12, 30);
constexpr double kMillisecondsPerDay = 86400000.0;

// Days added by each item of the reminder list, "Never" aside.
constexpr std::array<double, 5> kReminderIntervalDays = {1.0, 2.0, 3.0, 7.0, 30.0};

} // namespace

const QStringList kReminderIntervalItems = {QStringLiteral("1 day"),   QStringLiteral("2 days"),
                                            QStringLiteral("3 days"),  QStringLiteral("1 week"),
                                            QStringLiteral("1 Month"), QStringLiteral("Never")};

double DaysSince1899(const QDateTime& local) {
    return static_cast<double>(kDayZero.daysTo(local.date())) +
           local.time().msecsSinceStartOfDay() / kMillisecondsPerDay;
}

QDateTime DateTimeFromDays(double days) {
    const double wholeDays = std::floor(days);
    const auto ms = static_cast<int>(std::llround((days - wholeDays) * kMillisecondsPerDay));
    return QDateTime(kDayZero.addDays(static_cast<qint64>(wholeDays)), QTime(0, 0)).addMSecs(ms);
}

LogUpkeepPlan PlanLogUpkeep(const LogUpkeepInput& input) {
    LogUpkeepPlan plan;
    plan.trimErrorLog = input.errorLogKb > kErrorLogLimitKb;
    if (input.operationLogKb <= kOperationLogLimitKb || input.modalDialogOpen)
        return plan;
    switch (input.nextRemind.kind) {
    case StoredNextRemind::Kind::Absent:
        plan.offer = LogClearingOffer::ShowDialog;
        break;
    case StoredNextRemind::Kind::DateTime:
        // Not yet when the reminder date is now exactly.
        if (input.nextRemind.days < input.now)
            plan.offer = LogClearingOffer::ShowDialog;
        break;
    case StoredNextRemind::Kind::Unreadable:
        plan.offer = LogClearingOffer::ReportUnreadableReminder;
        break;
    }
    return plan;
}

double NextRemindFor(int item, double now) {
    if (item == kNeverRemindItem)
        return kNeverRemindDays;
    if (item >= 0 && item < static_cast<int>(kReminderIntervalDays.size()))
        return now + kReminderIntervalDays[static_cast<std::size_t>(item)];
    return now;
}
