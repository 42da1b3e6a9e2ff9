#include "corelib/FileName.h"

LongFileName& LongFileName::ChangeExt(const VString& extension) {
    const std::wstring& path = m_path.wide();
    const std::size_t slash = path.find_last_of(L"/\\");
    const std::size_t nameStart = slash == std::wstring::npos ? 0 : slash + 1;
    const std::size_t dot = path.rfind(L'.');
    std::wstring stem =
        (dot != std::wstring::npos && dot >= nameStart) ? path.substr(0, dot) : path;
    stem += L'.';
    stem += extension.wide();
    m_path = VString(std::move(stem));
    return *this;
}

VString GetFileExtension(int which) {
    switch (which) {
    case 3:
        return VString(L"vnf");
    default:
        return VString();
    }
}
