// Saves a picture of every page of the main window as the controller builds it against a
// fake unit, for reviewing the layout: window_screenshots OUTPUT_FOLDER
#include "app/TForm1.h"
#include "support/FakeServiceBundle.h"
#include "support/PrivateSettings.h"

#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <QTimer>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(folder);
    // The pictures show the window's defaults, never what the user has stored.
    const QTemporaryDir settingsDir;
    UsePrivateSettingsStore(settingsDir);

    FakeUnitPackets unit;
    unit.status = PayloadWithWord(QByteArray(24, '\0'), 3, -412);
    unit.unitSettings = PayloadWithWord(QByteArray(24, '\0'), 17, 1234);
    FakeServiceBundle fakes;
    fakes.link->responder = unit.Responder();
    // The sampler runs, so that the clock panel and the load graph show readings.
    fakes.hostCounters->SetHold(false);
    fakes.hostCounters->realPauseMs = 20;

    TForm1 form(std::move(fakes.services));
    form.show();
    int saved = 0;
    QTimer::singleShot(300, [&] {
        for (int page = 0; page < form.PageControl1->count(); ++page) {
            if (!form.PageControl1->isTabVisible(page))
                continue;
            form.PageControl1->setCurrentIndex(page);
            QApplication::processEvents();
            const QString name = form.PageControl1->tabText(page).remove('.');
            if (form.grab().save(folder + "/page-" + name + ".png"))
                ++saved;
        }
        QApplication::quit();
    });
    QApplication::exec();
    return saved > 0 ? 0 : 1;
}
