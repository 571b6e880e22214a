#include "ground/file_io.h"

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>
#include <unistd.h>

namespace kelvo {

namespace fs = std::filesystem;

std::vector<std::string> split_text_lines(const std::string& bytes)
{
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(line);
            line.clear();
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
        } else {
            line.push_back(c);
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

bool read_file_bytes(const std::string& path, std::string& bytes, std::uintmax_t limit)
{
    bytes.clear();
    std::error_code error;
    if (!fs::is_regular_file(path, error)) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    // In pieces and never past the bound: a file may grow while it is read,
    // and some report no size at all.
    char buffer[64 * 1024];
    while (in) {
        in.read(buffer, sizeof buffer);
        bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (bytes.size() > limit) {
            bytes.clear();
            return false;
        }
    }
    return !in.bad();
}

bool read_text_lines(const std::string& path, std::vector<std::string>& lines)
{
    lines.clear();
    std::string bytes;
    if (!read_file_bytes(path, bytes)) return false;
    lines = split_text_lines(bytes);
    return true;
}

bool write_file_atomically(const std::string& path, const std::string& bytes)
{
    static std::atomic<unsigned> counter{0};
    const fs::path target(path);
    fs::path temporary = target;
    temporary += ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    std::error_code error;
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            fs::remove(temporary, error);
            return false;
        }
    }
    fs::rename(temporary, target, error);
    if (error) {
        fs::remove(temporary, error);
        return false;
    }
    return true;
}

}  // namespace kelvo
