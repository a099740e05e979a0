#include "scripting/ScriptWatchdog.h"

#include <system_error>

namespace sorvane {

using std::chrono::milliseconds;

ScriptWatchdog::ScriptWatchdog(milliseconds budget, Now now, std::function<void()> onExpired)
    : m_now(std::move(now)), m_onExpired(std::move(onExpired)), m_remaining(budget), m_runningSince(m_now())
{
}

ScriptWatchdog::~ScriptWatchdog()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

milliseconds ScriptWatchdog::steadyNow()
{
    return std::chrono::duration_cast<milliseconds>(std::chrono::steady_clock::now().time_since_epoch());
}

std::thread ScriptWatchdog::startThread(std::function<void()> body)
{
    return std::thread(std::move(body));
}

bool ScriptWatchdog::start(const ThreadStarter &starter)
{
    try {
        m_thread = starter([this] { watch(); });
    } catch (const std::system_error &) {
        return false;
    }
    return m_thread.joinable();
}

milliseconds ScriptWatchdog::runningFor() const
{
    return m_pauseDepth > 0 ? milliseconds(0) : m_now() - m_runningSince;
}

void ScriptWatchdog::pause()
{
    std::lock_guard lock(m_mutex);
    if (m_pauseDepth == 0)
        m_remaining -= runningFor();
    ++m_pauseDepth;
    m_changed.notify_all();
}

void ScriptWatchdog::resume()
{
    std::lock_guard lock(m_mutex);
    if (m_pauseDepth > 0 && --m_pauseDepth == 0)
        m_runningSince = m_now();
    m_changed.notify_all();
}

bool ScriptWatchdog::check()
{
    {
        std::lock_guard lock(m_mutex);
        if (m_expired)
            return true;
        if (m_pauseDepth > 0 || runningFor() < m_remaining)
            return false;
        m_expired = true;
    }
    m_changed.notify_all();
    m_onExpired();
    return true;
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
        const milliseconds left = m_remaining - runningFor();
        if (left <= milliseconds(0)) {
            m_expired = true;
            lock.unlock();
            m_onExpired();
            return;
        }
        m_changed.wait_for(lock, left);
    }
}

} // namespace sorvane
