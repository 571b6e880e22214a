#pragma once
// The macro held by the Macro Editor and its document operations: Load with
// its checks, Save, Save As, Changed?, Ask to save, New, Delete and the write
// protection. The editor page binds its widgets to this model and supplies
// what only it can do through MacroEditorHooks.
#include "config/context.h"
#include "language/macro.h"
#include "language/parameter_line.h"

#include <optional>
#include <string>
#include <vector>

namespace kelvo {

class ConfigDb;

// What the editor page supplies. Every hook has a default that does nothing,
// so the model runs headless (tests, the command-line companion).
class MacroEditorHooks {
public:
    virtual ~MacroEditorHooks() = default;
    // Writes the atom pane back into the line being edited (if any); false
    // when the pane's values fail (the pane has shown the message).
    virtual bool write_back_pane() { return true; }
    // The save-name dialog with a caption and the current name; nullopt when
    // cancelled. The text is taken as typed.
    virtual std::optional<std::string> ask_save_name(const std::string& caption, const std::string& current)
    {
        (void)caption;
        (void)current;
        return std::nullopt;
    }
    // The atom pane forgets the line it edits (index -1, atom defaults).
    virtual void clear_pane() {}
    // The numbered display and the parameter list show the model again.
    virtual void refresh_display() {}
    // Selects the first atom line and shows it in the pane.
    virtual void show_first_line() {}
    virtual void update_lock_button(bool read_only) { (void)read_only; }
    // The name box shows no selection.
    virtual void clear_name_selection() {}
    // The name box selects the name, adding it when missing.
    virtual void select_name(const std::string& name) { (void)name; }
    // Both macro name lists (this page's and the Method Editor's) are rebuilt.
    virtual void refill_name_lists() {}
    // The Method Editor forgets its selected call line when it shows this macro.
    virtual void method_editor_forget_line_if_showing(const std::string& name) { (void)name; }
};

enum class MacroLoadResult {
    no_name,   // an empty name: the editor was only cleared
    loaded,    // loaded under its name
    unnamed,   // loaded, but with bad object references: no current name
    refused,   // not loaded: the editor is empty and nameless
};

class MacroDocument {
public:
    // db is the program-wide configuration; it is refilled in place on
    // reload, so the reference stays good.
    explicit MacroDocument(const Context& context);
    MacroDocument(const MacroDocument&) = delete;
    MacroDocument& operator=(const MacroDocument&) = delete;

    void set_hooks(MacroEditorHooks* hooks);  // nullptr: the do-nothing hooks

    // --- the macro ---
    const std::string& name() const { return name_; }  // empty: no file name yet
    std::vector<std::string>& description() { return text_.description; }
    std::vector<std::string>& parameter_lines() { return text_.parameter_lines; }
    std::vector<std::string>& atom_lines() { return text_.atom_lines; }
    const MacroText& text() const { return text_; }
    // The parsed parameters, slot by slot in line order.
    const ParameterTable& parameters() const { return parameters_; }
    // Set by every load and save; without it the editor never asks to save.
    bool load_save_flag() const { return load_save_flag_; }

    // Rebuilds the parameter table from the parameter lines; false when a
    // line fails (its message has been shown).
    bool rebuild_parameter_table();
    // The argument check of every atom line (first failure shown).
    bool check_atom_lines() const;

    // --- document operations ---
    MacroLoadResult load(const std::string& name);
    bool save();
    bool save_as();
    bool changed() const;
    // Asks whether to save a changed, loaded or saved, named macro; yes saves.
    // False only when a save was wanted and failed.
    bool ask_to_save();
    // An empty macro of that name (no file is written).
    void new_macro(const std::string& name);
    // Deletes the selected macro's file after asking; the editor is then empty
    // and nameless. False when nothing was deleted.
    bool delete_macro(const std::string& selected_name);
    void toggle_write_protection();
    // The current macro's file has no write permission.
    bool is_read_only() const;

    // Empties the editor with an empty name.
    void clear();

private:
    void clear_content();
    bool save_checks();
    bool write_under(const std::string& name);
    bool save_as_after_checks();

    Context context_;
    const ConfigDb& db_;
    const MethodFolder& folder_;
    MacroEditorHooks default_hooks_;
    MacroEditorHooks* hooks_;
    std::string name_;
    MacroText text_;
    ParameterTable parameters_;
    bool load_save_flag_ = false;
};

}  // namespace kelvo
