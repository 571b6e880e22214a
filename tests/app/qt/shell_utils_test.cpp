#include "ground/documents.h"
#include "ground/qt/list_ops.h"
#include "app/qt/main_form.h"
#include "ground/qt/qt_text.h"
#include "ground/qt/window_place.h"
#include "ground/settings.h"

#include "temp_dir.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <gtest/gtest.h>

using namespace kelvo;

TEST(ShellText, Windows1252CrossesIntoQtIntact)
{
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(from_qstring(to_qstring(all)), all);
    EXPECT_EQ(to_qstring("\xB5l"), QString::fromUtf8("\xC2\xB5l"));
    EXPECT_EQ(from_qstring(QString::fromUtf8("\xE6\xBC\xA2")), "?");
}

TEST(ListOps, NamesAreFoundWithoutRegardToCase)
{
    QComboBox box;
    add_name(&box, "Wash");
    add_name(&box, "WASH");  // already there
    add_name(&box, "Inject");
    EXPECT_EQ(box.count(), 2);
    box.setCurrentIndex(-1);
    EXPECT_EQ(selected_name(&box), "");
    select_name(&box, "inject");
    EXPECT_EQ(selected_name(&box), "Inject");
    select_name(&box, "missing");
    EXPECT_EQ(selected_name(&box), "Inject");
    EXPECT_TRUE(contains_name(&box, "wash"));
    remove_name(&box, "WASH");
    EXPECT_FALSE(contains_name(&box, "Wash"));
    EXPECT_EQ(find_in_list(std::vector<std::string>{"a", "B", "b"}, "b"), 2);
    EXPECT_EQ(find_in_list(std::vector<std::string>{"a"}, "z"), -1);
}

TEST(ListOps, FillFromFolderKeepsAnUnsavedSelectedName)
{
    test::TempDir dir;
    for (const char* f : {"Wash.kma", "Fill.kma", "Assay.KME", "Old.KMA"}) test::write_file(dir.file(f), "");
    QComboBox box;
    const std::string pattern = dir.path().string() + "/*" + macro_extension;
    fill_from_folder(&box, pattern, "");
    EXPECT_EQ(box.count(), 3);                 // the method file is not a macro
    EXPECT_EQ(selected_name(&box), "");        // nothing was selected before
    fill_from_folder(&box, pattern, "New one");
    EXPECT_EQ(box.count(), 4);
    select_name(&box, "New one");
    refill_keeping_selection(&box, pattern);
    EXPECT_EQ(selected_name(&box), "New one");  // unsaved, still listed while selected
    EXPECT_TRUE(contains_name(&box, "new one"));
    select_name(&box, "Wash");
    std::filesystem::remove(dir.file("Wash.kma"));
    refill_keeping_selection(&box, pattern);
    EXPECT_EQ(selected_name(&box), "Wash");
}

TEST(ListOps, PopupChoicesAndChildren)
{
    QMenu menu;
    for (int i = 0; i < 4; ++i) menu.addAction("")->setVisible(false);
    EXPECT_TRUE(set_popup_choice(&menu, "SL.volume", 0));
    EXPECT_FALSE(set_popup_choice(&menu, "sl.VOLUME", 1));  // already in an earlier slot
    EXPECT_TRUE(set_popup_choice(&menu, "SYR.Max Volume", 1));
    EXPECT_TRUE(menu.actions()[1]->isVisible());
    EXPECT_FALSE(set_popup_choice(&menu, "x", 9));
    QLineEdit edit;
    take_popup_choice(menu.actions()[1], &edit);
    EXPECT_EQ(edit.text(), "SYR.Max Volume");

    QWidget parent;
    auto* child = new QLineEdit(&parent);
    child->setObjectName("Edit3");
    EXPECT_EQ(find_child(&parent, "Edit3"), child);
    EXPECT_EQ(find_child(&parent, "edit3"), nullptr);  // names are matched exactly
}

TEST(WindowPlace, TheStoredCentreIsRestored)
{
    MemorySettingsStore store;
    SettingsScope scope(store);
    QWidget w;
    w.resize(301, 200);
    write_setting_integer("Window Left", 500);
    write_setting_integer("Window Top", 300);
    restore_window_position(&w);
    EXPECT_EQ(w.pos(), QPoint(500 - 150, 300 - 100));
    store_window_centre(&w);
    EXPECT_EQ(read_setting_integer("Window Left", 0), 500);
}

TEST(MainForm, DocumentCaptionsFollowThePageInFront)
{
    MemorySettingsStore store;
    SettingsScope scope(store);
    Tmain_form form;
    EXPECT_EQ(form.windowTitle(), "KELVO Cadenzor");
    form.PageControl1->setCurrentWidget(form.macro_page);
    EXPECT_EQ(form.new_item->text(), "&New Macro");
    EXPECT_EQ(form.save_item->text(), "&Save Macro");
    EXPECT_EQ(form.save_as_item->text(), "Save Macro &As...");
    EXPECT_EQ(form.delete_item->text(), "&Delete Macro");
    EXPECT_EQ(form.print_item->text(), "&Print Macro");
    form.PageControl1->setCurrentWidget(form.sample_list_page);
    EXPECT_EQ(form.save_as_item->text(), "Save Sample List &As...");
    EXPECT_EQ(form.PageControl1->tabText(1), "Method Editor");
}
