#include "replay/OutputFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

OutputFile::~OutputFile() {
    if (file_ != nullptr) std::fclose(file_);
}

std::string OutputFile::open(const std::string& fileName, const std::vector<std::string>& inputs) {
    if (file_ != nullptr) close();
    fileName_ = fileName;
    std::string problem = refuseInput(fileName, inputs);
    if (!problem.empty()) return problem;
    errno = 0;
    file_ = std::fopen(fileName.c_str(), "wb");
    if (file_ == nullptr) return failure(errno);
    return "";
}

std::string OutputFile::write(const void* data, std::size_t size) {
    if (file_ == nullptr) return failure(EBADF);
    errno = 0;
    if (std::fwrite(data, 1, size, file_) != size || std::fflush(file_) != 0) return failure(errno);
    return "";
}

std::string OutputFile::close() {
    if (file_ == nullptr) return "";
    errno = 0;
    const int status = std::fclose(file_);
    file_ = nullptr;
    return status == 0 ? "" : failure(errno);
}

std::string OutputFile::failure(int error) const {
    return fileName_ + ": cannot write " + what_ + ": " + std::strerror(error != 0 ? error : EIO);
}

std::string refuseInput(const std::string& output, const std::vector<std::string>& inputs) {
    namespace fs = std::filesystem;
    for (const std::string& input : inputs) {
        std::error_code error;
        const bool same = output == input || fs::equivalent(output, input, error);
        if (same)
            return output + ": will not write there: it is " + input + ", which the game reads";
    }
    return "";
}
