#include "writer/Components.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "corelib/VnfJson.h"
#include "mentor/Arena.h"
#include "tests/support/BlockJson.h"
#include "tests/support/Recorder.h"
#include "writer/DocumentContext.h"

using namespace MentorBS;

namespace {

CompPin* pin(const char* name, int padLayer = 1) {
    CompPin* made = make<CompPin>();
    made->pinName = name;
    made->value1 = padLayer;
    return made;
}

Component* component(const char* reference, std::vector<CompPin*> pins,
                     std::vector<std::string> properties = {}, const char* part = "",
                     const char* geometry = "", const char* device = "") {
    return make<Component>(reference, part, geometry, device, 0.0, 0.0, 1, 0, std::move(properties),
                           std::move(pins));
}

BSGates* gate(const char* reference, const char* gateName,
              std::vector<std::pair<std::string, int>> entries) {
    return make<BSGates>(reference, gateName, "", 1, std::move(entries),
                         std::vector<std::string>{});
}

NetPin* netPin(const char* pinRef) {
    NetPin* made = make<NetPin>();
    made->pinRef = pinRef;
    return made;
}

BoardModel modelOf(std::vector<MentorElement*> elements) {
    BoardModel model;
    model.elements = std::move(elements);
    return model;
}

io::CBlockPtr componentsThenNetlist(const BoardModel& model, DocumentContext& context) {
    buildComponents(model, context);
    return buildNetlist(model, context);
}

}  // namespace

TEST(Components, DefinitionsWithGatesPinTypesAndProperties) {
    const BoardModel model = modelOf({
        gate("'U1'", "A", {{"'OUT':1", 0}, {"'IN':3", -1}}),
        gate("'U1'", "B", {{"'PWR':4", 2}}),
        // Gate records without a gate name: the gate count stays 0 and the gate is "A".
        gate("C1", "", {{"'P':b", 5}}),
        make<BSPins>("'U1-3'", std::vector<std::string>{"(PINTYPE,\"IN\")"}),
        make<BSPins>("U1-3", std::vector<std::string>{"(PINTYPE,\"BI\")"}),
        make<BSPins>("U1-2", std::vector<std::string>{"(X,\"1\")", "(pintype,\"OUT\")"}),
        component("U1", {pin("U1-1"), pin("U1-2"), pin("U1-3"), pin("U1-4", 2)},
                  {"(VALUE,\"LM358\")", "(R,\"10k\")", "(capacitance,\"1n\")"}, "'LM358'",
                  "'SOIC8'", "'OPAMP'"),
        component("C1", {pin("'C1-A'"), pin("C1-B")}, {"(NOTE,plain)"}, "CAP", "C0603", "CAP"),
        component("R1", {}),
    });
    DocumentContext context(model, false);
    // U1: the entries order OUT (pin 1), IN (pin 3), PWR (pin 4), then pin 2 as read. IN's -1
    // leaves its gate empty and gives no equivalence number. C1's entry matches B in any case.
    EXPECT_EQ(io::vnfToJson(*buildComponents(model, context)), R"({"block":"Components","items":[
  {"block":"MentorBoard","items":[
    {"func":"CompDef","args":[{"string":""},{"string":"MentorBoard"},{"string":""},{"string":"U"},{"int":1},{"string":"MentorBoard"}]}
  ]},
  {"block":"Component0","items":[
    {"func":"CompDef","args":[{"string":"'LM358'"},{"string":"'SOIC8'"},{"string":""},{"string":"U"},{"int":2}]},
    {"func":"Terminal","args":[{"string":"OUT"},{"string":"1"},{"string":"1"},{"string":"A"},{"bool":false}]},
    {"func":"Terminal","args":[{"string":"IN"},{"string":"3"},{"string":"1"},{"string":""},{"bool":true}]},
    {"func":"Terminal","args":[{"string":"PWR"},{"string":"4"},{"string":"2"},{"string":"B"},{"bool":false}]},
    {"func":"Terminal","args":[{"string":"U1-2"},{"string":"2"},{"string":"1"},{"string":""},{"bool":true}]},
    {"block":"Properties","items":[
      {"func":"TextProp","args":[{"string":"VALUE"},{"string":"LM358"}]},
      {"func":"NumberProp","args":[{"string":"Equivalence Number[0]"},{"int":0},{"bool":true}]},
      {"func":"NumberProp","args":[{"string":"Equivalence Number[2]"},{"int":2},{"bool":true}]},
      {"func":"TextProp","args":[{"string":"Electrical Type[1]"},{"string":"IN"}]},
      {"func":"TextProp","args":[{"string":"Electrical Type[3]"},{"string":"OUT"}]},
      {"func":"TextProp","args":[{"string":"DEVICE_TYPE"},{"string":"OPAMP"}]}
    ]}
  ]},
  {"block":"Component1","items":[
    {"func":"CompDef","args":[{"string":"CAP"},{"string":"C0603"},{"string":""},{"string":"C"},{"int":1}]},
    {"func":"Terminal","args":[{"string":"P"},{"string":"B"},{"string":"1"},{"string":"A"},{"bool":false}]},
    {"func":"Terminal","args":[{"string":"C1-A"},{"string":"A"},{"string":"1"},{"string":""},{"bool":true}]},
    {"block":"Properties","items":[
      {"func":"TextProp","args":[{"string":"NOTE"},{"string":"plain"}]},
      {"func":"NumberProp","args":[{"string":"Equivalence Number[0]"},{"int":5},{"bool":true}]},
      {"func":"TextProp","args":[{"string":"DEVICE_TYPE"},{"string":"CAP"}]}
    ]}
  ]},
  {"block":"Component2","items":[
    {"func":"CompDef","args":[{"string":""},{"string":""},{"string":""},{"string":"R"},{"int":1}]},
    {"block":"Properties","items":[
      {"func":"TextProp","args":[{"string":"DEVICE_TYPE"},{"string":""}]}
    ]}
  ]}
]}
)");
    EXPECT_EQ(context.terminalIndex,
              (std::map<std::string, int>{
                  {"C1-A", 1}, {"C1-B", 0}, {"U1-1", 0}, {"U1-2", 3}, {"U1-3", 1}, {"U1-4", 2}}));
    EXPECT_EQ(context.componentDefinitions.at("R1").wide(), L"Component2");
}

