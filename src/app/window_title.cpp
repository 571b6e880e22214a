#include "app/window_title.h"

namespace kelvo {

std::string title_folder_text(const std::string& folder)
{
    if (folder.size() < 51) return folder;
    return folder.substr(0, 24) + "..." + folder.substr(folder.size() - 25);
}

std::string window_title(bool chemstation, bool offline, const std::string& folder)
{
    std::string title = chemstation ? "KELVO Ostinar" : "KELVO Cadenzor";
    if (offline) title += " -- offline";
    return title + "   (" + title_folder_text(folder) + ")";
}

}  // namespace kelvo
