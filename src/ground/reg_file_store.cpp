#include "ground/reg_file_store.h"

#include "ground/cp1252.h"
#include "ground/file_io.h"
#include "ground/text_utils.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <unordered_map>
#include <utility>

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


std::string fold(const std::string& name)
{
    std::string out = name;
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// One logical line of the file.
struct Entry {
    std::string raw;      // as read (UTF-8, continued lines joined by CR LF); empty when it is to be written anew
    bool owned = false;   // a value of one of the program's keys
    bool removed = false;
    std::string name;     // Windows-1252, for owned values
    SettingValue value;
};

struct Section {
    std::string header;   // the raw "[...]" line; empty for the lines before the first key
    bool ours = false;
    std::string subkey;   // below the settings key, Windows-1252, for our sections
    std::vector<Entry> entries;
};

struct Key {
    std::vector<std::size_t> sections;                                     // in file order
    std::unordered_map<std::string, std::pair<std::size_t, std::size_t>> values;  // folded name -> section, entry
};

void append_utf8(std::string& out, std::uint32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string utf16_to_utf8(const std::string& bytes, std::size_t from, bool big_endian)
{
    std::string out;
    out.reserve((bytes.size() - from) / 2);
    auto unit = [&](std::size_t i) -> std::uint32_t {
        const auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
        return big_endian ? (a << 8 | b) : (b << 8 | a);
    };
    for (std::size_t i = from; i + 1 < bytes.size(); i += 2) {
        std::uint32_t c = unit(i);
        if (c >= 0xD800 && c < 0xDC00 && i + 3 < bytes.size()) {
            const std::uint32_t low = unit(i + 2);
            if (low >= 0xDC00 && low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            } else {
                c = 0xFFFD;
            }
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        append_utf8(out, c);
    }
    return out;
}

bool is_export_header(const std::string& line)
{
    return line == "REGEDIT4" || line == "Windows Registry Editor Version 5.00";
}

}  // namespace

struct RegFileSettingsStore::Document {
    enum class State { absent, readable, unreadable };
    State state = State::absent;
    std::vector<Section> sections{Section{}};  // [0]: the lines before the first key
    std::unordered_map<std::string, Key> keys;  // by folded sub-key
    std::uintmax_t size = 0;
    fs::file_time_type time{};

    explicit Document(State s) : state(s) {}

    void parse(const std::string& text);
    std::string format() const;
    void index();
    Key* key(const std::string& subkey);
    Section& section_for_new_value(const std::string& subkey);
};

void RegFileSettingsStore::Document::parse(const std::string& text)
{
    // Logical lines: hex data may be continued onto the next line with a
    // trailing backslash.
    std::string raw, logical;
    bool continuing = false;
    auto finish = [&](Section*& current) {
        Entry e;
        e.raw = raw;
        const std::string& line = logical;
        if (!line.empty() && line[0] == '[') {
            Section next;
            next.header = raw;
            if (line.back() == ']') {
                const std::string key = utf8_to_cp1252(line.substr(1, line.size() - 2));
                if (same_text(key, root_key)) {
                    next.ours = true;
                } else if (key.size() > root_key.size() + 1 && same_text(key.substr(0, root_key.size()), root_key) &&
                           key[root_key.size()] == '\\') {
                    next.ours = true;
                    next.subkey = key.substr(root_key.size() + 1);
                }
            }
            sections.push_back(std::move(next));
            current = &sections.back();
            return;
        }
        if (current->ours && !line.empty() && line[0] == '"') {
            std::size_t pos = 0;
            std::string name;
            SettingValue value;
            if (read_quoted(line, pos, name) && pos < line.size() && line[pos] == '=' &&
                parse_value(line.substr(pos + 1), value)) {
                e.owned = true;
                e.name = utf8_to_cp1252(name);
                e.value = std::move(value);
            }
        }
        current->entries.push_back(std::move(e));
    };
    Section* current = &sections.front();
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find('\n', begin);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(begin, end - begin);
        begin = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const bool continued = !line.empty() && line.back() == '\\' &&
                               (continuing || line.find("=hex") != std::string::npos);
        if (continuing) {
            raw += "\r\n" + line;
            std::size_t i = 0;
            while (i < line.size() && line[i] == ' ') ++i;
            logical += line.substr(i);
        } else {
            raw = line;
            logical = line;
        }
        if (continued) {
            logical.pop_back();
            continuing = true;
            continue;
        }
        continuing = false;
        finish(current);
    }
    if (continuing) finish(current);

    // One blank line between keys is the writer's; the reader drops those at
    // the end of a key.
    for (Section& s : sections)
        while (!s.entries.empty() && !s.entries.back().owned && s.entries.back().raw.empty()) s.entries.pop_back();
    // A value named twice in a key: the later one counts, in the place of the first.
    index();
}

void RegFileSettingsStore::Document::index()
{
    keys.clear();
    for (std::size_t si = 0; si < sections.size(); ++si) {
        Section& s = sections[si];
        if (!s.ours) continue;
        Key& k = keys[fold(s.subkey)];
        k.sections.push_back(si);
        for (std::size_t ei = 0; ei < s.entries.size(); ++ei) {
            Entry& e = s.entries[ei];
            if (!e.owned || e.removed) continue;
            const auto [it, fresh] = k.values.try_emplace(fold(e.name), si, ei);
            if (fresh) continue;
            Entry& first = sections[it->second.first].entries[it->second.second];
            first.value = e.value;
            first.raw.clear();
            e.removed = true;
        }
    }
}

std::string RegFileSettingsStore::Document::format() const
{
    std::string out = "REGEDIT4\r\n";
    auto line_of = [](const Entry& e) {
        return e.owned && e.raw.empty() ? quoted(cp1252_to_utf8(e.name)) + "=" + format_value(e.value) : e.raw;
    };
    const auto& preamble = sections.front().entries;
    for (std::size_t i = 0; i < preamble.size(); ++i)
        if (i > 0 || !is_export_header(preamble[i].raw)) out += line_of(preamble[i]) + "\r\n";
    for (std::size_t si = 1; si < sections.size(); ++si) {
        out += "\r\n" + sections[si].header + "\r\n";
        for (const Entry& e : sections[si].entries)
            if (!e.removed) out += line_of(e) + "\r\n";
    }
    return out;
}

Key* RegFileSettingsStore::Document::key(const std::string& subkey)
{
    const auto it = keys.find(fold(subkey));
    return it == keys.end() ? nullptr : &it->second;
}

Section& RegFileSettingsStore::Document::section_for_new_value(const std::string& subkey)
{
    if (Key* k = key(subkey)) return sections[k->sections.front()];
    Section s;
    s.ours = true;
    s.subkey = subkey;
    s.header = "[" + cp1252_to_utf8(subkey.empty() ? root_key : root_key + "\\" + subkey) + "]";
    // The settings key itself comes first, as an export lists it.
    const std::size_t at = subkey.empty() ? 1 : sections.size();
    sections.insert(sections.begin() + static_cast<std::ptrdiff_t>(at), std::move(s));
    index();
    return sections[at];
}

RegFileSettingsStore::RegFileSettingsStore(std::string path) : path_(std::move(path)) {}
RegFileSettingsStore::~RegFileSettingsStore() = default;

std::string RegFileSettingsStore::decode(const std::string& bytes)
{
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) return bytes.substr(3);
    if (bytes.size() >= 2) {
        if (bytes[0] == '\xFF' && bytes[1] == '\xFE') return utf16_to_utf8(bytes, 2, false);
        if (bytes[0] == '\xFE' && bytes[1] == '\xFF') return utf16_to_utf8(bytes, 2, true);
        if (bytes[0] == 'W' && bytes[1] == '\0') return utf16_to_utf8(bytes, 0, false);
        if (bytes[0] == '\0' && bytes[1] == 'W') return utf16_to_utf8(bytes, 0, true);
    }
    return bytes;
}

