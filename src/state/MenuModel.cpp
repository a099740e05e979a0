#include "state/MenuModel.h"

#include <iterator>

namespace sorvane {
namespace {

struct Row {
    const char *parent; // name of the heading; nullptr on the menu bar
    const char *name;
    int index;
    const char *caption;
    bool checked;
    bool enabled;
    bool visible;
};

// The designed menu bar, in order. The blank spacer cannot be chosen;
// "Enabled" is kept from the user and only scripts make it available.
constexpr Row kDesign[] = {
    {nullptr, "OnPlayer", -1, " 开始 ", false, true, true},
    {nullptr, "showTimer", -1, "00:00:00,000", false, true, true},
    {"showTimer", "OnSetTime", -1, "调整时间", false, true, true},
    {"showTimer", "OnMsKeys", 0, "慢放-", false, true, true},
    {"showTimer", "OnMsKeys", 1, "原速", false, true, true},
    {"showTimer", "OnMsKeys", 2, "慢放+", false, true, true},
    {nullptr, "OnSetTimeA", -1, "秒-", false, true, true},
    {nullptr, "OnSetTimeB", -1, "秒+", false, true, true},
    {nullptr, "OnFontSizeA", -1, "字-", false, true, true},
    {nullptr, "OnFontSizeB", -1, "字+", false, true, true},
    {nullptr, "OnFontFamily", -1, "字体", false, true, true},
    {nullptr, "OnSetColor", -1, "颜色", false, true, true},
    {nullptr, "dsffsdfdsfsd", -1, " ", false, false, true},
    {nullptr, "OnMenu", -1, "程序设置", false, true, true},
    {"OnMenu", "EvalScript", -1, "执行脚本", false, true, true},
    {"EvalScript", "OnSystem", -1, "System (*.js;*.vbs)", false, true, true},
    {"EvalScript", "OnScript", 0, "Script.js", false, true, true},
    {"EvalScript", "OnScript", 1, "Script.vbs", false, true, true},
    {"EvalScript", "OnScript", 2, "Color.js", false, true, true},
    {"EvalScript", "OnScript", 3, "Font.js", false, true, true},
    {"OnMenu", "dsfdfbdfgfd", -1, "-", false, true, true},
    {"OnMenu", "OnShadow", -1, "字体发光", false, true, true},
    {"OnMenu", "OnFontWeight", -1, "字体粗细", false, true, true},
    {"OnFontWeight", "OnWeight", 0, "lighter", false, true, true},
    {"OnFontWeight", "OnWeight", 1, "normal", false, true, true},
    {"OnFontWeight", "OnWeight", 2, "bold", false, true, true},
    {"OnFontWeight", "OnWeight", 3, "bolder", false, true, true},
    {"OnMenu", "OnSrting", -1, "字幕设置", false, true, true},
    {"OnSrting", "OnGetSrt", -1, "重新载入", false, true, true},
    {"OnSrting", "dasjhfgjfd", -1, "-", false, true, true},
    {"OnSrting", "OnSorting", -1, "双语顺序", false, true, true},
    {"OnSrting", "fdgdfgfdf", -1, "-", false, true, true},
    {"OnSrting", "OnEnglish", -1, "英语样式", false, true, true},
    {"OnSrting", "dsfgfdfgsafew", -1, "-", false, true, true},
    {"OnSrting", "OnSrtSave", -1, "格式转换", false, true, true},
    {"OnMenu", "dfgdfgdf", -1, "编辑脚本", false, true, true},
    {"dfgdfgdf", "OpenScript", 0, "Script.js", false, true, true},
    {"dfgdfgdf", "OpenScript", 1, "Script.vbs", false, true, true},
    {"dfgdfgdf", "OpenScript", 2, "Color.js", false, true, true},
    {"dfgdfgdf", "OpenScript", 3, "Font.js", false, true, true},
    {"dfgdfgdf", "OpenScript", 4, "System.vbs", false, true, true},
    {"dfgdfgdf", "OpenScript", 5, "System.js", false, true, true},
    {"OnMenu", "dsfsdafsda32fasd3", -1, "-", false, true, true},
    {"OnMenu", "OnTitle", -1, "隐藏窗口", false, true, true},
    {"OnMenu", "OnTransparent", -1, "透明背景", false, true, true},
    {"OnMenu", "OnEnabled", -1, "Enabled", true, true, false},
    {"OnMenu", "OnTop", -1, "总在最前", false, true, true},
    {"OnMenu", "dsfd2s313fds1", -1, "-", false, true, true},
    {"OnMenu", "OnInfo", -1, "程序作者", false, true, true},
};

} // namespace

MenuModel MenuModel::design()
{
    MenuModel model;
    for (const Row &row : kDesign) {
        MenuItem item;
        item.name = QString::fromUtf8(row.name);
        item.index = row.index;
        item.caption = QString::fromUtf8(row.caption);
        item.checked = row.checked;
        item.enabled = row.enabled;
        item.visible = row.visible;
        item.parent = row.parent ? model.find(QString::fromUtf8(row.parent)) : -1;
        model.m_items.append(item);
    }
    return model;
}

int MenuModel::find(const QString &name, int index) const
{
    for (int i = 0; i < m_items.size(); ++i)
        if (m_items[i].index == index && m_items[i].name == name)
            return i;
    return -1;
}

QVector<int> MenuModel::children(int parent) const
{
    QVector<int> result;
    for (int i = 0; i < m_items.size(); ++i)
        if (m_items[i].parent == parent)
            result.append(i);
    return result;
}

QVector<int> MenuModel::group(const QString &name) const
{
    QVector<int> result;
    for (int i = 0; i < m_items.size(); ++i)
        if (m_items[i].index >= 0 && m_items[i].name == name)
            result.append(i);
    return result;
}

bool MenuModel::hasChildren(int position) const
{
    for (const MenuItem &item : m_items)
        if (item.parent == position)
            return true;
    return false;
}

void MenuModel::setCaption(int position, const QString &caption)
{
    m_items[position].caption = caption;
    changed(position);
}

void MenuModel::setChecked(int position, bool checked)
{
    m_items[position].checked = checked;
    changed(position);
}

void MenuModel::setEnabled(int position, bool enabled)
{
    m_items[position].enabled = enabled;
    changed(position);
}

void MenuModel::setVisible(int position, bool visible)
{
    m_items[position].visible = visible;
    changed(position);
}

void MenuModel::changed(int position)
{
    if (m_listener)
        m_listener(position);
}

} // namespace sorvane
