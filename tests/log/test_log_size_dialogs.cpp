#include "log/LogUpkeep.h"
#include "log/NextRemind.h"
#include "log/TClearLogForm.h"
#include "log/TReminderForm.h"
#include "protocol/UnitData.h"
#include "support/DialogAnswers.h"
#include "support/FakeServices.h"

#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>

#include <gtest/gtest.h>

namespace {

// The settings store in a folder of the test's own.
class PrivateSettingsStore {
public:
    PrivateSettingsStore() {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
    }
    QString FilePath() const {
        return QSettings(QSettings::IniFormat, QSettings::UserScope, "velmor", "vexo controler")
            .fileName();
    }
    QVariant Stored(const QString& name) const {
        return QSettings(FilePath(), QSettings::IniFormat).value(name);
    }
    void Store(const QString& name, const QVariant& value) const {
        QSettings settings(FilePath(), QSettings::IniFormat);
        settings.setValue(name, value);
    }
    // The folder the file belongs in is taken by a plain file: nothing can be saved.
    void BlockWriting() const {
        const QString folder = QFileInfo(FilePath()).path();
        QDir(folder).removeRecursively();
        QFile blocker(folder);
        blocker.open(QIODevice::WriteOnly);
    }

private:
    QTemporaryDir dir;
};

class NextRemindStore : public ::testing::Test {
protected:
    PrivateSettingsStore store;
};

TEST_F(NextRemindStore, HoldsEightRawBytesOfALittleEndianDouble) {
    EXPECT_EQ(ReadNextRemind().kind, StoredNextRemind::Kind::Absent);

    WriteNextRemind(1.0);
    EXPECT_EQ(store.Stored("Next Remind").toByteArray(), QByteArray::fromHex("000000000000f03f"));

    const double monday = DaysSince1899(QDateTime(QDate(2024, 1, 8), QTime(10, 0, 0, 123)));
    WriteNextRemind(monday);
    const StoredNextRemind read = ReadNextRemind();
    EXPECT_EQ(read.kind, StoredNextRemind::Kind::DateTime);
    EXPECT_EQ(read.days, monday);
}

TEST_F(NextRemindStore, AValueOfAnotherTypeOrLengthCannotBeRead) {
    for (const QVariant& value : {QVariant(QStringLiteral("45000")), QVariant(45000),
                                  QVariant(QByteArray::fromHex("0000f03f"))}) {
        store.Store("Next Remind", value);
        const StoredNextRemind read = ReadNextRemind();
        EXPECT_EQ(read.kind, StoredNextRemind::Kind::Unreadable) << value.toString().toStdString();
        EXPECT_TRUE(read.problem.contains("Next Remind"));
    }
}

TEST_F(NextRemindStore, AStoreThatCannotBeOpenedCountsAsNoReminderAndIsNotReplaced) {
    QDir().mkpath(store.FilePath());
    EXPECT_EQ(ReadNextRemind().kind, StoredNextRemind::Kind::Absent);
    EXPECT_THROW(WriteNextRemind(1.0), std::exception);
    EXPECT_TRUE(QFileInfo(store.FilePath()).isDir());
}

TEST_F(NextRemindStore, AFailedSaveIsAnError) {
    store.BlockWriting();
    EXPECT_THROW(WriteNextRemind(1.0), std::exception);
}

TEST(LogSizeDialog, ShowsTheSizeAndOffersDeleteRemindKeepInOneRow) {
    FakeClock clock;
    RecordingMessageSink messages;
    TClearLogForm dialog(nullptr, clock, messages);
    EXPECT_FALSE(modalDialogOpen);
    dialog.SetLogSize(612);
    EXPECT_TRUE(modalDialogOpen);
    modalDialogOpen = false;

    EXPECT_EQ(dialog.windowTitle(), "Clear log file");
    EXPECT_EQ(dialog.size(), QSize(303, 120));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    EXPECT_EQ(dialog.ClearLogGroupBox->title(), "Log Clearing");
    EXPECT_EQ(dialog.MessageLabel1->text(), "Your operation log is getting big (612kb).");
    EXPECT_EQ(dialog.MessageLabel2->text(), "Do you want to clear it now?");
    EXPECT_EQ(dialog.MessageLabel1->parentWidget(), dialog.ClearLogGroupBox);

    const QPushButton* row[] = {dialog.OkButton, dialog.RemindButton, dialog.CancelButton};
    EXPECT_EQ(row[0]->text(), "&Ok");
    EXPECT_EQ(row[1]->text(), "&Remind me later");
    EXPECT_EQ(row[2]->text(), "&Cancel");
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(row[i]->y(), row[0]->y());
        EXPECT_GT(row[i]->y(), dialog.ClearLogGroupBox->geometry().bottom());
        EXPECT_LE(row[i]->geometry().right(), dialog.width());
        if (i > 0) {
            EXPECT_GT(row[i]->x(), row[i - 1]->geometry().right());
        }
    }
    EXPECT_GT(dialog.RemindButton->width(), dialog.OkButton->width());
    EXPECT_GT(dialog.RemindButton->width(), dialog.CancelButton->width());
}

