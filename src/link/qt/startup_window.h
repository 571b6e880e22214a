#pragma once
// What start-up needs of the main window. The main window implements it and
// the composition root hands it to start-up, so that start-up sees the
// window only through these calls.
#include "ground/document_kind.h"

#include <string>

class QTimer;
class QWidget;

namespace kelvo {

class DocumentOps;

class StartupWindow {
public:
    virtual ~StartupWindow() = default;

    // The window itself: parent of the link's forms, shown, raised, watched
    // for closing and closed by start-up.
    virtual QWidget* window_widget() = 0;
    // The service timer `kelvo_service_timer`: start-up sets its interval,
    // starts it and ticks the link on it.
    virtual QTimer* service_timer() = 0;
    // The splash `Tkelvo_splash`.
    virtual QWidget* splash_widget() = 0;
    // True once the window has been closed for good.
    virtual bool window_closed() const = 0;

    // ---- first activation
    // Writes "Started program" (log and status bar) and marks start-up as
    // complete.
    virtual void mark_started_program() = 0;
    virtual void prepare_captions() = 0;
    // Refills all three name boxes from the method folder.
    virtual void fill_name_boxes() = 0;
    // With no method folder: the folder dialog, then empty documents.
    virtual void choose_method_folder_at_start() = 0;
    // The status window's lines as they are with no sample list running.
    virtual void reset_status_window() = 0;
    // The status window on or off by the "Status Box" setting.
    virtual void apply_status_box_setting() = 0;

    // ---- while the chain runs
    virtual void set_status_text(const std::string& text) = 0;
    virtual void status_window_first_line(const std::string& text) = 0;
    virtual void set_offline(bool offline) = 0;
    virtual void set_title() = 0;
    virtual void set_firmware_version(const std::string& version) = 0;
    // The method folder dialog; a chosen folder is stored and the name boxes
    // are refilled.
    virtual void choose_method_folder_dialog() = 0;

    // ---- documents
    // Whether the page of the kind of document is shown.
    virtual bool document_page_enabled(DocumentKind kind) const = 0;
    // The kind's name box shows the name (empty: no selection).
    virtual void show_name(DocumentKind kind, const std::string& name) = 0;
    virtual DocumentOps& document_ops(DocumentKind kind) = 0;
};

}  // namespace kelvo
