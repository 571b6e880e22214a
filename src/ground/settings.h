#pragma once
// Persistent settings: one key for the whole program (the current user's
// "\SOFTWARE\Qerant\Kelvo\Cadenzor") and its sub-keys. Every access goes
// to the store; nothing is cached. Settings never report failures.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kelvo {

struct SettingValue {
    enum class Kind { text, dword, binary };
    Kind kind = Kind::text;
    std::string text;                  // Windows-1252
    std::uint32_t dword = 0;
    std::vector<unsigned char> bytes;  // binary values (a double is 8 bytes)

    static SettingValue of_text(std::string t) { SettingValue v; v.kind = Kind::text; v.text = std::move(t); return v; }
    static SettingValue of_dword(std::uint32_t d) { SettingValue v; v.kind = Kind::dword; v.dword = d; return v; }
    static SettingValue of_bytes(std::vector<unsigned char> b) { SettingValue v; v.kind = Kind::binary; v.bytes = std::move(b); return v; }
    bool operator==(const SettingValue&) const = default;
};

using NamedSettingValue = std::pair<std::string, SettingValue>;

// A double as the registry keeps it: 8 bytes, least significant first.
SettingValue double_setting(double value);
// The double of an 8-byte binary value; nothing for any other value.
std::optional<double> setting_double(const SettingValue& value);

// The registry operations on the settings key. A sub-key is named by its
// path below the settings key ("" is the key itself, "Folder List" a
// sub-key). Value and key names are compared without regard to case, as
// the registry does; the spelling first written is kept.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    // False when the key can neither be opened nor created.
    virtual bool available() = 0;
    virtual std::optional<SettingValue> read(const std::string& subkey, const std::string& name) = 0;
    virtual void write(const std::string& subkey, const std::string& name, const SettingValue& value) = 0;
    // The values of a sub-key in enumeration order; empty when it is missing.
    virtual std::vector<NamedSettingValue> values(const std::string& subkey) = 0;
    virtual void delete_value(const std::string& subkey, const std::string& name) = 0;
    virtual void delete_all_values(const std::string& subkey) = 0;
    // All values of a sub-key at once, in this order (one rewrite of a file
    // instead of one per value).
    virtual void replace_values(const std::string& subkey, const std::vector<NamedSettingValue>& values)
    {
        delete_all_values(subkey);
        for (const auto& [name, value] : values) write(subkey, name, value);
    }
};

// Kept in memory only (tests, or a store that could not be set up).
class MemorySettingsStore final : public SettingsStore {
public:
    bool available() override { return available_; }
    std::optional<SettingValue> read(const std::string& subkey, const std::string& name) override;
    void write(const std::string& subkey, const std::string& name, const SettingValue& value) override;
    std::vector<NamedSettingValue> values(const std::string& subkey) override;
    void delete_value(const std::string& subkey, const std::string& name) override;
    void delete_all_values(const std::string& subkey) override;
    void replace_values(const std::string& subkey, const std::vector<NamedSettingValue>& values) override;
    void set_available(bool a) { available_ = a; }
    struct Key {
        std::string name;
        std::vector<NamedSettingValue> values;
    };
    std::vector<Key> keys;
private:
    bool available_ = true;
};

// The store that the program uses: $CADENZOR_SETTINGS, else
// $XDG_CONFIG_HOME/Qerant/Cadenzor.reg (~/.config when unset).
std::string default_settings_path();

SettingsStore& settings_store();
SettingsStore* install_settings_store(SettingsStore* store);

class SettingsScope {
public:
    explicit SettingsScope(SettingsStore& s) : previous_(install_settings_store(&s)) {}
    ~SettingsScope() { install_settings_store(previous_); }
    SettingsScope(const SettingsScope&) = delete;
    SettingsScope& operator=(const SettingsScope&) = delete;
private:
    SettingsStore* previous_;
};

// Reads write the default back when the value is missing (but not when the
// key is unavailable). A value of another kind counts as missing.
int read_setting_integer(SettingsStore& store, const std::string& name, int default_value);
void write_setting_integer(SettingsStore& store, const std::string& name, int value);
std::string read_setting_text(SettingsStore& store, const std::string& name, const std::string& default_value);
void write_setting_text(SettingsStore& store, const std::string& name, const std::string& value);
// The same on the program's store (the shell and the command line).
int read_setting_integer(const std::string& name, int default_value);
void write_setting_integer(const std::string& name, int value);
std::string read_setting_text(const std::string& name, const std::string& default_value);
void write_setting_text(const std::string& name, const std::string& value);
// Doubles (column widths) as eight little-endian bytes.
double read_setting_double(const std::string& subkey, const std::string& name, double default_value);
void write_setting_double(const std::string& subkey, const std::string& name, double value);

// Recently used method folders, in order.
std::vector<std::string> read_folder_list();
void write_folder_list(const std::vector<std::string>& folders);

inline constexpr const char* folder_list_key = "Folder List";

}  // namespace kelvo
