#include "samplelist/sample_list_document.h"

#include "ground/documents.h"
#include "ground/log.h"
#include "ground/name_dialogs.h"
#include "ground/prompts.h"
#include "ground/settings.h"
#include "ground/text_utils.h"
#include "language/macro.h"
#include "samplelist/sample_list_file.h"
#include "samplelist/sample_validation.h"

#include <vector>

namespace kelvo {

namespace {

const std::string quote = "\"";

bool has_parenthesis(const std::string& name) { return name.find_first_of("()") != std::string::npos; }
bool has_separator(const std::string& name) { return name.find_first_of("/\\") != std::string::npos; }

std::string cell_refusal(const SampleTable& table, const CellRef& at, const std::string& what,
                         const std::string& operation)
{
    return "In row " + std::to_string(at.row) + " the column " + quote + table.columns().column(at.col).heading +
           quote + " holds " + what + ": the list cannot be " + operation;
}

}  // namespace

std::optional<std::string> SampleListHooks::ask_save_name(const std::string& caption, const std::string& current)
{
    std::string chosen;
    if (!kelvo::ask_save_name(caption, current, chosen)) return std::nullopt;
    return chosen;
}

std::string sample_list_path(const MethodFolder& folder, const std::string& name)
{
    return folder.existing_path(FolderDocument::sample_list, name);
}

bool sample_list_exists(const MethodFolder& folder, const std::string& name)
{
    return !strip_extension(name).empty() && !has_separator(name) && folder.exists(FolderDocument::sample_list, name);
}

std::string export_path(const MethodFolder& folder, const std::string& export_name)
{
    return folder.path(FolderDocument::export_table, export_name);
}

SampleListDocument::SampleListDocument(const Context& context)
    : context_(context), db_(context.config), folder_(context.folder), table_(columns_, context_.prompts),
      hooks_(&default_hooks_)
{
}

void SampleListDocument::set_hooks(SampleListHooks* hooks) { hooks_ = hooks ? hooks : &default_hooks_; }

bool SampleListDocument::validate()
{
    hooks_->busy(true);
    const std::string failure = validation_failure(table_, db_, folder_);
    hooks_->busy(false);
    if (failure.empty()) return true;
    context_.prompts.show_error(failure);
    return false;
}

// ---- Load

bool SampleListDocument::load(const std::string& name)
{
    if (running()) {
        context_.prompts.show_error(list_running_text);
        return false;
    }
    const std::string path = sample_list_path(folder_, name);
    std::vector<std::string> lines;
    if (has_separator(name) || !read_document_lines(path, lines)) {
        context_.prompts.show_error("couldnt read " + path);
        return false;
    }
    if (lines.empty() || !same_text(lines.front(), list_header_line(columns_, list_separator))) {
        context_.prompts.show_error("Sample list " + quote + name + quote + " has the wrong columns");
        table_.clear();
        return false;
    }
    if (lines.size() - 1 > static_cast<std::size_t>(max_sample_rows)) {
        context_.prompts.show_error("Sample list " + quote + name + quote + " has more than " + std::to_string(max_sample_rows) +
                   " rows, more than a sample list holds");
        table_.clear();
        return false;
    }
    std::vector<std::vector<std::string>> rows;
    rows.reserve(lines.size() - 1);
    for (std::size_t i = 1; i < lines.size(); ++i) rows.push_back(split_list_line(lines[i], columns_.count()));
    table_.assign(rows);
    if (table_.rows() > 0) table_.request_active(column_no::method, 1);
    return true;
}

// ---- Save

bool SampleListDocument::write_list(const std::string& name)
{
    if (has_separator(name)) {
        context_.prompts.show_error("Please do not use \\ or / in the file name");
        return false;
    }
    const CellRef at = cell_holding(table_, std::string(1, list_separator));
    if (at.row != 0) {
        context_.prompts.show_error(cell_refusal(table_, at, "\";\"", "saved"));
        return false;
    }
    const std::string path = sample_list_path(folder_, name);
    // The atomic rename would replace a write-protected file as well.
    if (is_read_only_file(path)) {
        context_.prompts.show_error("Sample list " + name + " is read only");
        return false;
    }
    std::string bytes;
    for (const std::string& line : list_lines(table_, list_separator)) bytes += line + "\r\n";
    if (!write_document_atomically(path, bytes)) {
        context_.prompts.show_error("couldnt write " + path);
        return false;
    }
    hooks_->refill_names();
    log_message(context_.clock, "rewrote sample list " + name);
    return true;
}

bool SampleListDocument::save(const std::string& name)
{
    if (name.empty()) return save_as();
    if (!validate()) return false;
    return write_list(name);
}

bool SampleListDocument::save_as()
{
    if (!validate()) return false;
    std::string chosen;
    while (true) {
        const std::optional<std::string> answer = hooks_->ask_save_name(save_list_caption, name_);
        if (!answer) return false;
        if (has_parenthesis(*answer)) {
            context_.prompts.show_error("Please do not use parentheses in the file name");
            continue;
        }
        if (has_separator(*answer)) {
            context_.prompts.show_error("Please do not use \\ or / in the file name");
            continue;
        }
        chosen = strip_extension(*answer);
        break;
    }
    if (chosen.empty()) return false;
    if (sample_list_exists(folder_, chosen) &&
        !context_.prompts.ask_yes_no("Do you really want to overwrite sample list " + chosen + "?"))
        return false;
    if (!write_list(chosen)) return false;
    select_name(chosen);
    table_.clear_statuses();
    return true;
}

// ---- Changed test and asking

bool SampleListDocument::changed() const
{
    if (!sample_list_exists(folder_, name_)) return table_.rows() > 0;
    std::vector<std::string> file;
    if (!read_document_lines(sample_list_path(folder_, name_), file)) return table_.rows() > 0;
    if (file.size() != static_cast<std::size_t>(table_.rows()) + 1) return true;
    if (!same_text(file[0], list_header_line(columns_, list_separator))) {
        context_.debug_line(list_header_line(columns_, list_separator) + " vs " + file[0]);
        return true;
    }
    for (int row = 1; row <= table_.rows(); ++row) {
        const std::string mine = list_row_line(table_, row, list_separator);
        const std::string& theirs = file[static_cast<std::size_t>(row)];
        if (!same_text(mine, theirs)) {
            context_.debug_line(mine + " vs " + theirs);
            return true;
        }
    }
    return false;
}

void SampleListDocument::ask_to_save()
{
    if (name_.empty() || !changed()) return;
    if (context_.prompts.ask_yes_no("The sample list " + quote + name_ + quote + " has been changed. Do you wish to save it?"))
        save(name_);
}

// ---- Selecting

void SampleListDocument::select_list(const std::string& name)
{
    // Emptying or replacing the table under a running list would pull its
    // rows away.
    if (running()) {
        context_.prompts.show_error(list_running_text);
        hooks_->show_name(name_);
        return;
    }
    ask_to_save();
    name_ = name;
    write_setting_text(context_.settings, "Sample List", name);
    if (sample_list_exists(folder_, name)) load(name);
    else table_.clear();
}

void SampleListDocument::select_name(const std::string& name)
{
    hooks_->show_name(name);
    name_ = name;
    write_setting_text(context_.settings, "Sample List", name);
}

void SampleListDocument::restore_at_start(bool page_enabled)
{
    const std::string name = read_setting_text(context_.settings, "Sample List", "");
    if (page_enabled && sample_list_exists(folder_, name)) {
        select_name(name);
        load(name);
    } else {
        select_name("");
    }
}

void SampleListDocument::start_empty(const std::string& name)
{
    name_ = name;
    table_.clear();
}

// ---- Export

bool SampleListDocument::write_export(const std::string& export_name, ExistingFile existing)
{
    const CellRef at = cell_holding(table_, std::string(1, export_separator));
    if (at.row != 0) {
        context_.prompts.show_error(cell_refusal(table_, at, "a tab", "exported"));
        return false;
    }
    const std::string path = export_path(folder_, export_name);
    if (document_file_exists(path)) {
        if (existing == ExistingFile::refuse) {
            context_.prompts.show_error("The export file " + path + " exists already");
            return false;
        }
        if (existing == ExistingFile::ask &&
            !context_.prompts.ask_yes_no("Do you really want to overwrite exported sample list " + export_name + "?"))
            return false;
    }
    std::string bytes;
    for (const std::string& line : list_lines(table_, export_separator)) bytes += line + "\r\n";
    if (!write_document_atomically(path, bytes)) {
        context_.prompts.show_error("couldnt write " + path);
        return false;
    }
    return true;
}

bool SampleListDocument::export_list()
{
    if (!validate()) return false;
    const std::string proposed = name_ == new_sample_list_name ? std::string() : name_;
    std::string export_name;
    while (true) {
        const std::optional<std::string> chosen = hooks_->choose_export_file(
            folder_.folder(), export_title, export_filter_description, export_filter_pattern, proposed);
        if (!chosen) return false;
        const std::size_t slash = chosen->find_last_of("/\\");
        if (has_parenthesis(slash == std::string::npos ? *chosen : chosen->substr(slash + 1))) {
            context_.prompts.show_error("Please do not use parentheses in the file name");
            continue;
        }
        export_name = file_title(*chosen);
        break;
    }
    if (export_name.empty()) return false;
    return write_export(export_name, ExistingFile::ask);
}

}  // namespace kelvo
