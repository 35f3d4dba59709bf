#pragma once

#include "app/TForm1.h"
#include "protocol/UnitData.h"
#include "support/FakeHostCounters.h"
#include "support/FakeServices.h"

#include <gtest/gtest.h>

#include <memory>

// Builds the controller against fake services and a fake unit; the fakes stay reachable.
class ControllerFixture : public ::testing::Test {
protected:
    void SetUp() override { ResetDefinements(); }
    void TearDown() override {
        form.reset();
        ResetDefinements();
    }

    // Prepares the services; tests adjust them before Build().
    void Prepare() {
        auto messageSink = std::make_unique<RecordingMessageSink>();
        auto fakeClock = std::make_unique<FakeClock>();
        auto fileLocations = std::make_unique<TempFileLocations>();
        auto unitLink = std::make_unique<ScriptedUnitLink>();
        auto helpViewerFake = std::make_unique<RecordingHelpViewer>();
        auto systemTrayFake = std::make_unique<FakeSystemTray>();
        auto hostCountersFake = std::make_unique<FakeHostCounters>();
        messages = messageSink.get();
        clock = fakeClock.get();
        files = fileLocations.get();
        link = unitLink.get();
        helpViewer = helpViewerFake.get();
        systemTray = systemTrayFake.get();
        hostCounters = hostCountersFake.get();
        link->responder = unit.Responder();
        services.messages = std::move(messageSink);
        services.clock = std::move(fakeClock);
        services.files = std::move(fileLocations);
        services.unitLink = std::move(unitLink);

        auto soundPlayer = std::make_unique<RecordingSoundPlayer>();
        auto shutdownRequester = std::make_unique<RecordingShutdownRequester>();
        auto processLauncher = std::make_unique<RecordingProcessLauncher>();
        sound = soundPlayer.get();
        powerOff = shutdownRequester.get();
        launcher = processLauncher.get();
        services.sound = std::move(soundPlayer);
        services.shutdown = std::move(shutdownRequester);
        services.processes = std::move(processLauncher);
        services.helpViewer = std::move(helpViewerFake);
        services.systemTray = std::move(systemTrayFake);
        services.hostCounters = std::move(hostCountersFake);
    }

    TForm1& Build(bool show = true) {
        if (!link)
            Prepare();
        link->responder = unit.Responder();
        form = std::make_unique<TForm1>(std::move(services));
        if (show)
            form->show();
        return *form;
    }

    // Frames written since the last call.
    std::vector<QByteArray> TakeWritten() {
        std::vector<QByteArray> taken;
        taken.swap(link->written);
        return taken;
    }

    FakeUnitPackets unit;
    Services services;
    RecordingMessageSink* messages = nullptr;
    FakeClock* clock = nullptr;
    TempFileLocations* files = nullptr;
    ScriptedUnitLink* link = nullptr;
    RecordingSoundPlayer* sound = nullptr;
    RecordingShutdownRequester* powerOff = nullptr;
    RecordingProcessLauncher* launcher = nullptr;
    RecordingHelpViewer* helpViewer = nullptr;
    // A tray is there unless a test takes it away.
    FakeSystemTray* systemTray = nullptr;
    // Holds the sampler thread in its first pause unless a test lets it go.
    FakeHostCounters* hostCounters = nullptr;
    std::unique_ptr<TForm1> form;
};
