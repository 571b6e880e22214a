#include "ground/name_dialogs.h"

namespace kelvo {
namespace {
class CancelledDialogs final : public NameDialogs {
public:
    bool ask_new_name(const std::string&, const std::string&, const std::string&, std::string&) override
    {
        return false;
    }
    bool ask_save_name(const std::string&, const std::string&, std::string&) override { return false; }
};

CancelledDialogs cancelled;
NameDialogs* installed = nullptr;
}  // namespace

NameDialogs& name_dialogs() { return installed ? *installed : cancelled; }

NameDialogs* install_name_dialogs(NameDialogs* dialogs)
{
    NameDialogs* previous = installed;
    installed = dialogs;
    return previous;
}

bool ask_new_name(const std::string& caption, const std::string& label, const std::string& current,
                  std::string& chosen)
{
    return name_dialogs().ask_new_name(caption, label, current, chosen);
}

bool ask_save_name(const std::string& caption, const std::string& current, std::string& chosen)
{
    return name_dialogs().ask_save_name(caption, current, chosen);
}

}  // namespace kelvo
