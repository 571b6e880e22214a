#pragma once
// Changing the tray type of a tray: which types a tray accepts, and the
// change itself with the command that tells the instrument.
#include "config/config_db.h"

#include <optional>
#include <string>
#include <vector>

namespace kelvo {

// The tray type menu has this many items.
inline constexpr int tray_type_menu_capacity = 16;

// The "TRAY_TYPE" objects, in configuration order, whose group letter (the
// first character of their "TrayTypeGroup") occurs in the tray's
// "TrayTypeGroup"; a type without a group is offered to every tray.
std::vector<std::string> offered_tray_types(const ConfigDb& db, const std::string& tray);

// The command text "DLD_OBJ " + the tray's object line after setting its
// tray type; nothing (and no change) when the tray's object has no
// "TRAY TYPE" property.
std::optional<std::string> change_tray_type(ConfigDb& db, const std::string& tray, const std::string& type);

// The log line of a completed change.
std::string tray_type_changed_text(const ConfigDb& db, const std::string& tray);

// The first tray of the holder in configuration order; empty when none.
std::string first_tray_on_holder(const ConfigDb& db, const std::string& holder);

}  // namespace kelvo
