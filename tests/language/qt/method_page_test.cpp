// The Method Editor page over a copy of the demo method folder: showing and
// editing call lines through the parameter pane, the write-back before a
// change of line, the expansion test of Insert and Replace, the range check
// through the out-of-range dialog, and the page inside the main window.
// With CADENZOR_METHOD_SCREENSHOT set, the page is also rendered into that
// file (docs/method_editor.png is made this way).
#include "app/qt/install_parts.h"
#include "language/qt/method_page.h"

#include "ground/documents.h"
#include "ground/log.h"
#include "ground/qt/list_ops.h"
#include "app/qt/main_form.h"
#include "engine/expand.h"
#include "ground/qt/qt_text.h"
#include "ground/settings.h"
#include "ground/text_utils.h"
#include "language/macro.h"
#include "language/qt/macro_page.h"
#include "language/value_checks.h"
#include "macro_editor_fixture.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <cstdlib>
#include <filesystem>
#include <memory>

using namespace kelvo;

namespace {

const std::string quote = "\"";

// Records what the range check asked and answers from a script (the
// proposed value when the script is empty).
class FakeOutOfRange final : public OutOfRangeDialog {
public:
    double ask(const std::string& context, const std::string& unit, double maximum, double minimum, double proposed,
               double value) override
    {
        asked.push_back(context + " [" + unit + "] " + decimal_text(minimum) + ".." + decimal_text(maximum) +
                        " proposed " + decimal_text(proposed) + " value " + decimal_text(value));
        if (answers.empty()) return proposed;
        const double a = answers.front();
        answers.erase(answers.begin());
        return a;
    }
    std::vector<std::string> asked;
    std::vector<double> answers;
};

std::vector<std::string> items_of(const QListWidget* list)
{
    std::vector<std::string> items;
    for (int i = 0; i < list->count(); ++i) items.push_back(from_qstring(list->item(i)->text()));
    return items;
}

class MethodPageTest : public test::MacroEditorFixture {
protected:
    void SetUp() override
    {
        const std::filesystem::path demo = std::filesystem::path(KELVO_SOURCE_DIR) / "examples" / "methods";
        // A copy, so that nothing the page does can touch the demo folder.
        for (const auto& entry : std::filesystem::directory_iterator(demo))
            std::filesystem::copy_file(entry.path(), dir.path() / entry.path().filename());
        test::MacroEditorFixture::SetUp();
        previous_log = log_path();
        set_log_path(dir.file("cadenzor.log"));
        page = std::make_unique<MethodEditorPage>(test_expansion);
        page->set_out_of_range_dialog(&out_of_range);
        page->set_save_name_asker([this](const std::string& caption, const std::string& current) {
            asked_names.push_back(caption + "|" + current);
            return save_name;
        });
    }
    void TearDown() override
    {
        page.reset();
        set_log_path(previous_log);
        test::MacroEditorFixture::TearDown();
    }
    std::string configuration_text() const override
    {
        return test::read_file((dir.path() / "latest_kelvo.kol").string());
    }

    void load(const std::string& name)
    {
        page->refill_names();
        page->select_method(name);
        ASSERT_EQ(page->document().name(), name);
    }
    void choose_macro(const std::string& name)
    {
        page->refill_macro_names();
        select_name(page->macros_of_method, name);
        ASSERT_EQ(selected_name(page->macros_of_method), name);
        page->macros_of_methodChange();
    }
    void choose_syringe(const std::string& name)
    {
        select_name(page->syringe_box, name);
        page->syringe_boxChange();
    }
    void click_line(int row) { page->method_box->setCurrentRow(row); }
    std::vector<std::string>& calls() { return page->document().calls(); }
    QLineEdit* edit(int slot) { return page->pane_slots[static_cast<std::size_t>(slot)].text; }
    QComboBox* combo(int slot) { return page->pane_slots[static_cast<std::size_t>(slot)].box; }
    QLabel* label(int slot) { return page->pane_slots[static_cast<std::size_t>(slot)].label; }

