#include "language/qt/add_param_form.h"

#include "ground/qt/qt_text.h"
#include "language/qt/atom_pane_rules.h"
#include "macro_editor_fixture.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>

using namespace kelvo;
using kelvo::test::MacroEditorFixture;

namespace {

class AddParamFormTest : public MacroEditorFixture {
protected:
    void fill_numeric(const char* name, const char* unit, const char* def, const char* min, const char* max)
    {
        form.new_param_text->setText(to_qstring(name));
        form.numeric_button->setChecked(true);
        form.units_box->setCurrentIndex(form.units_box->findText(to_qstring(unit)));
        form.default_value->setText(def);
        form.min_value->setText(min);
        form.max_value->setText(max);
    }
    QCheckBox* check(int n) { return form.class_checks[static_cast<std::size_t>(n - 1)]; }

    Tadd_param_form form;
    const std::vector<std::string> lines{"Vol (\xB5l);1;0;SYR.Max Volume", "Where;TRAY;INJECTOR", "Count ();1;0;10"};
};

}  // namespace

TEST_F(AddParamFormTest, FieldsLabelsAndUnits)
{
    form.prepare(config(), lines, -1);
    EXPECT_EQ(form.windowTitle(), "Add new parameter");
    EXPECT_EQ(form.name_label->text(), "Please type the parameter name ");
    EXPECT_EQ(form.kind_group->title(), "This parameter represents");
    EXPECT_EQ(form.numeric_button->text(), "A numeric value");
    EXPECT_EQ(form.object_button->text(), "An object");
    EXPECT_EQ(form.units_label->text(), "Please choose units for the  parameter");
    EXPECT_EQ(form.default_label->text(), "Please type a default value for the parameter");
    EXPECT_EQ(form.min_label->text(), "Please type a lower limit for the parameter");
    EXPECT_EQ(form.max_label->text(), "Please type an upper limit for the parameter");
    EXPECT_EQ(form.classes_label->text(), "Please check the type of objects that this parameter may represent:");
    EXPECT_TRUE(form.numeric_button->isChecked());
    EXPECT_TRUE(form.new_param_text->text().isEmpty());
    EXPECT_TRUE(form.default_value->text().isEmpty());

    // "None", then each unit of the atoms' numeric arguments once, in order.
    QStringList units;
    for (int i = 0; i < form.units_box->count(); ++i) units << form.units_box->itemText(i);
    EXPECT_EQ(units, (QStringList{"None", "s", QString::fromUtf8("\xC2\xB5l"), "mm"}));
    EXPECT_EQ(form.units_box->currentText(), "None");

    // One box per class, captioned in class order; the rest hidden; none ticked.
    EXPECT_EQ(form.findChild<QCheckBox*>("CheckBox1"), check(1));
    EXPECT_EQ(form.findChild<QCheckBox*>("CheckBox32"), check(32));
    EXPECT_EQ(check(1)->text(), "SYRINGE");
    EXPECT_EQ(check(4)->text(), "OUT_SIGNAL");
    EXPECT_FALSE(check(4)->isHidden());
    EXPECT_TRUE(check(5)->isHidden());
    EXPECT_TRUE(check(32)->isHidden());
    for (int n = 1; n <= 32; ++n) EXPECT_FALSE(check(n)->isChecked()) << n;
}

TEST_F(AddParamFormTest, EditingFillsFromTheLineAndTicksExactlyItsClasses)
{
    check(1)->setChecked(true);  // left over from an earlier opening
    form.prepare(config(), lines, 1);
    EXPECT_EQ(form.windowTitle(), "Edit parameter 2");
    EXPECT_EQ(form.new_param_text->text(), "Where");
    EXPECT_TRUE(form.object_button->isChecked());
    std::vector<int> ticked;
    for (int n = 1; n <= 32; ++n)
        if (check(n)->isChecked()) ticked.push_back(n);
    EXPECT_EQ(ticked, (std::vector<int>{2, 3}));

    form.prepare(config(), lines, 0);
    EXPECT_EQ(form.windowTitle(), "Edit parameter 1");
    EXPECT_TRUE(form.numeric_button->isChecked());
    EXPECT_EQ(form.units_box->currentText(), QString::fromUtf8("\xC2\xB5l"));
    EXPECT_EQ(form.default_value->text(), "1");
    EXPECT_EQ(form.min_value->text(), "0");
    EXPECT_EQ(form.max_value->text(), "SYR.Max Volume");

    form.prepare(config(), lines, 2);
    EXPECT_EQ(form.units_box->currentText(), "None");

    // A new parameter after an edit starts empty again.
    form.prepare(config(), lines, -1);
    EXPECT_TRUE(form.new_param_text->text().isEmpty());
    for (int n = 1; n <= 32; ++n) EXPECT_FALSE(check(n)->isChecked()) << n;
}

