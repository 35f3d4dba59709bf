// Fault drills: the control centre and the simulated unit, both real programs, on a private X
// display, put through what goes wrong on a user's desk.

#include "EndToEndSession.h"
#include "PrivateSystemBus.h"

#include "log/KelvData.h"

#include <QRegularExpression>
#include <QSettings>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace {

constexpr int kStartMs = 8000;
constexpr int kTickMs = 3000;
// What a busy machine may add to a moment the program keeps.
constexpr int kMarginMs = 1000;

// Line 2 of the unit's display shows the evaporator first and nothing else, so the reading the
// program took from the last status reply can be read back from the unit.
const QByteArray kEvaporatorOnLine2 = "[General]\nParam1Index=0\nParam2Index=7\nParam3Index=7\n";

const QByteArray kLineEnd = "\r\n";
constexpr int kRecordFields = 38;

// The evaporator reading on a line-2 frame (packet 7) as the unit received it.
std::optional<int> Line2Evaporator(const RecordedFrame& frame) {
    if (!frame.hex.startsWith("010702") || frame.hex.size() != 56)
        return std::nullopt;
    static const QRegularExpression number(QStringLiteral("^-?[0-9]+"));
    const QString text = QString::fromLatin1(QByteArray::fromHex(frame.hex.mid(6, 48)));
    const QRegularExpressionMatch match = number.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(0).toInt();
}

// Position of the status request with this index (0 is the start-up request).
std::optional<std::size_t> StatusRequestAt(const std::vector<RecordedFrame>& frames,
                                           std::size_t index) {
    std::size_t seen = 0;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        if (frames[i].hex == RequestHex(1) && seen++ == index)
            return i;
    }
    return std::nullopt;
}

std::optional<int> LastLine2Evaporator(const std::vector<RecordedFrame>& frames,
                                       std::size_t from = 0) {
    for (std::size_t i = frames.size(); i > from; --i) {
        if (frames[i - 1].hex.startsWith("010702"))
            return Line2Evaporator(frames[i - 1]);
    }
    return std::nullopt;
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QList<QByteArray> LogLines(const QByteArray& content) {
    QList<QByteArray> lines = content.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray& line : lines)
        line.chop(line.endsWith('\r') ? 1 : 0);
    return lines;
}

// Empty when the log is whole: the header line, the blank line, then complete records (38
// fields, each followed by a tab), every line ending with CR LF. Otherwise what is wrong.
std::string LogDefects(const QByteArray& content) {
    if (content.isEmpty())
        return "the log is empty";
    if (!content.endsWith(kLineEnd))
        return "the last line does not end with CR LF";
    if (content.count('\n') != content.count(kLineEnd) ||
        content.count('\r') != content.count(kLineEnd))
        return "a line ends otherwise than with CR LF";
    const QList<QByteArray> lines = LogLines(content);
    if (lines.size() < 2 || lines[0] != LogHeaderLine() || lines[1] != " ")
        return "the header is not intact";
    for (qsizetype i = 2; i < lines.size(); ++i) {
        if (lines[i].count('\t') != kRecordFields || !lines[i].endsWith('\t'))
            return "line " + std::to_string(i + 1) +
                   " is not a complete record: " + lines[i].toStdString();
    }
    return {};
}

qsizetype LogRecordCount(const QString& path) {
    return std::max<qsizetype>(0, LogLines(ReadAll(path)).size() - 2);
}

class FaultDrill : public ::testing::Test {
protected:
    void WriteSettings(const QByteArray& content) {
        QDir().mkpath(QFileInfo(session.SettingsFile()).absolutePath());
        QFile file(session.SettingsFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(content), content.size());
    }