    std::unique_ptr<MethodEditorPage> page;
    FakeOutOfRange out_of_range;
    std::vector<std::string> asked_names;
    std::optional<std::string> save_name;
    std::string previous_log;
};

}  // namespace

// ---- showing a method

TEST_F(MethodPageTest, LoadShowsTheSequenceAndTheFirstLineInThePane)
{
    load("Standard Injection");
    EXPECT_EQ(items_of(page->method_box), (std::vector<std::string>{"01 Wash Syringe", "02 Fill Syringe",
                                                                     "03 Inject Sample", "04 Wash Syringe"}));
    EXPECT_EQ(page->method_box->currentRow(), 0);
    EXPECT_EQ(from_qstring(page->syringe_box->currentText()), "Syr10ul");
    EXPECT_EQ(from_qstring(page->method_descrip_box->toPlainText()),
              "Injects the current sample-list vial with the 10 \xB5l syringe:\n"
              "wash, fill SL.volume from SL.tray, inject into SL.injector, wash again.");
    EXPECT_EQ(selected_name(page->macros_of_method), "Wash Syringe");
    EXPECT_EQ(from_qstring(page->macros_of_method->toolTip()), "Rinses the syringe at a wash station.");

    // Wash Syringe(Wash1,5,3): an object slot, then two numeric ones.
    EXPECT_TRUE(combo(0)->isVisibleTo(page.get()));
    EXPECT_FALSE(edit(0)->isVisibleTo(page.get()));
    EXPECT_EQ(from_qstring(combo(0)->currentText()), "Wash1");
    EXPECT_EQ(from_qstring(combo(0)->toolTip()), "WASH_STATION");
    EXPECT_EQ(from_qstring(label(1)->text()), "Volume  (\xB5l)");
    EXPECT_EQ(from_qstring(edit(1)->text()), "5");
    // Limits and default after "SYR." substitution for the 10 µl syringe.
    EXPECT_EQ(from_qstring(edit(1)->toolTip()), "Range: 0 to 10\nDefault: 5");
    EXPECT_EQ(from_qstring(label(2)->text()), "Strokes");
    EXPECT_EQ(from_qstring(edit(2)->text()), "3");
    EXPECT_FALSE(label(3)->isVisibleTo(page.get()));
    EXPECT_FALSE(edit(3)->isVisibleTo(page.get()));
    EXPECT_FALSE(combo(3)->isVisibleTo(page.get()));
    EXPECT_EQ(prompts.shown, std::vector<std::string>{});
}

TEST_F(MethodPageTest, SecondsAreShownAsMinutesAndObjectListsFollowTheClasses)
{
    load("Large Volume Injection");
    click_line(0);  // Equilibrate Temperature(Cooler Zone,6,300)
    ASSERT_EQ(page->pane_macro(), "Equilibrate Temperature");
    EXPECT_EQ(from_qstring(edit(2)->text()), "5:00");
    EXPECT_NE(from_qstring(label(2)->text()).find("  (m:ss)"), std::string::npos);

    click_line(4);  // Inject Sample(LCVlv2,Inject2,10,5)
    ASSERT_EQ(page->pane_macro(), "Inject Sample");
    std::vector<std::string> injectors;
    for (int i = 0; i < combo(0)->count(); ++i) injectors.push_back(from_qstring(combo(0)->itemText(i)));
    // The objects of the class, then the special names for injectors.
    ASSERT_GE(injectors.size(), 3u);
    EXPECT_EQ(injectors[injectors.size() - 2], "SL.injector");
    EXPECT_EQ(injectors.back(), "SL.injector2");
    EXPECT_EQ(from_qstring(combo(0)->currentText()), "LCVlv2");
    EXPECT_EQ(from_qstring(combo(1)->itemText(combo(1)->count() - 1)), "None");
    EXPECT_EQ(from_qstring(edit(3)->text()), "0:05");
    EXPECT_EQ(prompts.shown, std::vector<std::string>{});
}

