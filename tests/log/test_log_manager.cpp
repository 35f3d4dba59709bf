// The log file itself: its layout byte for byte, size, trimming, viewing, and what happens when
// it cannot be written.
#include "log/KelvData.h"
#include "log/LogManager.h"
#include "support/FakeServices.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

QByteArray Header() {
    return LogHeaderLine() + "\r\n \r\n";
}

KelvData Record(const char* status) {
    KelvData record;
    record.timestamp = QDateTime(QDate(2026, 12, 11), QTime(12, 0, 5));
    record.statusText = QString::fromUtf8(status);
    return record;
}

QByteArray Line(const char* status) {
    return LogRecordLine(Record(status)) + "\r\n";
}

class LogFile : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    LogManager& Log(const QString& name = QStringLiteral("Error.log")) {
        log = std::make_unique<LogManager>(dir.filePath(name), messages, launcher);
        return *log;
    }
    QByteArray Content() const {
        QFile file(log->GetFileName());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    void Put(const QByteArray& content) const {
        QFile file(log->GetFileName());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    QTemporaryDir dir;
    RecordingMessageSink messages;
    RecordingProcessLauncher launcher;
    std::unique_ptr<LogManager> log;
};

TEST_F(LogFile, FirstRecordCreatesFolderAndFileWithHeaderBlankLineAndRecord) {
    LogManager& log = Log("not/yet/there/Error.log");
    log.WriteRecord(Record("Warning"));
    EXPECT_EQ(Content(), Header() + Line("Warning"));
    log.WriteRecord(Record("ALARM"));
    EXPECT_EQ(Content(), Header() + Line("Warning") + Line("ALARM"));
    // Nothing is left over from replacing the file.
    EXPECT_EQ(QDir(dir.filePath("not/yet/there")).entryList(QDir::Files | QDir::Hidden),
              QStringList{"Error.log"});
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(LogFile, AnExistingFileIsContinuedWithoutAHeader) {
    struct Case {
        const char* name;
        QByteArray before;
        QByteArray after;
    } const cases[] = {
        {"empty", "", Line("R")},
        {"trimmed", "old 1\r\nold 2\r\n", "old 1\r\nold 2\r\n" + Line("R")},
        // Lines ended some other way are saved back with CR LF.
        {"otherLineEnds", "a\nb\rc", "a\r\nb\r\nc\r\n" + Line("R")},
    };
    for (const Case& c : cases) {
        LogManager& log = Log(QString::fromUtf8(c.name) + ".log");
        Put(c.before);
        log.WriteRecord(Record("R"));
        EXPECT_EQ(Content(), c.after) << c.name;
    }
}

TEST_F(LogFile, AFileDeletedDuringTheRunStartsAgainAfterTheLinesItHeld) {
    LogManager& log = Log();
    log.WriteRecord(Record("first"));
    ASSERT_TRUE(QFile::remove(log.GetFileName()));
    log.WriteRecord(Record("second"));
    EXPECT_EQ(Content(), Header() + Line("first") + Header() + Line("second"));
}

TEST_F(LogFile, AFolderThatCannotBeWrittenIsReportedOnceAndNoRecordIsLost) {
    // A plain file stands where the log's folder should be.
    QFile blocker(dir.filePath("logs"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    LogManager& log = Log("logs/Error.log");

    log.WriteRecord(Record("one"));
    log.WriteRecord(Record("two"));
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].startsWith("Error: ")) << messages.shown[0].toStdString();

    ASSERT_TRUE(QFile::remove(dir.filePath("logs")));
    log.WriteRecord(Record("three"));
    EXPECT_EQ(Content(), Header() + Line("one") + Line("two") + Line("three"));

    // Failing again later is news again.
    ASSERT_TRUE(QDir(dir.filePath("logs")).removeRecursively());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    log.WriteRecord(Record("four"));
    EXPECT_EQ(messages.shown.size(), 2);
}

// At the end of the run no further record comes to take the kept ones along.
TEST_F(LogFile, KeptRecordsAreSavedWhenAskedWithoutASecondReport) {
    QFile blocker(dir.filePath("logs"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    LogManager& log = Log("logs/Error.log");
    log.WriteRecord(Record("start-up"));
    log.SaveKeptRecords();
    EXPECT_EQ(messages.shown.size(), 1) << "the failure goes on; it was reported already";

    ASSERT_TRUE(QFile::remove(dir.filePath("logs")));
    log.SaveKeptRecords();
    EXPECT_EQ(Content(), Header() + Line("start-up"));

    // With nothing kept the file is not touched: a log deleted since stays deleted.
    ASSERT_TRUE(QFile::remove(log.GetFileName()));
    log.SaveKeptRecords();
    EXPECT_FALSE(QFile::exists(log.GetFileName()));
    EXPECT_EQ(messages.shown.size(), 1);
}

TEST_F(LogFile, AFileThatCannotBeReadKeepsTheRecordForTheNextWrite) {
    LogManager& log = Log();
    log.WriteRecord(Record("one"));
    const QByteArray before = Content();
    // Something else stands at the log's name for a while.
    ASSERT_TRUE(QFile::rename(log.GetFileName(), dir.filePath("aside")));
    ASSERT_TRUE(QDir(dir.path()).mkdir("Error.log"));
    log.WriteRecord(Record("two"));
    EXPECT_EQ(messages.shown.size(), 1);

    ASSERT_TRUE(QDir(dir.path()).rmdir("Error.log"));
    ASSERT_TRUE(QFile::rename(dir.filePath("aside"), log.GetFileName()));
    log.WriteRecord(Record("three"));
    EXPECT_EQ(Content(), before + Line("two") + Line("three"));
}

TEST_F(LogFile, SizeIsCountedInThousandsOfBytesRoundedDown) {
    LogManager& log = Log();
    EXPECT_EQ(log.GetSizeKb(), 0); // no file
    const struct {
        int bytes;
        int kb;
    } cases[] = {{0, 0}, {999, 0}, {1000, 1}, {50999, 50}, {51000, 51}, {1000000, 1000}};
    for (const auto& c : cases) {
        Put(QByteArray(c.bytes, 'x'));
        EXPECT_EQ(log.GetSizeKb(), c.kb) << c.bytes << " bytes";
    }
}

// "line FIRST" to "line LAST", each with CR LF.
QByteArray NumberedLines(int first, int last) {
    QByteArray content;
    for (int i = first; i <= last; ++i)
        content += "line " + QByteArray::number(i) + "\r\n";
    return content;
}

TEST_F(LogFile, TrimKeepsThreeLinesAndThreeQuartersOfEveryWholeHundredBeyond) {
    const struct {
        int lines;
        int kept;
    } cases[] = {{4, 4}, {5, 3}, {102, 3}, {103, 78}, {250, 153}};
    for (const auto& c : cases) {
        LogManager& log = Log();
        Put(NumberedLines(1, c.lines));
        log.Trim(25);
        // The newest lines stay; the oldest, the header first, go.
        EXPECT_EQ(Content(), NumberedLines(c.lines - c.kept + 1, c.lines)) << c.lines << " lines";
    }
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(LogFile, TrimOfNothingDoesNotEvenReadTheFileButAMissingFileIsReported) {
    LogManager& log = Log();
    log.Trim(0);
    log.Trim(-5);
    EXPECT_TRUE(messages.shown.isEmpty());
    log.Trim(25);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_TRUE(messages.shown[0].startsWith("Error: "));
}

TEST_F(LogFile, ARecordAfterATrimAddsNoHeader) {
    LogManager& log = Log();
    Put(Header() + NumberedLines(1, 200));
    log.Trim(25);
    const QByteArray trimmed = Content();
    ASSERT_FALSE(trimmed.startsWith("Timestamp"));
    log.WriteRecord(Record("R"));
    EXPECT_EQ(Content(), trimmed + Line("R"));
}

TEST_F(LogFile, ViewOpensTheFileAsOneArgumentAndIgnoresAMissingFile) {
    LogManager& log = Log("with blanks in name.log");
    log.View();
    EXPECT_TRUE(launcher.runs.empty());

    Put("x\r\n");
    log.View();
    ASSERT_EQ(launcher.runs.size(), 1u);
    EXPECT_EQ(launcher.runs[0].program, "xdg-open");
    EXPECT_EQ(launcher.runs[0].arguments, QStringList{dir.filePath("with blanks in name.log")});

    // A viewer that cannot be started is not reported.
    launcher.startable = false;
    log.View();
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(LogFile, TheLogMayBeReleasedWhileItsViewerIsOpen) {
    LogManager& file = Log();
    Put("x\r\n");
    launcher.whileRunning = [this] { log.reset(); };
    file.View();
    EXPECT_FALSE(log);
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST(LogLines, SplitLikeATextFileAndSaveWithCrLf) {
    const struct {
        QByteArray content;
        QList<QByteArray> lines;
    } cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\n", {"a"}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"a\nb\rc\r\n", {"a", "b", "c"}},
        {" \r\n", {" "}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LogText::SplitLines(c.content), c.lines) << c.content.toStdString();
        QByteArray joined;
        for (const QByteArray& line : c.lines)
            joined += line + "\r\n";
        EXPECT_EQ(LogText::Normalised(c.content), joined) << c.content.toStdString();
    }
}

} // namespace
