// Reads any bytes as the text of a geometry file: no crash, no hang, no unbounded
// allocation; every merged pad outline holds whole points, at least three, and every
// stackup lists at least one layer under a key of its own.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "fuzz/ReaderFuzzing.h"
#include "mentor/GeometryFileReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    reader_fuzzing::fuzz(
        std::string_view(reinterpret_cast<const char*>(data), size),
        [](MentorParser& parser) { parser.model.unitsName = "Mils"; },
        [](MentorParser& parser, std::string_view text) {
            readGeometryText(parser, text);
            for (const MentorBS::MentorElement* element : parser.model.elements) {
                const MentorBS::Initial* shape = element->asInitial();
                if (shape && (shape->ownerKind == "pin" || shape->ownerKind == "via")
                    && (shape->points.size() < 6 || shape->points.size() % 2 != 0)) {
                    std::abort();
                }
            }
            for (const auto& [key, names] : parser.model.stackupLayers) {
                if (names.empty() || !parser.model.stackupLayerNames.contains(key)) {
                    std::abort();
                }
            }
        });
    return 0;
}
