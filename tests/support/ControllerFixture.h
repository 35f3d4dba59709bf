#pragma once

#include "app/TForm1.h"
#include "protocol/UnitData.h"
#include "support/FakeServiceBundle.h"
#include "support/PrivateSettings.h"

#include <gtest/gtest.h>

#include <memory>

// Builds the controller against fake services and a fake unit; the fakes stay reachable.
class ControllerFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ResetDefinements();
        UsePrivateSettingsStore(settingsDir);
    }
    void TearDown() override {
        form.reset();
        ResetDefinements();
    }

    // Prepares the services; tests adjust them before Build().
    void Prepare() {
        FakeServiceBundle fakes;
        messages = fakes.messages;
        clock = fakes.clock;
        files = fakes.files;
        link = fakes.link;
        sound = fakes.sound;
        powerOff = fakes.powerOff;
        launcher = fakes.launcher;
        helpViewer = fakes.helpViewer;
        systemTray = fakes.systemTray;
        hostCounters = fakes.hostCounters;
        link->responder = unit.Responder();
        services = std::move(fakes.services);
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

    // Every test starts without stored settings, away from the user's own.
    QTemporaryDir settingsDir;
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
