#include "playback/Hotkeys.h"

#include "app/Main.h"
#include "core/Dictionary.h"
#include "subtitles/PageWrite.h"

#include <cmath>

namespace sorvane {

const Hotkey kHotkeys[9] = {
    {VirtualKey::Return, VirtualKey::Menu, "OnPlayer", -1},
    {VirtualKey::Divide, 0, "OnMsKeys", 2},
    {VirtualKey::Multiply, 0, "OnMsKeys", 0},
    {VirtualKey::OemMinus, 0, "OnSetTimeA", -1},
    {VirtualKey::OemPlus, 0, "OnSetTimeB", -1},
    {VirtualKey::Subtract, 0, "OnFontSizeA", -1},
    {VirtualKey::Add, 0, "OnFontSizeB", -1},
    {VirtualKey::Back, 0, "OnFontFamily", -1},
    {VirtualKey::Decimal, 0, "OnSetColor", -1},
};

void Hotkeys::tick()
{
    // Ticks can come while start-up waits for events, before the settings exist.
    if (!m_main.Config)
        return;
    KeyState &keys = *m_main.platform().keys;
    if (keys.asyncKeyState(VirtualKey::Escape))
        m_main.menuClicked(QStringLiteral("OnTitle"));

    if (m_main.shortcuts && keys.asyncKeyState(VirtualKey::Control)) {
        for (const Hotkey &hotkey : kHotkeys) {
            // Both keys are queried, so each one's press is consumed.
            bool down = keys.asyncKeyState(hotkey.key);
            if (hotkey.alsoHeld)
                down = keys.asyncKeyState(hotkey.alsoHeld) && down;
            if (down)
                m_main.menuClicked(QString::fromLatin1(hotkey.command), hotkey.index);
        }
    }
    expireNotice();
}

void Hotkeys::expireNotice()
{
    // Ticks a note stays: "MsgOut" seconds at the timer's rate. A value that
    // does not convert, and 0, count as due: the note goes at every tick.
    qint64 ticks = 0;
    const int interval = m_main.Timer2.interval();
    const Variant *msgOut = m_main.Config->find(QStringLiteral("MsgOut"));
    if (interval > 0 && msgOut) {
        const Result<double> seconds = msgOut->toDouble();
        if (seconds && std::isfinite(*seconds)) {
            const double product = roundHalfEven(*seconds * double(1000 / interval));
            if (product >= -2147483648.0 && product <= 2147483647.0)
                ticks = qint64(product);
        }
    }
    m_main.showOut = qint32(quint32(m_main.showOut) + 1u);
    if (ticks == 0 || m_main.showOut % ticks == 0)
        PageWrite::html(m_main.document, QStringLiteral("Message"), QString());
}

} // namespace sorvane
