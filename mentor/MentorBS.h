#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "corelib/VString.h"

/// The board model: one class per kind of Board Station record. Text fields hold the
/// token as read (quoted names keep their quotes); lengths are in the design's unit.
namespace MentorBS {

/// x and y alternating (traces-file runs hold x, y, width triples).
using CoordinateList = std::vector<double>;

class Panel;
class Board;
class BoardAttribute;
class BoardAddedGeometry;
class Net;
class Geometry;
class Component;
class Pad;
class Drill;
class TestPoints;
class LayerInfo;
class Page;
class MyPolygon;
class MyArcPolygon;
class Path;
class Initial;
class Attribute;
class LayoutNet;
class MyCircle;
class MyText;
class MyVias;
class BSGates;
class BSPins;
class BSPinSet;
class BSSymbol;

/// Base of every element. Its only virtual operations are the 25 type queries: each
/// answers the element itself when it is of the named class and null otherwise. Users
/// walk an element list and ask each element in turn.
class MentorElement {
public:
    virtual const Panel* asPanel() const { return nullptr; }
    virtual const Board* asBoard() const { return nullptr; }
    virtual const BoardAttribute* asBoardAttribute() const { return nullptr; }
    virtual const BoardAddedGeometry* asBoardAddedGeometry() const { return nullptr; }
    virtual const Net* asNet() const { return nullptr; }
    virtual const Geometry* asGeometry() const { return nullptr; }
    virtual const Component* asComponent() const { return nullptr; }
    virtual const Pad* asPad() const { return nullptr; }
    virtual const Drill* asDrill() const { return nullptr; }
    virtual const TestPoints* asTestPoints() const { return nullptr; }
    virtual const LayerInfo* asLayerInfo() const { return nullptr; }
    virtual const Page* asPage() const { return nullptr; }
    virtual const MyPolygon* asMyPolygon() const { return nullptr; }
    virtual const MyArcPolygon* asMyArcPolygon() const { return nullptr; }
    virtual const Path* asPath() const { return nullptr; }
    virtual const Initial* asInitial() const { return nullptr; }
    virtual const Attribute* asAttribute() const { return nullptr; }
    virtual const LayoutNet* asLayoutNet() const { return nullptr; }
    virtual const MyCircle* asMyCircle() const { return nullptr; }
    virtual const MyText* asMyText() const { return nullptr; }
    /// No class answers this query: the via element kind was never made by any reader.
    virtual const MyVias* asMyVias() const { return nullptr; }
    virtual const BSGates* asBSGates() const { return nullptr; }
    virtual const BSPins* asBSPins() const { return nullptr; }
    virtual const BSPinSet* asBSPinSet() const { return nullptr; }
    virtual const BSSymbol* asBSSymbol() const { return nullptr; }

protected:
    MentorElement() = default;
    MentorElement(const MentorElement&) = default;
    MentorElement& operator=(const MentorElement&) = default;
    // Elements are owned by the arena, which destroys each through its own type.
    ~MentorElement() = default;
};

// ---- Neutral file records ----

/// N_PIN <pinRef> <x> <y> <layer> <number> [<trailing number>]
struct NetPin {
    std::string pinRef;      ///< <pinRef>, e.g. U1-7
    double x = 0;            ///< <x>
    double y = 0;            ///< <y>
    std::string layer;       ///< <layer>, quoted
    int number = 0;          ///< <number>
    int number2 = -1;        ///< <number> when a trailing number is present, else -1
    int trailingNumber = 0;  ///< <trailing number>
    VString pinName;         ///< the part of <pinRef> after "-"

