#include "language/macro.h"

#include "ground/cp1252.h"
#include "ground/text_utils.h"
#include "ground/file_io.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

namespace kelvo {
namespace fs = std::filesystem;

namespace {

fs::path fs_path(const std::string& cp1252_path) { return fs::path(cp1252_to_utf8(cp1252_path)); }

std::vector<std::string> split_at_commas(const std::string& inner)
{
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (true) {
        const auto comma = inner.find(',', start);
        if (comma == std::string::npos) {
            pieces.push_back(inner.substr(start));
            break;
        }
        pieces.push_back(inner.substr(start, comma - start));
        start = comma + 1;
    }
    return pieces;
}

}  // namespace

bool is_special_macro(const std::string& name)
{
    for (const char* s : special_macro_names)
        if (same_text(name, s)) return true;
    return false;
}

std::string line_name(const std::string& line)
{
    const auto open = line.find('(');
    return open == std::string::npos ? line : line.substr(0, open);
}

std::string line_inner(const std::string& line)
{
    const auto open = line.find('(');
    if (open == std::string::npos) return {};
    const auto close = line.rfind(')');
    if (close == std::string::npos || close < open) return line.substr(open + 1);
    return line.substr(open + 1, close - open - 1);
}

std::vector<std::string> atom_line_values(const std::string& line)
{
    std::vector<std::string> values = split_at_commas(line_inner(line));
    if (!values.empty() && values.back().empty()) values.pop_back();
    return values;
}

std::vector<std::string> call_line_values(const std::string& line)
{
    const std::string inner = line_inner(line);
    if (inner.empty()) return {};
    return split_at_commas(inner);
}

std::string atom_line_text(const std::string& atom, const std::vector<std::string>& values)
{
    std::string line = atom + "(";
    for (const std::string& v : values) line += v + ",";
    return line + ")";
}

std::string call_line_text(const std::string& macro, const std::vector<std::string>& values)
{
    std::string line = macro + "(";
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) line += ",";
        line += values[i];
    }
    return line + ")";
}

MacroText classify_macro_lines(const std::vector<std::string>& lines)
{
    MacroText macro;
    std::size_t i = 0;
    for (; i < lines.size() && lines[i].rfind("//", 0) == 0; ++i) macro.description.push_back(lines[i].substr(2));
    for (; i < lines.size(); ++i) {
        if (lines[i].find(';') != std::string::npos) macro.parameter_lines.push_back(lines[i]);
        else macro.atom_lines.push_back(lines[i]);
    }
    return macro;
}

std::vector<std::string> macro_file_lines(const MacroText& macro)
{
    std::vector<std::string> lines;
    for (const std::string& d : macro.description) lines.push_back("//" + d);
    lines.insert(lines.end(), macro.parameter_lines.begin(), macro.parameter_lines.end());
    lines.insert(lines.end(), macro.atom_lines.begin(), macro.atom_lines.end());
    return lines;
}

std::string crlf_text(const std::vector<std::string>& lines)
{
    std::string text;
    for (const std::string& l : lines) text += l + "\r\n";
    return text;
}

std::string macro_path(const MethodFolder& folder, const std::string& name)
{
    return folder.existing_path(FolderDocument::macro, name);
}

bool macro_file_exists(const MethodFolder& folder, const std::string& name)
{
    return folder.exists(FolderDocument::macro, name);
}

bool read_macro_file(const MethodFolder& folder, const std::string& name, std::vector<std::string>& lines)
{
    return folder.read_lines(FolderDocument::macro, name, lines);
}

bool document_file_exists(const std::string& path)
{
    std::error_code ec;
    return fs::is_regular_file(fs_path(path), ec);
}

bool read_document_lines(const std::string& path, std::vector<std::string>& lines)
{
    return read_text_lines(fs_path(path).string(), lines);
}

bool write_document_atomically(const std::string& path, const std::string& bytes)
{
    return write_file_atomically(fs_path(path).string(), bytes);
}

bool is_read_only_file(const std::string& path)
{
    std::error_code ec;
    const fs::file_status st = fs::status(fs_path(path), ec);
    if (ec || !fs::is_regular_file(st)) return false;
    constexpr auto write_bits = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    return (st.permissions() & write_bits) == fs::perms::none;
}

bool set_read_only_file(const std::string& path, bool read_only)
{
    if (!document_file_exists(path)) return false;
    std::error_code ec;
    if (read_only) {
        fs::permissions(fs_path(path), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove, ec);
    } else {
        fs::permissions(fs_path(path), fs::perms::owner_write, fs::perm_options::add, ec);
    }
    return !ec;
}

bool remove_document_file(const std::string& path)
{
    std::error_code ec;
    return fs::remove(fs_path(path), ec) && !ec;
}

std::vector<std::string> macro_names_in_folder(const MethodFolder& folder)
{
    return folder.names(FolderDocument::macro);
}

std::vector<std::string> macro_box_names(const MethodFolder& folder, const std::string& selected)
{
    std::vector<std::string> names = macro_names_in_folder(folder);
    if (!selected.empty()) {
        const bool present = std::any_of(names.begin(), names.end(), [&](const std::string& n) { return same_text(n, selected); });
        if (!present) {
            names.push_back(selected);
            std::sort(names.begin(), names.end(), less_without_case);
        }
    }
    return names;
}

std::vector<std::string> method_editor_macro_names(const MethodFolder& folder, const std::string& selected)
{
    std::vector<std::string> names = macro_box_names(folder, selected);
    std::erase_if(names, [](const std::string& n) { return is_special_macro(n); });
    return names;
}

std::vector<std::string> numbered_display(const std::vector<std::string>& lines, bool indent_repeat_blocks)
{
    std::vector<std::string> entries;
    bool inside = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string name = line_name(lines[i]);
        const bool is_repeat = same_text(name, "REPEAT");
        const bool is_end = same_text(name, "END");
        std::string number = std::to_string(i + 1);
        if (number.size() < 2) number = "0" + number;
        const bool indented = indent_repeat_blocks && inside && !is_end && !is_repeat;
        entries.push_back(number + (indented ? "   " : " ") + name);
        if (is_repeat) inside = true;
        else if (is_end) inside = false;
    }
    return entries;
}

}  // namespace kelvo
