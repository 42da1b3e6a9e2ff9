#include "containers/AvlTree.h"

#include <algorithm>
#include <numeric>
#include <random>
#include <utility>
#include <vector>

#include "KernelTest.h"
#include "math/geometry/Box.h"

using namespace geom;

namespace {

class SequenceTree : public KernelTest {};
class SortedTree : public KernelTest {};
class RangeTree : public KernelTest {};

/// An element with a box: an id and the box it stands for.
struct Item {
    int m_Id = 0;
    Box m_Box;
};
struct ItemBox {
    Box operator()(const Item& i) const { return i.m_Box; }
};
using ItemTree = containers::RangeAvlTree_T<Item, ItemBox>;

Box RandomBox(std::mt19937& random, double world, double size) {
    std::uniform_real_distribution<double> at(0, world);
    std::uniform_real_distribution<double> side(0, size);
    const double x = at(random);
    const double y = at(random);
    return Box::FromBounds(x, y, x + side(random), y + side(random));
}

template <class Tree>
std::vector<typename Tree::Iterator::value_type> Contents(const Tree& tree) {
    return {tree.begin(), tree.end()};
}

TEST_F(SequenceTree, FollowsAVectorThroughRandomEdits) {
    std::mt19937 random(7);
    containers::AvlTree_T<int> tree;
    std::vector<int> model;
    for (int step = 0; step < 20 * k_RandomCases; ++step) {
        const int n = int(model.size());
        const int op = std::uniform_int_distribution<int>(0, 9)(random);
        if (op < 6 || n == 0) {
            const int at = std::uniform_int_distribution<int>(0, n)(random);
            tree.Insert(at == n ? tree.end() : tree.GetAt(at), step);
            model.insert(model.begin() + at, step);
        } else if (op < 9) {
            const int at = std::uniform_int_distribution<int>(0, n - 1)(random);
            const auto next = tree.Erase(tree.GetAt(at));
            model.erase(model.begin() + at);
            // The returned position holds the element that followed.
            if (at < n - 1) {
                ASSERT_EQ(*next, model[at]);
            } else {
                ASSERT_TRUE(next == tree.end());
            }
        } else {
            const int at = std::uniform_int_distribution<int>(0, n - 1)(random);
            tree.InsertAfter(tree.GetAt(at), -step);
            model.insert(model.begin() + at + 1, -step);
        }
        ASSERT_TRUE(tree.CheckInvariants()) << "step " << step;
        ASSERT_EQ(tree.size(), std::ptrdiff_t(model.size()));
    }
    ASSERT_EQ(Contents(tree), model);
    for (int j = 0; j < int(model.size()); ++j) {
        const auto it = tree.GetAt(j);
        ASSERT_EQ(*it, model[j]);
        ASSERT_EQ(tree.GetIndexOf(it), j);
    }
    // Walking backwards from the end gives the reverse.
    std::vector<int> backwards;
    for (auto it = tree.end(); it != tree.begin();) {
        backwards.push_back(*--it);
    }
    std::reverse(backwards.begin(), backwards.end());
    EXPECT_EQ(backwards, model);
}

TEST_F(SequenceTree, BulkBuildIsBalancedAndCopiesAreIndependent) {
    for (int n : {0, 1, 2, 3, 7, 8, 100, 1000}) {
        std::vector<int> values(n);
        std::iota(values.begin(), values.end(), -5);
        containers::AvlTree_T<int> tree(values.begin(), values.end());
        ASSERT_TRUE(tree.CheckInvariants()) << n;
        ASSERT_EQ(Contents(tree), values);
        containers::AvlTree_T<int> copy = tree;
        copy.PushBack(-1);
        EXPECT_EQ(Contents(tree), values);
        EXPECT_TRUE(copy.CheckInvariants());
        EXPECT_EQ(copy.size(), n + 1);
    }
}

TEST_F(SequenceTree, ForeignIteratorsAndBadPositionsAreReported) {
    containers::AvlTree_T<int> a;
    containers::AvlTree_T<int> b;
    a.PushBack(1);
    b.PushBack(2);
    a.Insert(b.begin(), 3);  // taken as the end of a
    a.InsertAfter(b.begin(), 4);
    EXPECT_EQ(Contents(a), (std::vector<int>{1, 3, 4}));
    EXPECT_TRUE(a.GetAt(-1) == a.end());
    EXPECT_TRUE(a.GetAt(3) == a.end());
    ExpectReports({{"containers/AvlTree", "before_what_it.m_TreePtr == this"},
                   {"containers/AvlTree", "after_what_it.m_TreePtr == this"},
                   {"containers/AvlTree", "j >= 0"},
                   {"containers/AvlTree", "j < Count(m_Root)"}});
}

TEST_F(SortedTree, KeepsOrderAndInsertionOrderAmongEquals) {
    std::mt19937 random(11);
    containers::AvlTree_T<std::pair<int, int>> tree;
    std::vector<std::pair<int, int>> model;
    const auto by_key = [](const std::pair<int, int>& a, const std::pair<int, int>& b) {
        return a.first < b.first;
    };
    for (int i = 0; i < 10 * k_RandomCases; ++i) {
        const std::pair<int, int> v(std::uniform_int_distribution<int>(0, 50)(random), i);
        tree.InsertSorted(v, by_key);
        model.insert(std::upper_bound(model.begin(), model.end(), v, by_key), v);
    }
    ASSERT_TRUE(tree.CheckInvariants());
    EXPECT_EQ(Contents(tree), model);
    const auto it = tree.LowerBound(std::pair<int, int>(25, 0), by_key);
    EXPECT_EQ(tree.GetIndexOf(it),
              std::lower_bound(model.begin(), model.end(), std::pair<int, int>(25, 0), by_key)
                  - model.begin());
}

TEST_F(RangeTree, QueriesMatchALinearScanThroughEdits) {
    std::mt19937 random(3);
    ItemTree tree;
    std::vector<Item> model;
    for (int i = 0; i < 20 * k_RandomCases; ++i) {
        const Item item{i, RandomBox(random, 100, 8)};
        const int at = std::uniform_int_distribution<int>(0, int(model.size()))(random);
        tree.Insert(at == int(model.size()) ? tree.end() : tree.GetAt(at), item);
        model.insert(model.begin() + at, item);
        if (i % 3 == 2) {
            const int gone = std::uniform_int_distribution<int>(0, int(model.size()) - 1)(random);
            tree.Erase(tree.GetAt(gone));
            model.erase(model.begin() + gone);
        }
        if (i % 7 == 0) {
            const int moved = std::uniform_int_distribution<int>(0, int(model.size()) - 1)(random);
            model[moved].m_Box = RandomBox(random, 100, 30);
            tree.Replace(tree.GetAt(moved), model[moved]);
        }
    }
    ASSERT_TRUE(tree.CheckInvariants());
    Box all;
    for (const Item& item : model) {
        all |= item.m_Box;
    }
    EXPECT_EQ(tree.GetBBox(), all);
    for (int q = 0; q < k_RandomCases; ++q) {
        const Box query = RandomBox(random, 100, 20);
        std::vector<int> expected;
        for (const Item& item : model) {
            if (item.m_Box.Meets(query)) {
                expected.push_back(item.m_Id);
            }
        }
        std::vector<int> iterated;
        for (auto it = tree.Query(query).begin(); it != tree.Query(query).end(); ++it) {
            iterated.push_back(it->m_Id);
            ASSERT_TRUE(it.GetBox().Meets(query));
        }
        std::vector<int> visited;
        tree.VisitMeeting(query, [&](const Item& item, const Box&) {
            visited.push_back(item.m_Id);
            return true;
        });
        std::vector<std::ptrdiff_t> indices;
        tree.VisitMeetingIndexed(query, [&](std::ptrdiff_t j, const Item& item, const Box&) {
            EXPECT_EQ(model[j].m_Id, item.m_Id);
            indices.push_back(j);
            return true;
        });
        ASSERT_EQ(iterated, expected);
        ASSERT_EQ(visited, expected);
        ASSERT_EQ(indices.size(), expected.size());
    }
}

TEST_F(RangeTree, TheBigBoxVisitsEveryElementInOrder) {
    // Including one whose box holds NaN and so meets no box at all.
    std::vector<Item> items{{0, Box::FromBounds(0, 0, 1, 1)},
                            {1, Box::FromBounds(NAN, 0, 1, 1)},
                            {2, Box::FromBounds(-5, -5, -4, -4)}};
    const ItemTree tree(items.begin(), items.end());
    std::vector<int> ids;
    for (const Item& item : tree.Query(k_BigBox)) {
        ids.push_back(item.m_Id);
    }
    EXPECT_EQ(ids, (std::vector<int>{0, 1, 2}));
    int count = 0;
    tree.VisitMeeting(k_BigBox, [&](const Item&, const Box&) { return ++count < 2; });
    EXPECT_EQ(count, 2);  // stopped by the visitor
    EXPECT_TRUE(tree.Query(Box()).begin() == tree.Query(Box()).end());
}

}  // namespace
