// The tray icon, its menu and the window going to and coming back from the tray; the tray-text
// choice; the F1 help key; and the sampler as the running controller drives it.

#include "hostmetrics/CPUThread.h"
#include "platform/HelpPages.h"
#include "support/ControllerFixture.h"
#include "ui/HelpTopics.h"
#include "ui/TrayImages.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTest>

#include <vector>

namespace {

class Tray : public ControllerFixture {
protected:
    // Lets queued work (the hide after a minimise, the sampler's updates) run.
    static void Settle() {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }
};

TEST_F(Tray, MenuHasItsThreeCommandsAndAboutShowsTheTitle) {
    TForm1& f = Build();
    QStringList items;
    for (QAction* action : f.PopupMenu1->actions())
        items.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    EXPECT_EQ(items, (QStringList{"Open", "-", "About", "-", "Exit"}));

    f.About1->trigger();
    EXPECT_EQ(messages->shown, QStringList{"Tarvik II Control Centre 1.23"});
    EXPECT_FALSE(f.IsTerminating());

    f.Exit1->trigger();
    EXPECT_TRUE(f.IsTerminating());
    EXPECT_FALSE(f.cpuThread);
    EXPECT_FALSE(f.cpuSpeedMHz);
}

struct MinimiseCase {
    const char* what;
    bool trayAvailable;
    bool hiddenWhenMinimised;
};

TEST_F(Tray, MinimisingGoesToTheTrayOnlyWhereThereIsOneAndOpenBringsTheWindowBack) {
    const std::vector<MinimiseCase> cases = {{"with a tray", true, true},
                                             {"without a tray", false, false}};
    for (const MinimiseCase& c : cases) {
        SCOPED_TRACE(c.what);
        form.reset();
        Prepare();
        systemTray->available = c.trayAvailable;
        TForm1& f = Build();
        ASSERT_TRUE(f.isVisible());

        f.setWindowState(Qt::WindowMinimized);
        Settle();
        EXPECT_EQ(f.isHidden(), c.hiddenWhenMinimised);
        EXPECT_EQ(f.TrayIcon1->isVisible(), true);
        // Minimising a second time, and coming back by the menu's "Open".
        f.Open1->trigger();
        Settle();
        EXPECT_TRUE(f.isVisible());
        EXPECT_FALSE(f.isMinimized());

        // Again, coming back by a double click on the icon.
        f.setWindowState(Qt::WindowMinimized);
        Settle();
        emit f.TrayIcon1->activated(QSystemTrayIcon::DoubleClick);
        Settle();
        EXPECT_TRUE(f.isVisible());
        EXPECT_FALSE(f.isMinimized());
        // A window in the tray still counts as visible for the sampler: it never stopped.
        EXPECT_TRUE(f.cpuThread->isRunning());
    }
}

TEST_F(Tray, WithoutATraySaysSoOnceInTheStatusBar) {
    Prepare();
    systemTray->available = false;
    TForm1& f = Build();
    const QString text = "No system tray: the window minimises to the task bar";
    EXPECT_EQ(f.traceMessages->count(text), 1);
    f.setWindowState(Qt::WindowMinimized);
    Settle();
    f.Open1Click();
    EXPECT_EQ(f.traceMessages->count(text), 1);

    form.reset();
    Prepare();
    TForm1& withTray = Build();
    EXPECT_EQ(withTray.traceMessages->count(text), 0);
}

struct MouseCase {
    Qt::MouseButton button;
    bool menuOpens;
};

TEST_F(Tray, OnlyTheRightButtonOpensTheMenuWhereTheCursorIs) {
    TForm1& f = Build();
    const std::vector<MouseCase> cases = {
        {Qt::LeftButton, false}, {Qt::MiddleButton, false}, {Qt::RightButton, true}};
    for (const MouseCase& c : cases) {
        SCOPED_TRACE(c.button);
        f.PopupMenu1->hide();
        f.TrayIcon1MouseDown(c.button, 120, 90);
        EXPECT_EQ(f.PopupMenu1->isVisible(), c.menuOpens);
        if (c.menuOpens) {
            EXPECT_EQ(f.PopupMenu1->pos(), QPoint(120, 90));
        }
    }
    f.PopupMenu1->hide();
    EXPECT_TRUE(messages->shown.isEmpty());
}

TEST_F(Tray, AnimationStepsThroughTheFramesEvery300MsAndStopsWhereItIs) {
    TForm1& f = Build();
    ASSERT_EQ(f.ImageList1.size(), 2);
    const auto frameShown = [&f] {
        for (int i = 0; i < f.ImageList1.size(); ++i)
            if (f.TrayIcon1->icon().cacheKey() == f.ImageList1[i].cacheKey())
                return i;
        return -1;
    };
    EXPECT_FALSE(f.TrayAnimationTimer->isActive());
    EXPECT_EQ(frameShown(), 0);

    f.SetTrayAnimation(true);
    EXPECT_TRUE(f.TrayAnimationTimer->isActive());
    EXPECT_EQ(f.TrayAnimationTimer->interval(), 300);
    std::vector<int> frames;
    for (int i = 0; i < 3; ++i) {
        f.TrayAnimationTimerTimer();
        frames.push_back(frameShown());
    }
    EXPECT_EQ(frames, (std::vector<int>{1, 0, 1}));

    f.SetTrayAnimation(false);
    EXPECT_FALSE(f.TrayAnimationTimer->isActive());
    EXPECT_EQ(frameShown(), 1);
    f.ShowTrayFrame(0);
    EXPECT_EQ(frameShown(), 0);
    f.ShowTrayFrame(2); // no such frame
    EXPECT_EQ(frameShown(), 0);
}

TEST_F(Tray, PicturesAreBuiltIntoTheProgram) {
    EXPECT_FALSE(ApplicationIcon().pixmap(22).isNull());
    const QList<QIcon> frames = TrayIconFrames();
    ASSERT_EQ(frames.size(), 2);
    for (const QIcon& frame : frames)
        EXPECT_FALSE(frame.pixmap(16).isNull());
    // The blinking frame must look different from the normal one.
    EXPECT_NE(frames[0].pixmap(16).toImage(), frames[1].pixmap(16).toImage());
}

// --- tray text choice ----------------------------------------------------------------------

TEST_F(Tray, ChoosingATrayTextSetsTheHintAtOnce) {
    TForm1& f = Build();
    unitData.sensors[0].temperature = -41;
    // A pick from the list.
    f.IconShowComboBox->setCurrentIndex(6);
    emit f.IconShowComboBox->activated(6);
    EXPECT_EQ(trayHintSelection, 6);
    EXPECT_EQ(f.TrayIcon1->toolTip(), "CPU load: 0 %");

    f.IconShowComboBox->setCurrentIndex(5);
    emit f.IconShowComboBox->activated(5);
    EXPECT_EQ(f.TrayIcon1->toolTip(), "CPU Speed: 2000 MHz");

    // Typing: a text of one's own selects nothing; typing an item's text selects it.
    f.IconShowComboBox->lineEdit()->clear();
    QTest::keyClicks(f.IconShowComboBox->lineEdit(), "mine");
    EXPECT_EQ(trayHintSelection, -1);
    EXPECT_EQ(f.TrayIcon1->toolTip(), "");
    f.IconShowComboBox->lineEdit()->clear();
    QTest::keyClicks(f.IconShowComboBox->lineEdit(), "Evaporator temp.");
    EXPECT_EQ(trayHintSelection, 0);
    EXPECT_EQ(f.TrayIcon1->toolTip(), "Evaporator Temp: -41");
    // Enter does not add the typed text to the list.
    QTest::keyClick(f.IconShowComboBox->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(f.IconShowComboBox->count(), 7);

    trayAlarmText.Set("Evaporator: SHUT-DOWN");
    emit f.IconShowComboBox->activated(0);
    EXPECT_EQ(f.TrayIcon1->toolTip(), "Evaporator: SHUT-DOWN");

    // Selections made by the program change nothing.
    trayAlarmText.Set("");
    f.IconShowComboBox->setCurrentIndex(6);
    EXPECT_EQ(trayHintSelection, 0);
}

// --- F1 ------------------------------------------------------------------------------------

// Counts the key releases that reach a widget.
class ReleaseCounter : public QObject {
public:
    int releases = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::KeyRelease)
            ++releases;
        return false;
    }
};

