#pragma once

// What the export-file reader harnesses share: every input is read by a fresh parser
// with a reporter that keeps quiet and never ends the process, and the board-model
// objects made for it are freed before the next input.

#include <cstdlib>
#include <new>
#include <string_view>

#include "corelib/Platform.h"
#include "mentor/Arena.h"
#include "mentor/MentorParser.h"

namespace reader_fuzzing {

/// Thrown where the program would end the process (a technology it refuses).
struct ProcessEnd {};

class QuietReporter : public platform::Reporter {
public:
    int messageBox(std::string_view, std::string_view, unsigned) override { return 1; }
    void standardOutput(std::string_view) override {}
    void assertionFailed(std::string_view, int, std::string_view) override {}
    void endProcess(int) override { throw ProcessEnd{}; }
};

/// The readers never free an element; the process normally ends soon after. A fuzzer
/// reads millions of inputs in one process, so the arena is emptied after each.
inline void emptyArena() {
    MentorBS::arena().clear();
}

/// Checks what every reader promises about its lists: no null element, and the current
/// element is the last one made (the traces reader makes layout nets only).
inline void checkElements(const MentorParser& parser) {
    for (const MentorBS::MentorElement* element : parser.model.elements) {
        if (!element) {
            std::abort();
        }
    }
    for (const MentorBS::LayoutNet* net : parser.model.layoutElements) {
        if (!net) {
            std::abort();
        }
    }
    const bool lastElement =
        !parser.model.elements.empty() && parser.currentElement == parser.model.elements.back();
    const bool lastNet = !parser.model.layoutElements.empty()
                         && parser.currentElement == parser.model.layoutElements.back();
    if (parser.currentElement && !lastElement && !lastNet) {
        std::abort();
    }
}

/// Runs `read(parser, text)` on a fresh parser set up by `prepare(parser)`.
template <typename Prepare, typename Read>
void fuzz(std::string_view text, Prepare prepare, Read read) {
    static QuietReporter reporter;
    platform::ScopedReporter scope(reporter);
    {
        MentorParser parser;
        prepare(parser);
        try {
            read(parser, text);
        } catch (const ProcessEnd&) {
        }
        checkElements(parser);
    }
    emptyArena();
}

}  // namespace reader_fuzzing
