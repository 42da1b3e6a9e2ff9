#include "mentor/NeutralFileReader.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <string_view>
#include <utility>
#include <vector>

#include "corelib/FileText.h"
#include "mentor/Arena.h"
#include "mentor/MentorParser.h"
#include "mentor/TextStream.h"

using namespace MentorBS;

namespace {

/// A 'POWER_NET_NAMES' line without the blanks before it and the blanks and line ends
/// after it.
std::string_view trimmedLine(std::string_view line) {
    while (!line.empty() && (line.back() == ' ' || line.back() == '\n' || line.back() == '\r')) {
        line.remove_suffix(1);
    }
    while (!line.empty() && line.front() == ' ') {
        line.remove_prefix(1);
    }
    return line;
}

/// The first two pieces of a pin reference split at "-", empty pieces dropped (the core
/// library's tokenizer); false when there are fewer than two.
bool splitPinReference(std::string_view reference, std::string_view& component,
                       std::string_view& pin) {
    std::string_view pieces[2];
    std::size_t found = 0;
    std::size_t start = 0;
    while (found < 2 && start <= reference.size()) {
        std::size_t dash = reference.find('-', start);
        if (dash == std::string_view::npos) {
            dash = reference.size();
        }
        if (dash > start) {
            pieces[found++] = reference.substr(start, dash - start);
        }
        start = dash + 1;
    }
    component = pieces[0];
    pin = pieces[1];
    return found == 2;
}

/// The pins that go into the parser's pins by component, gathered in file order and
/// handed over at the end. Pin lines name components in no particular order; looking
/// each one up in the wide-keyed map costs far more than the rest of the line, so names
/// are numbered through a small open-addressed table and each map entry is found once.
class ComponentPins {
public:
    void add(std::string_view componentName, NetPin* pin) {
        m_pins.emplace_back(numberOf(componentName), pin);
    }

    /// Appends the gathered pins to `pinsByComponent`, in file order per component.
    void handOver(std::map<VString, std::vector<NetPin*>>& pinsByComponent) {
        std::vector<std::size_t> counts(m_names.size());
        for (const auto& [number, pin] : m_pins) {
            ++counts[number];
        }
        std::vector<std::vector<NetPin*>*> lists(m_names.size());
        for (std::size_t number = 0; number < m_names.size(); ++number) {
            lists[number] = &pinsByComponent[VString(m_names[number])];
            lists[number]->reserve(lists[number]->size() + counts[number]);
        }
        for (const auto& [number, pin] : m_pins) {
            lists[number]->push_back(pin);
        }
        *this = ComponentPins();
    }

private:
    // One slot is one half of a cache line and holds a short name itself, so that a
    // look-up touches one place in memory.
    struct Slot {
        std::uint64_t hash = 0;
        std::uint32_t number = 0;
        bool used = false;
        std::uint8_t length = 0;
        char text[18] = {};
    };
    static_assert(sizeof(Slot) == 32);

    bool holds(const Slot& slot, std::uint64_t hash, std::string_view name) const {
        if (slot.hash != hash) {
            return false;
        }
        return name.size() <= sizeof slot.text
                   ? slot.length == name.size() && std::equal(name.begin(), name.end(), slot.text)
                   : m_names[slot.number] == name;
    }

    std::uint32_t numberOf(std::string_view name) {
        // FNV-1a.
        std::uint64_t hash = 14695981039346656037ULL;
        for (char c : name) {
            hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
        }
        if (2 * (m_names.size() + 1) > m_slots.size()) {
            grow();
        }
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
            Slot& slot = m_slots[i];
            if (!slot.used) {
                slot.hash = hash;
                slot.number = static_cast<std::uint32_t>(m_names.size());
                slot.used = true;
                if (name.size() <= sizeof slot.text) {
                    slot.length = static_cast<std::uint8_t>(name.size());
                    std::copy(name.begin(), name.end(), slot.text);
                }
                m_names.emplace_back(name);
                return slot.number;
            }
            if (holds(slot, hash, name)) {
                return slot.number;
            }
        }
    }