TEST_F(MethodPageTest, TheSequenceHintIsTheDescriptionOfTheMacroUnderTheMouse)
{
    load("Standard Injection");
    page->method_box_hint_for_row(2);
    EXPECT_EQ(from_qstring(page->method_box->toolTip()),
              "Moves to the injector, injects the syringe content and switches\n"
              "the valve to inject; Signal marks the injection for the detector.");
    page->method_box_hint_for_row(-1);
    EXPECT_TRUE(page->method_box->toolTip().isEmpty());
}

// ---- writing the pane back

TEST_F(MethodPageTest, ClickingAnotherLineWithAnInvalidValueKeepsTheSelection)
{
    load("Standard Injection");
    const std::vector<std::string> before = calls();
    edit(1)->setText("abc");
    click_line(2);
    EXPECT_EQ(prompts.shown,
              std::vector<std::string>{"error: Parameter " + quote + "Volume" + quote + " : abc is not a valid value."});
    EXPECT_EQ(page->method_box->currentRow(), 0);
    EXPECT_EQ(page->document().shown_line(), 0);
    EXPECT_EQ(page->pane_macro(), "Wash Syringe");
    EXPECT_EQ(from_qstring(edit(1)->text()), "abc");
    EXPECT_EQ(calls(), before);

    prompts.shown.clear();
    edit(1)->setText("");
    click_line(3);
    EXPECT_EQ(prompts.shown, std::vector<std::string>{"error: Volume  (\xB5l) is not specified"});
    EXPECT_EQ(page->method_box->currentRow(), 0);
}

TEST_F(MethodPageTest, AMouseClickIsRefusedOnceAndAClickOnTheSelectedLineShowsItAgain)
{
    load("Standard Injection");
    page->resize(1000, 600);
    page->show();
    QApplication::processEvents();
    QWidget* viewport = page->method_box->viewport();
    auto click = [&](int row) {
        const QPoint at = page->method_box->visualItemRect(page->method_box->item(row)).center();
        const QPoint global = viewport->mapToGlobal(at);
        QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &release);
    };
    edit(1)->setText("abc");
    click(2);
    EXPECT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(page->method_box->currentRow(), 0);

    prompts.shown.clear();
    edit(1)->setText("5");
    click(2);
    EXPECT_EQ(page->document().shown_line(), 2);
    choose_macro("Multi Wash");
    EXPECT_EQ(page->document().shown_line(), -1);
    click(2);
    EXPECT_EQ(page->document().shown_line(), 2);
    EXPECT_EQ(page->pane_macro(), "Inject Sample");
    EXPECT_EQ(prompts.shown, std::vector<std::string>{});
}

TEST_F(MethodPageTest, AfterARefusedClickTheShownLineIsSelectedAndReplaceActsOnIt)
{
    load("Standard Injection");
    page->resize(1000, 600);
    page->show();
    QApplication::processEvents();
    click_line(1);  // line 02 shown
    ASSERT_EQ(page->document().shown_line(), 1);
    const std::vector<std::string> before = calls();

    edit(1)->selectAll();
    QTest::keyClicks(edit(1), "abc");
    QWidget* viewport = page->method_box->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier,
                      page->method_box->visualItemRect(page->method_box->item(2)).center());
    QApplication::processEvents();
    EXPECT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(page->document().shown_line(), 1);
    EXPECT_EQ(page->method_box->currentRow(), 1);
    ASSERT_EQ(page->method_box->selectedItems().size(), 1);
    EXPECT_EQ(page->method_box->row(page->method_box->selectedItems().front()), 1);

    // Replace acts on the shown line once its value is mended.
    prompts.shown.clear();
    edit(1)->selectAll();
    QTest::keyClicks(edit(1), "4");
    QTest::mouseClick(page->replace_macro_button, Qt::LeftButton);
    EXPECT_EQ(prompts.shown, std::vector<std::string>{});
    EXPECT_EQ(before[1], "Fill Syringe(SL.tray,SL.index,SL.volume,2,0.5)");
    EXPECT_EQ(calls()[1], "Fill Syringe(SL.tray,4,SL.volume,2,0.5)");
    EXPECT_EQ(calls()[2], before[2]);
}

