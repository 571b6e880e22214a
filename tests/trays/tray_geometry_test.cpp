// Tray geometry: holder table, side view, vial numbering, top view.
#include "trays/tray_geometry.h"
#include "ground/debug_lines.h"

#include "config/config_test_support.h"
#include "trays/tray_test_config.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace kelvo::config_test {
namespace {

class TrayGeometry : public ConfigFixture {
protected:
    void SetUp() override
    {
        ConfigFixture::SetUp();
        ASSERT_TRUE(parse(config_text("", tray_test::classes, tray_test::objects)));
    }
};

TEST_F(TrayGeometry, RoundingGoesHalfToEvenAndHoldsTheIntRange)
{
    const struct {
        double v;
        int expected;
    } cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {-0.5, 0}, {-1.5, -2}, {83.5, 84}, {220.5, 220},
                 {1e300, INT_MAX}, {-1e300, INT_MIN}, {std::nan(""), 0}};
    for (const auto& c : cases) EXPECT_EQ(round_even(c.v), c.expected) << c.v;
}

TEST_F(TrayGeometry, VialNumbering)
{
    const struct {
        const char* type;
        int q, r;
        bool along, reversed;
        int i, j, vial;
    } cases[] = {
        // Down the columns, from the left.
        {"Down", 3, 2, false, false, 0, 0, 1},
        {"Down", 3, 2, false, false, 0, 1, 2},
        {"Down", 3, 2, false, false, 1, 0, 3},
        {"Down", 3, 2, false, false, 2, 1, 6},
        // Down the columns, from the right.
        {"DownRev", 3, 2, false, true, 2, 0, 1},
        {"DownRev", 3, 2, false, true, 0, 1, 6},
        {"DownRev", 3, 2, false, true, 1, 1, 4},
        // Counts exchanged: along the lines from the top.
        {"Along", 2, 3, true, false, 1, 0, 2},
        {"Along", 2, 3, true, false, 0, 1, 3},
        {"Along", 2, 3, true, false, 1, 2, 6},
        // Along the lines from the bottom.
        {"AlongRev", 2, 3, true, true, 0, 2, 1},
        {"AlongRev", 2, 3, true, true, 1, 0, 6},
        {"VT54", 9, 6, true, false, 8, 5, 54},
        {"VT15", 5, 3, false, false, 4, 2, 15},
    };
    for (const auto& c : cases) {
        const TrayGrid g = tray_grid(db, c.type);
        SCOPED_TRACE(std::string(c.type) + " " + std::to_string(c.i) + "," + std::to_string(c.j));
        EXPECT_EQ(g.q, c.q);
        EXPECT_EQ(g.r, c.r);
        EXPECT_EQ(g.rows_along_x, c.along);
        EXPECT_EQ(g.reversed, c.reversed);
        EXPECT_EQ(g.vial_number(c.i, c.j), c.vial);
    }
}

TEST_F(TrayGeometry, NumberingOrderWalksEveryCellOnceInAscendingNumbers)
{
    for (const char* type : {"Down", "DownRev", "Along", "AlongRev", "VT54"}) {
        const TrayGrid g = tray_grid(db, type);
        std::vector<int> numbers;
        for (const IntPoint& c : g.cells_in_vial_order()) numbers.push_back(g.vial_number(c.x, c.y));
        std::vector<int> expected(static_cast<std::size_t>(g.cell_count()));
        for (std::size_t k = 0; k < expected.size(); ++k) expected[k] = static_cast<int>(k) + 1;
        EXPECT_EQ(numbers, expected) << type;
    }
}

TEST_F(TrayGeometry, GridsThatCannotBeShownAreEmpty)
{
    const TrayGrid huge = tray_grid(db, "Huge");  // 101 across
    EXPECT_TRUE(huge.too_large);
    EXPECT_TRUE(huge.empty());
    const TrayGrid none = tray_grid(db, "NoVials");  // 0 and -3
    EXPECT_FALSE(none.too_large);
    EXPECT_TRUE(none.empty());
    EXPECT_TRUE(none.cells_in_vial_order().empty());
    EXPECT_TRUE(tray_grid(db, "NoSuchType").empty());
    for (const char* type : {"Huge", "NoVials", "NoSuchType"}) {
        const TrayPicture p = place_tray_grid(tray_grid(db, type), {10, 20, 300, 300});
        EXPECT_TRUE(p.empty()) << type;
        EXPECT_EQ(p.rect, (IntRect{10, 20, 0, 0})) << type;
        EXPECT_FALSE(p.cell_at(0, 0)) << type;
    }
}

