#pragma once
// How a DDE conversation is carried over the D-Bus session bus. The mapping
// is fixed so that any data system can implement its side:
//
//   service "SR:" value  ->  bus name     "org.qerant.dde." + escaped service
//   topic                ->  object path  "/" + escaped topic
//   interface "org.qerant.Dde1" on that object:
//     Request(s item) -> s        the item's current text
//     Execute(s command)          a data-system macro; the client does not
//                                 wait for its effect and ignores a reply error
//     signal Changed(s item, s value)   emitted whenever an item's text changes
//
// Escaping: every character outside A-Za-z0-9_ becomes one "_" (characters
// counted as Windows-1252 holds them: "µ" gives one "_"), and a "_" is put in
// front of a name that starts with a digit.
//
// A conversation opens when the bus name has an owner and the object
// introspects with the interface. An advise link is the item's current value
// requested once when the link is made (handled like a change when it is not
// empty) plus the Changed signal filtered by item, subscribed by the
// well-known bus name so that a data system restarted later is followed.
// Texts travel as UTF-8 on the bus and as Windows-1252 in the program.
#include <string>

namespace kelvo {

inline constexpr const char* dde_bus_prefix = "org.qerant.dde.";
inline constexpr const char* dde_interface = "org.qerant.Dde1";

// text is Windows-1252.
std::string dde_escaped_name(const std::string& text);
std::string dde_bus_name(const std::string& service);
std::string dde_object_path(const std::string& topic);

}  // namespace kelvo