    // Commands the simulated unit runs as soon as it starts, before it meets the program.
    QString WriteScript(const QByteArray& commands) {
        const QString path = session.Path(QStringLiteral("script.txt"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(commands);
        return path;
    }

    // Waits for the condition; message boxes that come up meanwhile are answered (and counted
    // in session.messageBoxesAnswered).
    bool Await(const std::function<bool()>& condition, int timeoutMs) {
        QElapsedTimer timer;
        timer.start();
        qint64 lastBoxCheck = -1000;
        while (timer.elapsed() < timeoutMs) {
            if (condition())
                return true;
            if (timer.elapsed() - lastBoxCheck >= 500) {
                session.AnswerNewMessageBoxes();
                lastBoxCheck = timer.elapsed();
            }
            QThread::msleep(50);
        }
        return condition();
    }

    void Pause(int ms) {
        Await([] { return false; }, ms);
    }

    std::size_t StatusRequests() const { return CountStatusRequests(session.Frames()); }

    bool AwaitStatusRequests(std::size_t count, int timeoutMs) {
        return Await([&] { return StatusRequests() >= count; }, timeoutMs);
    }

    // Starts both programs and waits for the first status poll of the periodic cycle.
    void StartWithUnit(const QStringList& unitArguments = {}) {
        ASSERT_TRUE(session.StartControlCentre());
        ASSERT_TRUE(session.StartUnit(unitArguments));
        ASSERT_TRUE(AwaitStatusRequests(2, kStartMs)) << Listing(session.Frames());
    }

    EndToEndSession session;
};

TEST_F(FaultDrill, HundredReplugsBringReadingsBackOnTheFirstTickWithoutMemoryGrowth) {
    constexpr int kCycles = 100;
    constexpr int kWarmUpCycles = 10;
    constexpr qint64 kAllowedGrowthKb = 1024;
    WriteSettings(kEvaporatorOnLine2);
    StartWithUnit();

    std::optional<int> previousReading;
    qint64 residentAfterWarmUpKb = 0;
    qint64 slowestMs = 0;
    for (int cycle = 0; cycle < kCycles; ++cycle) {
        // Mostly pulled between two ticks; every tenth time for longer than a tick.
        const int unpluggedMs = cycle % 10 == 9 ? kTickMs + 500 : 200 + 300 * (cycle % 4);
        const int reading = -20 - cycle % 15;
        // The reply to the last request gets home before the cable goes.
        Pause(300);
        session.TellUnit("unplug");
        Pause(unpluggedMs / 2);
        session.TellUnit(("temp 1 " + std::to_string(reading)).c_str());
        Pause(unpluggedMs - unpluggedMs / 2);

        const std::size_t before = StatusRequests();
        QElapsedTimer sincePlug;
        session.TellUnit("plug");
        sincePlug.start();
        ASSERT_TRUE(AwaitStatusRequests(before + 1, 2 * kTickMs + kMarginMs))
            << "cycle " << cycle << ": no status request after the re-plug\n"
            << Listing(session.Frames());
        const qint64 pollMs = sincePlug.elapsed();
        slowestMs = std::max(slowestMs, pollMs);
        EXPECT_LE(pollMs, kTickMs + kMarginMs)
            << "cycle " << cycle << ": the first tick after the re-plug did not poll";

        // Each tick sends line 2 just before its status request: it shows the reading that the
        // first tick after the previous re-plug brought in.
        const std::vector<RecordedFrame> frames = session.Frames();
        const std::optional<std::size_t> request = StatusRequestAt(frames, before);
        ASSERT_TRUE(request && *request > 0) << Listing(frames);
        if (previousReading) {
            ASSERT_EQ(Line2Evaporator(frames[*request - 1]), previousReading)
                << "cycle " << cycle << ": " << frames[*request - 1].hex.toStdString();
        }
        previousReading = reading;
        ASSERT_EQ(session.controlCentre.state(), QProcess::Running) << "cycle " << cycle;
        if (cycle + 1 == kWarmUpCycles)
            residentAfterWarmUpKb = session.ControlCentreResidentKb().value_or(0);
    }

    // The last re-plug's reading shows on the next tick.
    const std::size_t before = StatusRequests();
    ASSERT_TRUE(AwaitStatusRequests(before + 1, 2 * kTickMs));
    const std::vector<RecordedFrame> frames = session.Frames();
    const std::optional<std::size_t> request = StatusRequestAt(frames, before);
    ASSERT_TRUE(request && *request > 0);
    EXPECT_EQ(Line2Evaporator(frames[*request - 1]), previousReading);

    const qint64 residentAtEndKb = session.ControlCentreResidentKb().value_or(0);
    ASSERT_GT(residentAfterWarmUpKb, 0);
    EXPECT_LE(residentAtEndKb - residentAfterWarmUpKb, kAllowedGrowthKb)
        << "resident memory after warm-up " << residentAfterWarmUpKb << " kB, at the end "
        << residentAtEndKb << " kB";
    EXPECT_EQ(session.messageBoxesAnswered, 0);
    std::printf("re-plug drill: slowest first poll %lld ms after the plug; resident memory %lld "
                "kB after %d cycles, %lld kB after %d\n",
                static_cast<long long>(slowestMs), static_cast<long long>(residentAfterWarmUpKb),
                kWarmUpCycles, static_cast<long long>(residentAtEndKb), kCycles);
}

TEST_F(FaultDrill, UnitSilentForThirtySecondsLeavesTheProgramPollingAndReadingsComeBack) {
    constexpr int kSilenceMs = 30000;
    WriteSettings(kEvaporatorOnLine2);
    StartWithUnit();

    session.TellUnit("silent on");
    session.TellUnit("temp 1 -23");
    const std::size_t framesBefore = session.Frames().size();
    Pause(kSilenceMs);
    const std::vector<RecordedFrame> all = session.Frames();
    const std::vector<RecordedFrame> silent(all.begin() + static_cast<qsizetype>(framesBefore),
                                            all.end());
    session.TellUnit("silent off");
    const std::size_t framesAtAnswer = session.Frames().size();

    // Each frame waits out one read time-out and the next follows at once: the program never
    // hangs, and it keeps asking for the status.
    EXPECT_EQ(session.controlCentre.state(), QProcess::Running);
    EXPECT_GE(CountStatusRequests(silent), 3u) << Listing(all);
    ASSERT_GE(silent.size(), 2u) << Listing(all);
    for (std::size_t i = 1; i < silent.size(); ++i)
        EXPECT_LE(silent[i].ms - silent[i - 1].ms, kTickMs + kMarginMs) << Listing(all);

    // Status replies are taken in again: line 2 shows what the unit now reports.
    EXPECT_TRUE(Await([&] { return LastLine2Evaporator(session.Frames(), framesAtAnswer) == -23; },
                      3 * kTickMs + 2 * kTickMs + kMarginMs))
        << Listing(session.Frames());
    // And the cycle is back to one poll per tick.
    const std::size_t after = StatusRequests();
    ASSERT_TRUE(AwaitStatusRequests(after + 2, 3 * kTickMs));
    const std::vector<qint64> polls = StatusRequestTimes(session.Frames());
    const qint64 gap = polls[after + 1] - polls[after];
    EXPECT_GT(gap, kTickMs - kMarginMs);
    EXPECT_LT(gap, kTickMs + kMarginMs);
    EXPECT_EQ(session.messageBoxesAnswered, 0) << "a silent unit is no reason for a message box";
    EXPECT_EQ(session.TerminateControlCentre(15000), std::optional<int>(0));
}

TEST_F(FaultDrill, GarbageRepliesNeitherCrashNorStopThePolling) {
    const QByteArray zeros24 = QByteArray(24, '\0').toHex();
    const QByteArray ones24 = QByteArray(24, '\xff').toHex();
    struct Garbage {
        const char* what;
        QByteArray hex;
    };
    const std::vector<Garbage> table = {
        {"one byte", "01"},
        {"two bytes", "0101"},
        {"three bytes without a start byte", "ffffff"},
        {"a short reply with the data marker", "010102"},
        {"27 bytes", "010102" + zeros24},
        {"28 bytes without the start byte", "ff0102" + zeros24 + "04"},
        {"28 bytes of an unused packet number", "015502" + ones24 + "04"},
        {"a status packet of all ones", "010102" + ones24 + "04"},
        {"unit settings of all ones", "010202" + ones24 + "04"},
        {"fan settings of all ones", "010302" + ones24 + "04"},
        {"a display line of control characters",
         "010602" + QByteArray("\x07\x08\t\n\r\x1b\x7f\x80\xff", 9).toHex() + zeros24.left(30) +
             "04"},
        {"29 bytes", "010102" + zeros24 + "0004"},
        {"88 bytes", "010102" + QByteArray(84, '\xaa').toHex() + "04"},
        {"200 bytes", QByteArray(200, '\x01').toHex()},
    };
    WriteSettings(kEvaporatorOnLine2);
    StartWithUnit();
    session.TellUnit("temp 1 -25");

    for (const Garbage& garbage : table) {
        const std::size_t before = StatusRequests();
        // Both frames of the next tick (line 2, then the status request) get the garbage.
        const QByteArray command = "reply " + garbage.hex;
        session.TellUnit(command.constData());
        session.TellUnit(command.constData());
        ASSERT_TRUE(AwaitStatusRequests(before + 1, 2 * kTickMs + kMarginMs))
            << garbage.what << ": polling stopped\n"
            << Listing(session.Frames());
        ASSERT_EQ(session.controlCentre.state(), QProcess::Running) << garbage.what;
    }

    // Sound replies are taken in again: line 2 shows the evaporator the unit reports.
    const std::size_t framesAfterGarbage = session.Frames().size();
    EXPECT_TRUE(
        Await([&] { return LastLine2Evaporator(session.Frames(), framesAfterGarbage) == -25; },
              3 * kTickMs + kMarginMs))
        << Listing(session.Frames());
    const std::size_t after = StatusRequests();
    ASSERT_TRUE(AwaitStatusRequests(after + 2, 3 * kTickMs));
    const std::vector<qint64> polls = StatusRequestTimes(session.Frames());
    EXPECT_LT(polls[after + 1] - polls[after], kTickMs + kMarginMs);
    EXPECT_EQ(session.messageBoxesAnswered, 0);
    EXPECT_EQ(session.TerminateControlCentre(15000), std::optional<int>(0));
}

// The settings as the program keeps them, among them a text, a raw date-time and names with
// blanks, cut at the given point.
class TruncatedSettings : public FaultDrill, public ::testing::WithParamInterface<const char*> {
protected:
    static QByteArray CompleteSettingsFile(const QString& path) {
        {
            QSettings settings(path, QSettings::IniFormat);
            settings.setValue(QStringLiteral("BootIndex"), 30);
            settings.setValue(QStringLiteral("Display Update Interval"), 0);
            settings.setValue(QStringLiteral("DisplayLine1P"), QStringLiteral("Speed Load Temp"));
            settings.setValue(QStringLiteral("DisplayLine1S"), QStringLiteral("DRALMIC"));
            settings.setValue(QStringLiteral("FahrenCel"), 1);
            settings.setValue(QStringLiteral("Next Remind"),
                              QByteArray("\x00\x00\x00\x00\x40\x1c\xe7\x40", 8));
            settings.setValue(QStringLiteral("Param1Index"), 0);
            settings.setValue(QStringLiteral("Param2Index"), 7);
            settings.setValue(QStringLiteral("Param3Index"), 7);
            for (int sensor = 1; sensor <= 5; ++sensor) {
                const QString n = QString::number(sensor);
                if (sensor > 1) {
                    settings.setValue(QStringLiteral("Sensor") + n,
                                      QStringLiteral("Water block ") + n);
                    settings.setValue(QStringLiteral("Sensor%1HL").arg(n), 1);
                }
                settings.setValue(QStringLiteral("Sensor%1Warn").arg(n), sensor == 1 ? -12 : 60);
                settings.setValue(QStringLiteral("Sensor%1SDN").arg(n), sensor == 1 ? 2 : 70);
            }
            settings.setValue(QStringLiteral("Warning handling Index"), 3);
        }
        return ReadAll(path);
    }

    static qsizetype CutPoint(const QByteArray& content, const std::string& where) {
        if (where == "in the middle")
            return content.size() / 2;
        if (where == "after an equals sign")
            return content.indexOf("Sensor1Warn=") + 12;
        if (where == "inside a key")
            return content.indexOf("Param2Index") + 6;
        // Inside the raw date-time value.
        return content.indexOf("@ByteArray(") + 14;
    }

    static QMap<QString, QVariant> Values(const QString& path) {
        QSettings settings(path, QSettings::IniFormat);
        QMap<QString, QVariant> values;
        for (const QString& key : settings.allKeys())
            values.insert(key, settings.value(key));
        return values;
    }
};

TEST_P(TruncatedSettings, ProgramStartsRunsAndLaterSavesACompleteFile) {
    const QByteArray complete = CompleteSettingsFile(session.Path(QStringLiteral("complete.ini")));
    const qsizetype cut = CutPoint(complete, GetParam());
    ASSERT_GT(cut, 0);
    ASSERT_LT(cut, complete.size());
    const QByteArray truncated = complete.left(cut);
    WriteSettings(truncated);
    // What the cut left whole: every line up to the last line end.
    const QString wholePath = session.Path(QStringLiteral("whole.ini"));
    {
        QFile whole(wholePath);
        ASSERT_TRUE(whole.open(QIODevice::WriteOnly));
        whole.write(truncated.left(truncated.lastIndexOf('\n') + 1));
    }
    const QMap<QString, QVariant> wholeValues = Values(wholePath);
    ASSERT_FALSE(wholeValues.isEmpty());

    ASSERT_TRUE(session.StartUnit({QStringLiteral("--script"), WriteScript("temp 1 -30\n")}));
    ASSERT_TRUE(session.StartControlCentre());
    ASSERT_TRUE(AwaitStatusRequests(3, kStartMs + kTickMs)) << Listing(session.Frames());
    // Line 1 alternates every 5 s, and each turn stores both of its texts.
    ASSERT_TRUE(
        Await([&] { return ReadAll(session.SettingsFile()) != truncated; }, 5000 + 2 * kTickMs))
        << "the settings were never saved";
    Pause(500);
    EXPECT_EQ(session.controlCentre.state(), QProcess::Running);

    const QByteArray saved = ReadAll(session.SettingsFile());
    EXPECT_TRUE(saved.endsWith('\n')) << saved.toStdString();
    {
        QSettings reader(session.SettingsFile(), QSettings::IniFormat);
        reader.allKeys();
        EXPECT_EQ(reader.status(), QSettings::NoError) << saved.toStdString();
    }
    const QMap<QString, QVariant> savedValues = Values(session.SettingsFile());
    for (auto value = wholeValues.cbegin(); value != wholeValues.cend(); ++value)
        EXPECT_EQ(savedValues.value(value.key()), value.value())
            << value.key().toStdString() << " was lost or changed:\n"
            << saved.toStdString();
    EXPECT_TRUE(savedValues.contains(QStringLiteral("DisplayLine1P"))) << saved.toStdString();
    EXPECT_TRUE(savedValues.contains(QStringLiteral("DisplayLine1S"))) << saved.toStdString();

    const std::size_t before = StatusRequests();
    EXPECT_TRUE(AwaitStatusRequests(before + 1, kTickMs + kMarginMs));
    EXPECT_EQ(session.TerminateControlCentre(15000), std::optional<int>(0));
}

INSTANTIATE_TEST_SUITE_P(CutAt, TruncatedSettings,
                         ::testing::Values("in the middle", "after an equals sign", "inside a key",
                                           "inside a raw value"),
                         [](const auto& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), ' ', '_');
                             return name;
                         });

