// Reads any bytes as the text of a Neutral file: no crash, no hang, no
// unbounded allocation, and an element list whose last element is the current one.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/ReaderFuzzing.h"
#include "mentor/NeutralFileReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    reader_fuzzing::fuzz(
        std::string_view(reinterpret_cast<const char*>(data), size), [](MentorParser&) {},
        [](MentorParser& parser, std::string_view text) { readNeutralText(parser, text); });
    return 0;
}
