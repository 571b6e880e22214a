#include "trays/tray_geometry.h"

#include "ground/debug_lines.h"
#include "ground/text_utils.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace kelvo {

int round_even(double v)
{
    if (std::isnan(v)) return 0;
    if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(std::nearbyint(v));  // the default rounding: half to even
}

namespace {

int trunc_int(double v)
{
    if (std::isnan(v)) return 0;
    if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(v);
}

}  // namespace

double tray_width_extent(const ConfigDb& db, const std::string& tray_type)
{
    return std::fabs(db.numeric_value(tray_type, "Row Length X") + db.numeric_value(tray_type, "Col Length X"));
}

double tray_depth_extent(const ConfigDb& db, const std::string& tray_type)
{
    return std::fabs(db.numeric_value(tray_type, "Row Length Y") + db.numeric_value(tray_type, "Col Length Y"));
}

// ---- Holder table

int HolderTable::level_count() const
{
    if (trays.empty()) return 0;
    int levels = 1;
    for (std::size_t k = 1; k < trays.size(); ++k)
        if (trays[k].z != trays[k - 1].z) ++levels;
    return levels;
}

HolderTable build_holder_table(const ConfigDb& db, const std::string& holder, const DebugSink& debug)
{
    HolderTable table;
    for (int o = 0; o < db.object_count(); ++o) {
        const std::string& name = db.objects()[static_cast<std::size_t>(o)].name;
        if (!same_text(db.class_name_of_object(o), "TRAY") || !db.is_tray_on_holder(name, holder)) continue;
        if (static_cast<int>(table.trays.size()) >= holder_tray_capacity) {
            ++table.left_out;
            continue;
        }
        HolderTray t;
        t.name = name;
        t.type = db.tray_type(name);
        t.x = db.numeric_value(name, "Offset X");
        t.y = db.numeric_value(name, "Offset Y");
        t.z = db.numeric_value(name, "Path Offset Z");
        t.width = tray_width_extent(db, t.type);
        t.depth = tray_depth_extent(db, t.type);
        // The first place whose tray sorts after the new one: ties keep
        // configuration order.
        const auto place = std::find_if(table.trays.begin(), table.trays.end(), [&](const HolderTray& e) {
            if (e.z != t.z) return e.z > t.z;
            if (e.y != t.y) return e.y > t.y;
            return e.x > t.x;
        });
        if (table.trays.empty()) {
            table.min_x = t.x;
            table.max_x = t.x + t.width;
            table.min_y = t.y;
            table.max_y = t.y + t.depth;
        } else {
            table.min_x = std::min(table.min_x, t.x);
            table.max_x = std::max(table.max_x, t.x + t.width);
            table.min_y = std::min(table.min_y, t.y);
            table.max_y = std::max(table.max_y, t.y + t.depth);
        }
        table.trays.insert(place, std::move(t));
    }
    if (table.left_out > 0 && debug)
        debug("Tray holder " + holder + ": only the first " + std::to_string(holder_tray_capacity) +
              " of its trays are shown, " + std::to_string(table.left_out) + " left out");
    return table;
}

// ---- Holder drawing

IntPoint map_level_point(int U, int H, int T, double a, double b)
{
    const double third = U / 3.0;
    const double x = a * (U - 6 - third) / U + 6 + third - b * third / H;
    return {round_even(x), round_even(b + 3 + T)};
}

HolderLayout layout_holder(const HolderTable& table, int pw, int ph)
{
    HolderLayout layout;
    const int U = pw - 6;
    const int L = std::max(table.level_count(), 1);
    int H = (ph - 3) / L - 3;
    H = std::min(H, ph / 5);
    layout.U = U;
    layout.H = H;
    const double span_x = table.max_x - table.min_x;
    const double span_y = table.max_y - table.min_y;
    layout.sx = span_x != 0 ? (U - 6) / span_x : U - 6;
    layout.sy = span_y != 0 ? (H - 6) / span_y : H - 6;
    if (table.trays.empty()) return layout;

    const bool can_map = U > 0 && H > 0;
    int level = -1;
    for (std::size_t k = 0; k < table.trays.size(); ++k) {
        const HolderTray& t = table.trays[k];
        if (k == 0 || t.z != table.trays[k - 1].z) {
            ++level;
            HolderLevel lv;
            lv.top = (H + 3) * level + 3;
            const int T = lv.top;
            lv.outline[0] = {round_even(U / 3.0) + 3, T};
            lv.outline[1] = {U + 3, T};
            lv.outline[2] = {round_even(2.0 * U / 3.0) + 3, T + H};
            lv.outline[3] = {3, T + H};
            layout.levels.push_back(lv);
        }
        if (!can_map) continue;
        const int T = layout.levels.back().top;
        HolderTrayShape s;
        s.table_index = static_cast<int>(k);
        s.level = level;
        s.u = round_even((t.x - table.min_x) * layout.sx);
        s.v = round_even((t.y - table.min_y) * layout.sy);
        s.w = round_even(t.width * layout.sx);
        s.h = round_even(t.depth * layout.sy);
        s.corners[0] = map_level_point(U, H, T, s.u, s.v);
        s.corners[1] = map_level_point(U, H, T, s.u + s.w, s.v);
        s.corners[2] = map_level_point(U, H, T, s.u + s.w, s.v + s.h);
        s.corners[3] = map_level_point(U, H, T, s.u, s.v + s.h);
        s.label_centre = map_level_point(U, H, T, s.u + s.w / 2, s.v + s.h / 2);
        s.hit = {s.u + 6, s.v + 3 + T, s.w, s.h};
        layout.trays.push_back(s);
    }
    return layout;
}