TEST(Components, EntriesNamingATerminalTwiceKeepThePinsAsRead) {
    testing_support::Recorder recorder;
    const BoardModel model = modelOf({gate("U1", "A", {{"'X':1", 0}, {"'Y':1", 0}}),
                                      component("U1", {pin("U1-1"), pin("U1-2")})});
    DocumentContext context(model, false);
    const std::string json = io::vnfToJson(*buildComponents(model, context));
    ASSERT_EQ(recorder.assertions.size(), 1u);
    EXPECT_EQ(recorder.assertions[0].source, "BoardStationToVnf");
    EXPECT_EQ(recorder.assertions[0].expression, "false");
    EXPECT_EQ(context.terminalIndex, (std::map<std::string, int>{{"U1-1", 0}, {"U1-2", 1}}));
    // The first entry still names the pin's gate.
    EXPECT_NE(json.find(R"({"func":"Terminal","args":[{"string":"X"},{"string":"1"})"),
              std::string::npos);
}

TEST(Netlist, ElectricalValuesOfComponents) {
    struct Case {
        const char* reference;
        const char* property;
        const char* item;  // the one Properties item, or empty for none
    };
    const Case cases[] = {
        {"R1", "(R,\"4k7\")",
         R"({"func":"NumberProp","args":[{"string":"R"},{"double":4700},{"bool":false},{"string":"ohms"}]})"},
        {"C1", "(Value,\"100n\")",
         R"({"func":"NumberProp","args":[{"string":"C"},{"double":1e-07},{"bool":false},{"string":"F"}]})"},
        {"L1", "(INSTPAR,\"10u\")",
         R"({"func":"NumberProp","args":[{"string":"L"},{"double":1e-05},{"bool":false},{"string":"H"}]})"},
        {"R1", "(Resistance,\"2m\")",
         R"({"func":"NumberProp","args":[{"string":"R"},{"double":0.002},{"bool":false},{"string":"ohms"}]})"},
        {"R1", "(R,\"47\")", R"({"func":"NumberProp","args":[{"string":"R"},{"double":47}]})"},
        // No multiplier: the fraction step only, and the unit from the whole suffix.
        {"R1", "(R,\"10r\")",
         R"({"func":"NumberProp","args":[{"string":"R"},{"double":10},{"bool":false},{"string":"ohms"}]})"},
        {"R1", "(R,\"4R7\")",
         R"({"func":"NumberProp","args":[{"string":"R"},{"double":4.7},{"bool":false},{"string":"R7"}]})"},
        {"C1", "(Parasitic_Capacitance,\"3i\")",
         R"({"func":"NumberProp","args":[{"string":"C"},{"double":3},{"bool":false},{"string":"L"}]})"},
        {"R1", "(R,\"DNF\")",
         R"({"func":"CheckboxProp","args":[{"string":"ACTIVATE"},{"bool":false}]})"},
        {"R1", "(r,\"DoNotFit\")",
         R"({"func":"CheckboxProp","args":[{"string":"ACTIVATE"},{"bool":false}]})"},
        // No number; a Value of a reference of no electrical kind; a property of no such name.
        {"R1", "(R,\"k\")", ""},
        {"U1", "(Value,\"10k\")", ""},
        {"R1", "(TOLERANCE,\"1%\")", ""},
    };
    for (const Case& c : cases) {
        const std::string expected =
            std::string(R"({"block":"Netlist","items":[
  {"block":"Compinst","items":[
    {"func":")")
            + c.reference + R"(","args":[{"string":"Component0"}]},
    {"block":"Properties","items":[)"
            + (*c.item ? std::string("\n      ") + c.item + "\n    ]}" : "]}") + R"(
  ]}
]}
)";
        const BoardModel model = modelOf({component(c.reference, {}, {c.property})});
        EXPECT_EQ(testing_support::blockJson(model, componentsThenNetlist), expected) << c.property;
    }
}

