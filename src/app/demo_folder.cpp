#include "app/demo_folder.h"

#include "ground/cp1252.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace kelvo {

namespace fs = std::filesystem;

namespace {

std::string to_document_text(const fs::path& path)
{
    bool ok = true;
    std::string text = utf8_to_cp1252(path.lexically_normal().string(), &ok);
    return ok ? text : std::string();
}

}  // namespace

std::string installed_demo_folder(const std::string& program_dir)
{
    if (program_dir.empty()) return {};
    const fs::path folder = fs::path(program_dir) / ".." / "share" / "cadenzor" / "examples" / "methods";
    std::error_code ec;
    if (!fs::is_regular_file(folder / "latest_kelvo.kol", ec)) return {};
    return to_document_text(fs::weakly_canonical(folder, ec));
}

std::string demo_copy_folder()
{
    fs::path base;
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data == '/') {
        base = data;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        base = fs::path(home) / ".local" / "share";
    } else {
        return {};
    }
    return to_document_text(base / "Qerant" / "Cadenzor" / "Demo Methods");
}

bool copy_demo_folder(const std::string& from, const std::string& to)
{
    const fs::path source(cp1252_to_utf8(from));
    const fs::path target(cp1252_to_utf8(to));
    std::error_code ec;
    fs::create_directories(target, ec);
    if (ec || !fs::is_directory(target, ec)) return false;
    fs::directory_iterator it(source, ec);
    if (ec) return false;
    bool all = true;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) return false;
        if (!it->is_regular_file(ec)) continue;
        const fs::path copy = target / it->path().filename();
        if (fs::exists(copy, ec)) continue;
        fs::copy_file(it->path(), copy, ec);
        if (ec) {
            all = false;
            continue;
        }
        // The installed files are read-only; the user's copies are to be edited.
        fs::permissions(copy, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add, ec);
    }
    return all;
}

}  // namespace kelvo
