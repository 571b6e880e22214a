#include "ground/qt/list_row_hints.h"

#include <QEvent>
#include <QListWidget>
#include <QMouseEvent>

#include <utility>

namespace kelvo {

ListRowHints::ListRowHints(QListWidget* list, std::function<QString(int row)> hint)
    : QObject(list), list_(list), viewport_(list->viewport()), hint_(std::move(hint))
{
    list_->setMouseTracking(true);
    list_->viewport()->setMouseTracking(true);
    viewport_->installEventFilter(this);
}

void ListRowHints::show_row(int row)
{
    if (row == row_) return;
    row_ = row;
    // Off the rows there is nothing to ask (the list may be going down with
    // its page when the mouse leaves).
    list_->setToolTip(row < 0 ? QString() : hint_(row));
}

bool ListRowHints::eventFilter(QObject* watched, QEvent* event)
{
    // The viewport's events go on while the list is being taken down: the
    // list is touched only for the mouse.
    if (watched == viewport_) {
        if (event->type() == QEvent::MouseMove) {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            show_row(list_->indexAt(mouse->position().toPoint()).row());
        } else if (event->type() == QEvent::Leave) {
            show_row(-1);
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace kelvo
