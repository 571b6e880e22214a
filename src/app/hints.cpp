#include "app/hints.h"

namespace kelvo {

HintTiming hint_timing(const std::string& control, int mouse_y)
{
    HintTiming t;
    if (control == "macros_of_method") {
        t.display_ms = macro_choice_hint_ms;
    } else if (control == "method_box") {
        t.narrowed = true;
        t.band_top = mouse_y - hint_band_half;
        t.band_bottom = mouse_y + hint_band_half;
    }
    return t;
}

}  // namespace kelvo
