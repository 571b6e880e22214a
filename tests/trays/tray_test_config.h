#pragma once
// A configuration with two holders for the tray tests: "Stack" with two
// trays on its lower level and one above, "Empty" without trays, and tray
// types for the numbering cases and the group filter.
#include <string>

namespace kelvo::tray_test {

inline const std::string classes =
    "!SYRINGE\n"
    "!TRAY_HOLDER\nPosition X;0;1;0;1;\xB5m\nPosition Y;0;1;0;1;\xB5m\nPosition Z;0;1;0;1;\xB5m\n"
    "!TRAY_TYPE\nRow Length X;-999999;999999;0;1;\xB5m\nRow Length Y;-999999;999999;0;1;\xB5m\n"
    "Col Length X;-999999;999999;0;1;\xB5m\nCol Length Y;-999999;999999;0;1;\xB5m\n"
    "Spl Per Row;-1000;1000;1;1;E\nSpl Per Col;-1000;1000;1;1;E\n&TrayTypeGroup\n"
    "!TRAY\nTray Holder;TRAY_HOLDER\nTray Type;TRAY_TYPE\nOffset X;-999999;999999;0;1;\xB5m\n"
    "Offset Y;-999999;999999;0;1;\xB5m\nPath Offset Z;-999999;999999;0;1;\xB5m\n&TrayTypeGroup\n"
    "!PLAIN_TRAY\nTray Holder;TRAY_HOLDER\n";

// Row Length X, Row Length Y, Col Length X, Col Length Y, Spl Per Row, Spl Per Col, group.
inline const std::string objects =
    "TRAY_HOLDER;Stack;0;0;0\n"
    "TRAY_HOLDER;Empty;0;0;0\n"
    "TRAY_TYPE;VT54;96000;0;0;60000;9;6;A\n"
    "TRAY_TYPE;VT15;0;36000;72000;0;3;5;B\n"
    "TRAY_TYPE;Down;0;0;20000;18000;2;3;C\n"
    "TRAY_TYPE;DownRev;0;0;20000;-18000;2;3;\n"
    "TRAY_TYPE;Along;10000;0;0;18000;2;3;BX\n"
    "TRAY_TYPE;AlongRev;10000;0;0;-18000;2;3;A\n"
    "TRAY_TYPE;Flat;0;0;0;0;4;4;A\n"
    "TRAY_TYPE;Huge;10000;0;0;10000;101;5;A\n"
    "TRAY_TYPE;NoVials;10000;0;0;10000;0;-3;A\n"
    // Tray, holder, type, Offset X, Offset Y, Path Offset Z, group
    "TRAY;Upper;Stack;VT15;0;0;50000;AB\n"
    "TRAY;Back;Stack;VT54;0;70000;0;AB\n"
    "TRAY;Front;stack;VT54;0;0;0;C\n";

}  // namespace kelvo::tray_test
