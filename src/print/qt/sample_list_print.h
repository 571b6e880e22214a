#pragma once
// The sample list printout: the grid prints itself, under a header the
// program composes (the list's name and its file dates).
#include "print/document_prints.h"

#include <string>

class QPrinter;

namespace kelvo {

class SpreadGrid;

// Sets the grid's print properties and lets it print itself on the printer
// (no print dialog). The page count, 0 when the printer could not start.
int print_sample_list(SpreadGrid& sheet, QPrinter& printer, const std::string& name, const DocumentDates& dates);

// The dates of the sample list file of that name in the method folder
// ("not saved" without a file).
DocumentDates sample_list_dates(const std::string& name);

}  // namespace kelvo
