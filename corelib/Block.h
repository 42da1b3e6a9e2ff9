#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "corelib/VString.h"

/// The output tree of the neutral layout file: blocks hold, in order, child blocks,
/// function items and named values; function items hold typed arguments, nested
/// function items among them. The tree is built whole and then streamed.
namespace io {

class CBlock;
class CBlock_func;

/// One argument of a function item, as `CBlock_func::arguments()` hands it out.
using CBlockArgument =
    std::variant<int, double, bool, std::wstring, std::shared_ptr<const CBlock_func>>;

/// A function item: a name and its arguments in order.
///
/// Function items are the bulk of a document (every vertex of every trace and plane is
/// one), so an item keeps its name and arguments packed in one byte string: a tag byte per
/// argument, ints and doubles as their bytes, texts with their length, and nested items as
/// pointers to items it owns. Texts keep each character below 0x80 as one byte and every
/// other wide character as an escape byte and its four bytes, so any wide text comes back
/// unchanged. `visitArguments` walks the packed form; `arguments()` unpacks a copy.
class CBlock_func {
public:
    explicit CBlock_func(const VString& name);
    explicit CBlock_func(const wchar_t* name);
    CBlock_func(const CBlock_func& other);
    CBlock_func(CBlock_func&& other) noexcept;
    CBlock_func& operator=(CBlock_func other) noexcept;
    ~CBlock_func();

    CBlock_func& operator<<(int value) &;
    CBlock_func& operator<<(double value) &;
    CBlock_func& operator<<(bool value) &;
    CBlock_func& operator<<(const VString& value) &;
    CBlock_func& operator<<(const wchar_t* value) &;
    /// A nested function item.
    CBlock_func& operator<<(const CBlock_func& value) &;
    CBlock_func& operator<<(CBlock_func&& value) &;
    /// Narrow text would be ambiguous between a name and a pointer; widen it explicitly.
    CBlock_func& operator<<(const char*) & = delete;

    /// Appending to a temporary keeps it a temporary, so that a chain such as
    /// `block << (CBlock_func(L"vertex") << x << y)` moves the item into place.
    template <typename T>
    CBlock_func&& operator<<(T&& value) && {
        static_cast<CBlock_func&>(*this) << std::forward<T>(value);
        return std::move(*this);
    }

    std::wstring name() const;
    /// A copy of the arguments in order; nested items are copied too.
    std::vector<CBlockArgument> arguments() const;
    std::size_t argumentCount() const;

    /// A text argument or the name, still packed.
    class PackedText {
    public:
        explicit PackedText(std::string_view bytes) : m_bytes(bytes) {}
        /// The text's characters, one `void(wchar_t)` call each, in order.
        template <typename F>
        void forEach(F&& each) const;
        std::wstring wide() const;
        /// The packed bytes: each byte below 0x80 is a character of its own.
        std::string_view bytes() const { return m_bytes; }

    private:
        std::string_view m_bytes;
    };

    /// Calls `visitor` once per argument in order with an int, a double, a bool, a
    /// `PackedText` or a `const CBlock_func&`.
    template <typename Visitor>
    void visitArguments(Visitor&& visitor) const;
    PackedText packedName() const;

    /// Gives back the capacity the packed form does not use. Items do this when they are
    /// placed into a block or another item, since they are complete by then.
    void shrink();

    friend bool operator==(const CBlock_func& a, const CBlock_func& b);

private:
    explicit CBlock_func(std::wstring_view name);
    enum Tag : char {
        k_Int = 'i',
        k_Double = 'd',
        k_True = 't',
        k_False = 'f',
        k_Text = 's',
        k_Func = 'F'
    };
    void appendText(std::wstring_view text);
    void appendFunc(CBlock_func* owned);
    /// Calls `each(tag, payload)` for every argument.
    template <typename F>
    void forEachPacked(F&& each) const;
    std::size_t argumentsStart() const;

    std::string m_packed;  ///< the name (length, text), then the arguments
};

/// Shared handle to a new function item.
class CBlockFuncPtr {
public:
    explicit CBlockFuncPtr(const VString& name) : m_func(std::make_shared<CBlock_func>(name)) {}
    explicit CBlockFuncPtr(const wchar_t* name) : m_func(std::make_shared<CBlock_func>(name)) {}