bool RegFileSettingsStore::refresh()
{
    using State = Document::State;
    std::error_code ec;
    const fs::path target(path_);
    const fs::file_status status = fs::status(target, ec);
    if (status.type() == fs::file_type::not_found) {
        if (!doc_ || doc_->state != State::absent) doc_ = std::make_unique<Document>(State::absent);
        return true;
    }
    if (ec || status.type() != fs::file_type::regular) {
        doc_ = std::make_unique<Document>(State::unreadable);
        return false;
    }
    const std::uintmax_t size = fs::file_size(target, ec);
    if (ec || size > settings_file_limit) {
        doc_ = std::make_unique<Document>(State::unreadable);
        return false;
    }
    const fs::file_time_type time = fs::last_write_time(target, ec);
    if (ec) {
        doc_ = std::make_unique<Document>(State::unreadable);
        return false;
    }
    if (doc_ && doc_->state == State::readable && doc_->size == size && doc_->time == time) return true;

    std::ifstream in(target, std::ios::binary);
    std::string bytes;
    if (in) bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!in || in.bad()) {
        doc_ = std::make_unique<Document>(State::unreadable);
        return false;
    }
    auto doc = std::make_unique<Document>(State::readable);
    doc->parse(decode(bytes));
    doc->size = size;
    doc->time = time;
    doc_ = std::move(doc);
    return true;
}