    void grow() {
        std::vector<Slot> old = std::move(m_slots);
        m_slots.assign(old.empty() ? 1024 : 2 * old.size(), Slot());
        const std::size_t mask = m_slots.size() - 1;
        for (const Slot& slot : old) {
            if (slot.used) {
                std::size_t i = slot.hash & mask;
                while (m_slots[i].used) {
                    i = (i + 1) & mask;
                }
                m_slots[i] = slot;
            }
        }
    }

    std::vector<Slot> m_slots;
    std::vector<std::string> m_names;
    std::vector<std::pair<std::uint32_t, NetPin*>> m_pins;
};

class NeutralFileReader {
public:
    NeutralFileReader(MentorParser& parser, std::string_view text) : m_parser(parser), m_in(text) {}

    void read();
    /// Hands the pins by component over to the parser; also after a read cut short.
    void finish() { m_componentPins.handOver(m_parser.model.pinsByComponent); }

private:
    // Each returns whether the dispatcher reads a fresh token next (true) or dispatches
    // the record's own keyword again (false: the record ended at that keyword).
    bool readP_ADDP();
    bool readBOARD();
    bool readB_ATTR();
    bool readB_ADDP();
    bool readNET();
    bool readGEOM();
    bool readCOMP();
    bool readPAD();
    bool readHOLE();
    bool readFIXTURE();

    void readN_PIN(std::vector<NetPin*>& pins);
    void readN_VIA(std::vector<NetVia*>& vias);
    void readN_TEST(std::vector<NetPinTest*>& pinTests, std::vector<NetTestPoint*>& testPoints);
    void readC_PIN(std::vector<CompPin*>& pins);

    /// Numbers of an attribute line ("-" continues it on the next line); returns the
    /// token that ended them (empty at the end of the text).
    std::string_view readNumbers(std::vector<double>& numbers);
    /// A property list after `keyword`, up to `endKeyword`; returns the token that ended
    /// it: `endKeyword`, or empty at the end of the text.
    std::string_view readProperties(std::string_view keyword, std::string_view endKeyword,
                                    std::vector<std::string>& properties);

    std::string quoted() { return std::string(m_in.quoted()); }
    std::string word() { return std::string(m_in.word()); }
    template <typename T>
    T number() {
        T value = 0;
        m_in.number(value);
        return value;
    }

    MentorParser& m_parser;
    TextStream m_in;
    ComponentPins m_componentPins;
    std::vector<NetPin*> m_pins;
    std::vector<NetVia*> m_vias;
};

void NeutralFileReader::read() {
    std::string_view keyword;
    bool freshTokenDue = true;
    while (m_in.good()) {
        if (freshTokenDue) {
            keyword = m_in.word();
        }
        freshTokenDue = true;
        if (beginsWith(keyword, '#')) {
            m_in.line();
        } else if (keyword == "P_ADDP") {
            freshTokenDue = readP_ADDP();
        } else if (keyword == "BOARD") {
            freshTokenDue = readBOARD();
        } else if (keyword == "B_ATTR") {
            freshTokenDue = readB_ATTR();
        } else if (keyword == "B_ADDP") {
            freshTokenDue = readB_ADDP();
        } else if (keyword == "NET") {
            freshTokenDue = readNET();
        } else if (keyword == "GEOM") {
            freshTokenDue = readGEOM();
        } else if (keyword == "COMP") {
            freshTokenDue = readCOMP();
        } else if (keyword == "PAD") {
            freshTokenDue = readPAD();
        } else if (keyword == "HOLE") {
            freshTokenDue = readHOLE();
        } else if (keyword == "FIXTURE") {
            freshTokenDue = readFIXTURE();
        } else if (!keyword.empty()) {
            m_parser.model.readCounts.neutral.skip(SkipReason::UnknownKeyword);
        }
    }
}

