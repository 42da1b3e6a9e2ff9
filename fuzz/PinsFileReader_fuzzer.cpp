// Reads any bytes as the text of a pins file: no crash, no hang, no unbounded
// allocation, and the current element is the last one made.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/ReaderFuzzing.h"
#include "mentor/PinsFileReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    reader_fuzzing::fuzz(
        std::string_view(reinterpret_cast<const char*>(data), size), [](MentorParser&) {},
        [](MentorParser& parser, std::string_view text) { readPinsText(parser, text); });
    return 0;
}
