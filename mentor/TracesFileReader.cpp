#include "mentor/TracesFileReader.h"

#include "mentor/MentorParser.h"

bool readTracesFile(MentorParser&, const std::string&) {
    // Not read yet: this file's reader is built separately; until it lands the run goes
    // on without this file's records.
    return true;
}
