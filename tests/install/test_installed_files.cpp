// The program's shared files, found the way the program finds them: beside it in the build
// tree, and in a tree that `cmake --install` lays out as the package does (prefix /usr under a
// DESTDIR). The program looks for them relative to its own folder, so either tree must hold a
// complete set.

#include "monitor/AlarmSound.h"
#include "platform/HelpPages.h"
#include "platform/Services.h"
#include "usb/UnitIds.h"
#include "usb/UsbStack.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kSourceDir = QStringLiteral(TCC_SOURCE_DIR);

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct RunResult {
    int exitCode = -1;
    QByteArray output;
};

RunResult
RunProgram(const QString& program, const QStringList& arguments,
           const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {-1, process.readAll()};
    return {process.exitCode(), process.readAll()};
}

QByteArray Gunzip(const QString& path) {
    const RunResult result = RunProgram(QStringLiteral("gzip"), {QStringLiteral("-dc"), path});
    return result.exitCode == 0 ? result.output : QByteArray();
}

bool IsInside(const QString& path, const QString& root) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return !canonical.isEmpty() &&
           canonical.startsWith(QFileInfo(root).canonicalFilePath() + QLatin1Char('/'));
}

// One installation per test process, made on first use.
class InstalledTree {
public:
    static const InstalledTree& Get() {
        static const InstalledTree tree;
        return tree;
    }

    QString Prefix() const { return destDir.path() + QStringLiteral("/usr"); }
    QString ProgramFolder() const { return Prefix() + QStringLiteral("/bin"); }
    const RunResult& Installation() const { return installation; }

private:
    InstalledTree() {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DESTDIR"), destDir.path());
        installation = RunProgram(QStringLiteral(CMAKE_COMMAND),
                                  {QStringLiteral("--install"), QStringLiteral(TCC_BUILD_DIR),
                                   QStringLiteral("--prefix"), QStringLiteral("/usr")},
                                  environment);
    }

    QTemporaryDir destDir;
    RunResult installation;
};

struct ProgramTree {
    QString programFolder;
    // Everything the program finds must lie in here.
    QString root;
};

// The trees by name: "build" or "installed".
class ProgramFiles : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        if (GetParam() == std::string("build")) {
            tree = {QStringLiteral(TCC_PROGRAM_DIR), QStringLiteral(TCC_BUILD_DIR)};
        } else {
            const InstalledTree& installed = InstalledTree::Get();
            ASSERT_EQ(installed.Installation().exitCode, 0)
                << installed.Installation().output.toStdString();
            tree = {installed.ProgramFolder(), installed.Prefix()};
        }
        ASSERT_TRUE(QFileInfo(tree.programFolder + "/tarvik-control-centre").isExecutable());
    }

    ProgramTree tree;
};

TEST_P(ProgramFiles, EveryHelpPageIsTheShippedOne) {
    const QStringList folders = HelpFolders(tree.programFolder, {});
    for (int context : {kHelpContents, 100, 200, 300, 400, 600}) {
        SCOPED_TRACE(context);
        const QString page = FindHelpPage(context, folders);
        EXPECT_TRUE(IsInside(page, tree.root)) << page.toStdString();
        EXPECT_EQ(ReadAll(page),
                  ReadAll(kSourceDir + "/resources/help/" + HelpPageFileName(context)));
    }
    // The pages link their style sheet by a relative name.
    EXPECT_TRUE(QFileInfo::exists(
        QFileInfo(FindHelpPage(kHelpContents, folders)).dir().filePath("help.css")));
}

TEST_P(ProgramFiles, TheAlarmToneIsTheShippedOneWhenTheUserHasNone) {
    const QTemporaryDir emptyDataFolder;
    const QString tone =
        FindAlarmSound(AlarmSoundCandidates(emptyDataFolder.path() + "/", tree.programFolder));
    EXPECT_TRUE(IsInside(tone, tree.root)) << tone.toStdString();
    EXPECT_EQ(ReadAll(tone), ReadAll(kSourceDir + "/resources/Alarm.wav"));
}

