#pragma once

#include <QColor>
#include <QWidget>

#include <cstdint>
#include <deque>

// The samples a load graph shows: one value (0..100) and colour per sample, oldest first, at most
// `capacity` of them. Painting-free, so that the rules can be checked without a window.
class LoadGraphHistory {
public:
    struct Sample {
        int percent;
        QColor colour;
    };

    explicit LoadGraphHistory(int capacity = 1);

    // Values below 0 count as 0 and above 100 as 100. When the history is full the oldest
    // sample is dropped.
    void Add(int percent, const QColor& colour);

    // At least 1. Shrinking drops the oldest samples that no longer fit.
    void SetCapacity(int capacity);
    int Capacity() const { return capacity; }

    const std::deque<Sample>& Samples() const { return samples; }
    // Samples ever added, dropped ones included; the grid scrolls by this count.
    std::uint64_t AddedCount() const { return added; }

private:
    void DropOverflow();

    int capacity;
    std::deque<Sample> samples;
    std::uint64_t added = 0;
};

// The CPU load graph of the main window: a dark background gradient, a grid that scrolls left
// with the samples, and one coloured point per sample, one pixel apart, the newest at the right.
class LoadGraph : public QWidget {
    Q_OBJECT
    Q_PROPERTY(int gridSize READ gridSize WRITE setGridSize)
    Q_PROPERTY(int gradient READ gradient WRITE setGradient)

public:
    explicit LoadGraph(QWidget* parent = nullptr);

    // Grid spacing in pixels (at least 2).
    int gridSize() const { return gridSpacing; }
    void setGridSize(int pixels);

    // Strength of the background gradient: 0 plain black, 100 black at the top running to dark
    // green at the bottom.
    int gradient() const { return gradientPercent; }
    void setGradient(int percent);

    // Adds one sample (clamped to 0..100) and repaints.
    void AddPoint(int percent, const QColor& colour);

    const LoadGraphHistory& History() const { return history; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    LoadGraphHistory history;
    int gridSpacing = 7;
    int gradientPercent = 100;
};
