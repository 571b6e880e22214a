#include "cli/commands.h"

namespace kelvo::cli {

// Each command lives in its own file; declare it here and add it to the table.
int run_check_config(const Args& args);
int run_tray_report(const Args& args);
int run_get_config(const Args& args);
int run_check(const Args& args);
int run_expr(const Args& args);
int run_expand(const Args& args);
int run_run_method(const Args& args);
int run_run_list(const Args& args);
int run_export(const Args& args);
int run_tray_map(const Args& args);
int run_trays(const Args& args);
int run_print(const Args& args);
int run_estimate(const Args& args);
int run_report(const Args& args);

const std::vector<Command>& commands()
{
    static const std::vector<Command> table = {
        {"check-config", "FILE\n      parse a configuration file and print its counts of lists, classes, objects, atoms", run_check_config},
        {"tray-report", "FILE OUTFILE\n      parse a configuration file and write its tray report to OUTFILE", run_tray_report},
        {"get-config", "--device PATH --folder DIR [--trace]\n      read the instrument's configuration on PATH into DIR/latest_kelvo.kol (exit 2: offline)", run_get_config},
        {"check", "FOLDER [NAME...]\n      load the documents of a method folder (or the named ones) against FOLDER/latest_kelvo.kol and print what each load shows", run_check},
        {"expr", "--config FILE [--unit U] [--empty-ok] [--syr] [--line 'ATOM(v1,v2,)'] [--param 'NAME (UNIT);...=VALUE']... [--syringe NAME] [--set NAME=VALUE]... TEXT\n      test a parameter expression (exit 1: invalid) and, when valid, print its value or \"fails\"", run_expr},
        {"expand", "FOLDER METHOD [--syringe NAME]\n      expand a method of FOLDER as a run does and print its body start, body end and atom lines (exit 1: expansion failed)", run_expand},
        {"run-method", "FOLDER METHOD --device PATH [--set NAME=VALUE]... [--on-error abort|retry|ignore] [--stop-after-ms N] [--poll MS] [--syringe NAME] [--journal FILE]\n      connect to the instrument on PATH (saving FOLDER/latest_kelvo.kol) and run METHOD as Run does; prints status: and log: lines; the run is recorded in the run journal (FILE, else cadenzor-journal.jsonl beside the log)\n      (exit 0: completed; 3: completed after an instrument error; 1: did not start or stopped on a failure; 2: usage, or the instrument cannot be reached)", run_run_method},
        {"run-list", "FOLDER LIST --device PATH [--on-error abort|retry|ignore] [--stop-after-ms N] [--stop-answer yes|no] [--poll MS] [--columns FILE] [--ds hpcs --service NAME [--instrument gc-ms]] [--from-row N] [--journal FILE]\n      connect to the instrument on PATH (saving FOLDER/latest_kelvo.kol), load the sample list LIST and run it as Start does; prints status: and log: lines, then row N: done|stopped|none; --ds hpcs runs beside the data system NAME on the session bus (its columns read, the row handed over at each WAIT_FOR_DS, READY awaited; debug: lines on standard error); --from-row N resumes the list at row N (SL ENTRY first); recorded in the run journal as run-method does\n      (exit 0: completed, every row done; 3: completed after an instrument error; 1: stopped, signalled or did not start; 2: usage, or the instrument or data system cannot be reached)", run_run_list},
        {"export", "FOLDER LIST [NAME] [--overwrite]\n      validate the sample list LIST of FOLDER and write its export FOLDER/NAME.txt (NAME: LIST; exit 1: refused)", run_export},
        {"tray-map", "FILE TRAY\n      print the vial numbers of the tray's grid as the vial selection dialog numbers them (exit 1: not a tray)", run_tray_map},
        {"trays", "FILE HOLDER\n      print the trays of a holder in drawing order: LEVEL NAME X Y Z WIDTH DEPTH (exit 1: not a tray holder)", run_trays},
        {"estimate", "FOLDER (--method NAME | --list NAME) [--journal FILE] [--from-row N]\n      estimate how long a method (one run) or a sample list takes from the durations the run journal (FILE, else cadenzor-journal.jsonl in the working directory, beside the log) recorded; prints estimate H:MM:SS and unknown atoms N (atoms without history count nothing)", run_estimate},
        {"report", "JOURNAL --pdf OUT [--run K]\n      print the report of run K of the run journal (counted from 1; default the last run) into the PDF file OUT: the list, start and end, every row with its outcome, every instrument error with the answer given, and the totals (exit 1: no such run)", run_report},
        {"print", "FOLDER (--method NAME | --macro NAME | --list NAME | --log FILE [--lines FIRST-LAST]) --pdf OUT\n      print a method, a macro, a sample list or the log (lines counted from 1) as the program does, into the PDF file OUT (exit 1: no such document)", run_print},
    };
    return table;
}

}  // namespace kelvo::cli
