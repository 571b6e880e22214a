#pragma once
// The four lines of the status window, as the run reaches them. The status
// window (`Tstatus_form`) implements it; tests record the lines.
#include <string>

namespace kelvo {

enum class StatusLine { running = 0, method = 1, tray_and_vial = 2, atom_status = 3 };

class StatusDisplay {
public:
    virtual ~StatusDisplay() = default;
    virtual void set_line(StatusLine line, const std::string& text) = 0;
    virtual std::string line(StatusLine line) const = 0;
    // The first line becomes text, the other three empty.
    void first_line_only(const std::string& text)
    {
        set_line(StatusLine::running, text);
        set_line(StatusLine::method, "");
        set_line(StatusLine::tray_and_vial, "");
        set_line(StatusLine::atom_status, "");
    }
};

inline constexpr const char* no_sample_list_text = "No sample list in progress";

}  // namespace kelvo
