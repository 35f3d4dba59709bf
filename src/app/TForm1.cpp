#include "app/TForm1.h"

#include "hostmetrics/CPUThread.h"
#include "log/LogManager.h"
#include "platform/ErrorText.h"
#include "protocol/UnitData.h"
#include "ui/EventHook.h"

#include <QCloseEvent>
#include <QCoreApplication>

namespace {

constexpr int kStatusIntervalMs = 1500;
constexpr int kDataIntervalMs = 3000;
constexpr int kApplyIntervalMs = 4000;
// Effectively "never" until the display-interval choice sets a real interval.
constexpr int kDisplayIntervalUnsetMs = 50000000;
constexpr int kMaintainDelayMs = 30000;
constexpr int kHourMs = 3600000;
constexpr int kHeatingCountDownMs = 60000;
constexpr int kShutdownDelayMs = 180000;
constexpr int kBlinkIntervalMs = 300;

constexpr int kPauseAfterFanPresetMs = 100;

} // namespace

TForm1::TForm1(Services services, QWidget* parent)
    : QMainWindow(parent), services(std::move(services)),
      exchange(
          *this->services.unitLink, *this->services.messages,
          [this](const QString& text) { QueueTrace(text); },
          [this](std::uint8_t packet, const QByteArray& payload) {
              DispatchPacket(packet, payload);
          }) {
    setupUi(this);
    // A fixed window: system menu and minimise only, at its design position.
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    move(556, 196);
    CreateTimers();
    ConnectMonitorHandlers();
    ConnectLogHandlers();
    CreateTrayIcon();
    ConnectSettingsHandlers();
    ConnectDisplayHandlers();
    ConnectHeaterAndScheduleHandlers();
    ConnectMailHandlers();
    Construct();
    if (!terminating)
        ShowTrayIcon();
}

TForm1::~TForm1() {
    // The window's event hooks call members of the controller. Events still reach the window
    // while its base classes take it down, when the controller's members are gone, so the
    // hooks go first.
    // (EventHook has no meta-object of its own, so findChildren would match every child.)
    const QObjectList children = this->children();
    for (QObject* child : children)
        delete dynamic_cast<EventHook*>(child);
    // A close sequence cut short by an error may have left the sampler running.
    StopCpuThread();
}

void TForm1::showEvent(QShowEvent* event) {
    windowShown = true;
    QMainWindow::showEvent(event);
}

void TForm1::StopCpuThread() {
    if (!cpuThread)
        return;
    cpuThread->Stop();
    cpuThread->wait();
    cpuThread.reset();
}

void TForm1::CreateTimers() {
    const auto makeTimer = [this](const char* name, int interval, void (TForm1::*handler)()) {
        auto* timer = new QTimer(this);
        timer->setObjectName(QString::fromLatin1(name));
        timer->setInterval(interval);
        connect(timer, &QTimer::timeout, this, handler);
        return timer;
    };
    StatusTimer = makeTimer("StatusTimer", kStatusIntervalMs, &TForm1::StatusTimerTimer);
    UpdateDataTimer = makeTimer("UpdateDataTimer", kDataIntervalMs, &TForm1::UpdateDataTimerTimer);
    WriteChangesTimer =
        makeTimer("WriteChangesTimer", kApplyIntervalMs, &TForm1::WriteChangesTimerTimer);
    DisplayIntervalTimer = makeTimer("DisplayIntervalTimer", kDisplayIntervalUnsetMs,
                                     &TForm1::DisplayIntervalTimerTimer);
    // The maintenance handler stops its own timer on its first tick.
    MaintainTimer = makeTimer("MaintainTimer", kMaintainDelayMs, &TForm1::MaintainTimerTimer);
    HoursRunTimer = makeTimer("HoursRunTimer", kHourMs, &TForm1::HoursRunTimerTimer);
    HeatingCountDownTimer = makeTimer("HeatingCountDownTimer", kHeatingCountDownMs,
                                      &TForm1::HeatingCountDownTimerTimer);
    ShutDownTimer = makeTimer("ShutDownTimer", kShutdownDelayMs, &TForm1::ShutDownTimerTimer);
    BlinkTimer = makeTimer("BlinkTimer", kBlinkIntervalMs, &TForm1::BlinkTimerTimer);
}

void TForm1::Construct() {
    line2Text.clear();
    initialised = false;
    try {
        exeDirectory = services.files->DataDirectory();
        errorLog = std::make_unique<LogManager>(exeDirectory + QStringLiteral("Error.log"),
                                                *services.messages, *services.processes);
        operationLog =
            std::make_unique<LogManager>(exeDirectory + QStringLiteral("Operatation.log"),
                                         *services.messages, *services.processes);

        usbConnected = false;
        ConnectUnit();
        if (terminating)
            return;

        CreateCpuThread();
        traceMessages = std::make_unique<QStringList>();
        PageControl1->setCurrentIndex(0);
        trayHintSelection = 0;
        ApplyInitialAppearance();
        FillBootTempList();
        SetWindowTexts();
        InstallHelpKeyHook();
        PrimaryTextComboBox->lineEdit()->setMaxLength(16);
        SecondaryTextComboBox->lineEdit()->setMaxLength(16);
        ApplyFactoryDefaults();
        LoadSensorSettings();
        LoadChoiceSettings();
        LoadUnitSettings();
        WriteOperationLogRecord();
        // Neither the defaults nor the loads may cause a send or a save.
        ClearDirtyFlags();
        showPrimaryText = true;
        RequestInitialPackets();
        StartTimers();
        fanSettingsChanged = false;
        services.clock->Pause(kPauseAfterFanPresetMs);
        SendNormalFanPreset();
    } catch (...) {
        ShowError(std::current_exception());
    }
    initialised = true;
}

