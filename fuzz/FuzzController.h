#pragma once

#include "app/TForm1.h"
#include "support/FakeServices.h"

#include <QApplication>

#include <memory>

// One controller, built once against fake services and kept for every input of a fuzz run,
// as a running program keeps its window for every reply.
struct FuzzController {
    FuzzController() {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "fuzz";
        static char* argv[] = {name, nullptr};
        app = std::make_unique<QApplication>(argc, argv);

        Services services;
        auto messageSink = std::make_unique<RecordingMessageSink>();
        auto unitLink = std::make_unique<ScriptedUnitLink>();
        messages = messageSink.get();
        link = unitLink.get();
        link->responder = FakeUnitPackets().Responder();
        services.messages = std::move(messageSink);
        services.clock = std::make_unique<FakeClock>();
        services.files = std::make_unique<TempFileLocations>();
        services.unitLink = std::move(unitLink);
        form = std::make_unique<TForm1>(std::move(services));
        form->show();
    }

    std::unique_ptr<QApplication> app;
    std::unique_ptr<TForm1> form;
    RecordingMessageSink* messages = nullptr;
    ScriptedUnitLink* link = nullptr;
};
