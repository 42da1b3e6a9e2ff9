#pragma once

#include <memory>
#include <string>
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

/// One argument of a function item.
using CBlockArgument =
    std::variant<int, double, bool, std::wstring, std::shared_ptr<const CBlock_func>>;

/// A function item: a name and its arguments in order.
class CBlock_func {
public:
    explicit CBlock_func(const VString& name) : m_name(name.wide()) {}
    explicit CBlock_func(const wchar_t* name) : m_name(name ? name : L"") {}

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

    const std::wstring& name() const { return m_name; }
    const std::vector<CBlockArgument>& arguments() const { return m_arguments; }

    friend bool operator==(const CBlock_func& a, const CBlock_func& b);

private:
    std::wstring m_name;
    std::vector<CBlockArgument> m_arguments;
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

}  // namespace io
