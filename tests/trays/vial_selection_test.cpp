// Selecting vials on the top view, and changing a tray's type.
#include "trays/tray_types.h"
#include "trays/vial_selection.h"

#include "config/config_test_support.h"
#include "trays/tray_test_config.h"

namespace kelvo::config_test {
namespace {

class VialSelecting : public ConfigFixture {
protected:
    void SetUp() override
    {
        ConfigFixture::SetUp();
        ASSERT_TRUE(parse(config_text("", tray_test::classes, tray_test::objects)));
        // VT54 in a 300 x 300 box: picture 300 x 200, cells 33.3 apart, R 14.
        const TrayGrid grid = tray_grid(db, "VT54");
        sel.reset(grid, place_tray_grid(grid, {0, 0, 300, 300}));
    }
    std::vector<IntPoint> drag(int x1, int y1, int x2, int y2)
    {
        sel.press(x1, y1);
        sel.move((x1 + x2) / 2, (y1 + y2) / 2);
        sel.move(x2, y2);
        return sel.release(x2, y2);
    }
    VialSelection sel;
};

TEST_F(VialSelecting, AClickTogglesTheVialUnderIt)
{
    EXPECT_EQ(drag(50, 17, 50, 17), (std::vector<IntPoint>{{1, 0}}));
    EXPECT_TRUE(sel.selected(1, 0));
    EXPECT_EQ(sel.selected_vials(), std::vector<int>{2});
    // A few pixels of movement (less than R/2 = 7 both ways) is still a click.
    EXPECT_EQ(drag(50, 17, 56, 23), (std::vector<IntPoint>{{1, 0}}));
    EXPECT_FALSE(sel.selected(1, 0));
    EXPECT_FALSE(sel.any_selected());
    // Between circles nothing toggles.
    EXPECT_TRUE(drag(33, 33, 33, 33).empty());
    EXPECT_FALSE(sel.any_selected());
}

TEST_F(VialSelecting, BandSelectsCentresInsideItAndKeepsSelectedOnes)
{
    drag(17, 17, 17, 17);  // vial 1 selected
    // Band from (10, 10) to (50, 50): centres (17,17), (50,17), (17,50), (50,50), borders included.
    const auto changed = drag(10, 10, 50, 50);
    EXPECT_EQ(changed, (std::vector<IntPoint>{{0, 1}, {1, 0}, {1, 1}}));
    EXPECT_EQ(sel.selected_vials(), (std::vector<int>{1, 2, 10, 11}));
    // Dragged backwards over them again: they stay selected.
    EXPECT_TRUE(drag(50, 50, 10, 10).empty());
    EXPECT_EQ(sel.selected_count(), 4);
}

TEST_F(VialSelecting, BandOverPartOfACircleButNotItsCentreSelectsNothing)
{
    // Circle (0,0) has centre (17,17) and radius 14: the band covers its right part.
    EXPECT_TRUE(drag(20, 5, 30, 40).empty());
    EXPECT_FALSE(sel.any_selected());
}

TEST_F(VialSelecting, BandIsClampedToThePicture)
{
    sel.press(290, 190);
    EXPECT_TRUE(sel.move(400, 500));
    EXPECT_EQ(sel.band(), (IntRect{290, 190, 10, 10}));
    EXPECT_FALSE(sel.move(301, 201));  // clamps to the same corner
    // The end point is clamped as well: (283,183) lies in the band.
    EXPECT_EQ(sel.release(-50, -50).size(), 54u);
    EXPECT_FALSE(sel.dragging());
    EXPECT_TRUE(sel.release(10, 10).empty());  // no drag going on
}

TEST_F(VialSelecting, VialsGoOutInAscendingNumbers)
{
    // Vials 7, 3 and 5 of the first line, clicked in that order.
    for (int vial : {7, 3, 5}) drag((2 * vial - 1) * 300 / 18, 17, (2 * vial - 1) * 300 / 18, 17);
    EXPECT_EQ(sel.selected_vials(), (std::vector<int>{3, 5, 7}));

    const struct {
        const char* type;
        std::vector<IntPoint> clicks;  // cells, in click order
        std::vector<int> vials;
    } cases[] = {
        {"DownRev", {{0, 1}, {2, 0}, {1, 1}}, {1, 4, 6}},
        {"AlongRev", {{0, 0}, {1, 2}, {0, 1}}, {2, 3, 5}},
    };
    for (const auto& c : cases) {
        const TrayGrid grid = tray_grid(db, c.type);
        sel.reset(grid, place_tray_grid(grid, {0, 0, 300, 300}));
        for (const IntPoint& cell : c.clicks) {
            const IntPoint p = sel.picture().centre(cell.x, cell.y);
            drag(p.x, p.y, p.x, p.y);
        }
        EXPECT_EQ(sel.selected_vials(), c.vials) << c.type;
    }
}

TEST_F(VialSelecting, SelectAllAndDeselectAll)
{
    sel.select_all();
    EXPECT_EQ(sel.selected_count(), 54);
    EXPECT_EQ(sel.selected_vials().back(), 54);
    sel.deselect_all();
    EXPECT_FALSE(sel.any_selected());
    // A grid that shows nothing has nothing to select.
    const TrayGrid flat = tray_grid(db, "Flat");
    sel.reset(flat, place_tray_grid(flat, {0, 0, 300, 300}));
    sel.select_all();
    EXPECT_FALSE(sel.any_selected());
    EXPECT_TRUE(drag(0, 0, 0, 0).empty());
}

TEST_F(VialSelecting, OfferedTypesFollowTheGroupLetters)
{
    const struct {
        const char* tray;
        std::vector<std::string> types;
    } cases[] = {
        // "AB": types of group A or B, and the one without a group.
        {"Upper", {"VT54", "VT15", "DownRev", "Along", "AlongRev", "Flat", "Huge", "NoVials"}},
        {"Front", {"Down", "DownRev"}},
        {"NoSuchTray", {"DownRev"}},
    };
    for (const auto& c : cases) EXPECT_EQ(offered_tray_types(db, c.tray), c.types) << c.tray;
}

TEST_F(VialSelecting, ChangingTheTypeGivesTheObjectLineCommand)
{
    const auto command = change_tray_type(db, "Back", "VT15");
    ASSERT_TRUE(command);
    EXPECT_EQ(*command, "DLD_OBJ TRAY;Back;Stack;VT15;0;70000;0;AB");
    EXPECT_EQ(db.tray_type("Back"), "VT15");
    EXPECT_EQ(tray_type_changed_text(db, "Back"), "Tray type of Back set to VT15");
}

TEST_F(VialSelecting, ATrayWithoutATrayTypePropertyIsNotChanged)
{
    ASSERT_TRUE(parse(config_text("", tray_test::classes, "TRAY_HOLDER;H;0;0;0\nPLAIN_TRAY;P;H\n")));
    EXPECT_FALSE(change_tray_type(db, "P", "VT54"));
    EXPECT_FALSE(change_tray_type(db, "Nothing", "VT54"));
    EXPECT_EQ(db.object_line(db.object_index("P")), "PLAIN_TRAY;P;H");
}

TEST_F(VialSelecting, FirstTrayOfAHolderInConfigurationOrder)
{
    EXPECT_EQ(first_tray_on_holder(db, "Stack"), "Upper");
    EXPECT_EQ(first_tray_on_holder(db, "Empty"), "");
}

}  // namespace
}  // namespace kelvo::config_test
