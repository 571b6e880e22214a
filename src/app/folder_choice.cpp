#include "app/folder_choice.h"

#include "ground/text_utils.h"

namespace kelvo {

void put_folder_on_top(std::vector<std::string>& folders, const std::string& folder)
{
    folders.insert(folders.begin(), folder);
    for (auto it = folders.begin() + 1; it != folders.end(); ++it) {
        if (same_text(*it, folder)) {
            folders.erase(it);
            break;
        }
    }
}

}  // namespace kelvo
