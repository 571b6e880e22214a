// The part both editor pages share: the pane's text and drop-down slots and
// what Insert, Replace, Delete, Default All and the pop-up do with them, on a
// page of its own; and the tab order of the two real pages, which follows
// the order in which their parts are built.
#include "language/qt/editor_page.h"

#include "ground/qt/qt_text.h"
#include "language/qt/macro_page.h"
#include "language/qt/method_page.h"
#include "engine/expand.h"
#include "macro_editor_fixture.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace kelvo;

namespace {

// A page whose lines are kept in a vector and whose pane line is its texts
// joined by commas.
class PlainPage final : public EditorPage {
public:
    PlainPage() : EditorPage(nullptr)
    {
        const Names names{.name_caption = "Name", .name_group = "name_group", .name_box = "name_box",
                          .description_caption = "Description", .description_box = "description_box",
                          .sequence_caption = "Lines", .line_box = "line_box",
                          .pane_caption = "Pane", .pane_group = "pane_group", .pane_choice_box = "choice_box",
                          .slot_label = "label%1", .slot_text = "text%1", .slot_box = "box%1",
                          .insert_button = "insert", .replace_button = "replace",
                          .delete_button = "delete", .defaults_button = "defaults", .popup = "popup"};
        build_name_group(names);
        auto* middle = new QGroupBox("Middle", this);
        build_description(names);
        build_sequence(names);
        build_pane(names);
        lay_out(middle, 0);
    }
    void refill_names() override {}
    std::optional<std::string> build_pane_line() override
    {
        std::string line;
        for (const std::string& t : pane_texts()) line += (line.empty() ? "" : ",") + t;
        return line;
    }
    void show_lines_of_model() { show_lines(lines, selected_line()); }

    using EditorPage::delete_button;
    using EditorPage::defaults_button;
    using EditorPage::hidden_values_;
    using EditorPage::hide_slots;
    using EditorPage::insert_button;
    using EditorPage::line_box;
    using EditorPage::pane_popup;
    using EditorPage::pane_slots;
    using EditorPage::pane_texts;
    using EditorPage::prepare_popup;
    using EditorPage::replace_button;
    using EditorPage::select_line;
    using EditorPage::show_choice_slot;
    using EditorPage::show_text_slot;

    std::vector<std::string> lines;

protected:
    void insert_line(int selected_row, const std::string& line) override
    {
        lines.insert(lines.begin() + (selected_row + 1), line);
        show_lines(lines, selected_row + 1);
    }
    void replace_line(int row, const std::string& line) override
    {
        lines[static_cast<std::size_t>(row)] = line;
        show_lines(lines, row);
    }
    void delete_line(int row) override
    {
        lines.erase(lines.begin() + row);
        show_lines(lines, -1);
    }
    std::string slot_default(std::size_t slot) const override { return "d" + std::to_string(slot); }
    std::vector<std::string> popup_items(std::size_t slot) const override
    {
        return {"Default: d" + std::to_string(slot), "other"};
    }
};

std::vector<std::string> items_of(const QListWidget* list)
{
    std::vector<std::string> items;
    for (int i = 0; i < list->count(); ++i) items.push_back(from_qstring(list->item(i)->text()));
    return items;
}

// The names of the widgets Tab reaches, in the order it reaches them.
std::vector<std::string> tab_order(QWidget* page)
{
    std::vector<std::string> names;
    for (QWidget* w = page->nextInFocusChain(); w && w != page; w = w->nextInFocusChain()) {
        const std::string name = w->objectName().toStdString();
        if ((w->focusPolicy() & Qt::TabFocus) && !name.empty() && name.rfind("qt_", 0) != 0) names.push_back(name);
    }
    return names;
}

std::vector<std::string> slot_names(const char* text, const char* box)
{
    std::vector<std::string> names;
    for (int i = 1; i <= editor_pane_slots; ++i) {
        names.push_back(text + std::to_string(i));
        names.push_back(box + std::to_string(i));
    }
    return names;
}

}  // namespace