bool NeutralFileReader::readP_ADDP() {
    std::string name = quoted();
    std::string name2 = quoted();
    std::string name3 = quoted();
    double x = 0;
    if (!name3.empty() && isDigit(name3[0])) {
        // The third name is missing: this is already the x value.
        scanDouble(name3, x);
        name3.clear();
    } else {
        m_in.number(x);
    }
    const double y = number<double>();
    const int value1 = number<int>();
    const int value2 = number<int>();
    number<int>();
    m_parser.addElement(
        make<Panel>(std::move(name), std::move(name2), std::move(name3), x, y, value1, value2));
    return true;
}

bool NeutralFileReader::readBOARD() {
    std::string name = quoted();
    double offsetX = 0;
    double offsetY = 0;
    int orientation = 0;
    std::string unitsName;
    // Each keyword position is taken whether or not the keyword is there.
    if (m_in.word() == "OFFSET") {
        if (const std::string_view x = m_in.word(); beginsWith(x, 'x')) {
            scanDouble(cut(x, 2, 0), offsetX);
        }
        if (const std::string_view y = m_in.word(); beginsWith(y, 'y')) {
            scanDouble(cut(y, 2, 0), offsetY);
        }
    }
    if (m_in.word() == "ORIENTATION") {
        m_in.number(orientation);
    }
    if (m_in.word() == "B_UNITS") {
        unitsName = word();
        // "Tenth Mils" is written as two words; the second must be on the same line.
        if (unitsName == "Tenth" || unitsName == "tenth" || unitsName == "TENTH") {
            TextStream ahead = m_in;
            const std::string_view rest = ahead.line();
            const std::size_t start = rest.find_first_not_of(" \t\r\v\f");
            const std::string_view next =
                start == std::string_view::npos
                    ? std::string_view()
                    : rest.substr(start, rest.find_first_of(" \t\r\v\f", start) - start);
            if (next == "Mils" || next == "mils" || next == "MILS") {
                unitsName += ' ';
                unitsName += m_in.word();
            }
        }
        m_parser.model.unitsName = unitsName;
    }
    m_parser.addElement(
        make<Board>(std::move(name), offsetX, offsetY, orientation, std::move(unitsName)));
    return true;
}

bool NeutralFileReader::readB_ATTR() {
    std::string name = quoted();
    if (name == "'POWER_NET_NAMES'") {
        // The value runs to the end of the line; a line that ends in "-" goes on in the
        // next one.
        std::string value(trimmedLine(m_in.line()));
        while (!value.empty() && value.back() == '-') {
            value.pop_back();
            value += trimmedLine(m_in.line());
        }
        m_parser.addElement(
            make<BoardAttribute>(std::move(name), std::move(value), std::vector<double>()));
        return true;
    }
    std::string value = quoted();
    std::vector<double> numbers;
    const std::string_view ending = readNumbers(numbers);
    if (name == "'BOARD_PLACEMENT_GRID'" && !numbers.empty()) {
        m_parser.model.doubledPlacementGrid = 2 * numbers.front();
    }
    m_parser.addElement(
        make<BoardAttribute>(std::move(name), std::move(value), std::move(numbers)));
    return ending != "B_ATTR";
}

std::string_view NeutralFileReader::readNumbers(std::vector<double>& numbers) {
    while (true) {
        const std::string_view token = m_in.word();
        if (token == "-") {
            m_in.line();
        } else if (hasLeadingDigit(token)) {
            double value = 0;
            scanDouble(token, value);
            numbers.push_back(value);
        } else {
            return token;
        }
    }
}

bool NeutralFileReader::readB_ADDP() {
    std::string name = quoted();
    std::string name2 = quoted();
    const double x = number<double>();
    const double y = number<double>();
    const int int1 = number<int>();
    const int int2 = number<int>();
    const int int3 = number<int>();
    const int int4 = number<int>();
    m_parser.addElement(
        make<BoardAddedGeometry>(std::move(name), std::move(name2), x, y, int1, int2, int3, int4));
    return true;
}

