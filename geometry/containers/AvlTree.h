#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <iterator>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

#include "corelib/Assert.h"
#include "math/geometry/Box.h"

namespace containers {

namespace detail {

struct NoBoxes {};

struct NodeBoxes {
    geom::Box m_Box;         ///< The element's own box.
    geom::Box m_SubTreeBox;  ///< Union of the boxes in the subtree.
};

}  // namespace detail

/// A balanced binary tree (AVL) that keeps its elements in the order they are placed,
/// either by position (a sequence) or by a comparison (sorted), and finds the j-th
/// element in logarithmic time through per-node subtree counts.
///
/// With a BoxOf functor (Box BoxOf(const T&)) it is the range variant: every node also
/// keeps its element's box and the union of the boxes of its subtree, so that iteration
/// can be limited to the elements whose box meets a query box, pruning whole subtrees.
/// Querying with geom::k_BigBox visits every element in order.
///
/// Elements are read-only in place (their boxes and order depend on them); use Replace.
/// Nodes come from chunks owned by the tree, so building and copying allocate a few
/// blocks rather than one per element. Insertion keeps iterators valid; erasing an
/// element invalidates iterators to it and to the element after it.
template <class T, class BoxOf = void>
class AvlTree_T {
    static constexpr bool k_HasBoxes = !std::is_void_v<BoxOf>;
    static constexpr const char* k_Source = "containers/AvlTree";

    struct Node : std::conditional_t<k_HasBoxes, detail::NodeBoxes, detail::NoBoxes> {
        T m_Value{};
        Node* m_Left = nullptr;
        Node* m_Right = nullptr;
        Node* m_Parent = nullptr;
        std::ptrdiff_t m_SubTreeNodesCount = 1;
        signed char m_Balance = 0;  ///< Height of the right subtree minus the left's.
        bool m_IsLeftChild = false;
    };

public:
    /// Bidirectional iterator over all elements in order.
    class Iterator {
    public:
        using iterator_category = std::bidirectional_iterator_tag;
        using value_type = T;
        using difference_type = std::ptrdiff_t;
        using pointer = const T*;
        using reference = const T&;

        Iterator() = default;
        const T& operator*() const { return m_Node->m_Value; }
        const T* operator->() const { return &m_Node->m_Value; }
        Iterator& operator++() {
            m_Node = Successor(m_Node);
            return *this;
        }
        Iterator operator++(int) {
            Iterator ret = *this;
            ++*this;
            return ret;
        }
        Iterator& operator--() {
            m_Node =
                m_Node ? Predecessor(m_Node)
                       : (m_TreePtr && m_TreePtr->m_Root ? Rightmost(m_TreePtr->m_Root) : nullptr);
            return *this;
        }
        Iterator operator--(int) {
            Iterator ret = *this;
            --*this;
            return ret;
        }
        friend bool operator==(const Iterator& a, const Iterator& b) {
            return a.m_Node == b.m_Node;
        }
        /// The element's box (range variant).
        const geom::Box& GetBox() const requires(k_HasBoxes) { return m_Node->m_Box; }

    private:
        friend class AvlTree_T;
        Iterator(const AvlTree_T* tree, Node* node) : m_TreePtr(tree), m_Node(node) {}

        const AvlTree_T* m_TreePtr = nullptr;
        Node* m_Node = nullptr;
    };

    /// Forward iterator over the elements whose box meets a query box, in order.
    class QueryIterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = T;
        using difference_type = std::ptrdiff_t;
        using pointer = const T*;
        using reference = const T&;

        QueryIterator() = default;
        const T& operator*() const { return m_Node->m_Value; }
        const T* operator->() const { return &m_Node->m_Value; }
        QueryIterator& operator++() {
            m_Node = m_All ? Successor(m_Node) : NextMeeting(m_Node, m_Query);
            return *this;
        }
        QueryIterator operator++(int) {
            QueryIterator ret = *this;
            ++*this;
            return ret;
        }
        friend bool operator==(const QueryIterator& a, const QueryIterator& b) {
            return a.m_Node == b.m_Node;
        }
        const geom::Box& GetBox() const { return m_Node->m_Box; }

    private:
        friend class AvlTree_T;
        QueryIterator(const AvlTree_T* tree, Node* node, const geom::Box& query, bool all)
            : m_TreePtr(tree), m_Node(node), m_Query(query), m_All(all) {}

        const AvlTree_T* m_TreePtr = nullptr;
        Node* m_Node = nullptr;
        geom::Box m_Query;
        bool m_All = false;
    };

