// The example design translated end to end: the run log line by line, and the neutral file
// through the structural checks every translated design must pass. Block contents are
// checked item by item on small models in tests/writer; here they must hang together.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "corelib/VnfText.h"
#include "driver/Bs2Vnf.h"
#include "tests/support/Recorder.h"
#include "tests/support/TempDir.h"

using testing_support::TempDir;

namespace {

const io::CBlock* childBlock(const io::CBlock& block, const std::wstring& name) {
    for (const io::CBlockItem& item : block.items()) {
        if (const auto* child = std::get_if<std::shared_ptr<const io::CBlock>>(&item)) {
            if ((*child)->name() == name) {
                return child->get();
            }
        }
    }
    return nullptr;
}

std::vector<std::wstring> itemNames(const io::CBlock& block) {
    std::vector<std::wstring> names;
    for (const io::CBlockItem& item : block.items()) {
        std::visit(
            [&](const auto& value) {
                if constexpr (std::is_same_v<std::decay_t<decltype(value)>,
                                             io::CBlock_named_value>) {
                    names.push_back(value.name());
                } else {
                    names.push_back(value->name());
                }
            },
            item);
    }
    return names;
}

/// Named value `name` of a block; empty when it has none.
std::wstring namedValue(const io::CBlock& block, const std::wstring& name) {
    for (const io::CBlockItem& item : block.items()) {
        if (const auto* named = std::get_if<io::CBlock_named_value>(&item)) {
            if (named->name() == name) {
                return named->value();
            }
        }
    }
    return {};
}

/// The vertices the traces file's routed records give under the width-change rule: each
/// record splits into runs on one layer; a run of two or more points has a vertex per
/// point of non-zero width, plus one closing vertex wherever the width changes after the
/// path has started.
std::size_t expectedTraceVertices(const std::string& tracesFile) {
    std::istringstream in(tracesFile);
    std::size_t total = 0;
    std::vector<std::pair<std::string, long>> run;  // layer, width per point
    const auto finishRun = [&] {
        if (run.size() >= 2) {
            std::size_t vertices = 0;
            for (std::size_t i = 0; i < run.size(); ++i) {
                vertices += i > 0 && run[i].second != run[i - 1].second && vertices > 0;
                vertices += run[i].second != 0;
            }
            total += vertices;
        }
        run.clear();
    };
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string keyword, x, y, layer;
        long width = 0;
        words >> keyword;
        if (keyword == "SEG" && words >> x >> y >> layer >> width) {
            if (!run.empty() && run.back().first != layer) {
                finishRun();
            }
            run.emplace_back(layer, width);
        } else {
            finishRun();
        }
    }
    finishRun();
    return total;
}

}  // namespace

