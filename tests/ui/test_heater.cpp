#include "log/LogUpkeep.h"
#include "support/ControllerFixture.h"
#include "support/DialogAnswers.h"
#include "ui/HeaterReduction.h"
#include "ui/TForm2.h"
#include "ui/WindowColours.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTimeEdit>

namespace {

TForm2& AsHeaterDialog(QDialog& dialog) {
    auto* heater = qobject_cast<TForm2*>(&dialog);
    if (!heater)
        throw std::runtime_error("not the heater dialog");
    return *heater;
}

DialogAnswers::Answer OkWithMinutes(int minutes) {
    return [minutes](QDialog& dialog) {
        TForm2& heater = AsHeaterDialog(dialog);
        heater.HeatingTimer->setTime(QTime(0, minutes));
        heater.OkButton->click();
    };
}

class Heater : public ControllerFixture {
protected:
    TForm1& BuildHeater() {
        TForm1& f = Build();
        normalText = f.palette().color(QPalette::WindowText);
        return f;
    }

    // A reduction to position 5 for so many minutes, answered in the dialog.
    void ReduceFor(TForm1& f, int minutes) {
        answers.Then(OkWithMinutes(minutes));
        f.HeatingSlider->setValue(5);
    }

    void ExpectFullPower(TForm1& f) {
        EXPECT_EQ(f.HeatingSlider->value(), 10);
        EXPECT_EQ(f.HeatingTimerPanel->text(), "0 Min");
        EXPECT_FALSE(f.HeatingCountDownTimer->isActive());
        EXPECT_FALSE(f.HeaterReduceLabel->isEnabledTo(f.HeaterComboBox));
        EXPECT_EQ(PanelTextColour(f.EffectLabel), normalText);
        EXPECT_EQ(heaterReductionTime, kNoHeaterReduction);
    }

