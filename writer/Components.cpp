#include "writer/Components.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "corelib/Assert.h"
#include "mentor/MentorBS.h"
#include "mentor/Names.h"
#include "writer/DocumentContext.h"

using namespace MentorBS;

namespace {

bool isAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The white space "%s" and "%lf" skip.
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

char lowerAscii(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

std::string withoutApostrophes(std::string_view text) {
    std::string result;
    for (const char c : text) {
        if (c != '\'') {
            result += c;
        }
    }
    return result;
}

/// A property string such as `(Value,"4k7")`: the name runs from the second character to
/// the first comma, the value is the whole text between the quotes after the comma.
struct Property {
    std::string_view name;
    std::string_view value;
};

/// False for a text without a comma after its first character, which names no property.
bool splitProperty(std::string_view text, Property& property) {
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos || comma == 0) {
        return false;
    }
    property.name = text.substr(1, comma - 1);
    std::string_view rest = text.substr(comma + 1);
    if (!rest.empty() && (rest.front() == '"' || rest.front() == '\'')) {
        const std::size_t close = rest.rfind(rest.front());
        if (close > 0) {
            property.value = rest.substr(1, close - 1);
            return true;
        }
        rest.remove_prefix(1);
    }
    // An unquoted value, or one whose closing quote is missing, runs to the last ")".
    property.value = rest.substr(0, rest.rfind(')'));
    return true;
}

io::CBlock_func textProp(const VString& name, const VString& value) {
    return io::CBlock_func(L"TextProp") << name << value;
}

/// Reads `text` as "%lf%s" does: a decimal number, then the word after it. Returns how many
/// of the two were read. Infinities, NaNs and hexadecimal numbers count as no number: no
/// component value is written that way.
int scanNumberAndSuffix(std::string_view text, double& number, std::string_view& suffix) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) {
        ++i;
    }
    std::size_t start = i;
    if (i < text.size() && text[i] == '+') {
        // std::from_chars takes a minus sign only.
        start = ++i;
    } else if (i < text.size() && text[i] == '-') {
        ++i;
    }
    if (i == text.size() || !(isDigit(text[i]) || text[i] == '.')) {
        return 0;
    }
    const char* const last = text.data() + text.size();
    const auto [end, error] =
        std::from_chars(text.data() + start, last, number, std::chars_format::general);
    if (error != std::errc() || !std::isfinite(number)) {
        return 0;
    }
    std::size_t j = static_cast<std::size_t>(end - text.data());
    while (j < text.size() && isBlank(text[j])) {
        ++j;
    }
    std::size_t k = j;
    while (k < text.size() && !isBlank(text[k])) {
        ++k;
    }
    suffix = text.substr(j, k - j);
    return suffix.empty() ? 1 : 2;
}

/// The power of ten a value suffix's first character stands for; false when the character
/// is no multiplier.
bool multiplierExponent(char c, int& exponent) {
    static constexpr struct {
        char letter;
        int exponent;
    } k_Multipliers[] = {{'n', -9}, {'N', -9}, {'u', -6}, {'U', -6}, {'p', -12}, {'P', -12},
                         {'k', 3},  {'K', 3},  {'M', 6},  {'m', -3}, {'O', 0},   {'F', 0},
                         {'H', 0},  {'o', 0},  {'f', 0},  {'h', 0}};
    for (const auto& multiplier : k_Multipliers) {
        if (multiplier.letter == c) {
            exponent = multiplier.exponent;
            return true;
        }
    }
    return false;
}

/// `number` times 10^exponent. Small multipliers divide by the exact power of ten, which
/// rounds once: 100n gives the double nearest 1e-7, where a product with the inexact 1e-9
/// lands one step above it.
double scaled(double number, int exponent) {
    const double power = std::pow(10.0, exponent < 0 ? -exponent : exponent);
    return exponent < 0 ? number / power : number * power;
}

