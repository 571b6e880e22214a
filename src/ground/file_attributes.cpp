#include "ground/file_attributes.h"

#include "ground/cp1252.h"

#include <filesystem>
#include <system_error>

namespace kelvo {
namespace fs = std::filesystem;

namespace {
constexpr fs::perms write_bits = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;

bool read_perms(const std::string& path, fs::perms& perms)
{
    std::error_code ec;
    const fs::file_status st = fs::status(fs::path(cp1252_to_utf8(path)), ec);
    if (ec || !fs::is_regular_file(st)) return false;
    perms = st.permissions();
    return true;
}
}  // namespace

bool is_read_only(const std::string& path)
{
    fs::perms perms;
    return read_perms(path, perms) && (perms & fs::perms::owner_write) == fs::perms::none;
}

bool set_read_only(const std::string& path, bool read_only)
{
    fs::perms perms;
    if (!read_perms(path, perms)) return false;
    std::error_code ec;
    if (read_only)
        fs::permissions(fs::path(cp1252_to_utf8(path)), write_bits, fs::perm_options::remove, ec);
    else
        fs::permissions(fs::path(cp1252_to_utf8(path)), fs::perms::owner_write, fs::perm_options::add, ec);
    return !ec;
}

bool toggle_read_only(const std::string& path)
{
    fs::perms perms;
    if (!read_perms(path, perms)) return false;
    return set_read_only(path, (perms & fs::perms::owner_write) != fs::perms::none);
}

}  // namespace kelvo
