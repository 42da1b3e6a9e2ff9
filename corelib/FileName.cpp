#include "corelib/FileName.h"

#include <cstdio>

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

bool ReplaceFile(const LongFileName& from, const LongFileName& to) {
    if (std::rename(from.native().c_str(), to.native().c_str()) == 0) {
        return true;
    }
    RemoveFile(from);
    return false;
}

bool RemoveFile(const LongFileName& file) {
    return std::remove(file.native().c_str()) == 0;
}