int HolderLayout::tray_at(int x, int y) const
{
    for (const HolderTrayShape& s : trays)
        if (x >= s.hit.left && x <= s.hit.left + s.hit.width && y >= s.hit.top && y <= s.hit.top + s.hit.height)
            return s.table_index;
    return -1;
}

// ---- Tray grid

TrayGrid tray_grid(const ConfigDb& db, const std::string& tray_type)
{
    TrayGrid g;
    const double row_x = db.numeric_value(tray_type, "Row Length X");
    double across = db.numeric_value(tray_type, "Spl Per Col");
    double down = db.numeric_value(tray_type, "Spl Per Row");
    g.rows_along_x = row_x > 0;
    g.reversed = db.numeric_value(tray_type, "Col Length Y") < 0;
    if (g.rows_along_x) std::swap(across, down);
    g.width = tray_width_extent(db, tray_type);
    g.depth = tray_depth_extent(db, tray_type);
    // Compared as doubles first, so a huge count cannot overflow the cast.
    if (across >= tray_side_capacity + 1 || down >= tray_side_capacity + 1) {
        g.too_large = true;
        return g;
    }
    g.q = std::max(trunc_int(across), 0);
    g.r = std::max(trunc_int(down), 0);
    return g;
}

int TrayGrid::vial_number(int i, int j) const
{
    if (rows_along_x) {
        if (reversed) j = r - 1 - j;
        return i + j * q + 1;
    }
    if (reversed) i = q - 1 - i;
    return j + i * r + 1;
}

std::vector<IntPoint> TrayGrid::cells_in_vial_order() const
{
    std::vector<IntPoint> cells;
    if (empty()) return cells;
    cells.reserve(static_cast<std::size_t>(q) * static_cast<std::size_t>(r));
    if (rows_along_x) {
        for (int n = 0; n < r; ++n) {
            const int j = reversed ? r - 1 - n : n;
            for (int i = 0; i < q; ++i) cells.push_back({i, j});
        }
    } else {
        for (int n = 0; n < q; ++n) {
            const int i = reversed ? q - 1 - n : n;
            for (int j = 0; j < r; ++j) cells.push_back({i, j});
        }
    }
    return cells;
}

// ---- Top view

TrayPicture place_tray_grid(const TrayGrid& grid, const IntRect& box)
{
    TrayPicture p;
    p.rect = {box.left, box.top, 0, 0};
    if (grid.empty()) return p;
    p.q = grid.q;
    p.r = grid.r;
    const double W = grid.q > 1 ? grid.width * grid.q / (grid.q - 1) : grid.width;
    const double D = grid.r > 1 ? grid.depth * grid.r / (grid.r - 1) : grid.depth;
    const double wide = box.width * D;
    const double high = box.height * W;
    if (wide < high) {
        p.rect.width = box.width;
        p.rect.height = round_even(box.width * D / W);
        p.rect.top = box.top + (box.height - p.rect.height) / 2;
        p.rect.left = box.left;
    } else if (wide > high) {
        p.rect.height = box.height;
        p.rect.width = round_even(box.height * W / D);
        p.rect.top = box.top;
        p.rect.left = box.left + (box.width - p.rect.width) / 2;
    } else {
        return p;  // no extents (or no box): nothing shown
    }
    p.hx = p.rect.width / (2.0 * grid.q);
    p.hy = p.rect.height / (2.0 * grid.r);
    p.radius = trunc_int(0.9 * std::min(p.hx, p.hy)) - 1;
    return p;
}

IntPoint TrayPicture::centre(int i, int j) const
{
    return {round_even((2 * i + 1) * hx), round_even((2 * j + 1) * hy)};
}

std::optional<IntPoint> TrayPicture::cell_at(int x, int y) const
{
    if (empty()) return std::nullopt;
    const long long r2 = static_cast<long long>(radius) * radius;
    for (int i = 0; i < q; ++i)
        for (int j = 0; j < r; ++j) {
            const IntPoint c = centre(i, j);
            const long long dx = x - c.x;
            const long long dy = y - c.y;
            if (dx * dx + dy * dy <= r2) return IntPoint{i, j};
        }
    return std::nullopt;
}

bool numbers_fit(int text_width, int text_height, int radius)
{
    const double tw = text_width;
    const double th = text_height;
    return round_even(0.5 * std::sqrt(tw * tw + th * th)) <= radius;
}

}  // namespace kelvo
