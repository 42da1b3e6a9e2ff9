#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace testing_support {

/// A fresh directory under the system's temporary directory, removed with its contents
/// when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::string str() const { return m_path.string(); }

    /// Writes `contents` to the file `name` inside the directory.
    void write(const std::string& name, std::string_view contents) const;
    /// The contents of the file `name` inside the directory ("" when missing).
    std::string read(const std::string& name) const;
    bool exists(const std::string& name) const;

private:
    std::filesystem::path m_path;
};

/// The contents of any file ("" when missing).
std::string readFile(const std::filesystem::path& file);

}  // namespace testing_support
