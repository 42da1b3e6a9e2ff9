#include "corelib/Platform.h"

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>

namespace platform {

namespace {

Reporter& defaultReporter() {
    static Reporter instance;
    return instance;
}

Reporter* g_current = nullptr;

}  // namespace

int Reporter::messageBox(std::string_view text, std::string_view caption, unsigned) {
    std::fprintf(stderr, "%.*s: %.*s\n", static_cast<int>(caption.size()), caption.data(),
                 static_cast<int>(text.size()), text.data());
    std::fflush(stderr);
    return 1;
}

void Reporter::standardOutput(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

void Reporter::standardError(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

void Reporter::assertionFailed(std::string_view source, int line, std::string_view expression) {
    std::fprintf(stderr, "Assertion failed: %.*s(%d): %.*s\n", static_cast<int>(source.size()),
                 source.data(), line, static_cast<int>(expression.size()), expression.data());
}

void Reporter::endProcess(int status) {
    std::exit(status);
}

Reporter& reporter() {
    return g_current ? *g_current : defaultReporter();
}

std::optional<std::string> environmentValue(const char* name) {
    const char* value = std::getenv(name);
    if (!value) {
        return std::nullopt;
    }
    return std::string(value);
}

double peakResidentMegabytes() {
    rusage usage{};
    if (getrusage(RUSAGE_SELF, &usage) != 0) {
        return 0;
    }
    // Linux gives the peak in kibibytes.
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

ScopedReporter::ScopedReporter(Reporter& replacement) : m_previous(g_current) {
    g_current = &replacement;
}

ScopedReporter::~ScopedReporter() {
    g_current = m_previous;
}

}  // namespace platform

int MessageBoxA(void*, const char* text, const char* caption, unsigned style) {
    return platform::reporter().messageBox(text ? text : "", caption ? caption : "", style);
}
