#include "ground/reg_file_store.h"

#include "ground/cp1252.h"
#include "ground/file_io.h"
#include "ground/text_utils.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>
#include <unistd.h>

namespace kelvo {
namespace {

namespace fs = std::filesystem;

const std::string root_key = settings_root_key;

// Reads a quoted text starting at pos (on the opening quote). On success pos
// is past the closing quote.
bool read_quoted(const std::string& line, std::size_t& pos, std::string& out)
{
    if (pos >= line.size() || line[pos] != '"') return false;
    ++pos;
    out.clear();
    while (pos < line.size()) {
        const char c = line[pos++];
        if (c == '"') return true;
        if (c == '\\') {
            if (pos >= line.size()) return false;
            const char e = line[pos++];
            if (e == 'n') out += '\n';
            else if (e == 'r') out += '\r';
            else out += e;
        } else {
            out += c;
        }
    }
    return false;
}

std::string quoted(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else {
            out += c;
        }
    }
    return out + "\"";
}

int hex_digit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool parse_value(const std::string& data, SettingValue& value)
{
    if (!data.empty() && data[0] == '"') {
        std::size_t pos = 0;
        std::string text;
        if (!read_quoted(data, pos, text) || pos != data.size()) return false;
        value = SettingValue::of_text(utf8_to_cp1252(text));
        return true;
    }
    if (data.rfind("dword:", 0) == 0) {
        const std::string digits = data.substr(6);
        if (digits.empty() || digits.size() > 8) return false;
        std::uint32_t d = 0;
        for (char c : digits) {
            const int h = hex_digit(c);
            if (h < 0) return false;
            d = (d << 4) | static_cast<std::uint32_t>(h);
        }
        value = SettingValue::of_dword(d);
        return true;
    }
    if (data.rfind("hex:", 0) == 0) {
        std::vector<unsigned char> bytes;
        std::size_t pos = 4;
        while (pos < data.size()) {
            while (pos < data.size() && (data[pos] == ' ' || data[pos] == ',')) ++pos;
            if (pos >= data.size()) break;
            if (pos + 1 >= data.size()) return false;
            const int hi = hex_digit(data[pos]), lo = hex_digit(data[pos + 1]);
            if (hi < 0 || lo < 0) return false;
            bytes.push_back(static_cast<unsigned char>(hi * 16 + lo));
            pos += 2;
        }
        value = SettingValue::of_bytes(std::move(bytes));
        return true;
    }
    return false;
}

std::string format_value(const SettingValue& v)
{
    char buf[16];
    switch (v.kind) {
    case SettingValue::Kind::dword:
        std::snprintf(buf, sizeof buf, "dword:%08x", static_cast<unsigned>(v.dword));
        return buf;
    case SettingValue::Kind::binary: {
        std::string out = "hex:";
        for (std::size_t i = 0; i < v.bytes.size(); ++i) {
            std::snprintf(buf, sizeof buf, "%s%02x", i ? "," : "", v.bytes[i]);
            out += buf;
        }
        return out;
    }
    case SettingValue::Kind::text:
        break;
    }
    return quoted(cp1252_to_utf8(v.text));
}

}  // namespace

RegFileSettingsStore::RegFileSettingsStore(std::string path) : path_(std::move(path)) {}

MemorySettingsStore RegFileSettingsStore::parse(const std::string& text)
{
    MemorySettingsStore store;
    // Join continued lines (a trailing backslash after hex data), drop CRs.
    std::vector<std::string> lines;
    std::string current;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        // Only hex data is continued onto the next line.
        const bool continued = !line.empty() && line.back() == '\\' &&
                               (!current.empty() || line.find("=hex:") != std::string::npos);
        if (continued) {
            line.pop_back();
            current += line;
            continue;
        }
        if (!current.empty()) {
            std::size_t i = 0;
            while (i < line.size() && line[i] == ' ') ++i;
            line = current + line.substr(i);
            current.clear();
        }
        lines.push_back(line);
    }
    if (!current.empty()) lines.push_back(current);

    bool in_root = false;
    std::string subkey;
    for (const std::string& line : lines) {
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            in_root = false;
            if (line.back() != ']') continue;
            const std::string key = utf8_to_cp1252(line.substr(1, line.size() - 2));
            if (same_text(key, root_key)) {
                in_root = true;
                subkey.clear();
            } else if (key.size() > root_key.size() + 1 && same_text(key.substr(0, root_key.size()), root_key) &&
                       key[root_key.size()] == '\\') {
                in_root = true;
                subkey = key.substr(root_key.size() + 1);
            }
            // A key that exists but holds no values still exists.
            if (in_root) {
                bool known = false;
                for (const auto& k : store.keys) known = known || same_text(k.name, subkey);
                if (!known) store.keys.push_back(MemorySettingsStore::Key{subkey, {}});
            }
            continue;
        }
        if (!in_root || line[0] != '"') continue;
        std::size_t pos = 0;
        std::string name;
        if (!read_quoted(line, pos, name) || pos >= line.size() || line[pos] != '=') continue;
        SettingValue value;
        if (!parse_value(line.substr(pos + 1), value)) continue;
        store.write(subkey, utf8_to_cp1252(name), value);
    }
    return store;
}

std::string RegFileSettingsStore::format(const MemorySettingsStore& store)
{
    std::string out = "REGEDIT4\r\n";
    bool root_written = false;
    auto write_key = [&](const MemorySettingsStore::Key& key) {
        out += "\r\n[" + cp1252_to_utf8(key.name.empty() ? root_key : root_key + "\\" + key.name) + "]\r\n";
        for (const auto& [name, v] : key.values) out += quoted(cp1252_to_utf8(name)) + "=" + format_value(v) + "\r\n";
    };
    for (const auto& key : store.keys)
        if (key.name.empty()) write_key(key), root_written = true;
    if (!root_written) write_key(MemorySettingsStore::Key{});
    for (const auto& key : store.keys)
        if (!key.name.empty()) write_key(key);
    return out;
}

MemorySettingsStore RegFileSettingsStore::load() const
{
    std::ifstream in(path_, std::ios::binary);
    if (!in) return {};
    std::ostringstream ss;
    ss << in.rdbuf();
    return parse(ss.str());
}

bool RegFileSettingsStore::save(const MemorySettingsStore& store) const
{
    std::error_code ec;
    const fs::path target(path_);
    if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
    return write_file_atomically(path_, format(store));
}

bool RegFileSettingsStore::available()
{
    std::error_code ec;
    const fs::path target(path_);
    if (fs::exists(target, ec)) return fs::is_regular_file(target, ec);
    // Not there yet: it can be created when its folder can be.
    if (target.has_parent_path()) {
        fs::create_directories(target.parent_path(), ec);
        return fs::is_directory(target.parent_path(), ec);
    }
    return true;
}

std::optional<SettingValue> RegFileSettingsStore::read(const std::string& subkey, const std::string& name)
{
    return load().read(subkey, name);
}

void RegFileSettingsStore::write(const std::string& subkey, const std::string& name, const SettingValue& value)
{
    MemorySettingsStore store = load();
    store.write(subkey, name, value);
    save(store);
}

std::vector<NamedSettingValue> RegFileSettingsStore::values(const std::string& subkey)
{
    return load().values(subkey);
}

void RegFileSettingsStore::delete_value(const std::string& subkey, const std::string& name)
{
    MemorySettingsStore store = load();
    store.delete_value(subkey, name);
    save(store);
}

void RegFileSettingsStore::delete_all_values(const std::string& subkey)
{
    MemorySettingsStore store = load();
    store.delete_all_values(subkey);
    save(store);
}

}  // namespace kelvo
