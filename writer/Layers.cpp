#include "writer/Layers.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <map>
#include <vector>

#include "mentor/DrawnShape.h"
#include "writer/DocumentContext.h"

namespace {

bool isDielectric(const VString& type) {
    return type.CompareNoCase(VString(L"Dielectric")) == 0;
}

bool isBondLayer(const MentorBS::BoardModel& model, std::string_view layerName) {
    return std::find(model.bondLayers.begin(), model.bondLayers.end(), layerName)
           != model.bondLayers.end();
}

io::CBlock_func layerItem(const VString& name, const VString& type, const wchar_t* position) {
    return io::CBlock_func(L"Layer") << name << type << position;
}

io::CBlock_func stackupItem(const VString& name, const VString& type, const wchar_t* position,
                            double thickness, const wchar_t* material) {
    return io::CBlock_func(L"StackupLayer") << name << type << position << thickness << material;
}

/// Writes stackup layers into one `Layers` block and puts a generated dielectric between
/// two layers when neither of them is a dielectric, so that metal and insulator alternate
/// as they do in a board.
class StackupWriter {
public:
    StackupWriter(io::CBlock& block, double micrometre)
        : m_block(block), m_micrometre(micrometre) {}

    /// Writes the generated dielectric that must precede a layer of this type, if any.
    void separateFrom(const VString& type) {
        if (m_previousIsMetal && !isDielectric(type)) {
            ++m_dielectrics;
            m_block << stackupItem(VString::Formatted(L"VELDIE_%d", m_dielectrics),
                                   VString(L"Dielectric"), L"neither", 120 * m_micrometre,
                                   L"FR4_epoxy");
        }
    }
    void write(const std::string& name, const VString& type, const wchar_t* position,
               double thickness, const wchar_t* material) {
        m_block << stackupItem(VString(name), type, position, thickness, material);
    }
    void setPreviousIsMetal(bool metal) { m_previousIsMetal = metal; }

private:
    io::CBlock& m_block;
    double m_micrometre;
    bool m_previousIsMetal = false;
    int m_dielectrics = 0;
};

double thicknessOf(const MentorBS::BoardModel& model, const DocumentContext& context,
                   std::string_view layerName) {
    const std::string* key = layerKey(model, layerName);
    const auto record =
        context.layerRecords.find(key ? std::string_view(*key) : std::string_view());
    if (record == context.layerRecords.end()) {
        return 0.0;
    }
    // A thickness of 1 in the layer file is one mil, 25.4 micrometres.
    const int thickness = record->second->field2;
    return thickness == 1 ? 25.4 * oneMicrometre(context) : static_cast<double>(thickness);
}

// Layer names that end in "2" are the bottom twins of drawing layers (SILKSCREEN_2).
bool isBottomLayerName(std::string_view name) {
    return !name.empty() && name.back() == '2';
}

}  // namespace

io::CBlockPtr buildMaterials(const MentorBS::BoardModel&, DocumentContext&) {
    return io::CBlockPtr(L"Materials");
}

const std::string* layerKey(const MentorBS::BoardModel& model, std::string_view layerName) {
    for (const auto& [key, name] : model.xrfToLayerName) {
        if (name == layerName) {
            return &key;
        }
    }
    return nullptr;
}

std::string outputTypeOfType(DocumentContext& context, const std::string& boardStationType) {
    const std::string_view type(boardStationType);
    for (const auto& [key, outputType] : context.layerTypeByName) {
        if (key == type || (type.size() >= 2 && key == type.substr(0, type.size() - 2))
            || (type.size() > 3 && key == type.substr(0, type.size() - 3))) {
            return outputType;
        }
    }
    context.layerTypeByName.emplace(boardStationType, "User");
    return "User";
}

VString outputTypeOfLayer(const MentorBS::BoardModel& model, DocumentContext& context,
                          std::string_view layerName) {
    if (isBondLayer(model, layerName)) {
        return VString(L"Wirebond");
    }
    const std::string* key = layerKey(model, layerName);
    return VString(outputTypeOfType(context, key ? *key : std::string("DIELECTRIC")));
}

