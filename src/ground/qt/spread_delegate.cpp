#include "ground/qt/spread_delegate.h"

#include "ground/qt/spread_model.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QValidator>

namespace kelvo {

namespace {

// Turns whatever is typed into the cell's character case as it is typed.
class CaseValidator final : public QValidator {
public:
    CaseValidator(int char_case, QObject* parent) : QValidator(parent), char_case_(char_case) {}
    State validate(QString& input, int&) const override
    {
        input = char_case_ == SpreadCharCase::upper ? input.toUpper() : input.toLower();
        return Acceptable;
    }

private:
    int char_case_;
};

// Lets a float cell be typed only as a number with the cell's decimal
// character and at most its decimal places. The range is applied when the
// text goes to the cell.
QValidator* float_validator(const SpreadCellFormat& f, QObject* parent)
{
    QString pattern = QStringLiteral("^");
    if (std::min(f.float_min, f.float_max) < 0)
        pattern += QStringLiteral("-?");
    pattern += QStringLiteral("[0-9]*");
    if (f.float_decimals > 0)
        pattern += QStringLiteral("(%1[0-9]{0,%2})?")
                       .arg(QRegularExpression::escape(QString(f.float_decimal_char)))
                       .arg(f.float_decimals);
    pattern += QStringLiteral("$");
    return new QRegularExpressionValidator(QRegularExpression(pattern), parent);
}

const SpreadCellFormat& format_of(const SpreadModel& model, const QModelIndex& index)
{
    return model.format(index.column() + 1, index.row() + 1);
}

}  // namespace

SpreadDelegate::SpreadDelegate(const SpreadModel& model, const SpreadLook& look, QObject* parent)
    : QStyledItemDelegate(parent), model_(model), look_(look)
{
}

QWidget* SpreadDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const
{
    const SpreadCellFormat& f = format_of(model_, index);
    switch (f.cell_type) {
    case SpreadCellType::edit: {
        auto* edit = new QLineEdit(parent);
        edit->setFrame(false);
        if (f.edit_len > 0)
            edit->setMaxLength(f.edit_len);
        if (f.edit_char_case != SpreadCharCase::as_typed)
            edit->setValidator(new CaseValidator(f.edit_char_case, edit));
        return edit;
    }
    case SpreadCellType::float_number: {
        auto* edit = new QLineEdit(parent);
        edit->setFrame(false);
        edit->setAlignment(Qt::AlignRight);
        edit->setValidator(float_validator(f, edit));
        return edit;
    }
    case SpreadCellType::combo_box: {
        auto* combo = new QComboBox(parent);
        combo->addItems(f.combo_items);
        combo->setEditable(f.combo_editable);
        if (f.combo_editable)
            combo->setInsertPolicy(QComboBox::NoInsert);
        return combo;
    }
    default:
        return nullptr;
    }
}

void SpreadDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    const QString text = index.data(Qt::EditRole).toString();
    if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
        edit->setText(text);
    } else if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        const int item = combo->findText(text, Qt::MatchFixedString);  // case-insensitive
        combo->setCurrentIndex(item);
        if (combo->isEditable())
            combo->setEditText(item >= 0 ? combo->itemText(item) : text);
    }
}

void SpreadDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    if (auto* edit = qobject_cast<QLineEdit*>(editor))
        model->setData(index, edit->text(), Qt::EditRole);
    else if (auto* combo = qobject_cast<QComboBox*>(editor))
        model->setData(index, combo->currentText(), Qt::EditRole);
}

QRect SpreadDelegate::check_rect(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const SpreadCellFormat& f = format_of(model_, index);
    const QStyle* style = option.widget ? option.widget->style() : QApplication::style();
    const int w = style->pixelMetric(QStyle::PM_IndicatorWidth, &option, option.widget);
    const int h = style->pixelMetric(QStyle::PM_IndicatorHeight, &option, option.widget);
    const QRect& cell = option.rect;
    int x = cell.left() + 3;
    // A box without a caption sits in the middle unless told otherwise.
    if (f.h_align == SpreadHAlign::center || (f.h_align == SpreadHAlign::automatic && f.check_text.isEmpty()))
        x = cell.left() + (cell.width() - w) / 2;
    else if (f.h_align == SpreadHAlign::right)
        x = cell.right() - 3 - w;
    return {x, cell.top() + (cell.height() - h) / 2, w, h};
}