TEST_F(TrayGeometry, HolderTableSortsByZThenYThenX)
{
    const HolderTable t = build_holder_table(db, "STACK", debug_line);
    ASSERT_EQ(t.trays.size(), 3u);
    EXPECT_EQ(t.trays[0].name, "Front");
    EXPECT_EQ(t.trays[1].name, "Back");
    EXPECT_EQ(t.trays[2].name, "Upper");
    EXPECT_EQ(t.trays[2].type, "VT15");
    EXPECT_EQ(t.trays[2].width, 72);
    EXPECT_EQ(t.trays[2].depth, 36);
    EXPECT_EQ(t.level_count(), 2);
    EXPECT_EQ(t.min_x, 0);
    EXPECT_EQ(t.max_x, 96);
    EXPECT_EQ(t.min_y, 0);
    EXPECT_EQ(t.max_y, 130);
    EXPECT_EQ(t.left_out, 0);

    const HolderTable empty = build_holder_table(db, "Empty", debug_line);
    EXPECT_TRUE(empty.trays.empty());
    EXPECT_EQ(empty.level_count(), 0);
    const HolderLayout layout = layout_holder(empty, 306, 200);
    EXPECT_TRUE(layout.levels.empty());
    EXPECT_EQ(layout.tray_at(50, 10), -1);
}

TEST_F(TrayGeometry, EqualKeysKeepConfigurationOrderAndTheTableHoldsTwentyFourTrays)
{
    std::string objects = "TRAY_HOLDER;H;0;0;0\nTRAY_TYPE;T;10000;0;0;10000;2;2;\n";
    for (int k = 0; k < 26; ++k) {
        // Every third tray a little further right; the others tie.
        const std::string x = k % 3 == 2 ? "5000" : "0";
        objects += "TRAY;T" + std::to_string(k) + ";H;T;" + x + ";1000;2000;\n";
    }
    ASSERT_TRUE(parse(config_text("", tray_test::classes, objects)));
    debug.clear();
    const HolderTable t = build_holder_table(db, "H", debug_line);
    ASSERT_EQ(t.trays.size(), 24u);
    EXPECT_EQ(t.left_out, 2);
    std::vector<std::string> names;
    for (const HolderTray& tray : t.trays) names.push_back(tray.name);
    std::vector<std::string> expected;
    for (int k = 0; k < 24; ++k)
        if (k % 3 != 2) expected.push_back("T" + std::to_string(k));
    for (int k = 0; k < 24; ++k)
        if (k % 3 == 2) expected.push_back("T" + std::to_string(k));
    EXPECT_EQ(names, expected);
    EXPECT_EQ(t.level_count(), 1);
    ASSERT_EQ(debug.size(), 1u);
    EXPECT_EQ(debug[0], "Tray holder H: only the first 24 of its trays are shown, 2 left out");
}

struct HolderCase {
    int pw, ph;
    int U, H;
    std::vector<std::vector<IntPoint>> level_outlines;
    std::vector<std::vector<IntPoint>> tray_corners;  // table order
    std::vector<IntPoint> labels;
    std::vector<IntRect> hits;
};

TEST_F(TrayGeometry, HolderDrawingForTwoPaintBoxes)
{
    const HolderTable table = build_holder_table(db, "Stack", debug_line);
    const HolderCase cases[] = {
        {306, 200, 300, 40,
         {{{103, 3}, {303, 3}, {203, 43}, {3, 43}}, {{103, 46}, {303, 46}, {203, 86}, {3, 86}}},
         {{{106, 6}, {296, 6}, {256, 22}, {66, 22}},
          {{61, 24}, {251, 24}, {211, 40}, {21, 40}},
          {{106, 49}, {248, 49}, {226, 58}, {84, 58}}},
         {{181, 14}, {136, 32}, {167, 53}},
         {{6, 6, 294, 16}, {6, 24, 294, 16}, {6, 49, 220, 9}}},
        {156, 400, 150, 80,
         {{{53, 3}, {153, 3}, {103, 83}, {3, 83}}, {{53, 86}, {153, 86}, {103, 166}, {3, 166}}},
         {{{56, 6}, {146, 6}, {125, 40}, {35, 40}},
          {{31, 46}, {121, 46}, {100, 80}, {10, 80}},
          {{56, 89}, {124, 89}, {111, 109}, {44, 109}}},
         {{90, 23}, {65, 63}, {84, 99}},
         {{6, 6, 144, 34}, {6, 46, 144, 34}, {6, 89, 108, 20}}},
    };
    for (const HolderCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.pw) + "x" + std::to_string(c.ph));
        const HolderLayout l = layout_holder(table, c.pw, c.ph);
        EXPECT_EQ(l.U, c.U);
        EXPECT_EQ(l.H, c.H);
        ASSERT_EQ(l.levels.size(), c.level_outlines.size());
        for (std::size_t k = 0; k < l.levels.size(); ++k)
            EXPECT_EQ(std::vector<IntPoint>(l.levels[k].outline, l.levels[k].outline + 4), c.level_outlines[k]) << k;
        ASSERT_EQ(l.trays.size(), 3u);
        for (std::size_t k = 0; k < 3; ++k) {
            EXPECT_EQ(l.trays[k].table_index, static_cast<int>(k));
            EXPECT_EQ(std::vector<IntPoint>(l.trays[k].corners, l.trays[k].corners + 4), c.tray_corners[k]) << k;
            EXPECT_EQ(l.trays[k].label_centre, c.labels[k]) << k;
            EXPECT_EQ(l.trays[k].hit, c.hits[k]) << k;
        }
    }
}

