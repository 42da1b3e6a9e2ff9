#include "writer/PadStacks.h"

#include <algorithm>
#include <map>
#include <vector>

#include "writer/DocumentContext.h"
#include "writer/Layers.h"
#include "writer/PadShapes.h"

void PadUses::Use::add(const MentorBS::CompPin& pin) {
    if (!used) {
        firstLayer = pin.value1;
        used = true;
    }
    // Pad layer 1 is the pin's own side: a pin on side 2 with its pad on layer 1 sits on
    // the bottom of the board, with its pad on any other layer on the top.
    if (pin.value2 == 1) {
        (pin.value1 == 1 ? top : bottom) = true;
    } else if (pin.value2 == 2) {
        (pin.value1 == 1 ? bottom : top) = true;
    }
}

PadUses::PadUses(const MentorBS::BoardModel& model) {
    for (const MentorBS::MentorElement* element : model.elements) {
        if (const MentorBS::Component* component = element->asComponent()) {
            for (const MentorBS::CompPin* pin : component->pins) {
                m_uses[withoutQuotes(pin->text1)].add(*pin);
            }
        }
    }
}

const PadUses::Use& PadUses::of(std::string_view padName) const {
    static const Use k_Unused;
    const auto found = m_uses.find(withoutQuotes(padName));
    return found == m_uses.end() ? k_Unused : found->second;
}

std::string PadUses::side(std::string_view padName) const {
    const Use& use = of(padName);
    if (use.top && use.bottom) {
        return "BOTH";
    }
    return use.bottom ? "BOT" : "TOP";
}

int PadUses::firstLayer(std::string_view padName) const {
    return of(padName).firstLayer;
}

namespace {

/// Where a pad is placed in a padstack: its name and offsets.
struct Placement {
    std::string name;
    double x = 0;
    double y = 0;
};

/// The pad shape itself, at its own offsets.
Placement placedShape(const MentorBS::Pad& pad, const MentorBS::PadShape& shape) {
    return {padShapeName(pad, shape), shape.centerX, shape.centerY};
}

io::CBlock_func entry(const wchar_t* function, const Placement& placement) {
    return io::CBlock_func(function)
           << VString(placement.name) << placement.x << placement.y << 0.0;
}

/// The drill of a through pad; a pad without one gets three quarters of its first
/// shape's narrowest size.
double holeDiameter(const MentorBS::Pad& pad) {
    if (pad.holeValue != 0.0 || pad.shapes.empty()) {
        return pad.holeValue;
    }
    const MentorBS::PadShape& first = *pad.shapes.front();
    if (first.shapeKind == "RECTANGLE") {
        return 0.75 * std::min(padShapeSize(first, 0), padShapeSize(first, 1));
    }
    return 0.75 * padShapeSize(first, 0);
}

/// The stackup positions, top first, that a blind pin pad spans; every layer for other
/// pads, and for a span that does not name two stackup layers.
struct BlindSpan {
    long first = 0;
    long last = -1;
    bool spansAll = true;