TEST_F(AddParamFormTest, OkChecksInOrderAndKeepsTheDialogOpen)
{
    form.prepare(config(), lines, -1);
    auto ok_with = [&](const char* name) {
        form.new_param_text->setText(to_qstring(name));
        form.ok_buttonClick();
        return form.result();
    };
    fill_numeric("", "None", "", "", "");
    EXPECT_EQ(ok_with("a(b"), "");
    EXPECT_EQ(ok_with("a-b"), "");
    EXPECT_EQ(ok_with("WHERE"), "");   // another parameter, any case
    EXPECT_EQ(ok_with("tray1"), "");   // an object
    EXPECT_EQ(ok_with("Fresh"), "");   // the default is empty
    form.default_value->setText("5");
    form.min_value->setText("1:30");    // a time is no value without unit
    EXPECT_EQ(ok_with("Fresh"), "");
    form.min_value->setText("0");
    form.max_value->setText("SYR.Max Volume");  // in µl, not dimensionless
    EXPECT_EQ(ok_with("Fresh"), "");
    form.numeric_button->setChecked(false);
    form.object_button->setChecked(true);
    EXPECT_EQ(ok_with("Fresh"), "");
    EXPECT_EQ(prompts.shown,
              (std::vector<std::string>{
                  "error: Please do not use parentheses or arithmetic operations in the parameter name",
                  "error: Please do not use parentheses or arithmetic operations in the parameter name",
                  "error: There is already a parameter named WHERE",
                  "error: There is an object named tray1",
                  "error: Fresh:  makes no sense ",
                  "error: Fresh: 1:30 makes no sense ",
                  "error: Fresh: SYR.Max Volume makes no sense ",
                  "error: You must select at least one object type!",
              }));
    EXPECT_EQ(form.new_param_text->text(), "Fresh");  // the input stays
}

TEST_F(AddParamFormTest, NamesThatWouldBreakTheLinesAreRefused)
{
    form.prepare(config(), lines, -1);
    for (const char* name : {"", "  ", "a;b", "a,b"}) {
        form.new_param_text->setText(name);
        form.ok_buttonClick();
        EXPECT_EQ(form.result(), "") << name;
    }
    EXPECT_EQ(prompts.shown, (std::vector<std::string>{"error: Please type the parameter name",
                                                       "error: Please type the parameter name",
                                                       "error: Please do not use ; or , in the parameter name",
                                                       "error: Please do not use ; or , in the parameter name"}));
}

TEST_F(AddParamFormTest, OkBuildsTheParameterLine)
{
    form.prepare(config(), lines, -1);
    fill_numeric("Volume", "\xB5l", "SYR.Max Volume", "0", "SL.volume");
    form.ok_buttonClick();
    EXPECT_EQ(form.result(), "Volume (\xB5l);SYR.Max Volume;0;SL.volume");

    form.prepare(config(), lines, -1);
    fill_numeric("N", "None", "1", "0", "10");
    form.ok_buttonClick();
    EXPECT_EQ(form.result(), "N ();1;0;10");

    // Editing may keep the parameter's own name.
    form.prepare(config(), lines, 1);
    check(2)->setChecked(false);
    check(4)->setChecked(true);
    form.ok_buttonClick();
    EXPECT_EQ(form.result(), "Where;INJECTOR;OUT_SIGNAL");
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(AddParamFormTest, EnterIsOkAndEscapeIsCancel)
{
    form.prepare(config(), lines, -1);
    fill_numeric("K", "s", "1:30", "0", "600");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(&form, &enter);
    EXPECT_EQ(form.result(), "K (s);1:30;0;600");
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&form, &escape);
    EXPECT_EQ(form.result(), "");
}

