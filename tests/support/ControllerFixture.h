#pragma once

#include "app/TForm1.h"
#include "protocol/UnitData.h"
#include "support/FakeServices.h"
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
        auto messageSink = std::make_unique<RecordingMessageSink>();
        auto fakeClock = std::make_unique<FakeClock>();
        auto fileLocations = std::make_unique<TempFileLocations>();
        auto unitLink = std::make_unique<ScriptedUnitLink>();
        messages = messageSink.get();
        clock = fakeClock.get();
        files = fileLocations.get();
        link = unitLink.get();
        link->responder = unit.Responder();
        services.messages = std::move(messageSink);
        services.clock = std::move(fakeClock);
        services.files = std::move(fileLocations);
        services.unitLink = std::move(unitLink);
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
    std::unique_ptr<TForm1> form;
};