TEST_F(TrayGeometry, SideViewHitTestIsInclusiveAndUpright)
{
    const HolderLayout l = layout_holder(build_holder_table(db, "Stack", debug_line), 306, 200);
    const struct {
        int x, y, tray;
    } cases[] = {
        {6, 6, 0},    {300, 22, 0}, {300, 23, -1}, {5, 10, -1}, {6, 24, 1}, {300, 40, 1},
        {150, 41, -1}, {6, 49, 2},  {226, 58, 2},  {227, 58, -1}, {150, 60, -1},
        // Left of the drawn (slanted) shape, but inside the upright rectangle.
        {10, 6, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(l.tray_at(c.x, c.y), c.tray) << c.x << "," << c.y;
}

TEST_F(TrayGeometry, ABoxTooSmallForALevelDrawsNoTrays)
{
    const HolderTable table = build_holder_table(db, "Stack", debug_line);
    for (const auto& [pw, ph] : {std::pair{6, 200}, std::pair{306, 10}, std::pair{0, 0}}) {
        const HolderLayout l = layout_holder(table, pw, ph);
        EXPECT_TRUE(l.trays.empty()) << pw << "x" << ph;
        EXPECT_EQ(l.tray_at(6, 6), -1);
    }
}

TEST_F(TrayGeometry, TopViewPlacement)
{
    const struct {
        const char* type;
        IntRect box;
        IntRect picture;
        int radius;
        IntPoint cell, centre;
    } cases[] = {
        // W = 108, D = 72: wider than high in a square box.
        {"VT54", {10, 20, 300, 300}, {10, 70, 300, 200}, 14, {0, 0}, {17, 17}},
        {"VT54", {10, 20, 300, 300}, {10, 70, 300, 200}, 14, {8, 5}, {283, 183}},
        {"VT54", {0, 0, 200, 100}, {25, 0, 150, 100}, 6, {1, 0}, {25, 8}},
        // W = 90, D = 54.
        {"VT15", {0, 0, 300, 300}, {0, 60, 300, 180}, 26, {4, 2}, {270, 150}},
        // W = 10 * 2 / 1, D = 18 * 3 / 2: higher than wide; 55.5 rounds to 56.
        {"Along", {0, 0, 100, 100}, {13, 0, 74, 100}, 14, {1, 2}, {56, 83}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        const TrayPicture p = place_tray_grid(tray_grid(db, c.type), c.box);
        EXPECT_EQ(p.rect, c.picture);
        EXPECT_EQ(p.radius, c.radius);
        EXPECT_EQ(p.centre(c.cell.x, c.cell.y), c.centre);
    }
    // All four lengths 0: the two products are equal, nothing is shown.
    const TrayPicture flat = place_tray_grid(tray_grid(db, "Flat"), {0, 0, 300, 300});
    EXPECT_EQ(flat.rect, (IntRect{0, 0, 0, 0}));
    EXPECT_TRUE(flat.empty());
    // A box of no size shows nothing either.
    EXPECT_TRUE(place_tray_grid(tray_grid(db, "VT54"), {5, 5, 0, 0}).empty());
}

TEST_F(TrayGeometry, CellUnderAPointWithinTheRadius)
{
    const TrayPicture p = place_tray_grid(tray_grid(db, "VT54"), {0, 0, 300, 300});  // R 14
    const struct {
        int x, y;
        std::optional<IntPoint> cell;
    } cases[] = {
        {17, 17, IntPoint{0, 0}}, {31, 17, IntPoint{0, 0}}, {32, 17, std::nullopt},
        {17 + 10, 17 + 10, std::nullopt},    // 10² + 10² = 200 > 14²
        {17 + 9, 17 + 10, IntPoint{0, 0}},   // 181
        {283, 183, IntPoint{8, 5}},          {0, 0, std::nullopt},
        {50, 17, IntPoint{1, 0}},
    };
    for (const auto& c : cases) EXPECT_EQ(p.cell_at(c.x, c.y), c.cell) << c.x << "," << c.y;
}

TEST_F(TrayGeometry, NumbersShowOnlyWhenTheTextFitsTheCircle)
{
    EXPECT_TRUE(numbers_fit(12, 16, 10));   // half diagonal 10
    EXPECT_FALSE(numbers_fit(12, 16, 9));
    EXPECT_TRUE(numbers_fit(13, 16, 10));   // 10.31 -> 10
    EXPECT_FALSE(numbers_fit(14, 16, 10));  // 10.63 -> 11
}

}  // namespace
}  // namespace kelvo::config_test
