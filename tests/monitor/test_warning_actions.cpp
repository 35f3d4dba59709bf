// What a warning does for each choice of the warning-handling list, the blinking of a pending
// shutdown, and how the choice is stored.
#include "MonitorFixture.h"

#include <QDir>
#include <QLineEdit>
#include <QTest>

namespace {

struct ChoiceCase {
    const char* name;
    int index; // item to select, or -1 to type `typed`
    const char* typed;
    bool sound;
    bool trayAnimation;
    bool windowBack;
};

class WarningAction : public MonitorFixture, public ::testing::WithParamInterface<ChoiceCase> {};

TEST_P(WarningAction, DoesWhatWasChosenAndAlwaysWritesOneRecordPerPass) {
    const ChoiceCase& c = GetParam();
    TForm1& f = Start();
    if (c.index >= 0)
        f.WarningHandlingComboBox->setCurrentIndex(c.index);
    else
        f.WarningHandlingComboBox->setEditText(c.typed);
    f.showMinimized();
    f.hide();

    for (int pass = 1; pass <= 2; ++pass) {
        Pass(Status(82)); // "FAN FAILED": orange, a warning on every pass
        EXPECT_EQ(ErrorRecords(), pass);
    }

    EXPECT_EQ(sound->played.size(), c.sound ? 2 : 0);
    EXPECT_EQ(f.TrayAnimationRequested(), c.trayAnimation);
    EXPECT_EQ(f.isVisible(), c.windowBack);
    if (c.windowBack) {
        EXPECT_FALSE(f.isMinimized());
    }
    EXPECT_TRUE(messages->shown.isEmpty()) << messages->shown.join('|').toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Choices, WarningAction,
    ::testing::Values(ChoiceCase{"alarmSound", 0, "", true, false, false},
                      ChoiceCase{"blinkingTrayIcon", 1, "", false, true, false},
                      ChoiceCase{"openControlCenter", 2, "", false, false, true},
                      ChoiceCase{"ignore", 3, "", false, false, false},
                      ChoiceCase{"typedText", -1, "beep twice", false, false, false},
                      ChoiceCase{"noSelection", -1, "", false, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

class Warnings : public MonitorFixture {};

TEST_F(Warnings, TheNextPassSwitchesABlinkingTrayIconOffWhenTheWarningHasGone) {
    TForm1& f = Start();
    f.WarningHandlingComboBox->setCurrentIndex(1);
    Pass(Status(82));
    ASSERT_TRUE(f.TrayAnimationRequested());
    Pass(Status(1));
    EXPECT_FALSE(f.TrayAnimationRequested());
}

TEST_F(Warnings, TheAlarmToneInTheDataFolderComesBeforeTheShippedOne) {
    Start();
    Pass(Status(82));
    ASSERT_EQ(sound->played.size(), 1);
    // None in the data folder: the one beside the program (the build copies it there).
    EXPECT_EQ(sound->played[0], QCoreApplication::applicationDirPath() + "/Alarm.wav");
    EXPECT_TRUE(QFile::exists(sound->played[0]));

    QFile own(files->dir.filePath("Alarm.wav"));
    ASSERT_TRUE(own.open(QIODevice::WriteOnly));
    own.close();
    Pass(Status(82));
    EXPECT_EQ(sound->played.value(1), files->dir.filePath("Alarm.wav"));
}

TEST_F(Warnings, ErrorLogRecordIsWrittenWithTheReadingsThatRaisedTheWarning) {
    Start();
    Pass(Status(1, {-7, 25, 0, 0, 0}, 1300, 1150));
    QFile log(files->dir.filePath("Error.log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = log.readAll().split('\n');
    ASSERT_GE(lines.size(), 3);
    const QList<QByteArray> fields = lines[2].split('\t');
    ASSERT_EQ(fields.size(), 39); // 38 fields, each followed by a tab
    EXPECT_EQ(fields[3], "1150"); // rear fan
    EXPECT_EQ(fields[4], "1300"); // front fan
    EXPECT_EQ(fields[12], "Evaporator");
    EXPECT_EQ(fields[13], "-7");
    EXPECT_EQ(fields[37], "Warning"); // the status panel at the time
}

// ---- blinking ---------------------------------------------------------------------------------

TEST_F(Warnings, BlinkingAlternatesRedAndSilverAndRepeatsTheMessagesWithTheTone) {
    TForm1& f = Start();
    SetPanelTextColour(f.SystemStatPanel, QColor(255, 0, 0));

    f.BlinkTimerTimer();
    EXPECT_EQ(PanelTextColour(f.SystemStatPanel), QColor(192, 192, 192));
    EXPECT_EQ(*f.traceMessages, (QStringList{"TEMPERATURE CRITICAL - SHUTTING DOWN",
                                             "CLOSE CONTROL CENTER TO CANCEL SHUTDOWN"}));
    EXPECT_EQ(sound->played.size(), 1);

    f.BlinkTimerTimer();
    EXPECT_EQ(PanelTextColour(f.SystemStatPanel), QColor(255, 0, 0));
    f.BlinkTimerTimer();
    EXPECT_EQ(f.traceMessages->size(), 6);
    EXPECT_EQ(sound->played.size(), 3);

    // Five or more messages waiting: only the colour changes until the status bar catches up.
    f.BlinkTimerTimer();
    EXPECT_EQ(PanelTextColour(f.SystemStatPanel), QColor(255, 0, 0));
    EXPECT_EQ(f.traceMessages->size(), 6);
    EXPECT_EQ(sound->played.size(), 3);
    f.StatusTimerTimer();
    f.StatusTimerTimer();
    f.BlinkTimerTimer();
    EXPECT_EQ(f.traceMessages->size(), 6);
    EXPECT_EQ(sound->played.size(), 4);
}

TEST_F(Warnings, BlinkingTurnsAnyOtherColourRed) {
    TForm1& f = Start();
    SetPanelTextColour(f.SystemStatPanel, QColor(0, 128, 0));
    f.BlinkTimerTimer();
    EXPECT_EQ(PanelTextColour(f.SystemStatPanel), QColor(255, 0, 0));
}

// ---- storing the choice ------------------------------------------------------------------------

TEST_F(Warnings, AUserPickIsStoredAtOnceAndATypedTextAsMinusOne) {
    TForm1& f = Start();
    // Two steps down the list from "Alarm Sound", as with the arrow key.
    QTest::keyClick(f.WarningHandlingComboBox, Qt::Key_Down);
    QTest::keyClick(f.WarningHandlingComboBox, Qt::Key_Down);
    ASSERT_EQ(f.WarningHandlingComboBox->currentIndex(), 2);
    EXPECT_EQ(OpenSettingsStore()->value("Warning handling Index"), 2);

    f.WarningHandlingComboBox->lineEdit()->clear();
    QTest::keyClicks(f.WarningHandlingComboBox->lineEdit(), "x");
    EXPECT_EQ(OpenSettingsStore()->value("Warning handling Index"), -1);
    EXPECT_TRUE(messages->shown.isEmpty()) << messages->shown.join('|').toStdString();
}

TEST_F(Warnings, AChoiceMadeByTheProgramIsNotStored) {
    TForm1& f = Start();
    f.WarningHandlingComboBox->setCurrentIndex(3);
    f.ApplyFactoryDefaults();
    EXPECT_FALSE(QFile::exists(SettingsStorePath()));
}

TEST_F(Warnings, AStoreThatCannotBeWrittenIsReportedAndTheChoiceStillApplies) {
    TForm1& f = Start();
    // The settings folder cannot be created: a plain file stands where it would go.
    QFile blocker(configDir.filePath("velmor"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    f.WarningHandlingComboBox->setCurrentIndex(3);
    f.WarningHandlingComboBoxChange();
    ASSERT_EQ(messages->shown.size(), 1);
    EXPECT_TRUE(messages->shown[0].startsWith("Error: ")) << messages->shown[0].toStdString();

    Pass(Status(82));
    EXPECT_TRUE(sound->played.isEmpty()); // "Ignore" is in force
}

} // namespace