    CBlock_func& operator*() const { return *m_func; }
    CBlock_func* operator->() const { return m_func.get(); }
    template <typename T>
    const CBlockFuncPtr& operator<<(T&& value) const {
        *m_func << std::forward<T>(value);
        return *this;
    }
    const std::shared_ptr<CBlock_func>& shared() const { return m_func; }

private:
    std::shared_ptr<CBlock_func> m_func;
};

/// The text value of a named value.
class CBlock_value {
public:
    explicit CBlock_value(const VString& text) : m_text(text.wide()) {}
    explicit CBlock_value(const wchar_t* text) : m_text(text ? text : L"") {}
    const std::wstring& text() const { return m_text; }

private:
    std::wstring m_text;
};

/// An item binding a name to a text value.
class CBlock_named_value {
public:
    CBlock_named_value(const VString& name, const CBlock_value& value)
        : m_name(name.wide()), m_value(value.text()) {}
    CBlock_named_value(const wchar_t* name, const CBlock_value& value)
        : m_name(name ? name : L""), m_value(value.text()) {}

    const std::wstring& name() const { return m_name; }
    const std::wstring& value() const { return m_value; }

    friend bool operator==(const CBlock_named_value&, const CBlock_named_value&) = default;

private:
    std::wstring m_name;
    std::wstring m_value;
};

/// Shared handle to a new, empty block.
class CBlockPtr {
public:
    explicit CBlockPtr(const VString& name);
    explicit CBlockPtr(const wchar_t* name);

    CBlock& operator*() const { return *m_block; }
    CBlock* operator->() const { return m_block.get(); }
    const std::shared_ptr<CBlock>& shared() const { return m_block; }

private:
    std::shared_ptr<CBlock> m_block;
};

/// One item of a block.
using CBlockItem = std::variant<std::shared_ptr<const CBlock>, std::shared_ptr<const CBlock_func>,
                                CBlock_named_value>;

/// A named block with its items in order.
class CBlock {
public:
    explicit CBlock(std::wstring name) : m_name(std::move(name)) {}

    CBlock& operator<<(const CBlockPtr& child);
    CBlock& operator<<(const CBlockFuncPtr& func);
    CBlock& operator<<(const CBlock_func& func);
    CBlock& operator<<(CBlock_func&& func);
    CBlock& operator<<(const CBlock_named_value& value);

    const std::wstring& name() const { return m_name; }
    const std::vector<CBlockItem>& items() const { return m_items; }

    /// Deep comparison: same names, same items in the same order, same argument types
    /// and values (doubles compared bit for bit, so NaN equals NaN of the same pattern).
    friend bool operator==(const CBlock& a, const CBlock& b);

private:
    std::wstring m_name;
    std::vector<CBlockItem> m_items;
};

// ---- Walking the packed form of a function item ----

template <typename F>
void CBlock_func::PackedText::forEach(F&& each) const {
    for (std::size_t i = 0; i < m_bytes.size();) {
        const auto byte = static_cast<unsigned char>(m_bytes[i]);
        if (byte < 0x80) {
            each(static_cast<wchar_t>(byte));
            ++i;
        } else {
            std::int32_t value = 0;
            std::memcpy(&value, m_bytes.data() + i + 1, sizeof value);
            each(static_cast<wchar_t>(value));
            i += 1 + sizeof value;
        }
    }
}

template <typename F>
void CBlock_func::forEachPacked(F&& each) const {
    const char* p = m_packed.data() + argumentsStart();
    const char* const end = m_packed.data() + m_packed.size();
    while (p < end) {
        const char tag = *p++;
        std::size_t size = 0;
        switch (tag) {
        case k_Int:
            size = sizeof(std::int32_t);
            break;
        case k_Double:
            size = sizeof(double);
            break;
        case k_Func:
            size = sizeof(CBlock_func*);
            break;
        case k_Text: {
            std::uint32_t length = 0;
            std::memcpy(&length, p, sizeof length);
            p += sizeof length;
            size = length;
            break;
        }
        default:
            break;
        }
        each(tag, std::string_view(p, size));
        p += size;
    }
}

template <typename Visitor>
void CBlock_func::visitArguments(Visitor&& visitor) const {
    forEachPacked([&](char tag, std::string_view payload) {
        switch (tag) {
        case k_Int: {
            std::int32_t value = 0;
            std::memcpy(&value, payload.data(), sizeof value);
            visitor(static_cast<int>(value));
            break;
        }
        case k_Double: {
            double value = 0;
            std::memcpy(&value, payload.data(), sizeof value);
            visitor(value);
            break;
        }
        case k_True:
            visitor(true);
            break;
        case k_False:
            visitor(false);
            break;
        case k_Text:
            visitor(PackedText(payload));
            break;
        default: {
            const CBlock_func* nested = nullptr;
            std::memcpy(&nested, payload.data(), sizeof nested);
            visitor(static_cast<const CBlock_func&>(*nested));
        }
        }
    });
}

}  // namespace io