/// The netlist name of a component property ("R", "C" or "L"), or null when the property
/// carries no electrical value of this component. "Value" and "INSTPAR" take the kind the
/// reference's first letter names.
const wchar_t* electricalName(std::string_view name, std::string_view reference) {
    for (const char* resistance : {"Resistance", "Parasitic_Resistance", "R"}) {
        if (equalIgnoringCase(name, resistance)) {
            return L"R";
        }
    }
    for (const char* capacitance : {"Capacitance", "Parasitic_Capacitance", "C"}) {
        if (equalIgnoringCase(name, capacitance)) {
            return L"C";
        }
    }
    for (const char* inductance : {"Inductance", "Parasitic_Inductance", "L"}) {
        if (equalIgnoringCase(name, inductance)) {
            return L"L";
        }
    }
    if ((equalIgnoringCase(name, "Value") || equalIgnoringCase(name, "INSTPAR"))
        && !reference.empty()) {
        switch (lowerAscii(reference.front())) {
        case 'r':
            return L"R";
        case 'c':
            return L"C";
        case 'l':
            return L"L";
        default:
            break;
        }
    }
    return nullptr;
}

/// Appends the `NumberProp` of an electrical value such as "4k7" or "100n"; nothing when
/// the value does not begin with a number.
void appendNumberProp(io::CBlock& properties, const std::wstring& name, std::string_view value) {
    double number = 0;
    std::string_view suffix;
    const int read = scanNumberAndSuffix(value, number, suffix);
    if (read == 0) {
        return;
    }
    if (read == 1) {
        properties << (io::CBlock_func(L"NumberProp") << VString(name) << number);
        return;
    }
    // The digits after the multiplier are the fraction: 4k7 is 4.7k, 2n25 is 2.25n.
    double fraction = 0;
    if (suffix.size() > 1 && VString(suffix.substr(1)).IsNumber(fraction)
        && std::isfinite(fraction)) {
        number += fraction / std::pow(10.0, static_cast<double>(suffix.size() - 1));
    }
    VString unit;
    int exponent = 0;
    if (multiplierExponent(suffix.front(), exponent)) {
        number = scaled(number, exponent);
        unit = name == L"R" ? L"ohms" : name == L"L" ? L"H" : L"F";
    } else if (equalIgnoringCase(suffix, "R")) {
        unit = L"ohms";
    } else if (equalIgnoringCase(suffix, "C")) {
        unit = L"F";
    } else if (equalIgnoringCase(suffix, "I")) {
        unit = L"L";
    } else {
        unit = VString(suffix);
    }
    properties << (io::CBlock_func(L"NumberProp") << VString(name) << number << false << unit);
}

/// One entry of a gate record, `'A1':1` with its integer: gate pin A1 on terminal 1.
struct GateEntry {
    std::string gatePinName;
    std::string terminalName;
    std::string gateName;  ///< the record's gate name
    int gatePinNumber = 0;
};

/// What the gates and pins files say about the components, by reference and by pin name.
struct LogicalPins {
    std::map<std::string, std::vector<GateEntry>> entriesByReference;
    std::map<std::string, std::set<std::string>> gateNamesByReference;
    /// The first pin record of each name.
    std::map<std::string, const BSPins*> pinRecords;

    explicit LogicalPins(const BoardModel& model);
    int gateCount(const std::string& reference) const;
    /// The PINTYPE property of the pin record named `pinName`; empty when there is none.
    std::string_view pinType(const std::string& pinName) const;
};

LogicalPins::LogicalPins(const BoardModel& model) {
    for (const MentorElement* element : model.elements) {
        if (const BSGates* gates = element->asBSGates()) {
            const std::string reference = withoutApostrophes(gates->name);
            const std::string gateName(withoutQuotes(gates->text2));
            if (!gateName.empty()) {
                gateNamesByReference[reference].insert(gateName);
            }
            std::vector<GateEntry>& entries = entriesByReference[reference];
            for (const auto& [text, number] : gates->pairs) {
                // An entry without a colon names no terminal.
                const std::size_t colon = text.find(':');
                if (colon == std::string::npos) {
                    continue;
                }
                entries.push_back(
                    GateEntry{std::string(withoutQuotes(std::string_view(text).substr(0, colon))),
                              std::string(withoutQuotes(std::string_view(text).substr(colon + 1))),
                              gateName, number});
            }
        } else if (const BSPins* pins = element->asBSPins()) {
            pinRecords.emplace(withoutApostrophes(pins->name), pins);
        }
    }
}

int LogicalPins::gateCount(const std::string& reference) const {
    const auto found = gateNamesByReference.find(reference);
    return found == gateNamesByReference.end() ? 0 : static_cast<int>(found->second.size());
}

std::string_view LogicalPins::pinType(const std::string& pinName) const {
    const auto found = pinRecords.find(pinName);
    if (found == pinRecords.end()) {
        return {};
    }
    for (const std::string& text : found->second->pinNames) {
        Property property;
        if (splitProperty(text, property) && equalIgnoringCase(property.name, "PINTYPE")) {
            return property.value;
        }
    }
    return {};
}

