#pragma once

class QAbstractSpinBox;

// Lets only digits be typed into a number field. Editing keys and shortcuts still work; a
// minus sign cannot be typed, so negative values come from the up/down buttons or the program.
void RestrictToDigits(QAbstractSpinBox* field);
