#pragma once

#include <QString>
#include <QStringList>

class QMainWindow;
namespace Ui {
class TForm1;
}

// Every user-visible text of the main window and the item lists of its drop-down lists. Other
// code indexes the lists (stored choices are item indices) and compares against the texts, so
// each one is defined once, here.

extern const QString kWindowTitle;

// Page captions, in tab order.
extern const QString kSystemPageCaption;
extern const QString kSetupPageCaption;
extern const QString kDisplayPageCaption;
extern const QString kMiscPageCaption;
extern const QString kRtcPageCaption;

// --- "System" page ---------------------------------------------------------------------------
extern const QString kOverallGroupCaption;
extern const QString kStatusCaption;
extern const QString kInitialisingText;
extern const QString kCpuSpeedCaption;
extern const QString kCpuSpeedPanelText; // "MHz " with a trailing blank
extern const QString kCpuLoadCaption;
extern const QString kTemperaturesGroupCaption;
extern const QStringList kSensorRowNumbers; // "1:" .. "5:"
extern const QStringList kSensorRowNames;   // captions of ShowSensor1 .. ShowSensor5
extern const QString kNoTemperatureText;
extern const QString kFansGroupCaption;
extern const QString kFrontFanCaption;
extern const QString kRearFanCaption; // two blanks before the bracket
extern const QString kNoFanSpeedText;

// --- "Setup" page ----------------------------------------------------------------------------
extern const QString kSensorNameCaption;
extern const QString kWhenCaption;
extern const QString kWarningCaption;
extern const QString kShutDownCaption;
extern const QString kEvaporatorName;
extern const QString kPositionCaption;
extern const QString kModeCaption;
extern const QString kManualCaption;
extern const QString kMinCaption;
extern const QString kMaxCaption;

// Name boxes: row 2 offers "Ambient" as well; item 0, "Optional", means no sensor is fitted.
extern const QStringList kSensor2NameItems;
extern const QStringList kSensor3To5NameItems;
// Direction lists and the fixed direction of sensor 1: item 0 "Higher", item 1 "Lower".
extern const QStringList kHighLowItems;
// Fan mode lists: "Normal", "Low noise", "Turbo", "Manual".
extern const QStringList kFanModeItems;

// --- "Display" page --------------------------------------------------------------------------
extern const QString kDisplayLine1GroupCaption;
extern const QString kDisplayLine1Caption;
extern const QString kPrimaryTextCaption;
extern const QString kSecondaryTextCaption;
extern const QString kIntervalCaption;
extern const QString kDisplayLine2GroupCaption;
extern const QString kDisplayLine2Caption;
extern const QStringList kParameterCaptions; // "Parameter 1" .. "Parameter 3"
extern const QString kTrayIconGroupCaption;
extern const QString kTrayIconCaption;
extern const QString kWarningHandlingGroupCaption;
extern const QString kWarningHandlingCaption;

// Both line-1 text boxes.
extern const QStringList kDisplayTextItems;
// Alternation interval of line 1; the last item, "Never", stops the alternation.
extern const QStringList kDisplayIntervalItems;
// The three line-2 parameters; the last item is three blanks.
extern const QStringList kDisplayParamItems;
// Tray icon text.
extern const QStringList kTrayTextItems;
// Action on a warning.
extern const QStringList kWarningHandlingItems;

// Selections made when the window is built.
constexpr int kDefaultPrimaryTextIndex = 0;
constexpr int kDefaultSecondaryTextIndex = 2;
constexpr int kDefaultDisplayIntervalIndex = 0;
constexpr int kDefaultDisplayParam1Index = 5;
constexpr int kDefaultDisplayParam2Index = 6;
constexpr int kDefaultDisplayParam3Index = 0;
constexpr int kDefaultTrayTextIndex = 0;
constexpr int kDefaultWarningHandlingIndex = 0;

// --- "Misc." page ----------------------------------------------------------------------------
extern const QString kOperationLogGroupCaption;
extern const QString kViewLogCaption;  // "&View"
extern const QString kClearLogCaption; // "&Clear"
extern const QString kErrorLogGroupCaption;
extern const QString kViewErrorLogCaption; // "V&iew"
extern const QString kReportCaption;
extern const QString kBootControlGroupCaption;
extern const QString kBootTemperatureCaption;
extern const QString kTemperatureFormatGroupCaption;
extern const QString kCelsiusCaption;
extern const QString kFahrenheitCaption;
extern const QString kTotalGroupCaption;
extern const QString kOperationHoursCaption;
extern const QString kNoOperationHoursText;
extern const QString kHeaterGroupCaption;
extern const QString kEffectCaption;
extern const QString kZeroEffectCaption;
extern const QString kFullEffectCaption;
extern const QString kHeaterReducedCaption;
extern const QString kNoHeaterReductionText;

// Puts in the texts the user sees: the window title, the captions of every page, group, label,
// panel, button and radio button, and the contents of the two fixed text boxes; refills the
// drop-down lists above and selects their default items with the lists' signals blocked, so
// that no change handler runs; sizes the auto-size labels to their new texts; hides the "RTC"
// page's tab. Runs once, while the window is built.
void ApplyWindowTexts(Ui::TForm1& form, QMainWindow& window);
