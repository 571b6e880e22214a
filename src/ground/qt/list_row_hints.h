#pragma once
// The tool tip of a list follows the row under the mouse: each row has its
// own hint, and leaving the list clears it.
#include <QObject>
#include <QString>

#include <functional>

class QListWidget;

namespace kelvo {

class ListRowHints final : public QObject {
public:
    // hint(row) is the tip of the row (from 0); off the rows it is empty. The list
    // tracks the mouse from now on; the hints belong to the list.
    ListRowHints(QListWidget* list, std::function<QString(int row)> hint);

    // Shows the hint of the row (-1: none); nothing when it shows already.
    void show_row(int row);
    // The rows have changed: the next show_row asks for the hint again.
    void forget() { row_ = -2; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QListWidget* list_;
    QObject* viewport_;
    std::function<QString(int)> hint_;
    int row_ = -2;
};

}  // namespace kelvo
