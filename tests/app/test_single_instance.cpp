#include "app/SingleInstance.h"
#include "platform/PrivateFolder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

class Probe {
public:
    explicit Probe(const QString& folder) {
        process.start(QStringLiteral(INSTANCE_PROBE_PATH), {folder});
    }
    ~Probe() {
        process.closeWriteChannel();
        if (!process.waitForFinished(5000))
            process.kill();
        process.waitForFinished();
    }
    QString FirstLine() {
        if (!process.canReadLine())
            process.waitForReadyRead(10000);
        return QString::fromUtf8(process.readLine()).trimmed();
    }
    QStringList RestoresWithin(int milliseconds) {
        process.waitForReadyRead(milliseconds);
        QStringList lines;
        while (process.canReadLine())
            lines.append(QString::fromUtf8(process.readLine()).trimmed());
        return lines;
    }
    bool Finish() { return process.waitForFinished(10000) && process.exitCode() == 0; }
    QProcess process;
};

class SingleInstanceTest : public ::testing::Test {
protected:
    QTemporaryDir runtime;
    QString Folder() const { return runtime.path() + "/tarvik-control-centre"; }
};

TEST_F(SingleInstanceTest, SecondStartAsksTheFirstToRestoreAndEnds) {
    Probe first(Folder());
    ASSERT_EQ(first.FirstLine(), "primary");
    Probe second(Folder());
    EXPECT_EQ(second.FirstLine(), "secondary");
    EXPECT_TRUE(second.Finish());
    EXPECT_EQ(first.RestoresWithin(5000), QStringList{"restore"});
}

TEST_F(SingleInstanceTest, StaleSocketOfACrashedRunIsTakenOver) {
    ASSERT_TRUE(PreparePrivateFolder(Folder()).isEmpty());
    // A socket file that nobody listens on any more, as a killed run leaves it.
    const QByteArray path = QFile::encodeName(Folder() + "/instance");
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.constData(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
    ASSERT_TRUE(QFile::exists(QString::fromLocal8Bit(path)));

    Probe probe(Folder());
    EXPECT_EQ(probe.FirstLine(), "primary");
}

TEST_F(SingleInstanceTest, TwoStartsAtTheSameMomentGiveExactlyOnePrimary) {
    for (int round = 0; round < 5; ++round) {
        QTemporaryDir dir;
        const QString folder = dir.path() + "/tarvik-control-centre";
        Probe a(folder);
        Probe b(folder);
        const QStringList roles{a.FirstLine(), b.FirstLine()};
        EXPECT_EQ(roles.count("primary"), 1) << roles.join(',').toStdString();
        EXPECT_EQ(roles.count("secondary"), 1) << roles.join(',').toStdString();
    }
}

TEST_F(SingleInstanceTest, FolderIsMadePrivateAndAForeignOneIsRefused) {
    ASSERT_TRUE(PreparePrivateFolder(Folder()).isEmpty());
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(Folder()).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);

    // A file (or a link) planted where the folder belongs is not used.
    const QString planted = runtime.path() + "/planted";
    QFile file(planted);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_FALSE(PreparePrivateFolder(planted).isEmpty());
    const QString link = runtime.path() + "/link";
    ASSERT_TRUE(QFile::link(runtime.path(), link));
    EXPECT_FALSE(PreparePrivateFolder(link).isEmpty());
}

// The real program started while another instance runs: it restores that one, exits 0 and
// touches no file of the user.
TEST_F(SingleInstanceTest, ControlCentreSecondStartTouchesNothing) {
    Probe first(Folder());
    ASSERT_EQ(first.FirstLine(), "primary");

    QTemporaryDir home;
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    env.insert("HOME", home.path());
    env.insert("XDG_DATA_HOME", home.path() + "/data");
    env.insert("XDG_CONFIG_HOME", home.path() + "/config");
    env.insert("XDG_CACHE_HOME", home.path() + "/cache");
    env.insert("QT_QPA_PLATFORM", "offscreen");
    program.setProcessEnvironment(env);
    program.start(QStringLiteral(CONTROL_CENTRE_PATH), {});
    ASSERT_TRUE(program.waitForFinished(15000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    EXPECT_EQ(first.RestoresWithin(5000), QStringList{"restore"});
    EXPECT_TRUE(QDir(home.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty())
        << QDir(home.path())
               .entryList(QDir::NoDotAndDotDot | QDir::AllEntries)
               .join(',')
               .toStdString();
}

} // namespace
