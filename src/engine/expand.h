#pragma once
// Expand: a method's macro calls become the flat list of atom lines a run
// sends, framed by the special macros of the method folder:
//
//   CHECK SL ENTRY()   SL ENTRY()          when "SL ENTRY" exists
//   METHOD ENTRY()                         when "METHOD ENTRY" exists   <- body start
//   the method's calls
//   METHOD EXIT()                          when "METHOD EXIT" exists    <- body end
//   CHECK SL EXIT()    SL EXIT()           when "SL EXIT" exists
//
// Every atom line of every called macro passes the expansion check (object
// arguments naming a parameter take the call's value). Failures show their
// message (error box) and leave the lists as far as they got.
#include "engine/run_lists.h"

#include <string>
#include <vector>

namespace kelvo {

struct Context;

// Shown when the expansion would hold more than RunLists::expanded_capacity lines.
std::string expansion_capacity_text();

// method_lines: the calls, in order; a line beginning with "[MACRO " (and
// everything after it) is not a call, so the lines after a method file's
// syringe line may be passed as they are.
bool expand(const Context& context, const std::string& syringe, const std::vector<std::string>& method_lines,
            RunLists& lists);

// Whether the method expands, the lists thrown away: the Method Editor's
// test after every change of the sequence (an ExpansionTest).
bool test_expansion(const Context& context, const std::string& syringe,
                    const std::vector<std::string>& method_lines);

}  // namespace kelvo
