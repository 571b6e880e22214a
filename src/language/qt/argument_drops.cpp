#include "language/qt/argument_drops.h"

#include "config/config_db.h"
#include "ground/prompts.h"
#include "ground/qt/qt_text.h"
#include "language/macro_document.h"
#include "language/qt/atom_pane_rules.h"
#include "language/qt/macro_parameter_list.h"

#include <QComboBox>
#include <QLineEdit>

#include <optional>
#include <utility>

namespace kelvo {
namespace {

std::optional<MacroParameter> parameter_to_drop(int atom, int slot, const std::string& parameter_line,
                                                const MacroDocument& document)
{
    if (atom < 0) return std::nullopt;
    return dropped_parameter(config(), prompts(), config().atoms()[static_cast<std::size_t>(atom)], slot,
                             parameter_line, document.text().parameter_lines, document.parameters());
}

}  // namespace

ArgumentDrops::ArgumentDrops(MacroParameterList& list, const Slots& pane, const MacroDocument& document,
                             std::function<int()> pane_atom)
    : slots_(pane), document_(document), pane_atom_(std::move(pane_atom))
{
    for (int i = 0; i < editor_pane_slots; ++i) {
        const auto take = [this, i](const std::string& line, bool dropped) {
            return dropped ? drop(i, line) : can_drop(i, line);
        };
        list.take_drops(pane[static_cast<std::size_t>(i)].text, take);
        list.take_drops(pane[static_cast<std::size_t>(i)].box, take);
    }
}

bool ArgumentDrops::can_drop(int slot, const std::string& parameter_line) const
{
    return parameter_to_drop(pane_atom_(), slot, parameter_line, document_).has_value();
}

bool ArgumentDrops::drop(int slot, const std::string& parameter_line)
{
    const std::optional<MacroParameter> parameter = parameter_to_drop(pane_atom_(), slot, parameter_line, document_);
    if (!parameter) return false;
    const EditorPage::PaneSlot& target = slots_[static_cast<std::size_t>(slot)];
    if (!parameter->is_object()) {
        target.text->setText(to_qstring(parameter->name));
    } else {
        select_or_add(target.box, parameter->name);
    }
    return true;
}

}  // namespace kelvo
