#include "style/StyleCommands.h"

#include "app/Main.h"
#include "app/PageDocument.h"
#include "scripting/objects/Dictionary.h"
#include "text/TextCodec.h"

#include <optional>

namespace sorvane {
namespace {

const QString kFontSize = QStringLiteral("FontSize");
const QString kPixel = QStringLiteral("Pixel");
const QString kFontFamily = QStringLiteral("FontFamily");
const QString kColor = QStringLiteral("Color");
const QString kWeight = QStringLiteral("Weight");
const QString kShadow = QStringLiteral("Shadow");
const QString kSorting = QStringLiteral("Sorting");
const QString kEnglish = QStringLiteral("English");

const QString kEnglishDefault =
    QStringLiteral("font-family:Microsoft Yahei;font-Weight:bold;font-size:18px;line-height:28px;");

std::optional<double> numberOf(const Variant &value)
{
    auto number = value.toDouble();
    if (!number)
        return std::nullopt;
    return *number;
}

// `value` + `delta` as the scripts' arithmetic types it: an Integer stays
// one while it fits, text and other kinds become numbers.
std::optional<Variant> add(const Variant &value, int delta)
{
    const auto number = numberOf(value);
    if (!number)
        return std::nullopt;
    const double sum = *number + delta;
    switch (value.kind()) {
    case Variant::Kind::Empty:
    case Variant::Kind::Boolean:
    case Variant::Kind::Integer:
        if (sum >= -32768 && sum <= 32767)
            return Variant::fromInteger(qint16(sum));
        [[fallthrough]];
    case Variant::Kind::Long:
        if (sum >= -2147483648.0 && sum <= 2147483647.0)
            return Variant::fromLong(qint32(sum));
        return Variant::fromDouble(sum);
    case Variant::Kind::Single:
        return Variant::fromSingle(float(sum));
    default:
        return Variant::fromDouble(sum);
    }
}

QString px(double number)
{
    return formatNumber(number) + QStringLiteral("px");
}

} // namespace

PageElement *StyleCommands::element(const char *id) const
{
    return m_main.document ? m_main.document->getElementById(QString::fromLatin1(id)) : nullptr;
}

QString StyleCommands::glowStyle(const QString &color)
{
    return QStringLiteral("text-shadow:0px 0px 2px %1,1px 1px 1px %1,0px 2px 1px %1,0px 3px 1px %1,0px 4px 1px %1;")
        .arg(color);
}

void StyleCommands::changeFontSize(int delta)
{
    Dictionary &config = *m_main.Config;
    if (auto next = add(config.item(kFontSize), delta))
        config.setItem(kFontSize, *next);
    // Each command tests only the bound it moves towards.
    if (auto size = numberOf(config.item(kFontSize))) {
        if (delta < 0 && *size < kMinFontSize)
            config.setItem(kFontSize, Variant::fromInteger(kMinFontSize));
        if (delta > 0 && *size > kMaxFontSize)
            config.setItem(kFontSize, Variant::fromInteger(kMaxFontSize));
    }
    const QString sizeText = config.item(kFontSize).text();
    PageElement *code = element("code");
    if (code)
        code->style().setProperty(QStringLiteral("font-size"), sizeText + QStringLiteral("px"));
    const auto size = numberOf(config.item(kFontSize));
    const auto pixel = numberOf(config.item(kPixel));
    if (code && size && pixel)
        code->style().setProperty(QStringLiteral("line-height"), px(*size + *pixel));
    if (PageElement *message = element("Message"))
        message->setInnerHTML(QStringLiteral("font-size: ") + sizeText + QStringLiteral("px;"));
    m_main.showOut = 0;
}

void StyleCommands::OnFontSizeA()
{
    changeFontSize(-1);
}

void StyleCommands::OnFontSizeB()
{
    changeFontSize(+1);
}

void StyleCommands::OnShadow()
{
    MenuModel &menu = m_main.menu;
    const int position = menu.find(QStringLiteral("OnShadow"));
    menu.setChecked(position, !menu.at(position).checked);
    SetTextShadow(menu.at(position).checked);
}

void StyleCommands::writeSizeAndFamily(PageElement *code)
{
    Dictionary &config = *m_main.Config;
    code->style().setProperty(QStringLiteral("font-family"), config.item(kFontFamily).text());
    code->style().setProperty(QStringLiteral("font-size"), config.item(kFontSize).text() + QStringLiteral("px"));
    const auto size = numberOf(config.item(kFontSize));
    const auto pixel = numberOf(config.item(kPixel));
    if (size && pixel)
        code->style().setProperty(QStringLiteral("line-height"), px(*size + *pixel));
}

void StyleCommands::SetTextShadow(bool sTest)
{
    Dictionary &config = *m_main.Config;
    config.setItem(kShadow, sTest);
    PageElement *code = element("code");
    if (!code)
        return;
    const QString color = config.item(kColor).text();
    // The whole inline style is replaced, so a weight chosen earlier falls
    // back to the page's class rule.
    code->style().setCssText(sTest ? glowStyle(color) : QString());
    writeSizeAndFamily(code);
    if (sTest)
        code->style().setProperty(QStringLiteral("color"),
                                  color.compare(u"white"_qs, Qt::CaseInsensitive) == 0 ? u"gray"_qs : u"white"_qs);
    else
        code->style().setProperty(QStringLiteral("color"), color);
}

void StyleCommands::OnWeight(int index)
{
    const int position = m_main.menu.find(QStringLiteral("OnWeight"), index);
    if (position >= 0)
        SetFontWeight(m_main.menu.at(position).caption);
}

void StyleCommands::SetFontWeight(const QString &Keys)
{
    MenuModel &menu = m_main.menu;
    for (int position : menu.group(QStringLiteral("OnWeight"))) {
        const QString caption = menu.at(position).caption;
        const bool match = caption.compare(Keys, Qt::CaseInsensitive) == 0;
        menu.setChecked(position, match);
        if (!match)
            continue;
        m_main.Config->setItem(kWeight, caption);
        if (PageElement *code = element("code"))
            code->style().setProperty(QStringLiteral("font-weight"), caption);
    }
}

void StyleCommands::OnEnglish()
{
    Dictionary &config = *m_main.Config;
    if (config.item(kEnglish).text().isEmpty())
        config.setItem(kEnglish, kEnglishDefault);
    // Cancel answers "", which empties the setting.
    config.setItem(kEnglish, m_main.InputBoxB(QStringLiteral("请输入数据："), QStringLiteral("系统提示"),
                                              config.item(kEnglish).text()));
    if (PageElement *code = element("code"))
        code->setInnerHTML(QStringLiteral("<span style='") + config.item(kEnglish).text()
                           + QStringLiteral("'>English subtitle style effect</span><br>英文字幕样式效果"));
    if (PageElement *message = element("Message"))
        message->setInnerHTML(QStringLiteral("<font size=2 color=yellow>更改英文样式值后，重新载入字幕生效！</font>"));
    m_main.showOut = 0;
}

void StyleCommands::OnSorting()
{
    MenuModel &menu = m_main.menu;
    const int position = menu.find(QStringLiteral("OnSorting"));
    menu.setChecked(position, !menu.at(position).checked);
    m_main.Config->setItem(kSorting, menu.at(position).checked);
    m_main.ShowSubtitles(m_main.showTime);
}

void StyleCommands::runChooser(const QString &name)
{
    const QString path = m_main.ScriptPath + name;
    if (TextCodec::fileExists(path)) {
        m_main.RunScript(m_main.textCodec().GetFileText(path), QStringLiteral("javascript"), true);
    } else {
        m_main.MessageBoxTimeout(m_main.platform().window->windowId(),
                                 QStringLiteral("找不到 ") + name + QStringLiteral(" 脚本！"),
                                 QStringLiteral("系统提示"), 32, 0, 2000);
    }
    m_main.showOut = 0;
}

void StyleCommands::OnFontFamily()
{
    runChooser(QStringLiteral("Font.js"));
}

void StyleCommands::OnSetColor()
{
    runChooser(QStringLiteral("Color.js"));
}

} // namespace sorvane
