#pragma once
// INI-style text files (sections in square brackets, key=value lines), read
// and written as the Windows profile functions do: section and key names
// compare without regard to case, blanks around names and values do not
// count, a missing key gives the default, and a write changes only the line
// it concerns and keeps the rest of the file (comments, unknown lines, line
// ends) as it was. Texts are bytes (Windows-1252).
#include <string>
#include <utility>
#include <vector>

namespace kelvo {

class IniFile {
public:
    IniFile() = default;
    // Takes the text of a file; CR LF, LF or CR line ends (new lines are
    // written with the ends the text uses, CR LF when it has none).
    explicit IniFile(const std::string& text);

    // The file's text; false (and an empty file) when it cannot be read.
    bool load(const std::string& path);
    // Writes the text through a temporary file and a rename.
    bool save(const std::string& path) const;
    std::string text() const;

    bool has_section(const std::string& section) const;
    // The value of the first such key in the first such section.
    std::string read(const std::string& section, const std::string& key, const std::string& fallback = "") const;
    // The names of the sections, in file order.
    std::vector<std::string> section_names() const;
    // The keys and values of the first such section, in file order.
    std::vector<std::pair<std::string, std::string>> section_entries(const std::string& section) const;
    // The key=value lines of the first such section, as written.
    std::vector<std::string> section_lines(const std::string& section) const;
    // Replaces the key's line, or adds it after the section's last entry,
    // or adds the section at the end of the file.
    void write(const std::string& section, const std::string& key, const std::string& value);
    // Removes every section of that name with all its lines.
    void erase_section(const std::string& section);

private:
    // Index of the header line of the first section of that name, or -1.
    long find_section(const std::string& section) const;
    // The end (exclusive) of the section whose header is at line h.
    std::size_t section_end(std::size_t h) const;

    std::vector<std::string> lines_;
    std::string line_end_ = "\r\n";
};

}  // namespace kelvo
