#include "trays/qt/tray_form.h"

#include "config/config_db.h"
#include "ground/debug_lines.h"
#include "ground/log.h"
#include "ground/prompts.h"
#include "ground/qt/list_ops.h"
#include "ground/qt/qt_text.h"
#include "ground/qt/spread_grid.h"
#include "ground/qt/window_place.h"
#include "ground/text_utils.h"
#include "trays/tray_types.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QPushButton>
#include <QToolTip>
#include <QVBoxLayout>

namespace kelvo {
namespace {

// Sizes of the two paint boxes; the top view is fitted into the tray box.
constexpr int holder_picture_width = 306;
constexpr int holder_picture_height = 200;
constexpr int tray_area_width = 380;
constexpr int tray_area_height = 330;
constexpr int tray_box_margin = 10;

const QColor aqua(0, 255, 255);
const QColor tray_colour(96, 192, 192);
const QColor selected_colour(255, 0, 0);

QPoint qpoint(const IntPoint& p) { return {p.x, p.y}; }

QPolygon polygon(const IntPoint* points, int n)
{
    QPolygon poly;
    for (int k = 0; k < n; ++k) poly << qpoint(points[k]);
    return poly;
}

}  // namespace

Ttray_form::Ttray_form(QWidget* parent, ConfigDb* db) : QDialog(parent), db_(db ? *db : config())
{
    setObjectName("tray_form");
    setWindowTitle("Trays");
    setModal(false);

    holder_label = new QLabel("Tray Holder:");
    holder_label->setObjectName("holder_label");
    tray_holder_box = new QComboBox;
    tray_holder_box->setObjectName("tray_holder_box");
    tray_holder_box->setMinimumContentsLength(12);

    tray_holder_picture = new QWidget;
    tray_holder_picture->setObjectName("tray_holder_picture");
    tray_holder_picture->setFixedSize(holder_picture_width, holder_picture_height);
    tray_holder_picture->installEventFilter(this);

    tray_area = new QWidget;
    tray_area->setObjectName("tray_area");
    tray_area->setFixedSize(tray_area_width, tray_area_height);
    tray_label = new QLabel(tray_area);
    tray_label->setObjectName("tray_label");
    tray_label->setAlignment(Qt::AlignCenter);
    tray_picture = new QWidget(tray_area);
    tray_picture->setObjectName("tray_picture");
    tray_picture->setMouseTracking(true);  // hints follow the mouse
    tray_picture->installEventFilter(this);
    // The tray box: the paint box as laid out, below room for its caption.
    const int label_height = tray_label->sizeHint().height();
    tray_box_ = {tray_box_margin, tray_box_margin + label_height, tray_area_width - 2 * tray_box_margin,
                 tray_area_height - 2 * tray_box_margin - label_height};
    tray_picture->setGeometry(tray_box_.left, tray_box_.top, tray_box_.width, tray_box_.height);

    auto button = [this](const char* name, const char* caption, void (Ttray_form::*handler)()) {
        auto* b = new QPushButton(caption);
        b->setObjectName(name);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
        return b;
    };
    select_all_button = button("select_all_button", "&Select All", &Ttray_form::select_all_buttonClick);
    deselect_button = button("deselect_button", "&Deselect All", &Ttray_form::deselect_buttonClick);
    add_button = button("add_button", "&Add", &Ttray_form::add_buttonClick);
    insert_button = button("insert_button", "&Insert", &Ttray_form::insert_buttonClick);
    close_button = button("close_button", "&Close", &Ttray_form::close_buttonClick);

    default_sheet = new SpreadGrid;
    default_sheet->setObjectName("default_sheet");
    default_sheet->set_max_rows(1);
    default_sheet->setMinimumHeight(3 * default_sheet->fontMetrics().height() + 16);
    default_sheet->setMaximumHeight(4 * default_sheet->fontMetrics().height() + 24);
    connect(default_sheet, &SpreadGrid::OnLeaveCell, this, &Ttray_form::sheet_cell_left);
    connect(default_sheet, &SpreadGrid::OnChange, this, &Ttray_form::sheet_cell_changed);

    tray_type_popup = new QMenu(this);
    tray_type_popup->setObjectName("tray_type_popup");
    for (int k = 0; k < tray_type_menu_capacity; ++k) tray_type_popup->addAction(QString())->setVisible(false);
    connect(tray_type_popup, &QMenu::aboutToShow, this, &Ttray_form::tray_type_popupPopup);
    connect(tray_type_popup, &QMenu::triggered, this, &Ttray_form::tray_type_itemClick);

    auto* holder_row = new QHBoxLayout;
    holder_row->addWidget(holder_label);
    holder_row->addWidget(tray_holder_box, 1);
    auto* left = new QVBoxLayout;
    left->addLayout(holder_row);
    left->addWidget(tray_holder_picture);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {select_all_button, deselect_button, add_button, insert_button, close_button})
        buttons->addWidget(b);
    left->addLayout(buttons);
    left->addStretch(1);
    auto* top = new QHBoxLayout;
    top->addLayout(left);
    top->addWidget(tray_area);
    auto* whole = new QVBoxLayout(this);
    whole->addLayout(top);
    whole->addWidget(default_sheet);

