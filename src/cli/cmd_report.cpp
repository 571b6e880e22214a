// cadenzor-cli report JOURNAL --pdf OUT [--run K]: the report of one run of
// the run journal (K counted from 1, default the last), printed as the
// program prints text (the log's printout) into the PDF file OUT. Exit 0;
// 1 when the journal holds no such run; 2 on a usage error or when the PDF
// cannot be written.
#include "cli/commands.h"
#include "cli/run_args.h"
#include "ground/cp1252.h"
#include "journal/journal_runs.h"
#include "print/qt/pdf_print.h"

#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace kelvo::cli {
namespace {

constexpr const char* report_usage = "usage: cadenzor-cli report JOURNAL --pdf OUT [--run K]\n";

int usage_error(const std::string& why)
{
    std::cerr << "cadenzor-cli report: " << why << "\n" << report_usage;
    return 2;
}

}  // namespace

int run_report(const Args& args)
{
    std::vector<std::string> positional;
    std::string pdf;
    int run = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--pdf" && i + 1 < args.size()) {
            pdf = args[++i];
        } else if (a == "--run" && i + 1 < args.size()) {
            const std::optional<int> k = milliseconds(args[++i]);
            if (!k || *k < 1) return usage_error("--run takes a run number from 1");
            run = *k;
        } else if (a.rfind("--", 0) == 0) {
            return usage_error("unknown option or missing value: " + a);
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() != 1) return usage_error("a journal file is needed");
    if (pdf.empty()) return usage_error("--pdf is needed");
    const std::vector<JournalRun> runs = journal_runs(read_journal(positional[0]));
    if (runs.empty()) {
        std::cerr << "error: no run in " << positional[0] << "\n";
        return 1;
    }
    if (run > static_cast<int>(runs.size())) {
        std::cerr << "error: the journal holds " << runs.size() << " runs, not " << run << "\n";
        return 1;
    }
    const JournalRun& chosen = runs[static_cast<std::size_t>(run == 0 ? runs.size() - 1 : run - 1)];
    std::vector<std::string> lines;
    for (const std::string& line : run_report_lines(chosen)) lines.push_back(utf8_to_cp1252(line));
    // The first line is the report's title.
    const std::string heading = lines.front();
    lines.erase(lines.begin());
    if (!print_text_pdf(heading, lines, pdf)) {
        std::cerr << "error: cannot write " << pdf << "\n";
        return 2;
    }
    std::cout << "report of run " << (run == 0 ? runs.size() : static_cast<std::size_t>(run)) << " written to "
              << pdf << "\n";
    return 0;
}

}  // namespace kelvo::cli
