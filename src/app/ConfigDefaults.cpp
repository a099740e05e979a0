#include "app/ConfigDefaults.h"

#include "core/Dictionary.h"

#include <iterator>

namespace sorvane {
namespace {

using Default = Variant (*)(const ConfigContext &);

struct Setting {
    const char *key;
    Default value;
};

// The settings in the order they are added; each default keeps its kind
// (text, 16-bit integer, single, Boolean), which readers and scripts see.
constexpr Setting kSettings[] = {
    {"Caption", [](const ConfigContext &) { return Variant("Sorvane"); }},
    {"Path", [](const ConfigContext &c) { return Variant(c.folder); }},
    {"MsgOut", [](const ConfigContext &) { return Variant::fromInteger(5); }},
    // The screen in twips divided by 15 twips a pixel: the size in pixels.
    {"Width", [](const ConfigContext &c) { return Variant::fromSingle(float(c.screen.width * 15) / 15.0f); }},
    {"Height", [](const ConfigContext &c) { return Variant::fromSingle(float(c.screen.height * 15) / 15.0f); }},
    {"Color", [](const ConfigContext &) { return Variant("cyan"); }},
    {"FontSize", [](const ConfigContext &) { return Variant::fromInteger(24); }},
    {"Pixel", [](const ConfigContext &) { return Variant::fromInteger(10); }},
    {"FontFamily", [](const ConfigContext &) { return Variant(u"Microsoft Yahei,微软雅黑"); }},
    {"Weight", [](const ConfigContext &) { return Variant("normal"); }},
    {"Shadow", [](const ConfigContext &) { return Variant(false); }},
    {"Sorting", [](const ConfigContext &) { return Variant(false); }},
    {"English",
     [](const ConfigContext &) {
         return Variant("font-family:Microsoft Yahei;font-Weight:bold;font-size:18px;line-height:24px;");
     }},
    {"FileName", [](const ConfigContext &) { return Variant(QString()); }},
    {"Script", [](const ConfigContext &c) { return Variant(c.scriptPath + QStringLiteral("subtitles.js")); }},
    {"Sample", [](const ConfigContext &) { return Variant(QString()); }},
    {"Format", [](const ConfigContext &) { return Variant(QString()); }},
    {"stopText", [](const ConfigContext &) { return Variant(QString()); }},
    {"CharSet", [](const ConfigContext &) { return Variant(QString()); }},
    {"Parent", [](const ConfigContext &) { return Variant(QString()); }},
    {"File", [](const ConfigContext &) { return Variant(QString()); }},
    {"Base", [](const ConfigContext &) { return Variant(QString()); }},
    {"Extension", [](const ConfigContext &) { return Variant(QString()); }},
    {"Index", [](const ConfigContext &) { return Variant::fromInteger(0); }},
    {"Temp", [](const ConfigContext &) { return Variant(QString()); }},
};
static_assert(std::size(kSettings) == 25);

} // namespace

void addConfigDefaults(Dictionary &config, const ConfigContext &context)
{
    for (const Setting &s : kSettings)
        config.add(QString::fromUtf8(s.key), s.value(context));
}

} // namespace sorvane
