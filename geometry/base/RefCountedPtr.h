#pragma once

#include <atomic>
#include <new>
#include <utility>

#include "corelib/Assert.h"

namespace base {

/// Shared handle to an immutable value: a pointer to the value and a pointer to the block
/// that holds it with its reference count, both null for the empty handle. Copies share
/// the value; the last handle destroys it. The count is atomic, so handles to one value
/// may be copied and dropped on several threads at once (as std::shared_ptr's may).
template <class T>
class RefCountedPtr_T {
public:
    RefCountedPtr_T() = default;

    /// Makes a new value, owned by this handle alone.
    template <class... Args>
    static RefCountedPtr_T Make_T(Args&&... args) {
        RefCountedPtr_T ret;
        Block* block = new Block;
        try {
            ret.m_DataPtr =
                ::new (static_cast<void*>(block->m_Storage)) T(std::forward<Args>(args)...);
        } catch (...) {
            delete block;
            throw;
        }
        ret.m_BlockPtr = block;
        return ret;
    }

    RefCountedPtr_T(const RefCountedPtr_T& other)
        : m_DataPtr(other.m_DataPtr), m_BlockPtr(other.m_BlockPtr) {
        if (m_BlockPtr) {
            // A new handle is made from one that keeps the value alive: nothing to order.
            m_BlockPtr->m_Count.fetch_add(1, std::memory_order_relaxed);
        }
    }
    RefCountedPtr_T(RefCountedPtr_T&& other) noexcept
        : m_DataPtr(std::exchange(other.m_DataPtr, nullptr)),
          m_BlockPtr(std::exchange(other.m_BlockPtr, nullptr)) {}
    RefCountedPtr_T& operator=(RefCountedPtr_T other) noexcept {
        std::swap(m_DataPtr, other.m_DataPtr);
        std::swap(m_BlockPtr, other.m_BlockPtr);
        return *this;
    }
    ~RefCountedPtr_T() { Release(); }

    bool IsNull() const {
        VCORE_ASSERT("base/RefCountedPtr", !m_DataPtr == !m_BlockPtr);
        return m_DataPtr == nullptr;
    }
    const T& operator*() const { return *m_DataPtr; }
    const T* operator->() const { return m_DataPtr; }
    long GetUseCount() const {
        return m_BlockPtr ? m_BlockPtr->m_Count.load(std::memory_order_acquire) : 0;
    }
    bool IsSameAs(const RefCountedPtr_T& other) const { return m_DataPtr == other.m_DataPtr; }

    /// Write access for the one owner of a value that no other handle shares (a value
    /// under construction). Shared values are never changed.
    T* GetUniqueMutable() { return GetUseCount() == 1 ? m_DataPtr : nullptr; }

private:
    struct Block {
        std::atomic<long> m_Count{1};
        alignas(T) unsigned char m_Storage[sizeof(T)];
    };

    void Release() {
        // The last handle's thread destroys the value: acquire what the other threads did
        // to it before dropping their handles, and release this thread's own.
        if (m_BlockPtr && m_BlockPtr->m_Count.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            m_DataPtr->~T();
            delete m_BlockPtr;
        }
        m_DataPtr = nullptr;
        m_BlockPtr = nullptr;
    }

    T* m_DataPtr = nullptr;
    Block* m_BlockPtr = nullptr;
};

}  // namespace base
