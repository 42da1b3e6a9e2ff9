#include "mentor/TechFileReader.h"

#include <algorithm>
#include <exception>
#include <utility>
#include <vector>

#include "corelib/FileText.h"
#include "corelib/Platform.h"
#include "mentor/MentorParser.h"
#include "mentor/TextStream.h"

namespace {

constexpr const char* k_UnsupportedTechnology =
    "HYBRID and MCM design technologies with Crossover, Substrate,\n Sheet Dielectric and "
    "Resistor layers are not supported at present.\n Please contact Veltro Techincal Support "
    "for more information";

/// A physical layer definition: its name and the name after it (the layer it is bonded
/// to, for the signal layers of hybrid technologies).
struct PhysicalLayer {
    std::string name;
    std::string secondName;
};

class TechFileReader {
public:
    TechFileReader(MentorParser& parser, std::map<int, std::string>& layers, std::string_view text)
        : m_parser(parser), m_layers(layers), m_in(text) {}

    void read();
    /// False when a layer is of a kind the program cannot translate.
    bool technologyIsSupported() const;
    const std::string& technology() const { return m_technology; }

private:
    // $$define_physical_layer( <number> , "<name>", "<second name>");
    void readDefinePhysicalLayer();
    // $$define_bond_layer( <three words> "<name>"); or ... "<name>", "<name>"<five more>
    void readDefineBondLayer();
    // $$define_rule_board( @DOUBLE...
    void readDefineRuleBoard();
    // $$define_technology( "<name>");
    void readDefineTechnology();

    bool isBondLayer(const std::string& name) const {
        const auto& bond = m_parser.model.bondLayers;
        return std::find(bond.begin(), bond.end(), name) != bond.end();
    }

    MentorParser& m_parser;
    std::map<int, std::string>& m_layers;
    TextStream m_in;
    std::vector<PhysicalLayer> m_physicalLayers;
    std::string m_technology;
};

void TechFileReader::read() {
    while (!m_in.fail()) {
        const std::string_view token = m_in.word();
        if (token.empty()) {
            break;
        }
        if (token.front() == '/') {
            m_in.ignoreLine();
            continue;
        }
        if (token.front() != '$') {
            continue;
        }
        ++m_parser.model.readCounts.tech.records;
        // The command follows two leading characters ("$$"); only its own length is
        // compared, so "(" or anything else may follow it in the same word.
        const std::string_view command = token.size() > 2 ? token.substr(2) : std::string_view();
        if (command.starts_with("define_physical_layer")) {
            readDefinePhysicalLayer();
        } else if (command.starts_with("define_bond_layer")) {
            readDefineBondLayer();
        } else if (command.starts_with("define_rule_board")) {
            readDefineRuleBoard();
        } else if (command.starts_with("define_technology")) {
            readDefineTechnology();
        } else {
            m_parser.model.readCounts.tech.skip(MentorBS::SkipReason::UnknownCommand);
        }
    }
}

void TechFileReader::readDefinePhysicalLayer() {
    int number = 0;
    m_in.number(number);
    m_in.word();
    std::string name(cut(m_in.word(), 1, 2));
    // A number defined twice keeps its first name.
    if (!m_layers.emplace(number, name).second) {
        m_parser.model.readCounts.tech.skip(MentorBS::SkipReason::DuplicateLayerNumber);
    }
    std::string secondName;
    const std::string_view token = m_in.word();
    if (endsWith(token, ';')) {
        secondName = cut(token, 1, 3);
    } else if (token.size() > 1 && token[1] == 'P') {
        secondName = cut(token, 1, 2);
    } else {
        secondName = cut(m_in.word(), 1, 3);
    }
    m_physicalLayers.push_back({std::move(name), std::move(secondName)});
    m_in.ignoreLine();
}

void TechFileReader::readDefineBondLayer() {
    m_in.word();
    m_in.word();
    m_in.word();
    const std::string_view token = m_in.word();
    if (endsWith(token, ';')) {
        m_parser.model.bondLayers.emplace_back(cut(token, 1, 3));
    } else if (endsWith(token, ',')) {
        m_parser.model.bondLayers.emplace_back(cut(token, 1, 2));
        m_parser.model.bondLayers.emplace_back(cut(m_in.word(), 1, 6));
    }
    m_in.ignoreLine();
}

void TechFileReader::readDefineRuleBoard() {
    m_parser.model.ruleBoard = m_in.word().starts_with("@DOUBLE");
    m_in.ignoreLine();
}

void TechFileReader::readDefineTechnology() {
    m_technology = cut(m_in.word(), 1, 3);
    m_in.ignoreLine();
}

bool TechFileReader::technologyIsSupported() const {
    bool pad1Seen = false;
    bool pad2Seen = false;
    for (const PhysicalLayer& layer : m_physicalLayers) {
        // "SIGNAL_1" is of kind SIGNAL: the kind is the name without its number.
        const std::string_view kind = cut(layer.name, 0, 2);
        if (kind != "SIGNAL" && kind != "PAD" && kind != "POWER" && kind != "DIELECTRIC") {
            return false;
        }
        if (layer.name == "PAD_1") {
            pad1Seen = true;
        }
        if (layer.name == "PAD_2") {
            pad2Seen = true;
        }
        // Signal layers above the first pad layer, and on a double-sided board those
        // below the second, must be bonded.
        const bool mustBeBonded = !pad1Seen || (m_parser.model.ruleBoard && pad2Seen);
        if (kind == "SIGNAL" && mustBeBonded && !isBondLayer(layer.secondName)) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::map<int, std::string> readTechText(MentorParser& parser, std::map<int, std::string>& layers,
                                        std::string_view text) {
    const std::size_t layersBefore = layers.size();
    bool supported = true;
    try {
        TechFileReader reader(parser, layers, text);
        reader.read();
        supported = reader.technology() == "PCB" || reader.technologyIsSupported();
    } catch (const std::exception&) {
        // Out of memory on a pathological file: what was read so far stays.
    }
    // What the file makes is the layer table: one entry per new layer number.
    parser.model.readCounts.tech.elements +=
        static_cast<std::int64_t>(layers.size() - layersBefore);
    if (!supported) {
        MessageBoxA(nullptr, k_UnsupportedTechnology, "Translation\tError",
                    MB_ICONERROR | MB_SETFOREGROUND);
        platform::reporter().endProcess(0);
    }
    parser.model.layerNumbers = layers;
    return layers;
}

std::map<int, std::string> readTechFile(MentorParser& parser, std::map<int, std::string>& layers,
                                        const std::string& designDirectory) {
    const std::string path = designDirectory + "/MentorTechFile";
    FileText file;
    if (!file.open(path)) {
        reportMissingFile(path + "\tnot\tfound");
        return layers;
    }
    return readTechText(parser, layers, file.text());
}
