#pragma once

#include <cstdint>
#include <optional>
#include <string>

// What the simulated device does, from its command line.
struct Options
{
    enum class Pattern { Text, Random };

    bool echo = false;
    std::string linkPath;
    std::string recordPath;
    std::string sendPath;
    std::optional<std::uint64_t> streamBytes;
    Pattern pattern = Pattern::Text;
    std::uint32_t seed = 1;
};

// Empty (after printing why to stderr) when the command line is wrong.
std::optional<Options> parseOptions(int argc, char *argv[]);

extern const char *const kUsage;
