// The vial selection dialog driven with the mouse and the keyboard.
#include "trays/qt/tray_form.h"
#include "ground/debug_lines.h"
#include "language/bound_check.h"

#include "config/config_test_support.h"
#include "ground/log.h"
#include "language/bound_check.h"
#include "ground/qt/spread_grid.h"
#include "language/bound_check.h"
#include "recording_prompts.h"
#include "temp_dir.h"
#include "trays/tray_test_config.h"
#include "trays/tray_types.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QApplication>
#include <QTest>

#include <cstdlib>
#include <fstream>

using namespace kelvo;

namespace {

struct AddedRows {
    std::vector<int> vials;
    std::string tray;
    bool insert = false;
};

class TrayFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {

        ASSERT_TRUE(parse_configuration(db, config_test::lines_of(config_test::config_text("", tray_test::classes, tray_test::objects)), prompts, debug_line));
        set_log_path(dir.file("cadenzor.log"));
        set_status_sink([this](const std::string& text) { status.push_back(text); });
        form = std::make_unique<Ttray_form>(nullptr, &db);
        TrayFormHooks hooks;
        hooks.add_rows = [this](const std::vector<int>& vials, const std::string& tray, bool insert) {
            added.push_back({vials, tray, insert});
        };
        hooks.load_defaults = [this](SpreadGrid& sheet) {
            ++loads;
            sheet.set_max_cols(2);
            sheet.set_col(1);
            sheet.set_row(1);
            sheet.set_text("10");
        };
        hooks.save_defaults = [this](SpreadGrid& sheet) {
            sheet.set_col(1);
            sheet.set_row(1);
            saved.push_back(sheet.text().toStdString());
        };
        hooks.send_status_command = [this](const std::string& command, std::function<void()> completion) {
            sent.push_back(command);
            completions.push_back(std::move(completion));
        };
        form->set_hooks(std::move(hooks));
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    void TearDown() override
    {
        set_status_sink({});
        set_log_path("cadenzor.log");
    }

    QPoint centre_of(int i, int j) const
    {
        const IntPoint c = form->selection().picture().centre(i, j);
        return {c.x, c.y};
    }
    void click_vial(int i, int j) { QTest::mouseClick(form->tray_picture, Qt::LeftButton, {}, centre_of(i, j)); }
    void drag(QPoint from, QPoint to)
    {
        QTest::mousePress(form->tray_picture, Qt::LeftButton, {}, from);
        QTest::mouseMove(form->tray_picture, (from + to) / 2);
        QTest::mouseMove(form->tray_picture, to);
        QTest::mouseRelease(form->tray_picture, Qt::LeftButton, {}, to);
    }
    // A point inside the side view's hit rectangle of the tray.
    QPoint on_tray(const std::string& name) const
    {
        const HolderLayout l = form->holder_layout();
        for (const HolderTrayShape& s : l.trays)
            if (form->holder_table().trays[static_cast<std::size_t>(s.table_index)].name == name)
                return {s.hit.left + s.hit.width / 2, s.hit.top + s.hit.height / 2};
        ADD_FAILURE() << name << " not drawn";
        return {};
    }
    QStringList visible_menu_items() const
    {
        QStringList items;
        for (QAction* a : form->tray_type_popup->actions())
            if (a->isVisible()) items << a->text();
        return items;
    }

