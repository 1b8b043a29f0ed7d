#include "datasource.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

// 80 printable columns, then CR LF: what a terminal shows as one full line.
constexpr std::size_t kTextColumns = 80;
constexpr std::size_t kTextLineBytes = kTextColumns + 2;
// "000042 ": six digits of the line number and a blank.
constexpr std::size_t kNumberColumns = 7;

} // namespace

bool DataSource::start(const Options &options)
{
    if (!options.sendPath.empty()) {
        std::ifstream in(options.sendPath, std::ios::binary);
        if (!in) {
            m_error = options.sendPath + ": " + std::strerror(errno);
            return false;
        }
        m_file.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        m_kind = Kind::File;
        m_total = m_file.size();
    } else if (options.streamBytes) {
        m_kind = options.pattern == Options::Pattern::Text ? Kind::Text : Kind::Random;
        m_total = *options.streamBytes;
        m_random.seed(options.seed);
    }
    m_remaining = m_total;
    return true;
}

void DataSource::take(std::string &out, std::size_t maxBytes)
{
    const std::size_t count = std::size_t(std::min<std::uint64_t>(maxBytes, m_remaining));
    switch (m_kind) {
    case Kind::File:
        out.append(m_file, std::size_t(m_total - m_remaining), count);
        break;
    case Kind::Text:
        generateText(out, count);
        break;
    case Kind::Random:
        generateRandom(out, count);
        break;
    case Kind::Nothing:
        break;
    }
    m_remaining -= count;
}

void DataSource::generateText(std::string &out, std::size_t count)
{
    // Each line starts with its number, so a gap or a repeat shows at a glance;
    // the rest runs through the printable characters, shifted by one per line.
    for (std::size_t i = 0; i < count; ++i, ++m_produced) {
        const std::uint64_t line = m_produced / kTextLineBytes;
        const std::size_t column = std::size_t(m_produced % kTextLineBytes);
        char byte = 0;
        if (column < kNumberColumns) {
            char number[16];
            std::snprintf(
                number, sizeof number, "%06llu ", static_cast<unsigned long long>(line % 1000000));
            byte = number[column];
        } else if (column < kTextColumns)
            byte = char('!' + (line + column) % 94);
        else
            byte = column == kTextColumns ? '\r' : '\n';
        out.push_back(byte);
    }
}

void DataSource::generateRandom(std::string &out, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        out.push_back(char(m_random() & 0xFF));
}
