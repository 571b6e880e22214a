#include "datasystem/sequence_info.h"

#include "ground/ini_file.h"

#include <filesystem>
#include <system_error>

namespace kelvo {

std::string sequence_column_key(std::size_t position)
{
    return (position < 10 ? "column0" : "column") + std::to_string(position);
}

void write_sequence_info(IniFile& file, const SequenceRow& row)
{
    file.erase_section(sequence_info_section);
    file.write(sequence_info_section, "numcolumns", std::to_string(row.cells.size() + 1));
    file.write(sequence_info_section, "sequencename", row.sequence_name);
    for (std::size_t i = 0; i < row.cells.size(); ++i)
        file.write(sequence_info_section, sequence_column_key(i + 1), row.cells[i].first + "#" + row.cells[i].second);
}

std::string exchange_file_refusal(const std::string& path)
{
    namespace fs = std::filesystem;
    if (path.empty()) return "no path";
    std::error_code error;
    const fs::file_status status = fs::symlink_status(path, error);
    if (error || status.type() == fs::file_type::not_found) return "no such file";
    switch (status.type()) {
    case fs::file_type::regular: return "";
    case fs::file_type::directory: return "a folder";
    case fs::file_type::symlink: return "a symbolic link";
    default: return "not a regular file";
    }
}

}  // namespace kelvo
