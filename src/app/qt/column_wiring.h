#pragma once
// The sample list's columns beyond the fixed ten and what the user chose for
// them: the column-definition file (from the "COLS:" switch once the
// configuration is read, and whenever the data system names one), the
// column settings loaded at grid set-up, "&Format Sample List..." with
// `Tcolumnform` (which also refreshes the vial dialog's default sheet), and
// widths saved when the user changes them.
#include <string>

namespace kelvo {

class DataSystemLink;
class SampleListPage;
class Tmain_form;
class Ttray_form;

void install_column_settings(Tmain_form& main, SampleListPage& page, DataSystemLink* data_system,
                             Ttray_form* tray_form, const std::string& columns_file);

}  // namespace kelvo
