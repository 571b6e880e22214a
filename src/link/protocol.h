#pragma once
// The instrument's serial protocol in one place: the command words the
// program sends, the answer words the instrument gives, the two line speeds,
// the tick of the timer trigger and the scale of thousandths. The link, the
// start-up chain and the simulator all take them from here.
#include "config/config_db.h"

namespace kelvo::protocol {

// ---- command words (a line each, ended by CR)
inline constexpr const char* get_status = "GET_STAT";
inline constexpr const char* get_configuration = "GET_CONFIG";
inline constexpr const char* get_firmware_version = "GET_FW_VERSION";
inline constexpr const char* get_syringe = "GET_SYR";
inline constexpr const char* get_atom_info = "GET_ATOM_INFO";
inline constexpr const char* cancel = "CANCEL";
inline constexpr const char* set_fast_speed = "SET_BAUD 38400";
inline constexpr const char* set_normal_speed = "SET_BAUD 9600";
inline constexpr const char* download_object_prefix = "DLD_OBJ ";
// Not a command: the fast probe of start-up, which an instrument at the
// other speed answers with an error line.
inline constexpr const char* probe = "???";

// ---- answer words (whole lines)
inline constexpr const char* ready = "READY";
inline constexpr const char* busy = "BUSY";
inline constexpr const char* error = "ERROR";
inline constexpr const char* answer_end = "|";   // a reply's end; an atom accepted
inline constexpr const char* atom_end = "@";     // an atom (or method) finished
inline constexpr char error_line_mark = '@';     // "@" + text: an error line

// Values in scaled units travel as integer thousandths.
inline constexpr double scale_factor = scaled_unit_factor;

}  // namespace kelvo::protocol

namespace kelvo {

// ---- the line
inline constexpr int normal_speed = 9600;
inline constexpr int fast_speed = 38400;
// The timer trigger counts in ticks of 55 ms.
inline constexpr int tick_ms = 55;

}  // namespace kelvo
