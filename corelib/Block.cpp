#include "corelib/Block.h"

#include <cstring>

namespace io {

CBlock_func& CBlock_func::operator<<(int value) & {
    m_arguments.emplace_back(value);
    return *this;
}
CBlock_func& CBlock_func::operator<<(double value) & {
    m_arguments.emplace_back(value);
    return *this;
}
CBlock_func& CBlock_func::operator<<(bool value) & {
    m_arguments.emplace_back(value);
    return *this;
}
CBlock_func& CBlock_func::operator<<(const VString& value) & {
    m_arguments.emplace_back(value.wide());
    return *this;
}
CBlock_func& CBlock_func::operator<<(const wchar_t* value) & {
    m_arguments.emplace_back(std::wstring(value ? value : L""));
    return *this;
}
CBlock_func& CBlock_func::operator<<(const CBlock_func& value) & {
    m_arguments.emplace_back(std::make_shared<const CBlock_func>(value));
    return *this;
}
CBlock_func& CBlock_func::operator<<(CBlock_func&& value) & {
    m_arguments.emplace_back(std::make_shared<const CBlock_func>(std::move(value)));
    return *this;
}

namespace {

bool sameArgument(const CBlockArgument& a, const CBlockArgument& b) {
    if (a.index() != b.index()) {
        return false;
    }
    if (const double* x = std::get_if<double>(&a)) {
        const double y = std::get<double>(b);
        return std::memcmp(x, &y, sizeof y) == 0;
    }
    if (const auto* f = std::get_if<std::shared_ptr<const CBlock_func>>(&a)) {
        return **f == *std::get<std::shared_ptr<const CBlock_func>>(b);
    }
    return a == b;
}

}  // namespace

bool operator==(const CBlock_func& a, const CBlock_func& b) {
    if (a.m_name != b.m_name || a.m_arguments.size() != b.m_arguments.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.m_arguments.size(); ++i) {
        if (!sameArgument(a.m_arguments[i], b.m_arguments[i])) {
            return false;
        }
    }
    return true;
}

CBlockPtr::CBlockPtr(const VString& name) : m_block(std::make_shared<CBlock>(name.wide())) {}
CBlockPtr::CBlockPtr(const wchar_t* name)
    : m_block(std::make_shared<CBlock>(std::wstring(name ? name : L""))) {}

CBlock& CBlock::operator<<(const CBlockPtr& child) {
    m_items.emplace_back(std::shared_ptr<const CBlock>(child.shared()));
    return *this;
}
CBlock& CBlock::operator<<(const CBlockFuncPtr& func) {
    m_items.emplace_back(std::shared_ptr<const CBlock_func>(func.shared()));
    return *this;
}
CBlock& CBlock::operator<<(const CBlock_func& func) {
    m_items.emplace_back(std::make_shared<const CBlock_func>(func));
    return *this;
}
CBlock& CBlock::operator<<(CBlock_func&& func) {
    m_items.emplace_back(std::make_shared<const CBlock_func>(std::move(func)));
    return *this;
}
CBlock& CBlock::operator<<(const CBlock_named_value& value) {
    m_items.emplace_back(value);
    return *this;
}

bool operator==(const CBlock& a, const CBlock& b) {
    if (a.m_name != b.m_name || a.m_items.size() != b.m_items.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.m_items.size(); ++i) {
        const CBlockItem& x = a.m_items[i];
        const CBlockItem& y = b.m_items[i];
        if (x.index() != y.index()) {
            return false;
        }
        if (const auto* block = std::get_if<std::shared_ptr<const CBlock>>(&x)) {
            if (!(**block == *std::get<std::shared_ptr<const CBlock>>(y))) {
                return false;
            }
        } else if (const auto* func = std::get_if<std::shared_ptr<const CBlock_func>>(&x)) {
            if (!(**func == *std::get<std::shared_ptr<const CBlock_func>>(y))) {
                return false;
            }
        } else if (!(std::get<CBlock_named_value>(x) == std::get<CBlock_named_value>(y))) {
            return false;
        }
    }
    return true;
}

}  // namespace io
