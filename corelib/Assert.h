#pragma once

/// When set, every failed check is only logged, whatever its site's own flag says.
extern bool IgnoreAllAsserts_G;

/// Logs a failed check that is being ignored: source name, line and condition text.
void LogAssertFailure_G(const char* source, int line, const char* expression);

/// Handles a failed check whose site is not ignored. An interactive build would ask the
/// user here; this program reports the failure and goes on. `ignoreFlag` is the site's
/// own flag.
void ProcessAssertFailure_G(const char* source, int line, const char* expression, bool& ignoreFlag);

/// Reports a failed check at a site: to the log when the site or everything is ignored,
/// else through the processing path. Execution always continues.
inline void ReportAssertFailure_G(const char* source, int line, const char* expression,
                                  bool& ignoreFlag) {
    if (ignoreFlag || IgnoreAllAsserts_G) {
        LogAssertFailure_G(source, line, expression);
    } else {
        ProcessAssertFailure_G(source, line, expression, ignoreFlag);
    }
}

/// Checks `condition`; on failure reports `source` (the source name, e.g. "Arc" or
/// "math/geometry/Circle") and `text` (the condition as documented) and continues.
#define VCORE_ASSERT_TEXT(source, condition, text)                                 \
    do {                                                                           \
        if (!(condition)) {                                                        \
            static bool vcoreIgnoreThisSite_ = false;                              \
            ::ReportAssertFailure_G(source, __LINE__, text, vcoreIgnoreThisSite_); \
        }                                                                          \
    } while (false)

/// As VCORE_ASSERT_TEXT, with the condition's own spelling as the text.
#define VCORE_ASSERT(source, condition) VCORE_ASSERT_TEXT(source, condition, #condition)