TEST_F(FaultDrill, ReadOnlyLogFolderIsReportedOnceAndNoRecordIsLost) {
    session.ObeyFileModesAsRoot();
    const QString folder = session.DataFolder();
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                                  QFileDevice::ReadGroup | QFileDevice::ExeGroup |
                                                  QFileDevice::ReadOther | QFileDevice::ExeOther));
    // The evaporator past its warning limit: an error record on every tick.
    ASSERT_TRUE(session.StartUnit({QStringLiteral("--script"), WriteScript("temp 1 -5\n")}));
    ASSERT_TRUE(session.StartControlCentre());

    // Eight warning ticks with the folder read-only.
    ASSERT_TRUE(AwaitStatusRequests(9, kStartMs + 9 * kTickMs)) << Listing(session.Frames());
    EXPECT_EQ(session.controlCentre.state(), QProcess::Running);
    EXPECT_GE(session.messageBoxesAnswered, 1) << "the failure was not reported";
    EXPECT_LE(session.messageBoxesAnswered, 2) << "one report for each log, no more";
    EXPECT_TRUE(QDir(folder).entryList(QDir::Files | QDir::Hidden).isEmpty());

    ASSERT_TRUE(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ExeOwner));
    const QString errorLog = folder + QStringLiteral("/Error.log");
    // Every warning tick of the run has its record once the next one is written: one per
    // status reply after the start-up one.
    const auto recordsComplete = [&] {
        const qsizetype records = LogRecordCount(errorLog);
        const auto polls = static_cast<qsizetype>(StatusRequests());
        return records > 0 && (records == polls - 1 || records == polls - 2);
    };
    ASSERT_TRUE(Await(recordsComplete, 2 * kTickMs))
        << LogRecordCount(errorLog) << " records for " << StatusRequests() << " status requests";
    // Between two ticks, when the last record is surely written.
    const std::size_t polls = StatusRequests();
    ASSERT_TRUE(AwaitStatusRequests(polls + 1, 2 * kTickMs));
    Pause(kTickMs / 2);
    EXPECT_EQ(LogRecordCount(errorLog), static_cast<qsizetype>(StatusRequests()) - 1);
    EXPECT_EQ(LogDefects(ReadAll(errorLog)), "");
    EXPECT_LE(session.messageBoxesAnswered, 2);
    std::printf("read-only drill: %d message boxes; %lld error records, all written once the "
                "folder could be written\n",
                session.messageBoxesAnswered, static_cast<long long>(LogRecordCount(errorLog)));

    // The start-up record that the operation log could not take is kept until the end.
    EXPECT_EQ(session.TerminateControlCentre(15000), std::optional<int>(0));
    const QString operationLog = folder + QStringLiteral("/Operatation.log");
    EXPECT_EQ(LogRecordCount(operationLog), 1);
    EXPECT_EQ(LogDefects(ReadAll(operationLog)), "");
}

