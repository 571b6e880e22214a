#include "ground/qt/list_row_hints.h"

#include <QEvent>
#include <QListWidget>
#include <QMouseEvent>

#include <utility>

namespace kelvo {

ListRowHints::ListRowHints(QListWidget* list, std::function<QString(int row)> hint)
    : QObject(list), list_(list), hint_(std::move(hint))
{
    list_->setMouseTracking(true);
    list_->viewport()->setMouseTracking(true);
    list_->viewport()->installEventFilter(this);
}

void ListRowHints::show_row(int row)
{
    if (row == row_) return;
    row_ = row;
    list_->setToolTip(hint_(row));
}

bool ListRowHints::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == list_->viewport()) {
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
