#include "protocol/UnitData.h"

#include <QMutexLocker>

UnitData unitData;
SharedText trayAlarmText;
std::atomic<int> trayHintSelection{0};
std::atomic<bool> useCelsius{true};

bool modalDialogOpen = false;
bool clearCanceled = true;
double heaterReductionTime = kNoHeaterReduction;

void SharedText::Set(const QString& text) {
    QMutexLocker lock(&mutex);
    value = text;
}

QString SharedText::Get() const {
    QMutexLocker lock(&mutex);
    return value;
}

void ResetDefinements() {
    unitData = UnitData{};
    trayAlarmText.Set(QString());
    trayHintSelection = 0;
    useCelsius = true;

    modalDialogOpen = false;
    clearCanceled = true;
    heaterReductionTime = kNoHeaterReduction;
}