    void setNumber2(int value) { number2 = value; }
    void setTrailingNumber(int value) { trailingNumber = value; }
};

/// N_VIA <x> <y> <padName> <value1> <value2>
struct NetVia {
    double x = 0;         ///< <x>
    double y = 0;         ///< <y>
    std::string padName;  ///< <padName>, quoted: the padstack
    int value1 = 0;       ///< <value1>: start layer number
    int value2 = 0;       ///< <value2>: end layer number
};

/// N_TEST PIN <x> <y> <text1> <text2> <text3>
struct NetPinTest {
    double x = 0;
    double y = 0;
    std::string text1;
    std::string text2;
    std::string text3;
};

/// N_TEST <kind> <x> <y> <text1> <text2>
struct NetTestPoint {
    double x = 0;
    double y = 0;
    std::string text1;
    std::string text2;
};

/// G_PIN <pinName> <x> <y> <text1> <text2> [<value>]
struct GeomPin {
    std::string pinName;
    double x = 0;
    double y = 0;
    std::string text1;
    std::string text2;
    double value = 0;
};

/// G_ATTR <name> <type> <numbers...>
struct GeomAttribute {
    std::string name;
    std::string type;
    CoordinateList points;
};

/// C_PIN <pinName> <x> <y> <value1> <value2> <value3> <text1> <text2>
struct CompPin {
    std::string pinName;
    double x = 0;
    double y = 0;
    int value1 = 0;     ///< pad layer number
    int value2 = 0;     ///< pin side: 1 top, 2 bottom
    int value3 = 0;     ///< rotation of the pin, degrees
    std::string text1;  ///< pad name
    std::string text2;
};

/// <text1> <text2> <shapeKind> <dimensions...> [CENTER <x> <y>]  (a line of a PAD record)
struct PadShape {
    std::string text1;  ///< layer name
    std::string text2;
    std::string shapeKind;           ///< "CIRCLE", "RECTANGLE", ...
    std::vector<double> dimensions;  ///< diameter, or width and height
    double centerX = 0;              ///< CENTER x
    double centerY = 0;              ///< CENTER y
};

// ---- Traces file records ----

/// ANT|WIR|INC <count> followed by SEG lines: one trace per run on one layer.
struct TraceRecord {
    std::string layer;           ///< layer-file layer name
    std::vector<double> values;  ///< x, y, width per point, traces-file units
    std::string keyword;         ///< "ANT", "WIR" or "INC"
};

/// ARS|FIL|ISL|ISS with VER lines: a filled area or an island.
struct AreaRecord {
    std::string layer;
    CoordinateList vertices;
    double width = 0;
};

/// TTT <key> <lineWidth> <int1> <int2> <value>
struct TestPointType {
    double lineWidth = 0;  ///< times the unit factor
    int int1 = 0;
    int int2 = 0;
    double value = 0;
};

/// One test-point marker from a TTI record, matched to a pin or via of its net.
struct TestPointRecord {
    std::string ownerName;  ///< the pin's name, or "null" for a via
    int index = 0;          ///< key into the test-point type table
    double x = 0;
    double y = 0;
    double angle = 0;  ///< marker angle, degrees
    double armX = 0;   ///< arm length along x
    double armY = 0;   ///< arm length along y
    int armMask = 0;   ///< 1 right, 2 top, 4 left, 8 bottom
    std::string layerName;
    std::string netName;
    int xrfLayerNumber = 0;
};

// ---- Elements ----

/// P_ADDP <name> <name2> <name3> <x> <y> <value1> <value2> <dropped>
class Panel final : public MentorElement {
public:
    Panel(std::string name, std::string name2, std::string name3, double x, double y, int value1,
          int value2)
        : name(std::move(name)),
          name2(std::move(name2)),
          name3(std::move(name3)),
          x(x),
          y(y),
          value1(value1),
          value2(value2) {}
    const Panel* asPanel() const override { return this; }

    std::string name;
    std::string name2;
    std::string name3;
    double x = 0;
    double y = 0;
    int value1 = 0;
    int value2 = 0;
};

/// BOARD <name> OFFSET x:<x> y:<y> ORIENTATION <orientation> B_UNITS <units>
class Board final : public MentorElement {
public:
    Board(std::string name, double offsetX, double offsetY, int orientation, std::string unitsName)
        : name(std::move(name)),
          offsetX(offsetX),
          offsetY(offsetY),
          orientation(orientation),
          unitsName(std::move(unitsName)) {}
    const Board* asBoard() const override { return this; }