    /// The elements meeting a query box, for range-based for.
    class QueryRange {
    public:
        QueryIterator begin() const { return m_Begin; }
        QueryIterator end() const { return QueryIterator(); }

    private:
        friend class AvlTree_T;
        explicit QueryRange(QueryIterator b) : m_Begin(b) {}
        QueryIterator m_Begin;
    };

    AvlTree_T() = default;
    template <class RandomIt>
    AvlTree_T(RandomIt first, RandomIt last) {
        Assign(first, last);
    }
    AvlTree_T(const AvlTree_T& other) { CopyFrom(other); }
    AvlTree_T(AvlTree_T&& other) noexcept { Swap(other); }
    AvlTree_T& operator=(const AvlTree_T& other) {
        if (this != &other) {
            AvlTree_T copy(other);
            Swap(copy);
        }
        return *this;
    }
    AvlTree_T& operator=(AvlTree_T&& other) noexcept {
        if (this != &other) {
            Clear();
            Swap(other);
        }
        return *this;
    }

    void Swap(AvlTree_T& other) noexcept {
        std::swap(m_Root, other.m_Root);
        std::swap(m_Chunks, other.m_Chunks);
        std::swap(m_FreeList, other.m_FreeList);
    }

    std::ptrdiff_t size() const { return Count(m_Root); }
    bool empty() const { return m_Root == nullptr; }
    void Clear() {
        m_Root = nullptr;
        m_FreeList = nullptr;
        m_Chunks.clear();
    }

    Iterator begin() const { return Iterator(this, m_Root ? Leftmost(m_Root) : nullptr); }
    Iterator end() const { return Iterator(this, nullptr); }
    const T& front() const { return *begin(); }
    const T& back() const { return Rightmost(m_Root)->m_Value; }

    /// Union of all element boxes (range variant); empty for an empty tree.
    geom::Box GetBBox() const requires(k_HasBoxes) {
        return m_Root ? m_Root->m_SubTreeBox : geom::Box();
    }

    /// Replaces the contents by the elements of [first, last) in that order, as a
    /// perfectly balanced tree in linear time.
    template <class RandomIt>
    void Assign(RandomIt first, RandomIt last) {
        Clear();
        const std::ptrdiff_t n = last - first;
        if (n <= 0) {
            return;
        }
        auto chunk = std::make_unique<Node[]>(static_cast<std::size_t>(n));
        Node* pool = chunk.get();
        m_Chunks.push_back(std::move(chunk));
        m_Root = Build(first, 0, n, nullptr, false, pool);
    }

    /// Inserts before the iterator's element (at the end for end()).
    Iterator Insert(Iterator before_what_it, T value) {
        VCORE_ASSERT(k_Source, before_what_it.m_TreePtr == this);
        Node* before = before_what_it.m_TreePtr == this ? before_what_it.m_Node : nullptr;
        Node* n = NewNode(std::move(value));
        if (!m_Root) {
            m_Root = n;
            return Iterator(this, n);
        }
        if (!before) {
            SetRight(Rightmost(m_Root), n);
        } else if (!before->m_Left) {
            SetLeft(before, n);
        } else {
            SetRight(Rightmost(before->m_Left), n);
        }
        UpdatePathToRoot(n->m_Parent);
        RetraceAfterInsert(n);
        return Iterator(this, n);
    }
    /// Inserts after the iterator's element (at the end for end()).
    Iterator InsertAfter(Iterator after_what_it, T value) {
        VCORE_ASSERT(k_Source, after_what_it.m_TreePtr == this);
        Node* after = after_what_it.m_TreePtr == this ? after_what_it.m_Node : nullptr;
        return Insert(Iterator(this, after ? Successor(after) : nullptr), std::move(value));
    }
    Iterator PushBack(T value) { return Insert(end(), std::move(value)); }

    /// Inserts in sorted position, after the elements that are not greater.
    template <class Less>
    Iterator InsertSorted(T value, Less less) {
        Node* parent = nullptr;
        bool left = false;
        for (Node* n = m_Root; n;) {
            parent = n;
            left = less(value, n->m_Value);
            n = left ? n->m_Left : n->m_Right;
        }
        Node* n = NewNode(std::move(value));
        if (!parent) {
            m_Root = n;
            return Iterator(this, n);
        }
        if (left) {
            SetLeft(parent, n);
        } else {
            SetRight(parent, n);
        }
        UpdatePathToRoot(parent);
        RetraceAfterInsert(n);
        return Iterator(this, n);
    }
    /// The first element not less than the key.
    template <class Key, class Less>
    Iterator LowerBound(const Key& key, Less less) const {
        Node* ret = nullptr;
        for (Node* n = m_Root; n;) {
            if (less(n->m_Value, key)) {
                n = n->m_Right;
            } else {
                ret = n;
                n = n->m_Left;
            }
        }
        return Iterator(this, ret);
    }

