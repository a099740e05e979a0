#include "page/PageTemplate.h"

#include <gtest/gtest.h>

namespace sorvane {
namespace {

const QString kStart = u"<html><head><meta http-equiv='Content-Type' content='text/html; charset=gb2312'>"
                       u"<title>Internet Explorer_Server</title><style>body{background-color:#010101;"_qs;
const QString kColorBefore = u".subtitles{font:normal normal bold 24px/normal Arial,'Microsoft Yahei','微软雅黑';color:"_qs;
const QString kColorAfter = u";}</style></head><body><div align='center'>"_qs;
const QString kEnd = u"<Label id='click' style='position:absolute;z-index:100;bottom:10px;right:10px;"
                     u"font-size:14px;font-family:Simsun;color:lime;font-Weight:bold;display:inline-block;"
                     u"text-align:center;'>●</Label></body></html>"_qs;

TEST(PageTemplate, StartsAndEndsWithTheFixedPieces)
{
    const QString page = pageText(u"cyan"_qs);
    EXPECT_TRUE(page.startsWith(kStart));
    EXPECT_TRUE(page.endsWith(kEnd));
    EXPECT_TRUE(page.contains(u"<div class='subtitles'id='code' name='code'></div></td></tr></table></div>"
                              u"<Label id='TimeBox' style='position:absolute;padding:0px 5px;"_qs));
    EXPECT_TRUE(page.contains(u"background-Color:black;color:lime;font-Weight:bold;text-align:center;'>"
                              u"00:00:00 / 00:00:00</Label><Label id='Message'"_qs));
    EXPECT_TRUE(page.contains(u"width:80%;left:10%;font-size:12px;font-family:Arial;color:lime;"
                              u"font-Weight:bold;text-align:center;'></Label><Label id='click'"_qs));
}

TEST(PageTemplate, ColourIsSplicedUnchanged)
{
    const struct {
        QString color;
    } cases[] = {{u"cyan"_qs}, {u"#FF00ff"_qs}, {u"red;font-size:40px"_qs}, {u"a}b<'&"_qs}, {QString()}};
    for (const auto &c : cases) {
        const QString page = pageText(c.color);
        EXPECT_TRUE(page.contains(kColorBefore + c.color + kColorAfter)) << c.color.toStdString();
        EXPECT_EQ(page.size(), pageText(QString()).size() + c.color.size());
    }
}

} // namespace
} // namespace sorvane
