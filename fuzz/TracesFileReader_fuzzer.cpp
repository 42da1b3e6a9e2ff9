// Reads any bytes as the text of a traces file, after a technology file and a neutral
// file have left their layers and a net with pins and a via: no crash, no hang, no
// unbounded allocation, and every layout net and test point well formed.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "fuzz/ReaderFuzzing.h"
#include "mentor/NeutralFileReader.h"
#include "mentor/TracesFileReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    reader_fuzzing::fuzz(
        std::string_view(reinterpret_cast<const char*>(data), size),
        [](MentorParser& parser) {
            parser.model.layerNumbers = {{1, "SIGNAL_1"}, {2, "POWER_1"}, {3, "SIGNAL_2"}};
            readNeutralText(parser,
                            "BOARD demo OFFSET x:0 y:0 ORIENTATION 0 B_UNITS Mils\n"
                            "NET GND\n"
                            "N_PIN U1-1 100 200 'SIGNAL_1' 1 3\n"
                            "N_VIA 300 400 'VIA20' 1 3\n");
        },
        [](MentorParser& parser, std::string_view text) {
            readTracesText(parser, text);
            for (const MentorBS::LayoutNet* net : parser.model.layoutElements) {
                if (!net) {
                    std::abort();
                }
                for (const MentorBS::TraceRecord& trace : net->traces) {
                    // x, y and width per point, at least two points.
                    if (trace.values.size() < 6 || trace.values.size() % 3 != 0) {
                        std::abort();
                    }
                }
                for (const MentorBS::AreaRecord& area : net->rawAreas) {
                    if (area.vertices.size() % 2 != 0) {
                        std::abort();
                    }
                }
            }
            for (const MentorBS::TestPointRecord& point : parser.model.testPoints) {
                if (point.netName != "GND") {
                    std::abort();
                }
            }
        });
    return 0;
}
