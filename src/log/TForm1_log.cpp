#include "app/TForm1.h"

#include "log/KelvData.h"
#include "log/LogManager.h"
#include "platform/ErrorText.h"
#include "protocol/UnitData.h"

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