    std::string name;
    double offsetX = 0;
    double offsetY = 0;
    int orientation = 0;
    std::string unitsName;
};

/// B_ATTR <name> <value> <numbers...>
class BoardAttribute final : public MentorElement {
public:
    BoardAttribute(std::string name, std::string value, std::vector<double> numbers)
        : name(std::move(name)), value(std::move(value)), numbers(std::move(numbers)) {}
    const BoardAttribute* asBoardAttribute() const override { return this; }

    std::string name;
    std::string value;
    std::vector<double> numbers;
};

/// B_ADDP <name> <name2> <x> <y> <int1> <int2> <int3> <int4>
class BoardAddedGeometry final : public MentorElement {
public:
    BoardAddedGeometry(std::string name, std::string name2, double x, double y, int int1, int int2,
                       int int3, int int4)
        : name(std::move(name)),
          name2(std::move(name2)),
          x(x),
          y(y),
          int1(int1),
          int2(int2),
          int3(int3),
          int4(int4) {}
    const BoardAddedGeometry* asBoardAddedGeometry() const override { return this; }

    std::string name;
    std::string name2;
    double x = 0;
    double y = 0;
    int int1 = 0;
    int int2 = 0;
    int int3 = 0;
    int int4 = 0;
};

/// NET <name> followed by N_PROP, N_PIN, N_VIA and N_TEST lines
class Net final : public MentorElement {
public:
    Net(std::string name, std::vector<std::string> properties, std::vector<NetPin*> pins,
        std::vector<NetVia*> vias, std::vector<NetPinTest*> pinTests,
        std::vector<NetTestPoint*> testPoints)
        : name(std::move(name)),
          properties(std::move(properties)),
          pins(std::move(pins)),
          vias(std::move(vias)),
          pinTests(std::move(pinTests)),
          testPoints(std::move(testPoints)) {}
    const Net* asNet() const override { return this; }

    std::string name;
    std::vector<std::string> properties;
    std::vector<NetPin*> pins;
    std::vector<NetVia*> vias;
    std::vector<NetPinTest*> pinTests;
    std::vector<NetTestPoint*> testPoints;
};

/// GEOM <name> followed by G_PIN and G_ATTR lines
class Geometry final : public MentorElement {
public:
    Geometry(std::string name, std::vector<GeomPin*> pins, std::vector<GeomAttribute*> attributes)
        : name(std::move(name)), pins(std::move(pins)), attributes(std::move(attributes)) {}
    const Geometry* asGeometry() const override { return this; }

    std::string name;
    std::vector<GeomPin*> pins;
    std::vector<GeomAttribute*> attributes;
};

/// COMP <name> <part> <geometry> <device> [<x> <y> <side> <rotation>] then C_PROP, C_PIN
class Component final : public MentorElement {
public:
    Component(std::string name, std::string text2, std::string text3, std::string text4, double x,
              double y, int value1, int value2, std::vector<std::string> properties,
              std::vector<CompPin*> pins)
        : name(std::move(name)),
          text2(std::move(text2)),
          text3(std::move(text3)),
          text4(std::move(text4)),
          x(x),
          y(y),
          value1(value1),
          value2(value2),
          properties(std::move(properties)),
          pins(std::move(pins)) {}
    const Component* asComponent() const override { return this; }

    std::string name;   ///< reference designator, quotes removed
    std::string text2;  ///< part
    std::string text3;  ///< geometry
    std::string text4;  ///< device
    double x = 0;
    double y = 0;
    int value1 = 0;  ///< side: 1 top, 2 bottom
    int value2 = 0;  ///< rotation as stored
    std::vector<std::string> properties;
    std::vector<CompPin*> pins;
};

/// PAD <PIN|VIA> <name> <holeType> [<holeValue>] [<properties>|<plating>] <shape lines>
class Pad final : public MentorElement {
public:
    Pad(std::string kind, std::string name, std::string holeType, double holeValue,
        std::vector<std::string> properties, std::string plating, std::vector<PadShape*> shapes)
        : kind(std::move(kind)),
          name(std::move(name)),
          holeType(std::move(holeType)),
          holeValue(holeValue),
          properties(std::move(properties)),
          plating(std::move(plating)),
          shapes(std::move(shapes)) {}
    const Pad* asPad() const override { return this; }

