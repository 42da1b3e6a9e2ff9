#include "corelib/FileText.h"

#include <cstdio>

#include "corelib/Platform.h"

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#define BS2VNF_MAP_FILES 1
#endif

FileText::~FileText() {
#ifdef BS2VNF_MAP_FILES
    if (m_mapping) {
        munmap(m_mapping, m_mappedSize);
    }
#endif
}

bool FileText::open(const std::string& path) {
#ifdef BS2VNF_MAP_FILES
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        return false;
    }
    struct stat status {};
    if (fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) && status.st_size > 0) {
        const auto size = static_cast<std::size_t>(status.st_size);
        int flags = MAP_PRIVATE;
#ifdef MAP_POPULATE
        // The whole file is read once from start to end: map it in one go.
        flags |= MAP_POPULATE;
#endif
        void* mapping = mmap(nullptr, size, PROT_READ, flags, descriptor, 0);
        if (mapping != MAP_FAILED) {
            madvise(mapping, size, MADV_SEQUENTIAL);
            m_mapping = mapping;
            m_mappedSize = size;
            m_text = std::string_view(static_cast<const char*>(mapping), size);
            ::close(descriptor);
            return true;
        }
    }
    // Not a regular file, or one that cannot be mapped: read what it gives.
    char chunk[65536];
    while (true) {
        const ssize_t got = ::read(descriptor, chunk, sizeof chunk);
        if (got <= 0) {
            break;
        }
        m_buffer.append(chunk, static_cast<std::size_t>(got));
    }
    ::close(descriptor);
#else
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        return false;
    }
    char chunk[65536];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        m_buffer.append(chunk, got);
    }
    std::fclose(file);
#endif
    m_text = m_buffer;
    return true;
}

void reportMissingFile(const std::string& text) {
    MessageBoxA(nullptr, text.c_str(), "File I/O Error", MB_OK);
    platform::reporter().endProcess(0);
}
