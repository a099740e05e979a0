#include "dialogs/Dialogs.h"

#include "platform/Platform.h"

#include <algorithm>

namespace sorvane {

Dialogs::Dialogs(DialogHost &host, WindowHost &window)
    : m_host(host)
    , m_window(window)
{
}

QString Dialogs::MsgBoxInfoB(const QString &Text, const QString &Title, const QString &Butt1, const QString &Butt2)
{
    MessageBoxRequest request;
    request.owner = m_window.rectOfWindow(m_window.windowId());
    request.text = Text;
    request.caption = Title;
    request.type = BoxType::YesNo | BoxType::IconQuestion;
    request.firstButton = Butt1;
    request.secondButton = Butt2;
    return m_host.messageBox(request) == BoxResult::Yes ? Butt1 : Butt2;
}

int Dialogs::MsgBoxB(const QString &lpText, int wType, const QString &lpCaption)
{
    MessageBoxRequest request;
    request.owner = m_window.rectOfWindow(m_window.windowId());
    request.text = lpText;
    request.caption = lpCaption;
    request.type = wType;
    return m_host.messageBox(request);
}

QString Dialogs::InputBoxB(const QString &lpText, const QString &lpCaption, const QString &Value)
{
    InputBoxRequest request;
    request.owner = m_window.rectOfWindow(m_window.windowId());
    request.prompt = lpText;
    request.title = lpCaption;
    request.value = Value;
    return m_host.inputBox(request).value_or(QString());
}

int Dialogs::MessageBoxTimeout(quintptr hWnd, const QString &lpText, const QString &lpCaption, int wType, int wlange,
                               int Timeout)
{
    MessageBoxRequest request;
    if (hWnd != 0)
        request.owner = m_window.rectOfWindow(hWnd);
    request.text = lpText;
    request.caption = lpCaption;
    request.type = wType;
    request.timeoutMs = std::max(Timeout, 0);
    return m_host.messageBox(request);
}

QString Dialogs::ChooseColor(const QString &initial)
{
    ColorChooserRequest request;
    request.owner = m_window.rectOfWindow(m_window.windowId());
    request.initial = initial.trimmed();
    return m_host.chooseColor(request).value_or(QString());
}

QString Dialogs::ChooseFont(const QString &family)
{
    FontChooserRequest request;
    request.owner = m_window.rectOfWindow(m_window.windowId());
    request.family = family.trimmed();
    return m_host.chooseFont(request).value_or(QString());
}

} // namespace sorvane
