// The CPU load graph as it is painted: one coloured point per sample with the newest at the
// right edge, a grid that moves left with every sample, and the background gradient.

#include "ui/LoadGraph.h"

#include <QImage>

#include <gtest/gtest.h>

#include <set>

namespace {

const QColor kLime(0, 255, 0);
const QColor kGrid(0, 110, 0);

class LoadGraphPainting : public ::testing::Test {
protected:
    void SetUp() override {
        graph.resize(95, 28); // the plotting area is x 1..93, y 1..26
        graph.setGridSize(7);
        graph.setGradient(100);
    }

    QImage Painted() { return graph.grab().toImage(); }

    // Columns of the vertical grid lines, read in a row that no horizontal line crosses.
    std::set<int> GridColumns() {
        const QImage image = Painted();
        std::set<int> columns;
        for (int x = 1; x <= 93; ++x)
            if (image.pixelColor(x, 3) == kGrid)
                columns.insert(x);
        return columns;
    }

    LoadGraph graph;
};

TEST_F(LoadGraphPainting, NewestSampleIsAtTheRightEdgeAtItsHeight) {
    struct Case {
        int percent;
        int y;
    };
    for (const Case c : {Case{100, 1}, Case{50, 14}, Case{0, 26}, Case{-1, 26}}) {
        SCOPED_TRACE(c.percent);
        graph.AddPoint(c.percent, kLime);
        const QImage image = Painted();
        EXPECT_EQ(image.pixelColor(93, c.y), kLime);
        // The column left of it belongs to the sample before.
        EXPECT_NE(image.pixelColor(94, c.y), kLime); // the frame, not a sample
    }
}

TEST_F(LoadGraphPainting, GridMovesOnePixelLeftWithEverySample) {
    graph.AddPoint(0, kLime);
    const std::set<int> before = GridColumns();
    ASSERT_GE(before.size(), 12u); // 93 columns at a spacing of 7
    for (auto it = std::next(before.begin()); it != before.end(); ++it)
        EXPECT_EQ(*it - *std::prev(it), 7);

    graph.AddPoint(0, kLime);
    const std::set<int> after = GridColumns();
    // Every line moved one pixel left; a line can only come in at the right edge.
    for (int x : before) {
        if (x >= 2) {
            EXPECT_TRUE(after.count(x - 1)) << x;
        }
    }
    for (int x : after)
        EXPECT_TRUE(before.count(x + 1) || x == 93) << x;
    EXPECT_NE(after, before);
}

TEST_F(LoadGraphPainting, BackgroundRunsFromBlackToGreenWithTheGradient) {
    // A column between two vertical grid lines, rows between horizontal ones.
    const auto topAndBottom = [this] {
        const QImage image = Painted();
        int column = 2;
        while (image.pixelColor(column, 3) == kGrid)
            ++column;
        return std::pair{image.pixelColor(column, 2), image.pixelColor(column, 25)};
    };
    const auto [top, bottom] = topAndBottom();
    EXPECT_LT(top.green(), bottom.green());
    EXPECT_EQ(bottom.red(), 0);

    graph.setGradient(0);
    const auto [flatTop, flatBottom] = topAndBottom();
    EXPECT_EQ(flatTop, QColor(0, 0, 0));
    EXPECT_EQ(flatBottom, QColor(0, 0, 0));
}

} // namespace
