// A directory of its own under the system's temporary directory, removed
// with everything in it when the object goes.
#pragma once

#include <filesystem>
#include <string>

namespace voziv::testing {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// Writes bytes to a file, replacing what was there.
void writeFile(const std::filesystem::path& file, const std::string& bytes);

// The whole content of a file.
std::string readFile(const std::filesystem::path& file);

}  // namespace voziv::testing