/// A component pin in the order the definition writes its terminals.
struct OrderedPin {
    const CompPin* pin = nullptr;
    std::string pinName;       ///< quotes removed
    std::string terminalName;  ///< the pin name without the reference and its "-"
    const GateEntry* entry = nullptr;
};

/// The pins of `component` with their gate entries: first the pins that have an entry, in
/// the order of the entries, then the others as read. When the entries name a terminal twice
/// the order cannot be trusted; that is reported and the pins stay as read.
std::vector<OrderedPin> orderedPins(const Component& component,
                                    const std::vector<GateEntry>* entries) {
    std::vector<OrderedPin> read;
    for (const CompPin* pin : component.pins) {
        OrderedPin ordered;
        ordered.pin = pin;
        ordered.pinName = withoutQuotes(pin->pinName);
        const std::size_t cut = component.name.size() + 1;
        ordered.terminalName =
            ordered.pinName.size() > cut ? ordered.pinName.substr(cut) : ordered.pinName;
        read.push_back(std::move(ordered));
    }
    if (!entries) {
        return read;
    }
    std::vector<std::size_t> order;
    for (const GateEntry& entry : *entries) {
        for (std::size_t i = 0; i < read.size(); ++i) {
            if (equalIgnoringCase(entry.terminalName, read[i].terminalName)) {
                order.push_back(i);
                if (!read[i].entry) {
                    read[i].entry = &entry;
                }
            }
        }
    }
    for (std::size_t i = 0; i < read.size(); ++i) {
        if (!read[i].entry) {
            order.push_back(i);
        }
    }
    VCORE_ASSERT_TEXT("BoardStationToVnf", order.size() == read.size(), "false");
    if (order.size() != read.size()) {
        return read;
    }
    std::vector<OrderedPin> result;
    for (const std::size_t i : order) {
        result.push_back(read[i]);
    }
    return result;
}

io::CBlockPtr componentDefinition(const Component& component, const LogicalPins& logical,
                                  const VString& blockName, DocumentContext& context) {
    io::CBlockPtr block(blockName);
    const std::string& reference = component.name;
    std::size_t prefixLength = 0;
    while (prefixLength < reference.size() && isAsciiLetter(reference[prefixLength])) {
        ++prefixLength;
    }
    const int gateCount = logical.gateCount(reference);
    *block << (io::CBlock_func(L"CompDef")
               << VString(component.text2) << VString(component.text3) << L""
               << VString(reference.substr(0, prefixLength)) << (gateCount == 0 ? 1 : gateCount));

    const auto entries = logical.entriesByReference.find(reference);
    const std::vector<OrderedPin> pins = orderedPins(
        component, entries == logical.entriesByReference.end() ? nullptr : &entries->second);
    std::map<int, int> equivalenceNumbers;
    std::map<int, VString> electricalTypes;
    for (std::size_t n = 0; n < pins.size(); ++n) {
        const OrderedPin& ordered = pins[n];
        const int index = static_cast<int>(n);
        VString gatePinName(ordered.pinName);
        VString gateName;
        if (ordered.entry) {
            gatePinName = VString(ordered.entry->gatePinName);
            if (ordered.entry->gatePinNumber != -1) {
                gateName = gateCount == 0 ? VString(L"A") : VString(ordered.entry->gateName);
                equivalenceNumbers[index] = ordered.entry->gatePinNumber;
            }
        }
        *block << (io::CBlock_func(L"Terminal")
                   << gatePinName << VString(ordered.terminalName)
                   << VString(std::to_string(ordered.pin->value1)) << gateName << gateName.empty());
        context.terminalIndex[ordered.pinName] = index;
        if (const std::string_view type = logical.pinType(ordered.pinName); !type.empty()) {
            electricalTypes[index] = VString(type);
        }
    }

    io::CBlockPtr properties(L"Properties");
    for (const std::string& text : component.properties) {
        Property property;
        if (!splitProperty(text, property)) {
            continue;
        }
        bool electrical = false;
        for (const char* name : {"Resistance", "Capacitance", "Inductance", "Parasitic_Resistance",
                                 "Parasitic_Capacitance", "Parasitic_Inductance", "R", "C", "L"}) {
            electrical = electrical || equalIgnoringCase(property.name, name);
        }
        if (!electrical) {
            *properties << textProp(VString(property.name), VString(property.value));
        }
    }
    for (const auto& [index, number] : equivalenceNumbers) {
        *properties << (io::CBlock_func(L"NumberProp")
                        << VString::Formatted(L"Equivalence Number[%d]", index) << number << true);
    }
    for (const auto& [index, type] : electricalTypes) {
        *properties << textProp(VString::Formatted(L"Electrical Type[%d]", index), type);
    }
    *properties << textProp(L"DEVICE_TYPE", VString(withoutApostrophes(component.text4)));
    *block << properties;
    return block;
}

}  // namespace

