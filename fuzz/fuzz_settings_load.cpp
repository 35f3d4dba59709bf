// Whatever the settings file holds, from the file through the typed store into the window and
// the sensor slots, then through the apply cycle back to the file and to the unit: no crash,
// no undefined behaviour, no leak.
//
// Input: the whole content of the settings file. The start-up routines run on it in their
// order (program-wide values afresh, factory defaults, the three loads); window contents the
// file does not set stay as the inputs before left them, as a user's edits would.

#include "FuzzController.h"

#include "protocol/UnitData.h"
#include "settings/SettingsStore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstddef>
#include <cstdint>

namespace {

// QSettings keeps every file it parsed and parses it again only when its size or time stamp
// changed (sync() does not help), so an input of the same size as the one before, written
// within the same millisecond, would read as that one. Each input's file therefore gets a
// modification time of its own, seconds apart and far from the clock the saves stamp theirs
// with. (A fresh file name for each input works as well, but leaves one parsed file in
// QSettings's cache per input, and the growth sets off a leak check after every input.)
void WriteSettingsFile(const QByteArray& content) {
    static qint64 inputs = 0;
    static const QDateTime firstStamp(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC);
    const QString path = SettingsStorePath();
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(content) != content.size() || !file.flush() ||
        !file.setFileTime(firstStamp.addSecs(++inputs), QFileDevice::FileModificationTime))
        qFatal("cannot write the settings file %s", qPrintable(path));
}

void StartUpLoads(TForm1& form) {
    ResetDefinements();
    form.ApplyFactoryDefaults();
    form.LoadSensorSettings();
    form.LoadChoiceSettings();
    form.LoadUnitSettings();
    form.ClearDirtyFlags();
}

// Every stored value through every typed read, as the program's other readers (the log
// upkeep with "Next Remind" among them) may meet it.
void ReadEveryValueAsEveryType() {
    try {
        const SettingsStore store(SettingsStore::Access::Read);
        for (const QString& name : OpenSettingsStore()->allKeys()) {
            const auto readAs = [&](auto read) {
                try {
                    read(store, name);
                } catch (const SettingsReadError&) {
                }
            };
            readAs([](const SettingsStore& s, const QString& n) { s.ReadInteger(n); });
            readAs([](const SettingsStore& s, const QString& n) { s.ReadBoolean(n); });
            readAs([](const SettingsStore& s, const QString& n) { s.ReadText(n); });
            readAs([](const SettingsStore& s, const QString& n) { s.ReadDateTime(n); });
        }
    } catch (const SettingsReadError&) {
        // A file that cannot be read at all; the loads have reported it.
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzController& controller = FuzzController::Instance();
    WriteSettingsFile(
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    StartUpLoads(*controller.form);
    ReadEveryValueAsEveryType();
    // The apply cycle saves and sends every setting as loaded, as after the user has touched
    // each one.
    controller.form->SetAllDirtyFlags();
    controller.form->WriteChangesTimerTimer();

    controller.messages->shown.clear();
    controller.link->written.clear();
    controller.link->readSizes.clear();
    controller.link->pipeResets.clear();
    return 0;
}
