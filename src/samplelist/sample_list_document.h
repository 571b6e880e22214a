#pragma once
// The sample list of the Sample List page as a document: its name, its
// columns and table, and the document operations: Load with the header
// check, Save, Save As, the changed test, Ask to save, selecting a list or
// a name, Restore at start, Export, and validation with the busy cursor.
// The page supplies what only it can do through SampleListHooks.
//
// A name is cut before its first "." wherever it names a file (saving,
// loading, the existence test, the changed test); Save As makes the cut
// name the current one, so the selector and the file always agree.
#include "config/context.h"
#include "samplelist/sample_columns.h"
#include "samplelist/sample_table.h"

#include <optional>
#include <string>

namespace kelvo {

class ConfigDb;
class MethodFolder;

inline constexpr const char* list_running_text = "You may not edit the sample list while it is running!";
inline constexpr const char* new_sample_list_name = "New sample list";
inline constexpr const char* save_list_caption = "Save Sample list";
inline constexpr const char* export_title = "Export Sample List";
inline constexpr const char* export_filter_description = "Sample lists(*.txt)";
inline constexpr const char* export_filter_pattern = "*.txt";

// What the page supplies; every default does nothing (the save-name dialog
// defaults to the program-wide name dialogs), so the document runs headless.
class SampleListHooks {
public:
    virtual ~SampleListHooks() = default;
    // `list_select_box` shows the name (added when missing); the empty name
    // leaves nothing selected.
    virtual void show_name(const std::string& name) { (void)name; }
    // `list_select_box` is refilled from the "*.ksl" files, keeping the
    // current name.
    virtual void refill_names() {}
    // The save-name dialog; nullopt when cancelled.
    virtual std::optional<std::string> ask_save_name(const std::string& caption, const std::string& current);
    // The export file dialog on folder with its title, filter and proposed
    // file name; the chosen file (any folder), nullopt when cancelled.
    virtual std::optional<std::string> choose_export_file(const std::string& folder, const std::string& title,
                                                          const std::string& filter_description,
                                                          const std::string& filter_pattern,
                                                          const std::string& file_name)
    {
        (void)folder, (void)title, (void)filter_description, (void)filter_pattern, (void)file_name;
        return std::nullopt;
    }
    // The hourglass while validation reads the method files.
    virtual void busy(bool on) { (void)on; }
};

// The ".ksl" file of the name in the method folder (also under another
// letter case where the file system tells case apart).
std::string sample_list_path(const MethodFolder& folder, const std::string& name);
bool sample_list_exists(const MethodFolder& folder, const std::string& name);
// The export file of the export name in the method folder.
std::string export_path(const MethodFolder& folder, const std::string& export_name);

class SampleListDocument {
public:
    // db: the configuration that validation checks trays, injectors and
    // syringes against (refilled in place on reload).
    explicit SampleListDocument(const Context& context);
    SampleListDocument(const SampleListDocument&) = delete;
    SampleListDocument& operator=(const SampleListDocument&) = delete;

    void set_hooks(SampleListHooks* hooks);  // nullptr: the do-nothing hooks

    ColumnTable& columns() { return columns_; }
    const ColumnTable& columns() const { return columns_; }
    SampleTable& table() { return table_; }
    const SampleTable& table() const { return table_; }
    // The current name (the selector's text); empty for none.
    const std::string& name() const { return name_; }
    bool running() const { return table_.run_position().running; }

    // Shows the first failure and returns false; the hourglass meanwhile.
    bool validate();

    // Fills the table from the file of the name. Refused while a list runs
    // and when the file cannot be read (table unchanged); a header that does
    // not match the columns, or more rows than the table holds, leave an
    // empty table. The name is not changed.
    bool load(const std::string& name);
    // Validation, then the file of the name is written (an empty name means
    // Save As), the selector refilled and "rewrote sample list NAME" logged.
    bool save(const std::string& name);
    bool save_as();
    // The table differs from its file (any line, letter case aside, or the
    // line count); without a file, a table with rows counts as changed.
    bool changed() const;
    // A changed list with a name: asks, and saves on Yes.
    void ask_to_save();
    // The user picked a name in the selector: ask to save the list left,
    // then load the picked one, or an empty table when it has no file.
    void select_list(const std::string& name);
    // The selector shows the name, which becomes current and the setting
    // "Sample List".
    void select_name(const std::string& name);
    // At start: the list of the setting "Sample List" when its page is
    // enabled and its file exists; otherwise no name.
    void restore_at_start(bool page_enabled);
    // New, Delete, a new method folder: an empty table under the name (the
    // selector and the setting hold it already).
    void start_empty(const std::string& name);

    // Validation, then the export dialog, then the export file.
    bool export_list();
    // Writes the export file of the name into the method folder; an existing
    // file is replaced only with overwrite (or when the user agrees, ask).
    // Does not validate.
    enum class ExistingFile { refuse, ask, overwrite };
    bool write_export(const std::string& export_name, ExistingFile existing);

private:
    bool write_list(const std::string& name);

    Context context_;
    const ConfigDb& db_;
    const MethodFolder& folder_;
    ColumnTable columns_;
    SampleTable table_;
    SampleListHooks default_hooks_;
    SampleListHooks* hooks_;
    std::string name_;
};

}  // namespace kelvo