TEST(ReminderDialog, OffersTheIntervalsWithOneDayChosen) {
    FakeClock clock;
    RecordingMessageSink messages;
    TReminderForm dialog(nullptr, clock, messages);
    EXPECT_EQ(dialog.windowTitle(), "Reminder");
    EXPECT_EQ(dialog.size(), QSize(254, 95));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    EXPECT_EQ(dialog.ReminderLabel->text(), "Remind me again in:");
    EXPECT_TRUE(dialog.ReminderComboBox->isEditable());
    QStringList items;
    for (int i = 0; i < dialog.ReminderComboBox->count(); ++i)
        items.append(dialog.ReminderComboBox->itemText(i));
    EXPECT_EQ(items, kReminderIntervalItems);
    EXPECT_EQ(dialog.ReminderComboBox->currentIndex(), 0);
    EXPECT_EQ(dialog.ChosenItem(), 0);
    EXPECT_EQ(dialog.OkButton->text(), "&Ok");
    EXPECT_EQ(dialog.CancelButton->text(), "&Cancel");
}

// The log-size dialog as the upkeep shows it, answered by the test.
class LogSizeQuestion : public ::testing::Test {
protected:
    void SetUp() override {
        ResetDefinements();
        clock.now = QDateTime(QDate(2024, 1, 1), QTime(10, 0));
    }
    void TearDown() override { ResetDefinements(); }

    bool Ask() { return AskToClearOperationLog(nullptr, 612, clock, messages); }

    static TClearLogForm& LogSize(QDialog& d) { return dynamic_cast<TClearLogForm&>(d); }
    static TReminderForm& Reminder(QDialog& d) { return dynamic_cast<TReminderForm&>(d); }

    DialogAnswers::Answer Click(QPushButton* TClearLogForm::*button) {
        return [button](QDialog& d) { (LogSize(d).*button)->click(); };
    }

    void ExpectNothingStored() { EXPECT_EQ(ReadNextRemind().kind, StoredNextRemind::Kind::Absent); }

    PrivateSettingsStore store;
    FakeClock clock;
    RecordingMessageSink messages;
    DialogAnswers answers;
};

TEST_F(LogSizeQuestion, OkDeletesCancelAndTheCloseBoxKeep) {
    struct Case {
        const char* name;
        DialogAnswers::Answer answer;
        bool deleteLog;
    };
    const Case cases[] = {
        {"ok", Click(&TClearLogForm::OkButton), true},
        {"cancel", Click(&TClearLogForm::CancelButton), false},
        {"closeBox", [](QDialog& d) { d.close(); }, false},
    };
    for (const Case& c : cases) {
        ResetDefinements();
        answers.Then([answer = c.answer](QDialog& d) {
            EXPECT_TRUE(modalDialogOpen);
            answer(d);
        });
        EXPECT_EQ(Ask(), c.deleteLog) << c.name;
        EXPECT_EQ(clearCanceled, !c.deleteLog) << c.name;
        EXPECT_FALSE(modalDialogOpen) << c.name;
    }
    EXPECT_EQ(answers.shown, 3);
    EXPECT_EQ(answers.unexpected, 0);
    ExpectNothingStored();
}

