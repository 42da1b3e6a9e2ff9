// vnfview [--layer NAME] FILE.vnf OUTDIR: draws the layout of a neutral layout file as SVG
// pictures (docs/vnfview.md): one file per layout layer and all.svg with every layer as a
// group and a legend. Items it cannot draw are skipped with one warning line each kind; a
// file that cannot be read or is not well-formed gives one line on standard error and exit
// status 1.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cwctype>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "corelib/Utf8.h"
#include "corelib/VnfText.h"
#include "tools/SvgPath.h"
#include "tools/VnfFile.h"

namespace {

using io::CBlock;
using io::CBlock_func;
using svg::Contour;
using svg::Extent;
using svg::Point;
using svg::Transform;

// ---------------------------------------------------------------------------------------
// Reading the tree

/// Each kind of skipped item once, with how often it was met.
class Warnings {
public:
    void add(const std::string& what) { ++m_counts[what]; }
    void print(const std::string& path) const {
        for (const auto& [what, count] : m_counts) {
            if (count == 1) {
                std::fprintf(stderr, "%s: warning: skipped %s\n", path.c_str(), what.c_str());
            } else {
                std::fprintf(stderr, "%s: warning: skipped %s (%zu times)\n", path.c_str(),
                             what.c_str(), count);
            }
        }
    }

private:
    std::map<std::string, std::size_t> m_counts;
};

std::string narrow(std::wstring_view text) {
    std::string out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        const auto cp = static_cast<char32_t>(c);
        utf8::append(out, utf8::isScalarValue(cp) ? cp : U'\uFFFD');
    }
    return out;
}

const CBlock* childBlock(const CBlock* block, std::wstring_view name) {
    if (!block) {
        return nullptr;
    }
    for (const io::CBlockItem& item : block->items()) {
        if (const auto* child = std::get_if<std::shared_ptr<const CBlock>>(&item)) {
            if ((*child)->name() == name) {
                return child->get();
            }
        }
    }
    return nullptr;
}

/// The block reached from `block` through children with the given names, in order.
const CBlock* blockAt(const CBlock* block, std::initializer_list<std::wstring_view> path) {
    for (const std::wstring_view name : path) {
        block = childBlock(block, name);
    }
    return block;
}

/// A block of the layout cell's layout (the components, the nets, its graphics).
const CBlock* layoutBlock(const CBlock& root, std::wstring_view name) {
    return blockAt(&root, {L"LayoutData", L"LayoutCell", L"Layout", name});
}

const std::wstring* namedValue(const CBlock& block, std::wstring_view name) {
    for (const io::CBlockItem& item : block.items()) {
        if (const auto* value = std::get_if<io::CBlock_named_value>(&item)) {
            if (value->name() == name) {
                return &value->value();
            }
        }
    }
    return nullptr;
}

/// Calls `use` with the argument at `index`, as `visitArguments` hands it, if there is one.
template <typename Use>
void atIndex(const CBlock_func& f, std::size_t index, Use&& use) {
    std::size_t at = 0;
    f.visitArguments([&](const auto& value) {
        if (at++ == index) {
            use(value);
        }
    });
}

template <typename T, typename V>
constexpr bool k_Is = std::is_same_v<std::decay_t<V>, T>;

/// An int or a finite double argument.
std::optional<double> number(const CBlock_func& f, std::size_t i) {
    std::optional<double> found;
    atIndex(f, i, [&](const auto& value) {
        if constexpr (k_Is<double, decltype(value)>) {
            if (std::isfinite(value)) {
                found = value;
            }
        } else if constexpr (k_Is<int, decltype(value)>) {
            found = value;
        }
    });
    return found;
}

std::optional<std::wstring> text(const CBlock_func& f, std::size_t i) {
    std::optional<std::wstring> found;
    atIndex(f, i, [&](const auto& value) {
        if constexpr (k_Is<CBlock_func::PackedText, decltype(value)>) {
            found = value.wide();
        }
    });
    return found;
}

std::optional<bool> flag(const CBlock_func& f, std::size_t i) {
    std::optional<bool> found;
    atIndex(f, i, [&](const auto& value) {
        if constexpr (k_Is<bool, decltype(value)>) {
            found = value;
        }
    });
    return found;
}

/// A nested item, owned by `f`, so it lives as long as the tree.
const CBlock_func* nested(const CBlock_func& f, std::size_t i) {
    const CBlock_func* found = nullptr;
    atIndex(f, i, [&](const auto& value) {
        if constexpr (k_Is<CBlock_func, decltype(value)>) {
            found = &value;
        }
    });
    return found;
}

bool equalsIgnoringCase(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size()
           && std::equal(a.begin(), a.end(), b.begin(),
                         [](wchar_t x, wchar_t y) { return std::towlower(x) == std::towlower(y); });
}

/// The `vertex` and `Arc` items of a `Polygon` or `Path`: an `Arc`(h) makes the edge from
/// the vertex before it to the next vertex an arc of height h. The third number of each
/// vertex (a path's width) goes to `widths` when asked for. False when an item is not
/// understood.
bool readContour(const CBlock_func& shape, Contour& contour, std::vector<double>* widths) {
    std::vector<const CBlock_func*> items;
    shape.visitArguments([&](const auto& value) {
        // The graphic's id and width are no items of the contour.
        if constexpr (k_Is<CBlock_func, decltype(value)>) {
            items.push_back(&value);
        }
    });
    for (const CBlock_func* item : items) {
        if (item->name() == L"vertex") {
            const auto x = number(*item, 0);
            const auto y = number(*item, 1);
            if (!x || !y) {
                return false;
            }
            contour.points.push_back({*x, *y});
            contour.heights.push_back(0.0);
            if (widths) {
                widths->push_back(number(*item, 2).value_or(0.0));
            }
        } else if (item->name() == L"Arc") {
            const auto h = number(*item, 0);
            if (!h || contour.points.empty()) {
                return false;
            }
            contour.heights.back() = *h;
        } else {
            return false;
        }
    }
    return true;
}

/// Centre and radius of a `Circle`(id, width, x, y, diameter); none for a circle of no
/// size, and none with a warning when a number is missing.
std::optional<std::pair<Point, double>> readCircle(const CBlock_func& shape, Warnings& warnings) {
    const auto x = number(shape, 2);
    const auto y = number(shape, 3);
    const auto diameter = number(shape, 4);
    if (!x || !y || !diameter) {
        warnings.add("a Circle graphic without its centre and diameter");
        return std::nullopt;
    }
    if (*diameter <= 0.0) {
        return std::nullopt;
    }
    return std::pair(Point{*x, *y}, *diameter / 2.0);
}

