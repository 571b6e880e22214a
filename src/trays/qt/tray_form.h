#pragma once
// The vial selection dialog: the trays of one holder in a side view, the
// current tray in a top view with a circle per vial position, and a one-row
// default sheet for the other columns of the rows it adds to the sample
// list. Right-clicking a tray in the side view changes its tray type.
//
// The dialog draws only what the core (tray_geometry, vial_selection,
// tray_types) computed; it knows the sample list and the instrument only
// through TrayFormHooks.
#include "trays/tray_geometry.h"
#include "trays/vial_selection.h"

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QMenu;
class QPushButton;

namespace kelvo {

class ConfigDb;
class SpreadGrid;

inline constexpr const char* no_vials_selected_text = "No vials are selected!";
inline constexpr const char* too_many_vials_text = "At most 1000 vials can be added at a time!";
// How long the vial number hint stays up.
inline constexpr int tray_hint_ms = 3000;

struct TrayFormHooks {
    // Add rows for selected vials: vials ascending, the current tray, insert
    // at the current row (true) or append after the last row.
    std::function<void(const std::vector<int>& vials, const std::string& tray, bool insert)> add_rows;
    // Each time the dialog opens: load the tray page defaults into the sheet
    // and set it up (columns, headings, formats).
    std::function<void(SpreadGrid& sheet)> load_defaults;
    // Closing: save the sheet's values as the tray page defaults.
    std::function<void(SpreadGrid& sheet)> save_defaults;
    // Sends a status command to the instrument; completion runs when it is
    // answered.
    std::function<void(const std::string& command, std::function<void()> completion)> send_status_command;
};

class Ttray_form : public QDialog {
    Q_OBJECT
public:
    // db: the configuration (not owned; the program's by default).
    explicit Ttray_form(QWidget* parent = nullptr, ConfigDb* db = nullptr);
    ~Ttray_form() override;

    void set_hooks(TrayFormHooks hooks) { hooks_ = std::move(hooks); }
    TrayFormHooks& hooks() { return hooks_; }

    // ---- Controls
    QLabel* holder_label = nullptr;
    QComboBox* tray_holder_box = nullptr;
    QWidget* tray_holder_picture = nullptr;
    QWidget* tray_area = nullptr;  // holds the top view and its caption
    QWidget* tray_picture = nullptr;
    QLabel* tray_label = nullptr;
    QPushButton* select_all_button = nullptr;
    QPushButton* deselect_button = nullptr;
    QPushButton* add_button = nullptr;
    QPushButton* insert_button = nullptr;
    QPushButton* close_button = nullptr;
    SpreadGrid* default_sheet = nullptr;
    QMenu* tray_type_popup = nullptr;

    // ---- State, for the page and for tests
    const std::string& current_tray() const { return current_tray_; }
    const std::string& type_change_tray() const { return type_change_tray_; }
    // The tray whose vials the top view shows.
    const std::string& shown_tray() const { return shown_tray_; }
    const HolderTable& holder_table() const { return table_; }
    HolderLayout holder_layout() const;
    const VialSelection& selection() const { return selection_; }
    const IntRect& tray_box() const { return tray_box_; }
    bool numbers_shown() const { return numbers_shown_; }

    // A configuration has been read: the holder box lists the tray holders,
    // the first one chosen, and the dialog shows it.
    void refresh_from_configuration();
    // The holder chosen in the box: its first tray becomes the current
    // tray, the side view and the top view are drawn anew.
    void refresh();

    // ---- Handlers
    void tray_holder_boxChange();
    void select_all_buttonClick();
    void deselect_buttonClick();
    void add_buttonClick() { add_rows(false); }
    void insert_buttonClick() { add_rows(true); }
    void close_buttonClick();
    void tray_type_popupPopup();
    void tray_type_itemClick(QAction* item);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool picture_event(QEvent* event);
    bool holder_picture_event(QEvent* event);
    void paint_holder();
    void paint_tray();
    void place_grid();
    void add_rows(bool insert);
    void first_activation();
    void sheet_cell_left(int col, int row, int new_col, int new_row);
    void sheet_cell_changed(int col, int row);

    ConfigDb& db_;
    TrayFormHooks hooks_;
    HolderTable table_;
    VialSelection selection_;
    std::string current_tray_;
    std::string type_change_tray_;
    std::string shown_tray_;
    IntRect tray_box_;
    bool activated_ = false;
    bool numbers_shown_ = false;
    int sheet_active_col_ = 0;
    int sheet_active_row_ = 0;
};

}  // namespace kelvo