    test::TempDir dir;
    ConfigDb db;
    test::RecordingPrompts prompts;
    PromptsScope prompts_scope{prompts};
    std::unique_ptr<Ttray_form> form;
    std::vector<AddedRows> added;
    std::vector<std::string> saved, sent, status;
    std::vector<std::function<void()>> completions;
    int loads = 0;
};

TEST_F(TrayFormTest, OpensOnTheFirstHolderAndItsFirstTray)
{
    EXPECT_EQ(form->windowTitle(), "Trays");
    EXPECT_FALSE(form->isModal());
    EXPECT_EQ(form->holder_label->text(), "Tray Holder:");
    EXPECT_EQ(form->tray_holder_box->count(), 2);
    EXPECT_EQ(form->tray_holder_box->currentText(), "Stack");
    EXPECT_EQ(form->current_tray(), "Upper");
    EXPECT_EQ(form->tray_label->text(), "Upper:VT15");
    const TrayPicture expected = place_tray_grid(tray_grid(db, "VT15"), form->tray_box());
    EXPECT_EQ(form->tray_picture->geometry(), QRect(expected.rect.left, expected.rect.top, expected.rect.width,
                                                   expected.rect.height));
    EXPECT_EQ(form->tray_label->geometry().bottom() + 1, expected.rect.top);
    EXPECT_TRUE(form->numbers_shown());
    EXPECT_EQ(loads, 1);
    const QStringList captions = {"&Select All", "&Deselect All", "&Add", "&Insert", "&Close"};
    const QPushButton* buttons[] = {form->select_all_button, form->deselect_button, form->add_button,
                                    form->insert_button, form->close_button};
    for (int k = 0; k < 5; ++k) EXPECT_EQ(buttons[k]->text(), captions[k]);
}

TEST_F(TrayFormTest, ClickTogglesAVialAndBandsAddToTheSelection)
{
    click_vial(1, 0);  // VT15 numbers down the columns: vial 4
    EXPECT_TRUE(form->selection().selected(1, 0));
    click_vial(1, 0);
    EXPECT_FALSE(form->selection().any_selected());

    click_vial(0, 0);
    // A band from above-left of (0,0) to the centre of (1,1): four vials.
    drag(centre_of(0, 0) - QPoint(5, 5), centre_of(1, 1));
    EXPECT_EQ(form->selection().selected_vials(), (std::vector<int>{1, 2, 4, 5}));
    // A band over part of circle (2,0) but not its centre changes nothing.
    const int R = form->selection().picture().radius;
    drag(centre_of(2, 0) + QPoint(3, -R), centre_of(2, 0) + QPoint(R, R));
    EXPECT_EQ(form->selection().selected_count(), 4);
}

TEST_F(TrayFormTest, AddAndInsertHandOverTheVialsInAscendingOrder)
{
    QTest::mouseClick(form->add_button, Qt::LeftButton);
    EXPECT_EQ(prompts.shown, std::vector<std::string>{"error: No vials are selected!"});
    EXPECT_TRUE(added.empty());

    for (auto [i, j] : {std::pair{2, 0}, std::pair{0, 2}, std::pair{1, 1}}) click_vial(i, j);  // 7, 3, 5
    QTest::mouseClick(form->add_button, Qt::LeftButton);
    ASSERT_EQ(added.size(), 1u);
    EXPECT_EQ(added[0].vials, (std::vector<int>{3, 5, 7}));
    EXPECT_EQ(added[0].tray, "Upper");
    EXPECT_FALSE(added[0].insert);
    EXPECT_FALSE(form->selection().any_selected());

    QTest::mouseClick(form->select_all_button, Qt::LeftButton);
    EXPECT_EQ(form->selection().selected_count(), 15);
    form->insert_button->setFocus();
    QTest::keyClick(form->insert_button, Qt::Key_Space);
    ASSERT_EQ(added.size(), 2u);
    EXPECT_EQ(added[1].vials.size(), 15u);
    EXPECT_TRUE(added[1].insert);

    QTest::mouseClick(form->select_all_button, Qt::LeftButton);
    QTest::mouseClick(form->deselect_button, Qt::LeftButton);
    EXPECT_FALSE(form->selection().any_selected());
}

TEST_F(TrayFormTest, HintShowsTheVialNumberUnderTheMouse)
{
    QTest::mouseMove(form->tray_picture, centre_of(1, 2));
    EXPECT_EQ(form->tray_picture->toolTip(), "6");
    QTest::mouseMove(form->tray_picture, QPoint(1, 1));
    EXPECT_EQ(form->tray_picture->toolTip(), "");
}

TEST_F(TrayFormTest, LeftClickOnTheSideViewShowsThatTray)
{
    click_vial(0, 0);
    QTest::mouseClick(form->tray_holder_picture, Qt::LeftButton, {}, on_tray("Back"));
    EXPECT_EQ(form->current_tray(), "Back");
    EXPECT_EQ(form->tray_label->text(), "Back:VT54");
    EXPECT_EQ(form->selection().grid().q, 9);
    EXPECT_FALSE(form->selection().any_selected());
    // Outside every tray nothing happens.
    QTest::mouseClick(form->tray_holder_picture, Qt::LeftButton, {}, QPoint(1, 1));
    EXPECT_EQ(form->current_tray(), "Back");
}

TEST_F(TrayFormTest, RightClickOffersTheTypesOfTheTraysGroupsAndChangesTheType)
{
    QTest::mouseClick(form->tray_holder_picture, Qt::RightButton, {}, on_tray("Back"));
    EXPECT_EQ(form->type_change_tray(), "Back");
    ASSERT_TRUE(form->tray_type_popup->isVisible());
    EXPECT_EQ(visible_menu_items(),
              (QStringList{"VT54", "VT15", "DownRev", "Along", "AlongRev", "Flat", "Huge", "NoVials"}));
    QAction* vt15 = form->tray_type_popup->actions()[1];
    QTest::mouseClick(form->tray_type_popup, Qt::LeftButton, {}, form->tray_type_popup->actionGeometry(vt15).center());
    ASSERT_EQ(sent, std::vector<std::string>{"DLD_OBJ TRAY;Back;Stack;VT15;0;70000;0;AB"});
    EXPECT_EQ(db.tray_type("Back"), "VT15");
    EXPECT_EQ(form->current_tray(), "Back");
    EXPECT_EQ(form->tray_label->text(), "Back:VT15");
    EXPECT_EQ(form->holder_table().trays[1].width, 72);  // the new type's extents
    ASSERT_EQ(completions.size(), 1u);
    completions[0]();
    EXPECT_EQ(status, std::vector<std::string>{"Tray type of Back set to VT15"});
    EXPECT_NE(test::read_file(dir.file("cadenzor.log")).find(" : Tray type of Back set to VT15\r\n"),
              std::string::npos);
}

TEST_F(TrayFormTest, RowsNameTheShownTrayAfterARightClickWithoutAChoice)
{
    click_vial(0, 0);
    QTest::mouseClick(form->tray_holder_picture, Qt::RightButton, {}, on_tray("Front"));
    EXPECT_EQ(form->current_tray(), "Front");
    form->tray_type_popup->close();
    EXPECT_EQ(form->shown_tray(), "Upper");
    EXPECT_EQ(form->tray_label->text(), "Upper:VT15");
    QTest::mouseClick(form->add_button, Qt::LeftButton);
    ASSERT_EQ(added.size(), 1u);
    EXPECT_EQ(added[0].tray, "Upper");
    EXPECT_EQ(added[0].vials, std::vector<int>{1});
    EXPECT_TRUE(sent.empty());
}

TEST_F(TrayFormTest, AtMostSixteenTypesAreOffered)
{
    std::string objects = "TRAY_HOLDER;H;0;0;0\nTRAY;T;H;Y0;0;0;0;\n";
    for (int k = 0; k < 20; ++k) objects += "TRAY_TYPE;Y" + std::to_string(k) + ";10000;0;0;10000;2;2;\n";
    ASSERT_TRUE(parse_configuration(db, config_test::lines_of(config_test::config_text("", tray_test::classes, objects)), prompts, debug_line));
    form->refresh_from_configuration();
    QTest::mouseClick(form->tray_holder_picture, Qt::RightButton, {}, on_tray("T"));
    const QStringList items = visible_menu_items();
    ASSERT_EQ(items.size(), 16);
    EXPECT_EQ(items.back(), "Y15");
    form->tray_type_popup->close();
}

TEST_F(TrayFormTest, MoreThanAThousandVialsAreRefusedWhole)
{
    ASSERT_TRUE(parse_configuration(db, config_test::lines_of(config_test::config_text(
        "", tray_test::classes, "TRAY_HOLDER;H;0;0;0\nTRAY_TYPE;Big;40000;0;0;30000;40;30;\nTRAY;T;H;Big;0;0;0;\n")), prompts, debug_line));
    form->refresh_from_configuration();
    ASSERT_EQ(form->selection().grid().cell_count(), 1200);
    QTest::mouseClick(form->select_all_button, Qt::LeftButton);
    QTest::mouseClick(form->add_button, Qt::LeftButton);
    EXPECT_EQ(prompts.shown, std::vector<std::string>{"error: At most 1000 vials can be added at a time!"});
    EXPECT_TRUE(added.empty());
    EXPECT_EQ(form->selection().selected_count(), 1200);
    // A thousand go.
    QTest::mouseClick(form->deselect_button, Qt::LeftButton);
    const IntRect r = form->selection().picture().rect;
    QTest::mousePress(form->tray_picture, Qt::LeftButton, {}, QPoint(1, 1));  // (0, 0) would mean the centre
    QTest::mouseMove(form->tray_picture, QPoint(r.width, r.height));
    QTest::mouseRelease(form->tray_picture, Qt::LeftButton, {}, QPoint(r.width, r.height * 25 / 30));
    EXPECT_EQ(form->selection().selected_count(), 1000);
    QTest::mouseClick(form->add_button, Qt::LeftButton);
    ASSERT_EQ(added.size(), 1u);
    EXPECT_EQ(added[0].vials.size(), 1000u);
}

TEST_F(TrayFormTest, AHolderWithoutTraysShowsNoTray)
{
    form->tray_holder_box->setFocus();
    QTest::keyClick(form->tray_holder_box, Qt::Key_Down);
    EXPECT_EQ(form->tray_holder_box->currentText(), "Empty");
    EXPECT_EQ(form->current_tray(), "");
    EXPECT_EQ(form->tray_label->text(), "");
    EXPECT_EQ(form->tray_picture->size(), QSize(0, 0));
    EXPECT_TRUE(form->holder_table().trays.empty());
    QTest::mouseClick(form->add_button, Qt::LeftButton);
    EXPECT_EQ(prompts.shown, std::vector<std::string>{"error: No vials are selected!"});
}

TEST_F(TrayFormTest, ClosingSavesTheDefaultsAndOpeningLoadsThem)
{
    QTest::mouseClick(form->close_button, Qt::LeftButton);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(saved, std::vector<std::string>{"10"});
    form->show();
    EXPECT_EQ(loads, 2);
}

TEST_F(TrayFormTest, TheActiveDefaultCellIsAqua)
{
    SpreadGrid& sheet = *form->default_sheet;
    sheet.setFocus();
    sheet.setCurrentIndex(sheet.model()->index(0, 0));
    QTest::keyClick(&sheet, Qt::Key_Right);
    sheet.set_col(2);
    sheet.set_row(1);
    EXPECT_EQ(sheet.back_color(), QColor(0, 255, 255));
    QTest::keyClick(&sheet, Qt::Key_Left);
    EXPECT_EQ(sheet.active_col(), 1);
    sheet.set_col(2);
    EXPECT_EQ(sheet.back_color(), QColor(Qt::white));
    sheet.set_col(1);
    EXPECT_EQ(sheet.back_color(), QColor(0, 255, 255));
}


TEST_F(TrayFormTest, ChoosingNoneInTheDefaultSheetEmptiesTheCell)
{
    SpreadGrid& sheet = *form->default_sheet;
    sheet.set_col(2);
    sheet.set_row(1);
    sheet.set_cell_type(SpreadCellType::combo_box);
    sheet.set_type_combo_box_list("Blank\tWater\tNone");
    sheet.set_text("Water");
    sheet.action(SpreadAction::active_cell);
    sheet.setFocus();
    sheet.edit(sheet.model()->index(0, 1));
    QComboBox* combo = nullptr;
    for (QComboBox* c : sheet.viewport()->findChildren<QComboBox*>())
        if (c->isVisible()) combo = c;
    ASSERT_NE(combo, nullptr);
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);  // Water -> None
    EXPECT_EQ(combo->currentText(), "None");
    QTest::keyClick(combo, Qt::Key_Return);
    sheet.set_col(2);
    sheet.set_row(1);
    EXPECT_EQ(sheet.text(), "");
}

