#include "datasystem/dde_dbus_names.h"

namespace kelvo {

std::string dde_escaped_name(const std::string& text)
{
    std::string out;
    for (unsigned char c : text) {
        const bool kept = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
        out.push_back(kept ? static_cast<char>(c) : '_');
    }
    if (!out.empty() && out.front() >= '0' && out.front() <= '9') out.insert(out.begin(), '_');
    return out;
}

std::string dde_bus_name(const std::string& service) { return dde_bus_prefix + dde_escaped_name(service); }

std::string dde_object_path(const std::string& topic) { return "/" + dde_escaped_name(topic); }

}  // namespace kelvo
