#include "corelib/Clock.h"

#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace platform {

std::optional<std::time_t> sourceDateEpoch() {
    const char* text = std::getenv("SOURCE_DATE_EPOCH");
    if (!text || !*text) {
        return std::nullopt;
    }
    long long seconds = 0;
    const char* end = text + std::strlen(text);
    const auto [stop, error] = std::from_chars(text, end, seconds);
    if (error != std::errc() || stop != end || seconds < 0) {
        return std::nullopt;
    }
    return static_cast<std::time_t>(seconds);
}

std::time_t now() {
    if (const auto fixed = sourceDateEpoch()) {
        return *fixed;
    }
    return std::time(nullptr);
}

VString timeText(std::time_t when) {
    static const char* const k_Days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const k_Months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                           "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm local{};
    if (!localtime_r(&when, &local)) {
        return VString(L"??? ??? ?? ??:??:?? ????");
    }
    // The layout of asctime; reentrant, and cut at 24 characters like the ctime text
    // without its line break.
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.3s %.3s%3d %.2d:%.2d:%.2d %d",
                  k_Days[(local.tm_wday % 7 + 7) % 7], k_Months[(local.tm_mon % 12 + 12) % 12],
                  local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, local.tm_year + 1900);
    buffer[24] = '\0';
    return VString(buffer);
}

VString timeText() {
    return timeText(now());
}

double steadySeconds() {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration<double>(since).count();
}

}  // namespace platform