    std::string kind;  ///< "PIN" or "VIA"
    std::string name;
    std::string holeType;                 ///< "Surf", "Thru", "Blind", ...
    double holeValue = 0;                 ///< drill diameter, 0 when none
    std::vector<std::string> properties;  ///< layer span of non-through pads
    std::string plating;                  ///< "PTH", "NPTH" or empty
    std::vector<PadShape*> shapes;
};

/// HOLE <name> <value1> <value2> <value3> [<value4>]
class Drill final : public MentorElement {
public:
    Drill(std::string name, double value1, double value2, double value3, double value4)
        : name(std::move(name)), value1(value1), value2(value2), value3(value3), value4(value4) {}
    const Drill* asDrill() const override { return this; }

    std::string name;
    double value1 = 0;
    double value2 = 0;
    double value3 = 0;
    double value4 = 0;
};

/// FIXTURE <name> <x> <y> <text2> <number> <text3>
class TestPoints final : public MentorElement {
public:
    TestPoints(std::string name, double x, double y, std::string text2, int number,
               std::string text3)
        : name(std::move(name)),
          x(x),
          y(y),
          text2(std::move(text2)),
          number(number),
          text3(std::move(text3)) {}
    const TestPoints* asTestPoints() const override { return this; }

    std::string name;
    double x = 0;
    double y = 0;
    std::string text2;
    int number = 0;
    std::string text3;
};

/// <name> <number> <type> <field1> ... <field13>  (a line of the layer file)
class LayerInfo final : public MentorElement {
public:
    LayerInfo(std::string name, int number, std::string type, const int (&fields)[13])
        : name(std::move(name)),
          number(number),
          type(std::move(type)),
          field1(fields[0]),
          field2(fields[1]),
          field3(fields[2]),
          field4(fields[3]),
          field5(fields[4]),
          field6(fields[5]),
          field7(fields[6]),
          field8(fields[7]),
          field9(fields[8]),
          field10(fields[9]),
          field11(fields[10]),
          field12(fields[11]),
          field13(fields[12]) {}
    const LayerInfo* asLayerInfo() const override { return this; }

    std::string name;
    int number = 0;
    std::string type;
    int field1 = 0;
    int field2 = 0;  ///< thickness
    int field3 = 0;
    int field4 = 0;
    int field5 = 0;
    int field6 = 0;
    int field7 = 0;
    int field8 = 0;
    int field9 = 0;
    int field10 = 0;
    int field11 = 0;
    int field12 = 0;
    int field13 = 0;
    std::string text2;
    std::string text3;
};

/// $$page(<value1>, <value2>, <value3>, <unitName>, <value4>, <value5>)
class Page final : public MentorElement {
public:
    Page(double value1, double value2, double value3, std::string unitName, double value4,
         double value5, std::string text2, std::string text3, std::string ownerKind,
         std::string ownerName)
        : value1(value1),
          value2(value2),
          value3(value3),
          unitName(std::move(unitName)),
          value4(value4),
          value5(value5),
          text2(std::move(text2)),
          text3(std::move(text3)),
          ownerKind(std::move(ownerKind)),
          ownerName(std::move(ownerName)) {}
    const Page* asPage() const override { return this; }

