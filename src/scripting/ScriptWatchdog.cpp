#include "scripting/ScriptWatchdog.h"

namespace sorvane {

ScriptWatchdog::ScriptWatchdog(std::chrono::milliseconds budget, std::function<void()> onExpired)
    : m_onExpired(std::move(onExpired)), m_remaining(budget), m_runningSince(Clock::now())
{
    m_thread = std::thread([this] { watch(); });
}

ScriptWatchdog::~ScriptWatchdog()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void ScriptWatchdog::pause()
{
    std::lock_guard lock(m_mutex);
    if (m_pauseDepth++ == 0)
        m_remaining -= Clock::now() - m_runningSince;
    m_changed.notify_all();
}

void ScriptWatchdog::resume()
{
    std::lock_guard lock(m_mutex);
    if (m_pauseDepth > 0 && --m_pauseDepth == 0)
        m_runningSince = Clock::now();
    m_changed.notify_all();
}

bool ScriptWatchdog::expired() const
{
    std::lock_guard lock(m_mutex);
    return m_expired;
}

void ScriptWatchdog::watch()
{
    std::unique_lock lock(m_mutex);
    while (!m_stop && !m_expired) {
        if (m_pauseDepth > 0) {
            m_changed.wait(lock);
            continue;
        }
        const Clock::time_point deadline = m_runningSince + m_remaining;
        if (Clock::now() >= deadline) {
            m_expired = true;
            lock.unlock();
            m_onExpired();
            return;
        }
        m_changed.wait_until(lock, deadline);
    }
}

} // namespace sorvane
