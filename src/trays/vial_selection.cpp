#include "trays/vial_selection.h"

#include <algorithm>

namespace kelvo {

void VialSelection::reset(const TrayGrid& grid, const TrayPicture& picture)
{
    grid_ = grid;
    picture_ = picture;
    // A picture that shows nothing has no cells to select either.
    if (picture_.empty()) grid_.q = grid_.r = 0;
    cells_.assign(static_cast<std::size_t>(std::max(grid_.cell_count(), 0)), 0);
    dragging_ = false;
    start_ = current_ = {};
}

bool VialSelection::selected(int i, int j) const { return in_grid(i, j) && cells_[at(i, j)] != 0; }

bool VialSelection::any_selected() const { return std::find(cells_.begin(), cells_.end(), 1) != cells_.end(); }

int VialSelection::selected_count() const { return static_cast<int>(std::count(cells_.begin(), cells_.end(), 1)); }

void VialSelection::set_all(bool on) { std::fill(cells_.begin(), cells_.end(), on ? 1 : 0); }

IntPoint VialSelection::clamp(int x, int y) const
{
    return {std::clamp(x, 0, std::max(picture_.rect.width, 0)), std::clamp(y, 0, std::max(picture_.rect.height, 0))};
}

void VialSelection::press(int x, int y)
{
    start_ = current_ = {x, y};
    dragging_ = true;
}

bool VialSelection::move(int x, int y)
{
    if (!dragging_) return false;
    const IntPoint p = clamp(x, y);
    if (p == current_) return false;
    current_ = p;
    return true;
}

IntRect VialSelection::band() const
{
    const int left = std::min(start_.x, current_.x);
    const int top = std::min(start_.y, current_.y);
    return {left, top, std::max(start_.x, current_.x) - left, std::max(start_.y, current_.y) - top};
}

std::vector<IntPoint> VialSelection::release(int x, int y)
{
    std::vector<IntPoint> changed;
    if (!dragging_) return changed;
    dragging_ = false;
    current_ = clamp(x, y);
    const IntRect b = band();
    const double half_r = picture_.radius / 2.0;
    if (b.width < half_r && b.height < half_r) {
        if (const auto cell = picture_.cell_at(b.left, b.top); cell && in_grid(cell->x, cell->y)) {
            char& c = cells_[at(cell->x, cell->y)];
            c = c ? 0 : 1;
            changed.push_back(*cell);
        }
        return changed;
    }
    for (int i = 0; i < grid_.q; ++i)
        for (int j = 0; j < grid_.r; ++j) {
            const IntPoint c = picture_.centre(i, j);
            if (c.x < b.left || c.x > b.left + b.width || c.y < b.top || c.y > b.top + b.height) continue;
            char& cell = cells_[at(i, j)];
            if (cell) continue;
            cell = 1;
            changed.push_back({i, j});
        }
    return changed;
}

std::vector<int> VialSelection::selected_vials() const
{
    std::vector<int> vials;
    for (const IntPoint& c : grid_.cells_in_vial_order())
        if (cells_[at(c.x, c.y)]) vials.push_back(grid_.vial_number(c.x, c.y));
    return vials;
}

}  // namespace kelvo
