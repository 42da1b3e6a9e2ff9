#include "corelib/VnfSummary.h"

#include <memory>
#include <set>
#include <string_view>
#include <type_traits>
#include <variant>

#include "corelib/Block.h"

namespace io {

namespace {

/// Calls `each` for every child block of `block` named `name`, in order.
template <typename F>
void forEachBlock(const CBlock& block, std::wstring_view name, F&& each) {
    for (const CBlockItem& item : block.items()) {
        if (const auto* child = std::get_if<std::shared_ptr<const CBlock>>(&item)) {
            if ((*child)->name() == name) {
                each(**child);
            }
        }
    }
}

/// Calls `each` for every function item of `block`, in order.
template <typename F>
void forEachFunc(const CBlock& block, F&& each) {
    for (const CBlockItem& item : block.items()) {
        if (const auto* func = std::get_if<std::shared_ptr<const CBlock_func>>(&item)) {
            each(**func);
        }
    }
}

/// How many child blocks `block` holds, whatever their names (padstacks and footprints are
/// named after the pads and geometries they describe).
long long childBlocks(const CBlock& block) {
    long long count = 0;
    for (const CBlockItem& item : block.items()) {
        count += std::holds_alternative<std::shared_ptr<const CBlock>>(item) ? 1 : 0;
    }
    return count;
}

/// Whether a function item has the name `ascii`. The packed name holds an ASCII name's
/// characters as they are, so it is compared without unpacking.
bool isNamed(const CBlock_func& func, std::string_view ascii) {
    return func.packedName().bytes() == ascii;
}

/// The text argument at `index`; empty when that argument is missing or no text.
std::wstring textArgument(const CBlock_func& func, std::size_t index) {
    std::wstring text;
    std::size_t at = 0;
    func.visitArguments([&](const auto& value) {
        if constexpr (std::is_same_v<std::decay_t<decltype(value)>, CBlock_func::PackedText>) {
            if (at == index) {
                text = value.wide();
            }
        }
        ++at;
    });
    return text;
}

/// The function item at argument `index`; null when that argument is missing or no item.
const CBlock_func* funcArgument(const CBlock_func& func, std::size_t index) {
    const CBlock_func* found = nullptr;
    std::size_t at = 0;
    func.visitArguments([&](const auto& value) {
        if constexpr (std::is_same_v<std::decay_t<decltype(value)>, CBlock_func>) {
            if (at == index) {
                found = &value;
            }
        }
        ++at;
    });
    return found;
}

/// The value of the named value `name` of a block; empty when it has none.
std::wstring namedValue(const CBlock& block, std::wstring_view name) {
    for (const CBlockItem& item : block.items()) {
        if (const auto* named = std::get_if<CBlock_named_value>(&item)) {
            if (named->name() == name) {
                return named->value();
            }
        }
    }
    return {};
}

/// The layers the layer list types "MetalizedSignal": the plane layers, on which the
/// writer puts plane shapes and never areas.
std::set<std::wstring> planeLayers(const CBlock& layout) {
    std::set<std::wstring> layers;
    forEachBlock(layout, L"Layers", [&](const CBlock& list) {
        // Layer(name, type, side) and StackupLayer(name, type, side, thickness, material).
        forEachFunc(list, [&](const CBlock_func& layer) {
            if (textArgument(layer, 1) == L"MetalizedSignal") {
                layers.insert(textArgument(layer, 0));
            }
        });
    });
    return layers;
}

void summarizeLayoutNet(const CBlock& net, const std::set<std::wstring>& planes,
                        VnfSummary& summary) {
    const auto countShape = [&](const std::wstring& layer) {
        ++(planes.contains(layer) ? summary.planeShapes : summary.areas);
    };
    for (const CBlockItem& item : net.items()) {
        if (const auto* func = std::get_if<std::shared_ptr<const CBlock_func>>(&item)) {
            const CBlock_func& f = **func;
            if (isNamed(f, "Trace")) {
                ++summary.traces;
            } else if (isNamed(f, "Via")) {
                ++summary.vias;
            } else if (isNamed(f, "Graphics")) {
                // Graphics(layer, Path) is a test-point marker; Graphics(layer, Polygon or
                // Circle) a filled shape.
                const CBlock_func* drawn = funcArgument(f, 1);
                if (drawn && isNamed(*drawn, "Path")) {
                    ++summary.testPointPaths;
                } else {
                    countShape(textArgument(f, 0));
                }
            }
        } else if (const auto* block = std::get_if<std::shared_ptr<const CBlock>>(&item)) {
            if ((*block)->name() == L"PolygonWithVoids") {
                countShape(namedValue(**block, L"Layer"));
                forEachBlock(**block, L"voids", [&](const CBlock& voids) {
                    summary.voids += static_cast<long long>(voids.items().size());
                });
            }
        }
    }
}

void appendCount(std::string& out, std::string_view key, long long value, bool first = false) {
    if (!first) {
        out += ',';
    }
    out += '"';
    out += key;
    out += "\":";
    out += std::to_string(value);
}

}  // namespace

VnfSummary summarizeVnf(const CBlock& root) {
    VnfSummary summary;
    forEachBlock(root, L"PadShapes", [&](const CBlock& shapes) {
        summary.padShapes += static_cast<long long>(shapes.items().size());
    });
    forEachBlock(root, L"PadStacks",
                 [&](const CBlock& stacks) { summary.padStacks += childBlocks(stacks); });
    forEachBlock(root, L"Footprints",
                 [&](const CBlock& footprints) { summary.footprints += childBlocks(footprints); });
    forEachBlock(root, L"LayoutData", [&](const CBlock& data) {
        forEachBlock(data, L"LayoutCell", [&](const CBlock& cell) {
            forEachBlock(cell, L"Netlist", [&](const CBlock& netlist) {
                forEachBlock(netlist, L"Net", [&](const CBlock&) { ++summary.nets; });
            });
            forEachBlock(cell, L"Layout", [&](const CBlock& layout) {
                const std::set<std::wstring> planes = planeLayers(layout);
                forEachBlock(layout, L"LayoutComponents", [&](const CBlock& components) {
                    forEachBlock(components, L"LayoutComp",
                                 [&](const CBlock&) { ++summary.components; });
                });
                forEachBlock(layout, L"LayoutNets", [&](const CBlock& nets) {
                    forEachBlock(nets, L"LayoutNet", [&](const CBlock& net) {
                        summarizeLayoutNet(net, planes, summary);
                    });
                });
            });
        });
    });
    return summary;
}

std::string vnfSummaryJson(const VnfSummary& summary) {
    std::string out = "{";
    appendCount(out, "pad_shapes", summary.padShapes, true);
    appendCount(out, "padstacks", summary.padStacks);
    appendCount(out, "footprints", summary.footprints);
    appendCount(out, "components", summary.components);
    appendCount(out, "nets", summary.nets);
    appendCount(out, "traces", summary.traces);
    appendCount(out, "vias", summary.vias);
    appendCount(out, "test_point_paths", summary.testPointPaths);
    appendCount(out, "plane_shapes", summary.planeShapes);
    appendCount(out, "voids", summary.voids);
    appendCount(out, "areas", summary.areas);
    out += '}';
    return out;
}

}  // namespace io