io::CBlockPtr buildComponents(const BoardModel& model, DocumentContext& context) {
    io::CBlockPtr components(L"Components");
    io::CBlockPtr board(context.boardName);
    *board << (io::CBlock_func(L"CompDef")
               << L"" << context.boardName << L"" << L"U" << 1 << context.boardName);
    *components << board;

    const LogicalPins logical(model);
    int n = 0;
    for (const MentorElement* element : model.elements) {
        if (const Component* component = element->asComponent()) {
            const VString blockName = VString::Formatted(L"Component%d", n++);
            context.componentDefinitions[component->name] = blockName;
            *components << componentDefinition(*component, logical, blockName, context);
        }
    }
    return components;
}

io::CBlockPtr buildSchematicData(const BoardModel&, DocumentContext&) {
    return io::CBlockPtr(L"SchematicData");
}

io::CBlockPtr buildNetlist(const BoardModel& model, DocumentContext& context) {
    io::CBlockPtr netlist(L"Netlist");
    for (const MentorElement* element : model.elements) {
        const Component* component = element->asComponent();
        if (!component) {
            continue;
        }
        io::CBlockPtr compinst(L"Compinst");
        const auto definition = context.componentDefinitions.find(component->name);
        *compinst << (io::CBlock_func(VString(component->name))
                      << (definition == context.componentDefinitions.end() ? VString()
                                                                           : definition->second));
        io::CBlockPtr properties(L"Properties");
        for (const std::string& text : component->properties) {
            Property property;
            if (!splitProperty(text, property)) {
                continue;
            }
            const wchar_t* name = electricalName(property.name, component->name);
            if (!name) {
                continue;
            }
            if (equalIgnoringCase(property.value, "DNF")
                || equalIgnoringCase(property.value, "DONOTFIT")) {
                *properties << (io::CBlock_func(L"CheckboxProp") << L"ACTIVATE" << false);
            }
            appendNumberProp(*properties, name, property.value);
        }
        *compinst << properties;
        if (!component->text2.empty()) {
            *compinst << textProp(L"PART_NUMBER", VString(component->text2));
        }
        *netlist << compinst;
    }

    std::set<std::string> written;
    for (const MentorElement* element : model.elements) {
        const Net* net = element->asNet();
        if (!net) {
            continue;
        }
        io::CBlockPtr block(L"Net");
        *block << (io::CBlock_func(VString(net->name)) << L"Signal");
        for (const NetPin* pin : net->pins) {
            const std::string pinName(withoutQuotes(pin->pinRef));
            const auto index = context.terminalIndex.find(pinName);
            if (index == context.terminalIndex.end()) {
                // No written component has this pin, so there is no terminal to connect.
                context.netPinsWithoutTerminal.add(pinName);
                continue;
            }
            // U1-3 is the component U1 and its terminal index: U1.2.
            std::string connection = pinName.substr(0, pinName.rfind('-'));
            connection += '.';
            connection += std::to_string(index->second);
            *block << io::CBlock_named_value(L"NetPin", io::CBlock_value(VString(connection)));
        }
        if (!net->properties.empty()) {
            io::CBlockPtr properties(L"Properties");
            for (const std::string& text : net->properties) {
                Property property;
                if (splitProperty(text, property)) {
                    *properties << textProp(VString(property.name), VString(property.value));
                }
            }
            *block << properties;
        }
        *netlist << block;
        written.insert(net->name);
    }
    // Nets that only the traces file names: routed copper without pins.
    for (const LayoutNet* layoutNet : model.layoutElements) {
        if (written.insert(layoutNet->name).second) {
            io::CBlockPtr block(L"Net");
            *block << (io::CBlock_func(VString(layoutNet->name)) << L"Signal");
            *netlist << block;
        }
    }
    return netlist;
}