double oneMicrometre(const DocumentContext& context) {
    std::string_view unit = context.defaultUnits;
    if (!unit.empty() && unit.back() == '.') {
        unit.remove_suffix(1);
    }
    double micrometre = 0.000001;
    if (unit == "mm") {
        micrometre = 0.001;
    } else if (unit == "cm") {
        micrometre = 0.0001;
    } else if (unit == "in") {
        micrometre = 0.00004;
    } else if (unit == "mil") {
        micrometre = 0.04;
    }
    return context.unitScale == 0.0 ? micrometre : micrometre * context.unitScale;
}

double layerThickness(const MentorBS::BoardModel& model, const DocumentContext& context,
                      std::string_view layerName) {
    return thicknessOf(model, context, layerName);
}

std::string outerMetalLayer(const MentorBS::BoardModel& model, DocumentContext& context,
                            const VString& side) {
    const bool top = side == VString(L"Top");
    if (!top && side != VString(L"Bottom")) {
        return {};
    }
    std::string outer;
    for (const auto& [number, name] : model.techLayers) {
        if (outputTypeOfLayer(model, context, name) == VString(L"Wirebond")) {
            continue;
        }
        outer = name;
        if (top) {
            break;
        }
    }
    return outer;
}

io::CBlockPtr buildFootprintLayers(const MentorBS::BoardModel& model, DocumentContext& context,
                                   const MentorBS::Geometry& geometry,
                                   const std::vector<const MentorBS::MentorElement*>& drawings) {
    io::CBlockPtr layers(L"Layers");
    io::CBlock& block = *layers;
    block << io::CBlock_named_value(L"DefaultUnits",
                                    io::CBlock_value(VString(context.defaultUnits)));
    block << layerItem(VString(L"COMPONENT_BODY_OUTLINE"), VString(L"Assembly"), L"top");
    context.footprintLayers.emplace_back("COMPONENT_BODY_OUTLINE");

    // Drawing layers of the footprint. Copper is described by the stackup, and bottom
    // layers follow it.
    std::vector<std::string> seen = {"COMPONENT_BODY_OUTLINE", "POWER", "SIGNAL"};
    std::map<std::string, std::string> deferred;
    const std::string_view geometryName = withoutQuotes(geometry.name);
    for (const MentorBS::MentorElement* element : drawings) {
        const MentorBS::DrawnShape shape = MentorBS::drawnShape(*element);
        if (!shape.layer || *shape.ownerKind != "component"
            || withoutQuotes(*shape.ownerName) != geometryName) {
            continue;
        }
        const std::string& layer = *shape.layer;
        // A shape whose layer token held nothing names no layer.
        if (layer.empty() || std::find(seen.begin(), seen.end(), layer) != seen.end()) {
            continue;
        }
        const std::string type = outputTypeOfType(context, layer);
        if (equalIgnoringCase(type, "Signal") || equalIgnoringCase(type, "MetalizedSignal")) {
            continue;
        }
        if (isBottomLayerName(layer)) {
            deferred.emplace(layer, type);
        } else {
            block << layerItem(VString(layer), VString(type), L"top");
            seen.push_back(layer);
            context.footprintLayers.push_back(layer);
        }
    }
    for (const std::string& bond : model.bondLayers) {
        block << layerItem(VString(bond), VString(L"Wirebond"), L"top");
    }

    StackupWriter stackup(block, oneMicrometre(context));
    auto entry = model.techLayers.begin();
    while (entry != model.techLayers.end() && isBondLayer(model, entry->second)) {
        ++entry;
    }
    if (entry != model.techLayers.end()) {
        const std::string& first = entry->second;
        stackup.write(first, outputTypeOfLayer(model, context, first), L"top",
                      thicknessOf(model, context, first), L"copper");
        stackup.setPreviousIsMetal(true);
        const auto last = std::prev(model.techLayers.end());
        while (entry != last) {
            ++entry;
            const std::string& name = entry->second;
            VString type = outputTypeOfLayer(model, context, name);
            // Planes are copper like any signal layer inside a footprint.
            if (type.CompareNoCase(VString(L"MetalizedSignal")) == 0) {
                type = VString(L"Signal");
            }
            stackup.separateFrom(type);
            const double thickness = thicknessOf(model, context, name);
            if (entry == last) {
                stackup.write(name, type, L"bottom", thickness, L"copper");
            } else if (isDielectric(type)) {
                stackup.write(name, type, L"neither", thickness, L"FR4_epoxy");
                stackup.setPreviousIsMetal(false);
            } else {
                stackup.write(name, type, L"neither", thickness, L"copper");
                stackup.setPreviousIsMetal(true);
            }
        }
    }

    for (const auto& [layer, type] : deferred) {
        block << layerItem(VString(layer), VString(type), L"bottom");
        context.footprintLayers.push_back(layer);
    }
    return layers;
}

