#include "ground/clock.h"

#include <chrono>

namespace kelvo {

LocalTime SystemClock::local_now()
{
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    return LocalTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

std::int64_t SystemClock::elapsed_ms()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

namespace {
SystemClock system_clock;
Clock* installed = nullptr;
}  // namespace

Clock& clock() { return installed ? *installed : system_clock; }

Clock* install_clock(Clock* c)
{
    Clock* previous = installed;
    installed = c;
    return previous;
}

}  // namespace kelvo