    bool contains(long position) const {
        return spansAll || (first <= position && position <= last);
    }
};

BlindSpan blindSpanOf(const MentorBS::BoardModel& model, const MentorBS::Pad& pad) {
    BlindSpan span;
    if (pad.kind != "PIN" || pad.holeType != "Blind" || pad.properties.size() < 2) {
        return span;
    }
    const auto positionOf = [&](std::string_view layer) {
        long position = 0;
        for (const auto& [number, name] : model.techLayers) {
            if (name == withoutQuotes(layer)) {
                return position;
            }
            ++position;
        }
        return -1L;
    };
    const long from = positionOf(pad.properties[0]);
    const long to = positionOf(pad.properties[1]);
    if (from >= 0 && to >= 0) {
        span = {std::min(from, to), std::max(from, to), false};
    }
    return span;
}

bool isStackupMetal(const VString& type) {
    for (const wchar_t* metal : {L"Signal", L"MetalizedSignal", L"Power", L"Wirebond"}) {
        if (type.CompareNoCase(VString(metal)) == 0) {
            return true;
        }
    }
    return false;
}

void writeThroughPad(const MentorBS::BoardModel& model, DocumentContext& context,
                     const MentorBS::Pad& pad, io::CBlock& stack) {
    stack << (io::CBlock_func(L"Hole") << holeDiameter(pad));
    const bool hasPolygons = context.pinViaPolygons.count(pad.name) > 0;
    const BlindSpan span = blindSpanOf(model, pad);
    // Wirebond layers take no stackup position: the index and the last index both step
    // back over them.
    long index = 0;
    long lastIndex = static_cast<long>(model.techLayers.size()) - 1;
    long position = 0;
    for (const auto& stackupEntry : model.techLayers) {
        const std::string& layer = stackupEntry.second;
        const VString type = outputTypeOfLayer(model, context, layer);
        if (!isStackupMetal(type)) {
            ++index;
            ++position;
            continue;
        }
        const bool wirebond = type.CompareNoCase(VString(L"Wirebond")) == 0;
        const bool atTop = index == 0;
        const bool atBottom = !atTop && index == lastIndex;
        const wchar_t* positionFunction = atTop ? L"Top" : (atBottom ? L"Bottom" : L"Signal");
        const std::string_view positionWord = atTop ? "Top" : (atBottom ? "Bottom" : "Signal");
        const auto shape = std::find_if(pad.shapes.begin(), pad.shapes.end(), [&](const auto* s) {
            return withoutQuotes(s->text1) == layer;
        });
        if (shape == pad.shapes.end() || !span.contains(position)) {
            const Placement nullPad{"NULLPAD"};
            stack << entry(wirebond ? L"Wirebond" : positionFunction, nullPad);
        } else {
            Placement placement;
            if (hasPolygons && !wirebond) {
                // A polygon carries its own geometry: it is placed at the pad's origin.
                placement.name = pinViaPolygonName(model, context, layer, pad.name, positionWord);
            }
            if (placement.name.empty()) {
                placement = placedShape(pad, **shape);
            }
            if (wirebond) {
                stack << entry(L"Wirebond", placement);
            } else {
                // The "_ANTI" twin is the clearance the pad leaves in a plane it does not
                // connect to; it sits where the pad's own shape sits.
                io::CBlock_func nonConnect(L"NonConnect");
                const auto stored = context.storedNames.find(*shape);
                if (stored != context.storedNames.end() && !stored->second.empty()) {
                    nonConnect << VString(stored->second) << (*shape)->centerX << (*shape)->centerY
                               << 0.0;
                }
                stack << (entry(positionFunction, placement) << std::move(nonConnect));
            }
        }
        if (wirebond) {
            --index;
            --lastIndex;
        }
        ++index;
        ++position;
    }
}

/// Writes the `Top` and `Bottom` entries of a surface pad into its block or its "_XTRA"
/// twin; returns whether the twin is needed.
bool writeSurfacePad(const MentorBS::BoardModel& model, DocumentContext& context,
                     const MentorBS::Pad& pad, const PadUses& uses, io::CBlock& stack,
                     io::CBlock& extra) {
    std::string side = uses.side(pad.name);
    int count = 1;
    if (!model.ruleBoard) {
        // A single-sided board has surface pads on its top only.
        if (side == "BOT") {
            side = "TOP";
        }
    } else {
        count = uses.firstLayer(pad.name);
    }
    const bool hasPolygons = context.pinViaPolygons.count(pad.name) > 0;
    const auto placementOn = [&](const wchar_t* sideWord, const MentorBS::PadShape* shape) {
        Placement placement;
        if (hasPolygons) {
            const VString wideSide(sideWord);
            placement.name =
                pinViaPolygonName(model, context, outerMetalLayer(model, context, wideSide),
                                  pad.name, wideSide.ToNarrow());
        }
        if (placement.name.empty()) {
            placement = shape ? placedShape(pad, *shape) : Placement{"NULLPAD"};
        }
        return placement;
    };
    if (side == "TOP" || side == "BOTH") {
        const Placement top =
            placementOn(L"Top", pad.shapes.empty() ? nullptr : pad.shapes.front());
        (count == 1 || (count > 1 && side == "TOP") ? stack : extra) << entry(L"Top", top);
    }
    if (side == "BOT" || side == "BOTH") {
        const Placement bottom =
            placementOn(L"Bottom", pad.shapes.empty() ? nullptr : pad.shapes.back());
        (count == 1 ? extra : stack) << entry(L"Bottom", bottom);
    }
    return side == "BOTH";
}

}  // namespace

std::string pinViaPolygonName(const MentorBS::BoardModel& model, DocumentContext& context,
                              const std::string& layerName, const std::string& padName,
                              std::string_view position) {
    const auto found = context.pinViaPolygons.find(padName);
    if (found == context.pinViaPolygons.end()) {
        return {};
    }
    const std::vector<const MentorBS::Initial*>& polygons = found->second;
    const auto first = [&](auto matches) -> std::string {
        for (const MentorBS::Initial* polygon : polygons) {
            if (matches(std::string_view(polygon->layer))) {
                return padName + "_" + polygon->layer;
            }
        }
        return {};
    };
    std::string name;
    if (const std::string* key = layerKey(model, layerName)) {
        name = first([&](std::string_view layer) { return layer == *key; });
    }
    if (name.empty() && (position == "Top" || position == "Bottom")) {
        const std::string_view outerPad = position == "Top" ? "PAD_1" : "PAD_2";
        name = first([&](std::string_view layer) { return layer == outerPad; });
    }
    if (name.empty() && layerName == outerMetalLayer(model, context, VString(L"Top"))) {
        name = first([](std::string_view layer) { return layer.starts_with("PAD"); });
    }
    if (name.empty()) {
        name = first([](std::string_view layer) { return layer.starts_with("SIGNAL"); });
    }
    return name;
}

io::CBlockPtr buildPadStacks(const MentorBS::BoardModel& model, DocumentContext& context) {
    io::CBlockPtr padStacks(L"PadStacks");
    const PadUses uses(model);
    for (const MentorBS::MentorElement* element : model.elements) {
        const MentorBS::Pad* pad = element->asPad();
        if (!pad) {
            continue;
        }
        io::CBlockPtr stack{VString(pad->name)};
        if (pad->holeType != "Surf") {
            writeThroughPad(model, context, *pad, *stack);
        } else {
            io::CBlockPtr extra{VString(pad->name + "_XTRA")};
            if (writeSurfacePad(model, context, *pad, uses, *stack, *extra)) {
                *padStacks << extra;
            }
        }
        *padStacks << stack;
    }
    return padStacks;
}
