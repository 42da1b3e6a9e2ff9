#pragma once

#include <deque>
#include <memory>
#include <utility>

namespace MentorBS {

/// Owner of every board-model object. Readers and passes create elements and records
/// here and keep plain pointers to them; nothing is freed one by one. The arena is
/// released when the process ends, so a leak checker finds nothing outstanding.
class Arena {
public:
    template <typename T, typename... Args>
    T* make(Args&&... args) {
        auto holder = std::make_unique<Holder<T>>(std::forward<Args>(args)...);
        T* object = &holder->value;
        m_objects.push_back(std::move(holder));
        return object;
    }

    std::size_t size() const { return m_objects.size(); }

    /// Destroys every object made so far. Only programs that read many designs in one
    /// process (fuzzers, benchmarks) need this; the translator keeps its objects to the end.
    void clear() { m_objects.clear(); }

private:
    struct HolderBase {
        virtual ~HolderBase() = default;
    };
    template <typename T>
    struct Holder final : HolderBase {
        template <typename... Args>
        explicit Holder(Args&&... args) : value(std::forward<Args>(args)...) {}
        T value;
    };

    // A deque grows without moving what it holds: no regrowth copies on large designs.
    std::deque<std::unique_ptr<HolderBase>> m_objects;
};

/// The arena of the run.
Arena& arena();

/// Creates a board-model object in the arena of the run.
template <typename T, typename... Args>
T* make(Args&&... args) {
    return arena().make<T>(std::forward<Args>(args)...);
}

}  // namespace MentorBS
