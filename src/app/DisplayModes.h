#pragma once

#include <QtGlobal>

namespace sorvane {

class Main;
class SkinBinding;

// The window's three display modes, stepped through by OnTitle:
//   0  menu bar, title bar and frame, opaque page
//   1  no menu bar, title bar or frame; the Ctrl hotkeys on
//   2  as 1, and every page pixel of exactly #010101 see-through and
//      click-through
// After every change the window is topmost, whatever "总在最前" says.
class DisplayModes {
public:
    DisplayModes(Main &main, SkinBinding &skin) : m_main(main), m_skin(skin) {}

    void OnTitle();
    // Only the check mark: OnTitle sets it again before it is read.
    void OnTransparent();
    void SetMenuVisible(bool sTrue);
    void Transparent(bool sTrue);
    // Removes or restores the title bar and frame; on restore the colour key
    // goes too, and on removal it comes back when "透明背景" is checked.
    void ShowTitleBar(bool show);

private:
    void check(const char16_t *name, bool checked);
    bool isChecked(const char16_t *name) const;

    Main &m_main;
    SkinBinding &m_skin;
};

} // namespace sorvane
