#pragma once

#include <new>
#include <utility>

#include "corelib/Assert.h"

namespace base {

/// Shared handle to an immutable value: a pointer to the value and a pointer to its
/// reference count, both null for the empty handle. Copies share the value; the last
/// handle destroys it. The count is not atomic: the kernel runs on one thread.
/// Value and count live in one allocation.
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
        ret.m_CounterPtr = &block->m_Count;
        return ret;
    }

    RefCountedPtr_T(const RefCountedPtr_T& other)
        : m_DataPtr(other.m_DataPtr), m_CounterPtr(other.m_CounterPtr) {
        if (m_CounterPtr) {
            ++*m_CounterPtr;
        }
    }
    RefCountedPtr_T(RefCountedPtr_T&& other) noexcept
        : m_DataPtr(std::exchange(other.m_DataPtr, nullptr)),
          m_CounterPtr(std::exchange(other.m_CounterPtr, nullptr)) {}
    RefCountedPtr_T& operator=(RefCountedPtr_T other) noexcept {
        std::swap(m_DataPtr, other.m_DataPtr);
        std::swap(m_CounterPtr, other.m_CounterPtr);
        return *this;
    }
    ~RefCountedPtr_T() { Release(); }

    bool IsNull() const {
        VCORE_ASSERT_TEXT("base/RefCountedPtr", !m_DataPtr == !m_CounterPtr,
                          "!m_DataPtr == !m_CounterPtr");
        return m_DataPtr == nullptr;
    }
    const T* Get() const { return m_DataPtr; }
    const T& operator*() const { return *m_DataPtr; }
    const T* operator->() const { return m_DataPtr; }
    long GetUseCount() const { return m_CounterPtr ? *m_CounterPtr : 0; }
    bool IsSameAs(const RefCountedPtr_T& other) const { return m_DataPtr == other.m_DataPtr; }

    /// Write access for the one owner of a value that no other handle shares (a value
    /// under construction). Shared values are never changed.
    T* GetUniqueMutable() { return m_CounterPtr && *m_CounterPtr == 1 ? m_DataPtr : nullptr; }

private:
    // Standard layout, so the count's address is the block's address.
    struct Block {
        long m_Count = 1;
        alignas(T) unsigned char m_Storage[sizeof(T)];
    };

    void Release() {
        if (m_CounterPtr && --*m_CounterPtr == 0) {
            m_DataPtr->~T();
            delete reinterpret_cast<Block*>(m_CounterPtr);
        }
        m_DataPtr = nullptr;
        m_CounterPtr = nullptr;
    }

    T* m_DataPtr = nullptr;
    long* m_CounterPtr = nullptr;
};

}  // namespace base
