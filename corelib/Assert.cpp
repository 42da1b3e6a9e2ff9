#include "corelib/Assert.h"

#include "corelib/Platform.h"

bool IgnoreAllAsserts_G = false;

void LogAssertFailure_G(const char* source, int line, const char* expression) {
    platform::reporter().assertionFailed(source ? source : "", line, expression ? expression : "");
}

void ProcessAssertFailure_G(const char* source, int line, const char* expression, bool&) {
    // Nobody is there to ask: report and continue. The site stays active so that every
    // later failure there is reported as well.
    LogAssertFailure_G(source, line, expression);
}
