// The Test Parameters form on the program's grid, by keyboard and mouse:
// typed entries set the sample-list variables on Enter or OK; Escape and
// Cancel leave them alone.
#include "ground/qt/spread_grid.h"
#include "samplelist/qt/test_params_form.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace kelvo {
namespace {

std::vector<TestParameterRow> fixed_rows()
{
    ColumnTable columns;
    columns.build_fixed({"M", "Tray1", "LCVlv1"});
    return test_parameter_rows(columns);
}

QLineEdit* open_editor(SpreadGrid& g)
{
    QKeyEvent f2(QEvent::KeyPress, Qt::Key_F2, Qt::NoModifier);
    QCoreApplication::sendEvent(&g, &f2);
    for (QLineEdit* e : g.viewport()->findChildren<QLineEdit*>())
        if (e->isVisible()) return e;
    return nullptr;
}

// Runs ask() with the user's part played once the form is up.
bool ask_with(Ttest_params_form& form, SampleVariables& v, const std::function<void()>& user)
{
    QTimer::singleShot(0, &form, [&] {
        QApplication::processEvents();
        user();
    });
    return form.ask(fixed_rows(), v);
}

TEST(TestParamsForm, TheGridShowsHeadingsAndEntriesWithTheFirstEntryActive)
{
    Ttest_params_form form;
    form.prepare(fixed_rows());
    SpreadGrid& g = *form.test_sheet;
    EXPECT_EQ(form.windowTitle(), "Test Parameters");
    ASSERT_EQ(g.max_rows(), 8);
    g.set_col(1);
    g.set_row(1);
    EXPECT_EQ(g.text(), "Volume");
    g.set_row(8);
    EXPECT_EQ(g.text(), "Inj/Vial");
    EXPECT_EQ(g.active_col(), 2);
    EXPECT_EQ(g.active_row(), 1);
    EXPECT_EQ(form.entries(), (std::vector<std::string>{"1.0", "Tray1", "LCVlv1", "1.0", "Tray1", "LCVlv1", "1", "1"}));
}

TEST(TestParamsForm, TypedEntriesAndEnterSetTheVariables)
{
    Ttest_params_form form;
    SampleVariables v;
    const bool ok = ask_with(form, v, [&] {
        SpreadGrid* g = form.test_sheet;
        QLineEdit* e = open_editor(*g);
        if (!e) { ADD_FAILURE() << "no editor 1"; return form.reject(); }
        e->clear();
        QTest::keyClicks(e, "2.5");
        QTest::keyClick(e, Qt::Key_Tab);  // over the Tray heading
        QTest::keyClick(g, Qt::Key_Tab);  // to the Tray entry
        EXPECT_EQ(g->active_col(), 2);
        EXPECT_EQ(g->active_row(), 2);
        for (int i = 0; i < 5; ++i) QTest::keyClick(g, Qt::Key_Down);  // Vial
        e = open_editor(*g);
        if (!e) { ADD_FAILURE() << "no editor 2 at " << g->active_col() << "," << g->active_row(); return form.reject(); }
        e->clear();
        QTest::keyClicks(e, "12");
        QTest::keyClick(e, Qt::Key_Return);  // commits, then OK
    });
    EXPECT_TRUE(ok);
    EXPECT_EQ(v.volume, 2.5);
    EXPECT_EQ(v.index, 12);
    EXPECT_EQ(v.tray, "Tray1");
}

TEST(TestParamsForm, OkCancelAndEscape)
{
    Ttest_params_form form;
    SampleVariables v;
    EXPECT_TRUE(ask_with(form, v, [&] { QTest::mouseClick(form.ok_button, Qt::LeftButton); }));
    EXPECT_EQ(v.injector, "LCVlv1");

    SampleVariables untouched;
    EXPECT_FALSE(ask_with(form, untouched, [&] { QTest::mouseClick(form.cancel_button, Qt::LeftButton); }));
    EXPECT_EQ(untouched.tray, "ABC");
    EXPECT_FALSE(ask_with(form, untouched, [&] { QTest::keyClick(form.test_sheet, Qt::Key_Escape); }));
    EXPECT_EQ(untouched.tray, "ABC");
}

}  // namespace
}  // namespace kelvo
