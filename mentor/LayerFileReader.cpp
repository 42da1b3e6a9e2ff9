#include "mentor/LayerFileReader.h"

#include <exception>
#include <string>

#include "corelib/FileText.h"
#include "mentor/Arena.h"
#include "mentor/MentorParser.h"
#include "mentor/TextStream.h"

bool readLayerText(MentorParser& parser, std::string_view text) {
    const std::size_t elementsBefore = parser.model.elements.size();
    try {
        TextStream in(text);
        // Line records, read until the stream fails: a malformed number ends the file
        // after the layer it belongs to (its fields from there on stay 0).
        while (!in.fail()) {
            std::string name(in.quoted());
            if (name.empty()) {
                continue;
            }
            if (name.front() == '#') {
                in.line();
                continue;
            }
            int number = 0;
            in.number(number);
            std::string type(in.word());
            int fields[13] = {};
            for (int& field : fields) {
                in.number(field);
            }
            in.ignoreLine();
            parser.addElement(MentorBS::make<MentorBS::LayerInfo>(std::move(name), number,
                                                                  std::move(type), fields));
        }
    } catch (const std::exception&) {
        // Out of memory on a pathological file: the layers read so far stay.
    }
    // Every layer line makes one element.
    MentorBS::FileCounts& counts = parser.model.readCounts.layer;
    counts.records += static_cast<std::int64_t>(parser.model.elements.size() - elementsBefore);
    counts.elements = counts.records;
    return true;
}

bool readLayerFile(MentorParser& parser, const std::string& designDirectory) {
    const std::string path = designDirectory + "/MentorLayerFile";
    FileText file;
    if (!file.open(path)) {
        reportMissingFile(path + " not found");
        return true;
    }
    return readLayerText(parser, file.text());
}
