#pragma once

#include "options.h"

#include <cstdint>
#include <random>
#include <string>

// The bytes the device sends of its own accord: a file's contents or a
// generated stream, handed out in chunks so that a long stream never sits in
// memory whole.
class DataSource
{
public:
    // False (with errorText() set) when the file cannot be read.
    bool start(const Options &options);
    // Appends up to maxBytes more bytes to out; appends nothing when done.
    void take(std::string &out, std::size_t maxBytes);
    bool isDone() const { return m_remaining == 0; }
    std::uint64_t total() const { return m_total; }
    const std::string &errorText() const { return m_error; }

private:
    void generateText(std::string &out, std::size_t count);
    void generateRandom(std::string &out, std::size_t count);

    enum class Kind { Nothing, File, Text, Random };
    Kind m_kind = Kind::Nothing;
    std::string m_file;
    std::uint64_t m_total = 0;
    std::uint64_t m_remaining = 0;
    // Position inside the endless text pattern.
    std::uint64_t m_produced = 0;
    std::mt19937 m_random;
    std::string m_error;
};
