#pragma once
// Row validation before a list is saved, exported, extended or started:
// every distinct method (letter case aside) must have a method file, whose
// syringe gives the volume limits of its rows; then each row's trays,
// injectors, volumes, vial and count, skipping hidden columns. The first
// failure is the result.
#include <string>

namespace kelvo {

class ConfigDb;
class MethodFolder;
class SampleTable;

inline constexpr const char* empty_list_text = "The list is empty!";

// The message of the first failure, empty when every row passes. Reads
// each distinct method's file once; never changes the table.
std::string validation_failure(const SampleTable& table, const ConfigDb& db, const MethodFolder& folder);

// How many vials a tray holds: the integer part of "Spl Per Row" times
// "Spl Per Col" of its tray type; 0 for an empty or unknown tray.
long long tray_capacity(const ConfigDb& db, const std::string& tray);

}  // namespace kelvo