    /// Removes the element; returns the position of the element that followed it.
    Iterator Erase(Iterator it) {
        VCORE_ASSERT(k_Source, it.m_TreePtr == this);
        if (it.m_TreePtr != this || !it.m_Node) {
            return end();
        }
        Node* n = it.m_Node;
        Node* next = Successor(n);
        if (n->m_Left && n->m_Right) {
            // The successor is the leftmost node of the right subtree; its element moves
            // here and its node is removed instead.
            Node* s = next;
            n->m_Value = std::move(s->m_Value);
            if constexpr (k_HasBoxes) {
                n->m_Box = s->m_Box;
            }
            next = n;
            n = s;
        }
        Node* child = n->m_Left ? n->m_Left : n->m_Right;
        Node* parent = n->m_Parent;
        const bool was_left = n->m_IsLeftChild;
        ReplaceChild(parent, was_left, child);
        UpdatePathToRoot(parent);
        RetraceAfterErase(parent, was_left);
        FreeNode(n);
        return Iterator(this, next);
    }

    /// Replaces an element in place (its position is kept).
    void Replace(Iterator it, T value) {
        VCORE_ASSERT(k_Source, it.m_TreePtr == this);
        if (it.m_TreePtr != this || !it.m_Node) {
            return;
        }
        it.m_Node->m_Value = std::move(value);
        if constexpr (k_HasBoxes) {
            it.m_Node->m_Box = m_BoxOf(it.m_Node->m_Value);
        }
        UpdatePathToRoot(it.m_Node);
    }

    /// The j-th element (from 0) in logarithmic time; end() when out of range.
    Iterator GetAt(std::ptrdiff_t j) const {
        VCORE_ASSERT(k_Source, j >= 0);
        VCORE_ASSERT(k_Source, j < Count(m_Root));
        if (j < 0 || j >= Count(m_Root)) {
            return end();
        }
        Node* n = m_Root;
        while (n) {
            const std::ptrdiff_t left = Count(n->m_Left);
            if (j < left) {
                n = n->m_Left;
            } else if (j == left) {
                break;
            } else {
                j -= left + 1;
                n = n->m_Right;
            }
        }
        return Iterator(this, n);
    }
    /// The position (from 0) of an element in logarithmic time; size() for end().
    std::ptrdiff_t GetIndexOf(Iterator it) const {
        const Node* n = it.m_Node;
        if (!n) {
            return size();
        }
        std::ptrdiff_t ret = Count(n->m_Left);
        for (; n->m_Parent; n = n->m_Parent) {
            if (!n->m_IsLeftChild) {
                ret += Count(n->m_Parent->m_Left) + 1;
            }
        }
        return ret;
    }

    /// The elements whose box meets `query`, in order (range variant).
    QueryRange Query(const geom::Box& query) const requires(k_HasBoxes) {
        const bool all = query == geom::k_BigBox;
        Node* first = all ? (m_Root ? Leftmost(m_Root) : nullptr) : FirstMeeting(m_Root, query);
        return QueryRange(QueryIterator(this, first, query, all));
    }
    /// Calls visit(element, box) for each element whose box meets `query`, in order,
    /// until it returns false; returns false when stopped. Faster than iterating a
    /// QueryRange, since it never climbs back up the tree.
    template <class Visit>
    bool VisitMeeting(const geom::Box& query, Visit&& visit) const requires(k_HasBoxes) {
        if (query == geom::k_BigBox) {
            for (Node* n = m_Root ? Leftmost(m_Root) : nullptr; n; n = Successor(n)) {
                if (!visit(n->m_Value, n->m_Box)) {
                    return false;
                }
            }
            return true;
        }
        return VisitSubtree(m_Root, query, visit);
    }

    /// As VisitMeeting, with the element's position: visit(index, element, box).
    template <class Visit>
    bool VisitMeetingIndexed(const geom::Box& query, Visit&& visit) const requires(k_HasBoxes) {
        return VisitSubtreeIndexed(m_Root, 0, query, visit);
    }

