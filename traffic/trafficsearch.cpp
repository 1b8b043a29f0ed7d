#include "trafficsearch.h"

#include <sys/resource.h>
#include <unistd.h>

namespace {

// The scan looks at the cancel flag and hands over what it found after each
// stretch this long: a few milliseconds of work.
constexpr qint64 kStretch = 16 * 1024 * 1024;
constexpr int kNiceness = 10;

} // namespace

TrafficSearch::TrafficSearch(
    TrafficSnapshot snapshot, BytePattern pattern, qint64 from, QObject *parent)
    : QObject(parent)
    , m_snapshot(std::move(snapshot))
    , m_search(std::move(pattern), TrafficSnapshot::kBlockSize)
    , m_from(from)
    , m_end(m_snapshot.size())
{
}

TrafficSearch::~TrafficSearch()
{
    cancel();
    if (m_thread.joinable())
        m_thread.join();
}

void TrafficSearch::start()
{
    m_running = true;
    m_thread = std::thread([this] { scan(); });
}

void TrafficSearch::cancel()
{
    m_cancel = true;
}

void TrafficSearch::scan()
{
    // Showing what arrives matters more than a search ending a moment sooner.
    ::setpriority(PRIO_PROCESS, ::gettid(), kNiceness);
    const auto bytes = [this](qint64 offset) { return m_snapshot.contiguousAt(offset); };
    const qint64 tail = m_search.pattern().size() - 1;
    qsizetype kept = 0;
    bool full = false;
    for (qint64 from = m_from; from < m_end && !m_cancel && !full;) {
        // A match that starts in this stretch may end in the next one.
        const qint64 stretchEnd = std::min(m_end, from + kStretch);
        const qint64 limit = std::min(m_end, stretchEnd + tail);
        std::vector<qint64> starts;
        for (qint64 at = m_search.find(bytes, limit, from); at >= 0 && at < stretchEnd;
             at = m_search.find(bytes, limit, at + 1)) {
            starts.push_back(at);
            if (++kept == kMaxHits) {
                full = true;
                break;
            }
        }
        from = stretchEnd;
        if (!starts.empty()) {
            QMetaObject::invokeMethod(
                this, [this, starts = std::move(starts)] { Q_EMIT found(starts); },
                Qt::QueuedConnection);
        }
    }
    if (m_cancel)
        return;
    QMetaObject::invokeMethod(
        this,
        [this, full] {
            m_thread.join();
            m_running = false;
            Q_EMIT finished(full);
        },
        Qt::QueuedConnection);
}
