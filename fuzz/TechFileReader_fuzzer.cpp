// Reads any bytes as the text of a technology file: no crash, no hang, no unbounded
// allocation; the layer map returned is the one the parser keeps, unless the technology
// was refused (which ends the process in the program).

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>

#include "fuzz/ReaderFuzzing.h"
#include "mentor/TechFileReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    reader_fuzzing::fuzz(
        std::string_view(reinterpret_cast<const char*>(data), size), [](MentorParser&) {},
        [](MentorParser& parser, std::string_view text) {
            std::map<int, std::string> layers;
            const std::map<int, std::string> result = readTechText(parser, layers, text);
            if (result != layers || result != parser.model.layerNumbers) {
                std::abort();
            }
        });
    return 0;
}