TEST(Netlist, NetsConnectTerminalsByIndex) {
    BoardModel model = modelOf({
        gate("U1", "A", {{"'X':2", 0}, {"'Y':1", 0}}),
        component("U1", {pin("U1-1"), pin("U1-2"), pin("U1-3")}, {}, "'LM358'"),
        component("J-1", {pin("J-1-2")}),
        make<Net>(
            "N1", std::vector<std::string>{"(NET_TYPE,\"POWER\")"},
            std::vector<NetPin*>{netPin("U1-3"), netPin("U1-1"), netPin("X9-1"), netPin("J-1-2")},
            std::vector<NetVia*>{}, std::vector<NetPinTest*>{}, std::vector<NetTestPoint*>{}),
        make<Net>("N2", std::vector<std::string>{}, std::vector<NetPin*>{}, std::vector<NetVia*>{},
                  std::vector<NetPinTest*>{}, std::vector<NetTestPoint*>{}),
    });
    model.layoutElements = {make<LayoutNet>("N1"), make<LayoutNet>("ROUTED"),
                            make<LayoutNet>("ROUTED")};
    DocumentContext context(model, false);
    // The gate entries order U1's pins 2, 1, 3, so U1-3 is terminal 2 and U1-1 terminal 1.
    EXPECT_EQ(io::vnfToJson(*componentsThenNetlist(model, context)), R"({"block":"Netlist","items":[
  {"block":"Compinst","items":[
    {"func":"U1","args":[{"string":"Component0"}]},
    {"block":"Properties","items":[]},
    {"func":"TextProp","args":[{"string":"PART_NUMBER"},{"string":"'LM358'"}]}
  ]},
  {"block":"Compinst","items":[
    {"func":"J-1","args":[{"string":"Component1"}]},
    {"block":"Properties","items":[]}
  ]},
  {"block":"Net","items":[
    {"func":"N1","args":[{"string":"Signal"}]},
    {"named":"NetPin","value":"U1.2"},
    {"named":"NetPin","value":"U1.1"},
    {"named":"NetPin","value":"J-1.0"},
    {"block":"Properties","items":[
      {"func":"TextProp","args":[{"string":"NET_TYPE"},{"string":"POWER"}]}
    ]}
  ]},
  {"block":"Net","items":[
    {"func":"N2","args":[{"string":"Signal"}]}
  ]},
  {"block":"Net","items":[
    {"func":"ROUTED","args":[{"string":"Signal"}]}
  ]}
]}
)");
    // X9-1 of net N1: no component has that pin.
    EXPECT_EQ(context.netPinsWithoutTerminal.count, 1);
    EXPECT_EQ(context.netPinsWithoutTerminal.names, std::vector<std::string>{"X9-1"});
}
