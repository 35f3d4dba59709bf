#include "app/TForm1.h"

#include "log/KelvData.h"
#include "log/LogManager.h"
#include "log/LogUpkeep.h"
#include "log/NextRemind.h"
#include "log/TClearLogForm.h"
#include "platform/ErrorText.h"
#include "protocol/UnitData.h"

#include <QFile>

namespace {

std::int32_t DecimalOf(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    if (!ok)
        throw ProgramError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return value;
}

} // namespace

void TForm1::ConnectLogHandlers() {
    connect(ViewLogButton, &QPushButton::clicked, this, &TForm1::ViewLogButtonClick);
    connect(ErrorViewButton, &QPushButton::clicked, this, &TForm1::ErrorViewButtonClick);
    connect(ClearLogButton, &QPushButton::clicked, this, &TForm1::ClearLogButtonClick);
}

// Log upkeep runs once per run, 30 s after start-up.
void TForm1::MaintainTimerTimer() {
    if (terminating)
        return;
    MaintainTimer->stop();
    CheckLogSizes();
}

void TForm1::CheckLogSizes() {
    Guarded([this] {
        if (!errorLog || !operationLog)
            return;
        LogUpkeepInput input;
        input.errorLogKb = errorLog->GetSizeKb();
        input.operationLogKb = operationLog->GetSizeKb();
        input.modalDialogOpen = modalDialogOpen;
        // "Next Remind" is looked at only when the dialog could be due at all.
        if (input.operationLogKb > kOperationLogLimitKb && !input.modalDialogOpen)
            input.nextRemind = ReadNextRemind();
        input.now = DaysSince1899(services.clock->Now());

        const LogUpkeepPlan plan = PlanLogUpkeep(input);
        if (plan.trimErrorLog)
            errorLog->Trim(kErrorLogTrimPercent);
        switch (plan.offer) {
        case LogClearingOffer::None:
            return;
        case LogClearingOffer::ReportUnreadableReminder:
            throw ProgramError(input.nextRemind.problem);
        case LogClearingOffer::ShowDialog:
            break;
        }
        const bool clear = AskToClearOperationLog(this, operationLog->GetSizeKb(), *services.clock,
                                                  *services.messages);
        if (!clear) {
            QueueTrace(kLogClearCanceledText);
            return;
        }
        QFile::remove(operationLog->GetFileName());
        QueueTrace(kLogClearedText);
    });
}

void TForm1::ClearLogButtonClick() {
    Guarded([this] {
        if (!operationLog)
            return;
        if (!services.messages->AskOkCancel(kConfirmClearLogText, kConfirmClearLogCaption))
            return;
        // A log that is already gone counts as cleared.
        QFile::remove(operationLog->GetFileName());
        QueueTrace(kLogClearedText);
    });
}

void TForm1::WriteOperationLogRecord() {
    WriteLogRecord(operationLog);
}

void TForm1::WriteErrorLogRecord() {
    WriteLogRecord(errorLog);
}

void TForm1::WriteLogRecord(const std::unique_ptr<LogManager>& log) {
    Guarded([&] {
        const KelvData record = TakeLogSnapshot();
        if (log)
            log->WriteRecord(record);
    });
}

KelvData TForm1::TakeLogSnapshot() const {
    KelvData record;
    record.timestamp = services.clock->Now();
    if (cpuSpeedMHz)
        record.cpuSpeed = cpuSpeedMHz->load();
    if (cpuLoadPercent)
        record.cpuLoad = cpuLoadPercent->load();
    record.sensors = unitData.sensors;
    record.rearFanRpm = unitData.rearFanRpm;
    record.frontFanRpm = unitData.frontFanRpm;
    record.displayLine1Text = PrimaryTextComboBox->currentText();
    record.displayLine2Text = SecondaryTextComboBox->currentText();
    record.displayIntervalMs = DisplayIntervalTimer->interval();
    record.warningHandlingText = WarningHandlingComboBox->currentText();
    record.bootTemp = DecimalOf(BootTempComboBox->currentText());
    record.heaterEffect = HeatingSlider->value() * 10;
    record.operationHours = DecimalOf(OperHours->text());
    record.statusText = SystemStatPanel->text();
    return record;
}

void TForm1::ViewLogButtonClick() {
    Guarded([this] {
        if (operationLog)
            operationLog->View();
    });
}

void TForm1::ErrorViewButtonClick() {
    Guarded([this] {
        if (errorLog)
            errorLog->View();
    });
}