    /// Checks every structural invariant: links, balances, counts and boxes (tests).
    bool CheckInvariants() const {
        int height = 0;
        return (!m_Root || (!m_Root->m_Parent && !m_Root->m_IsLeftChild))
               && CheckSubtree(m_Root, &height);
    }

private:
    static std::ptrdiff_t Count(const Node* n) { return n ? n->m_SubTreeNodesCount : 0; }
    static Node* Leftmost(Node* n) {
        while (n->m_Left) {
            n = n->m_Left;
        }
        return n;
    }
    static Node* Rightmost(Node* n) {
        while (n->m_Right) {
            n = n->m_Right;
        }
        return n;
    }
    static Node* Successor(Node* n) {
        if (!n) {
            return nullptr;
        }
        if (n->m_Right) {
            return Leftmost(n->m_Right);
        }
        while (n->m_Parent && !n->m_IsLeftChild) {
            n = n->m_Parent;
        }
        return n->m_Parent;
    }
    static Node* Predecessor(Node* n) {
        if (n->m_Left) {
            return Rightmost(n->m_Left);
        }
        while (n->m_Parent && n->m_IsLeftChild) {
            n = n->m_Parent;
        }
        return n->m_Parent;
    }

    /// First node in order within the subtree whose own box meets the query.
    static Node* FirstMeeting(Node* s, const geom::Box& query) requires(k_HasBoxes) {
        if (!s || !s->m_SubTreeBox.Meets(query)) {
            return nullptr;
        }
        if (Node* r = FirstMeeting(s->m_Left, query)) {
            return r;
        }
        if (s->m_Box.Meets(query)) {
            return s;
        }
        return FirstMeeting(s->m_Right, query);
    }
    static Node* NextMeeting(Node* n, const geom::Box& query) {
        if constexpr (k_HasBoxes) {
            if (Node* r = FirstMeeting(n->m_Right, query)) {
                return r;
            }
            while (n->m_Parent) {
                const bool was_left = n->m_IsLeftChild;
                n = n->m_Parent;
                if (was_left) {
                    if (n->m_Box.Meets(query)) {
                        return n;
                    }
                    if (Node* r = FirstMeeting(n->m_Right, query)) {
                        return r;
                    }
                }
            }
            return nullptr;
        } else {
            return Successor(n);
        }
    }
    template <class Visit>
    static bool VisitSubtree(Node* s, const geom::Box& query, Visit& visit) {
        if (!s || !s->m_SubTreeBox.Meets(query)) {
            return true;
        }
        if (!VisitSubtree(s->m_Left, query, visit)) {
            return false;
        }
        if (s->m_Box.Meets(query) && !visit(s->m_Value, s->m_Box)) {
            return false;
        }
        return VisitSubtree(s->m_Right, query, visit);
    }

    template <class Visit>
    static bool VisitSubtreeIndexed(Node* s, std::ptrdiff_t offset, const geom::Box& query,
                                    Visit& visit) {
        if (!s || !s->m_SubTreeBox.Meets(query)) {
            return true;
        }
        const std::ptrdiff_t index = offset + Count(s->m_Left);
        if (!VisitSubtreeIndexed(s->m_Left, offset, query, visit)) {
            return false;
        }
        if (s->m_Box.Meets(query) && !visit(index, s->m_Value, s->m_Box)) {
            return false;
        }
        return VisitSubtreeIndexed(s->m_Right, index + 1, query, visit);
    }

    void Update(Node* n) const {
        n->m_SubTreeNodesCount = 1 + Count(n->m_Left) + Count(n->m_Right);
        if constexpr (k_HasBoxes) {
            geom::Box b = n->m_Box;
            if (n->m_Left) {
                b |= n->m_Left->m_SubTreeBox;
            }
            if (n->m_Right) {
                b |= n->m_Right->m_SubTreeBox;
            }
            n->m_SubTreeBox = b;
        }
    }
    void UpdatePathToRoot(Node* n) const {
        for (; n; n = n->m_Parent) {
            Update(n);
        }
    }

    static void SetLeft(Node* parent, Node* child) {
        parent->m_Left = child;
        if (child) {
            child->m_Parent = parent;
            child->m_IsLeftChild = true;
        }
    }
    static void SetRight(Node* parent, Node* child) {
        parent->m_Right = child;
        if (child) {
            child->m_Parent = parent;
            child->m_IsLeftChild = false;
        }
    }
    /// Puts `child` where the left (or right) child of `parent` was; the root for no parent.
    void ReplaceChild(Node* parent, bool left, Node* child) {
        if (!parent) {
            m_Root = child;
            if (child) {
                child->m_Parent = nullptr;
                child->m_IsLeftChild = false;
            }
        } else if (left) {
            SetLeft(parent, child);
        } else {
            SetRight(parent, child);
        }
    }

