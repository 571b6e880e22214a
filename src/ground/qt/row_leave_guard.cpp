#include "ground/qt/row_leave_guard.h"

#include <QEvent>
#include <QListWidget>
#include <QMouseEvent>

#include <utility>

namespace kelvo {

RowLeaveGuard::RowLeaveGuard(QListWidget* list, std::function<bool(int row)> may_leave)
    : QObject(list), list_(list), may_leave_(std::move(may_leave))
{
    list_->viewport()->installEventFilter(this);
}

bool RowLeaveGuard::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (watched == list_->viewport() && (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick)) {
        const int row = list_->indexAt(static_cast<QMouseEvent*>(event)->position().toPoint()).row();
        if (row >= 0 && !may_leave_(row)) return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace kelvo
