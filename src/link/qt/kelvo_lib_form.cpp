#include "link/qt/kelvo_lib_form.h"

#include "config/program_context.h"
#include "ground/qt/qt_text.h"
#include "ground/qt/window_place.h"
#include "link/qt/qt_serial_port.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace kelvo {

namespace {
QListWidget* make_list(const char* name)
{
    auto* list = new QListWidget;
    list->setObjectName(name);
    list->setUniformItemSizes(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

QWidget* titled(const char* title, QListWidget* list)
{
    auto* box = new QWidget;
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(title));
    layout->addWidget(list, 1);
    return box;
}
}  // namespace

Tkelvo_lib::Tkelvo_lib(QWidget* parent, SerialPort* port) : QWidget(parent, Qt::Window)
{
    setObjectName("kelvo_lib");
    setWindowTitle("Kelvo Link");
    if (!port) {
        owned_port_ = std::make_unique<QtSerialPort>();
        port = owned_port_.get();
    }
    port_ = port;
    link_ = std::make_unique<KelvoLink>(*port_, program_context().prompts);
    // The window stands between the port and the link, so the handlers
    // below see every event first.
    port_->set_events(this);
    link_->set_ui(this);

    debug_box = make_list("debug_box");
    return_box = make_list("return_box");
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(titled("Debug", debug_box), 1);
    layout->addWidget(titled("Answer", return_box), 1);
    resize(640, 360);

    // Creation: an empty debug list, the window on the stored centre, a
    // fresh link.
    debug_box->clear();
    restore_window_position(this);
    link_->reset();
    debug_route_.emplace([link = link_.get()](const std::string& text) { link->add_debug_line(text); });
}

Tkelvo_lib::~Tkelvo_lib()
{
    restore_cursor();
    port_->set_events(nullptr);
    link_->set_ui(nullptr);
}

void Tkelvo_lib::set_debug_window(bool shown) { setVisible(shown); }

void Tkelvo_lib::showEvent(QShowEvent* event)
{
    link_->set_debug_visible(true);
    QWidget::showEvent(event);
}

void Tkelvo_lib::hideEvent(QHideEvent* event)
{
    link_->set_debug_visible(false);
    QWidget::hideEvent(event);
}

// ---- Port events

void Tkelvo_lib::portTriggerAvail(const std::string& bytes) { link_->data_available(bytes); }

void Tkelvo_lib::portTimer() { link_->timer_fired(); }

void Tkelvo_lib::portLost(const std::string& reason) { link_->port_lost(reason); }

// ---- LinkUi

void Tkelvo_lib::status_text(const std::string& text)
{
    if (on_status_text) on_status_text(text);
}

void Tkelvo_lib::busy_cursor()
{
    if (cursor_busy_) return;
    cursor_busy_ = true;
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void Tkelvo_lib::restore_cursor()
{
    // Set once, restored once: an unbalanced restore would take away a
    // cursor that someone else set.
    if (!cursor_busy_) return;
    cursor_busy_ = false;
    QApplication::restoreOverrideCursor();
}

void Tkelvo_lib::close_splash_and_show_main()
{
    if (on_close_splash) on_close_splash();
}

void Tkelvo_lib::debug_line_added(const std::string& line)
{
    debug_box->addItem(to_qstring(line));
    debug_box->scrollToBottom();
}

void Tkelvo_lib::answer_lines_changed()
{
    const std::vector<std::string>& lines = link_->return_box();
    const int shown = return_box->count();
    // Lines arrive one at a time; only a cleared list is rebuilt.
    if (static_cast<std::size_t>(shown) <= lines.size()) {
        bool prefix = true;
        if (shown > 0 && return_box->item(shown - 1)->text() != to_qstring(lines[static_cast<std::size_t>(shown) - 1]))
            prefix = false;
        if (prefix) {
            for (std::size_t i = static_cast<std::size_t>(shown); i < lines.size(); ++i)
                return_box->addItem(to_qstring(lines[i]));
            return;
        }
    }
    return_box->clear();
    for (const std::string& l : lines) return_box->addItem(to_qstring(l));
}

}  // namespace kelvo