TEST(EditorPageTest, SlotsGiveTheirTextsAndTheCarriedValues)
{
    PlainPage page;
    const std::string kept = "lost object";
    page.show_text_slot(0, "Volume (ul)", "Range: 0 to 5", "2.5");
    page.show_choice_slot(1, "Vial", "Vials", {"V1", "V2"}, &kept);
    page.show_choice_slot(2, "Tray", "", {"T1", "T2"}, nullptr);
    page.hide_slots(3);
    page.hidden_values_ = {"beyond"};
    EXPECT_FALSE(page.pane_slots[0].text->isHidden());
    EXPECT_TRUE(page.pane_slots[0].box->isHidden());
    EXPECT_TRUE(page.pane_slots[1].text->isHidden());
    EXPECT_EQ(page.pane_slots[0].label->text(), "Volume (ul)");
    EXPECT_EQ(page.pane_slots[1].box->toolTip(), "Vials");
    EXPECT_TRUE(page.pane_slots[3].label->isHidden());
    // A value the entries lack is kept; without a value the first entry.
    EXPECT_EQ(page.pane_texts(), (std::vector<std::string>{"2.5", kept, "T1", "beyond"}));

    page.pane_slots[0].text->setText("4");
    page.defaults_button->click();
    // Default All touches the text boxes only.
    EXPECT_EQ(page.pane_texts(), (std::vector<std::string>{"d0", kept, "T1", "beyond"}));

    page.prepare_popup(1);
    EXPECT_TRUE(page.pane_popup->isEmpty()) << "no pop-up for a drop-down slot";
    page.prepare_popup(3);
    EXPECT_TRUE(page.pane_popup->isEmpty()) << "no pop-up for a hidden slot";
    page.prepare_popup(0);
    ASSERT_EQ(page.pane_popup->actions().size(), 2);
    page.pane_popup->actions().first()->trigger();
    EXPECT_EQ(page.pane_slots[0].text->text(), "d0");
    page.pane_popup->actions().last()->trigger();
    EXPECT_EQ(page.pane_slots[0].text->text(), "other");
}

TEST(EditorPageTest, InsertReplaceAndDeleteWorkOnTheSelectedLine)
{
    PlainPage page;
    page.show_text_slot(0, "A", "", "a");
    page.hide_slots(1);
    page.insert_button->click();
    page.pane_slots[0].text->setText("b");
    page.insert_button->click();
    EXPECT_EQ(page.lines, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(page.selected_line(), 1);
    page.select_line(0);
    page.pane_slots[0].text->setText("c");
    page.replace_button->click();
    EXPECT_EQ(items_of(page.line_box), (std::vector<std::string>{"c", "b"}));
    page.select_line(-1);
    page.replace_button->click();
    page.delete_button->click();
    EXPECT_EQ(page.lines, (std::vector<std::string>{"c", "b"})) << "nothing selected, nothing replaced or deleted";
    page.select_line(1);
    page.delete_button->click();
    EXPECT_EQ(page.lines, (std::vector<std::string>{"c"}));
    EXPECT_EQ(page.selected_line(), -1);
}

class EditorPageOrderTest : public test::MacroEditorFixture {};

TEST_F(EditorPageOrderTest, TabGoesThroughTheMacroEditorAsBuilt)
{
    MacroEditorPage page;
    std::vector<std::string> expected{"lock_button",         "macro_select_box", "parameter_box", "insert_param_button",
                                      "delete_param_button", "macro_descrip_box", "macro_box",    "select_atom_box"};
    for (const std::string& name : slot_names("atom_param_text", "atom_param_box")) expected.push_back(name);
    for (const char* name : {"add_atom_button", "replace_atom_button", "delete_atom_button", "default_atom_button"})
        expected.push_back(name);
    EXPECT_EQ(tab_order(&page), expected);
}

TEST_F(EditorPageOrderTest, TabGoesThroughTheMethodEditorAsBuilt)
{
    MethodEditorPage page(test_expansion);
    std::vector<std::string> expected{"method_select_box", "syringe_box", "method_descrip_box", "method_box",
                                      "macros_of_method"};
    for (const std::string& name : slot_names("Edit", "ComboBox")) expected.push_back(name);
    for (const char* name :
         {"add_macro_button", "replace_macro_button", "delete_macro_button", "set_macro_defaults_button"})
        expected.push_back(name);
    EXPECT_EQ(tab_order(&page), expected);
}
