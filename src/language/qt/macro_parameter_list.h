#pragma once
// The Macro Editor's "Macro Variables": the macro's parameter lines in a list
// with Insert and Delete below it; a double click edits a line. Lines are
// composed in the parameter dialog. A drag hands out the pressed line, for
// the atom pane's arguments to take.
#include <QGroupBox>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class QListWidget;
class QMimeData;
class QPushButton;

namespace kelvo {

class Tadd_param_form;

class MacroParameterList final : public QGroupBox {
public:
    // lines: the macro's parameter lines, edited in place. changed is called
    // after each edit with the row to select (-1: none). The buttons are the
    // page's, created here so that they follow the list in the tab order.
    MacroParameterList(std::vector<std::string>& lines, std::function<void(int select_row)> changed,
                       QWidget* page);

    QListWidget* list = nullptr;             // "parameter_box"
    QPushButton* insert_button = nullptr;    // "I&nsert"
    QPushButton* delete_button = nullptr;    // "D&elete"

    // The list shows the lines again, selecting the row when there is one.
    void show_lines(int select_row);
    // Insert: a new line after the selected one (first without selection).
    void insert_line();
    // The line in the row through the dialog.
    void edit_line(int row);
    // Delete: the selected lines.
    void delete_lines();

    // Returns the parameter line, empty when cancelled. position -1: new.
    using Dialog = std::function<std::string(const std::vector<std::string>& parameter_lines, int position)>;
    void set_dialog(Dialog dialog) { dialog_ = std::move(dialog); }
    // The dialog used by default; created once, on first use.
    Tadd_param_form& form();

    // The line being dragged from the list, empty when none.
    const std::string& dragged() const { return dragged_; }
    // The target takes the lines dragged onto it: take(line, false) tells
    // whether it would, take(line, true) drops the line there; each says
    // whether the line was taken.
    using Taker = std::function<bool(const std::string& line, bool drop)>;
    void take_drops(QWidget* target, Taker take);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class List;

    std::string asked_line(int position);
    // The parameter line a drag carries, nullopt when it carries none.
    static std::optional<std::string> carried_line(const QMimeData* data);

    std::vector<std::string>& lines_;
    std::function<void(int)> changed_;
    Dialog dialog_;
    Tadd_param_form* form_ = nullptr;
    std::string dragged_;
    std::vector<std::pair<QObject*, Taker>> takers_;
};

}  // namespace kelvo
