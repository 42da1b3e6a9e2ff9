#include "tests/support/TempDir.h"

#include <fstream>
#include <random>
#include <sstream>

namespace testing_support {

TempDir::TempDir() {
    std::random_device seed;
    std::mt19937_64 random(seed());
    const auto base = std::filesystem::temp_directory_path();
    do {
        m_path = base / ("bs2vnf-test-" + std::to_string(random() % 1000000000000ULL));
    } while (!std::filesystem::create_directory(m_path));
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

void TempDir::write(const std::string& name, std::string_view contents) const {
    std::ofstream out(m_path / name, std::ios::binary);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
}

std::string TempDir::read(const std::string& name) const {
    return readFile(m_path / name);
}

bool TempDir::exists(const std::string& name) const {
    return std::filesystem::exists(m_path / name);
}

std::string readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

}  // namespace testing_support
