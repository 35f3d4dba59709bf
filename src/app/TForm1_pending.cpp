// Handlers and routines whose subsystems are not in the program yet. Each is called at its
// final place in the start-up order and the cycle, so adding a subsystem fills in a body here
// and changes no caller.
#include "app/TForm1.h"

void TForm1::MaintainTimerTimer() {}
