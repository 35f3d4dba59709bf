#include "ui/LoadGraph.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPolygon>

#include <algorithm>

LoadGraphHistory::LoadGraphHistory(int capacity) : capacity(std::max(1, capacity)) {}

void LoadGraphHistory::Add(int percent, const QColor& colour) {
    samples.push_back({std::clamp(percent, 0, 100), colour});
    ++added;
    DropOverflow();
}

void LoadGraphHistory::SetCapacity(int newCapacity) {
    capacity = std::max(1, newCapacity);
    DropOverflow();
}

void LoadGraphHistory::DropOverflow() {
    while (samples.size() > static_cast<std::size_t>(capacity))
        samples.pop_front();
}

namespace {

const QColor kTopColour(0, 0, 0);
const QColor kBottomColour(0, 72, 0);
const QColor kGridColour(0, 110, 0);
const QColor kFrameDark(128, 128, 128);
const QColor kFrameLight(255, 255, 255);

// The plotting area lies inside a one-pixel sunken frame.
constexpr int kFrame = 1;

} // namespace

LoadGraph::LoadGraph(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void LoadGraph::setGridSize(int pixels) {
    gridSpacing = std::max(2, pixels);
    update();
}

void LoadGraph::setGradient(int percent) {
    gradientPercent = std::clamp(percent, 0, 100);
    update();
}

void LoadGraph::AddPoint(int percent, const QColor& colour) {
    history.SetCapacity(width() - 2 * kFrame);
    history.Add(percent, colour);
    update();
}

void LoadGraph::resizeEvent(QResizeEvent* event) {
    history.SetCapacity(width() - 2 * kFrame);
    QWidget::resizeEvent(event);
}

void LoadGraph::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect area = rect().adjusted(kFrame, kFrame, -kFrame, -kFrame);

    const auto blend = [this](int dark, int full) {
        return dark + (full - dark) * gradientPercent / 100;
    };
    QLinearGradient background(area.topLeft(), area.bottomLeft());
    background.setColorAt(0, kTopColour);
    background.setColorAt(1, QColor(blend(kTopColour.red(), kBottomColour.red()),
                                    blend(kTopColour.green(), kBottomColour.green()),
                                    blend(kTopColour.blue(), kBottomColour.blue())));
    painter.fillRect(area, background);

    // The grid moves one pixel left with every sample, as if drawn on the same paper.
    painter.setPen(kGridColour);
    const int phase = static_cast<int>(history.AddedCount() % gridSpacing);
    for (int x = area.right() - phase; x >= area.left(); x -= gridSpacing)
        painter.drawLine(x, area.top(), x, area.bottom());
    for (int y = area.bottom(); y >= area.top(); y -= gridSpacing)
        painter.drawLine(area.left(), y, area.right(), y);

    // Newest sample at the right edge, one pixel per sample; each joined to the one before.
    const auto& samples = history.Samples();
    const int count = static_cast<int>(samples.size());
    const auto yOf = [&area](int percent) {
        return area.bottom() - (area.height() - 1) * percent / 100;
    };
    QPoint previous;
    for (int i = 0; i < count; ++i) {
        const QPoint point(area.right() - (count - 1 - i), yOf(samples[i].percent));
        painter.setPen(samples[i].colour);
        if (i == 0)
            painter.drawPoint(point);
        else
            painter.drawLine(previous, point);
        previous = point;
    }

    // Sunken frame like the panels beside it.
    painter.setPen(kFrameDark);
    painter.drawLine(0, 0, width() - 1, 0);
    painter.drawLine(0, 0, 0, height() - 1);
    painter.setPen(kFrameLight);
    painter.drawLine(width() - 1, 1, width() - 1, height() - 1);
    painter.drawLine(1, height() - 1, width() - 1, height() - 1);
}