/// A closed contour without the vertex that repeats the first one.
void dropClosingVertex(Contour& contour) {
    if (contour.points.size() > 1 && contour.points.back() == contour.points.front()) {
        contour.points.pop_back();
        contour.heights.pop_back();
    }
}

// ---------------------------------------------------------------------------------------
// Layers and their pictures

const char* const k_Background = "#141a20";
const char* const k_OutlineColour = "#f0f0f0";

/// One layout layer: what its picture holds, in drawing order.
struct Layer {
    std::wstring name;
    std::wstring type;
    int metalIndex = -1;  ///< position among the copper layers of the stackup, or -1
    bool plane = false;   ///< a plane layer: pads are left out, drills drawn
    std::string colour;
    std::string fileName;
    std::string areas;       ///< filled copper: one element per net
    std::string traces;      ///< stroked copper: one element per net and width
    std::string padPath;     ///< pad outlines as one filled path
    std::string padCircles;  ///< round pads and vias
    std::string drills;      ///< holes, in the background colour
    std::string drawing;     ///< stroked graphics of footprints and nets
    Extent extent;

    bool hasContent() const {
        return !areas.empty() || !traces.empty() || !padPath.empty() || !padCircles.empty()
               || !drills.empty() || !drawing.empty();
    }
};

std::string colourOf(const Layer& layer, int metalCount) {
    const std::wstring& t = layer.type;
    if (layer.plane) {
        return "#3ca05a";
    }
    if (layer.metalIndex >= 0 || equalsIgnoringCase(t, L"Signal")) {
        if (layer.metalIndex == 0) {
            return "#d23c3c";
        }
        if (layer.metalIndex == metalCount - 1) {
            return "#3c6ed2";
        }
        return "#d2a03c";
    }
    static const std::map<std::wstring, std::string> k_ByType = {
        {L"silkscreen", "#e6e6b4"}, {L"soldermask", "#9650b4"}, {L"solderpaste", "#a0a0a0"},
        {L"assembly", "#b48c5a"},   {L"glue", "#b4b43c"},       {L"wirebond", "#dc82dc"}};
    std::wstring lower;
    for (wchar_t c : t) {
        lower += static_cast<wchar_t>(std::towlower(c));
    }
    const auto found = k_ByType.find(lower);
    return found != k_ByType.end() ? found->second : "#78a0a0";
}

void appendEscaped(std::string& out, std::string_view text) {
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            // Control characters are not allowed in XML 1.0.
            out += (static_cast<unsigned char>(c) < 0x20) ? ' ' : c;
        }
    }
}

