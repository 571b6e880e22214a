#include "trays/tray_report.h"

#include "ground/file_io.h"

#include "ground/debug_lines.h"
#include "ground/text_utils.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace kelvo {
namespace {

const char* const crlf = "\r\n";

// Property n of the object's class by name (the last of that name), -1 when
// the class has none. Objects are addressed by index so that two objects of
// one name each report their own values.
int property_of(const ConfigDb& db, int object, const std::string& name)
{
    const int c = db.objects()[static_cast<std::size_t>(object)].class_index;
    const auto& props = db.classes()[static_cast<std::size_t>(c)].properties;
    for (int i = static_cast<int>(props.size()) - 1; i >= 0; --i)
        if (same_text(props[static_cast<std::size_t>(i)].name, name)) return i;
    return -1;
}

// "%9.2f" with "." as the decimal point.
std::string number_field(const ConfigDb& db, int object, const char* property)
{
    const double v = db.numeric_value(object, property_of(db, object, property));
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 2);
    std::string text = r.ec == std::errc() ? std::string(buf, r.ptr) : std::string("0.00");
    if (text.size() < 9) text.insert(0, 9 - text.size(), ' ');
    return text;
}

// "%-9s" (left) or "%9s" (right): minimum widths, longer texts widen the field.
std::string text_field(const std::string& text, bool left)
{
    if (text.size() >= 9) return text;
    const std::string pad(9 - text.size(), ' ');
    return left ? text + pad : pad + text;
}

std::string text_of(const ConfigDb& db, int object, const char* property)
{
    return db.text_value(object, property_of(db, object, property));
}

template <std::size_t N>
void add_line(std::string& out, const ConfigDb& db, int object, const char* const (&properties)[N])
{
    out += text_field(db.objects()[static_cast<std::size_t>(object)].name, true);
    for (const char* p : properties) out += number_field(db, object, p);
    out += crlf;
}

}  // namespace

std::string tray_report_text(const ConfigDb& db)
{
    static const char* const holder_values[] = {"Position X", "Position Y", "Position Z"};
    static const char* const type_values[] = {"Row Length X", "Row Length Y", "Col Length X",
                                              "Col Length Y", "Spl Per Row",  "Spl Per Col",
                                              "Ref Offset X", "Ref Offset Y", "Ref Offset Z"};
    static const char* const tray_values[] = {"Offset X",      "Offset Y",      "Offset Z",
                                              "Path Offset X", "Path Offset Y", "Path Offset Z"};
    std::string out;
    out += "Tray holders     X        Y        Z";
    out += crlf;
    out += crlf;
    for (int i = 0; i < db.object_count(); ++i)
        if (same_text(db.class_name_of_object(i), "TRAY_HOLDER")) add_line(out, db, i, holder_values);
    out += crlf;
    out += "Tray types RowLenX  RowLenY  ColLenX  ColLenY Vial/Row Vial/Col     RefX     RefY     RefZ";
    out += crlf;
    out += crlf;
    for (int i = 0; i < db.object_count(); ++i)
        if (same_text(db.class_name_of_object(i), "TRAY_TYPE")) add_line(out, db, i, type_values);
    out += crlf;
    out += "Trays       Holder     Type        X        Y        Z   Path X   Path Y   Path Z";
    out += crlf;
    out += crlf;
    for (int i = 0; i < db.object_count(); ++i) {
        if (!same_text(db.class_name_of_object(i), "TRAY")) continue;
        out += text_field(db.objects()[static_cast<std::size_t>(i)].name, true);
        out += text_field(text_of(db, i, "Tray Holder"), false);
        out += text_field(text_of(db, i, "Tray Type"), false);
        for (const char* p : tray_values) out += number_field(db, i, p);
        out += crlf;
    }
    return out;
}

std::string tray_report_path(const std::string& folder)
{
    if (folder.empty()) return tray_report_file_name;
    if (folder.back() == '/' || folder.back() == '\\') return folder + tray_report_file_name;
    return folder + "/" + tray_report_file_name;
}

bool write_tray_report(const ConfigDb& db, const std::string& path, const DebugSink& debug)
{
    if (write_file_atomically(path, tray_report_text(db))) return true;
    if (debug) debug("could not write " + path);
    return false;
}

}  // namespace kelvo