TEST(Demo, TranslatesWithTheCheckedLogIntoAFileThatHangsTogether) {
    TempDir dir;
    const std::filesystem::path source = BS2VNF_SOURCE_DIR;
    std::filesystem::copy(source / "examples/demo", dir.path());
    ::setenv("SOURCE_DATE_EPOCH", "86400", 1);
    testing_support::Recorder recorder;
    std::vector<const char*> argv = {"bs2vnf", "nomerge", nullptr, "demo"};
    const std::string directory = dir.str();
    argv[2] = directory.c_str();
    EXPECT_EQ(runBs2vnf(4, argv.data()), 0);
    ::unsetenv("SOURCE_DATE_EPOCH");
    EXPECT_TRUE(recorder.messageBoxes.empty());

    std::string log = testing_support::readFile(source / "tests/data/demo/demo_V4.log");
    for (std::size_t at; (at = log.find("@DIR@")) != std::string::npos;) {
        log.replace(at, 5, directory);
    }
    EXPECT_EQ(dir.read("demo_V4.log"), log);

    const io::VnfParseResult parsed = io::parseVnfText(dir.read("demo_V4.vnf"));
    ASSERT_NE(parsed.root, nullptr) << parsed.error;
    const io::CBlock& root = *parsed.root;
    EXPECT_EQ(itemNames(root), (std::vector<std::wstring>{
                                   L"Version", L"Source", L"Date", L"DefaultUnits", L"PadShapes",
                                   L"PadStacks", L"Symbols", L"Footprints", L"Materials",
                                   L"Components", L"SchematicData", L"LayoutData"}));

    // Every padstack entry names a pad shape (the null pad is named without its quotes).
    const std::vector<std::wstring> shapeList = itemNames(*childBlock(root, L"PadShapes"));
    std::set<std::wstring> shapes(shapeList.begin(), shapeList.end());
    shapes.insert(L"NULLPAD");
    const io::CBlock& stacks = *childBlock(root, L"PadStacks");
    // The demo's four PAD records: 'SMD_SOIC', 'SMD_0603', 'THT60' and 'VIA20', and the
    // "_XTRA" twin of 'SMD_0603', whose pins sit on both sides (R3 is on the bottom).
    EXPECT_EQ(stacks.items().size(), 5u);
    for (const io::CBlockItem& item : stacks.items()) {
        const auto& stack = *std::get<std::shared_ptr<const io::CBlock>>(item);
        for (const io::CBlockItem& entry : stack.items()) {
            const auto& function = *std::get<std::shared_ptr<const io::CBlock_func>>(entry);
            for (const io::CBlockArgument& argument : function.arguments()) {
                if (const auto* name = std::get_if<std::wstring>(&argument)) {
                    EXPECT_TRUE(shapes.contains(*name)) << std::string(name->begin(), name->end());
                } else if (const auto* nested =
                               std::get_if<std::shared_ptr<const io::CBlock_func>>(&argument)) {
                    const std::wstring shape =
                        std::get<std::wstring>((*nested)->arguments().front());
                    EXPECT_TRUE(shapes.contains(shape)) << std::string(shape.begin(), shape.end());
                }
            }
        }
    }
    // The board's definition, then one per COMP record: U1, R1, R2, C1, J1 and R3.
    EXPECT_EQ(itemNames(*childBlock(root, L"Components")),
              (std::vector<std::wstring>{L"demo", L"Component0", L"Component1", L"Component2",
                                         L"Component3", L"Component4", L"Component5"}));

    // Every net of the neutral and traces files has its layout net, once; the traces come
    // out with the vertices the traces file gives; each plane net holds its plane.
    const io::CBlock* layout =
        childBlock(*childBlock(*childBlock(root, L"LayoutData"), L"LayoutCell"), L"Layout");
    ASSERT_NE(layout, nullptr);
    std::multiset<std::wstring> netNames;
    std::size_t traceVertices = 0;
    std::set<std::pair<std::wstring, std::wstring>> planes;  // net, layer
    for (const io::CBlockItem& item : childBlock(*layout, L"LayoutNets")->items()) {
        const io::CBlock& net = *std::get<std::shared_ptr<const io::CBlock>>(item);
        netNames.insert(namedValue(net, L"Name"));
        for (const io::CBlockItem& entry : net.items()) {
            if (const auto* func = std::get_if<std::shared_ptr<const io::CBlock_func>>(&entry)) {
                if ((*func)->name() == L"Trace") {
                    const auto path = std::get<std::shared_ptr<const io::CBlock_func>>(
                        (*func)->arguments().at(1));
                    traceVertices += path->argumentCount() - 1;  // the id, then vertices
                }
            } else if (const auto* block = std::get_if<std::shared_ptr<const io::CBlock>>(&entry);
                       block && (*block)->name() == L"PolygonWithVoids") {
                planes.emplace(namedValue(net, L"Name"), namedValue(**block, L"Layer"));
            }
        }
    }
    EXPECT_EQ(netNames, (std::multiset<std::wstring>{L"GND", L"VCC", L"IN", L"INM", L"OUT"}));
    EXPECT_EQ(traceVertices, expectedTraceVertices(testing_support::readFile(
                                 source / "examples/demo/MentorTracesFile")));
    EXPECT_TRUE(planes.contains({L"GND", L"POWER_1"}));

    // The ground net's pins by terminal index. U1's gate records order its terminals
    // 1, 2, 3, 4, 8 (gate A with the supply pins), then 7, 6, 5 (gate B): U1-3 is index 2
    // and U1-4 index 3; C1-2, J1-1 and R3-2 keep their read order.
    const io::CBlock& netlist =
        *childBlock(*childBlock(*childBlock(root, L"LayoutData"), L"LayoutCell"), L"Netlist");
    std::vector<std::wstring> groundPins;
    for (const io::CBlockItem& item : netlist.items()) {
        const io::CBlock& block = *std::get<std::shared_ptr<const io::CBlock>>(item);
        if (block.name() == L"Net" && itemNames(block).front() == L"GND") {
            for (const io::CBlockItem& entry : block.items()) {
                if (const auto* pin = std::get_if<io::CBlock_named_value>(&entry)) {
                    groundPins.push_back(pin->value());
                }
            }
        }
    }
    EXPECT_EQ(groundPins, (std::vector<std::wstring>{L"U1.2", L"U1.3", L"C1.1", L"J1.0", L"R3.1"}));
    EXPECT_TRUE(planes.contains({L"VCC", L"POWER_2"}));
}
