// vnfdump FILE.vnf: prints the block tree of a neutral layout file as canonical JSON
// (docs/vnf-format.md) on standard output. vnfdump --summary FILE.vnf prints instead one
// line with the counts of its pad shapes, padstacks, footprints, components, nets, traces,
// vias, test-point paths, plane shapes, voids and areas: the "output" object of the
// translation report (docs/report.md), so a report can be checked against its file. A file
// that cannot be read or is not well-formed gives one line on standard error and exit
// status 1.

#include <cstdio>
#include <string>

#include "corelib/TokenStream.h"
#include "corelib/VnfJson.h"
#include "corelib/VnfSummary.h"
#include "corelib/VnfText.h"
#include "tools/VnfFile.h"

namespace {

// Standard output as a token stream, so that the JSON leaves as it is written.
class StandardOutput : public io::CAbstract_ostream {
public:
    void WriteBytes(std::string_view bytes) override {
        if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size()) {
            m_failed = true;
        }
    }
    bool failed() const { return m_failed; }

private:
    bool m_failed = false;
};

}  // namespace

int main(int argc, char** argv) {
    const bool summary = argc == 3 && std::string(argv[1]) == "--summary";
    if (argc != 2 && !summary) {
        std::fputs("usage: vnfdump [--summary] FILE.vnf\n", stderr);
        return 1;
    }
    const char* path = argv[argc - 1];
    const std::shared_ptr<io::CBlock> root = readVnfFile(path);
    if (!root) {
        return 1;
    }
    StandardOutput out;
    if (summary) {
        out.WriteBytes(io::vnfSummaryJson(io::summarizeVnf(*root)) + "\n");
    } else {
        io::writeVnfJson(*root, out);
    }
    if (out.failed() || std::fflush(stdout) != 0) {
        std::fprintf(stderr, "%s: cannot write the JSON\n", path);
        return 1;
    }
    return 0;
}