/// A file name from a layer name: letters, digits, '-', '_' and '.' kept, anything else
/// '_'; no leading '.', at most 100 bytes, and a number appended when taken already.
std::string fileNameFor(const std::wstring& name, std::set<std::string>& taken) {
    std::string base;
    for (wchar_t c : name) {
        const bool plain = (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z')
                           || (c >= L'0' && c <= L'9') || c == L'-' || c == L'_' || c == L'.';
        base += plain ? static_cast<char>(c) : '_';
        if (base.size() == 100) {
            break;
        }
    }
    if (base.empty() || base[0] == '.') {
        base.insert(base.begin(), '_');
    }
    std::string candidate = base;
    for (int n = 2; candidate == "all" || !taken.insert(candidate).second; ++n) {
        candidate = base + "_" + std::to_string(n);
    }
    return candidate + ".svg";
}

// ---------------------------------------------------------------------------------------
// The picture

/// What the pads of one padstack draw: per copper layer, a shape with its offset.
struct PadEntry {
    int metalIndex = 0;
    const CBlock_func* shape = nullptr;  ///< the pad shape's one function; null for "NULLPAD"
    Transform offset;
};

struct PadStack {
    double hole = 0.0;
    std::vector<PadEntry> entries;
};

struct Footprint {
    struct Pin {
        Point at;
        std::wstring padStack;
    };
    std::vector<Pin> pins;
    std::vector<const CBlock_func*> graphics;
};

class Picture {
public:
    Picture(const CBlock& root, Warnings& warnings) : m_root(root), m_warnings(warnings) {}

    void build();
    bool hasLayer(const std::wstring& name) const { return m_layerByName.count(name) > 0; }
    /// Writes the pictures into `directory`: every layer, or only `onlyLayer` when given.
    /// False with `error` set when a file cannot be written.
    bool write(const std::filesystem::path& directory, const std::wstring* onlyLayer,
               std::string& error) const;

private:
    void readLayers();
    void readUnits();
    void readPadShapes();
    void readPadStacks();
    void readFootprints();
    void readOutline();
    void drawComponents();
    void drawNets();
    void drawNet(const CBlock& net);
    void drawNetGraphic(const CBlock_func& graphic);
    void drawPolygonWithVoids(const CBlock& block);
    void drawVia(const CBlock_func& via);
    void drawPad(const PadStack& stack, const Transform& place, bool flipped, int onlyIndex);
    void drawPadShape(Layer& layer, const CBlock_func& shape, const Transform& place);
    void drawDrawingShape(Layer& layer, const CBlock_func& shape, const Transform& place);
    void flushNet(const std::string& netName);

    std::size_t layerIndex(const std::wstring& name);
    std::optional<std::size_t> metalLayer(int metalIndex) const;

    std::string svgHeader(const Extent& view, double extraWidth) const;
    std::string layerGroup(const Layer& layer, const char* extra) const;
    std::string outlineElement() const;
    Extent viewBox() const;

    const CBlock& m_root;
    Warnings& m_warnings;
    std::vector<Layer> m_layers;
    std::map<std::wstring, std::size_t> m_layerByName;
    std::vector<std::size_t> m_metal;  ///< layer indices of the copper layers, top first
    std::map<std::wstring, const CBlock_func*> m_padShapes;
    std::map<std::wstring, PadStack> m_padStacks;
    std::map<std::wstring, Footprint> m_footprints;
    double m_unitsPerMm = 1.0;
    std::optional<Contour> m_outline;
    bool m_outlineClosed = true;
    double m_outlineWidth = 0.0;
    Extent m_outlineExtent;

    /// Path data of the net being drawn, per layer: areas, and traces by width.
    struct NetLayer {
        std::string areas;
        std::vector<std::pair<double, std::string>> traces;
    };
    std::map<std::size_t, NetLayer> m_net;
};

std::size_t Picture::layerIndex(const std::wstring& name) {
    const auto found = m_layerByName.find(name);
    if (found != m_layerByName.end()) {
        return found->second;
    }
    // A layer that the layer list does not name still gets a picture.
    Layer layer;
    layer.name = name;
    m_layers.push_back(std::move(layer));
    m_layerByName[name] = m_layers.size() - 1;
    return m_layers.size() - 1;
}

std::optional<std::size_t> Picture::metalLayer(int metalIndex) const {
    if (metalIndex < 0 || static_cast<std::size_t>(metalIndex) >= m_metal.size()) {
        return std::nullopt;
    }
    return m_metal[static_cast<std::size_t>(metalIndex)];
}

void Picture::readUnits() {
    static const std::map<std::wstring, double> k_PerMm = {
        {L"mm", 1.0}, {L"cm", 0.1}, {L"m", 0.001}, {L"in", 1.0 / 25.4}, {L"mil", 1000.0 / 25.4}};
    if (const std::wstring* units = namedValue(m_root, L"DefaultUnits")) {
        const auto found = k_PerMm.find(*units);
        if (found != k_PerMm.end()) {
            m_unitsPerMm = found->second;
        }
    }
}

/// The layer lists of the design and of the layout cell, the design's first (it is built
/// last and may name more drawing layers). Dielectric layers draw nothing and are left out.
void Picture::readLayers() {
    const CBlock* layoutData = childBlock(&m_root, L"LayoutData");
    const CBlock* lists[] = {
        childBlock(childBlock(childBlock(layoutData, L"Design"), L"TopLayout"), L"Layers"),
        childBlock(childBlock(childBlock(layoutData, L"LayoutCell"), L"Layout"), L"Layers")};
    for (const CBlock* list : lists) {
        if (!list) {
            continue;
        }
        // The stackup is the first list's; the second only adds drawing layers.
        const bool stackup = m_metal.empty();
        for (const io::CBlockItem& item : list->items()) {
            const auto* f = std::get_if<std::shared_ptr<const CBlock_func>>(&item);
            if (!f) {
                continue;  // DefaultUnits
            }
            const CBlock_func& layer = **f;
            const auto name = text(layer, 0);
            const auto type = text(layer, 1);
            if ((layer.name() != L"Layer" && layer.name() != L"StackupLayer") || !name || !type) {
                m_warnings.add("an unknown item in a Layers block");
                continue;
            }
            if (equalsIgnoringCase(*type, L"Dielectric") || m_layerByName.count(*name)
                || (layer.name() == L"StackupLayer" && !stackup)) {
                continue;
            }
            const std::size_t index = layerIndex(*name);
            m_layers[index].type = *type;
            if (layer.name() == L"StackupLayer") {
                m_layers[index].metalIndex = static_cast<int>(m_metal.size());
                m_metal.push_back(index);
                m_layers[index].plane = equalsIgnoringCase(*type, L"MetalizedSignal")
                                        || equalsIgnoringCase(*type, L"Power");
            }
        }
    }
}

void Picture::readPadShapes() {
    const CBlock* shapes = childBlock(&m_root, L"PadShapes");
    if (!shapes) {
        return;
    }
    for (const io::CBlockItem& item : shapes->items()) {
        if (const auto* f = std::get_if<std::shared_ptr<const CBlock_func>>(&item)) {
            m_padShapes.emplace((*f)->name(), nested(**f, 0));
        }
    }
}

/// Padstack entries name the copper layers by position: `Top` the first, `Bottom` the
/// last, each `Signal` the next inner one.
void Picture::readPadStacks() {
    const CBlock* stacks = childBlock(&m_root, L"PadStacks");
    if (!stacks) {
        return;
    }
    const int last = static_cast<int>(m_metal.size()) - 1;
    for (const io::CBlockItem& item : stacks->items()) {
        const auto* block = std::get_if<std::shared_ptr<const CBlock>>(&item);
        if (!block) {
            m_warnings.add("an item of PadStacks that is no padstack");
            continue;
        }
        PadStack stack;
        int inner = 1;
        for (const io::CBlockItem& entryItem : (*block)->items()) {
            const auto* f = std::get_if<std::shared_ptr<const CBlock_func>>(&entryItem);
            if (!f) {
                m_warnings.add("an item of a padstack that is no function");
                continue;
            }
            const CBlock_func& entry = **f;
            if (entry.name() == L"Hole") {
                stack.hole = number(entry, 0).value_or(0.0);
                continue;
            }
            if (entry.name() == L"Wirebond") {
                continue;  // bond fingers have no copper layer of the stackup
            }
            PadEntry pad;
            if (entry.name() == L"Top") {
                pad.metalIndex = 0;
            } else if (entry.name() == L"Bottom") {
                pad.metalIndex = last;
            } else if (entry.name() == L"Signal") {
                pad.metalIndex = inner++;
            } else {
                m_warnings.add("an unknown padstack entry");
                continue;
            }
            const auto shapeName = text(entry, 0);
            const auto x = number(entry, 1);
            const auto y = number(entry, 2);
            if (!shapeName || !x || !y) {
                m_warnings.add("a padstack entry without a shape name and offset");
                continue;
            }
            pad.offset = Transform::place(*x, *y, number(entry, 3).value_or(0.0), false);
            // The null pad is named without the quotes of its pad shape; it draws nothing.
            if (*shapeName == L"NULLPAD") {
                stack.entries.push_back(pad);
                continue;
            }
            const auto shape = m_padShapes.find(*shapeName);
            if (shape == m_padShapes.end()) {
                m_warnings.add("a padstack entry whose pad shape is not defined");
                continue;
            }
            pad.shape = shape->second;
            stack.entries.push_back(pad);
        }
        m_padStacks[(*block)->name()] = std::move(stack);
    }
}

void Picture::readFootprints() {
    const CBlock* footprints = childBlock(&m_root, L"Footprints");
    if (!footprints) {
        return;
    }
    for (const io::CBlockItem& item : footprints->items()) {
        const auto* block = std::get_if<std::shared_ptr<const CBlock>>(&item);
        if (!block) {
            continue;
        }
        Footprint& footprint = m_footprints[(*block)->name()];
        if (const CBlock* pins = childBlock(block->get(), L"FpPins")) {
            for (const io::CBlockItem& pinItem : pins->items()) {
                const auto* pindef = std::get_if<std::shared_ptr<const CBlock>>(&pinItem);
                if (!pindef) {
                    m_warnings.add("an item of FpPins that is no FpPindef");
                    continue;
                }
                for (const io::CBlockItem& f : (*pindef)->items()) {
                    const auto* pin = std::get_if<std::shared_ptr<const CBlock_func>>(&f);
                    const auto x = pin ? number(**pin, 1) : std::nullopt;
                    const auto y = pin ? number(**pin, 2) : std::nullopt;
                    const auto stack = pin ? text(**pin, 3) : std::nullopt;
                    if (!x || !y || !stack || (*pin)->name() != L"FpPin") {
                        m_warnings.add("a footprint pin that is no FpPin(name, x, y, padstack)");
                        continue;
                    }
                    footprint.pins.push_back({{*x, *y}, *stack});
                }
            }
        }
        if (const CBlock* graphics = childBlock(block->get(), L"FpGraphics")) {
            for (const io::CBlockItem& g : graphics->items()) {
                if (const auto* f = std::get_if<std::shared_ptr<const CBlock_func>>(&g)) {
                    footprint.graphics.push_back(f->get());
                }
            }
        }
    }
}

/// The board outline: the first Polygon or Path of the design's PhysicalDimensions.
void Picture::readOutline() {
    const CBlock* dimensions =
        blockAt(&m_root, {L"LayoutData", L"Design", L"TopLayout", L"PhysicalDimensions"});
    if (!dimensions) {
        return;
    }
    for (const io::CBlockItem& item : dimensions->items()) {
        const auto* f = std::get_if<std::shared_ptr<const CBlock_func>>(&item);
        if (!f || ((*f)->name() != L"Polygon" && (*f)->name() != L"Path")) {
            m_warnings.add("an outline that is no Polygon or Path");
            continue;
        }
        Contour outline;
        std::vector<double> widths;
        if (!readContour(**f, outline, &widths) || outline.points.size() < 2) {
            m_warnings.add("an outline with fewer than two vertices or unknown items");
            continue;
        }
        m_outlineClosed = (*f)->name() == L"Polygon" || outline.points.back() == outline.points[0];
        m_outlineWidth = (*f)->name() == L"Polygon" ? number(**f, 1).value_or(0.0) : widths.front();
        if (m_outlineClosed) {
            dropClosingVertex(outline);
        }
        std::string ignored;
        if (m_outlineClosed) {
            svg::appendClosed(ignored, outline, m_outlineExtent);
        } else {
            svg::appendOpen(ignored, outline, m_outlineExtent);
        }
        m_outline = std::move(outline);
        return;
    }
}

void Picture::build() {
    readUnits();
    readLayers();
    readPadShapes();
    readPadStacks();
    readFootprints();
    readOutline();
    drawComponents();
    drawNets();
    const int metalCount = static_cast<int>(m_metal.size());
    std::set<std::string> taken;
    for (Layer& layer : m_layers) {
        layer.colour = colourOf(layer, metalCount);
        layer.fileName = fileNameFor(layer.name, taken);
    }
}

// Pads and footprint drawing

void Picture::drawComponents() {
    const CBlock* components = layoutBlock(m_root, L"LayoutComponents");
    if (!components) {
        return;
    }
    for (const io::CBlockItem& item : components->items()) {
        const auto* comp = std::get_if<std::shared_ptr<const CBlock>>(&item);
        if (!comp) {
            m_warnings.add("an item of LayoutComponents that is no LayoutComp");
            continue;
        }
        for (const io::CBlockItem& instItem : (*comp)->items()) {
            const auto* f = std::get_if<std::shared_ptr<const CBlock_func>>(&instItem);
            if (!f || (*f)->name() == L"FpPinInst") {
                continue;
            }
            const CBlock_func& inst = **f;
            const auto layer = text(inst, 0);
            const auto geometry = text(inst, 1);
            const auto x = number(inst, 3);
            const auto y = number(inst, 4);
            const auto rotation = number(inst, 5);
            const std::optional<bool> mirrored = flag(inst, 6);
            if (inst.name() != L"LayoutCompInst" || !layer || !geometry || !x || !y || !rotation
                || !mirrored) {
                m_warnings.add(
                    "a component that is no LayoutCompInst(layer, footprint, name, "
                    "x, y, rotation, mirrored)");
                continue;
            }
            const auto footprint = m_footprints.find(*geometry);
            if (footprint == m_footprints.end()) {
                m_warnings.add("a component whose footprint is not defined");
                continue;
            }
            // A part on the last copper layer has its padstacks upside down; the mirror
            // flag decides when the layer is no copper layer.
            bool flipped = *mirrored;
            const auto placedOn = m_layerByName.find(*layer);
            if (placedOn != m_layerByName.end() && m_metal.size() > 1
                && m_layers[placedOn->second].metalIndex >= 0) {
                flipped =
                    m_layers[placedOn->second].metalIndex == static_cast<int>(m_metal.size()) - 1;
            }
            const Transform place = Transform::place(*x, *y, *rotation, *mirrored);
            for (const Footprint::Pin& pin : footprint->second.pins) {
                const auto stack = m_padStacks.find(pin.padStack);
                if (stack == m_padStacks.end()) {
                    m_warnings.add("a pin whose padstack is not defined");
                    continue;
                }
                const Transform pinPlace =
                    Transform::place(pin.at.x, pin.at.y, 0.0, false).then(place);
                drawPad(stack->second, pinPlace, flipped, -1);
            }
            for (const CBlock_func* graphic : footprint->second.graphics) {
                const auto graphicLayer = text(*graphic, 0);
                const CBlock_func* shape = nested(*graphic, 1);
                if (graphic->name() != L"Graphics" || !graphicLayer || !shape) {
                    m_warnings.add("a footprint graphic that is no Graphics(layer, shape)");
                    continue;
                }
                drawDrawingShape(m_layers[layerIndex(*graphicLayer)], *shape, place);
            }
        }
    }
}

/// The pads of `stack` placed by `place`; `flipped` turns the stack upside down. With
/// `onlyIndex` at 0 or above, only the pad on that copper layer is drawn.
void Picture::drawPad(const PadStack& stack, const Transform& place, bool flipped, int onlyIndex) {
    const int last = static_cast<int>(m_metal.size()) - 1;
    for (const PadEntry& entry : stack.entries) {
        const int index = flipped ? last - entry.metalIndex : entry.metalIndex;
        if (onlyIndex >= 0 && index != onlyIndex) {
            continue;
        }
        const auto layerAt = metalLayer(index);
        if (!layerAt) {
            continue;
        }
        Layer& layer = m_layers[*layerAt];
        const Transform at = entry.offset.then(place);
        if (!layer.plane && entry.shape) {
            drawPadShape(layer, *entry.shape, at);
        }
        if (stack.hole > 0.0) {
            const Point centre = at.apply({0.0, 0.0});
            std::string& d = layer.drills;
            d += "<circle cx=\"";
            svg::appendNumber(d, centre.x);
            d += "\" cy=\"";
            svg::appendNumber(d, -centre.y);
            d += "\" r=\"";
            svg::appendNumber(d, stack.hole / 2.0);
            d += "\"/>\n";
        }
    }
}

void appendCircleElement(std::string& out, Point centre, double radius) {
    out += "<circle cx=\"";
    svg::appendNumber(out, centre.x);
    out += "\" cy=\"";
    svg::appendNumber(out, -centre.y);
    out += "\" r=\"";
    svg::appendNumber(out, radius);
    out += "\"/>\n";
}

/// Pad shapes are `Circle`(diameter), `Rectangle`(width, height) or `Polygon`(vertices),
/// centred on the pad.
void Picture::drawPadShape(Layer& layer, const CBlock_func& shape, const Transform& place) {
    if (shape.name() == L"Circle") {
        const auto diameter = number(shape, 0);
        if (!diameter) {
            m_warnings.add("a Circle pad shape without its diameter");
        } else if (*diameter > 0.0) {
            const Point centre = place.apply({0.0, 0.0});
            appendCircleElement(layer.padCircles, centre, *diameter / 2.0);
            layer.extent.add(centre, *diameter / 2.0);
        }
        return;
    }
    Contour contour;
    if (shape.name() == L"Rectangle") {
        const auto w = number(shape, 0);
        const auto h = number(shape, 1);
        if (!w || !h) {
            m_warnings.add("a Rectangle pad shape without its width and height");
            return;
        }
        contour.points = {
            {-*w / 2, -*h / 2}, {*w / 2, -*h / 2}, {*w / 2, *h / 2}, {-*w / 2, *h / 2}};
        contour.heights.assign(4, 0.0);
    } else if (shape.name() == L"Polygon") {
        if (!readContour(shape, contour, nullptr) || contour.points.empty()) {
            m_warnings.add("a Polygon pad shape that is no list of vertex(x, y) and Arc(height)");
            return;
        }
        dropClosingVertex(contour);
    } else {
        m_warnings.add("a pad shape that is no Circle, Rectangle or Polygon");
        return;
    }
    contour.transform(place);
    svg::appendClosed(layer.padPath, contour, layer.extent);
}

/// A footprint graphic, drawn as a line at its width (at least a hairline of 0.1 mm).
void Picture::drawDrawingShape(Layer& layer, const CBlock_func& shape, const Transform& place) {
    const double hairline = 0.1 * m_unitsPerMm;
    const double width = std::max(number(shape, 1).value_or(0.0), hairline);
    Contour contour;
    bool closed = true;
    double strokeWidth = width;
    if (shape.name() == L"Text") {
        return;  // texts are not drawn
    }
    if (shape.name() == L"Circle") {
        const auto circle = readCircle(shape, m_warnings);
        if (!circle) {
            return;
        }
        const Point centre = place.apply(circle->first);
        const double radius = circle->second;
        std::string& d = layer.drawing;
        d += "<circle fill=\"none\" stroke-width=\"";
        svg::appendNumber(d, width);
        d += "\" cx=\"";
        svg::appendNumber(d, centre.x);
        d += "\" cy=\"";
        svg::appendNumber(d, -centre.y);
        d += "\" r=\"";
        svg::appendNumber(d, radius);
        d += "\"/>\n";
        layer.extent.add(centre, radius);
        return;
    }
    if (shape.name() == L"Rectangle") {
        const auto cx = number(shape, 2);
        const auto cy = number(shape, 3);
        const auto w = number(shape, 4);
        const auto h = number(shape, 5);
        if (!cx || !cy || !w || !h) {
            m_warnings.add("a Rectangle graphic without its centre and size");
            return;
        }
        contour.points = {
            {-*w / 2, -*h / 2}, {*w / 2, -*h / 2}, {*w / 2, *h / 2}, {-*w / 2, *h / 2}};
        contour.heights.assign(4, 0.0);
        contour.transform(
            Transform::place(*cx, *cy, number(shape, 6).value_or(0.0), false).then(place));
    } else if (shape.name() == L"Polygon" || shape.name() == L"Path") {
        std::vector<double> widths;
        if (!readContour(shape, contour, &widths) || contour.points.empty()) {
            m_warnings.add("a graphic that is no list of vertex(x, y, ...) and Arc(height)");
            return;
        }
        if (shape.name() == L"Path") {
            closed = false;
            strokeWidth = std::max(widths.front(), hairline);
        } else {
            dropClosingVertex(contour);
        }
        contour.transform(place);
    } else {
        m_warnings.add("a graphic that is no Polygon, Path, Rectangle, Circle or Text");
        return;
    }
    std::string& d = layer.drawing;
    d += "<path fill=\"none\" stroke-width=\"";
    svg::appendNumber(d, strokeWidth);
    d += "\" d=\"";
    if (closed) {
        svg::appendClosed(d, contour, layer.extent);
    } else {
        svg::appendOpen(d, contour, layer.extent);
    }
    d += "\"/>\n";
}

// Nets

void Picture::drawNets() {
    const CBlock* nets = layoutBlock(m_root, L"LayoutNets");
    if (!nets) {
        return;
    }
    for (const io::CBlockItem& item : nets->items()) {
        const auto* net = std::get_if<std::shared_ptr<const CBlock>>(&item);
        if (!net || (*net)->name() != L"LayoutNet") {
            m_warnings.add("an item of LayoutNets that is no LayoutNet");
            continue;
        }
        drawNet(**net);
    }
    // Board graphics of the layout cell, drawn like a net's.
    const CBlock* graphics = layoutBlock(m_root, L"Graphics");
    if (graphics) {
        for (const io::CBlockItem& item : graphics->items()) {
            if (const auto* f = std::get_if<std::shared_ptr<const CBlock_func>>(&item)) {
                drawNetGraphic(**f);
            }
        }
        flushNet("");
    }
}

void Picture::drawNet(const CBlock& net) {
    const std::wstring* nameValue = namedValue(net, L"Name");
    const std::string name = nameValue ? narrow(*nameValue) : std::string();
    for (const io::CBlockItem& item : net.items()) {
        if (const auto* block = std::get_if<std::shared_ptr<const CBlock>>(&item)) {
            if ((*block)->name() == L"PolygonWithVoids") {
                drawPolygonWithVoids(**block);
            } else {
                m_warnings.add("an unknown block in a LayoutNet");
            }
            continue;
        }
        const auto* f = std::get_if<std::shared_ptr<const CBlock_func>>(&item);
        if (!f) {
            continue;  // the net's name
        }
        const CBlock_func& func = **f;
        if (func.name() == L"Via") {
            drawVia(func);
            continue;
        }
        if (func.name() != L"Trace" && func.name() != L"Graphics") {
            m_warnings.add("an unknown item in a LayoutNet");
            continue;
        }
        drawNetGraphic(func);
    }
    flushNet(name);
}

/// `Trace`(layer, Path) and `Graphics`(layer, shape): paths are stroked, polygons,
/// rectangles and circles filled.
void Picture::drawNetGraphic(const CBlock_func& graphic) {
    const auto layerName = text(graphic, 0);
    const CBlock_func* shape = nested(graphic, 1);
    if (!layerName || !shape || (graphic.name() != L"Trace" && graphic.name() != L"Graphics")) {
        m_warnings.add("a Trace or Graphics item that is no (layer, shape)");
        return;
    }
    const std::size_t index = layerIndex(*layerName);
    Layer& layer = m_layers[index];
    NetLayer& net = m_net[index];
    if (shape->name() == L"Path") {
        Contour path;
        std::vector<double> widths;
        if (!readContour(*shape, path, &widths) || path.points.empty()) {
            m_warnings.add("a Path that is no list of vertex(x, y, ...) and Arc(height)");
            return;
        }
        // Runs of one width each go to the path of that width; an edge takes the width of
        // its first vertex.
        const double hairline = 0.1 * m_unitsPerMm;
        std::size_t start = 0;
        while (start < path.points.size()) {
            std::size_t end = start + 1;
            while (end < path.points.size() && widths[end] == widths[start]) {
                ++end;
            }
            Contour run;
            const std::size_t stop = std::min(end + 1, path.points.size());
            run.points.assign(path.points.begin() + static_cast<std::ptrdiff_t>(start),
                              path.points.begin() + static_cast<std::ptrdiff_t>(stop));
            run.heights.assign(path.heights.begin() + static_cast<std::ptrdiff_t>(start),
                               path.heights.begin() + static_cast<std::ptrdiff_t>(stop));
            const double width = widths[start] > 0.0 ? widths[start] : hairline;
            std::string* data = nullptr;
            for (auto& [w, d] : net.traces) {
                if (w == width) {
                    data = &d;
                }
            }
            if (!data) {
                data = &net.traces.emplace_back(width, std::string()).second;
            }
            svg::appendOpen(*data, run, layer.extent);
            start = end;
        }
        return;
    }
    if (shape->name() == L"Polygon") {
        Contour polygon;
        const bool read = readContour(*shape, polygon, nullptr);
        dropClosingVertex(polygon);
        // One vertex with an arc is a whole circle, two with an arc a lens.
        const bool arcs = std::any_of(polygon.heights.begin(), polygon.heights.end(),
                                      [](double h) { return h != 0.0; });
        if (!read || polygon.points.size() < (arcs ? 1u : 3u)) {
            m_warnings.add(
                "a Polygon that is no list of vertex(x, y) and Arc(height) that "
                "encloses an area");
            return;
        }
        svg::appendClosed(net.areas, polygon, layer.extent);
        return;
    }
    if (shape->name() == L"Circle") {
        const auto x = number(*shape, 2);
        const auto y = number(*shape, 3);
        const auto diameter = number(*shape, 4);
        if (!x || !y || !diameter) {
            m_warnings.add("a Circle graphic without its centre and diameter");
            return;
        }
        if (*diameter <= 0.0) {
            return;  // a circle of no size draws nothing
        }
        svg::appendCircleSubpath(net.areas, {*x, *y}, *diameter / 2.0, layer.extent);
        return;
    }
    if (shape->name() == L"Rectangle") {
        const auto cx = number(*shape, 2);
        const auto cy = number(*shape, 3);
        const auto w = number(*shape, 4);
        const auto h = number(*shape, 5);
        if (!cx || !cy || !w || !h) {
            m_warnings.add("a Rectangle graphic without its centre and size");
            return;
        }
        Contour box;
        box.points = {{-*w / 2, -*h / 2}, {*w / 2, -*h / 2}, {*w / 2, *h / 2}, {-*w / 2, *h / 2}};
        box.heights.assign(4, 0.0);
        box.transform(Transform::place(*cx, *cy, number(*shape, 6).value_or(0.0), false));
        svg::appendClosed(net.areas, box, layer.extent);
        return;
    }
    if (shape->name() != L"Text") {
        m_warnings.add("a graphic that is no Polygon, Path, Rectangle, Circle or Text");
    }
}

/// The outline and its voids as subpaths of the net's area path, whose even-odd rule cuts
/// the voids out. A void that repeats the outline or an earlier void is left out: the
/// translator lists an area's outline and holes again among its voids when the area has
/// islands, and under the even-odd rule a repeated contour would cancel its first copy.
void Picture::drawPolygonWithVoids(const CBlock& block) {
    const std::wstring* layerName = namedValue(block, L"Layer");
    if (!layerName) {
        m_warnings.add("a PolygonWithVoids without its Layer");
        return;
    }
    std::vector<Contour> contours;
    std::vector<std::pair<Point, double>> circles;
    auto addShape = [&](const CBlock_func& shape) {
        if (shape.name() == L"Polygon") {
            Contour polygon;
            if (!readContour(shape, polygon, nullptr) || polygon.points.empty()) {
                m_warnings.add("a Polygon that is no list of vertex(x, y) and Arc(height)");
                return;
            }
            dropClosingVertex(polygon);
            for (const Contour& earlier : contours) {
                if (earlier.points == polygon.points && earlier.heights == polygon.heights) {
                    return;
                }
            }
            contours.push_back(std::move(polygon));
        } else if (shape.name() == L"Circle") {
            if (const auto circle = readCircle(shape, m_warnings)) {
                circles.push_back(*circle);
            }
        } else {
            m_warnings.add("an unknown shape in a PolygonWithVoids");
        }
    };
    bool outline = false;
    for (const io::CBlockItem& item : block.items()) {
        if (const auto* f = std::get_if<std::shared_ptr<const CBlock_func>>(&item)) {
            outline = true;
            addShape(**f);
        } else if (const auto* voids = std::get_if<std::shared_ptr<const CBlock>>(&item)) {
            if ((*voids)->name() != L"voids") {
                m_warnings.add("an unknown block in a PolygonWithVoids");
                continue;
            }
            for (const io::CBlockItem& v : (*voids)->items()) {
                if (const auto* shape = std::get_if<std::shared_ptr<const CBlock_func>>(&v)) {
                    addShape(**shape);
                } else {
                    m_warnings.add("an unknown item in voids");
                }
            }
        }
    }
    if (!outline) {
        m_warnings.add("a PolygonWithVoids without its outline");
        return;
    }
    const std::size_t index = layerIndex(*layerName);
    Layer& layer = m_layers[index];
    std::string& d = m_net[index].areas;
    for (const Contour& contour : contours) {
        svg::appendClosed(d, contour, layer.extent);
    }
    for (const auto& [centre, radius] : circles) {
        svg::appendCircleSubpath(d, centre, radius, layer.extent);
    }
}

/// `Via`(id, first layer, last layer, x, y, padstack, angle): the padstack's pads on every
/// copper layer from the first to the last, or a 0.5 mm dot when the padstack is unknown.
void Picture::drawVia(const CBlock_func& via) {
    const auto from = text(via, 1);
    const auto to = text(via, 2);
    const auto x = number(via, 3);
    const auto y = number(via, 4);
    const auto stackName = text(via, 5);
    if (!from || !to || !x || !y || !stackName) {
        m_warnings.add("a Via that is no Via(id, layer, layer, x, y, padstack, angle)");
        return;
    }
    const auto first = m_layerByName.find(*from);
    const auto last = m_layerByName.find(*to);
    if (first == m_layerByName.end() || last == m_layerByName.end()
        || m_layers[first->second].metalIndex < 0 || m_layers[last->second].metalIndex < 0) {
        m_warnings.add("a Via whose layers are no copper layers");
        return;
    }
    int low = m_layers[first->second].metalIndex;
    int high = m_layers[last->second].metalIndex;
    if (low > high) {
        std::swap(low, high);
    }
    const Transform place = Transform::place(*x, *y, number(via, 6).value_or(0.0), false);
    const auto stack = m_padStacks.find(*stackName);
    if (stack == m_padStacks.end()) {
        m_warnings.add("the padstack of a Via, which is not defined (drawn as a 0.5 mm dot)");
    }
    for (int index = low; index <= high; ++index) {
        if (stack != m_padStacks.end()) {
            drawPad(stack->second, place, false, index);
            continue;
        }
        Layer& layer = m_layers[*metalLayer(index)];
        const double radius = 0.25 * m_unitsPerMm;
        if (!layer.plane) {
            appendCircleElement(layer.padCircles, {*x, *y}, radius);
            layer.extent.add({*x, *y}, radius);
        }
    }
}

void Picture::flushNet(const std::string& netName) {
    std::string attribute;
    if (!netName.empty()) {
        attribute = " data-net=\"";
        appendEscaped(attribute, netName);
        attribute += '"';
    }
    for (auto& [index, net] : m_net) {
        Layer& layer = m_layers[index];
        if (!net.areas.empty()) {
            layer.areas += "<path";
            layer.areas += attribute;
            layer.areas += " d=\"";
            layer.areas += net.areas;
            layer.areas += "\"/>\n";
        }
        for (const auto& [width, data] : net.traces) {
            layer.traces += "<path";
            layer.traces += attribute;
            layer.traces += " stroke-width=\"";
            svg::appendNumber(layer.traces, width);
            layer.traces += "\" d=\"";
            layer.traces += data;
            layer.traces += "\"/>\n";
        }
    }
    m_net.clear();
}

// Writing

Extent Picture::viewBox() const {
    Extent box = m_outlineExtent;
    if (box.empty()) {
        for (const Layer& layer : m_layers) {
            box.addBox(layer.extent);
        }
    }
    if (box.empty()) {
        box.add({0.0, 0.0});
        box.add({1.0, 1.0});
    }
    double size = std::max(box.maxX - box.minX, box.maxY - box.minY);
    if (!(size > 0.0)) {
        size = 1.0;
    }
    const double margin = 0.03 * size;
    box.add({box.minX, box.minY}, margin);
    box.add({box.maxX, box.maxY}, margin);
    return box;
}

/// The root element: board y up (negated), 2000 pixels along the longer side.
std::string Picture::svgHeader(const Extent& view, double extraWidth) const {
    const double width = view.maxX - view.minX + extraWidth;
    const double height = view.maxY - view.minY;
    // Kept within 1 to 2000 pixels for any box, one of overflowed coordinates included.
    auto pixels = [&](double length) {
        const double count = 2000.0 * length / std::max(width, height);
        return std::isfinite(count) ? std::clamp(std::lround(count), 1L, 2000L) : 2000L;
    };
    std::string out = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"";
    out += std::to_string(pixels(width));
    out += "\" height=\"";
    out += std::to_string(pixels(height));
    out += "\" viewBox=\"";
    svg::appendNumber(out, view.minX);
    out += ' ';
    svg::appendNumber(out, -view.maxY);
    out += ' ';
    svg::appendNumber(out, width);
    out += ' ';
    svg::appendNumber(out, height);
    out += "\">\n<rect x=\"";
    svg::appendNumber(out, view.minX);
    out += "\" y=\"";
    svg::appendNumber(out, -view.maxY);
    out += "\" width=\"";
    svg::appendNumber(out, width);
    out += "\" height=\"";
    svg::appendNumber(out, height);
    out += "\" fill=\"";
    out += k_Background;
    out += "\"/>\n";
    return out;
}

std::string Picture::layerGroup(const Layer& layer, const char* extra) const {
    std::string out = "<g id=\"";
    appendEscaped(out, narrow(layer.name));
    out += "\" fill=\"" + layer.colour + "\" stroke=\"" + layer.colour
           + "\" stroke-linecap=\"round\" stroke-linejoin=\"round\"" + extra + ">\n";
    if (!layer.areas.empty()) {
        out += "<g stroke=\"none\" fill-rule=\"evenodd\">\n" + layer.areas + "</g>\n";
    }
    if (!layer.traces.empty()) {
        out += "<g fill=\"none\">\n" + layer.traces + "</g>\n";
    }
    if (!layer.padPath.empty()) {
        out += "<path stroke=\"none\" d=\"" + layer.padPath + "\"/>\n";
    }
    if (!layer.padCircles.empty()) {
        out += "<g stroke=\"none\">\n" + layer.padCircles + "</g>\n";
    }
    out += layer.drawing;
    if (!layer.drills.empty()) {
        out += "<g stroke=\"none\" fill=\"" + std::string(k_Background) + "\">\n" + layer.drills
               + "</g>\n";
    }
    out += "</g>\n";
    return out;
}

std::string Picture::outlineElement() const {
    if (!m_outline) {
        return "";
    }
    const double size = std::max(m_outlineExtent.maxX - m_outlineExtent.minX,
                                 m_outlineExtent.maxY - m_outlineExtent.minY);
    std::string out = "<path fill=\"none\" stroke=\"";
    out += k_OutlineColour;
    out += "\" stroke-width=\"";
    svg::appendNumber(out, std::max(m_outlineWidth, 0.001 * size));
    out += "\" d=\"";
    Extent ignored;
    if (m_outlineClosed) {
        svg::appendClosed(out, *m_outline, ignored);
    } else {
        svg::appendOpen(out, *m_outline, ignored);
    }
    out += "\"/>\n";
    return out;
}

bool writeFile(const std::filesystem::path& file, const std::vector<const std::string*>& parts,
               std::string& error) {
    std::FILE* out = std::fopen(file.string().c_str(), "wb");
    if (!out) {
        error = file.string() + ": cannot write";
        return false;
    }
    bool ok = true;
    for (const std::string* part : parts) {
        ok = ok && std::fwrite(part->data(), 1, part->size(), out) == part->size();
    }
    ok = std::fclose(out) == 0 && ok;
    if (!ok) {
        error = file.string() + ": cannot write";
    }
    return ok;
}

bool Picture::write(const std::filesystem::path& directory, const std::wstring* onlyLayer,
                    std::string& error) const {
    const Extent view = viewBox();
    const std::string header = svgHeader(view, 0.0);
    const std::string outline = outlineElement();
    const std::string footer = "</svg>\n";
    for (const Layer& layer : m_layers) {
        if (onlyLayer && layer.name != *onlyLayer) {
            continue;
        }
        const std::string group = layerGroup(layer, "");
        if (!writeFile(directory / layer.fileName, {&header, &group, &outline, &footer}, error)) {
            return false;
        }
    }
    if (onlyLayer) {
        return true;
    }
    // all.svg: the layers bottom up, so that the top layer lies on top, and a legend in a
    // column right of the board.
    const double height = view.maxY - view.minY;
    const double font = std::min(height / 30.0, height / (1.5 * (m_layers.size() + 1.0)));
    std::size_t longest = 0;
    for (const Layer& layer : m_layers) {
        longest = std::max(longest, layer.name.size() + layer.type.size() + 3);
    }
    const double legendWidth = font * (3.0 + 0.7 * static_cast<double>(longest));
    std::vector<std::string> parts;
    parts.push_back(svgHeader(view, legendWidth));
    for (auto layer = m_layers.rbegin(); layer != m_layers.rend(); ++layer) {
        // Planes cover the whole board; lighter, they leave the layers below in sight.
        parts.push_back(
            layerGroup(*layer, layer->plane ? " opacity=\"0.4\"" : " opacity=\"0.75\""));
    }
    parts.push_back(outline);
    std::string legend = "<g font-family=\"sans-serif\" font-size=\"";
    svg::appendNumber(legend, font);
    legend += "\">\n";
    double y = -view.maxY + font;
    const double x = view.maxX + font * 0.5;
    for (const Layer& layer : m_layers) {
        legend += "<rect x=\"";
        svg::appendNumber(legend, x);
        legend += "\" y=\"";
        svg::appendNumber(legend, y);
        legend += "\" width=\"";
        svg::appendNumber(legend, font);
        legend += "\" height=\"";
        svg::appendNumber(legend, font);
        legend += "\" fill=\"" + layer.colour + "\"/>\n<text x=\"";
        svg::appendNumber(legend, x + font * 1.5);
        legend += "\" y=\"";
        svg::appendNumber(legend, y + font * 0.85);
        legend += "\" fill=\"#f0f0f0\">";
        appendEscaped(legend, narrow(layer.name));
        if (!layer.type.empty()) {
            legend += " (";
            appendEscaped(legend, narrow(layer.type));
            legend += ')';
        }
        legend += "</text>\n";
        y += font * 1.5;
    }
    legend += "</g>\n";
    parts.push_back(std::move(legend));
    parts.push_back(footer);
    std::vector<const std::string*> pointers;
    for (const std::string& part : parts) {
        pointers.push_back(&part);
    }
    return writeFile(directory / "all.svg", pointers, error);
}

std::wstring widen(std::string_view text) {
    std::wstring out;
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end) {
        char32_t cp = 0;
        const std::size_t length =
            static_cast<unsigned char>(*p) < 0x80 ? 0 : utf8::decode(p, end, cp);
        if (length == 0) {
            out += static_cast<wchar_t>(static_cast<unsigned char>(*p));
            ++p;
        } else {
            out += static_cast<wchar_t>(cp);
            p += length;
        }
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<const char*> positional;
    std::optional<std::wstring> onlyLayer;
    for (int i = 1; i < argc; ++i) {
        if (std::string_view(argv[i]) == "--layer" && i + 1 < argc) {
            onlyLayer = widen(argv[++i]);
        } else {
            positional.push_back(argv[i]);
        }
    }
    if (positional.size() != 2) {
        std::fputs("usage: vnfview [--layer NAME] FILE.vnf OUTDIR\n", stderr);
        return 1;
    }
    const char* path = positional[0];
    const std::shared_ptr<io::CBlock> root = readVnfFile(path);
    if (!root) {
        return 1;
    }
    Warnings warnings;
    Picture picture(*root, warnings);
    picture.build();
    warnings.print(path);
    if (onlyLayer && !picture.hasLayer(*onlyLayer)) {
        std::fprintf(stderr, "%s: no layer \"%s\" in the layout\n", path,
                     narrow(*onlyLayer).c_str());
        return 1;
    }
    std::error_code failed;
    std::filesystem::create_directories(positional[1], failed);
    if (failed) {
        std::fprintf(stderr, "%s: cannot make the directory\n", positional[1]);
        return 1;
    }
    std::string error;
    if (!picture.write(positional[1], onlyLayer ? &*onlyLayer : nullptr, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    return 0;
}
