#pragma once
// What the pane of an editor page is to show, worked out apart from the
// widgets: per shown slot the label, the hint and either the text of the
// text box or the entries of the drop-down box; then the values carried
// beyond the slots. The Macro Editor fills one from an atom, the Method
// Editor from a called macro's parameters; the page puts it on the screen.
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kelvo {

struct PaneContent {
    struct Slot {
        std::string label;
        std::string hint;
        // A drop-down box of the entries, or a text box with the text.
        bool choice = false;
        std::string text;
        std::vector<std::string> entries;
        // The entry to select; without one the first entry is selected (a
        // value the entries lack is kept as it is).
        std::optional<std::string> value;
    };

    // The shown slots, from the first.
    std::vector<Slot> shown;
    // Values beyond the slots, carried unchanged.
    std::vector<std::string> hidden_values;

    void add_text(std::string label, std::string hint, std::string text)
    {
        Slot& slot = shown.emplace_back();
        slot.label = std::move(label);
        slot.hint = std::move(hint);
        slot.text = std::move(text);
    }
    // value nullptr: the first entry.
    void add_choice(std::string label, std::string hint, std::vector<std::string> entries, const std::string* value)
    {
        Slot& slot = shown.emplace_back();
        slot.label = std::move(label);
        slot.hint = std::move(hint);
        slot.choice = true;
        slot.entries = std::move(entries);
        if (value) slot.value = *value;
    }
};

}  // namespace kelvo
