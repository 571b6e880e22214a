#pragma once
// Where vials stand, in numbers: the trays of one holder sorted into levels
// and fitted into the side view, the grid of a tray type with its vial
// numbering, and the top view's placement, circles and hit test. Everything
// is integer pixels for a given paint-box size, so the drawings only paint
// what these functions computed.
#include "ground/debug_lines.h"
#include "config/config_db.h"

#include <optional>
#include <string>
#include <vector>

namespace kelvo {

// Capacities of the tables behind the drawings.
inline constexpr int holder_tray_capacity = 24;   // trays of one holder
inline constexpr int tray_side_capacity = 100;    // positions across / down

// Nearest integer, a half going to the even neighbour; values beyond the int
// range are held at its ends and a NaN gives 0, so no caller overflows.
int round_even(double v);

struct IntPoint {
    int x = 0;
    int y = 0;
    bool operator==(const IntPoint&) const = default;
};

struct IntRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const IntRect&) const = default;
};

// ---- Extents of a tray type (the configuration's length unit)
double tray_width_extent(const ConfigDb& db, const std::string& tray_type);
double tray_depth_extent(const ConfigDb& db, const std::string& tray_type);

// ---- Holder table

struct HolderTray {
    std::string name;
    std::string type;  // "Tray Type" (for the label)
    double x = 0, y = 0, z = 0;
    double width = 0, depth = 0;
};

struct HolderTable {
    std::vector<HolderTray> trays;  // ascending z, then y, then x; ties in configuration order
    double min_x = 0, max_x = 0, min_y = 0, max_y = 0;  // max: largest x + width, y + depth
    // Trays of the holder that did not fit the table (beyond the 24th in
    // configuration order); they are left out of the drawing.
    int left_out = 0;

    // 1 plus the number of neighbouring entries whose z differ; 0 when empty.
    int level_count() const;
};

// The trays standing on the named holder (compared without regard to case).
HolderTable build_holder_table(const ConfigDb& db, const std::string& holder, const DebugSink& debug);

// ---- Holder drawing (side view) for a paint box pw x ph

struct HolderLevel {
    int top = 0;                 // T
    IntPoint outline[4];         // the parallelogram, clockwise from top-left
};

struct HolderTrayShape {
    int table_index = 0;         // into HolderTable::trays
    int level = 0;
    int u = 0, v = 0, w = 0, h = 0;
    IntPoint corners[4];         // (u,v), (u+w,v), (u+w,v+h), (u,v+h) mapped
    IntPoint label_centre;       // (u + w/2, v + h/2) mapped
    IntRect hit;                 // the upright hit rectangle (inclusive bounds: left..left+width)
};

struct HolderLayout {
    int U = 0;
    int H = 0;
    double sx = 0, sy = 0;
    std::vector<HolderLevel> levels;
    std::vector<HolderTrayShape> trays;  // table order

    // The table index of the tray whose hit rectangle holds the point, the
    // first in table order (levels from the top); -1 when none.
    int tray_at(int x, int y) const;
};

// A box too small for a level (U or H not above 0) gives the levels but no
// trays, so nothing is divided by zero.
HolderLayout layout_holder(const HolderTable& table, int pw, int ph);

// The mapping of a level's point (a across, b down) into the paint box.
IntPoint map_level_point(int U, int H, int T, double a, double b);

// ---- Tray grid and vial numbering

struct TrayGrid {
    int q = 0;                   // positions across (i)
    int r = 0;                   // positions down (j)
    bool rows_along_x = false;
    bool reversed = false;
    double width = 0, depth = 0; // extents of the tray type
    // The type asks for more than 100 positions on a side; the grid is then
    // left empty (q = r = 0).
    bool too_large = false;

    int cell_count() const { return q * r; }
    bool empty() const { return q <= 0 || r <= 0; }
    // The vial number of cell (i, j), 1-based.
    int vial_number(int i, int j) const;
    // The cells in numbering order (ascending vial number).
    std::vector<IntPoint> cells_in_vial_order() const;
};

TrayGrid tray_grid(const ConfigDb& db, const std::string& tray_type);

// ---- Top view placement

struct TrayPicture {
    IntRect rect;                // in the dialog; width and height 0: nothing shown
    double hx = 0, hy = 0;       // cell half-sizes
    int radius = 0;              // R
    int q = 0, r = 0;

    bool empty() const { return rect.width <= 0 || rect.height <= 0 || q <= 0 || r <= 0 || radius < 0; }
    // The centre of cell (i, j), relative to the picture.
    IntPoint centre(int i, int j) const;
    // The cell under a point of the picture: squared distance from its
    // centre at most R², i outer and j inner, the first wins.
    std::optional<IntPoint> cell_at(int x, int y) const;
};

// Fits the grid into the box (the tray paint box as first shown).
TrayPicture place_tray_grid(const TrayGrid& grid, const IntRect& box);

// Whether the largest number's text (tw x th pixels) fits into a circle.
bool numbers_fit(int text_width, int text_height, int radius);

}  // namespace kelvo
