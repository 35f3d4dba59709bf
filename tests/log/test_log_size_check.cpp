// The once-a-run log upkeep and the "Clear" button, on the controller with real log files.

#include "support/ControllerFixture.h"
#include "support/DialogAnswers.h"

#include "log/LogManager.h"
#include "log/LogUpkeep.h"
#include "log/NextRemind.h"
#include "log/TClearLogForm.h"

#include <QFile>
#include <QFileInfo>
#include <QPushButton>

#include "settings/SettingsStore.h"

#include <optional>

namespace {

// A log of exactly `bytes` bytes: header, the line of one blank, then records.
void WriteLogOfSize(const QString& path, qint64 bytes) {
    QByteArray content("Date\t\r\n \r\n");
    const QByteArray record = QByteArray(98, 'r') + "\r\n";
    while (content.size() + record.size() <= bytes)
        content += record;
    content += QByteArray(bytes - content.size(), 'p');
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(content), bytes);
}

qint64 SizeOf(const QString& path) {
    return QFileInfo::exists(path) ? QFileInfo(path).size() : -1;
}

class LogSizeCheck : public ControllerFixture {
protected:
    TForm1& BuildWithLogs(qint64 errorBytes, qint64 operationBytes) {
        TForm1& f = Build();
        WriteLogOfSize(f.errorLog->GetFileName(), errorBytes);
        WriteLogOfSize(f.operationLog->GetFileName(), operationBytes);
        f.traceMessages->clear();
        return f;
    }

    static DialogAnswers::Answer Click(QPushButton* TClearLogForm::*button) {
        return [button](QDialog& d) { (dynamic_cast<TClearLogForm&>(d).*button)->click(); };
    }

    DialogAnswers answers;
};

TEST_F(LogSizeCheck, SizesDecideTrimmingAndTheOfferToClear) {
    struct Case {
        const char* name;
        qint64 errorBytes;
        qint64 operationBytes;
        bool trimmed;
        bool offered;
    } const cases[] = {
        {"bothSmall", 50'999, 500'999, false, false},
        {"errorLogPastItsLimit", 51'000, 500'999, true, false},
        {"operationLogPastItsLimit", 50'999, 501'000, false, true},
        {"both", 51'000, 501'000, true, true},
    };
    for (const Case& c : cases) {
        TForm1& f = BuildWithLogs(c.errorBytes, c.operationBytes);
        if (c.offered)
            answers.Then(Click(&TClearLogForm::CancelButton));
        const int shownBefore = answers.shown;

        f.CheckLogSizes();

        EXPECT_EQ(SizeOf(f.errorLog->GetFileName()) < c.errorBytes, c.trimmed) << c.name;
        EXPECT_EQ(answers.shown - shownBefore, c.offered ? 1 : 0) << c.name;
        EXPECT_EQ(*f.traceMessages, c.offered ? QStringList{kLogClearCanceledText} : QStringList{})
            << c.name;
        EXPECT_EQ(SizeOf(f.operationLog->GetFileName()), c.operationBytes) << c.name;
        EXPECT_FALSE(modalDialogOpen) << c.name;
        form.reset();
        link = nullptr;
    }
    EXPECT_EQ(answers.unexpected, 0);
}

TEST_F(LogSizeCheck, OkDeletesTheOperationLogAndSaysSo) {
    TForm1& f = BuildWithLogs(100, 600'000);
    answers.Then(Click(&TClearLogForm::OkButton));
    f.CheckLogSizes();
    EXPECT_FALSE(QFileInfo::exists(f.operationLog->GetFileName()));
    EXPECT_EQ(*f.traceMessages, QStringList{kLogClearedText});
    EXPECT_EQ(answers.shown, 1);
}

TEST_F(LogSizeCheck, NextRemindAndAnOpenDialogHoldTheOfferBack) {
    struct Case {
        const char* name;
        std::optional<double> nextRemindFromNow; // days; nothing: never stored
        bool otherDialogOpen;
        bool offered;
    } const cases[] = {
        {"neverStored", std::nullopt, false, true},
        {"earlier", -0.5, false, true},
        {"exactlyNow", 0.0, false, false},
        {"later", 1.0, false, false},
        {"heaterDialogOpen", std::nullopt, true, false},
    };
    for (const Case& c : cases) {
        TForm1& f = BuildWithLogs(51'000, 501'000);
        if (c.nextRemindFromNow)
            WriteNextRemind(DaysSince1899(clock->now) + *c.nextRemindFromNow);
        modalDialogOpen = c.otherDialogOpen;
        if (c.offered)
            answers.Then(Click(&TClearLogForm::CancelButton));
        const int shownBefore = answers.shown;

        f.CheckLogSizes();

        EXPECT_EQ(answers.shown - shownBefore, c.offered ? 1 : 0) << c.name;
        // The error log is trimmed whatever holds the offer back.
        EXPECT_LT(SizeOf(f.errorLog->GetFileName()), 51'000) << c.name;
        form.reset();
        link = nullptr;
        modalDialogOpen = false;
        OpenSettingsStore()->clear();
    }
    EXPECT_EQ(answers.unexpected, 0);
}

TEST_F(LogSizeCheck, RunsOnceThirtySecondsAfterStart) {
    TForm1& f = BuildWithLogs(51'000, 100);
    EXPECT_TRUE(f.MaintainTimer->isActive());
    EXPECT_EQ(f.MaintainTimer->interval(), 30000);
    f.MaintainTimerTimer();
    EXPECT_FALSE(f.MaintainTimer->isActive());
    EXPECT_LT(SizeOf(f.errorLog->GetFileName()), 51'000);
}

TEST_F(LogSizeCheck, ClearButtonAsksFirstAndCountsAMissingLogAsCleared) {
    struct Case {
        const char* name;
        bool logPresent;
        bool answerOk;
        bool cleared;
    } const cases[] = {
        {"confirmed", true, true, true},
        {"cancelled", true, false, false},
        {"alreadyGone", false, true, true},
    };
    for (const Case& c : cases) {
        TForm1& f = BuildWithLogs(100, 1000);
        if (!c.logPresent)
            QFile::remove(f.operationLog->GetFileName());
        messages->answerOk = c.answerOk;

        f.ClearLogButton->click();

        EXPECT_EQ(messages->asked, QStringList{kConfirmClearLogCaption + QStringLiteral(": ") +
                                               kConfirmClearLogText})
            << c.name;
        EXPECT_EQ(QFileInfo::exists(f.operationLog->GetFileName()), c.logPresent && !c.cleared)
            << c.name;
        EXPECT_EQ(*f.traceMessages, c.cleared ? QStringList{kLogClearedText} : QStringList{})
            << c.name;
        form.reset();
        link = nullptr;
    }
}

} // namespace