TEST_F(MethodPageTest, AValidEntryIsWrittenBackBeforeTheClickedLineIsShown)
{
    load("Standard Injection");
    edit(1)->setText("7.5");
    click_line(1);
    EXPECT_EQ(calls()[0], "Wash Syringe(Wash1,7.5,3)");
    EXPECT_EQ(page->document().shown_line(), 1);
    EXPECT_EQ(page->pane_macro(), "Fill Syringe");
    EXPECT_TRUE(page->document().changed());
    EXPECT_EQ(prompts.shown, std::vector<std::string>{});
}

TEST_F(MethodPageTest, ATimeEntryIsStoredAsSeconds)
{
    load("Large Volume Injection");
    click_line(0);
    edit(2)->setText("2:30");
    click_line(1);
    EXPECT_EQ(calls()[0], "Equilibrate Temperature(Cooler Zone,6,150)");
}

// ---- range check

TEST_F(MethodPageTest, AValueBelowTheMinimumAsksTheOutOfRangeDialogWithTheMinimumProposed)
{
    load("Standard Injection");
    edit(2)->setText("0");  // Strokes: 1 to 99
    click_line(1);
    EXPECT_EQ(out_of_range.asked, std::vector<std::string>{"Macro " + quote + "Wash Syringe" + quote + " parameter " +
                                                           quote + "Strokes" + quote + " [] 1..99 proposed 1 value 0"});
    EXPECT_EQ(calls()[0], "Wash Syringe(Wash1,5,1)");
    EXPECT_EQ(prompts.shown, std::vector<std::string>{});
}

TEST_F(MethodPageTest, TheDialogsAnswerReplacesAValueAboveTheMaximum)
{
    load("Standard Injection");
    out_of_range.answers = {8};
    edit(1)->setText("12");  // Volume: 0 to SYR.Max Volume (10 µl)
    page->document().write_back_pane();
    EXPECT_EQ(out_of_range.asked, std::vector<std::string>{"Macro " + quote + "Wash Syringe" + quote + " parameter " +
                                                           quote + "Volume" + quote + " [\xB5l] 0..10 proposed 10 value 12"});
    EXPECT_EQ(calls()[0], "Wash Syringe(Wash1,8,3)");
    // The pane shows the replaced value.
    EXPECT_EQ(from_qstring(edit(1)->text()), "8");
}

TEST_F(MethodPageTest, ASmallerSyringeClampsTheVolumesOfTheWholeMethod)
{
    load("Large Volume Injection");
    click_line(1);  // Wash Syringe(Wash1,50,2)
    edit(2)->setText("4");  // not yet written back: the syringe change takes it
    choose_syringe("Syr10ul");
    EXPECT_EQ(page->document().syringe(), "Syr10ul");
    ASSERT_GE(out_of_range.asked.size(), 2u);
    EXPECT_EQ(out_of_range.asked[0], "Macro " + quote + "Wash Syringe" + quote + " parameter " + quote + "Volume" +
                                         quote + " [\xB5l] 0..10 proposed 10 value 50");
    EXPECT_EQ(calls()[1], "Wash Syringe(Wash1,10,4)");
    EXPECT_EQ(calls()[2].rfind("Fill Syringe(Tray5,1,10,3,", 0), 0u) << calls()[2];
    // The pane follows: the value, and the hint for the new syringe.
    EXPECT_EQ(from_qstring(edit(1)->text()), "10");
    EXPECT_EQ(from_qstring(edit(1)->toolTip()).rfind("Range: 0 to 10\n", 0), 0);
}

TEST_F(MethodPageTest, ASyringeChangeWithAnInvalidEntryKeepsTheSyringe)
{
    load("Large Volume Injection");
    click_line(1);
    edit(1)->setText("x");
    choose_syringe("Syr10ul");
    EXPECT_EQ(page->document().syringe(), "Syr100ul");
    EXPECT_EQ(from_qstring(page->syringe_box->currentText()), "Syr100ul");
    EXPECT_TRUE(out_of_range.asked.empty());
}

