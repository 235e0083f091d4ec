#pragma once
// A 10 ms timer that stands for the window's own timers while a call waits: the longest
// gap between its beats is how long the window went unserved. Each beat also runs the
// test's step, which may act on the window meanwhile.
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <utility>

class Heartbeat {
public:
    explicit Heartbeat(std::function<void()> step)
        : m_step(std::move(step))
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            m_nLongestGap = std::max(m_nLongestGap, m_sinceBeat.restart());
            m_step();
        });
    }
    Heartbeat(const Heartbeat&) = delete;
    Heartbeat& operator=(const Heartbeat&) = delete;

    void Start()
    {
        m_sinceBeat.start();
        m_timer.start();
    }
    void Stop() { m_timer.stop(); }
    qint64 LongestGap() const { return m_nLongestGap; }

private:
    std::function<void()> m_step;
    QTimer m_timer;
    QElapsedTimer m_sinceBeat;
    qint64 m_nLongestGap = 0;
};
