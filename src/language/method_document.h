#pragma once
// The method held by the Method Editor and its document operations: Load
// with its checks, Save, Save As, Changed?, Ask to save, New, Delete, and
// the editing operations of the page (insert, replace and delete a call,
// show a line, write the parameter pane back, change the syringe). The page
// binds its widgets to this model and supplies what only it can do through
// MethodEditorHooks.
#include "config/context.h"
#include "language/method.h"
#include "language/parameter_line.h"

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kelvo {

class ConfigDb;

// Whether a method (its syringe and call lines) expands into a run, with the
// messages of a failure shown. Expansion belongs to the run engine above
// this layer, which supplies it (engine/expand.h: test_expansion).
using ExpansionTest = std::function<bool(const Context& context, const std::string& syringe,
                                         const std::vector<std::string>& calls)>;

// What the Method Editor page supplies. Every hook has a default that does
// nothing (the save-name dialog defaults to the program-wide name dialogs),
// so the model runs headless (tests, the command-line companion).
class MethodEditorHooks {
public:
    virtual ~MethodEditorHooks() = default;
    // The parameter pane builds a call line from its slots (method value
    // check): line holds the shown line on entry and the pane's line on
    // return. False when a value fails (the message has been shown).
    virtual bool call_line_from_pane(std::string& line) { (void)line; return true; }
    // The pane shows call line `index` (its macro selected in
    // `macros_of_method`, the slots filled from the line's values).
    virtual void show_line(int index) { (void)index; }
    // The pane shows no line: empty, or the defaults of the chosen macro.
    virtual void clear_pane() {}
    // The pane shows the defaults of the macro chosen in `macros_of_method`.
    virtual void show_macro_defaults(const std::string& macro) { (void)macro; }
    // The range check replaced values: the pane shows the shown line again.
    virtual void refresh_pane() {}
    // `method_box` (numbers and macro names), the description memo and the
    // syringe box show the model again.
    virtual void refresh_display() {}
    // `syringe_box` selects the syringe.
    virtual void show_syringe(const std::string& syringe) { (void)syringe; }
    // `method_select_box` selects the name, adding it when missing; false when
    // it could not.
    virtual bool select_name(const std::string& name) { (void)name; return true; }
    // `method_select_box` shows no selection.
    virtual void clear_name_selection() {}
    // The method lists (`method_select_box`, the sample list's method column)
    // are rebuilt from the folder.
    virtual void refill_name_lists() {}
    // The Macro Editor follows: asks to save its macro, then loads this one.
    virtual void macro_editor_follow(const std::string& macro) { (void)macro; }
    // The save-name dialog (caption, current name); nullopt when cancelled.
    virtual std::optional<std::string> ask_save_name(const std::string& caption, const std::string& current);
    // The out-of-range dialog of the range check; returns the value to take.
    virtual double ask_out_of_range(const std::string& context, const std::string& unit, double maximum,
                                    double minimum, double proposed, double value)
    {
        (void)context, (void)unit, (void)maximum, (void)minimum, (void)value;
        return proposed;
    }
};

enum class MethodLoadResult {
    loaded,   // loaded under its name
    unnamed,  // loaded without a name (macro update declined, or call values outside their classes)
    refused,  // not loaded (no file, or a check failed: the editor is empty and nameless)
};

// Shown when Save finds no syringe selected.
inline constexpr const char* no_syringe_text = "Please choose the syringe of the method";

class MethodDocument {
public:
    // db is the program-wide configuration; it is refilled in place on
    // reload, so the reference stays good.
    MethodDocument(const Context& context, ExpansionTest expansion_test);
    MethodDocument(const MethodDocument&) = delete;
    MethodDocument& operator=(const MethodDocument&) = delete;

    void set_hooks(MethodEditorHooks* hooks);  // nullptr: the do-nothing hooks

    // --- the method ---
    const std::string& name() const { return name_; }  // empty: no file name
    std::vector<std::string>& description() { return text_.description; }
    // The call lines (`current_method`).
    std::vector<std::string>& calls() { return text_.calls; }
    const MethodText& text() const { return text_; }
    // The syringe selected in `syringe_box`; empty when none.
    const std::string& syringe() const { return text_.syringe; }
    // The objects of the class "SYRINGE" (the entries of `syringe_box`).
    std::vector<std::string> syringe_names() const;
    // Selects a syringe of the configuration (its spelling there); false,
    // and the selection kept, for any other name.
    bool select_syringe(const std::string& syringe);
    // The call line shown in the parameter pane; -1 when none.
    int shown_line() const { return shown_line_; }
    // Set by every successful load and save; without it the editor never
    // asks to save.
    bool load_save_flag() const { return load_save_flag_; }

    // --- document operations ---
    // Load: refused without a message when no file has the name (the caller
    // decides what follows); a check that fails leaves an empty, nameless
    // method.
    MethodLoadResult load(const std::string& name);
    // A name chosen in `method_select_box`: ask to save the method being
    // left, load the chosen one, and start a new method of that name when the
    // load fails.
    MethodLoadResult choose_name(const std::string& name);
    // At start: the last-used method ("Method" setting) is loaded; when that
    // fails no method is selected (and the setting becomes empty).
    MethodLoadResult reopen(const std::string& name);
    bool save();
    bool save_as();
    bool changed() const;
    // Asks whether to save a changed, loaded or saved, named method; yes
    // saves. False only when a save was wanted and failed.
    bool ask_to_save();
    // Empties the sequence, the description and the pane and makes the name
    // (possibly empty) the current one; no file is written.
    void new_method(const std::string& name);
    // Deletes the selected method's file after asking; the editor is then
    // empty and nameless. False when nothing was deleted.
    bool delete_method(const std::string& selected_name);

    // --- editing operations ---
    // The whole method expands (messages of a failure shown).
    bool expansion_test() const;
    // Inserts the line after line `selected` (at the top for -1); kept only
    // when the method still expands, then selected and shown.
    bool insert_call(int selected, const std::string& line);
    // Puts the line in place of line `selected`; the old line comes back when
    // the method no longer expands.
    bool replace_call(int selected, const std::string& line);
    // Removes line `selected`; the line now at its place (or the new last
    // line) is shown, none when the sequence is empty.
    bool delete_call(int selected);
    // A click on line `index` of `method_box`: the pane is written back
    // first; false (the selection goes back to the shown line) when that
    // fails. Otherwise the line is shown and the Macro Editor follows.
    bool click_line(int index);
    // A macro chosen in `macros_of_method`: no line shown, the pane shows the
    // macro's defaults and the Macro Editor follows.
    void choose_macro(const std::string& macro);
    // Writes the pane back into the shown line, then runs the range check.
    // False when the pane's values fail.
    bool write_back_pane();
    // The user chose another syringe: the range check over the whole method.
    void syringe_changed(const std::string& syringe);
    // Clamps the plain-number values of all calls to their parameters'
    // limits (the out-of-range dialog decides); the pane is refreshed when a
    // value changed. False after a message.
    bool range_check();

private:
    using MacroTables = std::vector<std::pair<std::string, ParameterTable>>;
    // The steps of load; the failing ones show their message.
    bool called_macros_exist(const std::string& name, const std::vector<std::string>& lines, std::size_t first_call,
                             std::size_t first_section);
    bool update_changed_macros(const std::string& name, const std::string& path, std::vector<std::string>& lines,
                               std::size_t first_call, std::size_t first_section);
    void take_text(const std::string& name, const std::vector<std::string>& lines);
    bool used_macros_check(const std::string& name, MacroTables& tables);
    std::string object_value_warnings(const MacroTables& tables) const;
    // The name the loaded method keeps: none after warnings (shown here) or
    // a declined macro update.
    MethodLoadResult settle_name(const std::string& name, const std::string& warnings, bool declined);

    void clear_content();
    void show(int index);
    bool write_under(const std::string& name);
    bool save_as_checked();
    bool save_checks();

    Context context_;
    const ConfigDb& db_;
    const MethodFolder& folder_;
    ExpansionTest expansion_test_;
    MethodEditorHooks default_hooks_;
    MethodEditorHooks* hooks_;
    std::string name_;
    MethodText text_;
    int shown_line_ = -1;
    bool load_save_flag_ = false;
    bool reopening_ = false;  // load leaves the "Method" setting alone
};

}  // namespace kelvo