    DialogAnswers answers;
    QColor normalText;
};

TEST_F(Heater, AMildReductionNeedsNoTimeLimit) {
    TForm1& f = BuildHeater();
    f.HeatingSlider->setValue(8);

    EXPECT_EQ(answers.shown, 0);
    EXPECT_EQ(PanelTextColour(f.EffectLabel), kOrange);
    EXPECT_EQ(f.SystemStatPanel->text(), "Normal");
    EXPECT_EQ(PanelTextColour(f.SystemStatPanel), kGreen);
    EXPECT_FALSE(f.HeatingCountDownTimer->isActive());
    EXPECT_EQ(heaterReductionTime, kNoHeaterReduction);
}

TEST_F(Heater, ATimedReductionCountsDownAMinuteATickAndEndsAtFullPower) {
    TForm1& f = BuildHeater();
    ReduceFor(f, 15);

    EXPECT_EQ(answers.shown, 1);
    EXPECT_EQ(answers.titles, QStringList{"Heating Reducement"});
    EXPECT_FALSE(modalDialogOpen);
    EXPECT_EQ(f.HeatingSlider->value(), 5);
    EXPECT_TRUE(f.HeatingCountDownTimer->isActive());
    EXPECT_EQ(f.HeatingCountDownTimer->interval(), 60000);
    EXPECT_EQ(f.HeatingTimerPanel->text(), "15 Min");
    EXPECT_TRUE(f.HeaterReduceLabel->isEnabledTo(f.HeaterComboBox));
    EXPECT_EQ(f.SystemStatPanel->text(), "Heating Reduced");
    EXPECT_EQ(PanelTextColour(f.SystemStatPanel), kOrange);
    EXPECT_EQ(PanelTextColour(f.EffectLabel), kRed);

    QStringList shown;
    for (int tick = 1; tick <= 14; ++tick) {
        f.HeatingCountDownTimerTimer();
        shown.append(f.HeatingTimerPanel->text());
    }
    EXPECT_EQ(shown.first(), "14 Min");
    EXPECT_EQ(shown.last(), "1 Min");
    EXPECT_EQ(f.HeatingSlider->value(), 5);
    EXPECT_TRUE(f.HeatingCountDownTimer->isActive());

    f.HeatingCountDownTimerTimer();
    ExpectFullPower(f);
    EXPECT_EQ(f.SystemStatPanel->text(), "Normal");
    EXPECT_EQ(PanelTextColour(f.SystemStatPanel), kGreen);
}

struct NoLimitCase {
    const char* name;
    DialogAnswers::Answer answer;
};

class HeaterWithoutTimeLimit : public Heater, public ::testing::WithParamInterface<NoLimitCase> {};

TEST_P(HeaterWithoutTimeLimit, GoesNoDeeperThanSeventyPercent) {
    TForm1& f = BuildHeater();
    answers.Then(GetParam().answer);
    f.HeatingSlider->setValue(5);

    EXPECT_EQ(answers.shown, 1);
    EXPECT_FALSE(modalDialogOpen);
    EXPECT_EQ(f.HeatingSlider->value(), 7);
    EXPECT_EQ(PanelTextColour(f.EffectLabel), kOrange);
    EXPECT_FALSE(f.HeatingCountDownTimer->isActive());
    EXPECT_EQ(heaterReductionTime, kNoHeaterReduction);
    EXPECT_EQ(f.SystemStatPanel->text(), "Normal");
}

INSTANTIATE_TEST_SUITE_P(
    Answers, HeaterWithoutTimeLimit,
    ::testing::Values(NoLimitCase{"okAtZeroMinutes", OkWithMinutes(0)},
                      NoLimitCase{"cancel",
                                  [](QDialog& d) { AsHeaterDialog(d).CancelButton->click(); }},
                      // The close box: minutes chosen but not confirmed.
                      NoLimitCase{"closeBox",
                                  [](QDialog& d) {
                                      AsHeaterDialog(d).HeatingTimer->setTime(QTime(0, 20));
                                      d.close();
                                  }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Heater, MovingTheSliderDuringAReductionKeepsItsRemainingMinutes) {
    TForm1& f = BuildHeater();
    ReduceFor(f, 10);
    for (int tick = 0; tick < 3; ++tick)
        f.HeatingCountDownTimerTimer();

    f.HeatingSlider->setValue(4);
    f.HeatingSlider->setValue(8);

    EXPECT_EQ(answers.shown, 1);
    EXPECT_EQ(f.HeatingTimerPanel->text(), "7 Min");
    EXPECT_TRUE(f.HeatingCountDownTimer->isActive());
    EXPECT_EQ(PanelTextColour(f.EffectLabel), kOrange);
    EXPECT_EQ(f.SystemStatPanel->text(), "Heating Reduced");

    // The reduction ends with its own count, not a new one.
    for (int tick = 0; tick < 7; ++tick)
        f.HeatingCountDownTimerTimer();
    ExpectFullPower(f);
}

TEST_F(Heater, FullPowerEndsAReductionAtOnce) {
    TForm1& f = BuildHeater();
    ReduceFor(f, 10);
    f.HeatingCountDownTimerTimer();

    f.HeatingSlider->setValue(10);
    ExpectFullPower(f);
}

TEST_F(Heater, SliderMovesWhileTheDialogIsOpenAreIgnored) {
    TForm1& f = BuildHeater();
    answers.Then([&f](QDialog& d) {
        EXPECT_TRUE(modalDialogOpen);
        f.HeatingSlider->setValue(2);
        AsHeaterDialog(d).CancelButton->click();
    });
    f.HeatingSlider->setValue(5);

    EXPECT_EQ(answers.shown, 1);
    EXPECT_EQ(answers.unexpected, 0);
    EXPECT_EQ(f.HeatingSlider->value(), 7);
}

TEST_F(Heater, TheOpenDialogHoldsOffTheLogSizeDialogButNotTheErrorLogTrim) {
    TForm1& f = BuildHeater();
    LogUpkeepPlan duringDialog;
    answers.Then([&duringDialog](QDialog& d) {
        duringDialog =
            PlanLogUpkeep({51, 501, StoredNextRemind::Absent(), 45000.0, modalDialogOpen});
        d.reject();
    });
    f.HeatingSlider->setValue(5);

    EXPECT_EQ(duringDialog, (LogUpkeepPlan{true, LogClearingOffer::None}));
    EXPECT_FALSE(modalDialogOpen);
}

TEST_F(Heater, TheCountDownDoesNothingOnceTheProgramEnds) {
    TForm1& f = BuildHeater();
    ReduceFor(f, 2);
    f.close();
    f.HeatingCountDownTimerTimer();
    f.HeatingCountDownTimerTimer();
    EXPECT_EQ(f.HeatingSlider->value(), 5);
    EXPECT_EQ(f.HeatingTimerPanel->text(), "2 Min");
}

TEST(HeaterDialog, ShowsItsWarningAndAMinutePickerFromZeroToFiftyNine) {
    TForm2 dialog(nullptr);
    const std::pair<QString, QString> texts[] = {
        {dialog.windowTitle(), "Heating Reducement"},
        {dialog.HeaterWarningGroupBox->title(), "Warning"},
        {dialog.MessageLabel1->text(), "Decreasing heating affect below 75% may cause"},
        {dialog.MessageLabel2->text(), "damage to your  system, so do only use this if you"},
        {dialog.MessageLabel3->text(), "known what you are doing and only for a limited time."},
        {dialog.TimerLabel->text(), "Select for how long heating should be reduced."},
        {dialog.MinLabel->text(), "Min."},
        {dialog.OkButton->text(), "&Ok"},
        {dialog.CancelButton->text(), "&Cancel"},
        {dialog.HeatingTimer->text(), "00"},
    };
    for (const auto& [shown, expected] : texts)
        EXPECT_EQ(shown, expected);
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    for (QLabel* label : {dialog.MessageLabel1, dialog.MessageLabel2, dialog.MessageLabel3})
        EXPECT_LE(label->geometry().right(), dialog.HeaterWarningGroupBox->width());

    dialog.HeatingTimer->setTime(QTime(0, 15));
    EXPECT_EQ(dialog.HeatingTimer->text(), "15");
    EXPECT_DOUBLE_EQ(dialog.PickedReductionTime(), kNoHeaterReduction + 15.0 / 1440.0);
    dialog.HeatingTimer->stepBy(100);
    EXPECT_EQ(dialog.HeatingTimer->text(), "59");
    dialog.HeatingTimer->stepBy(-100);
    EXPECT_EQ(dialog.HeatingTimer->text(), "00");
}

TEST(HeaterMinutes, TheSinglePrecisionMinuteEndsEveryReductionOnItsLastTick) {
    for (int minutes = 1; minutes <= kMaxHeaterReductionMinutes; ++minutes) {
        double left = HeaterReductionOf(minutes);
        EXPECT_EQ(HeaterMinutesText(left), QString::number(minutes) + " Min");
        for (int tick = 1; tick < minutes; ++tick) {
            left = OneMinuteLess(left);
            ASSERT_GT(left, kNoHeaterReduction) << minutes << " minutes, tick " << tick;
            ASSERT_EQ(HeaterMinutesText(left), QString::number(minutes - tick) + " Min");
        }
        left = OneMinuteLess(left);
        EXPECT_LE(left, kNoHeaterReduction) << minutes << " minutes";
        EXPECT_EQ(HeaterMinutesText(left), "0 Min");
    }
}

} // namespace