// ---- Insert, Replace, Delete

TEST_F(MethodPageTest, InsertThatFailsTheExpansionTestLeavesTheSequenceUnchanged)
{
    write_macro("Broken Wait", {"//Waits for a time the instrument cannot read.", "WAIT(soon,)"});
    load("Standard Injection");
    const std::vector<std::string> before = calls();
    click_line(1);
    choose_macro("Broken Wait");
    EXPECT_EQ(page->document().shown_line(), -1);
    EXPECT_EQ(page->selected_line(), 1);
    page->add_macro_buttonClick();
    EXPECT_EQ(calls(), before);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].rfind("error: In macro " + quote + "Broken Wait" + quote + ", ", 0), 0u)
        << prompts.shown[0];
    EXPECT_EQ(page->method_box->count(), 4);
}

TEST_F(MethodPageTest, InsertPutsTheNewLineAfterTheSelectedOneAndShowsIt)
{
    load("Standard Injection");
    click_line(1);
    choose_macro("Wash Syringe");
    // A fresh pane shows the defaults.
    EXPECT_EQ(from_qstring(edit(1)->text()), "5");
    edit(1)->setText("4");
    page->add_macro_buttonClick();
    ASSERT_EQ(calls().size(), 5u);
    EXPECT_EQ(calls()[2], "Wash Syringe(Wash1,4,3)");
    EXPECT_EQ(page->method_box->currentRow(), 2);
    EXPECT_EQ(page->document().shown_line(), 2);
    EXPECT_EQ(items_of(page->method_box)[2], "03 Wash Syringe");
}

TEST_F(MethodPageTest, EveryDemoMacroInsertsIntoANewMethodAsShipped)
{
    for (const std::string syringe : {"Syr10ul", "Syr100ul"}) {
        page->document().new_method("Fresh");
        choose_syringe(syringe);
        page->refill_macro_names();
        const std::vector<std::string> macros = [&] {
            std::vector<std::string> names;
            for (int i = 0; i < page->macros_of_method->count(); ++i)
                names.push_back(from_qstring(page->macros_of_method->itemText(i)));
            return names;
        }();
        ASSERT_GE(macros.size(), 7u);
        for (const std::string& macro : macros) {
            choose_macro(macro);
            const std::size_t before = calls().size();
            page->add_macro_button->click();
            EXPECT_EQ(calls().size(), before + 1) << macro << " with " << syringe;
            EXPECT_EQ(prompts.shown, std::vector<std::string>{}) << macro << " with " << syringe;
            prompts.shown.clear();
        }
        // What was inserted stays within the limits of the syringe.
        out_of_range.asked.clear();
        EXPECT_TRUE(page->document().range_check());
        EXPECT_EQ(out_of_range.asked, std::vector<std::string>{}) << syringe;
    }
}

TEST_F(MethodPageTest, InsertWithoutSelectionGoesToTheTop)
{
    write_macro("Half Wash", {"//Washes with half the syringe.", "Volume (\xB5l);SYR.Max Volume/2;0;SYR.Max Volume",
                              "WASH_SYRINGE(Wash1,Volume,1,SYR.Fill Speed,SYR.Inject Speed,)"});
    page->document().new_method("Fresh");
    choose_syringe("Syr10ul");
    choose_macro("Half Wash");
    page->add_macro_buttonClick();  // the default volume names the syringe: refused
    EXPECT_TRUE(calls().empty());
    EXPECT_EQ(prompts.shown, std::vector<std::string>{"error: Parameter " + quote + "Volume" + quote +
                                                      " : SYR.Max Volume/2 is not a valid value."});
    edit(0)->setText("4");
    page->add_macro_buttonClick();
    ASSERT_EQ(calls().size(), 1u);
    EXPECT_EQ(line_name(calls()[0]), "Half Wash");
    EXPECT_EQ(page->method_box->currentRow(), 0);
}

