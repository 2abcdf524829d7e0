#pragma once

// The tests' scratch folders and whole-file reads and writes.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

/// A fresh folder under the system's temporary folder (TMPDIR), named after the running test, removed
/// with everything in it when the object goes out of scope.
class ScratchFolder {
public:
    ScratchFolder() {
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        const std::string name = std::string("flipper-") + (test != nullptr ? test->name() : "test") + "-" +
                                 std::to_string(::getpid()) + "-";
        for (int n = 0; !std::filesystem::create_directory(path_ = (std::filesystem::temp_directory_path() /
                                                                    (name + std::to_string(n))).string());
             ++n) {
        }
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return path_; }
    /// The path of a name inside the folder.
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

/// The whole file's bytes; empty when it cannot be read.
inline std::string readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

/// The whole file's bytes as unsigned bytes.
inline std::vector<unsigned char> readBytes(const std::filesystem::path& file) {
    const std::string bytes = readFile(file);
    return {bytes.begin(), bytes.end()};
}

/// Writes the file anew with exactly these bytes.
inline void writeFile(const std::filesystem::path& file, std::string_view bytes) {
    std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline void writeFile(const std::filesystem::path& file, const std::vector<unsigned char>& bytes) {
    writeFile(file, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}
