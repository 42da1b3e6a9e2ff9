#include "prepare/PowerNets.h"

#include <algorithm>
#include <charconv>
#include <string>
#include <string_view>
#include <vector>

#include "corelib/Platform.h"
#include "corelib/TokenStream.h"
#include "corelib/VString.h"

namespace {

/// The net names of every 'POWER_NET_NAMES' attribute, in order. The value is a list of
/// quoted names separated by commas ('GND', 'VCC'); it is read from its second character
/// on, blanks are dropped, and a quote or a comma ends a name.
std::vector<std::string> powerNetNames(const MentorBS::BoardModel& model) {
    std::vector<std::string> names;
    for (const MentorBS::MentorElement* element : model.elements) {
        const MentorBS::BoardAttribute* attribute = element->asBoardAttribute();
        if (!attribute || attribute->name != "'POWER_NET_NAMES'") {
            continue;
        }
        std::string name;
        for (std::size_t i = 1; i < attribute->value.size(); ++i) {
            const char c = attribute->value[i];
            if (c == ' ') {
                continue;
            }
            if (c == '\'' || c == ',') {
                if (!name.empty()) {
                    names.push_back(std::move(name));
                }
                name.clear();
            } else {
                name += c;
            }
        }
        // A value cut short before its closing quote still names its last net.
        if (!name.empty()) {
            names.push_back(std::move(name));
        }
    }
    return names;
}

/// The XRF name of the first cross-reference (in XRF name order) to `layerName`, or null.
const std::string* xrfNameOf(const MentorBS::BoardModel& model, const std::string& layerName) {
    for (const auto& [xrfName, mappedName] : model.xrfToLayerName) {
        if (mappedName == layerName) {
            return &xrfName;
        }
    }
    return nullptr;
}

/// Whether a layer is a power layer: its XRF name's group (the part before its first "_")
/// is POWER.
bool isPowerLayer(const MentorBS::BoardModel& model, const std::string& layerName) {
    const std::string* xrfName = xrfNameOf(model, layerName);
    return xrfName && xrfName->substr(0, xrfName->find('_')) == "POWER";
}

/// The second "_"-separated token of an XRF name as a whole base-10 number ("POWER_2"
/// gives 2), or 0 when there is none.
int planeNumber(std::string_view xrfName) {
    std::vector<std::string_view> tokens;
    while (!xrfName.empty()) {
        const std::size_t end = xrfName.find('_');
        if (end != 0) {
            tokens.push_back(xrfName.substr(0, end));
        }
        xrfName.remove_prefix(end == std::string_view::npos ? xrfName.size() : end + 1);
    }
    if (tokens.size() < 2) {
        return 0;
    }
    const std::string_view token = tokens[1];
    int number = 0;
    const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), number);
    return error == std::errc() && end == token.data() + token.size() ? number : 0;
}

}  // namespace

void mapPowerNets(MentorBS::BoardModel& model, io::CAbstract_ostream& log) {
    const std::vector<std::string> names = powerNetNames(model);
    if (names.empty()) {
        return;
    }
    std::size_t powerLayers = 0;
    for (const auto& [number, layerName] : model.layerNumbers) {
        if (!isPowerLayer(model, layerName)) {
            continue;
        }
        const std::string* xrfName = xrfNameOf(model, layerName);
        if (powerLayers++ >= names.size()) {
            MessageBoxA(nullptr,
                        "The number of power/ground nets is less than the number of "
                        "power/ground layers",
                        "File I/O Error", MB_OK);
            continue;
        }
        // Planes are numbered from 1; a number past the list takes the last net. A
        // number of 0 or below names no net, and the plane stays unmapped.
        const int plane = planeNumber(*xrfName);
        if (plane > 0) {
            const std::size_t index = std::min(static_cast<std::size_t>(plane), names.size()) - 1;
            model.planeNets[layerName] = names[index];
        }
    }
    for (const auto& [layerName, netName] : model.planeNets) {
        log.WriteText(VString::Formatted(L"Physical Layer %s is mapped to power net %s",
                                         VString(layerName).c_str(), VString(netName).c_str()));
        log.EndLine();
    }
    log.EndLine();
}

std::vector<std::string> powerLayersWithoutNet(const MentorBS::BoardModel& model) {
    std::vector<std::string> layers;
    for (const auto& [number, layerName] : model.layerNumbers) {
        // The plane pass may leave an empty entry for a layer it looked up.
        const auto net = model.planeNets.find(layerName);
        if (isPowerLayer(model, layerName)
            && (net == model.planeNets.end() || net->second.empty())) {
            layers.push_back(layerName);
        }
    }
    return layers;
}
