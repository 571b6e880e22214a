#include "fuzz_support.h"

#include "ground/documents.h"
#include "ground/file_io.h"
#include "ground/prompts.h"
#include "language/bound_check.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace kelvo::fuzz {

namespace fs = std::filesystem;

const std::string& scratch_folder()
{
    static const std::string folder = [] {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/cadenzor-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::abort();
        }
        std::error_code ec;
        fs::copy(fs::path(KELVO_SOURCE_DIR) / "examples" / "methods", pattern, fs::copy_options::recursive, ec);
        if (ec) {
            std::fprintf(stderr, "cannot copy the demo folder: %s\n", ec.message().c_str());
            std::abort();
        }
        // The folder goes when the process ends normally; a crash leaves it
        // for inspection.
        static struct Remover {
            std::string path;
            ~Remover() { std::error_code e; fs::remove_all(path, e); }
        } remover{pattern};
        set_method_folder(pattern);
        return pattern;
    }();
    return folder;
}

const ConfigDb& demo_config()
{
    static const bool parsed = [] {
        std::vector<std::string> lines;
        if (!read_text_lines(std::string(KELVO_SOURCE_DIR) + "/examples/methods/latest_kelvo.kol", lines) ||
            !parse_configuration(config(), lines, prompts(), [](const std::string&) {})) {
            std::fprintf(stderr, "cannot parse the demo configuration\n");
            std::abort();
        }
        return true;
    }();
    (void)parsed;
    return config();
}

namespace {
QuietPrompts quiet_prompts;
}

DocumentInput::DocumentInput(const std::string& extension, const std::uint8_t* data, std::size_t size)
    : prompts_(quiet_prompts), settings_scope_(settings_)
{
    (void)demo_config();
    written_ = write_file(scratch_folder() + "/Fuzz" + extension, input_text(data, size));
}

std::string input_text(const std::uint8_t* data, std::size_t size)
{
    return std::string(reinterpret_cast<const char*>(data), size);
}

std::vector<std::string> input_lines(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < size; ++i) {
        const char c = static_cast<char>(data[i]);
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            lines.push_back(std::move(line));
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(std::move(line));
    return lines;
}

bool write_file(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

}  // namespace kelvo::fuzz
