#include "app/DisplayModes.h"

#include "app/Main.h"
#include "app/SkinBinding.h"

namespace sorvane {

void DisplayModes::check(const char16_t *name, bool checked)
{
    MenuModel &menu = m_main.menu;
    menu.setChecked(menu.find(QString::fromUtf16(name)), checked);
}

bool DisplayModes::isChecked(const char16_t *name) const
{
    const MenuModel &menu = m_main.menu;
    const int position = menu.find(QString::fromUtf16(name));
    return position >= 0 && menu.at(position).checked;
}

void DisplayModes::OnTitle()
{
    // Scripts may leave any number in Mode; the step must not overflow, and
    // the remainder keeps the sign of the dividend.
    m_main.Mode = qint32((qint64(m_main.Mode) + 1) % 3);
    const bool bare = m_main.Mode != 0;
    SetMenuVisible(!bare);
    m_main.shortcuts = bare;
    check(u"OnTitle", bare);
    if (isChecked(u"OnTitle")) {
        m_skin.setAero(true);
        check(u"OnTransparent", m_main.Mode == 2);
        ShowTitleBar(false);
    } else {
        m_skin.setAero(false);
        ShowTitleBar(true);
    }
}

void DisplayModes::OnTransparent()
{
    check(u"OnTransparent", !isChecked(u"OnTransparent"));
}

void DisplayModes::SetMenuVisible(bool sTrue)
{
    m_main.platform().window->setMenuBarVisible(sTrue);
}

void DisplayModes::Transparent(bool sTrue)
{
    WindowHost &window = *m_main.platform().window;
    window.setColorKeyTransparency(sTrue);
    window.setTopmost(true);
}

void DisplayModes::ShowTitleBar(bool show)
{
    WindowHost &window = *m_main.platform().window;
    if (show) {
        window.setColorKeyTransparency(false);
        check(u"OnTransparent", false);
        window.setFrameVisible(true);
    } else {
        if (isChecked(u"OnTransparent"))
            Transparent(true);
        window.setFrameVisible(false);
    }
    window.setTopmost(true);
}

} // namespace sorvane
