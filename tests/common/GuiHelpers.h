#pragma once

// What the window, graph and readout tests share: a text that holds, begins
// or ends with another, failing with the whole text; and the spectrum
// chart's bars.

#include "graph/SpectrumChart.h"

#include <QImage>
#include <algorithm>
#include <climits>
#include <gtest/gtest.h>
#include <set>
#include <string_view>

namespace veltrim::testing {

inline ::testing::AssertionResult TextCheck(bool ok, std::string_view text, const char* how,
                                            std::string_view part) {
    if (ok)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << '"' << text << "\" does not " << how << " \"" << part << '"';
}

inline ::testing::AssertionResult Holds(std::string_view text, std::string_view part) {
    return TextCheck(text.find(part) != std::string_view::npos, text, "hold", part);
}
inline ::testing::AssertionResult Begins(std::string_view text, std::string_view start) {
    return TextCheck(text.starts_with(start), text, "begin with", start);
}
inline ::testing::AssertionResult Ends(std::string_view text, std::string_view end) {
    return TextCheck(text.ends_with(end), text, "end with", end);
}

// The colours a picture holds.
inline std::set<QRgb> ColoursOf(const QImage& image) {
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y));
    return colours;
}

// The highest row a bar reaches over a range of energies (INT_MAX: no bar).
inline int BarTop(const QImage& picture, double fromKeV, double toKeV) {
    int top = INT_MAX;
    for (int x = SpectrumColumn(fromKeV); x <= SpectrumColumn(toKeV); ++x)
        for (int y = 0; y < std::min(top, picture.height()); ++y)
            if (picture.pixel(x, y) == SpectrumBarColour)
                top = y;
    return top;
}

} // namespace veltrim::testing
