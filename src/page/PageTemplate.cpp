#include "page/PageTemplate.h"

namespace sorvane {
namespace {

// The pieces are used character for character: the missing space before
// id='code' and the mixed case of the property names are part of the page.
const char16_t kHead[] =
    u"<html><head><meta http-equiv='Content-Type' content='text/html; charset=gb2312'>"
    u"<title>Internet Explorer_Server</title><style>"
    u"body{background-color:#010101;color:white;margin:0px;padding:0px;border-Width:0px;text-align:center;}"
    u"body{overflow:hidden;overflow-X:hidden;overflow-Y:hidden;}"
    u".subtitles{font:normal normal bold 24px/normal Arial,'Microsoft Yahei','微软雅黑';color:";

const char16_t kBody[] =
    u";}</style></head><body><div align='center'>"
    u"<table border='0' cellpadding='0' cellspacing='0' width='100%' height='100%'>"
    u"<tr><td id='TdBox' align='center'><div class='subtitles'id='code' name='code'></div></td></tr>"
    u"</table></div>";

const char16_t kTimeBox[] =
    u"<Label id='TimeBox' style='position:absolute;padding:0px 5px;z-index:100;bottom:15px;left:20px;"
    u"font-size:12px;font-Family:Arial;background-Color:black;color:lime;font-Weight:bold;"
    u"text-align:center;'>00:00:00 / 00:00:00</Label>";

const char16_t kMessage[] =
    u"<Label id='Message' style='position:absolute;z-index:1;bottom:10px;width:80%;left:10%;"
    u"font-size:12px;font-family:Arial;color:lime;font-Weight:bold;text-align:center;'></Label>";

const char16_t kClick[] =
    u"<Label id='click' style='position:absolute;z-index:100;bottom:10px;right:10px;"
    u"font-size:14px;font-family:Simsun;color:lime;font-Weight:bold;display:inline-block;"
    u"text-align:center;'>●</Label>";

const char16_t kClose[] = u"</body></html>";

} // namespace

QString pageText(const QString &color)
{
    QString text;
    text += QString::fromUtf16(kHead);
    text += color;
    text += QString::fromUtf16(kBody);
    text += QString::fromUtf16(kTimeBox);
    text += QString::fromUtf16(kMessage);
    text += QString::fromUtf16(kClick);
    text += QString::fromUtf16(kClose);
    return text;
}

} // namespace sorvane