QRect SpreadDelegate::combo_button_rect(const QRect& cell)
{
    const int side = std::min(cell.height(), 16);
    return {cell.right() - side, cell.top() + (cell.height() - side) / 2, side, side};
}

void SpreadDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const SpreadCellFormat& f = format_of(model_, index);
    const auto* view = qobject_cast<const QAbstractItemView*>(option.widget);
    const bool current = view && view->currentIndex() == index;
    const bool selected = option.state & QStyle::State_Selected;
    const QStyle* style = option.widget ? option.widget->style() : QApplication::style();
    const QRect& cell = option.rect;

    // The viewport is already filled with the plain white; only other
    // colours are painted, which spares a full-screen fill per repaint.
    const QColor back = model_.back_color(index.column() + 1, index.row() + 1);
    if (back.isValid() && back != option.palette.color(QPalette::Base))
        painter->fillRect(cell, back);
    // The selection is laid over the cell colour so that status colours stay
    // visible inside a selected block.
    if (selected && !(current && look_.back_color_style == 1)) {
        QColor highlight = option.palette.color(QPalette::Highlight);
        highlight.setAlpha(110);
        painter->fillRect(cell, highlight);
    }

    QRect text_rect = cell.adjusted(3, 0, -3, 0);
    if (f.cell_type == SpreadCellType::check_box) {
        QStyleOptionViewItem box = option;
        box.rect = check_rect(option, index);
        box.state &= ~(QStyle::State_On | QStyle::State_Off | QStyle::State_Selected);
        box.state |= index.data(Qt::CheckStateRole).toInt() == Qt::Checked ? QStyle::State_On : QStyle::State_Off;
        style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &box, painter, option.widget);
        text_rect.setLeft(box.rect.right() + 4);
    } else if (f.cell_type == SpreadCellType::combo_box && (current || (look_.button_draw_mode & 1))) {
        QStyleOption arrow;
        arrow.initFrom(option.widget);
        arrow.rect = combo_button_rect(cell);
        style->drawPrimitive(QStyle::PE_IndicatorArrowDown, &arrow, painter, option.widget);
        text_rect.setRight(arrow.rect.left() - 2);
    }

    const QString text = index.data(Qt::DisplayRole).toString();
    if (!text.isEmpty()) {
        painter->save();
        painter->setClipRect(cell);
        painter->setFont(option.font);
        painter->setPen(option.palette.color(QPalette::Text));
        const auto align = Qt::Alignment(index.data(Qt::TextAlignmentRole).toInt());
        painter->drawText(text_rect, int(align | Qt::TextSingleLine), text);
        painter->restore();
    }

    if (current) {
        painter->save();
        painter->setPen(QPen(option.palette.color(QPalette::Text), 1));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(cell.adjusted(0, 0, -1, -1));
        painter->restore();
    }
}

bool SpreadDelegate::editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                                 const QModelIndex& index)
{
    // Only check boxes react in place; every other type edits in an editor.
    if (format_of(model_, index).cell_type != SpreadCellType::check_box)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton || !check_rect(option, index).contains(mouse->position().toPoint()))
            return false;
        if (event->type() == QEvent::MouseButtonPress) {
            // Handled here, the press never reaches the view's own cursor
            // move: make the clicked cell the active one (which reports the
            // cell left) before the release toggles it.
            if (auto* view = qobject_cast<QAbstractItemView*>(const_cast<QWidget*>(option.widget)))
                if (view->currentIndex() != index) view->setCurrentIndex(index);
        }
        if (event->type() != QEvent::MouseButtonRelease)
            return true;  // the release toggles
        break;
    }
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Space && key != Qt::Key_Select)
            return false;
        break;
    }
    default:
        return false;
    }
    const bool checked = index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
    return model->setData(index, checked ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
}

bool SpreadDelegate::eventFilter(QObject* object, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        auto* editor = qobject_cast<QWidget*>(object);
        if (editor && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            emit commitData(editor);
            emit closeEditor(editor, QAbstractItemDelegate::NoHint);
            emit enter_pressed();
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

}  // namespace kelvo
