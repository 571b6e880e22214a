#include "app/qt/install_parts.h"
#include "ground/debug_lines.h"
#include "ground/documents.h"
#include "language/qt/macro_page.h"

#include "ground/qt/list_ops.h"
#include "app/qt/main_form.h"
#include "ground/qt/qt_text.h"
#include "ground/prompts.h"
#include "language/bound_check.h"
#include "language/qt/add_param_form.h"
#include "macro_editor_fixture.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>

#include <filesystem>
#include <memory>

using namespace kelvo;
using kelvo::test::MacroEditorFixture;

namespace {

std::vector<std::string> items_of(const QListWidget* list)
{
    std::vector<std::string> items;
    for (int i = 0; i < list->count(); ++i) items.push_back(from_qstring(list->item(i)->text()));
    return items;
}

class MacroPageTest : public MacroEditorFixture {
protected:
    void SetUp() override
    {
        MacroEditorFixture::SetUp();
        page = std::make_unique<MacroEditorPage>();
        page->set_save_name_asker([this](const std::string& caption, const std::string& current) {
            asked_names.push_back(caption + "|" + current);
            return save_names.empty() ? std::optional<std::string>() : std::optional<std::string>(save_names.front());
        });
        page->set_parameter_dialog([this](const std::vector<std::string>&, int position) {
            dialog_positions.push_back(position);
            return dialog_answer;
        });
    }
    void TearDown() override
    {
        page.reset();
        MacroEditorFixture::TearDown();
    }

    void choose_atom(const std::string& name)
    {
        const int atom = config().atom_index(name);
        page->select_atom_box->setCurrentIndex(atom);
        page->select_atom_boxChange();
    }
    QLineEdit* text(int slot) { return page->argument_slots[static_cast<std::size_t>(slot)].text; }
    QComboBox* box(int slot) { return page->argument_slots[static_cast<std::size_t>(slot)].box; }
    QLabel* label(int slot) { return page->argument_slots[static_cast<std::size_t>(slot)].label; }
    std::vector<std::string>& lines() { return page->document().atom_lines(); }
    void click_line(int row) { page->macro_box->setCurrentRow(row); }

    void load(const std::string& name, const std::vector<std::string>& file_lines)
    {
        write_macro(name, file_lines);
        page->refill_names();
        page->select_macro(name);
    }

    std::unique_ptr<MacroEditorPage> page;
    std::vector<std::string> asked_names;
    std::vector<std::string> save_names;
    std::vector<int> dialog_positions;
    std::string dialog_answer;
};

}  // namespace

