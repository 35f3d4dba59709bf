#include "ui/WindowTexts.h"

#include "ui_TForm1.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QSignalBlocker>

const QString kWindowTitle = QStringLiteral("Tarvik II Control Centre 1.23");

const QString kSystemPageCaption = QStringLiteral("System");
const QString kSetupPageCaption = QStringLiteral("Setup");
const QString kDisplayPageCaption = QStringLiteral("Display");
const QString kMiscPageCaption = QStringLiteral("Misc.");
const QString kRtcPageCaption = QStringLiteral("RTC");

const QString kOverallGroupCaption = QStringLiteral("Overall");
const QString kStatusCaption = QStringLiteral("Status");
const QString kInitialisingText = QStringLiteral("Initializing");
const QString kCpuSpeedCaption = QStringLiteral("CPU speed");
const QString kCpuSpeedPanelText = QStringLiteral("MHz ");
const QString kCpuLoadCaption = QStringLiteral("CPU load");
const QString kTemperaturesGroupCaption = QStringLiteral("Temperatures");
const QStringList kSensorRowNumbers = {QStringLiteral("1:"), QStringLiteral("2:"),
                                       QStringLiteral("3:"), QStringLiteral("4:"),
                                       QStringLiteral("5:")};
const QStringList kSensorRowNames = {QStringLiteral("Evaporator"), QStringLiteral("Ambient"),
                                     QStringLiteral("Optional"), QStringLiteral("Optional"),
                                     QStringLiteral("Optional")};
const QString kNoTemperatureText = QStringLiteral("-");
const QString kFansGroupCaption = QStringLiteral("Fans");
const QString kFrontFanCaption = QStringLiteral("Front (Condenser)");
const QString kRearFanCaption = QStringLiteral("Rear  (Exhaust)");
const QString kNoFanSpeedText = QStringLiteral("0 RPM");

const QString kSensorNameCaption = QStringLiteral("Sensor name/location");
const QString kWhenCaption = QStringLiteral("When");
const QString kWarningCaption = QStringLiteral("Warning");
const QString kShutDownCaption = QStringLiteral("Shut-down");
const QString kEvaporatorName = QStringLiteral("Evaporator");
const QString kPositionCaption = QStringLiteral("Position");
const QString kModeCaption = QStringLiteral("Mode");
const QString kManualCaption = QStringLiteral("Manual");
const QString kMinCaption = QStringLiteral("Min");
const QString kMaxCaption = QStringLiteral("Max");

const QStringList kSensor2NameItems = {QStringLiteral("Optional"),
                                       QStringLiteral("Ambient"),
                                       QStringLiteral("Surface microfreezer"),
                                       QStringLiteral("Surface rearcover"),
                                       QStringLiteral("Compressor"),
                                       QStringLiteral("Graphic Processor"),
                                       QStringLiteral("Harddisk")};
const QStringList kSensor3To5NameItems = {
    QStringLiteral("Optional"),          QStringLiteral("Surface microfreezer"),
    QStringLiteral("Surface rearcover"), QStringLiteral("Compressor"),
    QStringLiteral("Graphic Processor"), QStringLiteral("Harddisk")};
const QStringList kHighLowItems = {QStringLiteral("Higher"), QStringLiteral("Lower")};
const QStringList kFanModeItems = {QStringLiteral("Normal"), QStringLiteral("Low noise"),
                                   QStringLiteral("Turbo"), QStringLiteral("Manual")};

const QString kDisplayLine1GroupCaption = QStringLiteral("Display line 1");
const QString kDisplayLine1Caption = QStringLiteral("Select the text for display line 1.");
const QString kPrimaryTextCaption = QStringLiteral("Primary text");
const QString kSecondaryTextCaption = QStringLiteral("Secondary text");
const QString kIntervalCaption = QStringLiteral("Interval");
const QString kDisplayLine2GroupCaption = QStringLiteral("Display line 2");
const QString kDisplayLine2Caption = QStringLiteral("Select the parameters for display line 2.");
const QStringList kParameterCaptions = {
    QStringLiteral("Parameter 1"), QStringLiteral("Parameter 2"), QStringLiteral("Parameter 3")};
