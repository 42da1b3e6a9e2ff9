// Boards written by bsgen, translated end to end. What each board must give is read from
// bsgen's own seven files by the small readers below, independently of the translator, and
// compared with the neutral layout file the translator writes for it.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "corelib/VnfText.h"
#include "tests/support/TempDir.h"

using testing_support::TempDir;

namespace {

const std::string k_Bsgen = BS2VNF_BINARY_DIR "/tools/bsgen";
const std::string k_Bs2vnf = BS2VNF_BINARY_DIR "/bs2vnf";
const std::vector<std::string> k_ExportFiles = {
    "MentorNeutralFile", "MentorLayerFile", "MentorTechFile", "MentorGeometryFile",
    "MentorTracesFile",  "MentorPinsFile",  "MentorGatesFile"};

/// Exit status of a shell command; -1 when it did not end normally.
int run(const std::string& command) {
    const int raw = std::system(command.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

int bsgen(const std::string& arguments, const std::string& directory) {
    return run("'" + k_Bsgen + "' " + arguments + " --out '" + directory + "' >/dev/null");
}

/// Trace items and their vertices, as the layout writes them or as the input predicts them.
struct TraceCount {
    std::size_t items = 0;
    std::size_t vertices = 0;
    friend bool operator==(const TraceCount&, const TraceCount&) = default;
};

std::ostream& operator<<(std::ostream& out, const TraceCount& count) {
    return out << count.items << " items, " << count.vertices << " vertices";
}

/// One run of points on one layer, widths in counts, drawn as the layout draws it: a vertex
/// per point of non-zero width; where the width changes after the path has vertices, the
/// path ends with one more vertex at that point in the old width and a new path begins.
void addRun(const std::vector<long>& widths, TraceCount& count) {
    if (widths.size() < 2) {
        return;
    }
    bool open = false;
    long previous = 0;
    for (const long width : widths) {
        if (open && width != previous) {
            ++count.vertices;
            ++count.items;
            open = false;
        }
        if (width != 0) {
            ++count.vertices;
            open = true;
        }
        previous = width;
    }
    count.items += open ? 1 : 0;
}

/// What a generated board holds, read from its files line by line (bsgen writes one record
/// or vertex per line).
struct Input {
    std::set<std::string> layoutNets;  ///< routed in the traces file, or with a via
    std::map<std::string, std::size_t> pinsOfNet;
    std::vector<std::string> components;
    std::map<std::string, std::string> planeNetOfLayer;  ///< POWER_k -> its net
    std::set<std::string> cutPlanes;                     ///< plane layers with a board shape
    std::map<std::string, TraceCount> traces;
    std::size_t segments = 0, vias = 0, antipads = 0;
    std::set<std::pair<std::string, std::string>> antipadPlaces;
    bool insideBoard = true;  ///< every SEG point within 200 mm x 150 mm
    long narrowest = -1;      ///< smallest SEG width
};

std::string between(const std::string& text, char open, char close) {
    const std::size_t start = text.find(open);
    const std::size_t end = text.find(close, start + 1);
    return start == std::string::npos || end == std::string::npos
               ? std::string()
               : text.substr(start + 1, end - start - 1);
}

Input readInput(const TempDir& dir) {
    Input input;
    std::vector<std::string> powerNames;
    std::istringstream neutral(dir.read("MentorNeutralFile"));
    std::string net;
    bool inPowerNames = false;
    for (std::string line; std::getline(neutral, line);) {
        std::istringstream words(line);
        std::string keyword;
        words >> keyword;
        if (keyword == "B_ATTR" && line.find("'POWER_NET_NAMES'") != std::string::npos) {
            line = line.substr(line.find("'POWER_NET_NAMES'") + 17);
            inPowerNames = true;
        }
        if (inPowerNames) {
            powerNames.push_back(between(line, '\'', '\''));
            inPowerNames = line.ends_with("-");
        } else if (keyword == "NET") {
            words >> net;
            input.pinsOfNet[net];
        } else if (keyword == "N_PIN") {
            ++input.pinsOfNet[net];
        } else if (keyword == "N_VIA") {
            input.layoutNets.insert(net);
            ++input.vias;
        } else if (keyword == "COMP") {
            input.components.push_back(between(line, '\'', '\''));
        }
    }

    std::istringstream traces(dir.read("MentorTracesFile"));
    std::map<std::string, std::string> layerOfNumber;
    std::string layer;
    std::vector<long> run;
    const auto endRun = [&] {
        addRun(run, input.traces[net]);
        run.clear();
    };
    for (std::string line; std::getline(traces, line);) {
        std::istringstream words(line);
        std::string keyword, number, name;
        words >> keyword;
        if (keyword == "SEG") {
            long x = 0, y = 0, width = 0;
            words >> x >> y >> number >> width;
            if (number != layer) {
                endRun();
            }
            layer = number;
            run.push_back(width);
            ++input.segments;
            input.insideBoard =
                input.insideBoard && x >= 0 && x <= 20000000 && y >= 0 && y <= 15000000;
            input.narrowest = input.narrowest < 0 ? width : std::min(input.narrowest, width);
            if (layerOfNumber[number].starts_with("POWER_")) {
                input.cutPlanes.insert(layerOfNumber[number]);
            }
            continue;
        }
        endRun();
        layer.clear();
        if (keyword == "XRF") {
            words >> number >> name;
            layerOfNumber[number] = name;
            if (name.starts_with("POWER_") && !powerNames.empty()) {
                const std::size_t k = std::stoul(name.substr(6));
                input.planeNetOfLayer[name] = powerNames[std::min(k, powerNames.size()) - 1];
            }
        } else if (keyword == "#" && words >> name && name == "NET") {
            net = between(line, '"', '"');
            input.layoutNets.insert(net);
        }
    }
    endRun();

    std::istringstream geometry(dir.read("MentorGeometryFile"));
    for (std::string line; std::getline(geometry, line);) {
        if ((line.starts_with("$$circle( \"POWER_") || line.starts_with("$$polygon( \"POWER_"))) {
            input.cutPlanes.insert(between(line, '"', '"'));
            ++input.antipads;
            // A circle's centre, or a polygon's first point.
            const std::size_t start =
                line.find('[') != std::string::npos ? line.find('[') + 1 : line.find(',') + 1;
            std::istringstream words(line.substr(start));
            std::string x, y;
            words >> x >> y;
            input.antipadPlaces.emplace(x, y);
        }
    }
    for (const auto& [plane, planeNet] : input.planeNetOfLayer) {
        input.layoutNets.insert(planeNet);
    }
    return input;
}

// Reading the output tree.

using BlockPtr = std::shared_ptr<const io::CBlock>;
using FuncPtr = std::shared_ptr<const io::CBlock_func>;

std::string narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

std::vector<BlockPtr> blocks(const io::CBlock& block, const std::wstring& name) {
    std::vector<BlockPtr> found;
    for (const io::CBlockItem& item : block.items()) {
        if (const auto* child = std::get_if<BlockPtr>(&item); child && (*child)->name() == name) {
            found.push_back(*child);
        }
    }
    return found;
}

const io::CBlock& block(const io::CBlock& parent, const std::wstring& name) {
    static const io::CBlock k_Empty(L"");
    const std::vector<BlockPtr> found = blocks(parent, name);
    return found.empty() ? k_Empty : *found.front();
}

std::vector<FuncPtr> functions(const io::CBlock& block) {
    std::vector<FuncPtr> found;
    for (const io::CBlockItem& item : block.items()) {
        if (const auto* func = std::get_if<FuncPtr>(&item)) {
            found.push_back(*func);
        }
    }
    return found;
}

std::wstring namedValue(const io::CBlock& block, const std::wstring& name) {
    for (const io::CBlockItem& item : block.items()) {
        if (const auto* named = std::get_if<io::CBlock_named_value>(&item);
            named && named->name() == name) {
            return named->value();
        }
    }
    return {};
}

std::size_t namedValueCount(const io::CBlock& block, const std::wstring& name) {
    std::size_t count = 0;
    for (const io::CBlockItem& item : block.items()) {
        const auto* named = std::get_if<io::CBlock_named_value>(&item);
        count += named && named->name() == name ? 1 : 0;
    }
    return count;
}

/// The LayoutNet blocks by name.
std::map<std::string, BlockPtr> layoutNets(const io::CBlock& root) {
    const io::CBlock& layout = block(block(block(root, L"LayoutData"), L"LayoutCell"), L"Layout");
    std::map<std::string, BlockPtr> nets;
    for (const BlockPtr& net : blocks(block(layout, L"LayoutNets"), L"LayoutNet")) {
        nets.emplace(narrow(namedValue(*net, L"Name")), net);
    }
    return nets;
}

// The boards: each is generated once, translated without and with merged planes, and read
// by every test below.

/// A board and the counts its arguments ask for (-1 where they leave a count open).
struct Case {
    const char* arguments;
    long segments, components, vias, antipads;
    bool zeroWidths;
};

/// Twenty layers with eight planes; six layers with ground and supply planes and points of
/// width 0; four layers with one plane and exact via and antipad counts; four layers with
/// two planes that nothing cuts but the traces of other nets that cross them, if any.
const std::vector<Case> k_Cases = {
    {"--seed 11 --segments 300 --components 12", 300, 12, -1, -1, false},
    {"--seed 12 --segments 400 --layers 6 --planes 2 --components 16 --zero-widths", 400, 16, -1,
     -1, true},
    {"--seed 13 --segments 250 --layers 4 --planes 1 --components 8 --vias 9 --antipads 30", 250, 8,
     9, 30, false},
    {"--seed 14 --segments 200 --layers 4 --planes 2 --components 8 --antipads 0", 200, 8, -1, 0,
     false},
};
const std::vector<std::string> k_Modes = {"nomerge", "merge"};

struct Board {
    std::unique_ptr<TempDir> dir;
    Input input;
    std::map<std::string, std::string> output;  ///< neutral layout file text by mode
    std::map<std::string, std::string> errors;  ///< the translator's standard error by mode
    std::map<std::string, std::shared_ptr<io::CBlock>> root;
};

class BsgenBoards : public testing::Test {
protected:
    static void SetUpTestSuite() {
        s_boards = new std::vector<Board>();
        for (const Case& c : k_Cases) {
            Board board;
            board.dir = std::make_unique<TempDir>();
            const std::string dir = board.dir->str();
            if (bsgen(c.arguments, dir) != 0) {
                continue;
            }
            board.input = readInput(*board.dir);
            for (const std::string& mode : k_Modes) {
                run("SOURCE_DATE_EPOCH=86400 '" + k_Bs2vnf + "' " + mode + " '" + dir
                    + "' board >/dev/null 2>'" + dir + "/stderr'");
                board.output[mode] = board.dir->read("board_V4.vnf");
                board.errors[mode] = board.dir->read("stderr");
                board.root[mode] = io::parseVnfText(board.output[mode]).root;
            }
            s_boards->push_back(std::move(board));
        }
    }
    static void TearDownTestSuite() {
        delete s_boards;
        s_boards = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(std::filesystem::exists(k_Bsgen)) << k_Bsgen << " is not built";
        ASSERT_TRUE(std::filesystem::exists(k_Bs2vnf)) << k_Bs2vnf << " is not built";
        ASSERT_EQ(s_boards->size(), k_Cases.size()) << "bsgen failed on a board";
    }

    /// Calls `check` for every board and mode whose output parsed, with a trace of which.
    template <typename Check>
    void forEachTranslation(Check check) {
        for (std::size_t i = 0; i < s_boards->size(); ++i) {
            const Board& board = (*s_boards)[i];
            for (const std::string& mode : k_Modes) {
                SCOPED_TRACE(std::string(k_Cases[i].arguments) + " " + mode);
                ASSERT_NE(board.root.at(mode), nullptr);
                check(board.input, *board.root.at(mode), k_Cases[i]);
            }
        }
    }

    static std::vector<Board>* s_boards;
};

std::vector<Board>* BsgenBoards::s_boards = nullptr;

}  // namespace

TEST(Bsgen, SameSeedAndParametersGiveTheSameBytes) {
    ASSERT_TRUE(std::filesystem::exists(k_Bsgen)) << k_Bsgen << " is not built";
    TempDir first, second, other;
    const std::string arguments = "--seed 5 --segments 500 --layers 8 --planes 3 --zero-widths";
    ASSERT_EQ(bsgen(arguments, first.str()), 0);
    ASSERT_EQ(bsgen(arguments, second.str()), 0);
    ASSERT_EQ(bsgen("--seed 6 --segments 500 --layers 8 --planes 3 --zero-widths", other.str()), 0);
    for (const std::string& file : k_ExportFiles) {
        SCOPED_TRACE(file);
        EXPECT_FALSE(first.read(file).empty());
        EXPECT_EQ(first.read(file), second.read(file));
    }
    EXPECT_NE(first.read("MentorTracesFile"), other.read("MentorTracesFile"));
    // A single point draws no trace, so one segment is refused.
    EXPECT_EQ(run("'" + k_Bsgen + "' --segments 1 --out '" + other.str() + "' 2>/dev/null"), 2);
}

TEST_F(BsgenBoards, GeneratedBoardsAreSaneAndCountsExact) {
    for (std::size_t i = 0; i < s_boards->size(); ++i) {
        const Input& input = (*s_boards)[i].input;
        const Case& c = k_Cases[i];
        SCOPED_TRACE(c.arguments);
        EXPECT_EQ(static_cast<long>(input.segments), c.segments);
        EXPECT_EQ(static_cast<long>(input.components.size()), c.components);
        if (c.vias >= 0) {
            EXPECT_EQ(static_cast<long>(input.vias), c.vias);
        }
        if (c.antipads >= 0) {
            EXPECT_EQ(static_cast<long>(input.antipads), c.antipads);
        }
        EXPECT_TRUE(input.insideBoard);
        EXPECT_EQ(input.narrowest > 0, !c.zeroWidths);
        if (c.antipads != 0) {
            EXPECT_GT(input.antipadPlaces.size(), 1u) << "antipads all in one place";
        }
        EXPECT_EQ(std::set<std::string>(input.components.begin(), input.components.end()).size(),
                  input.components.size());
    }
}

TEST_F(BsgenBoards, TranslationIsRepeatableAndReportsNothing) {
    for (std::size_t i = 0; i < s_boards->size(); ++i) {
        Board& board = (*s_boards)[i];
        SCOPED_TRACE(k_Cases[i].arguments);
        const std::string dir = board.dir->str();
        ASSERT_EQ(run("SOURCE_DATE_EPOCH=86400 '" + k_Bs2vnf + "' nomerge '" + dir
                      + "' board >/dev/null 2>&1"),
                  0);
        EXPECT_EQ(board.dir->read("board_V4.vnf"), board.output.at("nomerge"));
        for (const std::string& mode : k_Modes) {
            EXPECT_EQ(board.errors.at(mode), "") << mode;
        }
    }
}

TEST_F(BsgenBoards, EveryNetReachesTheLayout) {
    forEachTranslation([](const Input& input, const io::CBlock& root, const Case&) {
        const std::map<std::string, BlockPtr> nets = layoutNets(root);
        for (const std::string& net : input.layoutNets) {
            EXPECT_TRUE(nets.contains(net)) << net;
        }
        EXPECT_EQ(nets.size(), input.layoutNets.size());
    });
}

TEST_F(BsgenBoards, EveryComponentIsPlacedAndEveryNetPinConnected) {
    forEachTranslation([](const Input& input, const io::CBlock& root, const Case&) {
        const io::CBlock& cell = block(block(root, L"LayoutData"), L"LayoutCell");
        std::vector<std::string> placed;
        for (const BlockPtr& comp :
             blocks(block(block(cell, L"Layout"), L"LayoutComponents"), L"LayoutComp")) {
            const std::vector<FuncPtr> items = functions(*comp);
            ASSERT_FALSE(items.empty());
            const std::vector<io::CBlockArgument> arguments = items.front()->arguments();
            ASSERT_GE(arguments.size(), 3u);
            placed.push_back(narrow(std::get<std::wstring>(arguments[2])));
        }
        EXPECT_EQ(placed, input.components);

        const io::CBlock& netlist = block(cell, L"Netlist");
        std::vector<std::string> listed;
        for (const BlockPtr& instance : blocks(netlist, L"Compinst")) {
            listed.push_back(narrow(functions(*instance).front()->name()));
        }
        EXPECT_EQ(listed, input.components);
        // Every N_PIN names a pin of a placed component, so each becomes a NetPin.
        std::map<std::string, std::size_t> netPins;
        for (const BlockPtr& net : blocks(netlist, L"Net")) {
            netPins[narrow(functions(*net).front()->name())] = namedValueCount(*net, L"NetPin");
        }
        EXPECT_EQ(netPins, input.pinsOfNet);
    });
}

TEST_F(BsgenBoards, EveryPlaneNetCarriesItsPlanes) {
    forEachTranslation([](const Input& input, const io::CBlock& root, const Case&) {
        const std::map<std::string, BlockPtr> nets = layoutNets(root);
        ASSERT_FALSE(input.planeNetOfLayer.empty());
        for (const auto& [plane, net] : input.planeNetOfLayer) {
            SCOPED_TRACE(plane + " of " + net);
            ASSERT_TRUE(nets.contains(net));
            // A plane with a cut inside the board is an outline with voids (and crossing
            // cuts may cut out plain pieces); one without is a plain polygon.
            bool withVoids = false;
            bool plain = false;
            for (const BlockPtr& shape : blocks(*nets.at(net), L"PolygonWithVoids")) {
                withVoids =
                    withVoids
                    || (namedValue(*shape, L"Layer") == std::wstring(plane.begin(), plane.end())
                        && !block(*shape, L"voids").items().empty());
            }
            for (const FuncPtr& item : functions(*nets.at(net))) {
                const std::vector<io::CBlockArgument> arguments = item->arguments();
                plain = plain
                        || (item->name() == L"Graphics" && arguments.size() == 2
                            && narrow(std::get<std::wstring>(arguments[0])) == plane);
            }
            if (input.cutPlanes.contains(plane)) {
                EXPECT_TRUE(withVoids);
            } else {
                EXPECT_TRUE(plain);
                EXPECT_FALSE(withVoids);
            }
        }
    });
}

TEST_F(BsgenBoards, TraceVerticesFollowTheWidthRule) {
    forEachTranslation([](const Input& input, const io::CBlock& root, const Case&) {
        std::map<std::string, TraceCount> written;
        for (const auto& [name, net] : layoutNets(root)) {
            for (const FuncPtr& item : functions(*net)) {
                if (item->name() != L"Trace") {
                    continue;
                }
                TraceCount& count = written[name];
                ++count.items;
                const std::vector<io::CBlockArgument> trace = item->arguments();
                ASSERT_EQ(trace.size(), 2u);
                for (const io::CBlockArgument& vertex : std::get<FuncPtr>(trace[1])->arguments()) {
                    const FuncPtr* func = std::get_if<FuncPtr>(&vertex);
                    count.vertices += func && (*func)->name() == L"vertex" ? 1 : 0;
                }
            }
        }
        std::map<std::string, TraceCount> expected;
        for (const auto& [name, count] : input.traces) {
            if (count.items > 0) {
                expected[name] = count;
            }
        }
        EXPECT_EQ(written, expected);
    });
}