    Node* RotateLeft(Node* x) {
        Node* parent = x->m_Parent;
        const bool was_left = x->m_IsLeftChild;
        Node* z = x->m_Right;
        SetRight(x, z->m_Left);
        SetLeft(z, x);
        ReplaceChild(parent, was_left, z);
        Update(x);
        Update(z);
        return z;
    }
    Node* RotateRight(Node* x) {
        Node* parent = x->m_Parent;
        const bool was_left = x->m_IsLeftChild;
        Node* z = x->m_Left;
        SetLeft(x, z->m_Right);
        SetRight(z, x);
        ReplaceChild(parent, was_left, z);
        Update(x);
        Update(z);
        return z;
    }
    /// Restores balance at a node whose right subtree is two levels higher; returns the
    /// new root of the subtree.
    Node* RebalanceRightHeavy(Node* root) {
        VCORE_ASSERT(k_Source, root && root->m_Balance == +2);
        if (!root || root->m_Balance != 2 || !root->m_Right) {
            return root;
        }
        Node* z = root->m_Right;
        if (z->m_Balance >= 0) {
            Node* top = RotateLeft(root);
            if (z->m_Balance == 0) {
                root->m_Balance = +1;
                z->m_Balance = -1;
            } else {
                root->m_Balance = 0;
                z->m_Balance = 0;
            }
            return top;
        }
        Node* y = z->m_Left;
        RotateRight(z);
        Node* top = RotateLeft(root);
        root->m_Balance = y->m_Balance > 0 ? -1 : 0;
        z->m_Balance = y->m_Balance < 0 ? +1 : 0;
        y->m_Balance = 0;
        return top;
    }
    Node* RebalanceLeftHeavy(Node* root) {
        VCORE_ASSERT(k_Source, root && root->m_Balance == -2);
        if (!root || root->m_Balance != -2 || !root->m_Left) {
            return root;
        }
        Node* z = root->m_Left;
        if (z->m_Balance <= 0) {
            Node* top = RotateRight(root);
            if (z->m_Balance == 0) {
                root->m_Balance = -1;
                z->m_Balance = +1;
            } else {
                root->m_Balance = 0;
                z->m_Balance = 0;
            }
            return top;
        }
        Node* y = z->m_Right;
        RotateLeft(z);
        Node* top = RotateRight(root);
        root->m_Balance = y->m_Balance < 0 ? +1 : 0;
        z->m_Balance = y->m_Balance > 0 ? -1 : 0;
        y->m_Balance = 0;
        return top;
    }
    void RetraceAfterInsert(Node* n) {
        for (Node* p = n->m_Parent; p; n = p, p = n->m_Parent) {
            p->m_Balance += n->m_IsLeftChild ? -1 : +1;
            if (p->m_Balance == 0) {
                break;
            }
            if (p->m_Balance == 2) {
                RebalanceRightHeavy(p);
                break;
            }
            if (p->m_Balance == -2) {
                RebalanceLeftHeavy(p);
                break;
            }
        }
    }
    /// `p` lost height on its left (or right) side.
    void RetraceAfterErase(Node* p, bool from_left) {
        while (p) {
            p->m_Balance += from_left ? +1 : -1;
            Node* top = p;
            if (p->m_Balance == 2) {
                top = RebalanceRightHeavy(p);
            } else if (p->m_Balance == -2) {
                top = RebalanceLeftHeavy(p);
            }
            if (top->m_Balance != 0) {
                break;  // The subtree kept its height.
            }
            from_left = top->m_IsLeftChild;
            p = top->m_Parent;
        }
    }

    Node* NewNode(T&& value) {
        if (!m_FreeList) {
            Grow(static_cast<std::size_t>(std::max<std::ptrdiff_t>(8, size() / 2)));
        }
        Node* n = m_FreeList;
        m_FreeList = n->m_Right;
        n->m_Left = n->m_Right = n->m_Parent = nullptr;
        n->m_SubTreeNodesCount = 1;
        n->m_Balance = 0;
        n->m_IsLeftChild = false;
        n->m_Value = std::move(value);
        if constexpr (k_HasBoxes) {
            n->m_Box = m_BoxOf(n->m_Value);
            n->m_SubTreeBox = n->m_Box;
        }
        return n;
    }
    void Grow(std::size_t count) {
        auto chunk = std::make_unique<Node[]>(count);
        for (std::size_t i = count; i-- > 0;) {
            chunk[i].m_Right = m_FreeList;
            m_FreeList = &chunk[i];
        }
        m_Chunks.push_back(std::move(chunk));
    }
    void FreeNode(Node* n) {
        n->m_Value = T();
        n->m_Left = n->m_Parent = nullptr;
        n->m_Right = m_FreeList;
        m_FreeList = n;
    }

