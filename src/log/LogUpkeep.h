#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <cstdint>

// Log upkeep: once per run the error log is trimmed when it has grown past its limit, and the
// user is offered to delete an operation log that has grown past its own, unless the user asked
// to be reminded later ("Next Remind" in the settings store).

// Limits in units of 1000 bytes, the unit shown to the user as "kb".
constexpr std::int32_t kErrorLogLimitKb = 50;
constexpr std::int32_t kOperationLogLimitKb = 500;
// Share of the error log's lines dropped when it is trimmed.
constexpr int kErrorLogTrimPercent = 25;

// Texts of the upkeep and of the "Clear" button.
inline const QString kLogClearedText = QStringLiteral("Log Cleared");
inline const QString kLogClearCanceledText = QStringLiteral("Log clear canceled");
inline const QString kConfirmClearLogText =
    QStringLiteral("Are you sure, you want to Clear the operation log?");
inline const QString kConfirmClearLogCaption = QStringLiteral("Confirm Delete");

// Date-times as the settings store keeps them: days since 30 December 1899, local time, with
// the time of day as the fraction.
double DaysSince1899(const QDateTime& local);
QDateTime DateTimeFromDays(double days);

// What "Next Remind" held when the upkeep looked.
struct StoredNextRemind {
    enum class Kind {
        Absent,    // never stored, or the store cannot be opened: the reminder is due
        DateTime,  // `days`
        Unreadable // stored, but not as a date-time; `problem` says why
    };
    Kind kind = Kind::Absent;
    double days = 0.0;
    QString problem;

    static StoredNextRemind Absent() { return {}; }
    static StoredNextRemind At(double days) { return {Kind::DateTime, days, {}}; }
    static StoredNextRemind Unreadable(const QString& problem) {
        return {Kind::Unreadable, 0.0, problem};
    }
};

struct LogUpkeepInput {
    std::int32_t errorLogKb = 0;
    std::int32_t operationLogKb = 0;
    StoredNextRemind nextRemind;
    // The current local date-time in days since 30 December 1899.
    double now = 0.0;
    // One of the program's own dialogs is open: no second one over it.
    bool modalDialogOpen = false;
};

enum class LogClearingOffer {
    None,
    // Show the log-size dialog.
    ShowDialog,
    // "Next Remind" cannot be read: report that, and offer nothing in this run.
    ReportUnreadableReminder,
};

struct LogUpkeepPlan {
    bool trimErrorLog = false;
    LogClearingOffer offer = LogClearingOffer::None;

    bool operator==(const LogUpkeepPlan&) const = default;
};

// What the upkeep does. The error log is trimmed whatever else holds. The dialog is due when
// the operation log is past its limit, no dialog of the program is open and "Next Remind" is
// absent or strictly earlier than now.
LogUpkeepPlan PlanLogUpkeep(const LogUpkeepInput& input);

// The reminder dialog's intervals, in list order: "1 day", "2 days", "3 days", "1 week",
// "1 Month", "Never".
extern const QStringList kReminderIntervalItems;
constexpr int kNeverRemindItem = 5;
// "Never" stores a date beyond any run of the program, 31 December 9999, so that the dialog
// does not come back.
constexpr double kNeverRemindDays = 2958465.0;

// "Next Remind" for a choice of the list: `now` plus the item's days, keeping the time of day.
// No item (-1: the user typed into the field) gives `now` itself, so the next run asks again.
double NextRemindFor(int item, double now);