// How the control centre holds files in the log folder at this moment: a file open for
// writing there (whatever its name) counts before one open for reading.
enum class FileUse { None, Reading, Writing };

FileUse LogFileUse(qint64 pid, const QString& folder) {
    const QString process = QStringLiteral("/proc/%1/").arg(pid);
    FileUse use = FileUse::None;
    for (const QString& fd :
         QDir(process + QStringLiteral("fd"))
             .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        const QString target = QFile::symLinkTarget(process + QStringLiteral("fd/") + fd);
        if (!target.startsWith(folder + QLatin1Char('/')))
            continue;
        // The open flags in octal; the access mode is their lowest two bits.
        static const QRegularExpression flags(QStringLiteral("flags:\\s*([0-7]+)"));
        const QRegularExpressionMatch match =
            flags.match(QString::fromLatin1(ReadAll(process + QStringLiteral("fdinfo/") + fd)));
        if (match.hasMatch() && (match.captured(1).toInt(nullptr, 8) & 3) != 0)
            return FileUse::Writing;
        use = FileUse::Reading;
    }
    return use;
}

TEST_F(FaultDrill, KillNineWhileALogIsWrittenLeavesACompleteLog) {
    // A long log, so that each record (a whole rewrite) takes a while.
    const QString folder = session.DataFolder();
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString errorLog = folder + QStringLiteral("/Error.log");
    {
        KelvData record;
        record.timestamp = QDateTime(QDate(2024, 3, 1), QTime(12, 0));
        record.statusText = QStringLiteral("Warning");
        const QByteArray line = LogRecordLine(record) + kLineEnd;
        QByteArray content = LogHeaderLine() + kLineEnd + " " + kLineEnd;
        content.reserve(content.size() + 40000 * line.size());
        for (int i = 0; i < 40000; ++i)
            content.append(line);
        QFile file(errorLog);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(content), content.size());
    }
    ASSERT_TRUE(session.StartUnit({QStringLiteral("--script"), WriteScript("temp 1 -5\n")}));

    struct Moment {
        const char* what;
        FileUse use;
        int msAfterPoll;
    };
    const std::vector<Moment> moments = {
        {"while the new log is written", FileUse::Writing, 0},
        {"while the old log is read", FileUse::Reading, 0},
        {"while the new log is written", FileUse::Writing, 0},
        {"at a status request", FileUse::None, 0},
        {"0.1 s after a status request", FileUse::None, 100},
        {"0.4 s after a status request", FileUse::None, 400},
        {"1.5 s after a status request", FileUse::None, 1500},
        {"while the new log is written", FileUse::Writing, 0},
    };
    QByteArray before = ReadAll(errorLog);
    for (const Moment& moment : moments) {
        ASSERT_TRUE(session.StartControlCentre());
        const std::size_t polls = StatusRequests();
        ASSERT_TRUE(AwaitStatusRequests(polls + 2, kStartMs + kTickMs)) << moment.what;
        if (moment.use == FileUse::None) {
            QThread::msleep(static_cast<unsigned long>(moment.msAfterPoll));
        } else {
            // Looks at the program's open files as fast as it can until the moment comes.
            const qint64 pid = session.controlCentre.processId();
            QElapsedTimer timer;
            timer.start();
            bool caught = false;
            while (!caught && timer.elapsed() < 3 * kTickMs)
                caught = LogFileUse(pid, folder) == moment.use;
            ASSERT_TRUE(caught) << moment.what << ": never caught";
        }
        ASSERT_TRUE(session.KillControlCentre()) << moment.what;

        const QByteArray after = ReadAll(errorLog);
        EXPECT_EQ(LogDefects(after), "") << "killed " << moment.what;
        EXPECT_TRUE(after.startsWith(before)) << "killed " << moment.what << ": records lost";
        EXPECT_EQ(LogDefects(ReadAll(folder + QStringLiteral("/Operatation.log"))), "")
            << "killed " << moment.what;
        before = after;
    }
}

