#pragma once

#include <QSlider>

// A manual fan slider shows no thumb while its fan runs on a mode.
inline void SetSliderThumbVisible(QSlider* slider, bool visible) {
    slider->setStyleSheet(visible ? QString()
                                  : QStringLiteral("QSlider::handle { background: transparent; "
                                                   "border: none; }"));
}

inline bool SliderThumbVisible(const QSlider* slider) {
    return slider->styleSheet().isEmpty();
}
