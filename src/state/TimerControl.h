#pragma once

#include <functional>

namespace sorvane {

// A window timer as data: the Qt layer runs a real timer that follows
// Enabled and Interval; tests call tick() themselves.
class TimerControl {
public:
    TimerControl(int interval, bool enabled) : m_interval(interval), m_enabled(enabled) {}

    bool enabled() const { return m_enabled; }
    void setEnabled(bool enabled)
    {
        m_enabled = enabled;
        if (m_listener)
            m_listener();
    }
    int interval() const { return m_interval; }
    void setInterval(int interval)
    {
        m_interval = interval;
        if (m_listener)
            m_listener();
    }

    // Runs the handler, as a tick of the running timer does.
    void tick()
    {
        if (m_enabled && m_handler)
            m_handler();
    }
    void setTickHandler(std::function<void()> handler) { m_handler = std::move(handler); }
    void setChangeListener(std::function<void()> listener) { m_listener = std::move(listener); }

private:
    int m_interval;
    bool m_enabled;
    std::function<void()> m_handler;
    std::function<void()> m_listener;
};

} // namespace sorvane
