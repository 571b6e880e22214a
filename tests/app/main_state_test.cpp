#include "ground/debug_lines.h"
#include "ground/documents.h"
#include "ground/file_attributes.h"
#include "app/folder_choice.h"
#include "ground/import_files.h"
#include "ground/log.h"
#include "app/main_state.h"
#include "ground/name_dialogs.h"
#include "ground/settings.h"

#include "recording_prompts.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>

using namespace kelvo;

namespace {

// Records what the rules do to the window.
class FakeView final : public MainView {
public:
    Page front = Page::method;
    std::map<DocumentKind, std::string> names;
    std::vector<std::string>& calls;
    bool status_on = false;
    std::string title;
    bool shown_read_only = false;

    explicit FakeView(std::vector<std::string>& c) : calls(c) {}
    Page front_page() const override { return front; }
    void show_page(Page p) override
    {
        front = p;
        calls.push_back(std::string("show page ") + page_word(p));
    }
    void prepare_captions() override { calls.push_back("captions"); }
    void set_title(const std::string& t) override { title = t; }
    void refill_names(DocumentKind k) override { calls.push_back(std::string("refill ") + page_word(k)); }
    std::string selected_name(DocumentKind k) const override
    {
        const auto it = names.find(k);
        return it == names.end() ? std::string() : it->second;
    }
    void show_name(DocumentKind k, const std::string& n) override { names[k] = n; }
    void show_write_protection(bool ro) override { shown_read_only = ro; }
    bool status_window_on() const override { return status_on; }
    void store_status_position() override { write_setting_integer("Status Left", 7); }
    void store_window_centre() override { write_setting_integer("Window Left", 9); }
};

// Records every call of one kind of document.
class RecordingOps final : public DocumentOps {
public:
    RecordingOps(std::string kind, std::vector<std::string>& c) : kind_(std::move(kind)), calls(c) {}
    bool write_back_result = true;
    void save(const std::string& n) override { rec("save " + n); }
    void save_as(const std::string& n) override { rec("save as " + n); }
    void print(const std::string& n) override { rec("print " + n); }
    void ask_to_save() override { rec("ask to save"); }
    bool write_back() override
    {
        rec("write back");
        return write_back_result;
    }
    void start_empty(const std::string& n) override { rec("start empty '" + n + "'"); }
    void names_refreshed() override { rec("names refreshed"); }
    void refresh_pane() override { rec("refresh pane"); }
    void folder_changed() override { rec("folder changed"); }

private:
    void rec(const std::string& what) { calls.push_back(kind_ + ": " + what); }
    std::string kind_;
    std::vector<std::string>& calls;
};

class RecordingHooks final : public MainHooks {
public:
    explicit RecordingHooks(std::vector<std::string>& c) : calls(c) {}
    bool running = false;
    bool port_ok = false;
    void release_single_instance() override { calls.push_back("release mutex"); }
    bool sample_list_running() const override { return running; }
    void reload_configuration() override { calls.push_back("reload"); }
    bool choose_port() override
    {
        calls.push_back("port chooser");
        return port_ok;
    }
    void offline_fallback() override { calls.push_back("offline fallback"); }
    void refresh_vial_dialog() override { calls.push_back("vial dialog"); }
    void ask_mounted_syringe() override { calls.push_back("GET_SYR"); }
    std::vector<std::string>& calls;
};

class ScriptedNames final : public NameDialogs {
public:
    struct Answer {
        bool ok;
        std::string name;
    };
    std::deque<Answer> answers;
    std::vector<std::string> asked;
    bool ask_new_name(const std::string& caption, const std::string& label, const std::string& current,
                      std::string& chosen) override
    {
        asked.push_back(caption + "|" + label + "|" + current);
        if (answers.empty()) return false;
        const Answer a = answers.front();
        answers.pop_front();
        chosen = a.name;
        return a.ok && !a.name.empty();
    }
    bool ask_save_name(const std::string&, const std::string&, std::string&) override { return false; }
};

class MainStateTest : public ::testing::Test {
protected:
    MainStateTest()
        : settings_scope(store), prompts_scope(prompts), names_scope(names), view(calls),
          list_ops("list", calls), method_ops("method", calls), macro_ops("macro", calls), hooks(calls), state(view)
    {
        state.set_document_ops(DocumentKind::sample_list, &list_ops);
        state.set_document_ops(DocumentKind::method, &method_ops);
        state.set_document_ops(DocumentKind::macro, &macro_ops);
        state.set_hooks(&hooks);
        set_method_folder(dir.path().string());
        set_log_path(dir.file("cadenzor.log"));
    }
    ~MainStateTest() override { set_method_folder(""); }

