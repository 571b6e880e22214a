#include "config/config_file.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace kelvo {

std::vector<std::string> split_text_lines(const std::string& bytes)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        const std::size_t next = end == std::string::npos ? bytes.size() : end + 1;
        if (end == std::string::npos) end = bytes.size();
        if (end > start && bytes[end - 1] == '\r') --end;
        lines.push_back(bytes.substr(start, end - start));
        start = next;
    }
    return lines;
}

bool read_text_lines(const std::string& path, std::vector<std::string>& lines)
{
    lines.clear();
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return false;
    lines = split_text_lines(bytes);
    return true;
}

}  // namespace kelvo
