#pragma once

#include <unistd.h>

#include <cstdlib>
#include <string>

/// A fresh directory under the system's temporary folder, removed with everything in it when the
/// object goes out of scope.
class TempDir {
public:
    TempDir() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/flipper-io-XXXXXX";
        if (::mkdtemp(&pattern[0]) != nullptr) path_ = pattern;
    }
    ~TempDir() {
        if (!path_.empty()) std::system(("rm -rf '" + path_ + "'").c_str());
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    /// The path of a name inside the directory.
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};
