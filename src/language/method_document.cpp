#include "language/method_document.h"

#include "ground/log.h"
#include "ground/name_dialogs.h"
#include "ground/prompts.h"
#include "ground/settings.h"
#include "ground/text_utils.h"
#include "config/config_db.h"
#include "language/macro.h"
#include "language/value_checks.h"

#include <algorithm>
#include <utility>

namespace kelvo {
namespace {

const std::string quote = "\"";

bool is_description_line(const std::string& line) { return line.rfind("//", 0) == 0; }

bool contains_without_case(const std::vector<std::string>& names, const std::string& name)
{
    return std::any_of(names.begin(), names.end(), [&](const std::string& n) { return same_text(n, name); });
}

// A call may only name a macro of the method folder.
bool called_macro_exists(const MethodFolder& folder, const std::string& macro)
{
    return is_plain_document_name(macro) && macro_file_exists(folder, macro);
}

// The lines of the macro's file, classified; empty when it cannot be read.
MacroText macro_text_of(const MethodFolder& folder, const std::string& macro)
{
    std::vector<std::string> lines;
    if (!is_plain_document_name(macro) || !read_macro_file(folder, macro, lines)) return {};
    return classify_macro_lines(lines);
}

// True when a stored section differs from the macro's file (the lines after
// its leading "//" lines), without regard to case.
bool section_differs(const std::vector<std::string>& section, const std::vector<std::string>& file)
{
    std::size_t first = 0;
    while (first < file.size() && is_description_line(file[first])) ++first;
    if (file.size() - first != section.size()) return true;
    for (std::size_t i = 0; i < section.size(); ++i)
        if (!same_text(section[i], file[first + i])) return true;
    return false;
}

// Where the calls of a method file start (after the description lines and
// the syringe line) and where its stored macro sections start.
struct CallSpan {
    std::size_t first_call = 0;
    std::size_t first_section = 0;
};

CallSpan locate_calls(const std::vector<std::string>& lines)
{
    std::size_t first_call = 0;
    while (first_call < lines.size() && is_description_line(lines[first_call])) ++first_call;
    // A hand-made file may lack the syringe line; its first call is then
    // checked like the others.
    if (first_call < lines.size() && is_syringe_line(lines[first_call])) ++first_call;
    std::size_t first_section = first_call;
    while (first_section < lines.size() && !is_section_header(lines[first_section])) ++first_section;
    return {first_call, first_section};
}

class HookedOutOfRangeDialog final : public OutOfRangeDialog {
public:
    explicit HookedOutOfRangeDialog(MethodEditorHooks& hooks) : hooks_(hooks) {}
    double ask(const std::string& context, const std::string& unit, double maximum, double minimum, double proposed,
               double value) override
    {
        return hooks_.ask_out_of_range(context, unit, maximum, minimum, proposed, value);
    }
private:
    MethodEditorHooks& hooks_;
};

}  // namespace

std::optional<std::string> MethodEditorHooks::ask_save_name(const std::string& caption, const std::string& current)
{
    std::string chosen;
    if (!kelvo::ask_save_name(caption, current, chosen)) return std::nullopt;
    return chosen;
}

MethodDocument::MethodDocument(const Context& context, ExpansionTest expansion_test)
    : context_(context), db_(context.config), folder_(context.folder), expansion_test_(std::move(expansion_test)),
      hooks_(&default_hooks_)
{
}

void MethodDocument::set_hooks(MethodEditorHooks* hooks) { hooks_ = hooks ? hooks : &default_hooks_; }

std::vector<std::string> MethodDocument::syringe_names() const { return objects_of_class(db_, "SYRINGE"); }

bool MethodDocument::select_syringe(const std::string& syringe)
{
    for (const std::string& s : syringe_names()) {
        if (!same_text(s, syringe)) continue;
        text_.syringe = s;
        hooks_->show_syringe(s);
        return true;
    }
    return false;
}

void MethodDocument::clear_content()
{
    text_.description.clear();
    text_.calls.clear();
    shown_line_ = -1;
    hooks_->clear_pane();
}

void MethodDocument::show(int index)
{
    shown_line_ = index;
    hooks_->show_line(index);
}

// ---- Load

MethodLoadResult MethodDocument::load(const std::string& name)
{
    // 1. The page starts a new method of that name when there is no file.
    if (!method_file_exists(folder_, name)) return MethodLoadResult::refused;

    // 2.
    const bool selected = hooks_->select_name(name);
    if (!reopening_) write_setting_text(context_.settings, "Method", name);
    if (!selected) {
        context_.prompts.show_error("Method not defined!");
        return MethodLoadResult::refused;
    }

    // 3.
    const std::string path = method_path(folder_, name);
    std::vector<std::string> lines;
    if (!read_document_lines(path, lines)) {
        context_.prompts.show_error("couldnt read " + path);
        new_method("");
        return MethodLoadResult::refused;
    }
    clear_content();

    const auto [first_call, first_section] = locate_calls(lines);

    // 4. Missing macros.
    if (!called_macros_exist(name, lines, first_call, first_section)) return MethodLoadResult::refused;
    // 5. Changed macros.
    const bool declined = !update_changed_macros(name, path, lines, first_call, first_section);
    // 6. Description, syringe and sequence.
    lines.resize(std::min(first_section, lines.size()));
    take_text(name, lines);
    // 7. Atoms of the used macros, and 8. their object references.
    MacroTables tables;
    if (!used_macros_check(name, tables)) return MethodLoadResult::refused;
    // 9. Object values of the calls.
    const std::string warnings = object_value_warnings(tables);

    const MethodLoadResult result = settle_name(name, warnings, declined);
    load_save_flag_ = true;

    // 10.
    if (text_.calls.empty()) shown_line_ = -1;
    else show(0);
    return result;
}

MethodLoadResult MethodDocument::settle_name(const std::string& name, const std::string& warnings, bool declined)
{
    if (!warnings.empty()) {
        context_.prompts.show_information("Warning! In method " + quote + name + quote + ":" + "\n" + "\n" + warnings);
        hooks_->clear_name_selection();
        name_.clear();
        return MethodLoadResult::unnamed;
    }
    if (declined) {
        // Without the update the file no longer matches its macros: a later
        // Save asks for a name.
        name_.clear();
        return MethodLoadResult::unnamed;
    }
    name_ = name;
    return MethodLoadResult::loaded;
}

bool MethodDocument::called_macros_exist(const std::string& name, const std::vector<std::string>& lines,
                                         std::size_t first_call, std::size_t first_section)
{
    std::vector<std::string> missing;
    for (std::size_t i = first_call; i < first_section; ++i) {
        const std::string macro = line_name(lines[i]);
        if (!called_macro_exists(folder_, macro) && !contains_without_case(missing, macro)) missing.push_back(macro);
    }
    if (missing.empty()) return true;
    std::string message = "Method " + quote + name + quote + " cant be loaded because the following macros dont exist:" + "\n";
    for (const std::string& m : missing) message += m + "\n";
    context_.prompts.show_error(message);
    new_method("");
    return false;
}

// A section whose macro has no file has nothing to be compared with and
// never counts as changed. False when the user declined the update.
bool MethodDocument::update_changed_macros(const std::string& name, const std::string& path,
                                           std::vector<std::string>& lines, std::size_t first_call,
                                           std::size_t first_section)
{
    std::vector<std::string> changed_macros;
    for (std::size_t i = first_section; i < lines.size();) {
        const std::string macro = section_name(lines[i]);
        std::size_t end = i + 1;
        while (end < lines.size() && !is_section_header(lines[end])) ++end;
        const std::vector<std::string> section(lines.begin() + static_cast<std::ptrdiff_t>(i + 1),
                                               lines.begin() + static_cast<std::ptrdiff_t>(end));
        std::vector<std::string> file;
        if (called_macro_exists(folder_, macro) && read_macro_file(folder_, macro, file) &&
            section_differs(section, file) && !contains_without_case(changed_macros, macro))
            changed_macros.push_back(macro);
        i = end;
    }
    if (changed_macros.empty()) return true;
    std::string question = "The following macros have been changed since " + quote + name + quote + " was last saved:" + "\n";
    for (const std::string& m : changed_macros) question += m + "\n";
    question += "Ok to update " + quote + name + quote + " with new versions?";
    if (!context_.prompts.ask_yes_no(question)) {
        hooks_->clear_name_selection();
        return false;
    }
    lines.resize(first_section);
    const std::vector<std::string> calls(lines.begin() + static_cast<std::ptrdiff_t>(first_call), lines.end());
    const std::vector<std::string> sections = macro_sections(folder_, calls);
    lines.insert(lines.end(), sections.begin(), sections.end());
    if (is_read_only_file(path)) context_.prompts.show_error("Method " + name + " is read only");
    else if (write_document_atomically(path, crlf_text(lines))) log_message(context_.clock, "rewrote method " + name);
    else context_.prompts.show_error("couldnt write " + path);
    return true;
}

void MethodDocument::take_text(const std::string& name, const std::vector<std::string>& lines)
{
    for (const std::string& line : lines) {
        if (is_description_line(line)) {
            text_.description.push_back(line.substr(2));
        } else if (is_syringe_line(line)) {
            const std::string syringe = syringe_of_line(line);
            if (!select_syringe(syringe))
                context_.prompts.show_information("Warning loading method " + quote + name + quote + " : Syringe " + quote + syringe +
                                 quote + " does not exist in Kelvo");
        } else {
            text_.calls.push_back(line);
        }
    }
    hooks_->refresh_display();
}

bool MethodDocument::used_macros_check(const std::string& name, MacroTables& tables)
{
    const std::vector<std::string> macros = distinct_macro_names(text_.calls);
    std::string atom_messages;
    std::string reference_lines;
    for (const std::string& macro : macros) {
        const MacroText macro_text = macro_text_of(folder_, macro);
        const std::vector<std::string> absent = missing_atom_names(db_, macro_text.atom_lines);
        if (!absent.empty()) {
            atom_messages += "In macro " + quote + macro + quote + " the following atoms dont exist:" + "\n";
            for (const std::string& a : absent) atom_messages += a + "\n";
        }
        ParameterTable table;
        read_parameter_table(context_, macro_text.parameter_lines, table);
        for (const std::string& f : object_reference_failures(db_, macro_text.atom_lines, table))
            reference_lines += "In macro " + quote + macro + quote + "," + f + "\n";
        tables.emplace_back(macro, std::move(table));
    }
    if (!atom_messages.empty()) {
        context_.prompts.show_error("Method " + quote + name + quote + " cant be loaded because " + "\n" + atom_messages);
        new_method("");
        return false;
    }
    if (!reference_lines.empty()) {
        context_.prompts.show_error("Method " + quote + name + quote + " cant be loaded because " + "\n" + reference_lines);
        new_method("");
        return false;
    }
    return true;
}

std::string MethodDocument::object_value_warnings(const MacroTables& tables) const
{
    std::string warnings;
    for (std::size_t n = 0; n < text_.calls.size(); ++n) {
        const std::string macro = line_name(text_.calls[n]);
        const auto found = std::find_if(tables.begin(), tables.end(),
                                        [&](const auto& t) { return same_text(t.first, macro); });
        if (found == tables.end()) continue;
        const ParameterTable& table = found->second;
        const std::vector<std::string> values = call_line_values(text_.calls[n]);
        for (std::size_t k = 0; k < table.size(); ++k) {
            const MacroParameter& p = table[k];
            if (!p.is_object()) continue;
            const std::string value = k < values.size() ? values[k] : std::string();
            const std::string reason = reference_check(db_, value, p.classes, table);
            if (!reason.empty())
                warnings += "In line " + std::to_string(n + 1) + " " + quote + p.name + quote + " is set to object " +
                            quote + value + reason + "\n";
        }
    }
    return warnings;
}

MethodLoadResult MethodDocument::choose_name(const std::string& name)
{
    ask_to_save();
    const MethodLoadResult result = load(name);
    if (result == MethodLoadResult::refused) new_method(name);
    return result;
}

MethodLoadResult MethodDocument::reopen(const std::string& name)
{
    // The setting names the method again only once it is shown: a method
    // whose loading ends the program is not reopened at the next start.
    write_setting_text(context_.settings, "Method", "");
    reopening_ = true;
    const MethodLoadResult result = load(name);
    reopening_ = false;
    if (result == MethodLoadResult::refused) hooks_->clear_name_selection();
    else if (same_text(name_, name)) write_setting_text(context_.settings, "Method", name);
    return result;
}

// ---- Save

bool MethodDocument::save_checks()
{
    if (text_.calls.empty()) {
        context_.prompts.show_information("The method is empty!");
        return false;
    }
    return true;
}

bool MethodDocument::write_under(const std::string& name)
{
    const std::string path = method_path(folder_, name);
    // The rename of an atomic write would replace a write-protected file.
    if (is_read_only_file(path)) {
        context_.prompts.show_error("Method " + name + " is read only");
        return false;
    }
    if (!write_document_atomically(path, crlf_text(method_file_lines(folder_, text_)))) {
        context_.prompts.show_error("couldnt write " + path);
        return false;
    }
    log_message(context_.clock, "rewrote method " + name);
    hooks_->refill_name_lists();
    load_save_flag_ = true;
    return true;
}

bool MethodDocument::save()
{
    if (!save_checks()) return false;
    if (name_.empty()) return save_as();
    if (!write_back_pane()) return false;
    // A method without a syringe could not be checked against the mounted one.
    if (text_.syringe.empty()) {
        context_.prompts.show_error(no_syringe_text);
        return false;
    }
    return write_under(name_);
}

bool MethodDocument::save_as()
{
    if (!save_checks()) return false;
    if (!write_back_pane()) return false;
    if (text_.syringe.empty()) {
        context_.prompts.show_error(no_syringe_text);
        return false;
    }
    return save_as_checked();
}

bool MethodDocument::save_as_checked()
{
    std::string chosen;
    while (true) {
        const std::optional<std::string> answer = hooks_->ask_save_name("Save Method", name_);
        if (!answer) return false;
        if (answer->find_first_of("()") != std::string::npos) {
            context_.prompts.show_error("Please do not use parentheses in the file name");
            continue;
        }
        // A separator would put the file outside the method folder.
        if (answer->find_first_of("/\\") != std::string::npos) {
            context_.prompts.show_error("Please do not use \\ or / in the file name");
            continue;
        }
        // The file name is cut at its first "."; the name follows it so that
        // the name box and the file agree.
        chosen = strip_extension(*answer);
        break;
    }
    if (chosen.empty()) return false;
    if (method_file_exists(folder_, chosen) && !context_.prompts.ask_yes_no("Do you really want to overwrite method " + chosen + "?"))
        return false;
    if (!write_under(chosen)) return false;
    hooks_->select_name(chosen);
    name_ = chosen;
    write_setting_text(context_.settings, "Method", name_);
    return true;
}

// ---- Changed?, Ask to save, New, Delete

bool MethodDocument::changed() const
{
    if (name_.empty() || !method_file_exists(folder_, name_)) return !text_.calls.empty() || !text_.description.empty();
    std::vector<std::string> file;
    if (!read_document_lines(method_path(folder_, name_), file)) return true;
    std::vector<std::string> mine;
    for (const std::string& d : text_.description) mine.push_back("//" + d);
    mine.push_back(syringe_line_prefix + text_.syringe);
    mine.insert(mine.end(), text_.calls.begin(), text_.calls.end());
    bool differs = false;
    for (std::size_t i = 0; i < mine.size(); ++i) {
        const std::string theirs = i < file.size() ? file[i] : std::string();
        if (i >= file.size() || !same_text(mine[i], theirs)) {
            context_.debug_line(mine[i] + " vs " + theirs);
            differs = true;
        }
    }
    // The file holds more lines before its sections than the editor: lines
    // were deleted at the end, which the comparison above cannot see.
    const auto first_section = std::find_if(file.begin(), file.end(), is_section_header);
    const auto file_calls_end = static_cast<std::size_t>(first_section - file.begin());
    if (mine.size() < file_calls_end) {
        context_.debug_line(" vs " + file[mine.size()]);
        differs = true;
    }
    return differs;
}

bool MethodDocument::ask_to_save()
{
    if (!load_save_flag_ || name_.empty() || !changed()) return true;
    if (!context_.prompts.ask_yes_no("The method " + quote + name_ + quote + " has been changed. Do you wish to save it?")) return true;
    return save();
}

void MethodDocument::new_method(const std::string& name)
{
    clear_content();
    name_ = name;
    if (name.empty()) hooks_->clear_name_selection();
    else hooks_->select_name(name);
    write_setting_text(context_.settings, "Method", name);
    hooks_->refresh_display();
}

bool MethodDocument::delete_method(const std::string& selected_name)
{
    if (selected_name.empty()) {
        context_.prompts.show_error("No method to delete");
        return false;
    }
    if (!context_.prompts.ask_yes_no("Do you really want to delete method " + selected_name)) return false;
    // A failed deletion is not reported; the editor is emptied all the same.
    const bool deleted =
        method_file_exists(folder_, selected_name) && remove_document_file(method_path(folder_, selected_name));
    new_method("");
    hooks_->refill_name_lists();
    return deleted;
}

// ---- Editing

bool MethodDocument::expansion_test() const { return expansion_test_(context_, text_.syringe, text_.calls); }

bool MethodDocument::insert_call(int selected, const std::string& line)
{
    const int size = static_cast<int>(text_.calls.size());
    const int position = selected < 0 ? 0 : std::min(selected + 1, size);
    text_.calls.insert(text_.calls.begin() + position, line);
    if (!expansion_test()) {
        text_.calls.erase(text_.calls.begin() + position);
        return false;
    }
    hooks_->refresh_display();
    show(position);
    return true;
}

bool MethodDocument::replace_call(int selected, const std::string& line)
{
    if (selected < 0 || selected >= static_cast<int>(text_.calls.size())) return false;
    std::string& slot = text_.calls[static_cast<std::size_t>(selected)];
    const std::string old = std::exchange(slot, line);
    if (!expansion_test()) {
        text_.calls[static_cast<std::size_t>(selected)] = old;
        return false;
    }
    hooks_->refresh_display();
    show(selected);
    return true;
}

bool MethodDocument::delete_call(int selected)
{
    if (selected < 0 || selected >= static_cast<int>(text_.calls.size())) return false;
    text_.calls.erase(text_.calls.begin() + selected);
    hooks_->refresh_display();
    if (text_.calls.empty()) {
        shown_line_ = -1;
        hooks_->clear_pane();
    } else {
        show(std::min(selected, static_cast<int>(text_.calls.size()) - 1));
    }
    return true;
}

bool MethodDocument::click_line(int index)
{
    if (!write_back_pane()) return false;
    if (index < 0 || index >= static_cast<int>(text_.calls.size())) return false;
    show(index);
    hooks_->macro_editor_follow(line_name(text_.calls[static_cast<std::size_t>(index)]));
    return true;
}

void MethodDocument::choose_macro(const std::string& macro)
{
    shown_line_ = -1;
    hooks_->show_macro_defaults(macro);
    hooks_->macro_editor_follow(macro);
}

bool MethodDocument::write_back_pane()
{
    if (shown_line_ < 0 || shown_line_ >= static_cast<int>(text_.calls.size())) return true;
    std::string line = text_.calls[static_cast<std::size_t>(shown_line_)];
    if (!hooks_->call_line_from_pane(line)) return false;
    text_.calls[static_cast<std::size_t>(shown_line_)] = line;
    hooks_->refresh_display();
    range_check();
    return true;
}

void MethodDocument::syringe_changed(const std::string& syringe)
{
    select_syringe(syringe);
    range_check();
}

bool MethodDocument::range_check()
{
    HookedOutOfRangeDialog dialog(*hooks_);
    bool replaced = false;
    const bool ok = range_check_method(context_, text_.calls, text_.syringe, dialog, replaced);
    if (replaced) hooks_->refresh_pane();
    return ok;
}

}  // namespace kelvo
