#include "language/qt/editor_page_ops.h"

#include "ground/qt/list_ops.h"
#include "ground/text_utils.h"
#include "language/qt/macro_page.h"
#include "language/qt/method_page.h"

namespace kelvo {

// ---------------------------------------------------------------------------
// The Macro Editor

void MacroPageOps::save(const std::string&) { page_.document().save(); }

void MacroPageOps::save_as(const std::string&) { page_.document().save_as(); }

void MacroPageOps::print(const std::string&) { emit page_.print_requested(); }

void MacroPageOps::ask_to_save() { page_.document().ask_to_save(); }

bool MacroPageOps::write_back() { return page_.write_back_pane(); }

void MacroPageOps::start_empty(const std::string& name) { page_.document().new_macro(name); }

void MacroPageOps::name_selected(const std::string& name)
{
    // Picking the macro already shown changes nothing.
    if (!name.empty() && same_text(name, page_.shown_name_)) return;
    page_.select_macro(name);
}

void MacroPageOps::names_refreshed()
{
    page_.refill_names();
    emit page_.macro_names_changed();
}

void MacroPageOps::refresh_pane() { page_.update_lock_button(page_.document().is_read_only()); }

// ---------------------------------------------------------------------------
// The Method Editor

void MethodPageOps::save(const std::string&) { page_.document().save(); }

void MethodPageOps::save_as(const std::string&) { page_.document().save_as(); }

void MethodPageOps::print(const std::string&) { emit page_.print_requested(); }

// Unsaved entries in the pane count as changes: they go into the method
// before the question.
void MethodPageOps::ask_to_save()
{
    if (page_.document().write_back_pane()) page_.document().ask_to_save();
}

bool MethodPageOps::write_back() { return page_.document().write_back_pane(); }

void MethodPageOps::start_empty(const std::string& name)
{
    page_.document().new_method(name);
    page_.shown_name_ = name;
}

void MethodPageOps::name_selected(const std::string& name) { page_.select_method(name); }

void MethodPageOps::names_refreshed()
{
    page_.shown_name_ = selected_name(page_.method_select_box);
    emit page_.method_names_changed();
}

void MethodPageOps::refresh_pane() { page_.refresh_pane(); }

void MethodPageOps::folder_changed()
{
    page_.pane_macro_.clear();
    page_.refill_macro_names();
    page_.clear_pane();
}

}  // namespace kelvo