const QString kTrayIconGroupCaption = QStringLiteral("Tray Icon");
const QString kTrayIconCaption = QStringLiteral("Select tray icon text");
const QString kWarningHandlingGroupCaption = QStringLiteral("Warning Handling");
const QString kWarningHandlingCaption = QStringLiteral("Select which event to trigger");

const QStringList kDisplayTextItems = {
    QStringLiteral("Speed Load Temp"), QStringLiteral("Tarvik II"),
    QStringLiteral("DRALMIC"),         QStringLiteral("Super Cooled"),
    QStringLiteral("Mean Machine"),    QStringLiteral("Your own Text")};
const QStringList kDisplayIntervalItems = {QStringLiteral("5 Sec"),  QStringLiteral("10 Sec"),
                                           QStringLiteral("30 Sec"), QStringLiteral("1 Min"),
                                           QStringLiteral("3 Min"),  QStringLiteral("5 Min"),
                                           QStringLiteral("10 Min"), QStringLiteral("Never")};
const QStringList kDisplayParamItems = {
    QStringLiteral("Evaporator temp."), QStringLiteral("Sensor 2 temp."),
    QStringLiteral("Sensor 3 temp"),    QStringLiteral("Sensor 4 temp"),
    QStringLiteral("Sensor 5 temp"),    QStringLiteral("CPU Speed"),
    QStringLiteral("CPU Load"),         QStringLiteral("   ")};
const QStringList kTrayTextItems = {
    QStringLiteral("Evaporator temp."), QStringLiteral("Sensor 2 temp."),
    QStringLiteral("Sensor 3 temp."),   QStringLiteral("Sensor 4 temp."),
    QStringLiteral("Sensor 5 temp."),   QStringLiteral("CPU speed"),
    QStringLiteral("CPU load")};
const QStringList kWarningHandlingItems = {
    QStringLiteral("Alarm Sound"), QStringLiteral("Blinking tray icon"),
    QStringLiteral("Open control center"), QStringLiteral("Ignore")};

const QString kOperationLogGroupCaption = QStringLiteral("Operation Log");
const QString kViewLogCaption = QStringLiteral("&View");
const QString kClearLogCaption = QStringLiteral("&Clear");
const QString kErrorLogGroupCaption = QStringLiteral("Error Log");
const QString kViewErrorLogCaption = QStringLiteral("V&iew");
const QString kReportCaption = QStringLiteral("Report");
const QString kBootControlGroupCaption = QStringLiteral("Boot Control");
const QString kBootTemperatureCaption = QStringLiteral("Boot temperature");
const QString kTemperatureFormatGroupCaption = QStringLiteral("Temperature Format");
const QString kCelsiusCaption = QStringLiteral("Celsius");
const QString kFahrenheitCaption = QStringLiteral("Fahrenheit");
const QString kTotalGroupCaption = QStringLiteral("Total");
const QString kOperationHoursCaption = QStringLiteral("Operation hours");
const QString kNoOperationHoursText = QStringLiteral("-1");
const QString kHeaterGroupCaption = QStringLiteral("Heater Control");
const QString kEffectCaption = QStringLiteral("Effect");
const QString kZeroEffectCaption = QStringLiteral("0%");
const QString kFullEffectCaption = QStringLiteral("100%");
const QString kHeaterReducedCaption = QStringLiteral("Remaning time heating is reduced");
const QString kNoHeaterReductionText = QStringLiteral("0 Min");