TEST_F(FaultDrill, CriticalConditionHeldThreeMinutesPowersOffOnceThenStopsTheUnit) {
    constexpr qint64 kShutdownDelayMs = 180000;
    constexpr qint64 kUnitCommandDelayMs = 10000;
    ASSERT_TRUE(QDir().mkpath(session.Path(QStringLiteral("bus"))));
    PrivateSystemBus bus(session.Path(QStringLiteral("bus")));
    ASSERT_FALSE(bus.Address().isEmpty()) << "dbus-daemon did not start";
    ASSERT_TRUE(bus.StartLoginService());
    session.SetEnvironment(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), bus.Address());
    // A unit that does not say it is simulated, so the program really asks to power off.
    StartWithUnit({QStringLiteral("--as-real")});

    // The evaporator above its factory shut-down limit of 0 degrees.
    session.TellUnit("temp 1 1");
    const qint64 heldSinceMs = SteadyNowMs();
    ASSERT_TRUE(Await([&] { return !bus.PowerOffCalls().empty(); },
                      kShutdownDelayMs + kTickMs + 10 * kMarginMs))
        << "no power-off request";
    const PrivateSystemBus::PowerOffCall call = bus.PowerOffCalls().front();
    EXPECT_FALSE(call.interactive);
    EXPECT_GE(call.steadyMs - heldSinceMs, kShutdownDelayMs);
    EXPECT_LE(call.steadyMs - heldSinceMs, kShutdownDelayMs + kTickMs + kMarginMs);

    const auto unitStopped = [&] {
        for (const RecordedFrame& frame : session.Frames()) {
            if (frame.hex == RequestHex(0x85))
                return true;
        }
        return false;
    };
    ASSERT_TRUE(Await(unitStopped, kUnitCommandDelayMs + 5 * kMarginMs)) << "no 0x85 frame";
    const qint64 commandMs = SteadyNowMs() - call.steadyMs;
    EXPECT_GE(commandMs, kUnitCommandDelayMs - 100);
    EXPECT_LE(commandMs, kUnitCommandDelayMs + kMarginMs);

    Pause(5000);
    EXPECT_EQ(bus.PowerOffCalls().size(), 1u);
    EXPECT_EQ(session.UnitStatus().value("shutdownCommands").toInt(), 1);
    EXPECT_EQ(session.messageBoxesAnswered, 0);
}

} // namespace
