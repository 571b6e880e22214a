#include "ground/qt/sorted_box.h"

#include <QComboBox>
#include <QStandardItemModel>

#include <memory>

namespace kelvo {
namespace {
constexpr int sort_key_role = Qt::UserRole + 77;

bool less_name(const QString& a, const QString& b)
{
    const int c = QString::compare(a, b, Qt::CaseInsensitive);
    return c != 0 ? c < 0 : a < b;
}

// Moves the single new row to its place among the others, which are sorted:
// a binary search, so that filling a box name by name stays cheap.
void place_row(QStandardItemModel* model, int row)
{
    const QString text = model->item(row)->text();
    const int others = model->rowCount() - 1;
    auto other = [&](int i) { return model->item(i < row ? i : i + 1)->text(); };
    int lo = 0, hi = others;
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (less_name(text, other(mid))) hi = mid;
        else lo = mid + 1;
    }
    if (lo == row) return;
    const QList<QStandardItem*> items = model->takeRow(row);
    model->insertRow(lo, items);
}
}  // namespace

void keep_sorted(QComboBox* box)
{
    auto* model = qobject_cast<QStandardItemModel*>(box->model());
    if (!model) return;
    model->setSortRole(sort_key_role);
    auto moving = std::make_shared<bool>(false);
    QObject::connect(model, &QAbstractItemModel::rowsInserted, box,
                     [model, moving](const QModelIndex& parent, int first, int last) {
                         if (*moving || parent.isValid()) return;
                         *moving = true;
                         if (first == last) {
                             place_row(model, first);
                         } else {
                             for (int i = 0; i < model->rowCount(); ++i)
                                 model->item(i)->setData(model->item(i)->text().toCaseFolded(), sort_key_role);
                             model->sort(0);
                         }
                         *moving = false;
                     });
}

}  // namespace kelvo