    connect(tray_holder_box, &QComboBox::currentIndexChanged, this, [this] { tray_holder_boxChange(); });

    adjustSize();
    centre_on_screen(this);
    refresh_from_configuration();
}

Ttray_form::~Ttray_form() = default;

// ---- Refreshing

void Ttray_form::refresh_from_configuration()
{
    {
        const QSignalBlocker block(tray_holder_box);
        tray_holder_box->clear();
        for (const std::string& name : objects_of_class(db_, "TRAY_HOLDER"))
            tray_holder_box->addItem(to_qstring(name));
        tray_holder_box->setCurrentIndex(tray_holder_box->count() > 0 ? 0 : -1);
    }
    refresh();
}

void Ttray_form::refresh()
{
    const std::string holder = from_qstring(tray_holder_box->currentText());
    current_tray_ = first_tray_on_holder(db_, holder);
    table_ = build_holder_table(db_, holder, debug_line);
    tray_holder_picture->update();
    place_grid();
}

void Ttray_form::tray_holder_boxChange() { refresh(); }

HolderLayout Ttray_form::holder_layout() const
{
    return layout_holder(table_, tray_holder_picture->width(), tray_holder_picture->height());
}

void Ttray_form::place_grid()
{
    TrayGrid grid;
    if (!current_tray_.empty()) {
        const std::string type = db_.tray_type(current_tray_);
        grid = tray_grid(db_, type);
        if (grid.too_large)
            debug_line("Tray type " + type + " has more than " + std::to_string(tray_side_capacity) +
                       " positions on a side; its vials are not shown");
    }
    const TrayPicture picture = place_tray_grid(grid, tray_box_);
    selection_.reset(grid, picture);
    shown_tray_ = current_tray_;
    numbers_shown_ = false;
    if (!selection_.picture().empty()) {
        const QFontMetrics fm(tray_picture->font());
        const QString largest = QString::number(grid.q * grid.r);
        numbers_shown_ = numbers_fit(fm.horizontalAdvance(largest), fm.height(), picture.radius);
    }
    tray_picture->setGeometry(picture.rect.left, picture.rect.top, picture.rect.width, picture.rect.height);
    tray_picture->setToolTip(QString());
    tray_label->setText(current_tray_.empty() ? QString()
                                              : to_qstring(current_tray_ + ":" + db_.tray_type(current_tray_)));
    const int label_height = tray_label->sizeHint().height();
    tray_label->setGeometry(0, picture.rect.top - label_height, tray_area_width, label_height);
    tray_picture->update();
}

// ---- Activation and closing

void Ttray_form::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!activated_) first_activation();
    // The defaults are loaded each time the dialog opens (not on every
    // activation, which would throw away what was typed into the sheet
    // while working beside the main window).
    if (hooks_.load_defaults) hooks_.load_defaults(*default_sheet);
    sheet_active_col_ = sheet_active_row_ = 0;
    tray_holder_picture->update();
}

