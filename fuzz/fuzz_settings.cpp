// The settings file reader: the input is the file (a REGEDIT4 text or a
// UTF-16 export). Reads what the program reads at start, then writes a value
// and reads the file back.
#include "fuzz_support.h"

#include "ground/reg_file_store.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace kelvo;
    static const std::string path = fuzz::scratch_folder() + "/settings.reg";
    const std::string bytes = fuzz::input_text(data, size);
    (void)RegFileSettingsStore::decode(bytes);
    if (!fuzz::write_file(path, bytes)) return 0;
    {
        RegFileSettingsStore store(path);
        if (store.available()) {
            (void)store.read("", "Method Folder");
            (void)store.read("", "Atom timeout (msec)");
            (void)store.values("Folder List");
            (void)store.values("");
            store.write("", "Method Folder", SettingValue::of_text("/fuzz/methods"));
            const auto back = store.read("", "Method Folder");
            if (!back || !(*back == SettingValue::of_text("/fuzz/methods"))) {
                std::fprintf(stderr, "a written value does not read back\n");
                std::abort();
            }
        }
    }
    {
        // The file as written, read afresh.
        RegFileSettingsStore again(path);
        if (again.available()) (void)again.values("");
    }
    std::error_code ec;
    std::filesystem::remove(path, ec);
    return 0;
}
