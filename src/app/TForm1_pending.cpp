// Handlers and routines whose subsystems are not in the program yet. Each is called at its
// final place in the start-up order and the cycle, so adding a subsystem fills in a body here
// and changes no caller.
#include "app/TForm1.h"

void TForm1::UpdateUnitStatus() {}
void TForm1::ApplyFactoryDefaults() {}
void TForm1::ShutDownTimerTimer() {}
void TForm1::BlinkTimerTimer() {}
void TForm1::LoadSensorSettings() {}
void TForm1::LoadChoiceSettings() {}
void TForm1::LoadUnitSettings() {}
void TForm1::WriteChangesTimerTimer() {}
void TForm1::ComposeLine2() {}
void TForm1::DisplayIntervalTimerTimer() {}
void TForm1::InstallHelpKeyHook() {}
void TForm1::SetTrayAnimation(bool) {}
void TForm1::ShowTrayFrame(int) {}
void TForm1::WriteOperationLogRecord() {}
void TForm1::MaintainTimerTimer() {}