bool RegFileSettingsStore::save()
{
    std::error_code ec;
    const fs::path target(path_);
    if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
    if (!write_file_atomically(path_, doc_->format())) {
        // The file keeps what it had; so does the next read.
        doc_.reset();
        return false;
    }
    for (Section& s : doc_->sections)
        std::erase_if(s.entries, [](const Entry& e) { return e.removed; });
    doc_->index();
    doc_->state = Document::State::readable;
    doc_->size = fs::file_size(target, ec);
    doc_->time = fs::last_write_time(target, ec);
    if (ec) doc_.reset();
    return true;
}

bool RegFileSettingsStore::available()
{
    if (!refresh()) return false;
    if (doc_->state == Document::State::readable) return true;
    // Not there yet: it can be created when its folder can be.
    std::error_code ec;
    const fs::path target(path_);
    if (!target.has_parent_path()) return true;
    fs::create_directories(target.parent_path(), ec);
    return fs::is_directory(target.parent_path(), ec);
}

std::optional<SettingValue> RegFileSettingsStore::read(const std::string& subkey, const std::string& name)
{
    if (!refresh()) return std::nullopt;
    const Key* k = doc_->key(subkey);
    if (!k) return std::nullopt;
    const auto it = k->values.find(fold(name));
    if (it == k->values.end()) return std::nullopt;
    return doc_->sections[it->second.first].entries[it->second.second].value;
}

void RegFileSettingsStore::write(const std::string& subkey, const std::string& name, const SettingValue& value)
{
    // Writes to a file that could not be read are dropped.
    if (!refresh()) return;
    if (const Key* k = doc_->key(subkey)) {
        const auto it = k->values.find(fold(name));
        if (it != k->values.end()) {
            Entry& e = doc_->sections[it->second.first].entries[it->second.second];
            if (e.value == value) return;
            e.value = value;
            e.raw.clear();
            save();
            return;
        }
    }
    Entry e;
    e.owned = true;
    e.name = name;
    e.value = value;
    doc_->section_for_new_value(subkey).entries.push_back(std::move(e));
    save();
}

std::vector<NamedSettingValue> RegFileSettingsStore::values(const std::string& subkey)
{
    std::vector<NamedSettingValue> out;
    if (!refresh()) return out;
    if (const Key* k = doc_->key(subkey))
        for (std::size_t si : k->sections)
            for (const Entry& e : doc_->sections[si].entries)
                if (e.owned && !e.removed) out.emplace_back(e.name, e.value);
    return out;
}

void RegFileSettingsStore::delete_value(const std::string& subkey, const std::string& name)
{
    if (!refresh()) return;
    const Key* k = doc_->key(subkey);
    if (!k) return;
    const auto it = k->values.find(fold(name));
    if (it == k->values.end()) return;
    doc_->sections[it->second.first].entries[it->second.second].removed = true;
    save();
}

void RegFileSettingsStore::delete_all_values(const std::string& subkey)
{
    if (!refresh()) return;
    const Key* k = doc_->key(subkey);
    if (!k || k->values.empty()) return;
    for (std::size_t si : k->sections)
        for (Entry& e : doc_->sections[si].entries)
            if (e.owned) e.removed = true;
    save();
}

void RegFileSettingsStore::replace_values(const std::string& subkey, const std::vector<NamedSettingValue>& values)
{
    if (!refresh()) return;
    if (const Key* k = doc_->key(subkey))
        for (std::size_t si : k->sections)
            for (Entry& e : doc_->sections[si].entries)
                if (e.owned) e.removed = true;
    if (!values.empty()) {
        Section& s = doc_->section_for_new_value(subkey);
        std::unordered_map<std::string, std::size_t> placed;
        for (const auto& [name, value] : values) {
            const auto [it, fresh] = placed.try_emplace(fold(name), s.entries.size());
            if (!fresh) {
                s.entries[it->second].value = value;
                continue;
            }
            Entry e;
            e.owned = true;
            e.name = name;
            e.value = value;
            s.entries.push_back(std::move(e));
        }
    }
    save();
}

}  // namespace kelvo
