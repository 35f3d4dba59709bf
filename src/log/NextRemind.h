#pragma once

#include "log/LogUpkeep.h"

// "Next Remind" in the settings store: 8 raw bytes holding a little-endian IEEE 754 double of
// days since 30 December 1899.

// A store that cannot be opened counts as "Next Remind" absent; a value of another type or
// length is unreadable.
StoredNextRemind ReadNextRemind();

// Throws ProgramError when the value cannot be saved.
void WriteNextRemind(double days);