void TForm1::StartTimers() {
    WriteChangesTimer->start();
    if (DispLine1Int->currentText() != QStringLiteral("Never"))
        DisplayIntervalTimer->start();
    MaintainTimer->start();
    HoursRunTimer->start();
    UpdateDataTimer->start();
    StatusTimer->start();
}

// Whatever the fan lists showed at the last exit, the unit starts every run on "Normal".
void TForm1::SendNormalFanPreset() {
    FanSettingsBlock& fans = unitData.fanSettings;
    fans.fanLimitRpm = 2100;
    fans.frontFanLowRpm = 1100;
    fans.frontFanHighRpm = 1400;
    fans.rearFanLowRpm = 1100;
    fans.rearFanHighRpm = 1400;
    SendFanSettings();
}

void TForm1::FillBootTempList() {
    const QSignalBlocker blocker(BootTempComboBox);
    BootTempComboBox->clear();
    for (int i = 0; i <= 40; ++i)
        BootTempComboBox->addItem(i == 0 ? QStringLiteral("0") : QString::number(-i));
    BootTempComboBox->setCurrentIndex(33);
}

void TForm1::ClearDirtyFlags() {
    fanSettingsChanged = displayTextChanged = displayParamsChanged = false;
    highLowChanged = sensorNamesChanged = unitsChanged = false;
    warningLimitsChanged = shutdownLimitsChanged = bootTempChanged = false;
}

void TForm1::SetAllDirtyFlags() {
    fanSettingsChanged = displayTextChanged = displayParamsChanged = true;
    highLowChanged = sensorNamesChanged = unitsChanged = true;
    warningLimitsChanged = shutdownLimitsChanged = bootTempChanged = true;
}

void TForm1::QueueTrace(const QString& text) {
    if (traceMessages)
        traceMessages->append(text);
}

void TForm1::ShowError(const std::exception_ptr& error) {
    services.messages->ShowMessage(ErrorMessage(error));
}

void TForm1::Guarded(const std::function<void()>& work) {
    try {
        work();
    } catch (...) {
        ShowError(std::current_exception());
    }
}

// ---- closing --------------------------------------------------------------------------------

void TForm1::Exit1Click() {
    close();
}

void TForm1::Open1Click() {
    Guarded([this] {
        setWindowState(windowState() & ~Qt::WindowMinimized);
        show();
        raise();
        activateWindow();
    });
}

void TForm1::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

void TForm1::FormClose() {
    if (closeSequenceDone)
        return;
    closeSequenceDone = true;
    CloseSequence();
    // Closing the main window ends the program, also while it sits hidden in the tray.
    terminating = true;
    QCoreApplication::quit();
}

void TForm1::CloseSequence() {
    try {
        StopTimersForClose();
        ReturnHoursAndBlankDisplay();
        ReleaseOwnedObjects();
    } catch (...) {
        ShowError(std::current_exception());
    }
}

void TForm1::StopTimersForClose() {
    // The hours, shutdown and blink timers end with the window.
    HeatingCountDownTimer->stop();
    MaintainTimer->stop();
    UpdateDataTimer->stop();
    StatusTimer->stop();
    DisplayIntervalTimer->stop();
    WriteChangesTimer->stop();
}

// The unit gets back the hours counted by this run and its display is blanked. A failure here
// must not keep the rest of the close sequence from running.
void TForm1::ReturnHoursAndBlankDisplay() {
    // The panel's own visibility, not whether its page happens to be the current one.
    if (windowShown && !OperHours->isHidden()) {
        bool ok = false;
        const int shown = OperHours->text().toInt(&ok);
        if (!ok)
            throw ProgramError(
                QStringLiteral("'%1' is not a valid integer value").arg(OperHours->text()));
        unitData.unitSettings.operatingHours = shown;
    }
    try {
        if (unitData.unitSettings.operatingHours > 0)
            SendUnitSettings();
        SendBlankDisplayLines();
    } catch (...) {
        ShowError(std::current_exception());
    }
}

void TForm1::ReleaseOwnedObjects() {
    StopCpuThread();
    // Only now that the sampler has ended may the cells it writes go.
    cpuSpeedMHz.reset();
    cpuLoadPercent.reset();
    // A record a log could not take (its folder was read-only, say) would be lost with it.
    for (LogManager* log : {errorLog.get(), operationLog.get()}) {
        if (log)
            log->SaveKeptRecords();
    }
    errorLog.reset();
    operationLog.reset();
    traceMessages.reset();
}
