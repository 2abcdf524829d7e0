#pragma once

#include <string_view>

#include "io/Problem.h"

/// Reads a whole number from minimum to maximum, written in decimal digits and nothing else: no sign,
/// no space, no exponent, no hex, no leading zero, not empty. Every option and file field that holds a whole number
/// is read with it, so all refuse the same text with the same words. The problem says only what the
/// text must be ("it must be a whole number from 0 to 100"); the caller says which option or line.
Result<long long> parseCount(std::string_view text, long long minimum, long long maximum);
