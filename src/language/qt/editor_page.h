#pragma once
// What the Macro Editor and the Method Editor pages have in common: the name
// box, the description, the numbered line list, and the pane of slots in
// which one line is composed (a label with a text box or a drop-down box per
// argument, Insert / Replace / Delete / Default All, and the pop-up of a text
// box). Each page builds these parts under its own captions and object names
// and supplies what its document does with a line.
#include <QWidget>

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

namespace kelvo {

struct PaneContent;

// The pane has this many slots; values beyond them are carried unchanged.
inline constexpr int editor_pane_slots = 14;

// The index (from 0) of the first entry equal to the name (same_text), -1
// when none.
int index_of_name(const QComboBox* box, const std::string& name);
// Selects the name in the box, adding it first when the box lacks it.
void select_or_add(QComboBox* box, const std::string& name);

class EditorPage : public QWidget {
    Q_OBJECT
public:
    // One slot of the pane: the label, the text box of a numeric value, the
    // drop-down box of a choice.
    struct PaneSlot {
        QLabel* label = nullptr;
        QLineEdit* text = nullptr;
        QComboBox* box = nullptr;
    };

    // The captions and object names of the shared widgets, in the page's
    // own words.
    struct Names {
        const char* name_caption;
        const char* name_group;
        const char* name_box;
        const char* description_caption;
        const char* description_box;
        const char* sequence_caption;
        const char* line_box;
        const char* pane_caption;
        const char* pane_group;
        const char* pane_choice_box;
        // With %1 for the slot number (from 1).
        const char* slot_label;
        const char* slot_text;
        const char* slot_box;
        const char* insert_button;
        const char* replace_button;
        const char* delete_button;
        const char* defaults_button;
        const char* popup;
    };

    // The same object names on both pages.
    QGroupBox* description_group = nullptr;
    QGroupBox* sequence_group = nullptr;

    // The selected line of the line list, -1 when none.
    int selected_line() const;
    // Rebuilds the name box from the method folder, keeping its selection.
    virtual void refill_names() = 0;
    // Inside the main window: the window's name group and box stand in for
    // the page's own, which go away.
    void adopt_name_controls(QGroupBox* group, QComboBox* box);
    // The line the pane would build now (messages shown on failure).
    virtual std::optional<std::string> build_pane_line() = 0;

    // The save-name dialog, replaceable for scripted tests.
    using SaveNameAsker =
        std::function<std::optional<std::string>(const std::string& caption, const std::string& current)>;
    void set_save_name_asker(SaveNameAsker asker) { save_name_asker_ = std::move(asker); }

protected:
    explicit EditorPage(QWidget* parent) : QWidget(parent) {}

    // --- building, in this order (the order of creation is the tab order) ---
    // The name group; with a lock name, a tool button ahead of the name box
    // (returned).
    QToolButton* build_name_group(const Names& names, const char* lock_name = nullptr);
    void build_description(const Names& names);
    void build_sequence(const Names& names);
    void build_pane(const Names& names);
    // Name group, middle group and description on the left, then the line
    // list and the pane.
    void lay_out(QWidget* middle, int middle_stretch);
    // A push button of the page with its object name.
    QPushButton* button(const char* name, const char* caption);

    // --- the name box ---
    // Selects the name (adding it when missing), none when empty.
    void set_shown_name(const std::string& name);
    // The save-name dialog (the scripted one when set).
    std::optional<std::string> asked_save_name(const std::string& caption, const std::string& current);

    // --- the description box: its text as lines, and back ---
    static QString joined_lines(const std::vector<std::string>& lines);
    static std::vector<std::string> split_lines(const std::string& text);

    // --- the line list ---
    // Selects the row (none when out of range) without announcing it.
    void select_line(int row);
    // Fills the list anew and selects the row.
    void show_lines(const std::vector<std::string>& entries, int select_row);
    // With as many entries as shown only the texts change: the selection is
    // left alone, as a click may be moving it right now. Otherwise as
    // show_lines.
    void update_lines(const std::vector<std::string>& entries, int select_row);
    bool updating_lines() const { return updating_; }

    // --- the pane ---
    // Slot i shows a text box, or a drop-down box of the entries with the
    // value selected (the first entry when value is nullptr; a value the
    // entries lack is kept as it is).
    void show_text_slot(std::size_t i, const std::string& label, const std::string& hint, const std::string& text);
    void show_choice_slot(std::size_t i, const std::string& label, const std::string& hint,
                          const std::vector<std::string>& entries, const std::string* value);
    // Shows the content's slots, hides the slots beyond them and carries the
    // content's hidden values.
    void show_content(const PaneContent& content);
    // Fills a slot's drop-down box as show_choice_slot does.
    static void fill_choice(QComboBox* box, const std::vector<std::string>& entries, const std::string* value);
    // Hides the slots from this one on; the slots before it are the shown ones.
    void hide_slots(std::size_t from);
    // The shown slots' texts (a choice without selection is empty), then the
    // values carried beyond the slots.
    std::vector<std::string> pane_texts() const;
    // Values beyond the slots, carried unchanged.
    std::vector<std::string> hidden_values_;

    // The pane's buttons: Insert (the pane's line after the selected one),
    // Replace (the selected line), Delete (the selected line) and Default
    // All (every text box its default).
    void insert_pane_line();
    void replace_pane_line();
    void delete_selected_line();
    void set_pane_defaults();
    // Fills the pop-up for the text box in the slot (from 0), and takes the
    // chosen item into that box.
    void prepare_popup(int slot);
    void take_popup_choice(QAction* item);

    // What the page's document does with a line (selected_row -1: none).
    virtual void insert_line(int selected_row, const std::string& line) = 0;
    virtual void replace_line(int row, const std::string& line) = 0;
    virtual void delete_line(int row) = 0;
    // What Default All puts into the text box of the slot.
    virtual std::string slot_default(std::size_t slot) const = 0;
    // The pop-up's items for the text box of the slot: "Default: ..." first.
    virtual std::vector<std::string> popup_items(std::size_t slot) const = 0;

    QGroupBox* name_group = nullptr;
    QComboBox* name_box = nullptr;
    QPlainTextEdit* description_box = nullptr;
    QListWidget* line_box = nullptr;
    QGroupBox* pane_group = nullptr;
    QComboBox* pane_choice_box = nullptr;
    std::array<PaneSlot, editor_pane_slots> pane_slots{};
    QPushButton* insert_button = nullptr;
    QPushButton* replace_button = nullptr;
    QPushButton* delete_button = nullptr;
    QPushButton* defaults_button = nullptr;
    QMenu* pane_popup = nullptr;

    // The name the name box showed before the user's last pick.
    std::string shown_name_;

private:
    std::array<bool, editor_pane_slots> slot_is_choice_{};
    std::size_t shown_slots_ = 0;
    int popup_slot_ = -1;
    bool updating_ = false;
    SaveNameAsker save_name_asker_;
};

}  // namespace kelvo
