#include "trafficsave.h"

#include "files/atomicfilewriter.h"

#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr int kNiceness = 10;

} // namespace

TrafficSave::TrafficSave(
    TrafficSnapshot snapshot, TrafficExport::Format format, QString path, QObject *parent)
    : QObject(parent)
    , m_snapshot(std::move(snapshot))
    , m_format(format)
    , m_path(std::move(path))
    , m_total(m_snapshot.size())
{
}

TrafficSave::~TrafficSave()
{
    cancel();
    wait();
}

void TrafficSave::start()
{
    // The snapshot moves into the thread; this object keeps only what the
    // window asks about.
    m_thread = std::thread(
        [this, out = TrafficExport(std::move(m_snapshot), m_format)]() mutable { write(out); });
}

void TrafficSave::cancel()
{
    m_cancel = true;
}

void TrafficSave::wait()
{
    if (m_thread.joinable())
        m_thread.join();
}

void TrafficSave::write(TrafficExport &out)
{
    // The window's thread comes first when the processor is short: showing
    // what arrives matters more than a save finishing a moment sooner. On
    // Linux a thread's nice value is its own.
    ::setpriority(PRIO_PROCESS, ::gettid(), kNiceness);
    AtomicFileWriter file(m_path);
    const auto stop = [this, &file](Outcome outcome) {
        const QString reason = outcome == Outcome::Failed ? file.reason() : QString();
        // Back to the object's own thread, where the window learns of it; a
        // save deleted meanwhile takes the call with it.
        QMetaObject::invokeMethod(
            this, [this, outcome, reason] { end(outcome, reason); }, Qt::QueuedConnection);
    };
    if (!file.open())
        return stop(Outcome::Failed);
    while (!out.atEnd()) {
        if (m_cancel)
            return stop(Outcome::Cancelled);
        if (!file.write(out.next()))
            return stop(Outcome::Failed);
        m_done.store(out.done(), std::memory_order_relaxed);
    }
    if (m_cancel)
        return stop(Outcome::Cancelled);
    stop(file.commit() ? Outcome::Saved : Outcome::Failed);
}

void TrafficSave::end(Outcome outcome, const QString &reason)
{
    wait();
    m_outcome = outcome;
    m_reason = reason;
    Q_EMIT finished();
}
