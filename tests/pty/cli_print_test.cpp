// cadenzor-cli print: the demo method and macro and a log printed into PDF
// files, read back with pdftotext.
#include "child_process.h"
#include "pty/cli_run.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

using kelvo::pty_test::ChildProcess;
using kelvo::pty_test::cli;
using kelvo::pty_test::CliRun;
using kelvo::test::TempDir;
using kelvo::test::write_file;

namespace {

const std::string demo_folder = std::string(KELVO_SOURCE_DIR) + "/examples/methods";

// The program's path by the search path (the child is started by path).
std::string program_path(const std::string& name)
{
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= dirs.size()) {
        const std::size_t end = std::min(dirs.find(':', start), dirs.size());
        const std::string candidate = dirs.substr(start, end - start) + "/" + name;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
        start = end + 1;
    }
    return name;
}

std::string tool_output(const std::string& program, const std::vector<std::string>& args)
{
    ChildProcess p;
    EXPECT_TRUE(p.start(program_path(program), args)) << program;
    EXPECT_EQ(p.wait(60000), 0) << program << ": " << p.err();
    return p.out();
}

// Runs of blanks squeezed to one: pdftotext places columns only roughly
// (the exact columns are the layout's own tests).
std::string pdf_text(const std::string& pdf)
{
    std::string out;
    for (char c : tool_output("pdftotext", {"-layout", pdf, "-"}))
        if (c != ' ' || out.empty() || out.back() != ' ') out += c;
    return out;
}

int pdf_pages(const std::string& pdf)
{
    const std::string info = tool_output("pdfinfo", {pdf});
    const std::size_t at = info.find("Pages:");
    return at == std::string::npos ? 0 : std::stoi(info.substr(at + 6));
}

void expect_lines(const std::string& text, const std::vector<std::string>& lines)
{
    for (const std::string& line : lines) EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
}

}  // namespace

TEST(CliPrint, DemoMethodWithHeaderHeadingsAndValueLines)
{
    TempDir dir;
    const std::string pdf = dir.file("method.pdf");
    const CliRun r = cli({"print", demo_folder, "--method", "standard injection", "--pdf", pdf});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(pdf_pages(pdf), 1);
    expect_lines(pdf_text(pdf), {
                                    "Page 1 of 1",
                                    "Method: Standard Injection",
                                    "Created 20",
                                    "Last changed 20",
                                    "Method Description:",
                                    "Injects the current sample-list vial with the 10 \xC2\xB5l syringe:",
                                    "Syringe: Syr10ul",
                                    "Wash Syringe",
                                    " Station Wash1",
                                    " Volume (\xC2\xB5l) 5",
                                    "Inject Sample",
                                    " Delay (m:ss) 0:02",
                                });
}

TEST(CliPrint, DemoMacroWithTheConfigurationsArgumentNames)
{
    TempDir dir;
    const std::string pdf = dir.file("macro.pdf");
    const CliRun r = cli({"print", demo_folder, "--macro", "Inject Sample", "--pdf", pdf});
    ASSERT_EQ(r.code, 0) << r.err;
    expect_lines(pdf_text(pdf), {
                                    "Page 1 of 1",
                                    "Macro: Inject Sample",
                                    "Macro Description:",
                                    "Parameters:",
                                    "Delay (s);2;0;600",
                                    "INJECT",
                                    " Pre Inject Delay 0",
                                    " Post Inject Delay Delay",
                                });
}

TEST(CliPrint, DemoSampleListThroughTheGrid)
{
    TempDir dir;
    const std::string pdf = dir.file("list.pdf");
    const CliRun r = cli({"print", demo_folder, "--list", "demo batch", "--pdf", pdf});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(pdf_pages(pdf), 1);
    expect_lines(pdf_text(pdf), {"Sample List: Demo Batch", "Created 20", "Last changed 20", "Method",
                                 "Standard Injection", "Wash Cycles", "Tray1"});
    EXPECT_EQ(cli({"print", demo_folder, "--list", "No Such List", "--pdf", pdf}).code, 1);
}

TEST(CliPrint, LogWholeOrByLinesOverSeveralPages)
{
    TempDir dir;
    std::string log;
    for (int i = 1; i <= 150; ++i) log += "2026-12-09 05:00:00 : line " + std::to_string(i) + "\r\n";
    write_file(dir.file("cadenzor.log"), log);

    const std::string whole = dir.file("whole.pdf");
    CliRun r = cli({"print", demo_folder, "--log", dir.file("cadenzor.log"), "--pdf", whole});
    ASSERT_EQ(r.code, 0) << r.err;
    // A4 at 1200 dpi: lines 166 pixels high, N = 75, 73 lines of text a
    // page; the estimate 151 announces 151 / 75 + 1 = 3 pages.
    EXPECT_EQ(pdf_pages(whole), 3);
    expect_lines(pdf_text(whole), {"Log File", "Page 1 of 3", "Page 3 of 3", "line 1\n", "line 72\n",
                                   "line 150"});

    const std::string part = dir.file("part.pdf");
    r = cli({"print", demo_folder, "--log", dir.file("cadenzor.log"), "--lines", "3-4", "--pdf", part});
    ASSERT_EQ(r.code, 0) << r.err;
    const std::string some = pdf_text(part);
    expect_lines(some, {"Page 1 of 1", "Log File", "line 3", "line 4"});
    EXPECT_EQ(some.find("line 5"), std::string::npos);
    EXPECT_EQ(some.find("line 2\n"), std::string::npos);
}

TEST(CliPrint, ExitCodes)
{
    TempDir dir;
    const std::string pdf = dir.file("x.pdf");
    struct Case {
        std::vector<std::string> args;
        int code;
    };
    const Case cases[] = {
        {{"print", demo_folder, "--method", "No Such Method", "--pdf", pdf}, 1},
        {{"print", demo_folder, "--macro", "No Such Macro", "--pdf", pdf}, 1},
        {{"print", demo_folder, "--log", dir.file("missing.log"), "--pdf", pdf}, 1},
        {{"print", demo_folder, "--method", "Standard Injection"}, 2},
        {{"print", "--method", "Standard Injection", "--pdf", pdf}, 2},
        {{"print", demo_folder, "--method", "A", "--macro", "B", "--pdf", pdf}, 2},
        {{"print", demo_folder, "--macro", "Inject Sample", "--lines", "1-2", "--pdf", pdf}, 2},
        {{"print", demo_folder, "--log", dir.file("missing.log"), "--lines", "5-2", "--pdf", pdf}, 2},
        {{"print", dir.file("empty"), "--macro", "Inject Sample", "--pdf", pdf}, 2},
        {{"print", demo_folder, "--bogus", "--pdf", pdf}, 2},
        {{"print", demo_folder, "--macro", "Inject Sample", "--pdf", dir.file("no folder/x.pdf")}, 2},
    };
    for (const Case& c : cases) {
        const CliRun r = cli(c.args);
        EXPECT_EQ(r.code, c.code) << c.args[2] << " " << c.args[3] << ": " << r.err;
    }
}
