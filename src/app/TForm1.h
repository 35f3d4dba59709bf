#pragma once

#include "mail/ErrorReport.h"
#include "platform/Services.h"
#include "protocol/Frame.h"
#include "protocol/PacketExchange.h"
#include "ui_TForm1.h"
#include "usb/UnitLink.h"

#include <QIcon>
#include <QMainWindow>
#include <QStringList>
#include <QTimer>

#include <atomic>
#include <functional>
#include <memory>

class LogManager;
class CPUThread;
struct KelvData;
struct SensorData;
class QAction;
class QEvent;
class QMenu;
class QSystemTrayIcon;
class SettingsStore;
class QPainter;
enum class Fan;

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
    void ShowTemperatures();
    void ShowFanSpeeds();
    void CheckSensorLimits();
    void CheckSensorLimit(SensorData& slot);
    void RunWarningAction();
    void StartCriticalShutdown();
    void ApplyFactoryDefaults();
    void ShutDownTimerTimer();
    void BlinkTimerTimer();
    void WarningHandlingComboBoxChange();
    // Whether the monitor last asked the tray icon to animate (warnings, pending shutdown).
    bool TrayAnimationRequested() const { return trayAnimationRequested; }

    // --- settings -----------------------------------------------------------------------------
    void LoadSensorSettings();
    void LoadChoiceSettings();
    void LoadUnitSettings();
    void WriteChangesTimerTimer();
    void SaveBootTemperature();
    void SaveDisplayParams();
    void SaveHighLow();
    void SaveSensorNames();
    void SaveWarningLimits();
    void SaveShutdownLimits();

    void SetupSensorComboBox2Change();
    void SetupSensorComboBox3Change();
    void SetupSensorComboBox4Change();
    void SetupSensorComboBox5Change();
    void Par2HighLowChange();
    void Par3HighLowChange();
    void Par4HighLowChange();
    void Par5HighLowChange();
    void Sensor1AlmChange();
    void Sensor2AlmChange();
    void Sensor3AlmChange();
    void Sensor4AlmChange();
    void Sensor5AlmChange();
    void Sensor1ShDnChange();
    void Sensor2ShDnChange();
    void Sensor3ShDnChange();
    void Sensor4ShDnChange();
    void Sensor5ShDnChange();
    void FrontFanModeComboBoxChange();
    void RearFanModeComboBoxChange();
    void FrontFanManualChange();
    void RearFanManualChange();

    void CelsiusRadioButtonClick();
    void FahrenheitRadioButtonClick();
    void ConvertLimitFields();
    void ConvertLimitField(QSpinBox* field);
    void BootTempComboBoxChange();
    // Draws one boot list item with the painter's brush and pen, chosen by the toolkit for a
    // normal or a highlighted item.
    void BootTempComboBoxDrawItem(QPainter& painter, int index, const QRect& rect);

    // --- unit display -------------------------------------------------------------------------
    void ComposeLine2();
    void DisplayIntervalTimerTimer();
    void DispLine1IntChange();
    void DispParam1Change();
    void DispParam2Change();
    void DispParam3Change();
    void PrimaryTextComboBoxChange();
    void SecondaryTextComboBoxChange();

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

    // --- tray icon, tray menu and help key ----------------------------------------------------
    QSystemTrayIcon* TrayIcon1 = nullptr;
    // Frames of the tray icon; frame 0 is the normal icon.
    QList<QIcon> ImageList1;
    QMenu* PopupMenu1 = nullptr;
    QAction* Open1 = nullptr;
    QAction* About1 = nullptr;
    QAction* Exit1 = nullptr;
    QTimer* TrayAnimationTimer = nullptr;
    int trayFrame = 0;
    void TrayIcon1MouseDown(Qt::MouseButton button, int x, int y);
    void About1Click();
    void IconShowComboBoxChange();
    // Opens the help page of the current tab on the release of F1; true when it took the event.
    bool HelpKeyHook(QEvent* event);
    void TrayAnimationTimerTimer();

    // --- logging ------------------------------------------------------------------------------
    void WriteOperationLogRecord();
    void WriteErrorLogRecord();
    void ViewLogButtonClick();
    void ErrorViewButtonClick();
    void MaintainTimerTimer();
    void CheckLogSizes();
    void ClearLogButtonClick();

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
    void CreateTrayIcon();
    void ShowTrayIcon();
    bool WindowStateHook(QEvent* event);
    bool SystemTrayAvailable() const;
    void QueueTrace(const QString& text);
    void DispatchPacket(std::uint8_t packet, const QByteArray& payload);
    void UpdateSensorRows();
    // Runs a handler's work; an error is shown as "Error: ..." and the handler ends.
    void Guarded(const std::function<void()>& work);
    void ShowError(const std::exception_ptr& error);

    // Monitoring and alarms.
    void ConnectMonitorHandlers();
    void ShowUnitState();
    void RaiseTrayAlarm();
    void SwitchTrayAnimation(bool on);
    int WarningChoice() const;
    void PlayAlarmSound();
    void ShowCriticalDisplayText();
    void RequestSystemPowerOff();
    bool trayAnimationRequested = false;

    // Logging.
    void ConnectLogHandlers();
    KelvData TakeLogSnapshot() const;
    void WriteLogRecord(const std::unique_ptr<LogManager>& log);
    // --- settings and unit display ---
    void ConnectSettingsHandlers();
    void ConnectDisplayHandlers();
    void SensorNameBoxChange(int sensor);
    void LimitFieldChange(int sensor, bool warning);
    void FanModeChange(Fan fan);
    void FanSliderChange(Fan fan);
    void SwitchTemperatureUnit(bool celsius);
    void ShowSensorRowActive(int sensor, bool active);
    void UpdateFanControlsEnabled();
    void ApplyDisplayInterval(int item, bool startTimer);
    void ReadSensorSlots(const SettingsStore& store);
    void ShowLoadedSensorSlots();
    // --- heater, schedule page and mail ---
    void ConnectHeaterAndScheduleHandlers();
    void ConnectMailHandlers();
    void SwitchDayRow(int day, bool active);

    PacketExchange exchange;
    bool terminating = false;
    bool closeSequenceDone = false;
    // The application-wide F1 hook. Declared after `services`, so that it is removed before the
    // help viewer it calls goes.
    std::unique_ptr<QObject> helpKeyHook;
};