    static int HeightOfBalanced(std::ptrdiff_t count) {
        return static_cast<int>(std::bit_width(static_cast<std::size_t>(count)));
    }
    template <class RandomIt>
    Node* Build(RandomIt first, std::ptrdiff_t lo, std::ptrdiff_t hi, Node* parent, bool left,
                Node* pool) {
        if (lo >= hi) {
            return nullptr;
        }
        const std::ptrdiff_t mid = lo + (hi - lo) / 2;
        Node* n = pool + mid;
        n->m_Value = first[mid];
        if constexpr (k_HasBoxes) {
            n->m_Box = m_BoxOf(n->m_Value);
        }
        n->m_Parent = parent;
        n->m_IsLeftChild = left;
        n->m_Left = Build(first, lo, mid, n, true, pool);
        n->m_Right = Build(first, mid + 1, hi, n, false, pool);
        n->m_Balance =
            static_cast<signed char>(HeightOfBalanced(hi - mid - 1) - HeightOfBalanced(mid - lo));
        Update(n);
        return n;
    }

    void CopyFrom(const AvlTree_T& other) {
        const std::ptrdiff_t n = other.size();
        if (n == 0) {
            return;
        }
        auto chunk = std::make_unique<Node[]>(static_cast<std::size_t>(n));
        Node* pool = chunk.get();
        m_Chunks.push_back(std::move(chunk));
        m_Root = Clone(other.m_Root, nullptr, false, pool);
    }
    static Node* Clone(const Node* src, Node* parent, bool left, Node*& pool) {
        if (!src) {
            return nullptr;
        }
        Node* n = pool++;
        n->m_Value = src->m_Value;
        if constexpr (k_HasBoxes) {
            n->m_Box = src->m_Box;
            n->m_SubTreeBox = src->m_SubTreeBox;
        }
        n->m_SubTreeNodesCount = src->m_SubTreeNodesCount;
        n->m_Balance = src->m_Balance;
        n->m_Parent = parent;
        n->m_IsLeftChild = left;
        n->m_Left = Clone(src->m_Left, n, true, pool);
        n->m_Right = Clone(src->m_Right, n, false, pool);
        return n;
    }

    bool CheckSubtree(const Node* n, int* height) const {
        if (!n) {
            *height = 0;
            return true;
        }
        int hl = 0;
        int hr = 0;
        if ((n->m_Left && (n->m_Left->m_Parent != n || !n->m_Left->m_IsLeftChild))
            || (n->m_Right && (n->m_Right->m_Parent != n || n->m_Right->m_IsLeftChild))
            || !CheckSubtree(n->m_Left, &hl) || !CheckSubtree(n->m_Right, &hr)) {
            return false;
        }
        *height = 1 + (hl > hr ? hl : hr);
        if (n->m_Balance != hr - hl || hr - hl > 1 || hl - hr > 1
            || n->m_SubTreeNodesCount != 1 + Count(n->m_Left) + Count(n->m_Right)) {
            return false;
        }
        if constexpr (k_HasBoxes) {
            geom::Box b = m_BoxOf(n->m_Value);
            if (!(b == n->m_Box)) {
                return false;
            }
            if (n->m_Left) {
                b |= n->m_Left->m_SubTreeBox;
            }
            if (n->m_Right) {
                b |= n->m_Right->m_SubTreeBox;
            }
            if (!(b == n->m_SubTreeBox)) {
                return false;
            }
        }
        return true;
    }

    Node* m_Root = nullptr;
    std::vector<std::unique_ptr<Node[]>> m_Chunks;
    Node* m_FreeList = nullptr;
    [[no_unique_address]] std::conditional_t<k_HasBoxes, BoxOf, detail::NoBoxes> m_BoxOf{};
};

/// The range variant: every element has a box, and queries visit only the elements whose
/// box meets the query box.
template <class T, class BoxOf>
using RangeAvlTree_T = AvlTree_T<T, BoxOf>;

}  // namespace containers
