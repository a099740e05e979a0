#pragma once

#include "platform/Platform.h"

#include <functional>

namespace sorvane {

// The platform's boxes, each one told as a wait for the user: `onWait(true)`
// as it opens and `onWait(false)` once it is answered. A running script's
// time is counted except while it waits for the user.
class UserWaitDialogHost : public DialogHost {
public:
    using WaitHook = std::function<void(bool waiting)>;

    UserWaitDialogHost(DialogHost &host, WaitHook onWait) : m_host(host), m_onWait(std::move(onWait)) {}

    int messageBox(const MessageBoxRequest &request) override;
    std::optional<QString> inputBox(const InputBoxRequest &request) override;
    std::optional<QString> chooseColor(const ColorChooserRequest &request) override;
    std::optional<QString> chooseFont(const FontChooserRequest &request) override;

private:
    template <typename Call>
    auto waiting(Call call);

    DialogHost &m_host;
    WaitHook m_onWait;
};

} // namespace sorvane
