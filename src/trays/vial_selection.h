#pragma once
// The selection state of the top view: which cells of the current tray are
// selected, and the rubber band the mouse drags over the picture. Points are
// picture pixels; the picture's geometry comes from place_tray_grid.
#include "trays/tray_geometry.h"

#include <optional>
#include <vector>

namespace kelvo {

// At most this many vials go to the sample list in one go.
inline constexpr int vial_selection_capacity = 1000;

class VialSelection {
public:
    // A new grid: every cell unselected, no band.
    void reset(const TrayGrid& grid, const TrayPicture& picture);

    const TrayGrid& grid() const { return grid_; }
    const TrayPicture& picture() const { return picture_; }

    bool selected(int i, int j) const;
    bool any_selected() const;
    int selected_count() const;
    void select_all() { set_all(true); }
    void deselect_all() { set_all(false); }

    // ---- the mouse on the picture
    void press(int x, int y);
    // Moves the band's current corner (clamped to the picture); true when it
    // changed, so the band needs drawing again.
    bool move(int x, int y);
    // Ends a drag: a band narrower and lower than R/2 is a click that toggles
    // the cell under its top-left corner; otherwise every cell whose centre
    // lies inside the band (borders included) becomes selected. Returns the
    // cells whose state changed. Does nothing when no drag is going on.
    std::vector<IntPoint> release(int x, int y);
    bool dragging() const { return dragging_; }
    // The band as drawn: top-left ordered, in picture pixels.
    IntRect band() const;

    // The vial numbers of the selected cells, ascending.
    std::vector<int> selected_vials() const;

private:
    std::size_t at(int i, int j) const { return static_cast<std::size_t>(i) * static_cast<std::size_t>(grid_.r) + static_cast<std::size_t>(j); }
    bool in_grid(int i, int j) const { return i >= 0 && j >= 0 && i < grid_.q && j < grid_.r; }
    void set_all(bool on);
    IntPoint clamp(int x, int y) const;

    TrayGrid grid_;
    TrayPicture picture_;
    std::vector<char> cells_;
    IntPoint start_, current_;
    bool dragging_ = false;
};

}  // namespace kelvo
