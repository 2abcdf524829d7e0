#include "io/SystemError.h"

#include <cctype>
#include <cstring>

std::string systemReason(int error) {
    std::string text = std::strerror(error);
    if (!text.empty()) text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    return text;
}