// The demo configuration: two levels on "Stack", a selection made with the
// mouse, and the pictures drawn in the colours of the dialog. With
// CADENZOR_SCREENSHOT set, the dialog is also rendered into that file
// (docs/vial_selection.png is made this way).
TEST(TrayFormDemo, DrawsTheDemoHolderAndASelection)
{
    ConfigDb db;
    std::vector<std::string> lines;
    {
        std::ifstream in(config_test::demo_config_path(), std::ios::binary);
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(line);
        }
    }
    ASSERT_TRUE(parse_configuration(db, lines, prompts(), debug_line));
    Ttray_form form(nullptr, &db);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_EQ(form.tray_label->text(), "Tray1:VT54");
    EXPECT_EQ(form.holder_layout().levels.size(), 2u);

    const TrayPicture& picture = form.selection().picture();
    auto centre = [&](int i, int j) {
        const IntPoint c = picture.centre(i, j);
        return QPoint(c.x, c.y);
    };
    QTest::mousePress(form.tray_picture, Qt::LeftButton, {}, centre(1, 1) - QPoint(4, 4));
    QTest::mouseMove(form.tray_picture, centre(3, 2));
    QTest::mouseRelease(form.tray_picture, Qt::LeftButton, {}, centre(3, 2));
    QTest::mouseClick(form.tray_picture, Qt::LeftButton, {}, centre(7, 4));
    EXPECT_EQ(form.selection().selected_vials(), (std::vector<int>{11, 12, 13, 20, 21, 22, 44}));

    const QImage tray = form.tray_picture->grab().toImage();
    const int below = picture.radius - 3;  // under the number, inside the circle
    EXPECT_EQ(tray.pixelColor(0, 0), QColor(0, 255, 255));
    EXPECT_EQ(tray.pixelColor(centre(0, 0) + QPoint(0, below)), QColor(Qt::black));
    EXPECT_EQ(tray.pixelColor(centre(2, 2) + QPoint(0, below)), QColor(255, 0, 0));
    EXPECT_EQ(tray.pixelColor(centre(7, 4) + QPoint(0, below)), QColor(255, 0, 0));

    const QImage holder = form.tray_holder_picture->grab().toImage();
    const HolderLayout layout = form.holder_layout();
    auto inside = [](const HolderTrayShape& s) {
        return QPoint(s.corners[0].x + (s.corners[2].x - s.corners[0].x) / 5,
                      s.corners[0].y + (s.corners[2].y - s.corners[0].y) / 5);
    };
    ASSERT_EQ(layout.trays.size(), 4u);
    EXPECT_EQ(holder.pixelColor(inside(layout.trays[0])), QColor(0, 255, 255));  // Tray1, current
    EXPECT_EQ(holder.pixelColor(inside(layout.trays[1])), QColor(96, 192, 192));
    EXPECT_EQ(holder.pixelColor(1, 1), form.palette().color(QPalette::Button));

    if (const char* path = std::getenv("CADENZOR_SCREENSHOT")) {
        EXPECT_TRUE(form.grab().save(QString::fromLocal8Bit(path)));
    }
}

}  // namespace
