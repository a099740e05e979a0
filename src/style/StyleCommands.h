#pragma once

#include <QString>

namespace sorvane {

class Main;
class PageElement;
class Variant;

// The commands that restyle the cue text: size, glow, weight, the English
// line style, the bilingual order and the font and colour chooser scripts.
// Each writes its setting into Config and, where it shows at once, the
// inline style of the page element `code`. A step that cannot be done (no
// page yet, a setting that is no number) is skipped and the next runs.
class StyleCommands {
public:
    static constexpr int kMinFontSize = 12;
    static constexpr int kMaxFontSize = 96;

    explicit StyleCommands(Main &main) : m_main(main) {}

    // "字-" and "字+": one pixel, each bounded only in its own direction.
    void OnFontSizeA();
    void OnFontSizeB();
    // "字体发光": inverts its mark and passes it on to SetTextShadow.
    void OnShadow();
    void SetTextShadow(bool sTest);
    void OnWeight(int index);
    // Checks the weight item whose caption equals Keys without regard to
    // case and stores that caption; no match unchecks all and changes nothing.
    void SetFontWeight(const QString &Keys);
    void OnEnglish();
    void OnSorting();
    // "字体" and "颜色": run "Font.js" / "Color.js" from the script folder.
    void OnFontFamily();
    void OnSetColor();

    // The text-shadow declaration of the glow in `color`.
    static QString glowStyle(const QString &color);

private:
    void changeFontSize(int delta);
    void writeSizeAndFamily(PageElement *code);
    void runChooser(const QString &name);
    PageElement *element(const char *id) const;

    Main &m_main;
};

} // namespace sorvane
