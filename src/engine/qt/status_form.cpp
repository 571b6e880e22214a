#include "engine/qt/status_form.h"

#include "ground/qt/qt_text.h"
#include "ground/settings.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace kelvo {

Tstatus_form::Tstatus_form(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint)
{
    setObjectName("status_form");
    setWindowTitle("KELVO Status");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 8, 10, 8);
    layout->setSpacing(3);
    const char* names[] = {"running_line", "method_line", "tray_and_vial_line", "atom_status_line"};
    QLabel** lines[] = {&running_line, &method_line, &tray_and_vial_line, &atom_status_line};
    for (int i = 0; i < 4; ++i) {
        auto* l = new QLabel(this);
        l->setObjectName(names[i]);
        l->setTextFormat(Qt::PlainText);
        l->setMinimumHeight(l->fontMetrics().height() + 2);
        layout->addWidget(l);
        *lines[i] = l;
    }
    estimate_line = new QLabel(this);
    estimate_line->setObjectName("estimate_line");
    estimate_line->setTextFormat(Qt::PlainText);
    estimate_line->setMinimumHeight(estimate_line->fontMetrics().height() + 2);
    layout->addWidget(estimate_line);
    QFont bold = running_line->font();
    bold.setBold(true);
    running_line->setFont(bold);
    setLayout(layout);
    // No resizing: a fixed size, wide enough for a long method name.
    setFixedSize(QSize(400, layout->sizeHint().height()));
    restore_position();
}

QLabel* Tstatus_form::label(StatusLine line) const
{
    switch (line) {
    case StatusLine::running: return running_line;
    case StatusLine::method: return method_line;
    case StatusLine::tray_and_vial: return tray_and_vial_line;
    case StatusLine::atom_status: break;
    }
    return atom_status_line;
}

void Tstatus_form::set_line(StatusLine line, const std::string& text) { label(line)->setText(to_qstring(text)); }

void Tstatus_form::set_estimate(const std::string& text) { estimate_line->setText(to_qstring(text)); }

std::string Tstatus_form::line(StatusLine line) const { return from_qstring(label(line)->text()); }

void Tstatus_form::restore_position()
{
    const QScreen* s = QGuiApplication::primaryScreen();
    const QSize screen = s ? s->geometry().size() : QSize(1280, 800);
    const int left = read_setting_integer("Status Left", screen.width() - width());
    const int top = read_setting_integer("Status Top", screen.height() - height());
    move(left, top);
}

void Tstatus_form::store_position() const
{
    write_setting_integer("Status Left", x());
    write_setting_integer("Status Top", y());
}

void Tstatus_form::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // The frame is known only once the window is up: a stored place from a
    // larger screen, or the default corner less the frame, would otherwise
    // leave part of the window out of reach.
    frame_tries_ = 0;
    QTimer::singleShot(0, this, [this] { keep_on_screen(); });
}

void Tstatus_form::keep_on_screen()
{
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!s || !isVisible()) return;
    const QRect area = s->availableGeometry();
    const QRect frame = frameGeometry();
    // A window manager adds its frame a moment after the window shows.
    if (frame == geometry() && ++frame_tries_ < 10) {
        QTimer::singleShot(50, this, [this] { keep_on_screen(); });
    }
    const int left = std::max(area.left(), std::min(frame.left(), area.right() + 1 - frame.width()));
    const int top = std::max(area.top(), std::min(frame.top(), area.bottom() + 1 - frame.height()));
    if (left != frame.left() || top != frame.top()) move(left, top);
}

void Tstatus_form::closeEvent(QCloseEvent* event)
{
    store_position();
    event->accept();
    if (on_closed_by_user) on_closed_by_user();
}

}  // namespace kelvo