std::string_view NeutralFileReader::readProperties(std::string_view keyword,
                                                   std::string_view endKeyword,
                                                   std::vector<std::string>& properties) {
    std::string current;
    const auto finish = [&] {
        if (!current.empty()) {
            properties.push_back(std::move(current));
        }
        current.clear();
    };
    while (true) {
        const std::string_view token = m_in.word();
        if (token.empty() || token == endKeyword) {
            finish();
            return token;
        }
        if (token == keyword) {
            finish();
        } else if (token.front() == '(' && endsWith(current, ')')) {
            finish();
            current = token;
        } else {
            // Blanks between the tokens of a property are lost.
            current += token;
        }
    }
}

bool NeutralFileReader::readNET() {
    std::string name = quoted();
    std::vector<std::string> properties;
    // Nets do not nest: the lists are gathered in the reader's own vectors, which keep
    // their room from net to net, and copied at their exact size at the end.
    std::vector<NetPin*>& pins = m_pins;
    std::vector<NetVia*>& vias = m_vias;
    pins.clear();
    vias.clear();
    std::vector<NetPinTest*> pinTests;
    std::vector<NetTestPoint*> testPoints;
    bool freshTokenDue = true;
    while (true) {
        std::string_view token = m_in.word();
        if (token.empty()) {
            // The end of the text closes the net as it stands.
            break;
        }
        if (token == "NET" || token.front() == '#') {
            freshTokenDue = token != "NET";
            break;
        }
        if (token == "N_PROP") {
            // The list runs to the next N_PIN, whatever lies between.
            token = readProperties("N_PROP", "N_PIN", properties);
        }
        if (token == "N_PIN") {
            readN_PIN(pins);
        } else if (token == "N_VIA") {
            readN_VIA(vias);
        } else if (token == "N_TEST") {
            readN_TEST(pinTests, testPoints);
        }
    }
    m_parser.addElement(make<Net>(std::move(name), std::move(properties),
                                  std::vector<NetPin*>(pins.begin(), pins.end()),
                                  std::vector<NetVia*>(vias.begin(), vias.end()),
                                  std::move(pinTests), std::move(testPoints)));
    return freshTokenDue;
}

void NeutralFileReader::readN_PIN(std::vector<NetPin*>& pins) {
    NetPin* pin = make<NetPin>();
    pin->pinRef = word();
    pin->x = number<double>();
    pin->y = number<double>();
    pin->layer = quoted();
    pin->number = number<int>();
    const std::string_view rest = m_in.line();

    std::string_view componentName;
    std::string_view pinName;
    if (splitPinReference(pin->pinRef, componentName, pinName)) {
        pin->pinName = VString(pinName);
    } else {
        componentName = {};
    }
    int trailingNumber = 0;
    if (!rest.empty() && isDecimalInteger(rest, trailingNumber)) {
        pin->setTrailingNumber(trailingNumber);
        pin->setNumber2(pin->number);
        m_componentPins.add(componentName, pin);
    }
    pins.push_back(pin);
}

void NeutralFileReader::readN_VIA(std::vector<NetVia*>& vias) {
    NetVia* via = make<NetVia>();
    via->x = number<double>();
    via->y = number<double>();
    via->padName = quoted();
    via->value1 = number<int>();
    via->value2 = number<int>();
    vias.push_back(via);
}

void NeutralFileReader::readN_TEST(std::vector<NetPinTest*>& pinTests,
                                   std::vector<NetTestPoint*>& testPoints) {
    const std::string_view kind = m_in.word();
    const double x = number<double>();
    const double y = number<double>();
    std::string text1 = quoted();
    std::string text2 = quoted();
    if (kind == "PIN") {
        NetPinTest* test = make<NetPinTest>();
        test->x = x;
        test->y = y;
        test->text1 = std::move(text1);
        test->text2 = std::move(text2);
        test->text3 = word();
        pinTests.push_back(test);
    } else {
        NetTestPoint* test = make<NetTestPoint>();
        test->x = x;
        test->y = y;
        test->text1 = std::move(text1);
        test->text2 = std::move(text2);
        testPoints.push_back(test);
    }
}