void Ttray_form::first_activation()
{
    activated_ = true;
    refresh();
}

void Ttray_form::closeEvent(QCloseEvent* event)
{
    if (hooks_.save_defaults) hooks_.save_defaults(*default_sheet);
    QDialog::closeEvent(event);
}

void Ttray_form::close_buttonClick() { close(); }

// ---- Drawing

void Ttray_form::paint_holder()
{
    QPainter p(tray_holder_picture);
    p.fillRect(tray_holder_picture->rect(), palette().color(QPalette::Button));
    const HolderLayout layout = holder_layout();
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    for (const HolderLevel& level : layout.levels) p.drawPolygon(polygon(level.outline, 4));
    const QFontMetrics fm(p.font());
    for (const HolderTrayShape& s : layout.trays) {
        const HolderTray& tray = table_.trays[static_cast<std::size_t>(s.table_index)];
        p.setBrush(same_text(tray.name, current_tray_) ? aqua : tray_colour);
        p.drawPolygon(polygon(s.corners, 4));
        const QString label = to_qstring(tray.name + ":" + db_.tray_type(tray.name));
        const int tw = fm.horizontalAdvance(label);
        p.drawText(QRect(s.label_centre.x - tw / 2, s.label_centre.y - fm.height() / 2, tw, fm.height()),
                   Qt::AlignCenter, label);
    }
}

