#pragma once
// The plain-text tray report "TrayInfo.txt": tray holders, tray types and
// trays of the configuration with their geometry, one line each.
#include "config/config_db.h"
#include "ground/method_folder.h"

#include <string>

namespace kelvo {


// The report's bytes: CR LF line ends, numbers with "." as decimal point
// whatever the locale.
std::string tray_report_text(const ConfigDb& db);

// folder followed by the separator and "TrayInfo.txt".
std::string tray_report_path(const std::string& folder);

// Writes the report to path (the file system's own name), replacing any
// earlier file; the old file stays intact when writing fails. False on
// failure (a debug line says why; no message box).
bool write_tray_report(const ConfigDb& db, const std::string& path, const DebugSink& debug);

}  // namespace kelvo