bool NeutralFileReader::readGEOM() {
    std::string name = quoted();
    std::vector<GeomPin*> pins;
    std::vector<GeomAttribute*> attributes;
    // These hold their values from one pin line to the next.
    double x = 0;
    double y = 0;
    double value = 0;
    std::string_view token;
    bool tokenHeld = false;
    bool freshTokenDue = true;
    while (true) {
        if (!tokenHeld) {
            token = m_in.word();
        }
        tokenHeld = false;
        if (token.empty()) {
            break;
        }
        if (token == "GEOM" || token.front() == '#') {
            freshTokenDue = token != "GEOM";
            break;
        }
        if (token == "G_PIN") {
            GeomPin* pin = make<GeomPin>();
            pin->pinName = word();
            m_in.number(x);
            m_in.number(y);
            pin->text1 = quoted();
            pin->text2 = quoted();
            const std::string_view next = m_in.word();
            if (!next.empty() && isDigit(next[0])) {
                scanDouble(next, value);
            } else {
                // No value on this line: the token is the next line's keyword.
                token = next;
                tokenHeld = true;
            }
            pin->x = x;
            pin->y = y;
            pin->value = value;
            pins.push_back(pin);
        } else if (token == "G_ATTR") {
            std::string attributeName = quoted();
            std::string type = word();
            std::vector<double> numbers;
            // The word that ends the numbers is used up whatever it is: a G_PIN, G_ATTR
            // or GEOM keyword there is lost and the record goes on with the word after
            // it. After a "#" the comment's other words are passed over as any word the
            // record does not know. The end of the text ends the record at the next read.
            readNumbers(numbers);
            if (numbers.size() >= 6 && numbers.size() % 2 == 0) {
                GeomAttribute* attribute = make<GeomAttribute>();
                attribute->name = std::move(attributeName);
                attribute->type = std::move(type);
                attribute->points = std::move(numbers);
                attributes.push_back(attribute);
            } else {
                m_parser.model.readCounts.neutral.skip(SkipReason::UnpairedCoordinates);
            }
        }
    }
    m_parser.addElement(make<Geometry>(std::move(name), std::move(pins), std::move(attributes)));
    return freshTokenDue;
}

bool NeutralFileReader::readCOMP() {
    std::string name = quoted();
    if (name.size() >= 2 && (name.front() == '\'' || name.front() == '"')
        && name.back() == name.front()) {
        name = name.substr(1, name.size() - 2);
    }
    std::string text2 = quoted();
    std::string text3 = quoted();
    std::string text4 = quoted();
    double x = 0;
    double y = 0;
    int value1 = 0;
    int value2 = 0;
    // A component without placement has a token of another kind here, which is dropped.
    if (const std::string_view placement = m_in.word(); hasLeadingDigit(placement)) {
        scanDouble(placement, x);
        m_in.number(y);
        m_in.number(value1);
        m_in.number(value2);
    }
    std::vector<std::string> properties;
    std::vector<CompPin*> pins;
    bool freshTokenDue = true;
    while (true) {
        std::string_view token = m_in.word();
        if (token.empty()) {
            break;
        }
        if (token == "COMP" || token.front() == '#') {
            freshTokenDue = token != "COMP";
            break;
        }
        if (token == "C_PROP") {
            token = readProperties("C_PROP", "C_PIN", properties);
        }
        if (token == "C_PIN") {
            readC_PIN(pins);
        }
    }
    m_parser.addElement(make<Component>(std::move(name), std::move(text2), std::move(text3),
                                        std::move(text4), x, y, value1, value2,
                                        std::move(properties), std::move(pins)));
    return freshTokenDue;
}

