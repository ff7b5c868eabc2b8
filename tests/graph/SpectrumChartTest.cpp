#include "graph/SpectrumChart.h"

#include "common/GuiHelpers.h"

#include <gtest/gtest.h>
#include <set>

namespace {

using namespace veltrim;
using veltrim::testing::BarTop;

SpectrumAxes Axes() {
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(16);
    return {QStringLiteral("Energy (keV)"), QStringLiteral("fraction"), font};
}

// The columns that hold bar pixels, and the highest row each reaches.
std::set<int> BarColumns(const QImage& picture) {
    std::set<int> columns;
    for (int x = 0; x < picture.width(); ++x)
        for (int y = 0; y < picture.height(); ++y)
            if (picture.pixel(x, y) == SpectrumBarColour)
                columns.insert(x);
    return columns;
}

TEST(SpectrumChart, EachBinIsABarOverItsOwnEnergyAndAsTallAsItsShare) {
    EnergyTable spectrum{};
    spectrum[118] = 0.03; // 59 keV, a K line
    spectrum[60] = 0.01;  // 30 keV
    const QImage picture = DrawSpectrumChart(&spectrum, Axes());
    ASSERT_EQ(picture.size(), QSize(SpectrumImageWidth, SpectrumImageHeight));

    const std::set<int> columns = BarColumns(picture);
    ASSERT_FALSE(columns.empty());
    for (const int x : columns)
        EXPECT_TRUE(std::abs(x - SpectrumColumn(59.0)) <= 1 ||
                    std::abs(x - SpectrumColumn(30.0)) <= 1)
            << "a bar at column " << x;
    // The axis tops out at the largest bin, so the tallest bar reaches the
    // top of the plot and the one of a third its share a third of the way.
    const QRect plot = SpectrumPlotArea();
    EXPECT_LE(BarTop(picture, 59.0, 59.0), plot.top() + 1);
    EXPECT_NEAR(plot.bottom() - BarTop(picture, 30.0, 30.0), (plot.bottom() - plot.top()) / 3.0, 2);
}

TEST(SpectrumChart, AxisTopIsARoundNumberAtOrAboveTheLargestBin) {
    EnergyTable spectrum{};
    spectrum[100] = 0.0143;
    EXPECT_DOUBLE_EQ(SpectrumAxisTop(spectrum), 0.015);
    spectrum[100] = 0.02;
    EXPECT_DOUBLE_EQ(SpectrumAxisTop(spectrum), 0.02);
    EXPECT_EQ(SpectrumAxisTop(EnergyTable{}), 1.0) << "an empty spectrum still has an axis";
}

TEST(SpectrumChart, WithoutASpectrumOnlyTheAxesAreDrawnAndTheSameEveryTime) {
    const QImage empty = DrawSpectrumChart(nullptr, Axes());
    EXPECT_TRUE(BarColumns(empty).empty());
    EXPECT_EQ(empty.pixel(SpectrumPlotArea().topLeft()), colours::Black);
    EXPECT_EQ(DrawSpectrumChart(nullptr, Axes()), empty);
}

} // namespace
