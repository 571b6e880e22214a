#include "app/main_state.h"

#include "ground/cp1252.h"
#include "ground/documents.h"
#include "ground/file_attributes.h"
#include "ground/import_files.h"
#include "ground/log.h"
#include "ground/name_dialogs.h"
#include "ground/prompts.h"
#include "ground/settings.h"
#include "app/window_title.h"

#include <filesystem>
#include <system_error>

namespace kelvo {

std::string document_caption(DocumentCommand command, DocumentKind kind)
{
    const std::string word = page_word(kind);
    switch (command) {
    case DocumentCommand::new_document: return "&New " + word;
    case DocumentCommand::save: return "&Save " + word;
    case DocumentCommand::save_as: return "Save " + word + " &As...";
    case DocumentCommand::delete_document: return "&Delete " + word;
    case DocumentCommand::print: return "&Print " + word;
    }
    return std::string();
}

MainState::MainState(MainView& view) : view_(view), hooks_(&default_hooks_)
{
    ops_.fill(&default_ops_);
}

void MainState::set_document_ops(DocumentKind kind, DocumentOps* ops)
{
    ops_[static_cast<std::size_t>(kind)] = ops ? ops : &default_ops_;
}

DocumentOps& MainState::ops(DocumentKind kind) const { return *ops_[static_cast<std::size_t>(kind)]; }

void MainState::set_hooks(MainHooks* hooks) { hooks_ = hooks ? hooks : &default_hooks_; }

void MainState::set_title() { view_.set_title(window_title(options_.chemstation(), offline_, method_folder())); }

// ---- Page change

namespace {
// Leaving an editor page: write its pane back and, when that worked, offer
// to save its document.
void leave_editor(DocumentOps& ops)
{
    if (ops.write_back()) ops.ask_to_save();
}
}  // namespace

void MainState::page_changed(Page to)
{
    switch (to) {
    case Page::sample_list:
        refresh_names(DocumentKind::sample_list);
        if (previous_page_ == Page::method) leave_editor(ops(DocumentKind::method));
        else if (previous_page_ == Page::macro) leave_editor(ops(DocumentKind::macro));
        view_.prepare_captions();
        refresh_names(DocumentKind::method);
        break;
    case Page::method:
        if (previous_page_ == Page::macro) leave_editor(ops(DocumentKind::macro));
        view_.prepare_captions();
        refresh_names(DocumentKind::method);
        refresh_names(DocumentKind::macro);
        ops(DocumentKind::method).refresh_pane();
        break;
    case Page::macro:
        if (hooks_->sample_list_running()) {
            show_information(macro_page_refused_text);
            view_.show_page(previous_page_);
            return;
        }
        if (previous_page_ == Page::method) leave_editor(ops(DocumentKind::method));
        view_.prepare_captions();
        break;
    }
    previous_page_ = to;
}

// ---- Document commands

void MainState::dispatch(DocumentCommand command, const std::string& caption)
{
    for (DocumentKind kind : all_document_kinds) {
        if (caption != document_caption(command, kind)) continue;
        const std::string name = view_.selected_name(kind);
        switch (command) {
        case DocumentCommand::new_document: new_document(kind); break;
        case DocumentCommand::save: ops(kind).save(name); break;
        case DocumentCommand::save_as: ops(kind).save_as(name); break;
        case DocumentCommand::delete_document: delete_document(kind); break;
        case DocumentCommand::print: ops(kind).print(name); break;
        }
        return;
    }
}

namespace {
struct NewTexts {
    const char* caption;
    const char* label;
};

NewTexts new_texts(DocumentKind kind)
{
    switch (kind) {
    case DocumentKind::sample_list: return {"Choose name of new sample list", "Name of new sample list"};
    case DocumentKind::macro: return {"Choose name of new Macro", "Name of new Macro"};
    case DocumentKind::method: break;
    }
    return {"Choose name of new Method", "Name of new Method"};
}

// What is wrong with a name for a new document; empty when nothing is. A
// parenthesis would break the macro call lines that name it, a separator
// would put the file outside the method folder, and the file name is cut at
// the first "." (so "Version 1.2" would be saved as "Version 1").
std::string new_name_refusal(const std::string& name)
{
    if (name.find_first_of("()") != std::string::npos) return parentheses_refused_text;
    if (name.find_first_of("/\\") != std::string::npos) return separator_refused_text;
    if (name.find('.') != std::string::npos) return dot_refused_text;
    return {};
}

bool remove_file(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::remove(std::filesystem::path(cp1252_to_utf8(path)), ec) && !ec;
}
}  // namespace

void MainState::new_document(DocumentKind kind)
{
    ops(kind).ask_to_save();
    const NewTexts texts = new_texts(kind);
    std::string proposed = view_.selected_name(kind);
    std::string chosen;
    for (;;) {
        if (!ask_new_name(texts.caption, texts.label, proposed, chosen)) return;
        const std::string refusal = new_name_refusal(chosen);
        if (refusal.empty()) break;
        show_error(refusal);
        proposed = chosen;
    }
    start_empty_document(kind, chosen);
    if (kind == DocumentKind::method) hooks_->ask_mounted_syringe();
}

void MainState::delete_document(DocumentKind kind)
{
    const std::string name = view_.selected_name(kind);
    const char* what = kind == DocumentKind::sample_list ? "sample list" : kind == DocumentKind::macro ? "macro" : "method";
    if (name.empty()) {
        show_error(std::string("No ") + what + " to delete");
        return;
    }
    if (!ask_yes_no(std::string("Do you really want to delete ") + what + " " + name)) return;
    const std::string path = program_method_folder().path(folder_document(kind), name);
    // Only a macro reports a file it could not delete; the document is
    // emptied all the same.
    if (!remove_file(path) && kind == DocumentKind::macro) show_error("couldnt delete " + path);
    start_empty_document(kind, "");
    refresh_names(kind);
}

void MainState::start_empty_document(DocumentKind kind, const std::string& name)
{
    view_.show_name(kind, name);
    write_setting_text(document_setting(kind), name);
    ops(kind).start_empty(name);
}

void MainState::refresh_names(DocumentKind kind)
{
    view_.refill_names(kind);
    ops(kind).names_refreshed();
}

void MainState::refresh_all_names()
{
    refresh_names(DocumentKind::method);
    refresh_names(DocumentKind::macro);
    refresh_names(DocumentKind::sample_list);
}

void MainState::import_files(const std::vector<std::string>& files)
{
    import_documents(files, method_folder(), debug_line);
    refresh_all_names();
}

// ---- Method folder

void MainState::store_folder_choice(const std::string& folder, const std::vector<std::string>& list)
{
    set_method_folder(folder);
    write_setting_text("Method Folder", folder);
    write_folder_list(list);
}

void MainState::empty_documents_for_folder()
{
    for (DocumentKind kind : all_document_kinds) start_empty_document(kind, "");
    refresh_names(DocumentKind::macro);
    refresh_names(DocumentKind::sample_list);
    refresh_names(DocumentKind::method);
    DocumentOps& method = ops(DocumentKind::method);
    method.folder_changed();
    method.refresh_pane();
}

void MainState::folder_chosen_from_menu()
{
    empty_documents_for_folder();
    if (offline_) {
        hooks_->offline_fallback();
        hooks_->refresh_vial_dialog();
    } else {
        set_title();
    }
}

// ---- Macro lock

std::string MainState::macro_file() const
{
    const std::string name = view_.selected_name(DocumentKind::macro);
    return name.empty() ? std::string() : document_path(name, macro_extension);
}

void MainState::toggle_macro_lock()
{
    const std::string path = macro_file();
    if (!path.empty()) toggle_read_only(path);
    view_.show_write_protection(!path.empty() && is_read_only(path));
    ops(DocumentKind::macro).refresh_pane();
}

// ---- Instrument

void MainState::reload_configuration() { hooks_->reload_configuration(); }

void MainState::choose_port()
{
    if (hooks_->choose_port()) hooks_->reload_configuration();
}

// ---- Closing

bool MainState::confirm_close() const
{
    if (closed_ || !started_program_ || !hooks_->sample_list_running()) return true;
    return ask_yes_no(exit_while_running_text);
}

void MainState::close()
{
    if (closed_) return;
    closed_ = true;
    hooks_->release_single_instance();
    if (!started_program_) return;
    switch (view_.front_page()) {
    case Page::sample_list: ops(DocumentKind::sample_list).ask_to_save(); break;
    case Page::method:
    case Page::macro: {
        DocumentOps& editor = ops(view_.front_page());
        editor.write_back();
        editor.ask_to_save();
        break;
    }
    }
    log_only("Closed program");
    write_setting_text("Macro", view_.selected_name(DocumentKind::macro));
    write_setting_text("Method", view_.selected_name(DocumentKind::method));
    write_setting_text("Sample List", view_.selected_name(DocumentKind::sample_list));
    write_setting_text("Method Folder", method_folder());
    if (view_.status_window_on()) view_.store_status_position();
    view_.store_window_centre();
}

}  // namespace kelvo
