// "&Print Sample List" in the main window: the grid of the page prints the
// demo list under the composed header, without a print dialog.
#include "app/qt/main_form.h"
#include "ground/debug_lines.h"
#include "app/qt/print_wiring.h"
#include "config/config_db.h"
#include "ground/documents.h"
#include "ground/file_io.h"
#include "ground/prompts.h"
#include "ground/settings.h"
#include "language/bound_check.h"
#include "print/qt/text_printer.h"
#include "recording_prompts.h"
#include "samplelist/qt/sample_list_page.h"
#include "app/qt/sample_list_wiring.h"
#include "temp_dir.h"
#include "pdf_text.h"

#include <QPrinter>

#include <gtest/gtest.h>

#include <filesystem>

namespace kelvo::test {
namespace {

TEST(SampleListPrintWindow, PrintItemPrintsTheListOnThePrinterWithoutADialog)
{
    TempDir dir;
    MemorySettingsStore store;
    SettingsScope settings_scope{store};
    RecordingPrompts prompts;
    PromptsScope prompts_scope{prompts};
    const std::filesystem::path demo = std::filesystem::path(KELVO_SOURCE_DIR) / "examples" / "methods";
    for (const auto& entry : std::filesystem::directory_iterator(demo))
        std::filesystem::copy_file(entry.path(), dir.path() / entry.path().filename());
    set_method_folder(dir.path().string());
    std::vector<std::string> lines;
    ASSERT_TRUE(read_text_lines(dir.file("latest_kelvo.kol"), lines));
    ASSERT_TRUE(parse_configuration(config(), lines, prompts, debug_line));

    Tmain_form form;
    form.on_first_activation = [] {};
    SampleListPage* page = install_sample_list_page(form, nullptr, nullptr);
    page->set_program_list(ProgramList::trays, objects_of_class(config(), "TRAY"));
    page->set_program_list(ProgramList::injectors, objects_of_class(config(), "INJECTOR"));
    page->set_up();
    PrintWiring* wiring = install_printing(form, nullptr, nullptr, page);
    int dialogs = 0;
    wiring->printer().choose_printer = [&dialogs](QPrinter&) { return ++dialogs > 0; };
    const std::string pdf = dir.file("list.pdf");
    set_pdf_output(wiring->printer().printer(), QString::fromStdString(pdf));

    form.show_page(Page::sample_list);
    form.prepare_captions();
    page->document().select_list("Demo Batch");
    ASSERT_EQ(page->document().name(), "Demo Batch");
    ASSERT_EQ(form.print_item->text(), "&Print Sample List");
    form.print_itemClick();
    set_method_folder("");
    EXPECT_EQ(dialogs, 0);
    ASSERT_TRUE(std::filesystem::exists(pdf));
    const std::string text = pdf_text(pdf);
    for (const char* expected : {"Sample List: Demo Batch", "Created 20", "Last changed 20", "Standard Injection",
                                 "Wash Cycles", "Tray1"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
}

}  // namespace
}  // namespace kelvo::test