    double value1 = 0;
    double value2 = 0;
    double value3 = 0;
    std::string unitName;
    double value4 = 0;
    double value5 = 0;
    std::string text2;
    std::string text3;
    std::string ownerKind;
    std::string ownerName;
};

/// $$polygon("<layer>", <style>, [x, y, ...])
class MyPolygon final : public MentorElement {
public:
    MyPolygon(std::string layer, std::string style, CoordinateList points, std::string ownerKind,
              std::string ownerName)
        : layer(std::move(layer)),
          style(std::move(style)),
          points(std::move(points)),
          ownerKind(std::move(ownerKind)),
          ownerName(std::move(ownerName)) {}
    const MyPolygon* asMyPolygon() const override { return this; }

    std::string layer;
    std::string style;
    CoordinateList points;
    std::string ownerKind;
    std::string ownerName;
};

/// A polygon with arc edges made by the preparation passes: points hold x, y and the
/// signed height of the edge that starts there (0 for a straight edge).
class MyArcPolygon final : public MentorElement {
public:
    MyArcPolygon(std::string layer, std::string style, CoordinateList points, std::string ownerKind,
                 std::string ownerName)
        : layer(std::move(layer)),
          style(std::move(style)),
          points(std::move(points)),
          ownerKind(std::move(ownerKind)),
          ownerName(std::move(ownerName)) {}
    const MyArcPolygon* asMyArcPolygon() const override { return this; }

    std::string layer;
    std::string style;
    CoordinateList points;
    std::string ownerKind;
    std::string ownerName;
};

/// $$path("<layer>", <width>, <style>, [x, y, ...])
class Path final : public MentorElement {
public:
    Path(std::string layer, double width, std::string style, CoordinateList points,
         std::string ownerKind, std::string ownerName)
        : layer(std::move(layer)),
          width(width),
          style(std::move(style)),
          points(std::move(points)),
          ownerKind(std::move(ownerKind)),
          ownerName(std::move(ownerName)) {}
    const Path* asPath() const override { return this; }

    std::string layer;
    double width = 0;
    std::string style;
    CoordinateList points;
    std::string ownerKind;
    std::string ownerName;
};

/// $$initial([x, y]) $$terminal([x, y]) ... $$polygon("<layer>", ...)
class Initial final : public MentorElement {
public:
    Initial(CoordinateList points, std::string ownerKind, std::string ownerName, std::string layer,
            std::string shapeKind, double width)
        : points(std::move(points)),
          ownerKind(std::move(ownerKind)),
          ownerName(std::move(ownerName)),
          layer(std::move(layer)),
          shapeKind(std::move(shapeKind)),
          width(width) {}
    const Initial* asInitial() const override { return this; }

    CoordinateList points;
    std::string ownerKind;
    std::string ownerName;
    std::string layer;
    std::string shapeKind;
    double width = 0;
};

/// $$attribute("BOARD_ROUTING_OUTLINE", [x, y, ...]);
class Attribute final : public MentorElement {
public:
    Attribute(CoordinateList points, std::string ownerKind, std::string ownerName)
        : points(std::move(points)),
          ownerKind(std::move(ownerKind)),
          ownerName(std::move(ownerName)) {}
    const Attribute* asAttribute() const override { return this; }

    CoordinateList points;
    std::string ownerKind;
    std::string ownerName;
};

/// #NET "<name>" with its traces, areas and islands from the traces file.
class LayoutNet final : public MentorElement {
public:
    LayoutNet(std::string name, std::string unitsName, std::vector<TraceRecord> traces,
              std::vector<AreaRecord> rawAreas)
        : name(std::move(name)),
          unitsName(std::move(unitsName)),
          traces(std::move(traces)),
          rawAreas(std::move(rawAreas)) {}
    /// A net that only receives plane shapes.
    explicit LayoutNet(std::string name) : name(std::move(name)) {}
    const LayoutNet* asLayoutNet() const override { return this; }

