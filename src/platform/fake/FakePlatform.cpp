#include "platform/fake/FakePlatform.h"

namespace sorvane {
namespace {

QString onOff(bool on)
{
    return on ? QStringLiteral("true") : QStringLiteral("false");
}

} // namespace

PlatformServices FakePlatform::services()
{
    PlatformServices s;
    s.clock = this;
    s.keys = this;
    s.system = this;
    s.window = this;
    s.dialogs = this;
    s.shell = this;
    s.clipboard = this;
    s.registry = &registry;
    return s;
}

void FakePlatform::holdKey(int virtualKey, bool down)
{
    if (down)
        m_held.insert(virtualKey);
    else
        m_held.remove(virtualKey);
}

void FakePlatform::tapKey(int virtualKey)
{
    m_tapped.insert(virtualKey);
}

bool FakePlatform::asyncKeyState(int virtualKey)
{
    const bool tapped = m_tapped.remove(virtualKey);
    return tapped || m_held.contains(virtualKey);
}

void FakePlatform::setCaption(const QString &text)
{
    caption = text;
    calls << QStringLiteral("setCaption(%1)").arg(text);
}

void FakePlatform::moveWindow(int left, int top)
{
    rect.left = left;
    rect.top = top;
    calls << QStringLiteral("moveWindow(%1,%2)").arg(left).arg(top);
}

void FakePlatform::resizeWindow(int width, int height)
{
    rect.width = width;
    rect.height = height;
    calls << QStringLiteral("resizeWindow(%1,%2)").arg(width).arg(height);
}

void FakePlatform::setShowState(WindowShowState state)
{
    shown = state;
    minimized = state == WindowShowState::Minimized;
    calls << QStringLiteral("setShowState(%1)").arg(int(state));
}

std::vector<Rect> FakePlatform::screenAreas()
{
    if (areas.empty())
        return {Rect{0, 0, screen.width, screen.height}};
    return areas;
}

void FakePlatform::setTopmost(bool on)
{
    topmost = on;
    calls << QStringLiteral("setTopmost(%1)").arg(onOff(on));
}

void FakePlatform::setMenuBarVisible(bool visible)
{
    menuBarVisible = visible;
    calls << QStringLiteral("setMenuBarVisible(%1)").arg(onOff(visible));
}

void FakePlatform::setFrameVisible(bool visible)
{
    frameVisible = visible;
    calls << QStringLiteral("setFrameVisible(%1)").arg(onOff(visible));
}

void FakePlatform::setColorKeyTransparency(bool on)
{
    colorKey = on;
    calls << QStringLiteral("setColorKeyTransparency(%1)").arg(onOff(on));
}

void FakePlatform::setPageInputEnabled(bool enabled)
{
    pageInput = enabled;
    calls << QStringLiteral("setPageInputEnabled(%1)").arg(onOff(enabled));
}

void FakePlatform::setAcceptDrops(bool accept)
{
    acceptDrops = accept;
    calls << QStringLiteral("setAcceptDrops(%1)").arg(onOff(accept));
}

void FakePlatform::setMoveCursor(bool on)
{
    moveCursor = on;
    calls << QStringLiteral("setMoveCursor(%1)").arg(onOff(on));
}

std::optional<Rect> FakePlatform::rectOfWindow(quintptr window)
{
    if (window != 0 && window == id)
        return rect;
    return std::nullopt;
}

void FakePlatform::processEvents()
{
    ++processEventsCount;
    if (onProcessEvents)
        onProcessEvents();
}

int FakePlatform::messageBox(const MessageBoxRequest &request)
{
    messageBoxes.append(request);
    if (whileBoxOpen)
        whileBoxOpen();
    return messageAnswers.isEmpty() ? BoxResult::Ok : messageAnswers.takeFirst();
}

std::optional<QString> FakePlatform::inputBox(const InputBoxRequest &request)
{
    inputBoxes.append(request);
    if (whileBoxOpen)
        whileBoxOpen();
    return inputAnswers.isEmpty() ? std::nullopt : inputAnswers.takeFirst();
}

std::optional<QString> FakePlatform::chooseColor(const ColorChooserRequest &request)
{
    colorChoosers.append(request);
    if (whileBoxOpen)
        whileBoxOpen();
    return colorAnswers.isEmpty() ? std::nullopt : colorAnswers.takeFirst();
}

std::optional<QString> FakePlatform::chooseFont(const FontChooserRequest &request)
{
    fontChoosers.append(request);
    if (whileBoxOpen)
        whileBoxOpen();
    return fontAnswers.isEmpty() ? std::nullopt : fontAnswers.takeFirst();
}

bool FakePlatform::startDetached(const QString &program, const QStringList &arguments)
{
    const bool known = program.contains(QLatin1Char('/')) ? installedPrograms.values().contains(program)
                                                          : installedPrograms.contains(program);
    if (!known)
        return false;
    started << (QStringList{program} + arguments).join(QLatin1Char(' '));
    return true;
}

} // namespace sorvane