io::CBlockPtr buildLayoutLayers(const MentorBS::BoardModel& model, DocumentContext& context) {
    struct Record {
        const wchar_t* position;
        bool stackupLayer;
        std::string name;
        VString type;
    };
    std::vector<Record> topRecords;
    std::vector<Record> stackupRecords;
    std::vector<Record> bottomRecords;

    std::vector<std::string> drawingLayers = context.footprintLayers;
    std::sort(drawingLayers.begin(), drawingLayers.end());
    drawingLayers.erase(std::unique(drawingLayers.begin(), drawingLayers.end()),
                        drawingLayers.end());
    for (const std::string& name : drawingLayers) {
        const std::string_view base = name.size() >= 2
                                          ? std::string_view(name).substr(0, name.size() - 2)
                                          : std::string_view();
        const auto row = std::find_if(
            context.layerTypeByName.begin(), context.layerTypeByName.end(), [&](const auto& row) {
                return row.first == name || (name.size() >= 2 && row.first == base);
            });
        if (row == context.layerTypeByName.end()) {
            continue;
        }
        if (isBottomLayerName(name)) {
            bottomRecords.push_back({L"bottom", false, name, VString(row->second)});
        } else {
            topRecords.push_back({L"top", false, name, VString(row->second)});
        }
    }

    // Wirebond layers sit outside the stackup: they take no position of their own.
    long index = 0;
    long lastIndex = static_cast<long>(model.techLayers.size()) - 1;
    for (const auto& [number, name] : model.techLayers) {
        const VString type = outputTypeOfLayer(model, context, name);
        if (type == VString(L"Wirebond")) {
            topRecords.push_back({L"top", false, name, type});
            --index;
            --lastIndex;
        } else {
            const wchar_t* position =
                index == 0 ? L"top" : (index == lastIndex ? L"bottom" : L"neither");
            (index == 0 ? topRecords : stackupRecords).push_back({position, true, name, type});
        }
        ++index;
    }

    io::CBlockPtr layers(L"Layers");
    io::CBlock& block = *layers;
    for (const Record& record : topRecords) {
        if (record.stackupLayer) {
            block << stackupItem(VString(record.name), record.type, record.position,
                                 thicknessOf(model, context, record.name), L"Copper");
        } else {
            block << layerItem(VString(record.name), record.type, record.position);
        }
    }
    StackupWriter stackup(block, oneMicrometre(context));
    stackup.setPreviousIsMetal(true);
    for (const Record& record : stackupRecords) {
        stackup.separateFrom(record.type);
        const bool dielectric = isDielectric(record.type);
        stackup.write(record.name, record.type, record.position,
                      thicknessOf(model, context, record.name),
                      dielectric ? L"FR4_epoxy" : L"Copper");
        stackup.setPreviousIsMetal(!dielectric);
    }
    for (const Record& record : bottomRecords) {
        block << layerItem(VString(record.name), record.type, L"bottom");
    }
    return layers;
}