void NeutralFileReader::readC_PIN(std::vector<CompPin*>& pins) {
    CompPin* pin = make<CompPin>();
    pin->pinName = quoted();
    pin->x = number<double>();
    pin->y = number<double>();
    pin->value1 = number<int>();
    pin->value2 = number<int>();
    pin->value3 = number<int>();
    pin->text1 = quoted();
    pin->text2 = quoted();
    pins.push_back(pin);
}

bool NeutralFileReader::readPAD() {
    std::string kind = m_in.word() == "PIN" ? "PIN" : "VIA";
    std::string name = quoted();
    std::string holeType = word();
    double holeValue = 0;
    if (holeType == "Surf") {
        m_in.word();
    } else {
        m_in.number(holeValue);
    }
    std::vector<std::string> properties;
    std::string plating;
    std::vector<PadShape*> shapes;
    const auto finish = [&] {
        m_parser.addElement(make<Pad>(std::move(kind), std::move(name), std::move(holeType),
                                      holeValue, std::move(properties), std::move(plating),
                                      std::move(shapes)));
    };

    std::string_view token;
    if (kind == "VIA") {
        token = m_in.word();
    } else {
        // The section before the shapes: the plating of a through pad, the layer span of
        // any other.
        while (true) {
            token = m_in.word();
            if (token.empty() || token.front() == '#') {
                break;
            }
            if (holeType == "Thru") {
                if (token == "NPTH" || token == "PTH") {
                    plating = token;
                    token = m_in.word();
                    break;
                }
            } else if (token == "P_SHAPE") {
                break;
            } else if (token == "PAD") {
                finish();
                return false;
            } else {
                properties.emplace_back(token);
            }
        }
    }
    // Shape lines: each begins with a keyword that is only looked at for the record's end.
    while (m_in.good() && !token.empty() && token.front() != '#' && token != "PAD") {
        PadShape* shape = make<PadShape>();
        shape->text1 = quoted();
        shape->text2 = quoted();
        shape->shapeKind = quoted();
        shape->dimensions.push_back(number<double>());
        if (shape->shapeKind != "CIRCLE") {
            shape->dimensions.push_back(number<double>());
        }
        token = m_in.word();
        if (token == "CENTER") {
            shape->centerX = number<double>();
            shape->centerY = number<double>();
            token = m_in.word();
        }
        shapes.push_back(shape);
    }
    finish();
    return token != "PAD";
}

bool NeutralFileReader::readHOLE() {
    std::string name = word();
    const double value1 = number<double>();
    const double value2 = number<double>();
    const double value3 = number<double>();
    double value4 = 0;
    const std::string_view token = m_in.word();
    if (!beginsWith(token, '#') && token != "HOLE") {
        scanDouble(token, value4);
    }
    m_parser.addElement(make<Drill>(std::move(name), value1, value2, value3, value4));
    return token != "HOLE";
}

bool NeutralFileReader::readFIXTURE() {
    std::string name = word();
    const double x = number<double>();
    const double y = number<double>();
    std::string text2 = word();
    const int number = this->number<int>();
    std::string text3 = word();
    m_parser.addElement(
        make<TestPoints>(std::move(name), x, y, std::move(text2), number, std::move(text3)));
    return true;
}

}  // namespace

bool readNeutralText(MentorParser& parser, std::string_view text) {
    const std::size_t elementsBefore = parser.model.elements.size();
    NeutralFileReader reader(parser, text);
    try {
        reader.read();
    } catch (const std::exception&) {
        // Out of memory on a pathological file: the elements made so far stay.
    }
    try {
        reader.finish();
    } catch (const std::exception&) {
    }
    // Every record makes exactly one element.
    FileCounts& counts = parser.model.readCounts.neutral;
    counts.records += static_cast<std::int64_t>(parser.model.elements.size() - elementsBefore);
    counts.elements = counts.records;
    return true;
}

bool readNeutralFile(MentorParser& parser, const std::string& designDirectory) {
    const std::string path = designDirectory + "/MentorNeutralFile";
    FileText file;
    if (!file.open(path)) {
        reportMissingFile(path + " not found");
        return true;
    }
    return readNeutralText(parser, file.text());
}
