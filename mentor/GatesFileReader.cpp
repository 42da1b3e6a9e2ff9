#include "mentor/GatesFileReader.h"

#include <exception>
#include <utility>
#include <vector>

#include "corelib/FileText.h"
#include "mentor/Arena.h"
#include "mentor/MentorParser.h"
#include "mentor/PinGroups.h"
#include "mentor/TextStream.h"

namespace {

class GatesFileReader {
public:
    GatesFileReader(MentorParser& parser, std::string_view text) : m_parser(parser), m_in(text) {}

    void read();

private:
    // Each returns the token that ended the record, to be examined next.
    // GATE <name> <text2> <text3> <number> [-] <text> <integer> ... <pin groups>
    std::string_view readGATE();
    // PINSET <name> <text2> <number> <words> [ <words> ]
    std::string_view readPINSET();

    std::string word() { return std::string(m_in.word()); }
    /// The next word, or the one after it when it is a line continuation "-".
    std::string_view wordAfterContinuation() {
        const std::string_view token = m_in.word();
        return token == "-" ? m_in.word() : token;
    }

    MentorParser& m_parser;
    TextStream m_in;
};

void GatesFileReader::read() {
    std::string_view token = m_in.word();
    while (m_in.good()) {
        if (beginsWith(token, '#')) {
            m_in.line();
            token = m_in.word();
        } else if (token == "GATE") {
            token = readGATE();
        } else if (token == "PINSET") {
            token = readPINSET();
        } else {
            m_parser.model.readCounts.gates.skip(MentorBS::SkipReason::UnknownKeyword);
            token = m_in.word();
        }
    }
}

std::string_view GatesFileReader::readGATE() {
    std::string name = word();
    std::string text2 = word();
    std::string text3 = word();
    if (text3 == "'") {
        // An empty quoted name is written as two lone quotes.
        m_in.word();
        text3.clear();
    }
    int number = 0;
    m_in.number(number);
    std::vector<std::pair<std::string, int>> pairs;
    std::string_view token = wordAfterContinuation();
    while (!token.empty() && token != "GATE" && token.front() != '(') {
        std::string text(token);
        int value = 0;
        scanInt(wordAfterContinuation(), value);
        pairs.emplace_back(std::move(text), value);
        token = wordAfterContinuation();
    }
    std::vector<std::string> pinGroups;
    token = readPinGroups(
        m_in, token, [](std::string_view t) { return t == "GATE" || t == "PINSET"; }, pinGroups);
    m_parser.addElement(MentorBS::make<MentorBS::BSGates>(std::move(name), std::move(text2),
                                                          std::move(text3), number,
                                                          std::move(pairs), std::move(pinGroups)));
    return token;
}

std::string_view GatesFileReader::readPINSET() {
    std::string name = word();
    std::string text2 = word();
    int number = 0;
    m_in.number(number);
    const auto endsRecord = [](std::string_view t) { return t == "PINSET" || t == "GATE"; };
    std::vector<std::string> leading;
    std::vector<std::string> bracketed;
    std::string_view token = m_in.word();
    while (!token.empty() && token.front() != '[' && !endsRecord(token)) {
        leading.emplace_back(token);
        token = m_in.word();
    }
    if (beginsWith(token, '[')) {
        token = m_in.word();
        while (!token.empty() && token.front() != ']' && !endsRecord(token)) {
            bracketed.emplace_back(token);
            token = m_in.word();
        }
    }
    m_parser.addElement(MentorBS::make<MentorBS::BSPinSet>(
        std::move(name), std::move(text2), number, std::move(leading), std::move(bracketed)));
    // A record keyword is the next record; the closing "]" is not.
    return endsRecord(token) ? token : m_in.word();
}

}  // namespace

bool readGatesText(MentorParser& parser, std::string_view text) {
    const std::size_t elementsBefore = parser.model.elements.size();
    try {
        GatesFileReader(parser, text).read();
    } catch (const std::exception&) {
        // Out of memory on a pathological file: the elements made so far stay.
    }
    // Every GATE and PINSET record makes one element.
    MentorBS::FileCounts& counts = parser.model.readCounts.gates;
    counts.records += static_cast<std::int64_t>(parser.model.elements.size() - elementsBefore);
    counts.elements = counts.records;
    return true;
}

bool readGatesFile(MentorParser& parser, const std::string& designDirectory) {
    const std::string path = designDirectory + "/MentorGatesFile";
    FileText file;
    if (!file.open(path)) {
        reportMissingFile(path + " not found");
        return true;
    }
    return readGatesText(parser, file.text());
}