TEST_F(AddParamFormTest, ParamPopupOffersTheNamesOfTheChosenUnit)
{
    form.prepare(config(), lines, -1);
    form.units_box->setCurrentIndex(form.units_box->findText(QString::fromUtf8("\xC2\xB5l")));
    form.prepare_param_popup(form.max_value);
    QStringList captions;
    for (QAction* a : form.param_popup->actions()) captions << a->text();
    EXPECT_EQ(captions, (QStringList{"SL.volume", "SL.volume2", "SYR.Max Volume"}));
    form.param_popupClick(form.param_popup->actions()[2]);
    EXPECT_EQ(form.max_value->text(), "SYR.Max Volume");

    form.units_box->setCurrentIndex(0);  // "None" counts as no unit
    form.prepare_param_popup(form.default_value);
    captions.clear();
    for (QAction* a : form.param_popup->actions()) captions << a->text();
    EXPECT_EQ(captions, (QStringList{"SL.index", "SL.injpervial"}));
}

// --- the rules behind the pane ---

TEST_F(AddParamFormTest, PaneRulesForLabelsHintsAndEntries)
{
    const ConfigDb& db = config();
    const ConfigAtom& wait = db.atoms()[static_cast<std::size_t>(db.atom_index("WAIT"))];
    const ConfigAtom& move = db.atoms()[static_cast<std::size_t>(db.atom_index("MOVE"))];
    const ConfigAtom& aspirate = db.atoms()[static_cast<std::size_t>(db.atom_index("ASPIRATE"))];
    EXPECT_EQ(argument_label(wait.arguments[0]), "Time (m:ss)");
    EXPECT_EQ(argument_label(aspirate.arguments[0]), "Volume (\xB5l)");
    EXPECT_EQ(argument_label(aspirate.arguments[1]), "Speed");
    EXPECT_EQ(argument_label(db.atoms()[static_cast<std::size_t>(db.atom_index("WIDE"))].arguments[0]), "A1");
    EXPECT_EQ(argument_hint(db, aspirate.arguments[0]), "Range: 0 to SYR.Max Volume\n\tDefault: 1");
    EXPECT_EQ(argument_hint(db, aspirate.arguments[1]), "");
    EXPECT_EQ(popup_choice_text("Default: 1:30", true), "1:30");
    EXPECT_EQ(popup_choice_text("SL.volume", false), "SL.volume");

    ParameterTable params(3);
    params[0].name = "Vol";
    params[0].unit = "\xB5l";
    params[1].name = "Where";
    params[1].classes = db.class_bit("TRAY");
    params[2].name = "Sig";
    params[2].classes = db.class_bit("OUT_SIGNAL");
    const std::uint32_t syringe_and_signal = db.class_bit("SYRINGE") | db.out_signal_bit();
    EXPECT_EQ(object_entries(db, syringe_and_signal, params),
              (std::vector<std::string>{"Syr10", "Out1", "SYR", "None", "Sig"}));
    EXPECT_EQ(object_entries(db, move.arguments[1].list_or_classes, params),
              (std::vector<std::string>{"Tray1", "Tray2", "Inj1", "SL.tray", "SL.tray2", "SL.injector", "SL.injector2",
                                        "Where"}));

    EXPECT_TRUE(parameter_fits_argument(params[0], aspirate.arguments[0]));
    EXPECT_FALSE(parameter_fits_argument(params[0], move.arguments[0]));   // mm
    EXPECT_FALSE(parameter_fits_argument(params[0], aspirate.arguments[1]));  // list index
    EXPECT_TRUE(parameter_fits_argument(params[1], move.arguments[1]));
    EXPECT_FALSE(parameter_fits_argument(params[2], move.arguments[1]));
    EXPECT_FALSE(parameter_fits_argument(params[1], move.arguments[0]));
}
