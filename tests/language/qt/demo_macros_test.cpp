// The demo method folder through the Macro Editor page: every demo macro
// loads without a message, and every line survives a trip through the atom
// pane unchanged. With CADENZOR_SCREENSHOT set, the page is also rendered
// into that file (docs/macro_editor.png is made this way).
#include "app/qt/install_parts.h"
#include "ground/documents.h"
#include "app/qt/main_form.h"
#include "language/macro.h"
#include "language/qt/macro_page.h"
#include "macro_editor_fixture.h"

#include <QApplication>
#include <QListWidget>
#include <QPixmap>
#include <QTabWidget>

#include <cstdlib>
#include <filesystem>

using namespace kelvo;

namespace {

class DemoMacrosTest : public test::MacroEditorFixture {
protected:
    void SetUp() override
    {
        const std::filesystem::path demo = std::filesystem::path(KELVO_SOURCE_DIR) / "examples" / "methods";
        // A copy, so that nothing the page does can touch the demo folder.
        for (const auto& entry : std::filesystem::directory_iterator(demo))
            std::filesystem::copy_file(entry.path(), dir.path() / entry.path().filename());
        test::MacroEditorFixture::SetUp();
    }
    std::string configuration_text() const override
    {
        return test::read_file((dir.path() / "latest_kelvo.kol").string());
    }
};

}  // namespace

TEST_F(DemoMacrosTest, EveryDemoMacroLoadsAndRoundTripsThroughThePane)
{
    const std::vector<std::string> names = macro_names_in_folder(program_method_folder());
    ASSERT_GE(names.size(), 1u);
    MacroEditorPage page;
    for (const std::string& name : names) {
        page.select_macro(name);
        EXPECT_EQ(page.document().name(), name);
        const std::vector<std::string> before = page.document().atom_lines();
        for (int row = 0; row < static_cast<int>(before.size()); ++row) {
            page.macro_box->setCurrentRow(row);
            EXPECT_EQ(page.edited_line(), row) << name;
        }
        ASSERT_TRUE(page.write_back_pane()) << name;
        EXPECT_EQ(page.document().atom_lines(), before) << name;
        EXPECT_FALSE(page.document().changed()) << name;
    }
    EXPECT_EQ(prompts.shown, std::vector<std::string>{});
}

TEST_F(DemoMacrosTest, ThePageRendersInTheMainWindow)
{
    Tmain_form form;
    form.on_first_activation = [] {};
    MacroEditorPage* page = install_macro_editor(form);
    form.state().refresh_names(DocumentKind::macro);
    form.resize(1280, 800);
    form.show_page(Page::macro);
    form.prepare_captions();
    form.show();
    page->select_macro("Multi Wash");
    page->macro_box->setCurrentRow(1);
    QApplication::processEvents();
    const QPixmap shot = form.grab();
    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(shot.size(), QSize(1280, 800));
    EXPECT_TRUE(prompts.shown.empty());
    if (const char* path = std::getenv("CADENZOR_SCREENSHOT")) {
        EXPECT_TRUE(shot.save(QString::fromLocal8Bit(path)));
    }
}
