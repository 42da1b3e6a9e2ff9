#pragma once

#include <ctime>
#include <optional>

#include "corelib/VString.h"

namespace platform {

/// The instant used as "now": SOURCE_DATE_EPOCH (whole seconds since 1970) when that
/// environment variable holds a valid number, else the system clock. This is the only
/// place the program reads the clock.
std::time_t now();

/// The 24-character text of C's ctime for `when` in local time, without its line break,
/// for example "Sat Dec  5 16:21:00 2026".
VString timeText(std::time_t when);

/// timeText(now()).
VString timeText();

/// The value of SOURCE_DATE_EPOCH when it is set and valid.
std::optional<std::time_t> sourceDateEpoch();

/// Seconds on a steady clock from an arbitrary start, for measuring how long something
/// takes: only differences mean anything, and SOURCE_DATE_EPOCH does not fix them.
double steadySeconds();

}  // namespace platform