namespace {

// Replaces a list's items and selects one of them without raising any of its change signals
// (nor those of the text field of an editable list).
void FillList(QComboBox* list, const QStringList& items, int selected) {
    const QSignalBlocker blockList(list);
    const QSignalBlocker blockEdit(list->lineEdit());
    list->clear();
    list->addItems(items);
    list->setCurrentIndex(selected);
}

void SetPageCaption(QTabWidget* pages, QWidget* page, const QString& caption) {
    pages->setTabText(pages->indexOf(page), caption);
}

void SetSystemPageTexts(Ui::TForm1& f) {
    SetPageCaption(f.PageControl1, f.TabSheet1, kSystemPageCaption);

    f.OverallGroupBox->setTitle(kOverallGroupCaption);
    f.StatusLabel->setText(kStatusCaption);
    f.SystemStatPanel->setText(kInitialisingText);
    f.SpeedLoadLabel->setText(kCpuSpeedCaption);
    f.CPUSpeedLoadPanel->setText(kCpuSpeedPanelText);
    f.LoadLabel->setText(kCpuLoadCaption);

    f.TempGroupBox->setTitle(kTemperaturesGroupCaption);
    QLabel* const rowNumbers[] = {f.Label4, f.Label5, f.Label36, f.Label37, f.Label38};
    QLabel* const names[] = {f.ShowSensor1, f.ShowSensor2, f.ShowSensor3, f.ShowSensor4,
                             f.ShowSensor5};
    QLabel* const temperatures[] = {f.Temp1, f.Temp2, f.Temp3, f.Temp4, f.Temp5};
    QLabel* const states[] = {f.TempStat1, f.TempStat2, f.TempStat3, f.TempStat4, f.TempStat5};
    for (int row = 0; row < 5; ++row) {
        rowNumbers[row]->setText(kSensorRowNumbers[row]);
        names[row]->setText(kSensorRowNames[row]);
        temperatures[row]->setText(kNoTemperatureText);
        states[row]->clear();
    }

    f.FanGroupBox->setTitle(kFansGroupCaption);
    f.Fan1Label->setText(kFrontFanCaption);
    f.Fan2Label->setText(kRearFanCaption);
    f.FanRPM1->setText(kNoFanSpeedText);
    f.FanRPM2->setText(kNoFanSpeedText);
    f.Fan1StatusLabel->clear();
    f.Fan2StatusLabel->clear();
}

void SetSetupPageTexts(Ui::TForm1& f) {
    SetPageCaption(f.PageControl1, f.TabSheet2, kSetupPageCaption);

    f.SetupTempGroupBox->setTitle(kTemperaturesGroupCaption);
    QLabel* const rowNumbers[] = {f.Label6, f.Label7, f.Label8, f.Label9, f.Label10};
    for (int row = 0; row < 5; ++row)
        rowNumbers[row]->setText(kSensorRowNumbers[row]);
    f.SetupSensorLabel->setText(kSensorNameCaption);
    f.WhenLabel->setText(kWhenCaption);
    f.SetupAlm->setText(kWarningCaption);
    f.SetupShDn->setText(kShutDownCaption);
    f.EvaporatorEdit->setText(kEvaporatorName);
    f.Sensor1Edit->setText(kHighLowItems[0]);

    FillList(f.SetupSensorComboBox2, kSensor2NameItems, 0);
    for (QComboBox* nameBox :
         {f.SetupSensorComboBox3, f.SetupSensorComboBox4, f.SetupSensorComboBox5})
        FillList(nameBox, kSensor3To5NameItems, 0);
    for (QComboBox* direction : {f.Par2HighLow, f.Par3HighLow, f.Par4HighLow, f.Par5HighLow})
        FillList(direction, kHighLowItems, 0);

    f.FanSetupGroupBox->setTitle(kFansGroupCaption);
    f.PositionLabel->setText(kPositionCaption);
    f.ModeLabel->setText(kModeCaption);
    f.ManualLabel->setText(kManualCaption);
    f.Panel22->setText(kFrontFanCaption);
    f.Panel23->setText(kRearFanCaption);
    FillList(f.FrontFanModeComboBox, kFanModeItems, 0);
    FillList(f.RearFanModeComboBox, kFanModeItems, 0);
    f.FanMinLabel->setText(kMinCaption);
    f.FanMaxLabel->setText(kMaxCaption);
}

void SetDisplayPageTexts(Ui::TForm1& f) {
    SetPageCaption(f.PageControl1, f.TabSheet4, kDisplayPageCaption);

    f.Display1GroupBox->setTitle(kDisplayLine1GroupCaption);
    f.DisplayLine1Label->setText(kDisplayLine1Caption);
    f.PrimaryTextLabel->setText(kPrimaryTextCaption);
    f.SecondaryTextLabel->setText(kSecondaryTextCaption);
    f.IntervalLabel->setText(kIntervalCaption);
    FillList(f.PrimaryTextComboBox, kDisplayTextItems, kDefaultPrimaryTextIndex);
    FillList(f.SecondaryTextComboBox, kDisplayTextItems, kDefaultSecondaryTextIndex);
    FillList(f.DispLine1Int, kDisplayIntervalItems, kDefaultDisplayIntervalIndex);

    f.Display2GroupBox->setTitle(kDisplayLine2GroupCaption);
    f.DisplayLine2Label->setText(kDisplayLine2Caption);
    f.Para1Label->setText(kParameterCaptions[0]);
    f.Para2Label->setText(kParameterCaptions[1]);
    f.Para3Label->setText(kParameterCaptions[2]);
    FillList(f.DispParam1, kDisplayParamItems, kDefaultDisplayParam1Index);
    FillList(f.DispParam2, kDisplayParamItems, kDefaultDisplayParam2Index);
    FillList(f.DispParam3, kDisplayParamItems, kDefaultDisplayParam3Index);

    f.TrayIconGroupBox->setTitle(kTrayIconGroupCaption);
    f.TraySelLabel1->setText(kTrayIconCaption);
    FillList(f.IconShowComboBox, kTrayTextItems, kDefaultTrayTextIndex);

    f.WarningHandlingGroupBox->setTitle(kWarningHandlingGroupCaption);
    f.WarningHandLabel1->setText(kWarningHandlingCaption);
    FillList(f.WarningHandlingComboBox, kWarningHandlingItems, kDefaultWarningHandlingIndex);
}

void SetMiscPageTexts(Ui::TForm1& f) {
    SetPageCaption(f.PageControl1, f.TabSheet5, kMiscPageCaption);

    f.OperationGroupBox->setTitle(kOperationLogGroupCaption);
    f.ViewLogButton->setText(kViewLogCaption);
    f.ClearLogButton->setText(kClearLogCaption);
    f.ErrorGroupBox->setTitle(kErrorLogGroupCaption);
    f.ErrorViewButton->setText(kViewErrorLogCaption);
    f.SendButton->setText(kReportCaption);
    f.BootGroupBox->setTitle(kBootControlGroupCaption);
    f.BootControlLabel->setText(kBootTemperatureCaption);
    f.TempFormatGroupBox->setTitle(kTemperatureFormatGroupCaption);
    f.CelsiusRadioButton->setText(kCelsiusCaption);
    f.FahrenheitRadioButton->setText(kFahrenheitCaption);
    f.TotalGroupBox->setTitle(kTotalGroupCaption);
    f.TotalHourlabel->setText(kOperationHoursCaption);
    f.OperHours->setText(kNoOperationHoursText);

    f.HeaterComboBox->setTitle(kHeaterGroupCaption);
    f.EffectLabel->setText(kEffectCaption);
    f.ZeroEffectLabel->setText(kZeroEffectCaption);
    f.Effect100Label->setText(kFullEffectCaption);
    f.HeaterReduceLabel->setText(kHeaterReducedCaption);
    f.HeatingTimerPanel->setText(kNoHeaterReductionText);
}

// Labels marked "autoSize" in the form take the size of their caption.
void SizeLabelsToTexts(QMainWindow& window) {
    const auto labels = window.findChildren<QLabel*>();
    for (QLabel* label : labels) {
        if (label->property("autoSize").toBool())
            label->adjustSize();
    }
}

} // namespace

void ApplyWindowTexts(Ui::TForm1& form, QMainWindow& window) {
    window.setWindowTitle(kWindowTitle);
    SetSystemPageTexts(form);
    SetSetupPageTexts(form);
    SetDisplayPageTexts(form);
    SetMiscPageTexts(form);
    SetPageCaption(form.PageControl1, form.TabSheet3, kRtcPageCaption);
    form.PageControl1->setTabVisible(form.PageControl1->indexOf(form.TabSheet3), false);
    SizeLabelsToTexts(window);
}
