#pragma once
// Paints the cells of a spreadsheet grid and provides the editor of each
// cell type: a line edit for edit and float cells, a combo box for combo-box
// cells; check boxes toggle in place and static text is never edited.
#include <QStyledItemDelegate>

namespace kelvo {

class SpreadModel;

// How cells look; owned by the grid, read by the delegate when painting.
struct SpreadLook {
    // 1: the active cell shows its own background colour (the program paints
    // it), 0: it shows the selection colour like the rest of a block.
    int back_color_style = 0;
    // Bit 0: combo-box buttons are drawn in every combo cell, not only in
    // the active one.
    int button_draw_mode = 0;
};

class SpreadDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    SpreadDelegate(const SpreadModel& model, const SpreadLook& look, QObject* parent);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // Where a combo-box cell draws its button.
    static QRect combo_button_rect(const QRect& cell);

signals:
    // Enter was pressed in an editor; its text has gone to the cell and the
    // editor is closed.
    void enter_pressed();

protected:
    bool editorEvent(QEvent* event, QAbstractItemModel* model, const QStyleOptionViewItem& option,
                     const QModelIndex& index) override;
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    QRect check_rect(const QStyleOptionViewItem& option, const QModelIndex& index) const;

    const SpreadModel& model_;
    const SpreadLook& look_;
};

}  // namespace kelvo
