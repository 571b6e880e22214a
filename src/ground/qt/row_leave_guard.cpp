#include "ground/qt/row_leave_guard.h"

#include <QEvent>
#include <QListWidget>
#include <QMouseEvent>

#include <utility>

namespace kelvo {

RowLeaveGuard::RowLeaveGuard(QListWidget* list, std::function<bool(int row)> may_leave)
    : QObject(list), list_(list), viewport_(list->viewport()), may_leave_(std::move(may_leave))
{
    viewport_->installEventFilter(this);
}

bool RowLeaveGuard::eventFilter(QObject* watched, QEvent* event)
{
    // The viewport's events go on while the list is being taken down: only a
    // press touches the list.
    const QEvent::Type type = event->type();
    if ((type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick) && watched == viewport_) {
        const int row = list_->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint()).row();
        if (row >= 0 && !may_leave_(row)) return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace kelvo