TEST_F(MacroPageTest, ComponentsCarryTheirNamesAndCaptions)
{
    for (const char* name : {"macro_select_box", "lock_button", "parameter_box", "macro_box", "macro_descrip_box",
                             "atom_param_group_box", "select_atom_box", "add_atom_button", "replace_atom_button",
                             "delete_atom_button", "default_atom_button", "insert_param_button",
                             "delete_param_button", "atom_param_popup"})
        EXPECT_NE(page->findChild<QObject*>(name), nullptr) << name;
    EXPECT_EQ(page->add_atom_button->text(), "&Insert");
    EXPECT_EQ(page->replace_atom_button->text(), "&Replace");
    EXPECT_EQ(page->delete_atom_button->text(), "&Delete");
    EXPECT_EQ(page->default_atom_button->text(), "Default &All");
    EXPECT_EQ(page->insert_param_button->text(), "I&nsert");
    EXPECT_EQ(page->delete_param_button->text(), "D&elete");
    EXPECT_EQ(page->atom_param_group_box->title(), "Selected Atom");
    EXPECT_EQ(page->macro_name_group->title(), "Macro Name");
    EXPECT_EQ(page->parameter_group->title(), "Macro Variables");
    EXPECT_EQ(page->sequence_group->title(), "Macro Atom Sequence");
    EXPECT_EQ(page->description_group->title(), "Macro Description");
    EXPECT_EQ(page->parameter_box->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_TRUE(page->parameter_box->dragEnabled());
    // Every atom of the configuration, the built-in ones included.
    ASSERT_EQ(page->select_atom_box->count(), config().atom_count());
    EXPECT_EQ(page->select_atom_box->itemText(page->select_atom_box->count() - 1), "WAIT_FOR_DS");
}

TEST_F(MacroPageTest, ANewAtomShowsItsArgumentsAndDefaults)
{
    choose_atom("WAIT");
    EXPECT_EQ(page->pane_atom(), config().atom_index("WAIT"));
    EXPECT_EQ(page->edited_line(), -1);
    EXPECT_FALSE(page->pane_shows_line());
    EXPECT_EQ(label(0)->text(), "Time (m:ss)");
    EXPECT_EQ(text(0)->text(), "1:30");  // the default 90 s in display form
    EXPECT_EQ(text(0)->toolTip(), "Range: 0 to 3600\n\tDefault: 90");
    EXPECT_EQ(text(1)->text(), "");      // optional: empty
    EXPECT_FALSE(text(0)->isHidden());
    EXPECT_TRUE(box(0)->isHidden());
    EXPECT_TRUE(label(2)->isHidden());

    choose_atom("MOVE");
    EXPECT_EQ(label(0)->text(), QString::fromUtf8("Height (mm)"));
    EXPECT_EQ(label(1)->text(), "Target");
    EXPECT_FALSE(box(1)->isHidden());
    EXPECT_TRUE(text(1)->isHidden());
    EXPECT_EQ(box(1)->toolTip(), "TRAY or INJECTOR");
    QStringList entries;
    for (int i = 0; i < box(1)->count(); ++i) entries << box(1)->itemText(i);
    EXPECT_EQ(entries, (QStringList{"Tray1", "Tray2", "Inj1", "SL.tray", "SL.tray2", "SL.injector", "SL.injector2"}));
    EXPECT_EQ(box(1)->currentIndex(), 0);

    choose_atom("ASPIRATE");
    EXPECT_EQ(box(1)->count(), 3);
    EXPECT_EQ(box(1)->currentText(), "Slow");
}

TEST_F(MacroPageTest, InsertWithoutSelectionPutsTheLineAtTheTopAndStoresSeconds)
{
    choose_atom("WAIT");
    page->add_atom_buttonClick();
    ASSERT_EQ(lines(), (std::vector<std::string>{"WAIT(90,,)"}));  // 1:30 stored as 90
    EXPECT_EQ(page->edited_line(), 0);
    EXPECT_EQ(page->selected_line(), 0);

    choose_atom("SIGNAL");
    page->macro_box->clearSelection();
    page->add_atom_buttonClick();
    EXPECT_EQ(lines(), (std::vector<std::string>{"SIGNAL(Out1,)", "WAIT(90,,)"}));
    EXPECT_EQ(page->selected_line(), 0);

    // With a line selected the new line follows it.
    choose_atom("WAIT");
    text(0)->setText("2:");
    text(1)->setText(":45");
    page->add_atom_buttonClick();
    EXPECT_EQ(lines(), (std::vector<std::string>{"SIGNAL(Out1,)", "WAIT(120,45,)", "WAIT(90,,)"}));
    EXPECT_EQ(items_of(page->macro_box), (std::vector<std::string>{"01 SIGNAL", "02 WAIT", "03 WAIT"}));
    EXPECT_EQ(page->edited_line(), 1);
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(MacroPageTest, BuildingALineReportsEmptyAndBadValues)
{
    choose_atom("WAIT");
    text(0)->setText("");
    page->add_atom_buttonClick();
    text(0)->setText("1:60");
    page->add_atom_buttonClick();
    text(0)->setText("3");
    text(1)->setText("Vol");
    page->add_atom_buttonClick();
    EXPECT_TRUE(lines().empty());
    EXPECT_EQ(prompts.shown, (std::vector<std::string>{
                                 "error: Time must be specified!",
                                 "error:  atom \"WAIT\", parameter \"Time\" Undefined macro parameter name \"1:60\"",
                                 "error:  atom \"WAIT\", parameter \"Extra\" Undefined macro parameter name \"Vol\""}));
}

TEST_F(MacroPageTest, RepeatBlocksAreIndentedByTwoBlanks)
{
    load("Rep", {"REPEAT(3,)", "WAIT(10,,)", "SIGNAL(Out1,)", "END()", "WAIT(5,,)"});
    EXPECT_EQ(items_of(page->macro_box),
              (std::vector<std::string>{"01 REPEAT", "02   WAIT", "03   SIGNAL", "04 END", "05 WAIT"}));
    // Loading shows the first line in the pane.
    EXPECT_EQ(page->edited_line(), 0);
    EXPECT_EQ(page->select_atom_box->currentText(), "REPEAT");
    EXPECT_EQ(text(0)->text(), "3");
    EXPECT_EQ(from_qstring(page->macro_select_box->currentText()), "Rep");
}

TEST_F(MacroPageTest, ClickingALineWritesThePaneBackFirst)
{
    load("Two", {"WAIT(90,,)", "SIGNAL(Out1,)"});
    ASSERT_EQ(page->edited_line(), 0);
    EXPECT_EQ(text(0)->text(), "1:30");

    text(0)->setText("2:30");
    click_line(1);
    EXPECT_EQ(lines()[0], "WAIT(150,,)");
    EXPECT_EQ(page->edited_line(), 1);
    EXPECT_EQ(page->select_atom_box->currentText(), "SIGNAL");

    // An invalid value keeps the selection on the line being edited.
    click_line(0);
    text(0)->setText("soon");
    prompts.shown.clear();
    click_line(1);
    EXPECT_EQ(prompts.shown, (std::vector<std::string>{
                                 "error:  atom \"WAIT\", parameter \"Time\" Undefined macro parameter name \"soon\""}));
    EXPECT_EQ(page->selected_line(), 0);
    EXPECT_EQ(page->edited_line(), 0);
    EXPECT_EQ(text(0)->text(), "soon");
    EXPECT_EQ(lines()[0], "WAIT(150,,)");
}

TEST_F(MacroPageTest, AMouseClickOnAnotherLineIsRefusedWhileThePaneFails)
{
    load("Mouse", {"WAIT(90,,)", "SIGNAL(Out1,)", "WAIT(5,,)"});
    page->resize(1000, 700);
    page->show();
    auto press = [&](int row) {
        const QPoint at = page->macro_box->visualItemRect(page->macro_box->item(row)).center();
        QMouseEvent down(QEvent::MouseButtonPress, at, page->macro_box->viewport()->mapToGlobal(at), Qt::LeftButton,
                         Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(page->macro_box->viewport(), &down);
        QMouseEvent up(QEvent::MouseButtonRelease, at, page->macro_box->viewport()->mapToGlobal(at), Qt::LeftButton,
                       Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(page->macro_box->viewport(), &up);
    };
    text(0)->setText("later");
    press(2);
    EXPECT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(page->selected_line(), 0);
    EXPECT_EQ(page->macro_box->selectedItems().size(), 1);
    EXPECT_EQ(page->edited_line(), 0);

    text(0)->setText("1:00");
    press(2);
    EXPECT_EQ(lines()[0], "WAIT(60,,)");
    EXPECT_EQ(page->selected_line(), 2);
    EXPECT_EQ(page->edited_line(), 2);
    EXPECT_EQ(text(0)->text(), "0:05");
    EXPECT_EQ(prompts.shown.size(), 1u);
}

TEST_F(MacroPageTest, ReplaceAndDeleteActOnTheSelectedLine)
{
    load("Three", {"WAIT(1,,)", "WAIT(2,,)", "WAIT(3,,)"});
    click_line(1);
    choose_atom("SIGNAL");  // a new atom: no line is edited, line 2 stays selected
    EXPECT_EQ(page->edited_line(), -1);
    page->replace_atom_buttonClick();
    EXPECT_EQ(lines(), (std::vector<std::string>{"WAIT(1,,)", "SIGNAL(Out1,)", "WAIT(3,,)"}));
    EXPECT_EQ(page->edited_line(), 1);

    click_line(2);
    page->delete_atom_buttonClick();  // the new last line becomes selected
    EXPECT_EQ(lines(), (std::vector<std::string>{"WAIT(1,,)", "SIGNAL(Out1,)"}));
    EXPECT_EQ(page->selected_line(), 1);
    EXPECT_EQ(page->edited_line(), 1);
    EXPECT_EQ(page->select_atom_box->currentText(), "SIGNAL");

    click_line(0);
    page->delete_atom_buttonClick();  // the line at the same position
    EXPECT_EQ(page->selected_line(), 0);
    EXPECT_EQ(page->select_atom_box->currentText(), "SIGNAL");
    page->delete_atom_buttonClick();
    EXPECT_TRUE(lines().empty());
    EXPECT_EQ(page->edited_line(), -1);
    page->delete_atom_buttonClick();  // nothing left: nothing happens
    page->replace_atom_buttonClick();
    EXPECT_TRUE(lines().empty());
}

TEST_F(MacroPageTest, DefaultAllRestoresRequiredDefaultsAndEmptiesOptionalOnes)
{
    load("W", {"WAIT(10,20,)"});
    EXPECT_EQ(text(0)->text(), "0:10");
    EXPECT_EQ(text(1)->text(), "0:20");
    page->default_atom_buttonClick();
    EXPECT_EQ(text(0)->text(), "90");  // the atom's default text
    EXPECT_EQ(text(1)->text(), "");
    click_line(0);
    ASSERT_TRUE(page->write_back_pane());
    EXPECT_EQ(lines()[0], "WAIT(90,,)");
}

TEST_F(MacroPageTest, AtomParamPopupOffersDefaultThenReferences)
{
    page->document().parameter_lines() = {"Vol (\xB5l);1;0;10", "Where;TRAY"};
    page->document().rebuild_parameter_table();
    choose_atom("ASPIRATE");
    page->prepare_atom_param_popup(0);
    QStringList captions;
    for (QAction* a : page->atom_param_popup->actions()) captions << a->text();
    EXPECT_EQ(captions, (QStringList{"Default: 1", "SL.volume", "SL.volume2", "SYR.Max Volume", "Vol"}));
    page->atom_param_popupClick(page->atom_param_popup->actions()[3]);
    EXPECT_EQ(text(0)->text(), "SYR.Max Volume");
    text(0)->setText("7");
    page->atom_param_popupClick(page->atom_param_popup->actions()[0]);
    EXPECT_EQ(text(0)->text(), "1");
    page->prepare_atom_param_popup(1);  // the list-index argument has no popup
    EXPECT_TRUE(page->atom_param_popup->actions().isEmpty());
}

TEST_F(MacroPageTest, TheFifteenthParameterIsRefused)
{
    auto& params = page->document().parameter_lines();
    for (int i = 0; i < 14; ++i) params.push_back("P" + std::to_string(i) + " ();0;0;10");
    page->refresh_display();
    page->insert_param_buttonClick();
    EXPECT_EQ(prompts.shown, (std::vector<std::string>{"error: Only 14 parameters are allowed in a macro!"}));
    EXPECT_TRUE(dialog_positions.empty());
    EXPECT_EQ(params.size(), 14u);
    EXPECT_EQ(page->parameter_box->count(), 14);
}

TEST_F(MacroPageTest, ParametersAreInsertedEditedAndDeleted)
{
    dialog_answer = "Vol (\xB5l);1;0;10";
    page->insert_param_buttonClick();  // none selected: at the top
    dialog_answer = "Where;TRAY;INJECTOR";
    page->insert_param_buttonClick();  // after the selected one
    EXPECT_EQ(page->document().parameter_lines(), (std::vector<std::string>{"Vol (\xB5l);1;0;10", "Where;TRAY;INJECTOR"}));
    EXPECT_EQ(page->parameter_box->currentRow(), 1);
    EXPECT_EQ(dialog_positions, (std::vector<int>{-1, -1}));
    ASSERT_EQ(page->document().parameters().size(), 2u);

    // The pane's object boxes now offer the object parameter.
    choose_atom("MOVE");
    EXPECT_EQ(box(1)->itemText(box(1)->count() - 1), "Where");

    dialog_answer = "Volume (\xB5l);1;0;10";
    page->parameter_boxDblClick(0);
    EXPECT_EQ(dialog_positions.back(), 0);
    EXPECT_EQ(page->document().parameter_lines()[0], "Volume (\xB5l);1;0;10");
    dialog_answer.clear();  // cancelled: nothing changes
    page->parameter_boxDblClick(0);
    EXPECT_EQ(page->document().parameter_lines()[0], "Volume (\xB5l);1;0;10");

    page->parameter_box->selectAll();
    page->delete_param_buttonClick();
    EXPECT_TRUE(page->document().parameter_lines().empty());
    EXPECT_EQ(page->parameter_box->count(), 0);
    EXPECT_TRUE(page->document().parameters().empty());
}

TEST_F(MacroPageTest, DeletingAParameterStillUsedIsReportedAndTheValueKept)
{
    load("UsesWhere", {"Where;TRAY", "MOVE(5,Where,)"});
    ASSERT_EQ(box(1)->currentText(), "Where");
    page->parameter_box->selectAll();
    prompts.shown.clear();
    page->delete_param_buttonClick();
    // The line still names the parameter; the check after the change says so,
    // and the pane keeps the value instead of silently taking another object.
    EXPECT_EQ(lines()[0], "MOVE(5,Where,)");
    EXPECT_EQ(box(1)->currentText(), "Where");
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0],
              "error: Line 1 - atom \"MOVE\", parameter \"Target\" : refers to object \"Where\" which doesnt exist in KELVO");
}

TEST_F(MacroPageTest, ParametersDropOnlyOnFittingArguments)
{
    page->document().parameter_lines() = {"Vol (\xB5l);1;0;10", "Where;TRAY", "Sig;OUT_SIGNAL"};
    page->document().rebuild_parameter_table();
    page->refresh_display();

    choose_atom("MOVE");  // Height in mm, Target TRAY or INJECTOR
    EXPECT_FALSE(page->drop_parameter(0, "Vol (\xB5l);1;0;10"));
    EXPECT_EQ(text(0)->text(), "5");
    EXPECT_FALSE(page->drop_parameter(1, "Sig;OUT_SIGNAL"));
    EXPECT_TRUE(page->drop_parameter(1, "Where;TRAY"));
    EXPECT_EQ(box(1)->currentText(), "Where");
    EXPECT_FALSE(page->drop_parameter(5, "Where;TRAY"));  // no argument there

    choose_atom("ASPIRATE");  // Volume in µl
    EXPECT_FALSE(page->drop_parameter(1, "Vol (\xB5l);1;0;10"));  // list index
    EXPECT_TRUE(page->drop_parameter(0, "Vol (\xB5l);1;0;10"));
    EXPECT_EQ(text(0)->text(), "Vol");
    page->add_atom_buttonClick();
    EXPECT_EQ(lines(), (std::vector<std::string>{"ASPIRATE(Vol,Slow,)"}));
}

TEST_F(MacroPageTest, DragEventsFromTheParameterListAreJudgedByTheDropRule)
{
    page->document().parameter_lines() = {"Vol (\xB5l);1;0;10"};
    page->document().rebuild_parameter_table();
    page->refresh_display();
    page->parameter_box->setCurrentRow(0);
    // The list hands out the parameter's line when a drag starts.
    const std::unique_ptr<QMimeData> data(
        page->parameter_box->model()->mimeData({page->parameter_box->model()->index(0, 0)}));
    ASSERT_TRUE(data);
    EXPECT_EQ(page->dragged_parameter(), "Vol (\xB5l);1;0;10");

    auto drag_to = [&](QWidget* target) {
        QDragEnterEvent enter(QPoint(2, 2), Qt::CopyAction | Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        const bool entered = enter.isAccepted();
        QDropEvent drop(QPointF(2, 2), Qt::CopyAction | Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &drop);
        return entered && drop.isAccepted();
    };
    choose_atom("MOVE");
    EXPECT_FALSE(drag_to(text(0)));  // mm
    EXPECT_EQ(text(0)->text(), "5");
    choose_atom("ASPIRATE");
    EXPECT_TRUE(drag_to(text(0)));   // µl
    EXPECT_EQ(text(0)->text(), "Vol");
    EXPECT_EQ(page->dragged_parameter(), "");
}

TEST_F(MacroPageTest, AtomsWithMoreArgumentsThanSlotsKeepTheHiddenValues)
{
    choose_atom("WIDE");
    EXPECT_FALSE(label(13)->isHidden());
    EXPECT_EQ(label(13)->text(), "A14");
    page->add_atom_buttonClick();
    ASSERT_EQ(lines().size(), 1u);
    EXPECT_EQ(lines()[0], "WIDE(1,2,3,4,5,6,7,8,9,1,1,1,1,1,1,,)");

    load("Wide", {"WIDE(1,1,1,1,1,1,1,1,1,1,1,1,1,1,9,7,)"});
    text(0)->setText("4");
    ASSERT_TRUE(page->write_back_pane());
    EXPECT_EQ(lines()[0], "WIDE(4,1,1,1,1,1,1,1,1,1,1,1,1,1,9,7,)");
}

TEST_F(MacroPageTest, ValuesTheBoxesDoNotOfferAreKept)
{
    // An object the configuration does not know: loading reports it and keeps
    // the content; writing the pane back must not replace the value.
    load("Lost", {"MOVE(5,Tray9,)"});
    EXPECT_EQ(box(1)->currentText(), "Tray9");
    ASSERT_TRUE(page->write_back_pane());
    EXPECT_EQ(lines()[0], "MOVE(5,Tray9,)");
}

TEST_F(MacroPageTest, TheDescriptionMemoEditsTheDescription)
{
    load("Described", {"//first", "//", "WAIT(1,,)"});
    EXPECT_EQ(page->macro_descrip_box->toPlainText(), "first\n");
    page->macro_descrip_box->setPlainText("one\ntwo");
    EXPECT_EQ(page->document().description(), (std::vector<std::string>{"one", "two"}));
    page->macro_descrip_box->setPlainText("");
    EXPECT_TRUE(page->document().description().empty());
}

TEST_F(MacroPageTest, TheLockButtonShowsTheFileProtection)
{
    load("Locked", {"WAIT(1,,)"});
    EXPECT_EQ(page->lock_button->toolTip(), "Write protect macro");
    EXPECT_EQ(page->lock_button->icon().cacheKey(), page->lock_images[1].cacheKey());
    page->lock_buttonClick();
    EXPECT_TRUE(is_read_only_file(macro_path(program_method_folder(), "Locked")));
    EXPECT_EQ(page->lock_button->toolTip(), "Remove macro write protection");
    EXPECT_EQ(page->lock_button->icon().cacheKey(), page->lock_images[0].cacheKey());
    EXPECT_FALSE(page->lock_images[0].isNull());
    EXPECT_FALSE(page->lock_images[1].isNull());

    // Loading a protected macro shows it closed, too.
    page->document().load("Locked");
    EXPECT_EQ(page->lock_button->toolTip(), "Remove macro write protection");
    page->lock_buttonClick();
    EXPECT_FALSE(is_read_only_file(macro_path(program_method_folder(), "Locked")));
    EXPECT_EQ(page->lock_button->toolTip(), "Write protect macro");
}

TEST_F(MacroPageTest, SelectingAnotherNameAsksToSaveThenLoadsOrStartsNew)
{
    write_macro("Other", {"SIGNAL(Out1,)"});
    load("First", {"WAIT(1,,)"});
    EXPECT_EQ(read_setting_text("Macro", ""), "First");
    text(0)->setText("0:02");  // only in the pane so far

    prompts.yes_no_answers = {true};
    page->select_macro("Other");
    EXPECT_EQ(prompts.shown, (std::vector<std::string>{
                                 "question: The macro \"First\" has been changed. Do you wish to save it?"}));
    EXPECT_EQ(macro_bytes("First"), "WAIT(2,,)\r\n");
    EXPECT_EQ(lines(), (std::vector<std::string>{"SIGNAL(Out1,)"}));
    EXPECT_EQ(read_setting_text("Macro", ""), "Other");

    page->select_macro("Brand new");  // no file: a new, empty macro of that name
    EXPECT_TRUE(lines().empty());
    EXPECT_EQ(page->document().name(), "Brand new");
    EXPECT_EQ(selected_name(page->macro_select_box), "Brand new");
    EXPECT_EQ(read_setting_text("Macro", ""), "Brand new");
}

TEST_F(MacroPageTest, AMacroThatCannotBeSavedIsNotLeft)
{
    load("Stay", {"WAIT(1,,)"});
    text(0)->setText("never");
    prompts.shown.clear();
    page->macro_select_box->addItem("Elsewhere");
    select_name(page->macro_select_box, "Elsewhere");
    page->macro_select_boxChange();
    EXPECT_EQ(prompts.shown.size(), 1u);  // the pane's message
    EXPECT_EQ(page->document().name(), "Stay");
    EXPECT_EQ(selected_name(page->macro_select_box), "Stay");
    EXPECT_EQ(text(0)->text(), "never");
}

TEST_F(MacroPageTest, TheMethodEditorCanMakeThePageFollow)
{
    write_macro("Next", {"SIGNAL(Out1,)"});
    load("Current", {"WAIT(1,,)"});
    lines().push_back("WAIT(2,,)");
    prompts.yes_no_answers = {false};
    EXPECT_TRUE(page->follow_macro("Next"));
    EXPECT_EQ(prompts.shown, (std::vector<std::string>{
                                 "question: The macro \"Current\" has been changed. Do you wish to save it?"}));
    EXPECT_EQ(macro_bytes("Current"), "WAIT(1,,)\r\n");
    EXPECT_EQ(lines(), (std::vector<std::string>{"SIGNAL(Out1,)"}));
    EXPECT_EQ(selected_name(page->macro_select_box), "Next");

    // A wanted save that fails keeps the macro.
    lines().push_back("WAIT(3,,)");
    set_read_only_file(macro_path(program_method_folder(), "Next"), true);
    prompts.yes_no_answers = {true};
    EXPECT_FALSE(page->follow_macro("Current"));
    EXPECT_EQ(page->document().name(), "Next");
    EXPECT_EQ(lines().size(), 2u);
}

TEST_F(MacroPageTest, TheLastMacroIsReopenedAtStart)
{
    write_macro("Last", {"//d", "SIGNAL(Out1,)"});
    write_setting_text("Macro", "Last");
    page->reopen_last_macro();
    EXPECT_EQ(page->document().name(), "Last");
    EXPECT_EQ(selected_name(page->macro_select_box), "Last");
    EXPECT_EQ(items_of(page->macro_box), (std::vector<std::string>{"01 SIGNAL"}));

    auto other = std::make_unique<MacroEditorPage>();
    write_setting_text("Macro", "Gone");
    other->reopen_last_macro();
    EXPECT_EQ(other->document().name(), "");
    EXPECT_EQ(selected_name(other->macro_select_box), "");
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(MacroPageTest, SaveAsGoesThroughTheNameDialogAndRefillsTheNames)
{
    int refills = 0;
    QObject::connect(page.get(), &MacroEditorPage::macro_names_changed, [&] { ++refills; });
    choose_atom("SIGNAL");
    page->add_atom_buttonClick();
    save_names = {"Fresh"};
    page->document_ops().save("");
    EXPECT_EQ(asked_names, (std::vector<std::string>{"Save Macro|"}));
    EXPECT_EQ(macro_bytes("Fresh"), "SIGNAL(Out1,)\r\n");
    EXPECT_EQ(selected_name(page->macro_select_box), "Fresh");
    EXPECT_EQ(refills, 1);
}

TEST_F(MacroPageTest, DocumentOpsReachTheEditor)
{
    load("Ops", {"WAIT(1,,)"});
    DocumentOps& ops = page->document_ops();
    text(0)->setText("bad");
    prompts.shown.clear();
    EXPECT_FALSE(ops.write_back());
    text(0)->setText("5");
    EXPECT_TRUE(ops.write_back());
    EXPECT_EQ(lines()[0], "WAIT(5,,)");
    ops.start_empty("Empty one");
    EXPECT_TRUE(lines().empty());
    EXPECT_EQ(page->document().name(), "Empty one");
    EXPECT_EQ(page->edited_line(), -1);
    EXPECT_EQ(page->macro_box->count(), 0);
    ops.name_selected("Ops");
    EXPECT_EQ(lines(), (std::vector<std::string>{"WAIT(1,,)"}));
}

TEST_F(MacroPageTest, AReloadedConfigurationRefillsAtomsAndPane)
{
    load("Reload", {"WAIT(30,,)"});
    std::string changed = test::small_configuration;
    changed.replace(changed.find("!SIGNAL\n"), 8, "!PAUSE\nSeconds;0;60;5;1;s\n!SIGNAL\n");
    ASSERT_TRUE(parse_configuration(config(), test::split_lines(changed), prompts, debug_line));
    page->refresh_from_configuration();
    EXPECT_EQ(page->select_atom_box->count(), config().atom_count());
    EXPECT_NE(page->select_atom_box->findText("PAUSE"), -1);
    EXPECT_EQ(page->select_atom_box->currentText(), "WAIT");
    EXPECT_EQ(text(0)->text(), "0:30");
}

TEST_F(MacroPageTest, InstalledInTheMainWindowItUsesTheWindowsNameBoxAndCommands)
{
    write_macro("Alpha", {"WAIT(1,,)"});
    write_macro("Beta", {"SIGNAL(Out1,)"});
    Tmain_form form;
    MacroEditorPage* installed = install_macro_editor(form);
    ASSERT_NE(installed, nullptr);
    installed->set_save_name_asker([](const std::string&, const std::string&) { return std::optional<std::string>(); });
    EXPECT_TRUE(form.macro_page->isAncestorOf(installed));
    // One name box and one lock button on the page: the window's.
    EXPECT_EQ(form.macro_page->findChildren<QComboBox*>("macro_select_box").size(), 1);
    EXPECT_EQ(form.macro_page->findChildren<QToolButton*>("lock_button").size(), 1);
    EXPECT_EQ(installed->macro_select_box, form.macro_select_box);
    EXPECT_EQ(installed->lock_button, form.lock_button);
    EXPECT_EQ(&form.state().ops(DocumentKind::macro), &installed->document_ops());

    // Picking a name in the window's box loads the macro.
    form.state().refresh_names(DocumentKind::macro);
    const int beta = form.macro_select_box->findText("Beta");
    ASSERT_GE(beta, 0);
    form.macro_select_box->setCurrentIndex(beta);
    emit form.macro_select_box->activated(beta);
    EXPECT_EQ(installed->document().name(), "Beta");
    EXPECT_EQ(installed->document().atom_lines(), (std::vector<std::string>{"SIGNAL(Out1,)"}));

    // The lock button of the window protects the file, and the page shows it.
    form.lock_buttonClick();
    EXPECT_TRUE(is_read_only_file(macro_path(program_method_folder(), "Beta")));
    EXPECT_EQ(form.lock_button->toolTip(), "Remove macro write protection");

    // The File menu's Save reaches the editor with the macro page in front.
    form.show_page(Page::macro);
    form.prepare_captions();
    ASSERT_EQ(form.save_item->text(), "&Save Macro");
    form.save_itemClick();
    EXPECT_EQ(prompts.shown.back(), "error: Macro Beta is read only");
    form.lock_buttonClick();
    installed->document().atom_lines().push_back("WAIT(3,,)");
    form.save_itemClick();
    EXPECT_EQ(macro_bytes("Beta"), "SIGNAL(Out1,)\r\nWAIT(3,,)\r\n");
}
