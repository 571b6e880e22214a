// cadenzor: composes and runs work cycles on the Kelvo autosampler.
#include "app/qt/cadenzor_app.h"

#include "cadenzor_version.h"

#include <cstdio>
#include <cstring>

int main(int argc, char** argv)
{
    // Answered before any window or display is needed.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("cadenzor %s\n", CADENZOR_VERSION);
        return 0;
    }
    return kelvo::run_cadenzor(argc, argv);
}
