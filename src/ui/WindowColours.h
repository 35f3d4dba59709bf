#pragma once

#include <QColor>
#include <QLabel>
#include <QPalette>
#include <QWidget>

// Severity colours of the system status panel. Several routines set them and later steps
// compare them for equality, so each is one value.
inline const QColor kGreen(0, 128, 0);
inline const QColor kOrange(229, 103, 1);
inline const QColor kRed(255, 0, 0);
inline const QColor kSilver(192, 192, 192);
inline const QColor kYellow(255, 255, 0);
inline const QColor kBlack(0, 0, 0);

// Background of fields that are switched off (the classic scroll-bar grey) and of active ones.
inline const QColor kScrollBarColour(200, 200, 200);
inline const QColor kWindowColour(255, 255, 255);

inline QColor PanelTextColour(const QWidget* panel) {
    return panel->palette().color(QPalette::WindowText);
}

inline void SetPanelTextColour(QWidget* panel, const QColor& colour) {
    QPalette palette = panel->palette();
    palette.setColor(QPalette::WindowText, colour);
    panel->setPalette(palette);
}

// Paints an input field's background (text boxes, lists, spin fields).
inline void PaintField(QWidget* field, const QColor& colour) {
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, colour);
    palette.setColor(QPalette::Button, colour);
    field->setPalette(palette);
}

inline QColor FieldColour(const QWidget* field) {
    return field->palette().color(QPalette::Base);
}
