#pragma once

#include <string>
#include <vector>

#include "corelib/Platform.h"

namespace testing_support {

/// Thrown by the recorder when the code under test ends the process.
struct ProcessEnded {
    int status;
};

/// Records everything the program reports instead of letting it reach the process.
/// Installs itself for its lifetime.
class Recorder : public platform::Reporter {
public:
    struct MessageBox {
        std::string text;
        std::string caption;
        unsigned style;
    };
    struct Assertion {
        std::string source;
        int line;
        std::string expression;
    };

    Recorder() : m_scope(*this) {}

    int messageBox(std::string_view text, std::string_view caption, unsigned style) override {
        messageBoxes.push_back({std::string(text), std::string(caption), style});
        return 1;
    }
    void standardOutput(std::string_view text) override { standardOutputText += text; }
    void standardError(std::string_view text) override { standardErrorText += text; }
    void assertionFailed(std::string_view source, int line, std::string_view expression) override {
        assertions.push_back({std::string(source), line, std::string(expression)});
    }
    /// Records the status and throws ProcessEnded, so the code after the call never runs.
    void endProcess(int status) override {
        endedWith.push_back(status);
        throw ProcessEnded{status};
    }

    std::vector<MessageBox> messageBoxes;
    std::string standardOutputText;
    std::string standardErrorText;
    std::vector<Assertion> assertions;
    std::vector<int> endedWith;

private:
    platform::ScopedReporter m_scope;
};

}  // namespace testing_support