TEST_F(MethodPageTest, ReplaceThatFailsTheExpansionTestPutsTheOldLineBack)
{
    write_macro("Broken Wait", {"WAIT(soon,)"});
    load("Standard Injection");
    const std::vector<std::string> before = calls();
    click_line(1);
    choose_macro("Broken Wait");
    page->replace_macro_buttonClick();
    EXPECT_EQ(calls(), before);
    ASSERT_EQ(prompts.shown.size(), 1u);

    prompts.shown.clear();
    choose_macro("Wash Syringe");
    edit(1)->setText("2");
    page->replace_macro_buttonClick();
    EXPECT_EQ(calls()[1], "Wash Syringe(Wash1,2,3)");
    EXPECT_EQ(prompts.shown, std::vector<std::string>{});
}

TEST_F(MethodPageTest, DeleteShowsTheLineNowAtThatPlace)
{
    load("Standard Injection");
    click_line(3);
    page->delete_macro_buttonClick();
    ASSERT_EQ(calls().size(), 3u);
    EXPECT_EQ(page->method_box->currentRow(), 2);
    EXPECT_EQ(page->document().shown_line(), 2);
    EXPECT_EQ(page->pane_macro(), "Inject Sample");
    page->delete_macro_buttonClick();
    page->delete_macro_buttonClick();
    page->delete_macro_buttonClick();
    EXPECT_TRUE(calls().empty());
    EXPECT_EQ(page->document().shown_line(), -1);
    EXPECT_EQ(page->method_box->count(), 0);
}

// ---- defaults and popup

TEST_F(MethodPageTest, DefaultsAndThePopupUseTheSyringesValues)
{
    load("Standard Injection");
    click_line(2);  // Inject Sample: Speed default SYR.Inject Speed
    edit(2)->setText("1");
    page->set_macro_defaults_buttonClick();
    EXPECT_EQ(from_qstring(edit(2)->text()), "5");
    EXPECT_EQ(from_qstring(edit(3)->text()), "0:02");
    EXPECT_EQ(from_qstring(combo(0)->currentText()), "SL.injector");  // object slots keep their choice

    page->prepare_macro_param_popup(2);
    const QList<QAction*> items = page->macro_param_popup->actions();
    ASSERT_FALSE(items.isEmpty());
    EXPECT_EQ(from_qstring(items.first()->text()), "Default: 5");
    edit(2)->setText("1");
    page->macro_param_popupClick(items.first());
    EXPECT_EQ(from_qstring(edit(2)->text()), "5");
    if (items.size() > 1) {
        page->macro_param_popupClick(items[1]);
        EXPECT_EQ(edit(2)->text(), items[1]->text());
    }
    page->prepare_macro_param_popup(0);  // an object slot has no popup
    EXPECT_TRUE(page->macro_param_popup->isEmpty());
}

// ---- the Macro Editor

TEST_F(MethodPageTest, TheMacroEditorFollowsAndItsSaveMakesThePaneForgetTheLine)
{
    MacroEditorPage macros;
    page->set_macro_editor(&macros);
    load("Standard Injection");
    click_line(1);
    EXPECT_EQ(macros.document().name(), "Fill Syringe");
    choose_macro("Multi Wash");
    EXPECT_EQ(macros.document().name(), "Multi Wash");

    click_line(2);
    ASSERT_EQ(page->document().shown_line(), 2);
    EXPECT_EQ(macros.document().name(), "Inject Sample");
    macros.select_macro("Multi Wash");
    emit macros.macro_written(QString("Inject Sample"));
    EXPECT_EQ(page->document().shown_line(), -1);
    EXPECT_EQ(page->pane_macro(), "Inject Sample");
    EXPECT_EQ(macros.document().name(), "Multi Wash");  // no follow for a forgotten line

    write_macro("Another", {"MOVE_TO_HOME()"});
    emit macros.macro_names_changed();
    EXPECT_GE(page->macros_of_method->findText("Another"), 0);
    EXPECT_EQ(page->macros_of_method->findText("METHOD ENTRY"), -1);
}

