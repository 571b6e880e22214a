#include "ground/settings.h"

#include "ground/reg_file_store.h"
#include "ground/text_utils.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <unordered_map>

namespace kelvo {
namespace {

MemorySettingsStore::Key* find_key(std::vector<MemorySettingsStore::Key>& keys, const std::string& name)
{
    for (auto& k : keys)
        if (same_text(k.name, name)) return &k;
    return nullptr;
}

SettingsStore* installed = nullptr;

}  // namespace

std::optional<SettingValue> MemorySettingsStore::read(const std::string& subkey, const std::string& name)
{
    if (!available_) return std::nullopt;
    if (auto* key = find_key(keys, subkey))
        for (auto& [n, v] : key->values)
            if (same_text(n, name)) return v;
    return std::nullopt;
}

void MemorySettingsStore::write(const std::string& subkey, const std::string& name, const SettingValue& value)
{
    if (!available_) return;
    auto* key = find_key(keys, subkey);
    if (!key) {
        keys.push_back(Key{subkey, {}});
        key = &keys.back();
    }
    for (auto& [n, v] : key->values) {
        if (same_text(n, name)) {
            v = value;
            return;
        }
    }
    key->values.emplace_back(name, value);
}

std::vector<NamedSettingValue> MemorySettingsStore::values(const std::string& subkey)
{
    if (!available_) return {};
    if (auto* key = find_key(keys, subkey)) return key->values;
    return {};
}

void MemorySettingsStore::delete_value(const std::string& subkey, const std::string& name)
{
    if (auto* key = find_key(keys, subkey)) {
        auto& vals = key->values;
        for (auto it = vals.begin(); it != vals.end(); ++it) {
            if (same_text(it->first, name)) {
                vals.erase(it);
                return;
            }
        }
    }
}

void MemorySettingsStore::delete_all_values(const std::string& subkey)
{
    if (auto* key = find_key(keys, subkey)) key->values.clear();
}

void MemorySettingsStore::replace_values(const std::string& subkey, const std::vector<NamedSettingValue>& values)
{
    if (!available_) return;
    auto* key = find_key(keys, subkey);
    if (!key) {
        keys.push_back(Key{subkey, {}});
        key = &keys.back();
    }
    key->values.clear();
    std::unordered_map<std::string, std::size_t> placed;
    for (const auto& [name, value] : values) {
        std::string folded = name;
        for (char& c : folded)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        const auto [it, fresh] = placed.try_emplace(folded, key->values.size());
        if (fresh) key->values.emplace_back(name, value);
        else key->values[it->second].second = value;
    }
}

std::string default_settings_path()
{
    if (const char* p = std::getenv("CADENZOR_SETTINGS"); p && *p) return p;
    std::string base;
    if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x) base = x;
    else if (const char* h = std::getenv("HOME"); h && *h) base = std::string(h) + "/.config";
    else base = ".";
    return base + "/Qerant/Cadenzor.reg";
}

SettingsStore& settings_store()
{
    if (installed) return *installed;
    static RegFileSettingsStore file_store(default_settings_path());
    return file_store;
}

SettingsStore* install_settings_store(SettingsStore* store)
{
    SettingsStore* previous = installed;
    installed = store;
    return previous;
}

int read_setting_integer(SettingsStore& s, const std::string& name, int default_value)
{
    if (!s.available()) return default_value;
    const auto v = s.read("", name);
    if (v && v->kind == SettingValue::Kind::dword) return static_cast<int>(static_cast<std::int32_t>(v->dword));
    s.write("", name, SettingValue::of_dword(static_cast<std::uint32_t>(default_value)));
    return default_value;
}

void write_setting_integer(SettingsStore& s, const std::string& name, int value)
{
    s.write("", name, SettingValue::of_dword(static_cast<std::uint32_t>(value)));
}

std::string read_setting_text(SettingsStore& s, const std::string& name, const std::string& default_value)
{
    if (!s.available()) return default_value;
    const auto v = s.read("", name);
    if (v && v->kind == SettingValue::Kind::text) return v->text;
    s.write("", name, SettingValue::of_text(default_value));
    return default_value;
}

void write_setting_text(SettingsStore& s, const std::string& name, const std::string& value)
{
    s.write("", name, SettingValue::of_text(value));
}

int read_setting_integer(const std::string& name, int default_value)
{
    return read_setting_integer(settings_store(), name, default_value);
}

void write_setting_integer(const std::string& name, int value) { write_setting_integer(settings_store(), name, value); }

std::string read_setting_text(const std::string& name, const std::string& default_value)
{
    return read_setting_text(settings_store(), name, default_value);
}

void write_setting_text(const std::string& name, const std::string& value)
{
    write_setting_text(settings_store(), name, value);
}

SettingValue double_setting(double value)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    std::vector<unsigned char> bytes(8);
    for (std::size_t i = 0; i < 8; ++i) bytes[i] = static_cast<unsigned char>(bits >> (8 * i));
    return SettingValue::of_bytes(std::move(bytes));
}

std::optional<double> setting_double(const SettingValue& value)
{
    if (value.kind != SettingValue::Kind::binary || value.bytes.size() != sizeof(double)) return std::nullopt;
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = (bits << 8) | value.bytes[static_cast<std::size_t>(i)];
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

double read_setting_double(const std::string& subkey, const std::string& name, double default_value)
{
    SettingsStore& s = settings_store();
    if (!s.available()) return default_value;
    if (const auto v = s.read(subkey, name)) {
        if (const std::optional<double> d = setting_double(*v)) return *d;
    }
    write_setting_double(subkey, name, default_value);
    return default_value;
}

void write_setting_double(const std::string& subkey, const std::string& name, double value)
{
    settings_store().write(subkey, name, double_setting(value));
}

std::vector<std::string> read_folder_list()
{
    const auto vals = settings_store().values(folder_list_key);
    const auto count = static_cast<std::int64_t>(vals.size());
    // Position k collects, in enumeration order, every folder whose value is
    // k; values outside 0 .. count-1 are dropped.
    std::vector<std::vector<std::string>> at(vals.size());
    for (const auto& [name, v] : vals) {
        if (v.kind != SettingValue::Kind::dword) continue;
        const std::int64_t k = static_cast<std::int32_t>(v.dword);
        if (k >= 0 && k < count) at[static_cast<std::size_t>(k)].push_back(name);
    }
    std::vector<std::string> list;
    for (auto& names : at)
        for (auto& name : names) list.push_back(std::move(name));
    return list;
}

void write_folder_list(const std::vector<std::string>& folders)
{
    std::vector<NamedSettingValue> values;
    values.reserve(folders.size());
    for (std::size_t i = 0; i < folders.size(); ++i)
        values.emplace_back(folders[i], SettingValue::of_dword(static_cast<std::uint32_t>(i)));
    settings_store().replace_values(folder_list_key, values);
}

}  // namespace kelvo
