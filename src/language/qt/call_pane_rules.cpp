#include "language/qt/call_pane_rules.h"

#include "language/method.h"
#include "language/value_checks.h"

#include <algorithm>

namespace kelvo {

PaneContent call_pane_content(const ConfigDb& db, const ParameterTable& parameters,
                              const std::vector<std::string>* values, const std::string& syringe,
                              std::size_t slot_count)
{
    PaneContent content;
    auto value_of = [values](std::size_t i) {
        return values && i < values->size() ? (*values)[i] : std::string();
    };
    const std::size_t shown = std::min(parameters.size(), slot_count);
    for (std::size_t i = 0; i < shown; ++i) {
        const MacroParameter& p = parameters[i];
        const std::string value = value_of(i);
        if (!p.is_object())
            content.add_text(parameter_label(p), numeric_parameter_hint(db, p, syringe),
                             pane_value(db, values ? value : p.default_value, p.unit, syringe));
        else
            content.add_choice(parameter_label(p), class_set_text(db, p.classes),
                               object_parameter_choices(db, p.classes), values ? &value : nullptr);
    }
    // Parameters beyond the slots keep their values (or their defaults).
    for (std::size_t i = shown; i < parameters.size(); ++i) {
        const MacroParameter& p = parameters[i];
        if (values) content.hidden_values.push_back(value_of(i));
        else if (p.is_object()) {
            const std::vector<std::string> choices = object_parameter_choices(db, p.classes);
            content.hidden_values.push_back(choices.empty() ? std::string() : choices.front());
        } else {
            content.hidden_values.push_back(syr_substitution(db, p.default_value, syringe));
        }
    }
    return content;
}

std::vector<std::string> call_popup_items(const ConfigDb& db, const MacroParameter& parameter,
                                          const std::string& syringe)
{
    std::vector<std::string> items{default_popup_caption(db, parameter, syringe)};
    for (const std::string& item : reference_fill_1(parameter.unit)) items.push_back(item);
    return items;
}

}  // namespace kelvo
