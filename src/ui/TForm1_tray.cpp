#include "app/TForm1.h"

#include "hostmetrics/CPUThread.h"
#include "protocol/UnitData.h"
#include "ui/EventHook.h"
#include "ui/HelpTopics.h"
#include "ui/TrayImages.h"
#include "ui/WindowTexts.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QSystemTrayIcon>

namespace {

constexpr int kTrayAnimationIntervalMs = 300;

const QString kNoTrayText = QStringLiteral("No system tray: the window minimises to the task bar");

} // namespace

// The icon exists from the start, so that the sampler can be handed it; it is shown once
// construction has succeeded.
void TForm1::CreateTrayIcon() {
    setWindowIcon(ApplicationIcon());
    ImageList1 = TrayIconFrames();
    TrayIcon1 = new QSystemTrayIcon(ImageList1.front(), this);
    TrayIcon1->setObjectName(QStringLiteral("TrayIcon1"));
    trayFrame = 0;

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    Open1 = PopupMenu1->addAction(QStringLiteral("Open"), this, &TForm1::Open1Click);
    PopupMenu1->addSeparator();
    About1 = PopupMenu1->addAction(QStringLiteral("About"), this, &TForm1::About1Click);
    PopupMenu1->addSeparator();
    Exit1 = PopupMenu1->addAction(QStringLiteral("Exit"), this, &TForm1::Exit1Click);

    connect(TrayIcon1, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                const QPoint at = QCursor::pos();
                switch (reason) {
                case QSystemTrayIcon::Context:
                    TrayIcon1MouseDown(Qt::RightButton, at.x(), at.y());
                    break;
                case QSystemTrayIcon::Trigger:
                    TrayIcon1MouseDown(Qt::LeftButton, at.x(), at.y());
                    break;
                case QSystemTrayIcon::MiddleClick:
                    TrayIcon1MouseDown(Qt::MiddleButton, at.x(), at.y());
                    break;
                case QSystemTrayIcon::DoubleClick:
                    Open1Click();
                    break;
                case QSystemTrayIcon::Unknown:
                    break;
                }
            });

    TrayAnimationTimer = new QTimer(this);
    TrayAnimationTimer->setObjectName(QStringLiteral("TrayAnimationTimer"));
    TrayAnimationTimer->setInterval(kTrayAnimationIntervalMs);
    connect(TrayAnimationTimer, &QTimer::timeout, this, &TForm1::TrayAnimationTimerTimer);

    // A pick from the list or a typed text; texts and picks made by the program raise nothing.
    IconShowComboBox->setInsertPolicy(QComboBox::NoInsert);
    connect(IconShowComboBox, &QComboBox::activated, this, &TForm1::IconShowComboBoxChange);
    connect(IconShowComboBox->lineEdit(), &QLineEdit::textEdited, this,
            &TForm1::IconShowComboBoxChange);

    installEventFilter(new EventHook(this, [this](QObject* watched, QEvent* event) {
        return watched == this && WindowStateHook(event);
    }));
}

void TForm1::ShowTrayIcon() {
    TrayIcon1->show();
    if (!SystemTrayAvailable())
        QueueTrace(kNoTrayText);
}

bool TForm1::SystemTrayAvailable() const {
    if (services.systemTray)
        return services.systemTray->Available();
    return QSystemTrayIcon::isSystemTrayAvailable();
}

// Going to the tray: a minimised window is hidden, which takes its task-bar entry away; only the
// tray icon remains. Without a tray the window stays minimised in the task bar, so that there is
// always a way back to it.
bool TForm1::WindowStateHook(QEvent* event) {
    if (event->type() != QEvent::WindowStateChange || !isMinimized())
        return false;
    // Asked each time: a tray that came up after the program started is used as well.
    if (SystemTrayAvailable() && !terminating) {
        // Hidden once the state change has been handled; hiding inside it confuses some window
        // managers.
        QTimer::singleShot(0, this, [this] {
            if (isMinimized())
                hide();
        });
    }
    return false;
}

void TForm1::TrayIcon1MouseDown(Qt::MouseButton button, int x, int y) {
    if (button != Qt::RightButton)
        return;
    Guarded([this, x, y] {
        if (isVisible() && !isMinimized()) {
            raise();
            activateWindow();
        }
        PopupMenu1->popup(QPoint(x, y));
    });
}

void TForm1::About1Click() {
    services.messages->ShowMessage(kWindowTitle);
}

void TForm1::SetTrayAnimation(bool on) {
    if (on)
        TrayAnimationTimer->start();
    else
        TrayAnimationTimer->stop();
}

void TForm1::ShowTrayFrame(int frame) {
    if (frame < 0 || frame >= ImageList1.size())
        return;
    trayFrame = frame;
    TrayIcon1->setIcon(ImageList1[frame]);
}

void TForm1::TrayAnimationTimerTimer() {
    ShowTrayFrame((trayFrame + 1) % ImageList1.size());
}

void TForm1::IconShowComboBoxChange() {
    Guarded([this] {
        // A typed text that is not one of the items selects nothing (-1).
        trayHintSelection = IconShowComboBox->findText(IconShowComboBox->currentText());
        if (cpuThread)
            cpuThread->UpdateTrayHint();
    });
}

void TForm1::InstallHelpKeyHook() {
    helpKeyHook = std::make_unique<EventHook>(
        nullptr, [this](QObject*, QEvent* event) { return HelpKeyHook(event); });
    QCoreApplication::instance()->installEventFilter(helpKeyHook.get());
}

bool TForm1::HelpKeyHook(QEvent* event) {
    if (event->type() != QEvent::KeyRelease)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    // Holding F1 repeats press and release; only the real release opens help.
    if (key->key() != Qt::Key_F1 || key->isAutoRepeat())
        return false;
    try {
        if (services.helpViewer)
            services.helpViewer->ShowHelp(HelpContextOfPage(PageControl1->currentIndex()));
    } catch (const std::exception& e) {
        // A help system that fails leaves the key handled and the program undisturbed.
        qWarning("help: %s", e.what());
    } catch (...) {
        qWarning("help: unknown error");
    }
    return true;
}
