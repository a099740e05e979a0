#include "playback/Hotkeys.h"

#include "core/Dictionary.h"
#include "page/PageWrite.h"
#include "platform/Platform.h"
#include "state/WindowCommands.h"
#include "state/MenuModel.h"
#include "state/WindowState.h"

#include <cmath>

namespace sorvane {

const Hotkey kHotkeys[9] = {
    {VirtualKey::Return, VirtualKey::Menu, "OnPlayer", -1, "Ctrl+Alt+Enter"},
    {VirtualKey::Divide, 0, "OnMsKeys", 2, "Ctrl+小键盘/"},
    {VirtualKey::Multiply, 0, "OnMsKeys", 0, "Ctrl+小键盘*"},
    {VirtualKey::OemMinus, 0, "OnSetTimeA", -1, "Ctrl+-"},
    {VirtualKey::OemPlus, 0, "OnSetTimeB", -1, "Ctrl+="},
    {VirtualKey::Subtract, 0, "OnFontSizeA", -1, "Ctrl+小键盘-"},
    {VirtualKey::Add, 0, "OnFontSizeB", -1, "Ctrl+小键盘+"},
    {VirtualKey::Back, 0, "OnFontFamily", -1, "Ctrl+Backspace"},
    {VirtualKey::Decimal, 0, "OnSetColor", -1, "Ctrl+小键盘."},
};

QStringList Hotkeys::help(const MenuModel &menu)
{
    auto captionOf = [&menu](const char *command, int index) {
        const int at = menu.find(QString::fromLatin1(command), index);
        return at < 0 ? QString::fromLatin1(command) : menu.at(at).caption.trimmed();
    };
    QStringList lines;
    lines << QStringLiteral("Esc\t切换显示模式（标题栏、菜单、透明）\t所有模式");
    for (const Hotkey &hotkey : kHotkeys)
        lines << QString::fromUtf8(hotkey.keys) + QStringLiteral("\t") + captionOf(hotkey.command, hotkey.index) +
                     QStringLiteral("\t无边框的两种模式");
    return lines;
}

void Hotkeys::tick()
{
    // Ticks can come while start-up waits for events, before the settings exist.
    if (!m_state.Config)
        return;
    KeyState &keys = m_keys;
    if (keys.asyncKeyState(VirtualKey::Escape))
        m_commands.menuClicked(QStringLiteral("OnTitle"));

    if (m_state.shortcuts && keys.asyncKeyState(VirtualKey::Control)) {
        for (const Hotkey &hotkey : kHotkeys) {
            // Both keys are queried, so each one's press is consumed.
            bool down = keys.asyncKeyState(hotkey.key);
            if (hotkey.alsoHeld)
                down = keys.asyncKeyState(hotkey.alsoHeld) && down;
            if (down)
                m_commands.menuClicked(QString::fromLatin1(hotkey.command), hotkey.index);
        }
    }
    expireNotice();
}

void Hotkeys::expireNotice()
{
    // Ticks a note stays: "MsgOut" seconds at the timer's rate. A value that
    // does not convert, and 0, count as due: the note goes at every tick.
    qint64 ticks = 0;
    const int interval = m_state.Timer2.interval();
    const Variant *msgOut = m_state.Config->find(QStringLiteral("MsgOut"));
    if (interval > 0 && msgOut) {
        const Result<double> seconds = msgOut->toDouble();
        if (seconds && std::isfinite(*seconds)) {
            const double product = roundHalfEven(*seconds * double(1000 / interval));
            if (product >= -2147483648.0 && product <= 2147483647.0)
                ticks = qint64(product);
        }
    }
    m_state.showOut = qint32(quint32(m_state.showOut) + 1u);
    if (ticks == 0 || m_state.showOut % ticks == 0)
        PageWrite::html(m_state.document, QStringLiteral("Message"), QString());
}

} // namespace sorvane