// ---- single-macro mode

TEST_F(MethodPageTest, SingleMacroModeHidesTheSequence)
{
    page->set_single_macro_mode(true);
    EXPECT_FALSE(page->sequence_group->isVisibleTo(page.get()));
    EXPECT_FALSE(page->macros_of_method->isVisibleTo(page.get()));
    EXPECT_FALSE(page->add_macro_button->isVisibleTo(page.get()));
    EXPECT_TRUE(page->param_group_box->title().isEmpty());
    EXPECT_TRUE(page->set_macro_defaults_button->isVisibleTo(page.get()));
    page->set_single_macro_mode(false);
    EXPECT_EQ(page->param_group_box->title(), "Selected Macro");
}

// ---- inside the main window

class MethodPageInWindowTest : public MethodPageTest {
protected:
    void SetUp() override
    {
        MethodPageTest::SetUp();
        page.reset();
        form = std::make_unique<Tmain_form>();
        form->on_first_activation = [] {};
        macros = install_macro_editor(*form);
        in_window = install_method_editor(*form, macros);
        in_window->set_out_of_range_dialog(&out_of_range);
        form->state().refresh_all_names();
    }
    void TearDown() override
    {
        form.reset();
        MethodPageTest::TearDown();
    }
    void pick(const std::string& name)
    {
        select_name(form->method_select_box, name);
        emit form->method_select_box->activated(form->method_select_box->currentIndex());
    }

    std::unique_ptr<Tmain_form> form;
    MacroEditorPage* macros = nullptr;
    MethodEditorPage* in_window = nullptr;
};

TEST_F(MethodPageInWindowTest, TheWindowsNameBoxLoadsMethodsAndKeepsTheSetting)
{
    EXPECT_EQ(in_window->method_select_box, form->method_select_box);
    EXPECT_EQ(in_window->method_names(),
              (std::vector<std::string>{"Data System Injection", "Large Volume Injection", "Sandwich Injection",
                                        "Standard Injection", "Wash Cycles"}));
    pick("Wash Cycles");
    EXPECT_EQ(in_window->document().name(), "Wash Cycles");
    EXPECT_EQ(read_setting_text("Method", ""), "Wash Cycles");
    EXPECT_EQ(in_window->method_box->count(), 2);

    // An unwritable entry keeps the method and its name.
    in_window->pane_slots[0].text->setText("");
    pick("Standard Injection");
    EXPECT_EQ(in_window->document().name(), "Wash Cycles");
    EXPECT_EQ(selected_name(form->method_select_box), "Wash Cycles");
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0].rfind("error: ", 0), 0u);
    EXPECT_NE(prompts.shown[0].find(" is not specified"), std::string::npos);

    // A name without a file starts a new method of that name.
    prompts.shown.clear();
    in_window->pane_slots[0].text->setText("5");
    prompts.yes_no_answers = {false};
    pick("Standard Injection");
    EXPECT_EQ(prompts.shown, std::vector<std::string>{"question: The method " + quote + "Wash Cycles" + quote +
                                                      " has been changed. Do you wish to save it?"});
    EXPECT_EQ(in_window->document().name(), "Standard Injection");
}

