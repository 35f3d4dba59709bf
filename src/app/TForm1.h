#pragma once

#include "mail/ErrorReport.h"
#include "platform/Services.h"
#include "protocol/Frame.h"
#include "protocol/PacketExchange.h"
#include "ui_TForm1.h"
#include "usb/UnitLink.h"

#include <QMainWindow>
#include <QStringList>
#include <QTimer>

#include <atomic>
#include <functional>
#include <memory>

class LogManager;
class CPUThread;

// The control centre's main window and controller: it owns the run-time state, the timers and
// every handler. Members of each subsystem are defined in that subsystem's folder.
class TForm1 : public QMainWindow, public Ui::TForm1 {
    Q_OBJECT

public:
    explicit TForm1(Services services, QWidget* parent = nullptr);
    ~TForm1() override;

    // --- application core -------------------------------------------------------------------
    // True once the program has been asked to end; handlers then do nothing.
    bool IsTerminating() const { return terminating; }
    void CloseSequence();
    void Exit1Click();
    // Brings the window back from the tray or the task bar and to the front.
    void Open1Click();

    QString exeDirectory;
    std::unique_ptr<LogManager> errorLog;
    std::unique_ptr<LogManager> operationLog;
    bool usbConnected = false;
    std::unique_ptr<std::atomic<std::int32_t>> cpuSpeedMHz;
    std::unique_ptr<std::atomic<std::int32_t>> cpuLoadPercent;
    std::unique_ptr<CPUThread> cpuThread;
    std::unique_ptr<QStringList> traceMessages;
    QByteArray line2Text;
    bool showPrimaryText = false;
    bool initialised = false;
    // Set once the window has been shown; it stays set while the window sits in the tray.
    bool windowShown = false;

    // Dirty flags: a setup change waiting for the apply cycle.
    bool fanSettingsChanged = false;
    bool displayTextChanged = false;
    bool displayParamsChanged = false;
    bool highLowChanged = false;
    bool sensorNamesChanged = false;
    bool unitsChanged = false;
    bool warningLimitsChanged = false;
    bool shutdownLimitsChanged = false;
    bool bootTempChanged = false;
    void ClearDirtyFlags();
    void SetAllDirtyFlags();

    QTimer* StatusTimer;
    QTimer* UpdateDataTimer;
    QTimer* WriteChangesTimer;
    QTimer* DisplayIntervalTimer;
    QTimer* MaintainTimer;
    QTimer* HoursRunTimer;
    QTimer* HeatingCountDownTimer;
    QTimer* ShutDownTimer;
    QTimer* BlinkTimer;

    void StatusTimerTimer();
    void UpdateDataTimerTimer();
    void HoursRunTimerTimer();

    // --- unit link ----------------------------------------------------------------------------
    void ConnectUnit();

    // --- unit protocol ------------------------------------------------------------------------
    void ExchangePacket(const Frame& frame);
    void ComDataPacket1Packet(const QByteArray& payload);
    void ComDataPacket2Packet(const QByteArray& payload);
    void ComDataPacket3Packet(const QByteArray& payload);
    void ComDataPacket6Packet(const QByteArray& payload);
    void ComDataPacket7Packet(const QByteArray& payload);
    void RequestInitialPackets();
    void SendUnitSettings();
    void SendFanSettings();
    void SendPrimaryText();
    void SendSecondaryText();
    void SendLine2Text();
    void SendBlankDisplayLines();
    void SendShutdownCommand();

    // --- monitoring ---------------------------------------------------------------------------
    void UpdateUnitStatus();
    void ApplyFactoryDefaults();
    void ShutDownTimerTimer();
    void BlinkTimerTimer();

    // --- settings -----------------------------------------------------------------------------
    void LoadSensorSettings();
    void LoadChoiceSettings();
    void LoadUnitSettings();
    void WriteChangesTimerTimer();

    // --- unit display -------------------------------------------------------------------------
    void ComposeLine2();
    void DisplayIntervalTimerTimer();

    // --- operator interface -------------------------------------------------------------------
    void SetWindowTexts();
    void InstallHelpKeyHook();
    // The tray icon either steps through its frames every 300 ms or shows one still frame
    // (frame 0 is the normal icon). Warnings and the critical shutdown switch it.
    void SetTrayAnimation(bool on);
    void ShowTrayFrame(int frame);
    void HeatingCountDownTimerTimer();
    // Heater power control and the auto-start schedule page (both hidden in the window).
    void HeatingSliderChange();
    void MondayCheckBoxClick();
    void TuesdayCheckBoxClick();
    void WednesdayCheckBoxClick();
    void ThursdayCheckBoxClick();
    void FridayCheckBoxClick();

    // --- logging ------------------------------------------------------------------------------
    void WriteOperationLogRecord();
    void MaintainTimerTimer();

    // --- host metrics -------------------------------------------------------------------------
    void CreateCpuThread();

    // --- error report by mail -----------------------------------------------------------------
    void SendButtonClick();
    void MailErrorLog(const QString& subject, const QString& recipient, const QString& body,
                      const QString& filePath, const MailTrace& trace);
    std::uint32_t SendMapiMessage(const QString& recipient, const QString& subject,
                                  const QString& body, const QString& filePath);
    static void ReportMailError(const QString& text, const MailTrace& trace);
    // The mail system's session handle; it outlives each exchange.
    std::uint32_t mapiSession = 0;

    Services services;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void FormClose();
    void Construct();
    void CreateTimers();
    void ApplyInitialAppearance();
    void FillBootTempList();
    void StartTimers();
    void SendNormalFanPreset();
    void StopTimersForClose();
    void ReturnHoursAndBlankDisplay();
    void ReleaseOwnedObjects();
    void StopCpuThread();
    void QueueTrace(const QString& text);
    void DispatchPacket(std::uint8_t packet, const QByteArray& payload);
    void UpdateSensorRows();
    // Runs a handler's work; an error is shown as "Error: ..." and the handler ends.
    void Guarded(const std::function<void()>& work);
    void ShowError(const std::exception_ptr& error);

    // --- heater, schedule page and mail ---
    void ConnectHeaterAndScheduleHandlers();
    void ConnectMailHandlers();
    void SwitchDayRow(int day, bool active);

    PacketExchange exchange;
    bool terminating = false;
    bool closeSequenceDone = false;
};
