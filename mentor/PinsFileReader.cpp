#include "mentor/PinsFileReader.h"

#include <exception>
#include <utility>
#include <vector>

#include "corelib/FileText.h"
#include "mentor/Arena.h"
#include "mentor/MentorParser.h"
#include "mentor/PinGroups.h"
#include "mentor/TextStream.h"

bool readPinsText(MentorParser& parser, std::string_view text) {
    const std::size_t elementsBefore = parser.model.elements.size();
    try {
        TextStream in(text);
        std::string_view token = in.word();
        while (in.good()) {
            if (beginsWith(token, '#')) {
                in.line();
                token = in.word();
            } else if (token == "PIN") {
                // PIN <name> <pin groups>, up to the next PIN.
                std::string name(in.word());
                std::vector<std::string> pinNames;
                token = readPinGroups(
                    in, in.word(), [](std::string_view t) { return t == "PIN"; }, pinNames);
                parser.addElement(
                    MentorBS::make<MentorBS::BSPins>(std::move(name), std::move(pinNames)));
            } else {
                parser.model.readCounts.pins.skip(MentorBS::SkipReason::UnknownKeyword);
                token = in.word();
            }
        }
    } catch (const std::exception&) {
        // Out of memory on a pathological file: the elements made so far stay.
    }
    // Every PIN record makes one element.
    MentorBS::FileCounts& counts = parser.model.readCounts.pins;
    counts.records += static_cast<std::int64_t>(parser.model.elements.size() - elementsBefore);
    counts.elements = counts.records;
    return true;
}

bool readPinsFile(MentorParser& parser, const std::string& designDirectory) {
    const std::string path = designDirectory + "/MentorPinsFile";
    FileText file;
    if (!file.open(path)) {
        reportMissingFile(path + " not found");
        return true;
    }
    return readPinsText(parser, file.text());
}