TEST_F(LogSizeQuestion, RemindMeLaterStoresTheChosenDateAndKeepsTheLog) {
    const double now = DaysSince1899(clock.now);
    for (int item = 0; item < kReminderIntervalItems.size(); ++item) {
        answers.Then(Click(&TClearLogForm::RemindButton));
        answers.Then([item](QDialog& d) {
            EXPECT_FALSE(d.parentWidget()->isVisible());
            Reminder(d).ReminderComboBox->setCurrentIndex(item);
            Reminder(d).OkButton->click();
        });
        EXPECT_FALSE(Ask()) << kReminderIntervalItems[item].toStdString();
        EXPECT_TRUE(clearCanceled);
        EXPECT_FALSE(modalDialogOpen);
        EXPECT_EQ(ReadNextRemind().days, NextRemindFor(item, now))
            << kReminderIntervalItems[item].toStdString();
    }
    EXPECT_EQ(answers.titles.mid(0, 2), (QStringList{"Clear log file", "Reminder"}));
    EXPECT_EQ(answers.unexpected, 0);
}

TEST_F(LogSizeQuestion, AWeekLaterTheDialogIsDueAgainNotBefore) {
    answers.Then(Click(&TClearLogForm::RemindButton));
    answers.Then([](QDialog& d) {
        Reminder(d).ReminderComboBox->setCurrentIndex(3);
        Reminder(d).OkButton->click();
    });
    Ask();

    const auto planAt = [](const QDateTime& start) {
        // The upkeep runs 30 seconds after the start of a run.
        return PlanLogUpkeep({0, 501, ReadNextRemind(), DaysSince1899(start.addSecs(30)), false})
            .offer;
    };
    EXPECT_EQ(planAt(QDateTime(QDate(2024, 1, 8), QTime(9, 59))), LogClearingOffer::None);
    EXPECT_EQ(planAt(QDateTime(QDate(2024, 1, 8), QTime(10, 0))), LogClearingOffer::ShowDialog);
}

TEST_F(LogSizeQuestion, TypedTextStoresTheMomentItselfAndCancelStoresNothing) {
    answers.Then(Click(&TClearLogForm::RemindButton));
    answers.Then([](QDialog& d) {
        Reminder(d).ReminderComboBox->lineEdit()->setText("next year");
        Reminder(d).OkButton->click();
    });
    EXPECT_FALSE(Ask());
    EXPECT_EQ(ReadNextRemind().days, DaysSince1899(clock.now));

    QSettings(store.FilePath(), QSettings::IniFormat).clear();
    answers.Then(Click(&TClearLogForm::RemindButton));
    answers.Then([](QDialog& d) { Reminder(d).CancelButton->click(); });
    EXPECT_FALSE(Ask());
    EXPECT_TRUE(clearCanceled);
    ExpectNothingStored();
    EXPECT_EQ(answers.unexpected, 0);
}

TEST_F(LogSizeQuestion, AFailedSaveIsShownAndTheReminderStaysOpenUntilCancelled) {
    store.BlockWriting();
    answers.Then(Click(&TClearLogForm::RemindButton));
    answers.Then([this](QDialog& d) {
        Reminder(d).OkButton->click();
        EXPECT_TRUE(d.isVisible());
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_TRUE(messages.shown.first().startsWith("Error: the reminder date could not be"));
        Reminder(d).CancelButton->click();
    });
    EXPECT_FALSE(Ask());
    EXPECT_TRUE(clearCanceled);
    EXPECT_FALSE(modalDialogOpen);
}

} // namespace
