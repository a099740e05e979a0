#include "dialogs/UserWaitDialogHost.h"

namespace sorvane {

template <typename Call>
auto UserWaitDialogHost::waiting(Call call)
{
    struct Wait {
        const WaitHook &hook;
        explicit Wait(const WaitHook &h) : hook(h)
        {
            if (hook)
                hook(true);
        }
        ~Wait()
        {
            if (hook)
                hook(false);
        }
    } wait(m_onWait);
    return call();
}

int UserWaitDialogHost::messageBox(const MessageBoxRequest &request)
{
    return waiting([&] { return m_host.messageBox(request); });
}

std::optional<QString> UserWaitDialogHost::inputBox(const InputBoxRequest &request)
{
    return waiting([&] { return m_host.inputBox(request); });
}

std::optional<QString> UserWaitDialogHost::chooseColor(const ColorChooserRequest &request)
{
    return waiting([&] { return m_host.chooseColor(request); });
}

std::optional<QString> UserWaitDialogHost::chooseFont(const FontChooserRequest &request)
{
    return waiting([&] { return m_host.chooseFont(request); });
}

} // namespace sorvane
