#include "trafficfinder.h"

#include "text/blocklistsearch.h"
#include "trafficlog.h"
#include "trafficsearch.h"

#include <algorithm>
#include <malloc.h>

namespace {

// New bytes up to this much are searched at once on the window's thread (a
// few microseconds); only a longer stretch gets a thread of its own, so that
// a stream of small reads does not start a thread for each.
constexpr qint64 kInlineScan = 256 * 1024;
// After a scan that kept this many more matches, the memory the growing
// list left behind goes back to the system.
constexpr std::size_t kTrimAfterHits = 256 * 1024;

} // namespace

TrafficFinder::TrafficFinder(TrafficLog &log, QObject *parent)
    : QObject(parent)
    , m_log(log)
{
    connect(&m_log, &TrafficLog::appended, this, [this] {
        if (!m_pattern || m_search || m_full)
            return;
        if (m_log.size() - m_scanned <= kInlineScan)
            scanInline();
        else
            startScan();
    });
    connect(&m_log, &TrafficLog::aboutToClear, this, [this] {
        stopScan();
        m_hits.clear();
        m_scanned = 0;
        m_full = false;
        m_hitsAtTrim = 0;
        Q_EMIT changed();
    });
}

TrafficFinder::~TrafficFinder() = default;

void TrafficFinder::setPattern(const std::optional<BytePattern> &pattern)
{
    stopScan();
    m_pattern = pattern;
    m_hits.clear();
    m_hits.shrink_to_fit();
    m_scanned = 0;
    m_full = false;
    m_hitsAtTrim = 0;
    if (m_pattern)
        startScan();
    Q_EMIT changed();
}

std::optional<qsizetype> TrafficFinder::firstFrom(qint64 offset) const
{
    const auto at = std::lower_bound(m_hits.begin(), m_hits.end(), offset);
    if (at == m_hits.end())
        return std::nullopt;
    return qsizetype(at - m_hits.begin());
}

std::optional<qsizetype> TrafficFinder::lastBefore(qint64 offset) const
{
    const auto at = std::lower_bound(m_hits.begin(), m_hits.end(), offset);
    if (at == m_hits.begin())
        return std::nullopt;
    return qsizetype(at - m_hits.begin()) - 1;
}

qint64 TrafficFinder::rescanFrom() const
{
    // A match that ends in the new bytes may start in the old ones; one that
    // starts earlier ended within the bytes scanned and is counted already.
    return std::max<qint64>(0, m_scanned - (length() - 1));
}

void TrafficFinder::scanInline()
{
    const BlockListSearch search(*m_pattern, TrafficLog::kBlockSize);
    const auto bytes = [this](qint64 offset) { return m_log.contiguousAt(offset); };
    const qint64 end = m_log.size();
    bool found = false;
    for (qint64 at = search.find(bytes, end, rescanFrom()); at >= 0;
         at = search.find(bytes, end, at + 1)) {
        if (qsizetype(m_hits.size()) >= TrafficSearch::kMaxHits) {
            m_full = true;
            break;
        }
        m_hits.push_back(at);
        found = true;
    }
    m_scanned = end;
    if (found || m_full)
        Q_EMIT changed();
}

void TrafficFinder::startScan()
{
    const qint64 from = rescanFrom();
    m_search = std::make_unique<TrafficSearch>(m_log.snapshot(), *m_pattern, from);
    connect(m_search.get(), &TrafficSearch::found, this, &TrafficFinder::onFound);
    connect(m_search.get(), &TrafficSearch::finished, this, &TrafficFinder::onFinished);
    m_search->start();
}

void TrafficFinder::stopScan()
{
    if (!m_search)
        return;
    m_search->disconnect(this);
    m_search->cancel();
    // Its thread may be in the middle of a stretch; it goes when that ends.
    m_search.release()->deleteLater();
}

void TrafficFinder::onFound(const std::vector<qint64> &starts)
{
    const qsizetype room = TrafficSearch::kMaxHits - qsizetype(m_hits.size());
    m_hits.insert(m_hits.end(), starts.begin(),
        starts.begin() + std::min<qsizetype>(room, qsizetype(starts.size())));
    Q_EMIT changed();
}

void TrafficFinder::onFinished(bool full)
{
    m_scanned = m_search->end();
    m_search.release()->deleteLater();
    // The list grew by doubling; the smaller buffers it left would stay
    // with the process, a million matches taking 23 bytes each, not 8.
    if (m_hits.size() >= m_hitsAtTrim + kTrimAfterHits) {
        m_hitsAtTrim = m_hits.size();
        ::malloc_trim(0);
    }
    m_full = full || qsizetype(m_hits.size()) >= TrafficSearch::kMaxHits;
    // What arrived while the scan ran is next.
    if (!m_full && m_log.size() > m_scanned)
        startScan();
    Q_EMIT changed();
}