TEST_F(Tray, F1ReleaseOpensTheHelpTopicOfTheCurrentPageAndGoesNoFurther) {
    TForm1& f = Build();
    ReleaseCounter counter;
    f.PageControl1->installEventFilter(&counter);
    for (int page = 0; page < 5; ++page) {
        f.PageControl1->setCurrentIndex(page);
        QTest::keyPress(f.PageControl1, Qt::Key_F1);
        QTest::keyRelease(f.PageControl1, Qt::Key_F1);
    }
    EXPECT_EQ(helpViewer->shown, (std::vector<int>{100, 200, 300, 400, 600}));
    EXPECT_EQ(counter.releases, 0);

    // Other keys, and the releases of a held-down F1, pass through untouched.
    helpViewer->shown.clear();
    QTest::keyRelease(f.PageControl1, Qt::Key_F2);
    QKeyEvent repeated(QEvent::KeyRelease, Qt::Key_F1, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(f.PageControl1, &repeated);
    EXPECT_TRUE(helpViewer->shown.empty());
    EXPECT_EQ(counter.releases, 2);
}

TEST_F(Tray, AFailingHelpViewerIsSwallowedAndTheKeyStillHandled) {
    TForm1& f = Build();
    helpViewer->failWith = "no browser";
    ReleaseCounter counter;
    f.PageControl1->installEventFilter(&counter);
    QTest::keyRelease(f.PageControl1, Qt::Key_F1);
    EXPECT_EQ(counter.releases, 0);
    EXPECT_TRUE(messages->shown.isEmpty());
}

TEST(HelpTopics, ContextNumberOfEveryPageAndContentsOutsideThem) {
    const std::vector<std::pair<int, int>> cases = {
        {0, 100}, {1, 200}, {2, 300}, {3, 400}, {4, 600}, {5, kHelpContents}, {-1, kHelpContents}};
    for (const auto& [page, context] : cases)
        EXPECT_EQ(HelpContextOfPage(page), context) << "page " << page;
}

TEST(HelpPages, FoundInTheFirstFolderThatHasThem) {
    QTemporaryDir first;
    QTemporaryDir second;
    const auto write = [](const QTemporaryDir& dir, const QString& name) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("<html></html>");
    };
    write(first, "300.html");
    write(second, "300.html");
    write(second, "index.html");
    const QStringList folders = {first.path() + "/missing", first.path(), second.path()};
    EXPECT_EQ(FindHelpPage(300, folders), QFileInfo(first.filePath("300.html")).absoluteFilePath());
    EXPECT_EQ(FindHelpPage(kHelpContents, folders),
              QFileInfo(second.filePath("index.html")).absoluteFilePath());
    EXPECT_EQ(FindHelpPage(400, folders), "");

    EXPECT_EQ(HelpFolders("/opt/tcc/bin", {"/home/u/.local/share", "/usr/share"}),
              (QStringList{"/opt/tcc/bin/help", "/opt/tcc/share/tarvik-control-centre/help",
                           "/home/u/.local/share/tarvik-control-centre/help",
                           "/usr/share/tarvik-control-centre/help"}));
}