    std::string name;
    std::string unitsName;
    std::vector<TraceRecord> traces;
    std::vector<AreaRecord> rawAreas;                      ///< as read; islands appended when kept
    std::vector<AreaRecord> preparedAreas;                 ///< layer-file layer names, design units
    std::vector<std::vector<AreaRecord>> splitAreaGroups;  ///< loops of split areas
    std::vector<std::vector<MentorElement*>> planeShapeGroups;  ///< outline, then holes
};

/// $$circle("<layer>", <x>, <y>, <diameter>, <width>);
class MyCircle final : public MentorElement {
public:
    MyCircle(std::string layer, double x, double y, double diameter, double width,
             std::string ownerKind, std::string ownerName)
        : layer(std::move(layer)),
          x(x),
          y(y),
          diameter(diameter),
          width(width),
          ownerKind(std::move(ownerKind)),
          ownerName(std::move(ownerName)) {}
    const MyCircle* asMyCircle() const override { return this; }

    std::string layer;
    double x = 0;
    double y = 0;
    double diameter = 0;
    double width = 0;
    std::string ownerKind;
    std::string ownerName;
};

/// $$text("<layer>", "<text>", <x>, <y>, <size>, @<justification>, <length>, ...);
class MyText final : public MentorElement {
public:
    MyText(std::string layer, double x, double y, double length, std::string justification,
           int textSize, std::string text, std::string ownerKind, std::string ownerName)
        : layer(std::move(layer)),
          x(x),
          y(y),
          length(length),
          justification(std::move(justification)),
          textSize(textSize),
          text(std::move(text)),
          ownerKind(std::move(ownerKind)),
          ownerName(std::move(ownerName)) {}
    const MyText* asMyText() const override { return this; }

    std::string layer;
    double x = 0;
    double y = 0;
    double length = 0;
    std::string justification;
    int textSize = 0;  ///< points
    std::string text;
    std::string ownerKind;
    std::string ownerName;
};

/// GATE <name> <text2> <text3> <number> <text integer pairs...> <pin groups...>
class BSGates final : public MentorElement {
public:
    BSGates(std::string name, std::string text2, std::string text3, int number,
            std::vector<std::pair<std::string, int>> pairs, std::vector<std::string> pinGroups)
        : name(std::move(name)),
          text2(std::move(text2)),
          text3(std::move(text3)),
          number(number),
          pairs(std::move(pairs)),
          pinGroups(std::move(pinGroups)) {}
    const BSGates* asBSGates() const override { return this; }

    std::string name;
    std::string text2;
    std::string text3;
    int number = 0;
    std::vector<std::pair<std::string, int>> pairs;
    std::vector<std::string> pinGroups;
};

/// PIN <name> <pin groups...>
class BSPins final : public MentorElement {
public:
    BSPins(std::string name, std::vector<std::string> pinNames)
        : name(std::move(name)), pinNames(std::move(pinNames)) {}
    const BSPins* asBSPins() const override { return this; }

    std::string name;
    std::vector<std::string> pinNames;
};

/// PINSET <name> <text2> <number> <tokens...> [ <tokens...> ]
class BSPinSet final : public MentorElement {
public:
    BSPinSet(std::string name, std::string text2, int number, std::vector<std::string> leading,
             std::vector<std::string> bracketed)
        : name(std::move(name)),
          text2(std::move(text2)),
          number(number),
          leading(std::move(leading)),
          bracketed(std::move(bracketed)) {}
    const BSPinSet* asBSPinSet() const override { return this; }

    std::string name;
    std::string text2;
    int number = 0;
    std::vector<std::string> leading;    ///< tokens before "["
    std::vector<std::string> bracketed;  ///< tokens between "[" and "]"
};

/// A logical symbol. No reader of the translation run makes one.
class BSSymbol final : public MentorElement {
public:
    BSSymbol(std::string name, std::string text2, std::string text3, std::vector<std::string> items,
             std::map<std::string, std::string> values)
        : name(std::move(name)),
          text2(std::move(text2)),
          text3(std::move(text3)),
          items(std::move(items)),
          values(std::move(values)) {}
    const BSSymbol* asBSSymbol() const override { return this; }

    std::string name;
    std::string text2;
    std::string text3;
    std::vector<std::string> items;
    std::map<std::string, std::string> values;
};

}  // namespace MentorBS
