#pragma once
// How long a hint stays up, and where the method's macro sequence list asks
// for a new one.
#include <string>

namespace kelvo {

inline constexpr int hint_display_ms = 9000;
// The method editor's macro choice carries the macro's whole description.
inline constexpr int macro_choice_hint_ms = 100000;
// Half the height of the band over `method_box` within which a hint stays.
inline constexpr int hint_band_half = 8;

struct HintTiming {
    int display_ms = hint_display_ms;
    // For `method_box`: the hint's rectangle is the band from band_top to
    // band_bottom (inclusive, in the list's coordinates), so that moving to
    // another line brings up that line's hint.
    bool narrowed = false;
    int band_top = 0;
    int band_bottom = 0;
};

// control is the control's component name; mouse_y the mouse's last
// vertical position over it.
HintTiming hint_timing(const std::string& control, int mouse_y);

}  // namespace kelvo
