#include "language/qt/macro_parameter_list.h"

#include "config/config_db.h"
#include "ground/prompts.h"
#include "ground/qt/qt_text.h"
#include "language/macro.h"
#include "language/qt/add_param_form.h"

#include <QDropEvent>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace kelvo {
namespace {

// A parameter line travels in a drag under this type, as Windows-1252 bytes.
const char* const parameter_mime_type = "application/x-cadenzor-macro-parameter";

}  // namespace

// `parameter_box`: a list that hands out the pressed parameter's line when a
// drag starts.
class MacroParameterList::List final : public QListWidget {
public:
    explicit List(MacroParameterList* owner) : QListWidget(owner), owner_(owner) {}

protected:
    QStringList mimeTypes() const override { return {QString::fromLatin1(parameter_mime_type)}; }
    QMimeData* mimeData(const QList<QListWidgetItem*>& items) const override
    {
        QListWidgetItem* item = currentItem();
        if (!items.contains(item)) item = items.isEmpty() ? nullptr : items.first();
        if (!item) return nullptr;
        const std::string line = from_qstring(item->text());
        owner_->dragged_ = line;
        auto* data = new QMimeData;
        data->setData(QString::fromLatin1(parameter_mime_type),
                      QByteArray(line.data(), static_cast<qsizetype>(line.size())));
        return data;
    }
    void startDrag(Qt::DropActions actions) override
    {
        QListWidget::startDrag(actions);
        owner_->dragged_.clear();
    }

private:
    MacroParameterList* owner_;
};

MacroParameterList::MacroParameterList(std::vector<std::string>& lines, std::function<void(int)> changed,
                                       QWidget* page)
    : QGroupBox("Macro Variables", page), lines_(lines), changed_(std::move(changed))
{
    setObjectName("parameter_group");
    list = new List(this);
    list->setObjectName("parameter_box");
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setDragEnabled(true);
    list->setDragDropMode(QAbstractItemView::DragOnly);
    insert_button = new QPushButton("I&nsert", this);
    insert_button->setObjectName("insert_param_button");
    delete_button = new QPushButton("D&elete", this);
    delete_button->setObjectName("delete_param_button");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(insert_button);
    buttons->addWidget(delete_button);
    layout->addLayout(buttons);

    connect(insert_button, &QPushButton::clicked, this, [this] { insert_line(); });
    connect(delete_button, &QPushButton::clicked, this, [this] { delete_lines(); });
    connect(list, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) { edit_line(list->row(item)); });
}

void MacroParameterList::show_lines(int select_row)
{
    const QSignalBlocker block(list);
    list->clear();
    for (const std::string& line : lines_) list->addItem(to_qstring(line));
    if (select_row >= 0 && select_row < list->count()) list->setCurrentRow(select_row);
}

std::string MacroParameterList::asked_line(int position)
{
    return dialog_ ? dialog_(lines_, position) : form().execute(config(), lines_, position);
}

void MacroParameterList::insert_line()
{
    if (lines_.size() >= static_cast<std::size_t>(macro_parameter_capacity)) {
        show_error("Only " + std::to_string(macro_parameter_capacity) + " parameters are allowed in a macro!");
        return;
    }
    const std::string line = asked_line(-1);
    if (line.empty()) return;
    QListWidgetItem* current = list->currentItem();
    const int row = current && current->isSelected() ? list->row(current) + 1 : 0;
    lines_.insert(lines_.begin() + row, line);
    changed_(row);
}

void MacroParameterList::edit_line(int row)
{
    if (row < 0 || row >= static_cast<int>(lines_.size())) return;
    const std::string line = asked_line(row);
    if (line.empty()) return;
    lines_[static_cast<std::size_t>(row)] = line;
    changed_(row);
}

void MacroParameterList::delete_lines()
{
    std::vector<int> rows;
    for (QListWidgetItem* item : list->selectedItems()) rows.push_back(list->row(item));
    if (rows.empty()) return;
    std::sort(rows.rbegin(), rows.rend());
    for (int row : rows)
        if (row >= 0 && row < static_cast<int>(lines_.size())) lines_.erase(lines_.begin() + row);
    changed_(-1);
}

Tadd_param_form& MacroParameterList::form()
{
    if (!form_) form_ = new Tadd_param_form(window());
    return *form_;
}

void MacroParameterList::take_drops(QWidget* target, Taker take)
{
    target->setAcceptDrops(true);
    target->installEventFilter(this);
    takers_.emplace_back(target, std::move(take));
}

bool MacroParameterList::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QGroupBox::eventFilter(watched, event);
    const auto taker =
        std::find_if(takers_.begin(), takers_.end(), [watched](const auto& t) { return t.first == watched; });
    auto* drop = static_cast<QDropEvent*>(event);
    const std::optional<std::string> line = carried_line(drop->mimeData());
    if (taker == takers_.end() || !line) return QGroupBox::eventFilter(watched, event);
    if (taker->second(*line, type == QEvent::Drop)) drop->acceptProposedAction();
    else drop->ignore();
    if (type == QEvent::Drop) dragged_.clear();
    return true;
}

std::optional<std::string> MacroParameterList::carried_line(const QMimeData* data)
{
    const QString format = QString::fromLatin1(parameter_mime_type);
    if (!data || !data->hasFormat(format)) return std::nullopt;
    const QByteArray bytes = data->data(format);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

}  // namespace kelvo
