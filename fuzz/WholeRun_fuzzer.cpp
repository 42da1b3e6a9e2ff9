// Runs any bytes through the whole translation: the input is cut into the seven export
// files at lines that hold "%%" alone, in the order the translator reads them (gates, pins,
// neutral, layer, geometry, technology, traces; missing ones are empty), then the readers,
// the preparation passes and the document writer run as in a real run, the text going to
// memory. No crash, no hang, no unbounded allocation, and the text written is well formed:
// it reads back into a tree.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "corelib/TokenStream.h"
#include "corelib/VString.h"
#include "corelib/VnfText.h"
#include "fuzz/ReaderFuzzing.h"
#include "mentor/GatesFileReader.h"
#include "mentor/GeometryFileReader.h"
#include "mentor/LayerFileReader.h"
#include "mentor/NeutralFileReader.h"
#include "mentor/PinsFileReader.h"
#include "mentor/TechFileReader.h"
#include "mentor/TracesFileReader.h"
#include "prepare/PreparationPasses.h"
#include "writer/DocumentContext.h"
#include "writer/NeutralFileWriter.h"

namespace {

constexpr std::size_t k_Files = 7;

std::vector<std::string_view> splitFiles(std::string_view input) {
    std::vector<std::string_view> files;
    std::size_t start = 0;
    while (files.size() + 1 < k_Files) {
        const std::size_t separator = input.find("\n%%\n", start);
        if (separator == std::string_view::npos) {
            break;
        }
        files.push_back(input.substr(start, separator + 1 - start));
        start = separator + 4;
    }
    files.push_back(input.substr(start));
    files.resize(k_Files);
    return files;
}

void translate(const std::vector<std::string_view>& files) {
    MentorParser parser;
    std::map<int, std::string> techLayers;
    try {
        readGatesText(parser, files[0]);
        readPinsText(parser, files[1]);
        readNeutralText(parser, files[2]);
        readLayerText(parser, files[3]);
        readGeometryText(parser, files[4]);
        techLayers = readTechText(parser, techLayers, files[5]);
        readTracesText(parser, files[6]);
    } catch (const reader_fuzzing::ProcessEnd&) {
        // A technology the program refuses ends the run here.
        return;
    }
    reader_fuzzing::checkElements(parser);
    MentorBS::BoardModel model = parser.takeModel();
    model.techLayers = std::move(techLayers);

    io::CString_ostream log;
    prepareBoard(model, log);
    DocumentContext context(model, files[0].size() % 2 == 1);
    const io::CBlockPtr root = buildDocument(model, context, VString(L"fuzz"), log);
    io::CString_ostream text;
    text.SetPrecision(16);
    text << *root;
    if (!io::parseVnfText(text.str()).root) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static reader_fuzzing::QuietReporter reporter;
    platform::ScopedReporter scope(reporter);
    translate(splitFiles(std::string_view(reinterpret_cast<const char*>(data), size)));
    reader_fuzzing::emptyArena();
    return 0;
}