// The pages shipped with the program lie beside it in the build tree, as beside this test.
TEST(HelpPages, EveryTopicHasAShippedPageAndTheContentsLinkToThemAll) {
    const QStringList folders = HelpFolders(QCoreApplication::applicationDirPath(), {});
    for (int context : {100, 200, 300, 400, 600}) {
        SCOPED_TRACE(context);
        const QString page = FindHelpPage(context, folders);
        ASSERT_FALSE(page.isEmpty());
        QFile file(page);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_TRUE(file.readAll().contains("<title>"));
    }
    const QString contents = FindHelpPage(kHelpContents, folders);
    ASSERT_FALSE(contents.isEmpty());
    QFile file(contents);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    for (const char* link : {"href=\"100.html\"", "href=\"200.html\"", "href=\"300.html\"",
                             "href=\"400.html\"", "href=\"600.html\""})
        EXPECT_TRUE(text.contains(link)) << link;
}

// --- the sampler in the running controller --------------------------------------------------

TEST_F(Tray, RunningSamplerFeedsThePanelGraphAndHintAndCloseStopsItBeforeFreeingItsCells) {
    TForm1& f = Build();
    EXPECT_EQ(*f.cpuSpeedMHz, 2000);
    trayHintSelection = 6;
    hostCounters->loadPercent = 30;
    hostCounters->SetHold(false);
    for (int i = 0; i < 500 && f.CPULoadGraph->History().AddedCount() < 3; ++i) {
        QTest::qWait(5);
    }
    ASSERT_GE(f.CPULoadGraph->History().AddedCount(), 3u);
    EXPECT_EQ(f.CPUSpeedLoadPanel->text(), "2000 MHz ");
    EXPECT_EQ(f.CPULoadGraph->History().Samples().back().percent, 30);
    EXPECT_EQ(f.TrayIcon1->toolTip(), "CPU load: 30 %");

    // Closed while the sampler is held inside one of its pauses.
    hostCounters->SetHold(true);
    ASSERT_TRUE(hostCounters->WaitForSamplerPauses(hostCounters->samplerPauses + 1));
    f.close();
    EXPECT_FALSE(f.cpuThread);
    EXPECT_FALSE(f.cpuSpeedMHz);
    EXPECT_FALSE(f.cpuLoadPercent);
    EXPECT_TRUE(messages->shown.isEmpty()) << messages->shown.join('|').toStdString();
}

} // namespace
