#pragma once

#include "support/FakeHostCounters.h"
#include "support/FakeServices.h"

#include <memory>

// Every service of the controller as a fake, with the fakes reachable after the bundle has
// been handed to a controller. The sampler's counters hold it in its first pause unless a
// user lets it go; a system tray is there unless taken away.
struct FakeServiceBundle {
    FakeServiceBundle() {
        messages = Keep(services.messages, std::make_unique<RecordingMessageSink>());
        clock = Keep(services.clock, std::make_unique<FakeClock>());
        files = Keep(services.files, std::make_unique<TempFileLocations>());
        link = Keep(services.unitLink, std::make_unique<ScriptedUnitLink>());
        sound = Keep(services.sound, std::make_unique<RecordingSoundPlayer>());
        powerOff = Keep(services.shutdown, std::make_unique<RecordingShutdownRequester>());
        launcher = Keep(services.processes, std::make_unique<RecordingProcessLauncher>());
        helpViewer = Keep(services.helpViewer, std::make_unique<RecordingHelpViewer>());
        systemTray = Keep(services.systemTray, std::make_unique<FakeSystemTray>());
        hostCounters = Keep(services.hostCounters, std::make_unique<FakeHostCounters>());
        mail = Keep(services.mail, std::make_unique<FakeMailTransport>());
    }

    Services services;
    RecordingMessageSink* messages = nullptr;
    FakeClock* clock = nullptr;
    TempFileLocations* files = nullptr;
    ScriptedUnitLink* link = nullptr;
    RecordingSoundPlayer* sound = nullptr;
    RecordingShutdownRequester* powerOff = nullptr;
    RecordingProcessLauncher* launcher = nullptr;
    RecordingHelpViewer* helpViewer = nullptr;
    FakeSystemTray* systemTray = nullptr;
    FakeHostCounters* hostCounters = nullptr;
    FakeMailTransport* mail = nullptr;

private:
    template <typename Slot, typename Fake>
    static Fake* Keep(std::unique_ptr<Slot>& slot, std::unique_ptr<Fake> fake) {
        Fake* kept = fake.get();
        slot = std::move(fake);
        return kept;
    }
};
