#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "io/Problem.h"

/// One option of a program's command line, written "--name VALUE" or "--name=VALUE", or a switch
/// ("--mute") written alone. Each program keeps a table of them, in the order its usage lists them,
/// and reads its command line with parseOptionTable.
template <class Options>
struct OptionEntry {
    const char* name;        ///< "--tick-rate"
    const char* valueName;   ///< the value's name in the usage: "N", "FILE"; null for a switch
    const char* valueNeeds;  ///< what a missing value should have been: "a number of ticks per second"
    const char* help;        ///< the usage's description; further lines start with '\n'
    /// Stores value in options (null for a switch); returns why the value cannot be used, if it cannot.
    Problem (*take)(const char* value, Options& options);
};

/// The entry called name, or null.
template <class Options>
const OptionEntry<Options>* findOption(const std::vector<OptionEntry<Options>>& table, const std::string& name) {
    for (const OptionEntry<Options>& entry : table)
        if (name == entry.name) return &entry;
    return nullptr;
}

/// True for an option of table written without "=VALUE": the next argument is its value.
template <class Options>
bool takesNextArgument(const std::vector<OptionEntry<Options>>& table, const char* arg) {
    const OptionEntry<Options>* entry = findOption(table, arg);
    return std::strchr(arg, '=') == nullptr && entry != nullptr && entry->valueName != nullptr;
}

/// Reads argv[1] to argv[argc - 1] into options, each an option of table with its value. Returns the
/// first problem, in one line: an argument that is no option of table, a value missing, one given
/// to a switch, or what the entry finds wrong with its value.
template <class Options>
Problem parseOptionTable(const std::vector<OptionEntry<Options>>& table, int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const std::size_t equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        const OptionEntry<Options>* entry = findOption(table, name);
        if (entry == nullptr) return "unknown option '" + arg + "'";
        const char* value = nullptr;
        if (entry->valueName == nullptr) {
            if (equals != std::string::npos) return name + " takes no value";
        } else if (equals != std::string::npos) {
            value = argv[i] + equals + 1;
        } else if (i + 1 < argc) {
            value = argv[++i];
        } else {
            return name + " needs " + entry->valueNeeds;
        }
        Problem problem = entry->take(value, options);
        if (problem) return problem;
    }
    return {};
}

/// The usage lines of table's options, the descriptions starting at column.
template <class Options>
std::string optionTableUsage(const std::vector<OptionEntry<Options>>& table, std::size_t column) {
    std::string usage;
    for (const OptionEntry<Options>& entry : table) {
        std::string line = std::string("  ") + entry.name;
        if (entry.valueName != nullptr) line += std::string(" ") + entry.valueName;
        line.resize(column - 1, ' ');
        line += ' ';
        for (const char* c = entry.help; *c != '\0'; ++c) {
            line += *c;
            if (*c == '\n') line += std::string(column, ' ');
        }
        usage += line + "\n";
    }
    return usage;
}
