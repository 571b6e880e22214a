#include "ground/ini_file.h"

#include "ground/file_io.h"
#include "ground/text_utils.h"

namespace kelvo {

namespace {

std::string trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    const std::size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

// The section name of a header line "[name]", or false.
bool header_name(const std::string& line, std::string& name)
{
    const std::string t = trimmed(line);
    if (t.size() < 2 || t.front() != '[') return false;
    const std::size_t close = t.find(']');
    if (close == std::string::npos) return false;
    name = trimmed(t.substr(1, close - 1));
    return true;
}

// The key and value of an entry line "key=value", or false.
bool entry(const std::string& line, std::string& key, std::string& value)
{
    const std::size_t eq = line.find('=');
    if (eq == std::string::npos) return false;
    key = trimmed(line.substr(0, eq));
    value = trimmed(line.substr(eq + 1));
    return true;
}

}  // namespace

IniFile::IniFile(const std::string& text)
{
    if (text.find("\r\n") == std::string::npos) {
        if (text.find('\n') != std::string::npos) line_end_ = "\n";
        else if (text.find('\r') != std::string::npos) line_end_ = "\r";
    }
    lines_ = split_text_lines(text);
}

bool IniFile::load(const std::string& path)
{
    std::string bytes;
    const bool ok = read_file_bytes(path, bytes);
    *this = IniFile(ok ? bytes : std::string());
    return ok;
}

bool IniFile::save(const std::string& path) const { return write_file_atomically(path, text()); }

std::string IniFile::text() const
{
    std::string out;
    for (const std::string& line : lines_) out += line + line_end_;
    return out;
}

long IniFile::find_section(const std::string& section) const
{
    std::string name;
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (header_name(lines_[i], name) && same_text(name, trimmed(section))) return static_cast<long>(i);
    return -1;
}

std::size_t IniFile::section_end(std::size_t h) const
{
    std::string name;
    std::size_t i = h + 1;
    while (i < lines_.size() && !header_name(lines_[i], name)) ++i;
    return i;
}

bool IniFile::has_section(const std::string& section) const { return find_section(section) >= 0; }

std::string IniFile::read(const std::string& section, const std::string& key, const std::string& fallback) const
{
    const long h = find_section(section);
    if (h < 0) return fallback;
    std::string k, v;
    const std::string wanted = trimmed(key);
    const std::size_t end = section_end(static_cast<std::size_t>(h));
    for (std::size_t i = static_cast<std::size_t>(h) + 1; i < end; ++i)
        if (entry(lines_[i], k, v) && same_text(k, wanted)) return v;
    return fallback;
}

std::vector<std::string> IniFile::section_names() const
{
    std::vector<std::string> names;
    std::string name;
    for (const std::string& line : lines_)
        if (header_name(line, name)) names.push_back(name);
    return names;
}

std::vector<std::pair<std::string, std::string>> IniFile::section_entries(const std::string& section) const
{
    std::vector<std::pair<std::string, std::string>> entries;
    const long h = find_section(section);
    if (h < 0) return entries;
    std::string k, v;
    const std::size_t end = section_end(static_cast<std::size_t>(h));
    for (std::size_t i = static_cast<std::size_t>(h) + 1; i < end; ++i)
        if (entry(lines_[i], k, v)) entries.emplace_back(k, v);
    return entries;
}

std::vector<std::string> IniFile::section_lines(const std::string& section) const
{
    std::vector<std::string> lines;
    const long h = find_section(section);
    if (h < 0) return lines;
    std::string k, v;
    const std::size_t end = section_end(static_cast<std::size_t>(h));
    for (std::size_t i = static_cast<std::size_t>(h) + 1; i < end; ++i)
        if (entry(lines_[i], k, v)) lines.push_back(lines_[i]);
    return lines;
}

void IniFile::write(const std::string& section, const std::string& key, const std::string& value)
{
    const std::string line = trimmed(key) + "=" + value;
    const long h = find_section(section);
    if (h < 0) {
        lines_.push_back("[" + trimmed(section) + "]");
        lines_.push_back(line);
        return;
    }
    const std::size_t end = section_end(static_cast<std::size_t>(h));
    std::size_t last_entry = static_cast<std::size_t>(h);
    std::string k, v;
    for (std::size_t i = static_cast<std::size_t>(h) + 1; i < end; ++i) {
        if (!entry(lines_[i], k, v)) continue;
        if (same_text(k, trimmed(key))) {
            lines_[i] = line;
            return;
        }
        last_entry = i;
    }
    lines_.insert(lines_.begin() + static_cast<long>(last_entry) + 1, line);
}

void IniFile::erase_section(const std::string& section)
{
    for (long h = find_section(section); h >= 0; h = find_section(section))
        lines_.erase(lines_.begin() + h, lines_.begin() + static_cast<long>(section_end(static_cast<std::size_t>(h))));
}

}  // namespace kelvo