TEST_F(MethodPageInWindowTest, SaveThroughTheFileMenuWritesThePaneAndTheListsFollow)
{
    int names_changed = 0;
    QObject::connect(in_window, &MethodEditorPage::method_names_changed, [&] { ++names_changed; });
    pick("Wash Cycles");
    in_window->pane_slots[1].text->setText("6");
    form->state().dispatch(DocumentCommand::save, "&Save Method");
    const std::string bytes = test::read_file(dir.file("Wash Cycles.KME"));
    EXPECT_NE(bytes.find("\r\nMulti Wash(4,6)\r\n"), std::string::npos) << bytes;
    EXPECT_FALSE(in_window->document().changed());
    EXPECT_GE(names_changed, 1);
    EXPECT_NE(test::read_file(dir.file("cadenzor.log")).find(" : rewrote method Wash Cycles"), std::string::npos);

    save_name = "Wash Copy";
    in_window->set_save_name_asker([this](const std::string& caption, const std::string& current) {
        asked_names.push_back(caption + "|" + current);
        return save_name;
    });
    form->state().dispatch(DocumentCommand::save_as, "Save Method &As...");
    EXPECT_EQ(asked_names, std::vector<std::string>{"Save Method|Wash Cycles"});
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "Wash Copy.KME"));
    EXPECT_EQ(selected_name(form->method_select_box), "Wash Copy");
    EXPECT_EQ(read_setting_text("Method", ""), "Wash Copy");
}

TEST_F(MethodPageInWindowTest, LeavingThePageWritesThePaneBack)
{
    form->show_page(Page::method);
    form->state().set_previous_page(Page::method);
    pick("Wash Cycles");
    in_window->pane_slots[1].text->setText("bad");
    form->state().page_changed(Page::sample_list);
    ASSERT_EQ(prompts.shown.size(), 1u);
    EXPECT_EQ(prompts.shown[0], "error: Parameter " + quote + "Volume" + quote + " : bad is not a valid value.");
}

TEST_F(MethodPageInWindowTest, ReopenTheLastMethodAtStart)
{
    write_setting_text("Method", "Sandwich Injection");
    in_window->reopen_last_method();
    EXPECT_EQ(in_window->document().name(), "Sandwich Injection");
    EXPECT_EQ(selected_name(form->method_select_box), "Sandwich Injection");

    write_setting_text("Method", "Gone");
    in_window->reopen_last_method();
    EXPECT_EQ(selected_name(form->method_select_box), "");
    EXPECT_EQ(read_setting_text("Method", "x"), "");
}

// Records what the settings name as the last method whenever a box is shown.
class SettingAtPrompt final : public Prompts {
public:
    void show_error(const std::string&) override { record(); }
    void show_information(const std::string&) override { record(); }
    AbortRetryIgnore ask_abort_retry_ignore(const std::string&) override { record(); return AbortRetryIgnore::abort; }
    bool ask_yes_no(const std::string&) override { record(); return false; }
    std::vector<std::string> seen;
private:
    void record()
    {
        const auto v = settings_store().read("", "Method");
        seen.push_back(v ? v->text : "<missing>");
    }
};

TEST_F(MethodPageInWindowTest, WhileAMethodIsReopenedTheSettingDoesNotNameIt)
{
    std::string text = test::read_file((dir.path() / "Wash Cycles.KME").string());
    text.replace(text.find("syringe:Syr10ul"), 15, "syringe:NoSuchSyringe");
    test::write_file((dir.path() / "Odd Syringe.KME").string(), text);
    write_setting_text("Method", "Odd Syringe");
    SettingAtPrompt watcher;
    PromptsScope scope(watcher);
    in_window->reopen_last_method();
    // Had the warning box ended the program, the next start would not open it again.
    EXPECT_EQ(watcher.seen, std::vector<std::string>{""});
    EXPECT_EQ(in_window->document().name(), "Odd Syringe");
    EXPECT_EQ(read_setting_text("Method", "x"), "Odd Syringe");
}

TEST_F(MethodPageInWindowTest, ThePageRendersInTheMainWindow)
{
    form->resize(1280, 800);
    form->show_page(Page::method);
    form->prepare_captions();
    form->show();
    pick("Standard Injection");
    in_window->method_box->setCurrentRow(1);
    QApplication::processEvents();
    const QPixmap shot = form->grab();
    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(shot.size(), QSize(1280, 800));
    EXPECT_EQ(prompts.shown, std::vector<std::string>{});
    if (const char* path = std::getenv("CADENZOR_METHOD_SCREENSHOT")) {
        EXPECT_TRUE(shot.save(QString::fromLocal8Bit(path)));
    }
}
