// The example design translated end to end: the run log line by line, and the neutral file
// through the structural checks every translated design must pass. Block contents are
// checked item by item on small models in tests/writer; here they must hang together.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
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
    // The demo's four PAD records: 'SMD_SOIC', 'SMD_0603', 'THT60' and 'VIA20'.
    EXPECT_EQ(stacks.items().size(), 4u);
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
    // The board's definition, then one per COMP record: U1, R1, R2, C1 and J1.
    EXPECT_EQ(itemNames(*childBlock(root, L"Components")),
              (std::vector<std::wstring>{L"demo", L"Component0", L"Component1", L"Component2",
                                         L"Component3", L"Component4"}));
}
