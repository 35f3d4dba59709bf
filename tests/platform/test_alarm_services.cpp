// The desktop services behind the alarms and the log viewer, run against small stand-in
// programs.
#include "monitor/AlarmSound.h"
#include "platform/LinuxServices.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class SoundPlayer : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        wav = dir.filePath("Alarm.wav");
        QFile file(wav);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("RIFF");
    }

    // A stand-in player that notes its arguments in NAME.args and then runs BODY.
    QString Player(const QString& name, const QString& body) {
        const QString path = dir.filePath(name);
        QFile script(path);
        EXPECT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(("#!/bin/sh\necho \"$@\" > '" + path + ".args'\n" + body + "\n").toUtf8());
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return path;
    }
    bool Ran(const QString& name) const { return QFile::exists(dir.filePath(name) + ".args"); }
    QString ArgumentsOf(const QString& name) const {
        QFile file(dir.filePath(name) + ".args");
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed()
                                              : QString();
    }

    void Play(const QStringList& programs, const QString& file, int boundMs = 5000) {
        ExternalSoundPlayer player(programs, boundMs, [this] { ++beeps; });
        player.PlayToEnd(file);
    }

    QTemporaryDir dir;
    QString wav;
    int beeps = 0;
};

TEST_F(SoundPlayer, TheFirstPlayerThatWorksPlaysTheFileToItsEnd) {
    const QString missing = dir.filePath("no-such-player");
    const QString failing = Player("failing", "exit 1");
    const QString working = Player("working", "exit 0");
    const QString never = Player("never", "exit 0");
    Play({missing, failing, working, never}, wav);
    EXPECT_TRUE(Ran("failing"));
    EXPECT_EQ(ArgumentsOf("working"), wav);
    EXPECT_FALSE(Ran("never"));
    EXPECT_EQ(beeps, 0);
}

TEST_F(SoundPlayer, NoWorkingPlayerGivesTheSystemBeep) {
    Play({dir.filePath("no-such-player"), Player("failing", "exit 3")}, wav);
    EXPECT_TRUE(Ran("failing"));
    EXPECT_EQ(beeps, 1);
}

TEST_F(SoundPlayer, AMissingFileGivesTheBeepWithoutStartingAPlayer) {
    Play({Player("working", "exit 0")}, dir.filePath("gone.wav"));
    EXPECT_FALSE(Ran("working"));
    EXPECT_EQ(beeps, 1);
}

TEST_F(SoundPlayer, APlayerThatHangsIsStoppedAtTheBoundAndNotFollowedByAnother) {
    Play({Player("hanging", "exec sleep 30"), Player("next", "exit 0")}, wav, 300);
    EXPECT_TRUE(Ran("hanging"));
    EXPECT_FALSE(Ran("next"));
    EXPECT_EQ(beeps, 1);
}

TEST(ProcessLauncher, WaitsForTheProgramWhileTheEventLoopRuns) {
    DesktopProcessLauncher launcher;
    bool tickedMeanwhile = false;
    QTimer tick;
    tick.setSingleShot(true);
    QObject::connect(&tick, &QTimer::timeout, [&] { tickedMeanwhile = true; });
    tick.start(20);
    EXPECT_TRUE(launcher.RunAndWait("sh", {"-c", "sleep 0.5"}));
    EXPECT_TRUE(tickedMeanwhile);
}

TEST(ProcessLauncher, PassesTheArgumentsUnchangedAndReportsAProgramThatCannotStart) {
    QTemporaryDir dir;
    const QString target = dir.filePath("file with blanks; and $(signs)");
    EXPECT_TRUE(DesktopProcessLauncher().RunAndWait("touch", {target}));
    EXPECT_TRUE(QFile::exists(target));
    EXPECT_FALSE(DesktopProcessLauncher().RunAndWait(dir.filePath("no-such-viewer"), {target}));
}

TEST(AlarmSoundFile, DataFolderFirstThenBesideTheProgramElseTheFirstPlace) {
    QTemporaryDir data;
    QTemporaryDir program;
    const QStringList candidates = AlarmSoundCandidates(data.path() + "/", program.path());
    ASSERT_GE(candidates.size(), 3);
    EXPECT_EQ(candidates[0], data.filePath("Alarm.wav"));
    EXPECT_EQ(candidates[1], program.filePath("Alarm.wav"));

    const auto create = [](const QString& path) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly);
    };
    const QStringList own{data.filePath("Alarm.wav"), program.filePath("Alarm.wav")};
    EXPECT_EQ(FindAlarmSound(own), own[0]); // none exists
    ASSERT_TRUE(create(own[1]));
    EXPECT_EQ(FindAlarmSound(own), own[1]);
    ASSERT_TRUE(create(own[0]));
    EXPECT_EQ(FindAlarmSound(own), own[0]);
}

} // namespace