// The helper runs as root through pkexec; asked for a dry run it names the rule it would
// install, found from its own place, and changes nothing.
TEST_P(ProgramFiles, TheAccessHelperFindsItsRuleForTheUnit) {
    const QString helper = UsbStack::FindInstaller(tree.programFolder);
    ASSERT_TRUE(IsInside(helper, tree.root)) << helper.toStdString();

    const RunResult dryRun = RunProgram(helper, {QStringLiteral("--dry-run")});
    ASSERT_EQ(dryRun.exitCode, 0) << dryRun.output.toStdString();
    const QRegularExpressionMatch named =
        QRegularExpression(QStringLiteral("^would install (\\S+) as "
                                          "/etc/udev/rules.d/70-tarvik-unit.rules\\n$"))
            .match(QString::fromUtf8(dryRun.output));
    ASSERT_TRUE(named.hasMatch()) << dryRun.output.toStdString();
    const QString rule = named.captured(1);
    EXPECT_TRUE(IsInside(rule, tree.root)) << rule.toStdString();

    const QByteArray text = ReadAll(rule);
    EXPECT_TRUE(text.contains("TAG+=\"uaccess\"")) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("ATTR{idVendor}==\"%1\"")
                                  .arg(kUnitVendorId, 4, 16, QLatin1Char('0'))
                                  .toUtf8()));
    EXPECT_TRUE(text.contains(QStringLiteral("ATTR{idProduct}==\"%1\"")
                                  .arg(kUnitProductId, 4, 16, QLatin1Char('0'))
                                  .toUtf8()));
}

INSTANTIATE_TEST_SUITE_P(Trees, ProgramFiles, ::testing::Values("build", "installed"),
                         [](const auto& info) { return std::string(info.param); });

// What only the installed tree has: the files the desktop, udev and man read from their own
// places.
class InstalledOnly : public ::testing::Test {
protected:
    void SetUp() override {
        const RunResult& installation = InstalledTree::Get().Installation();
        ASSERT_EQ(installation.exitCode, 0) << installation.output.toStdString();
    }

    const QString prefix = InstalledTree::Get().Prefix();
};

TEST_F(InstalledOnly, UdevFindsTheRuleInItsOwnFolderWithoutTheHelper) {
    const QByteArray shipped = ReadAll(kSourceDir + "/resources/udev/70-tarvik-unit.rules");
    ASSERT_FALSE(shipped.isEmpty());
    EXPECT_EQ(ReadAll(prefix + "/lib/udev/rules.d/70-tarvik-unit.rules"), shipped);
}

// The program names itself "tarvik-control-centre" to the desktop, which matches it with the
// entry of that name and its icon.
TEST_F(InstalledOnly, TheDesktopEntryStartsTheInstalledProgramWithItsIcon) {
    const QString entry =
        QString::fromUtf8(ReadAll(prefix + "/share/applications/tarvik-control-centre.desktop"));
    const auto field = [&entry](const QString& key) {
        const QRegularExpressionMatch match =
            QRegularExpression(QStringLiteral("^%1=(.*)$").arg(key),
                               QRegularExpression::MultilineOption)
                .match(entry);
        return match.captured(1);
    };
    EXPECT_TRUE(QFileInfo(prefix + "/bin/" + field("Exec")).isExecutable()) << entry.toStdString();
    for (const char* size : {"16x16", "32x32", "48x48", "256x256"}) {
        SCOPED_TRACE(size);
        EXPECT_TRUE(QFileInfo::exists(QStringLiteral("%1/share/icons/hicolor/%2/apps/%3.png")
                                          .arg(prefix, QLatin1String(size), field("Icon"))));
    }
}

TEST_F(InstalledOnly, BothProgramsHaveAManualPageOfThisVersion) {
    for (const QString program : {"tarvik-control-centre", "tarvik-unit-sim"}) {
        SCOPED_TRACE(program.toStdString());
        const QByteArray page = Gunzip(prefix + "/share/man/man1/" + program + ".1.gz");
        EXPECT_TRUE(page.startsWith(QStringLiteral(".TH %1 1 ").arg(program.toUpper()).toUtf8()));
        EXPECT_TRUE(page.contains(QStringLiteral("\"tarvik-control-centre %1\"")
                                      .arg(QStringLiteral(TCC_VERSION))
                                      .toUtf8()));
        EXPECT_FALSE(page.contains('@')) << "a placeholder was left in";
    }
}

TEST_F(InstalledOnly, TheLicenceAndAChangelogOfThisVersionComeWithThePrograms) {
    const QString docs = prefix + "/share/doc/tarvik-control-centre/";
    EXPECT_TRUE(ReadAll(docs + "copyright")
                    .startsWith("Format: https://www.debian.org/doc/packaging-manuals/"
                                "copyright-format/1.0/"));
    EXPECT_TRUE(Gunzip(docs + "changelog.gz")
                    .startsWith(QStringLiteral("tarvik-control-centre (%1) ")
                                    .arg(QStringLiteral(TCC_VERSION))
                                    .toUtf8()));
}

TEST_F(InstalledOnly, TheInstalledSimulatorRuns) {
    const RunResult help = RunProgram(prefix + "/bin/tarvik-unit-sim", {QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0) << help.output.toStdString();
    EXPECT_TRUE(help.output.contains("--script")) << help.output.toStdString();
}

} // namespace
