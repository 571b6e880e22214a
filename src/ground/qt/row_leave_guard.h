#pragma once
// Keeps a list's selection on the row being edited while that row may not be
// left: a mouse press or double click on another row asks first, before the
// list moves its selection; a refusal swallows the press.
#include <QObject>

#include <functional>

class QListWidget;

namespace kelvo {

class RowLeaveGuard final : public QObject {
public:
    // may_leave(row) is asked for a press on a row (from 0); a press beside
    // the rows passes. The guard belongs to the list.
    RowLeaveGuard(QListWidget* list, std::function<bool(int row)> may_leave);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QListWidget* list_;
    QObject* viewport_;
    std::function<bool(int)> may_leave_;
};

}  // namespace kelvo
