#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

/// Everything the program tells the outside world passes through one Reporter: message
/// boxes, the lines meant for standard output, assertion reports and the end of the
/// process on a fatal input error. The default one talks to the real process; tests
/// install a recorder and assert what was reported.
class Reporter {
public:
    virtual ~Reporter() = default;

    /// Shows a message box. The program runs unattended, so the default writes the
    /// caption and the text to standard error and returns at once with 1 (OK).
    virtual int messageBox(std::string_view text, std::string_view caption, unsigned style);
    /// Text for standard output, written as given (no line end added).
    virtual void standardOutput(std::string_view text);
    /// Text for standard error, written as given (no line end added).
    virtual void standardError(std::string_view text);
    /// A failed check: source name, line and condition text.
    virtual void assertionFailed(std::string_view source, int line, std::string_view expression);
    /// Ends the process with `status` (the default calls std::exit, which flushes every
    /// C stream, the run log included). A test recorder may throw instead.
    virtual void endProcess(int status);
};

/// The reporter in use.
Reporter& reporter();

/// The value of the environment variable `name`; nothing when it is not set.
std::optional<std::string> environmentValue(const char* name);

/// The largest resident set the process has had so far, in mebibytes (2^20 bytes); 0 where
/// the system does not tell.
double peakResidentMegabytes();

/// Installs `replacement` for the lifetime of this object (tests).
class ScopedReporter {
public:
    explicit ScopedReporter(Reporter& replacement);
    ~ScopedReporter();
    ScopedReporter(const ScopedReporter&) = delete;
    ScopedReporter& operator=(const ScopedReporter&) = delete;

private:
    Reporter* m_previous;
};

}  // namespace platform

/// Stand-in for the Windows message box: reports through the platform reporter and
/// returns without waiting. `owner` is ignored (the program never has a window).
int MessageBoxA(void* owner, const char* text, const char* caption, unsigned style);

/// Message box styles the program uses.
constexpr unsigned MB_OK = 0x0;
constexpr unsigned MB_ICONERROR = 0x10;
constexpr unsigned MB_SETFOREGROUND = 0x10000;
