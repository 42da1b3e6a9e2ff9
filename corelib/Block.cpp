#include "corelib/Block.h"

#include <cstring>
#include <type_traits>
#include <utility>

namespace io {

namespace {

void appendBytes(std::string& out, const void* bytes, std::size_t size) {
    out.append(static_cast<const char*>(bytes), size);
}

// Texts pack each character below 0x80 as itself and any other as this byte and its four.
constexpr char k_WideEscape = static_cast<char>(0xFF);

void appendPackedText(std::string& out, std::wstring_view text) {
    for (const wchar_t c : text) {
        if (c >= 0 && c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += k_WideEscape;
            const auto value = static_cast<std::int32_t>(c);
            appendBytes(out, &value, sizeof value);
        }
    }
}

std::size_t packedTextSize(std::wstring_view text) {
    std::size_t size = 0;
    for (const wchar_t c : text) {
        size += c >= 0 && c < 0x80 ? 1 : 1 + sizeof(std::int32_t);
    }
    return size;
}

std::wstring_view nameOf(const wchar_t* name) {
    return name ? std::wstring_view(name) : std::wstring_view();
}

}  // namespace

std::wstring CBlock_func::PackedText::wide() const {
    std::wstring text;
    forEach([&](wchar_t c) { text += c; });
    return text;
}

// The name goes first: its packed length, then its packed text.
CBlock_func::CBlock_func(std::wstring_view name) {
    const auto size = static_cast<std::uint32_t>(packedTextSize(name));
    appendBytes(m_packed, &size, sizeof size);
    appendPackedText(m_packed, name);
}

// A VString may hold characters past a NUL: its whole text is the name.
CBlock_func::CBlock_func(const VString& name) : CBlock_func(std::wstring_view(name.wide())) {}

CBlock_func::CBlock_func(const wchar_t* name) : CBlock_func(nameOf(name)) {}

CBlock_func::CBlock_func(const CBlock_func& other) : m_packed(other.m_packed) {
    // The copy owns copies of the nested items. They are all made before any pointer is
    // replaced, so that a failing copy leaves nothing owned twice.
    std::vector<std::pair<std::size_t, std::unique_ptr<CBlock_func>>> copies;
    forEachPacked([&](char tag, std::string_view payload) {
        if (tag == k_Func) {
            const CBlock_func* nested = nullptr;
            std::memcpy(&nested, payload.data(), sizeof nested);
            copies.emplace_back(static_cast<std::size_t>(payload.data() - m_packed.data()),
                                std::make_unique<CBlock_func>(*nested));
        }
    });
    for (auto& [offset, copy] : copies) {
        CBlock_func* owned = copy.release();
        std::memcpy(m_packed.data() + offset, &owned, sizeof owned);
    }
}

CBlock_func::CBlock_func(CBlock_func&& other) noexcept : m_packed(std::move(other.m_packed)) {
    // A moved-from string may keep its bytes; the pointers in them now belong here.
    other.m_packed.assign(sizeof(std::uint32_t), '\0');
}

CBlock_func& CBlock_func::operator=(CBlock_func other) noexcept {
    std::swap(m_packed, other.m_packed);
    return *this;
}

CBlock_func::~CBlock_func() {
    forEachPacked([](char tag, std::string_view payload) {
        if (tag == k_Func) {
            CBlock_func* nested = nullptr;
            std::memcpy(&nested, payload.data(), sizeof nested);
            delete nested;
        }
    });
}

std::size_t CBlock_func::argumentsStart() const {
    std::uint32_t size = 0;
    std::memcpy(&size, m_packed.data(), sizeof size);
    return sizeof size + size;
}

CBlock_func::PackedText CBlock_func::packedName() const {
    std::uint32_t size = 0;
    std::memcpy(&size, m_packed.data(), sizeof size);
    return PackedText(std::string_view(m_packed.data() + sizeof size, size));
}

std::wstring CBlock_func::name() const {
    return packedName().wide();
}

std::vector<CBlockArgument> CBlock_func::arguments() const {
    std::vector<CBlockArgument> arguments;
    visitArguments([&](const auto& value) {
        using T = std::decay_t<decltype(value)>;
        if constexpr (std::is_same_v<T, PackedText>) {
            arguments.emplace_back(value.wide());
        } else if constexpr (std::is_same_v<T, CBlock_func>) {
            arguments.emplace_back(std::make_shared<const CBlock_func>(value));
        } else {
            arguments.emplace_back(value);
        }
    });
    return arguments;
}

std::size_t CBlock_func::argumentCount() const {
    std::size_t count = 0;
    forEachPacked([&](char, std::string_view) { ++count; });
    return count;
}

void CBlock_func::shrink() {
    m_packed.shrink_to_fit();
}

void CBlock_func::appendText(std::wstring_view text) {
    m_packed += k_Text;
    const auto size = static_cast<std::uint32_t>(packedTextSize(text));
    appendBytes(m_packed, &size, sizeof size);
    appendPackedText(m_packed, text);
}

void CBlock_func::appendFunc(CBlock_func* owned) {
    m_packed += k_Func;
    appendBytes(m_packed, &owned, sizeof owned);
}

CBlock_func& CBlock_func::operator<<(int value) & {
    m_packed += k_Int;
    const auto packed = static_cast<std::int32_t>(value);
    appendBytes(m_packed, &packed, sizeof packed);
    return *this;
}
CBlock_func& CBlock_func::operator<<(double value) & {
    m_packed += k_Double;
    appendBytes(m_packed, &value, sizeof value);
    return *this;
}
CBlock_func& CBlock_func::operator<<(bool value) & {
    m_packed += value ? k_True : k_False;
    return *this;
}
CBlock_func& CBlock_func::operator<<(const VString& value) & {
    appendText(value.wide());
    return *this;
}
CBlock_func& CBlock_func::operator<<(const wchar_t* value) & {
    appendText(nameOf(value));
    return *this;
}
CBlock_func& CBlock_func::operator<<(const CBlock_func& value) & {
    auto copy = std::make_unique<CBlock_func>(value);
    m_packed.reserve(m_packed.size() + 1 + sizeof(CBlock_func*));
    appendFunc(copy.release());
    return *this;
}
CBlock_func& CBlock_func::operator<<(CBlock_func&& value) & {
    value.shrink();
    auto moved = std::make_unique<CBlock_func>(std::move(value));
    m_packed.reserve(m_packed.size() + 1 + sizeof(CBlock_func*));
    appendFunc(moved.release());
    return *this;
}

bool operator==(const CBlock_func& a, const CBlock_func& b) {
    if (a.packedName().wide() != b.packedName().wide()) {
        return false;
    }
    // Walk both packed forms side by side: equal tags and payloads, nested items compared
    // by content. Doubles compare bit for bit, so NaN equals NaN of the same pattern.
    std::vector<std::pair<char, std::string_view>> left;
    a.forEachPacked([&](char tag, std::string_view payload) { left.emplace_back(tag, payload); });
    std::size_t i = 0;
    bool same = true;
    b.forEachPacked([&](char tag, std::string_view payload) {
        if (!same || i >= left.size() || left[i].first != tag) {
            same = false;
            return;
        }
        if (tag == CBlock_func::k_Func) {
            const CBlock_func* x = nullptr;
            const CBlock_func* y = nullptr;
            std::memcpy(&x, left[i].second.data(), sizeof x);
            std::memcpy(&y, payload.data(), sizeof y);
            same = *x == *y;
        } else {
            same = left[i].second == payload;
        }
        ++i;
    });
    return same && i == left.size();
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
    func.shrink();
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
