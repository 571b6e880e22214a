#pragma once
// What core code needs from the program around it: the instrument
// configuration, the method folder, the message boxes, the settings, the
// clock and the debug list. The application (the program's start-up, a command of the
// command line, a test) builds one and hands it on; core code never reaches
// for program-wide objects itself.
#include "ground/debug_lines.h"

#include <string>

namespace kelvo {

class Clock;
class ConfigDb;
class MethodFolder;
class Prompts;
class SettingsStore;

struct Context {
    const ConfigDb& config;
    const MethodFolder& folder;
    Prompts& prompts;
    SettingsStore& settings;
    Clock& clock;
    // The instrument link's debug list; empty drops the lines.
    DebugSink debug;

    void debug_line(const std::string& text) const
    {
        if (debug) debug(text);
    }
};

}  // namespace kelvo
