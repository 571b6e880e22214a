#pragma once
// Keeps a drop-down list sorted as names are added, without regard to case,
// as the name boxes of the program expect. Works for every way of adding
// (add_name, fill_from_folder, addItem) because it follows the model.
class QComboBox;

namespace kelvo {

void keep_sorted(QComboBox* box);

}  // namespace kelvo
