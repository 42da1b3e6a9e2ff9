#include "mentor/TechFileReader.h"

#include "mentor/MentorParser.h"

std::map<int, std::string> readTechFile(MentorParser&, std::map<int, std::string>& layers,
                                        const std::string&) {
    // Not read yet: this file's reader is built separately; until it lands the run goes
    // on without physical layers.
    return layers;
}
