#pragma once

#include <string>

/// The C library's text for an errno value, starting lower case so it reads as the end of a line
/// such as "sphere.iv: cannot read model: no such file or directory". Every file kind uses it.
std::string systemReason(int error);
