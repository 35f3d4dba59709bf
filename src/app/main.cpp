#include "app/SingleInstance.h"
#include "app/TForm1.h"
#include "app/TerminationSignals.h"
#include "platform/ErrorText.h"
#include "platform/LinuxServices.h"
#include "platform/PrivateFolder.h"
#include "ui/WindowTexts.h"

#include <QApplication>
#include <QMessageBox>

#include <cstdio>

namespace {

int RunControlCentre(SingleInstance& instance) {
    // Caught from the start: a logout while the window is being built still ends the run
    // through the close sequence, once the window is there to run it.
    TerminationSignals signalsToClose(TerminationSignals::Delivery::Held);
    TForm1 form(MakeDesktopServices());
    if (form.IsTerminating())
        return 0;
    QObject::connect(&instance, &SingleInstance::restoreRequested, &form, &TForm1::Open1Click);
    QObject::connect(&signalsToClose, &TerminationSignals::terminationRequested, &form,
                     &TForm1::Exit1Click);
    signalsToClose.StartDelivery();
    form.show();
    QApplication::exec();
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Tcc"));
    // Lets the desktop match the window with its desktop entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("tarvik-control-centre"));
    // The window may sit hidden in the tray; only "Exit" or closing the window ends the program.
    QApplication::setQuitOnLastWindowClosed(false);

    SingleInstance instance(RuntimeFolder());
    switch (instance.Claim()) {
    case SingleInstance::Role::Secondary:
        return 0;
    case SingleInstance::Role::Unavailable:
        std::fprintf(stderr, "tarvik-control-centre: single-instance check unavailable: %s\n",
                     qPrintable(instance.ErrorText()));
        break;
    case SingleInstance::Role::Primary:
        break;
    }
    QGuiApplication::setApplicationDisplayName(kWindowTitle);

    try {
        return RunControlCentre(instance);
    } catch (...) {
        QMessageBox::critical(nullptr, kWindowTitle, ErrorText(std::current_exception()));
    }
    return 0;
}
