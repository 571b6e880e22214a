#include "config/program_context.h"

#include "config/config_db.h"
#include "ground/clock.h"
#include "ground/documents.h"
#include "ground/prompts.h"
#include "ground/settings.h"

namespace kelvo {
namespace {

// The prompts, the settings store and the clock installed at the time of each call (tests and
// commands install their own for a scope).
class InstalledPrompts final : public Prompts {
public:
    void show_error(const std::string& text) override { prompts().show_error(text); }
    void show_information(const std::string& text) override { prompts().show_information(text); }
    AbortRetryIgnore ask_abort_retry_ignore(const std::string& text) override
    {
        return prompts().ask_abort_retry_ignore(text);
    }
    bool ask_yes_no(const std::string& text) override { return prompts().ask_yes_no(text); }
};

class InstalledSettings final : public SettingsStore {
public:
    bool available() override { return settings_store().available(); }
    std::optional<SettingValue> read(const std::string& subkey, const std::string& name) override
    {
        return settings_store().read(subkey, name);
    }
    void write(const std::string& subkey, const std::string& name, const SettingValue& value) override
    {
        settings_store().write(subkey, name, value);
    }
    std::vector<NamedSettingValue> values(const std::string& subkey) override { return settings_store().values(subkey); }
    void delete_value(const std::string& subkey, const std::string& name) override
    {
        settings_store().delete_value(subkey, name);
    }
    void delete_all_values(const std::string& subkey) override { settings_store().delete_all_values(subkey); }
    void replace_values(const std::string& subkey, const std::vector<NamedSettingValue>& values) override
    {
        settings_store().replace_values(subkey, values);
    }
};

class InstalledClock final : public Clock {
public:
    LocalTime local_now() override { return clock().local_now(); }
    std::int64_t elapsed_ms() override { return clock().elapsed_ms(); }
};

}  // namespace

const Context& program_context()
{
    static InstalledPrompts installed_prompts;
    static InstalledSettings installed_settings;
    static InstalledClock installed_clock;
    static const Context context{config(),           program_method_folder(), installed_prompts,
                                 installed_settings, installed_clock,         debug_line};
    return context;
}

Context program_context_with(const ConfigDb& db)
{
    const Context& program = program_context();
    return Context{db, program.folder, program.prompts, program.settings, program.clock, program.debug};
}

Context program_context_with(const ConfigDb& db, Clock& clock)
{
    const Context& program = program_context();
    return Context{db, program.folder, program.prompts, program.settings, clock, program.debug};
}

}  // namespace kelvo
