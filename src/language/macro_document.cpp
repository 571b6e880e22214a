#include "language/macro_document.h"

#include "ground/cp1252.h"
#include "ground/log.h"
#include "ground/prompts.h"
#include "ground/settings.h"
#include "ground/text_utils.h"
#include "config/config_db.h"
#include "language/value_checks.h"

#include <filesystem>
#include <system_error>

namespace kelvo {
namespace {

const std::string quote = "\"";

// The path as the user should see it in a message: absolute.
std::string full_path(const std::string& path)
{
    std::error_code ec;
    const auto absolute = std::filesystem::absolute(std::filesystem::path(cp1252_to_utf8(path)), ec);
    return ec ? path : utf8_to_cp1252(absolute.string());
}

}  // namespace

MacroDocument::MacroDocument(const Context& context)
    : context_(context), db_(context.config), folder_(context.folder), hooks_(&default_hooks_)
{
}

void MacroDocument::set_hooks(MacroEditorHooks* hooks) { hooks_ = hooks ? hooks : &default_hooks_; }

bool MacroDocument::rebuild_parameter_table()
{
    return read_parameter_table(context_, text_.parameter_lines, parameters_);
}

bool MacroDocument::check_atom_lines() const { return check_macro_atom_lines(context_, text_.atom_lines, parameters_); }

void MacroDocument::clear_content()
{
    text_ = MacroText{};
    parameters_.clear();
    hooks_->clear_pane();
}

void MacroDocument::clear()
{
    clear_content();
    name_.clear();
    hooks_->clear_name_selection();
    hooks_->refresh_display();
}

MacroLoadResult MacroDocument::load(const std::string& name)
{
    hooks_->update_lock_button(!name.empty() && is_read_only_file(macro_path(folder_, name)));
    clear_content();
    if (name.empty()) {
        name_.clear();
        hooks_->refresh_display();
        return MacroLoadResult::no_name;
    }

    const std::string path = macro_path(folder_, name);
    std::vector<std::string> lines;
    if (!read_document_lines(path, lines)) {
        if (!document_file_exists(path)) context_.prompts.show_error("Macro " + quote + name + quote + " does not exist.");
        else context_.prompts.show_error("couldnt read " + full_path(path));
        clear();
        return MacroLoadResult::refused;
    }
    text_ = classify_macro_lines(lines);

    // The panes have 14 parameter slots; a longer file cannot be shown whole.
    if (text_.parameter_lines.size() > static_cast<std::size_t>(macro_parameter_capacity)) {
        context_.prompts.show_information("In macro " + quote + name + quote + " there are " +
                         std::to_string(text_.parameter_lines.size()) + " parameters. Only " +
                         std::to_string(macro_parameter_capacity) + " parameters are allowed in a macro!");
        clear();
        return MacroLoadResult::refused;
    }

    std::vector<int> failed;
    read_parameter_table(context_, text_.parameter_lines, parameters_, &failed);
    if (!failed.empty()) {
        std::string message;
        for (int n : failed) message += "Syntax error in parameter " + std::to_string(n) + "\n";
        context_.prompts.show_information(message);
        clear();
        return MacroLoadResult::refused;
    }

    const std::vector<std::string> missing = missing_atom_names(db_, text_.atom_lines);
    if (!missing.empty()) {
        std::string message = "In macro " + quote + name + quote + " the following atoms dont exist:" + "\n";
        for (const std::string& m : missing) message += m + "\n";
        context_.prompts.show_information(message);
        clear();
        return MacroLoadResult::refused;
    }

    MacroLoadResult result = MacroLoadResult::loaded;
    const std::vector<std::string> failures = object_reference_failures(db_, text_.atom_lines, parameters_);
    if (!failures.empty()) {
        std::string message = "In macro " + quote + name + quote + ":" + "\n";
        for (const std::string& f : failures) message += f + "\n";
        context_.prompts.show_information(message);
        hooks_->clear_name_selection();
        name_.clear();
        result = MacroLoadResult::unnamed;
    } else {
        name_ = name;
    }

    hooks_->refresh_display();
    hooks_->show_first_line();
    load_save_flag_ = true;
    return result;
}

bool MacroDocument::save_checks()
{
    if (text_.atom_lines.empty()) {
        context_.prompts.show_information("The macro is empty!");
        return false;
    }
    if (!hooks_->write_back_pane()) return false;
    // A parameter line that no longer reads (the configuration changed since
    // it was written) would leave the checks below without its slot.
    if (!rebuild_parameter_table()) return false;
    return check_atom_lines();
}

bool MacroDocument::write_under(const std::string& name)
{
    const std::string path = macro_path(folder_, name);
    if (is_read_only_file(path)) {
        context_.prompts.show_error("Macro " + name + " is read only");
        return false;
    }
    if (!write_document_atomically(path, crlf_text(macro_file_lines(text_)))) {
        context_.prompts.show_error("couldnt write " + full_path(path));
        return false;
    }
    log_message(context_.clock, "rewrote macro " + name);
    load_save_flag_ = true;
    hooks_->method_editor_forget_line_if_showing(name);
    return true;
}

bool MacroDocument::save()
{
    if (!save_checks()) return false;
    if (name_.empty()) return save_as_after_checks();
    return write_under(name_);
}

bool MacroDocument::save_as()
{
    if (!save_checks()) return false;
    return save_as_after_checks();
}

bool MacroDocument::save_as_after_checks()
{
    std::string chosen;
    while (true) {
        const std::optional<std::string> answer = hooks_->ask_save_name("Save Macro", name_);
        if (!answer) return false;
        if (answer->find('(') != std::string::npos || answer->find(')') != std::string::npos) {
            context_.prompts.show_error("Please do not use parentheses in the file name");
            continue;
        }
        // A separator would put the file outside the method folder.
        if (answer->find('/') != std::string::npos || answer->find('\\') != std::string::npos) {
            context_.prompts.show_error("Please do not use \\ or / in the file name");
            continue;
        }
        // The file name is cut at its first "."; the name follows it so that
        // the name box and the file agree.
        chosen = strip_extension(*answer);
        break;
    }
    if (chosen.empty()) return false;
    if (macro_file_exists(folder_, chosen) && !context_.prompts.ask_yes_no("Do you really want to overwrite macro " + chosen + "?"))
        return false;
    if (!write_under(chosen)) return false;
    hooks_->refill_name_lists();
    hooks_->select_name(chosen);
    name_ = chosen;
    write_setting_text(context_.settings, "Macro", name_);
    return true;
}

bool MacroDocument::changed() const
{
    const std::size_t count = text_.description.size() + text_.parameter_lines.size() + text_.atom_lines.size();
    const std::string path = name_.empty() ? std::string() : macro_path(folder_, name_);
    if (path.empty() || !document_file_exists(path)) return count > 0;
    std::vector<std::string> file;
    if (!read_document_lines(path, file)) return true;
    if (file.size() != count) return true;
    const std::vector<std::string> mine = macro_file_lines(text_);
    bool differs = false;
    for (std::size_t i = 0; i < count; ++i) {
        if (!same_text(mine[i], file[i])) {
            context_.debug_line(mine[i] + " vs " + file[i]);
            differs = true;
        }
    }
    return differs;
}

bool MacroDocument::ask_to_save()
{
    if (!load_save_flag_ || name_.empty() || !changed()) return true;
    if (!context_.prompts.ask_yes_no("The macro " + quote + name_ + quote + " has been changed. Do you wish to save it?")) return true;
    return save();
}

void MacroDocument::new_macro(const std::string& name)
{
    clear_content();
    name_ = name;
    if (name.empty()) hooks_->clear_name_selection();
    else hooks_->select_name(name);
    write_setting_text(context_.settings, "Macro", name);
    hooks_->refresh_display();
    hooks_->update_lock_button(is_read_only());
}

bool MacroDocument::delete_macro(const std::string& selected_name)
{
    if (selected_name.empty()) {
        context_.prompts.show_error("No macro to delete");
        return false;
    }
    if (!context_.prompts.ask_yes_no("Do you really want to delete macro " + selected_name)) return false;
    const std::string path = macro_path(folder_, selected_name);
    // Write protection also protects against deletion.
    const bool deleted = !is_read_only_file(path) && remove_document_file(path);
    if (!deleted) context_.prompts.show_error("couldnt delete " + full_path(path));
    clear();
    write_setting_text(context_.settings, "Macro", "");
    hooks_->refill_name_lists();
    hooks_->update_lock_button(false);
    return deleted;
}

bool MacroDocument::is_read_only() const { return !name_.empty() && is_read_only_file(macro_path(folder_, name_)); }

void MacroDocument::toggle_write_protection()
{
    if (!name_.empty()) {
        const std::string path = macro_path(folder_, name_);
        if (document_file_exists(path)) set_read_only_file(path, !is_read_only_file(path));
    }
    hooks_->update_lock_button(is_read_only());
}

}  // namespace kelvo
