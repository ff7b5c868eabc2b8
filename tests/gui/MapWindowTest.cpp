// The dose-map window against the library it shows: opened by its key and
// by the graph's menu, the map's axis being the depth-dose table, the mGy of
// the dose window's exposure, and a refused point that leaves it usable.
#include "app/MapWindow.h"

#include "app/DoseWindow.h"
#include "core/CalculationError.h"
#include "engine/CalculateBeam.h"
#include "gui/QualityFixture.h"

#include <QMenu>
#include <cmath>
#include <gtest/gtest.h>

namespace {

using namespace veltrim;
using namespace veltrim::testing;
namespace mc = mapcontrols;

class MapTest : public SideWindowTest<MapWindow, &MainWindow::Map> {
  protected:
    MapWindow& Open() {
        Ok();
        return OpenBy(Qt::Key_F4);
    }
};

// The key and the menu reach one window; its map down the axis is the
// table the main window drew, and with an exposure in the dose window the
// typed point's dose reads in mGy too.
TEST_P(MapTest, F4AndTheMenuOpenItWithTheTablesAxisAndTheDoseWindowsMgy) {
    MapWindow& map = Open();
    EXPECT_TRUE(map.isVisible());
    EXPECT_EQ(map.windowTitle(), QString::fromUtf8(Wording(GetParam(), MessageId::MapWindowTitle)));
    QAction* item = w.GraphMenu()->actions()[3];
    EXPECT_TRUE(item->text().endsWith(QStringLiteral("\tF4")));
    item->trigger();
    EXPECT_EQ(w.Map(), &map);

    ASSERT_NE(map.Plane(), nullptr);
    const SharedState& s = w.State();
    for (int d = 1; d <= s.DepthRowCount; d += 9) {
        const double table = s.DepthDoseResult[d][TotalPdd];
        EXPECT_NEAR(map.Plane()->At(d - 1, GridHalfCount), table, 1e-12 * table) << "row " << d;
    }

    Type(mc::PointX, "3");
    Type(mc::PointY, "-2");
    Type(mc::PointDepth, "4.25");
    Click(mc::ShowPoint);
    EXPECT_FALSE(Field(mc::PointDose).contains(QStringLiteral("mGy")));
    w.OpenDoseWindow();
    ASSERT_NE(w.Dose(), nullptr);
    FindControl<QAbstractButton>(*w.Dose(), dosecontrols::Apply).click(); // its 1 mGy
    Click(mc::ShowPoint);
    EXPECT_TRUE(Ends(Field(mc::PointDose).toStdString(), " mGy"));
}

// A point that is not a number is refused in the edition's words, as typed, before
// anything is computed; the next good point is shown as usual.
TEST_P(MapTest, ARefusedPointIsToldInTheEditionsWordsAndTheWindowGoesOn) {
    Open();
    Type(mc::PointY, "0");
    Type(mc::PointDepth, "3");
    // Named as typed; a text read only in part is no coordinate: "2,5" is not 2
    // (which texts are numbers is ReadWholeNumber's test).
    Type(mc::PointX, "2,5");
    Click(mc::ShowPoint);
    EXPECT_EQ(Said(),
              Message(MessageId::PointNotFinite, {Arg("2,5"), Arg("0"), Arg("3")}).In(GetParam()));
    EXPECT_EQ(Field(mc::PointDose), "");
    Type(mc::PointX, " 2.5");
    Click(mc::ShowPoint);
    EXPECT_EQ(Said(), "");
    EXPECT_TRUE(Field(mc::PointDose).endsWith(QStringLiteral(" %")));
    // The profile's depth is refused by its caption, not drawn at the surface.
    Type(mc::ProfileDepth, "5,5");
    Click(mc::ShowProfile);
    EXPECT_EQ(Said(), Text(GetParam(), MessageId::NotANumber,
                           {Text(GetParam(), MessageId::MapProfileCaption), "5,5"}));
}

INSTANTIATE_TEST_SUITE_P(Editions, MapTest, BothEditions, EditionName);

} // namespace