    std::string setting(const std::string& name)
    {
        const auto v = store.read("", name);
        return v ? v->text : "<missing>";
    }

    test::TempDir dir;
    MemorySettingsStore store;
    SettingsScope settings_scope;
    test::RecordingPrompts prompts;
    PromptsScope prompts_scope;
    ScriptedNames names;
    NameDialogsScope names_scope;
    std::vector<std::string> calls;
    FakeView view;
    RecordingOps list_ops, method_ops, macro_ops;
    RecordingHooks hooks;
    MainState state;
};

using Calls = std::vector<std::string>;

}  // namespace

TEST_F(MainStateTest, DispatchGoesByTheExactCaption)
{
    view.names[DocumentKind::macro] = "Wash";
    view.names[DocumentKind::sample_list] = "Run 5";
    state.dispatch(DocumentCommand::save, "&Save Macro");
    state.dispatch(DocumentCommand::save_as, "Save Sample List &As...");
    state.dispatch(DocumentCommand::print, "&Print Method");
    EXPECT_EQ(calls, (Calls{"macro: save Wash", "list: save as Run 5", "method: print "}));
    calls.clear();
    // Wrong case, a caption of another command, or a stray one: nothing.
    state.dispatch(DocumentCommand::save, "&save Macro");
    state.dispatch(DocumentCommand::save, "&Print Macro");
    state.dispatch(DocumentCommand::delete_document, "&Delete Tray");
    state.dispatch(DocumentCommand::new_document, "");
    EXPECT_TRUE(calls.empty());
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(MainStateTest, NewAsksToSaveThenStartsAnEmptyDocumentOfTheChosenName)
{
    view.names[DocumentKind::method] = "Old";
    names.answers.push_back({true, "Fresh"});
    state.dispatch(DocumentCommand::new_document, "&New Method");
    EXPECT_EQ(names.asked, (Calls{"Choose name of new Method|Name of new Method|Old"}));
    EXPECT_EQ(calls, (Calls{"method: ask to save", "method: start empty 'Fresh'", "GET_SYR"}));
    EXPECT_EQ(view.names[DocumentKind::method], "Fresh");
    EXPECT_EQ(setting("Method"), "Fresh");

    calls.clear();
    names.answers.push_back({true, "Rack A"});
    state.new_document(DocumentKind::sample_list);
    EXPECT_EQ(names.asked.back(), "Choose name of new sample list|Name of new sample list|");
    EXPECT_EQ(calls, (Calls{"list: ask to save", "list: start empty 'Rack A'"}));
    EXPECT_EQ(setting("Sample List"), "Rack A");
    EXPECT_FALSE(std::filesystem::exists(dir.file("Rack A.ksl")));  // New writes no file
}

TEST_F(MainStateTest, NewCancelledOrEmptyChangesNothing)
{
    view.names[DocumentKind::macro] = "Keep";
    names.answers.push_back({false, "Ignored"});
    names.answers.push_back({true, ""});
    state.new_document(DocumentKind::macro);
    state.new_document(DocumentKind::macro);
    EXPECT_EQ(names.asked.front(), "Choose name of new Macro|Name of new Macro|Keep");
    EXPECT_EQ(calls, (Calls{"macro: ask to save", "macro: ask to save"}));
    EXPECT_EQ(view.names[DocumentKind::macro], "Keep");
    EXPECT_EQ(setting("Macro"), "<missing>");
}

TEST_F(MainStateTest, NewRefusesParenthesesAndAsksAgain)
{
    names.answers.push_back({true, "Wash(2)"});
    names.answers.push_back({true, "Wash 2"});
    state.new_document(DocumentKind::macro);
    EXPECT_EQ(prompts.shown, (Calls{"error: Please do not use parentheses in the file name"}));
    EXPECT_EQ(names.asked.back(), "Choose name of new Macro|Name of new Macro|Wash(2)");
    EXPECT_EQ(view.names[DocumentKind::macro], "Wash 2");
}

TEST_F(MainStateTest, NewRefusesDotsAndSeparatorsForEveryKindAndAsksAgain)
{
    for (const DocumentKind kind : {DocumentKind::method, DocumentKind::macro, DocumentKind::sample_list}) {
        prompts.shown.clear();
        names.answers.push_back({true, "Version 1.2"});
        names.answers.push_back({true, "../Outside"});
        names.answers.push_back({true, "Version 1"});
        state.new_document(kind);
        EXPECT_EQ(prompts.shown, (Calls{"error: Please do not use . in the file name",
                                        "error: Please do not use \\ or / in the file name"}));
        EXPECT_EQ(view.names[kind], "Version 1");
    }
}

TEST_F(MainStateTest, DeleteWithoutANameShowsItsErrorAndChangesNothing)
{
    state.dispatch(DocumentCommand::delete_document, "&Delete Macro");
    state.delete_document(DocumentKind::method);
    state.delete_document(DocumentKind::sample_list);
    EXPECT_EQ(prompts.shown,
              (Calls{"error: No macro to delete", "error: No method to delete", "error: No sample list to delete"}));
    EXPECT_TRUE(calls.empty());
}

TEST_F(MainStateTest, DeleteAsksWithoutQuestionMarkAndEmptiesTheDocument)
{
    test::write_file(dir.file("Assay.KME"), "syringe:S\r\n");
    view.names[DocumentKind::method] = "Assay";
    prompts.yes_no_answers = {false, true};
    state.delete_document(DocumentKind::method);  // No: nothing happens
    EXPECT_TRUE(std::filesystem::exists(dir.file("Assay.KME")));
    EXPECT_TRUE(calls.empty());
    state.delete_document(DocumentKind::method);
    EXPECT_EQ(prompts.shown, (Calls{"question: Do you really want to delete method Assay",
                                    "question: Do you really want to delete method Assay"}));
    EXPECT_FALSE(std::filesystem::exists(dir.file("Assay.KME")));
    EXPECT_EQ(calls, (Calls{"method: start empty ''", "refill Method", "method: names refreshed"}));
    EXPECT_EQ(view.names[DocumentKind::method], "");
    EXPECT_EQ(setting("Method"), "");
}

TEST_F(MainStateTest, OnlyAMacroReportsAFileItCouldNotDelete)
{
    view.names[DocumentKind::macro] = "Ghost";
    view.names[DocumentKind::sample_list] = "Ghost list";
    prompts.yes_no_answers = {true, true};
    state.delete_document(DocumentKind::macro);
    state.delete_document(DocumentKind::sample_list);
    EXPECT_EQ(prompts.shown, (Calls{"question: Do you really want to delete macro Ghost",
                                    "error: couldnt delete " + dir.file("Ghost.kma"),
                                    "question: Do you really want to delete sample list Ghost list"}));
    EXPECT_EQ(view.names[DocumentKind::macro], "");
    EXPECT_EQ(view.names[DocumentKind::sample_list], "");
}

TEST_F(MainStateTest, PageChangeToSampleListWritesBackAndAsksForTheEditorLeft)
{
    state.set_previous_page(Page::method);
    state.page_changed(Page::sample_list);
    EXPECT_EQ(calls, (Calls{"refill Sample List", "list: names refreshed", "method: write back", "method: ask to save",
                            "captions", "refill Method", "method: names refreshed"}));
    EXPECT_EQ(state.previous_page(), Page::sample_list);

    // A pane that does not write back is not followed by the save question.
    calls.clear();
    state.set_previous_page(Page::macro);
    macro_ops.write_back_result = false;
    state.page_changed(Page::sample_list);
    EXPECT_EQ(calls, (Calls{"refill Sample List", "list: names refreshed", "macro: write back", "captions",
                            "refill Method", "method: names refreshed"}));
}

TEST_F(MainStateTest, PageChangeToMethodRefreshesListsAndPaneButNeverAsksForTheSampleList)
{
    state.set_previous_page(Page::sample_list);
    state.page_changed(Page::method);
    EXPECT_EQ(calls, (Calls{"captions", "refill Method", "method: names refreshed", "refill Macro",
                            "macro: names refreshed", "method: refresh pane"}));
    calls.clear();
    state.set_previous_page(Page::macro);
    state.page_changed(Page::method);
    EXPECT_EQ(calls.front(), "macro: write back");
    EXPECT_EQ(calls[1], "macro: ask to save");
}

TEST_F(MainStateTest, MacroPageIsRefusedWhileASampleListRuns)
{
    hooks.running = true;
    state.set_previous_page(Page::sample_list);
    view.front = Page::macro;
    state.page_changed(Page::macro);
    EXPECT_EQ(prompts.shown, (Calls{"information: Macro editing is not allowed while the sample list is executing"}));
    EXPECT_EQ(calls, (Calls{"show page Sample List"}));
    EXPECT_EQ(view.front, Page::sample_list);
    EXPECT_EQ(state.previous_page(), Page::sample_list);

    hooks.running = false;
    calls.clear();
    state.set_previous_page(Page::method);
    state.page_changed(Page::macro);
    EXPECT_EQ(calls, (Calls{"method: write back", "method: ask to save", "captions"}));
    EXPECT_EQ(state.previous_page(), Page::macro);
}

TEST_F(MainStateTest, ClosingBeforeStartUpCompletedStoresNothing)
{
    state.close();
    EXPECT_EQ(calls, (Calls{"release mutex"}));
    EXPECT_TRUE(store.keys.empty());
    EXPECT_FALSE(std::filesystem::exists(dir.file("cadenzor.log")));
}

TEST_F(MainStateTest, ClosingAsksForThePageInFrontAndStoresNamesFolderAndPositions)
{
    state.set_started_program(true);
    view.front = Page::macro;
    view.names[DocumentKind::macro] = "Wash";
    view.names[DocumentKind::sample_list] = "Rack";
    view.status_on = true;
    state.close();
    EXPECT_EQ(calls, (Calls{"release mutex", "macro: write back", "macro: ask to save"}));
    EXPECT_EQ(setting("Macro"), "Wash");
    EXPECT_EQ(setting("Method"), "");
    EXPECT_EQ(setting("Sample List"), "Rack");
    EXPECT_EQ(setting("Method Folder"), dir.path().string());
    EXPECT_EQ(read_setting_integer("Status Left", 0), 7);
    EXPECT_EQ(read_setting_integer("Window Left", 0), 9);
    EXPECT_NE(test::read_file(dir.file("cadenzor.log")).find(" : Closed program\r\n"), std::string::npos);
    // Only once.
    calls.clear();
    state.close();
    EXPECT_TRUE(calls.empty());
}

TEST_F(MainStateTest, ClosingWithTheStatusWindowOffLeavesItsPosition)
{
    state.set_started_program(true);
    view.front = Page::sample_list;
    state.close();
    EXPECT_EQ(calls, (Calls{"release mutex", "list: ask to save"}));
    EXPECT_FALSE(store.read("", "Status Left"));
}

TEST_F(MainStateTest, ExitWhileASampleListRunsIsConfirmed)
{
    EXPECT_TRUE(state.confirm_close());  // not started: no question
    state.set_started_program(true);
    EXPECT_TRUE(state.confirm_close());  // nothing running
    hooks.running = true;
    prompts.yes_no_answers = {false, true};
    EXPECT_FALSE(state.confirm_close());
    EXPECT_TRUE(state.confirm_close());
    EXPECT_EQ(prompts.shown.front(), "question: Exiting the program now will stop the execution of the sample list. "
                                     "Do you really want to exit?");
}

TEST_F(MainStateTest, FolderChoiceStoresFolderAndListAndEmptiesTheDocuments)
{
    view.names[DocumentKind::macro] = "Wash";
    state.store_folder_choice("/lab/b", {"/lab/b", "/lab/a"});
    EXPECT_EQ(method_folder(), "/lab/b");
    EXPECT_EQ(setting("Method Folder"), "/lab/b");
    EXPECT_EQ(read_folder_list(), (Calls{"/lab/b", "/lab/a"}));

    state.folder_chosen_from_menu();
    EXPECT_EQ(calls, (Calls{"list: start empty ''", "method: start empty ''", "macro: start empty ''", "refill Macro",
                            "macro: names refreshed", "refill Sample List", "list: names refreshed", "refill Method",
                            "method: names refreshed", "method: folder changed", "method: refresh pane"}));
    EXPECT_EQ(view.names[DocumentKind::macro], "");
    EXPECT_EQ(setting("Macro"), "");
    EXPECT_EQ(view.title, "KELVO Cadenzor   (/lab/b)");

    calls.clear();
    view.title.clear();
    state.set_offline(true);
    state.folder_chosen_from_menu();
    EXPECT_EQ(calls[calls.size() - 2], "offline fallback");
    EXPECT_EQ(calls.back(), "vial dialog");
    EXPECT_EQ(view.title, "");
}

TEST(FolderChoice, AFolderAlreadyListedMovesToTheTop)
{
    std::vector<std::string> list{"/a", "/B", "/c"};
    put_folder_on_top(list, "/b");
    EXPECT_EQ(list, (Calls{"/b", "/a", "/c"}));
    put_folder_on_top(list, "/new");
    EXPECT_EQ(list, (Calls{"/new", "/b", "/a", "/c"}));
    std::vector<std::string> empty;
    put_folder_on_top(empty, "/x");
    EXPECT_EQ(empty, (Calls{"/x"}));

    MemorySettingsStore store;
    SettingsScope scope(store);
    write_folder_list(list);
    EXPECT_EQ(read_folder_list(), list);  // read back in the stored order
}

TEST_F(MainStateTest, PortReloadsOnlyAfterOk)
{
    state.choose_port();
    hooks.port_ok = true;
    state.choose_port();
    state.reload_configuration();
    EXPECT_EQ(calls, (Calls{"port chooser", "port chooser", "reload", "reload"}));
}

TEST_F(MainStateTest, MacroLockTogglesTheReadOnlyBitOfTheMacroFile)
{
    test::write_file(dir.file("Wash.kma"), "A(1,)\r\n");
    view.names[DocumentKind::macro] = "Wash";
    state.toggle_macro_lock();
    EXPECT_TRUE(is_read_only(dir.file("Wash.kma")));
    EXPECT_TRUE(view.shown_read_only);
    EXPECT_EQ(calls, (Calls{"macro: refresh pane"}));
    state.toggle_macro_lock();
    EXPECT_FALSE(is_read_only(dir.file("Wash.kma")));
    EXPECT_FALSE(view.shown_read_only);
    // A missing file is left alone, and so is no macro at all.
    view.names[DocumentKind::macro] = "Gone";
    state.toggle_macro_lock();
    EXPECT_FALSE(std::filesystem::exists(dir.file("Gone.kma")));
    EXPECT_FALSE(view.shown_read_only);
    view.names[DocumentKind::macro] = "";
    state.toggle_macro_lock();
    EXPECT_FALSE(std::filesystem::exists(dir.file(".kma")));
}

TEST(FileAttributes, ReadOnlyIsTheAbsenceOfWritePermission)
{
    test::TempDir dir;
    const std::string f = dir.file("m.kma");
    EXPECT_FALSE(is_read_only(f));
    EXPECT_FALSE(toggle_read_only(f));
    test::write_file(f, "x");
    EXPECT_TRUE(set_read_only(f, true));
    const auto perms = std::filesystem::status(f).permissions();
    EXPECT_EQ(perms & (std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                       std::filesystem::perms::others_write),
              std::filesystem::perms::none);
    EXPECT_TRUE(toggle_read_only(f));
    EXPECT_FALSE(is_read_only(f));
    EXPECT_FALSE(is_read_only(dir.path().string()));  // a folder is no document
}

TEST(ImportDocuments, FilterTextsFollowTheMethodExtension)
{
    EXPECT_EQ(import_patterns(".KME"), "*.ksl;*.KME;*.kma");
    EXPECT_EQ(import_filter_description(".CDZ"), "Kelvo files (*.ksl;*.CDZ;*.kma)");
    EXPECT_EQ(folder_of("/a/b/c.kma"), "/a/b");
    EXPECT_EQ(folder_of("C:\\m\\x.ksl"), "C:\\m");
    EXPECT_EQ(folder_of("x.ksl"), "");
}

TEST(ImportDocuments, CopiesIntoTheMethodFolderWithoutOverwriting)
{
    test::TempDir methods, elsewhere;
    test::write_file(methods.file("Wash.kma"), "mine");
    test::write_file(elsewhere.file("Wash.kma"), "theirs");
    test::write_file(elsewhere.file("Assay.KME"), "method");
    set_debug_sink({});
    clear_buffered_debug_lines();
    const int copied = import_documents({elsewhere.file("Wash.kma"), elsewhere.file("Assay.KME")},
                                        methods.path().string() + "/", debug_line);
    EXPECT_EQ(copied, 1);
    EXPECT_EQ(test::read_file(methods.file("Wash.kma")), "mine");
    EXPECT_EQ(test::read_file(methods.file("Assay.KME")), "method");
    EXPECT_EQ(buffered_debug_lines(),
              (Calls{elsewhere.file("Wash.kma") + " -> " + methods.file("Wash.kma"),
                     elsewhere.file("Assay.KME") + " -> " + methods.file("Assay.KME")}));
    // No temporary file is left behind.
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(methods.path())) ++entries;
    EXPECT_EQ(entries, 2);
    clear_buffered_debug_lines();
}

TEST(ImportDocuments, FilesFromTheMethodFolderItselfAreNotCopied)
{
    test::TempDir methods;
    test::write_file(methods.file("Wash.kma"), "mine");
    clear_buffered_debug_lines();
    // The folder compares without regard to case and without a final separator.
    std::string folder = methods.path().string();
    for (char& c : folder) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(import_documents({methods.file("Wash.kma")}, folder + "/", debug_line), 0);
    EXPECT_EQ(import_documents({}, folder, debug_line), 0);
    EXPECT_TRUE(buffered_debug_lines().empty());
}

TEST_F(MainStateTest, ImportRefreshesAllNameLists)
{
    test::TempDir elsewhere;
    test::write_file(elsewhere.file("Rack.ksl"), "x");
    state.import_files({elsewhere.file("Rack.ksl")});
    EXPECT_TRUE(std::filesystem::exists(dir.file("Rack.ksl")));
    EXPECT_EQ(calls, (Calls{"refill Method", "method: names refreshed", "refill Macro", "macro: names refreshed",
                            "refill Sample List", "list: names refreshed"}));
    clear_buffered_debug_lines();
}