void Ttray_form::paint_tray()
{
    const TrayPicture& picture = selection_.picture();
    if (shown_tray_.empty() || picture.empty()) return;
    QPainter p(tray_picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(tray_picture->rect(), aqua);
    const TrayGrid& grid = selection_.grid();
    const int R = picture.radius;
    for (int i = 0; i < grid.q; ++i)
        for (int j = 0; j < grid.r; ++j) {
            const QColor colour = selection_.selected(i, j) ? selected_colour : QColor(Qt::black);
            p.setPen(colour);
            p.setBrush(colour);
            const IntPoint c = picture.centre(i, j);
            p.drawEllipse(qpoint(c), R, R);
            if (numbers_shown_) {
                p.setPen(Qt::white);
                p.drawText(QRect(c.x - R, c.y - R, 2 * R + 1, 2 * R + 1), Qt::AlignCenter,
                           QString::number(grid.vial_number(i, j)));
            }
        }
    if (selection_.dragging()) {
        // The rubber band, drawn over the vials while the mouse drags it.
        const IntRect b = selection_.band();
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(Qt::black, 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(b.left, b.top, b.width, b.height);
    }
}

// ---- Mouse and hints

bool Ttray_form::eventFilter(QObject* watched, QEvent* event)
{
    try {
        if (watched == tray_picture) return picture_event(event);
        if (watched == tray_holder_picture) return holder_picture_event(event);
    } catch (const std::exception& e) {
        debug_line(std::string("tray dialog: ") + e.what());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool Ttray_form::holder_picture_event(QEvent* event)
{
    if (event->type() == QEvent::Paint) {
        paint_holder();
        return true;
    }
    if (event->type() != QEvent::MouseButtonRelease) return false;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    const QPoint at = mouse->position().toPoint();
    const int hit = holder_layout().tray_at(at.x(), at.y());
    if (hit < 0) return true;
    const std::string tray = table_.trays[static_cast<std::size_t>(hit)].name;
    current_tray_ = tray;
    tray_holder_picture->update();
    if (mouse->button() == Qt::LeftButton) {
        place_grid();
    } else if (mouse->button() == Qt::RightButton) {
        type_change_tray_ = tray;
        tray_type_popup->popup(mouse->globalPosition().toPoint());
    }
    return true;
}

bool Ttray_form::picture_event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::Paint:
        paint_tray();
        return true;
    case QEvent::MouseButtonPress: {
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        selection_.press(at.x(), at.y());
        tray_picture->update();
        return true;
    }
    case QEvent::MouseMove: {
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        if (selection_.move(at.x(), at.y())) tray_picture->update();
        const auto cell = selection_.picture().cell_at(at.x(), at.y());
        tray_picture->setToolTip(cell ? QString::number(selection_.grid().vial_number(cell->x, cell->y)) : QString());
        return true;
    }
    case QEvent::MouseButtonRelease: {
        if (!selection_.dragging()) return true;
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        selection_.release(at.x(), at.y());
        tray_picture->update();
        return true;
    }
    case QEvent::ToolTip: {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QString text = tray_picture->toolTip();
        if (text.isEmpty()) {
            QToolTip::hideText();
            return true;
        }
        const int R = std::max(selection_.picture().radius, 0);
        const QRect around(help->pos() - QPoint(R, R), help->pos() + QPoint(R, R));
        QToolTip::showText(help->globalPos(), text, tray_picture, around, tray_hint_ms);
        return true;
    }
    default:
        return false;
    }
}

// ---- Buttons

void Ttray_form::select_all_buttonClick()
{
    selection_.select_all();
    tray_picture->update();
}

void Ttray_form::deselect_buttonClick()
{
    selection_.deselect_all();
    tray_picture->update();
}

void Ttray_form::add_rows(bool insert)
{
    const std::vector<int> vials = selection_.selected_vials();
    if (vials.empty()) {
        prompts().show_error(no_vials_selected_text);
        return;
    }
    // The sample list takes at most 1000 vials at a time; more are refused
    // whole rather than cut off unseen.
    if (static_cast<int>(vials.size()) > vial_selection_capacity) {
        prompts().show_error(too_many_vials_text);
        return;
    }
    // The rows name the tray whose vials were picked: a right click makes
    // another tray current without showing it.
    if (hooks_.add_rows) hooks_.add_rows(vials, shown_tray_, insert);
    selection_.deselect_all();
    tray_picture->update();
}

// ---- Tray type menu

void Ttray_form::tray_type_popupPopup()
{
    const QList<QAction*> items = tray_type_popup->actions();
    for (QAction* item : items) item->setVisible(false);
    const std::vector<std::string> types = offered_tray_types(db_, type_change_tray_);
    int filled = 0;
    for (const std::string& type : types) {
        if (filled >= tray_type_menu_capacity) {
            debug_line("Tray " + type_change_tray_ + ": only the first " + std::to_string(tray_type_menu_capacity) +
                       " tray types fit the menu");
            break;
        }
        if (set_popup_choice(tray_type_popup, type, filled)) ++filled;
    }
}

void Ttray_form::tray_type_itemClick(QAction* item)
{
    if (!item || type_change_tray_.empty()) return;
    const std::string tray = type_change_tray_;
    const auto command = change_tray_type(db_, tray, from_qstring(item->text()));
    if (!command) return;
    if (hooks_.send_status_command) {
        ConfigDb& db = db_;
        hooks_.send_status_command(*command, [&db, tray] { log_message(tray_type_changed_text(db, tray)); });
    }
    current_tray_ = tray;
    // The changed type has other extents: the table is built anew.
    table_ = build_holder_table(db_, from_qstring(tray_holder_box->currentText()), debug_line);
    tray_holder_picture->update();
    place_grid();
}

// ---- Default sheet

void Ttray_form::sheet_cell_left(int, int, int new_col, int new_row)
{
    if (new_col <= 0 || new_row <= 0) return;
    if (sheet_active_col_ > 0 && sheet_active_row_ > 0) {
        default_sheet->set_col(sheet_active_col_);
        default_sheet->set_row(sheet_active_row_);
        default_sheet->set_back_color(Qt::white);
    }
    default_sheet->set_col(new_col);
    default_sheet->set_row(new_row);
    default_sheet->set_back_color(aqua);
    sheet_active_col_ = new_col;
    sheet_active_row_ = new_row;
}

void Ttray_form::sheet_cell_changed(int col, int row)
{
    default_sheet->set_col(col);
    default_sheet->set_row(row);
    if (default_sheet->cell_type() == SpreadCellType::combo_box && same_text(from_qstring(default_sheet->text()), "None"))
        default_sheet->set_text(QString());
}

}  // namespace kelvo
