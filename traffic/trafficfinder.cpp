#include "trafficfinder.h"

#include "trafficlog.h"
#include "trafficsearch.h"

#include <algorithm>

TrafficFinder::TrafficFinder(TrafficLog &log, QObject *parent)
    : QObject(parent)
    , m_log(log)
{
    connect(&m_log, &TrafficLog::appended, this, [this] {
        if (m_pattern && !m_search && !m_full)
            startScan();
    });
    connect(&m_log, &TrafficLog::aboutToClear, this, [this] {
        stopScan();
        m_hits.clear();
        m_scanned = 0;
        m_full = false;
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

void TrafficFinder::startScan()
{
    // A match that ends in the new bytes may start in the old ones.
    const qint64 from = std::max<qint64>(0, m_scanned - (length() - 1));
    m_search = std::make_unique<TrafficSearch>(m_log.snapshot(), *m_pattern, from);
    // Matches already counted start before the first one this scan can
    // find: each ended within the bytes scanned, so starts before `from`.
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
    m_full = full || qsizetype(m_hits.size()) >= TrafficSearch::kMaxHits;
    // What arrived while the scan ran is next.
    if (!m_full && m_log.size() > m_scanned)
        startScan();
    Q_EMIT changed();
}
