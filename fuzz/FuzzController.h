#pragma once

#include "app/TForm1.h"
#include "support/FakeServiceBundle.h"
#include "support/PrivateSettings.h"

#include <QApplication>

#include <memory>

// One controller, built once against fake services and kept for every input of a fuzz run,
// as a running program keeps its window for every reply.
struct FuzzController {
    // The controller of the run. It is never destroyed: taken down by the exit handlers, after
    // parts of Qt have been released, the window crashes inside Qt.
    static FuzzController& Instance() {
        static FuzzController* const controller = new FuzzController;
        return *controller;
    }

    std::unique_ptr<QApplication> app;
    // Never the user's own settings, and never a real sound, power-off or program start.
    QTemporaryDir settingsDir;
    FakeServiceBundle fakes;
    std::unique_ptr<TForm1> form;
    RecordingMessageSink* messages = nullptr;
    ScriptedUnitLink* link = nullptr;

private:
    FuzzController() {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "fuzz";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QApplication>(argc, argv);

        UsePrivateSettingsStore(settingsDir);
        messages = fakes.messages;
        link = fakes.link;
        link->responder = FakeUnitPackets().Responder();
        form = std::make_unique<TForm1>(std::move(fakes.services));
        form->show();
    }
};
