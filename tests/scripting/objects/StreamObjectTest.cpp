#include "scripting/objects/ObjectFactory.h"
#include "scripting/objects/StreamObject.h"

#include "core/Dictionary.h"
#include "text/TextCodec.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace sorvane {
namespace {

class StreamObjectTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    TextCodec codec{[](const QString &) {}};
    std::shared_ptr<DispatchObject> stream = make();

    std::shared_ptr<DispatchObject> make()
    {
        ObjectContext context;
        context.codec = &codec;
        return createObject("adodb.stream", context)->objectValue();
    }
    QString path(const char *name) const { return dir.filePath(QString::fromUtf8(name)); }
    void write(const char *name, const QByteArray &bytes) const
    {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray read(const char *name) const
    {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    static Result<Variant> call(DispatchObject &o, const char *name, QVector<Variant> args = {})
    {
        return o.invoke(QString::fromUtf8(name), CallKind::Get, args, Variant());
    }
    Result<Variant> call(const char *name, QVector<Variant> args = {}) { return call(*stream, name, std::move(args)); }
    void set(const char *name, const Variant &value) { ASSERT_TRUE(stream->let(QString::fromUtf8(name), value).ok()) << name; }
    const QByteArray &bytes() const { return static_cast<StreamObject &>(*stream).bytes(); }
};

TEST_F(StreamObjectTest, StartsClosedAsUnicodeText)
{
    EXPECT_EQ(*call("Type"), Variant::fromLong(2));
    EXPECT_EQ(*call("Charset"), Variant("Unicode"));
    EXPECT_EQ(*call("State"), Variant::fromLong(0));
    EXPECT_EQ(*call("LineSeparator"), Variant::fromLong(-1));
    for (const char *member : {"Size", "Position", "EOS", "ReadText", "Close", "SetEOS", "Flush"})
        EXPECT_EQ(call(member).error().number, 3704) << member;
    EXPECT_EQ(call("LoadFromFile", {path("x")}).error().number, 3704);
    EXPECT_EQ(call("WriteText", {"x"}).error().number, 3704);
    EXPECT_EQ(call("close").error().description, "Operation is not allowed when the object is closed.");
}

TEST_F(StreamObjectTest, WritesEachCharsetWithItsMark)
{
    struct Case {
        const char *charset;
        QString text;
        QByteArray expected;
    };
    const Case cases[] = {
        {"Unicode", "Ab", QByteArray("\xFF\xFE" "A\0b\0", 6)},
        {"utf-16", "A", QByteArray("\xFF\xFE" "A\0", 4)},
        {"unicodeFFFE", "A", QByteArray("\xFE\xFF\0A", 4)},
        {"utf-8", QStringLiteral(u"中"), "\xEF\xBB\xBF\xE4\xB8\xAD"},
        {"UTF-8", "a", "\xEF\xBB\xBF" "a"},
        {"gb2312", QStringLiteral(u"中文"), "\xD6\xD0\xCE\xC4"},
        {"us-ascii", "plain", "plain"},
    };
    for (const Case &c : cases) {
        stream = make();
        set("Charset", c.charset);
        ASSERT_TRUE(call("Open").ok());
        ASSERT_TRUE(call("WriteText", {c.text}).ok()) << c.charset;
        EXPECT_EQ(bytes(), c.expected) << c.charset;
        EXPECT_EQ(*call("Size"), Variant::fromLong(int(c.expected.size()))) << c.charset;
        EXPECT_EQ(*call("EOS"), Variant(true));
        set("Position", 0);
        EXPECT_EQ(call("ReadText")->text(), c.text) << c.charset;
    }
}

TEST_F(StreamObjectTest, ReadsAFileAsTheCodecDoes)
{
    write("gbk.srt", "1\r\n\xD6\xD0\xCE\xC4\r\n");
    write("utf8.srt", "\xEF\xBB\xBF\xE4\xB8\xAD");
    struct Case {
        const char *file;
        const char *charset;
        QString text;
    };
    const Case cases[] = {
        {"gbk.srt", "GB2312", QStringLiteral(u"1\r\n中文\r\n")},
        {"utf8.srt", "utf-8", QStringLiteral(u"中")},
        {"utf8.srt", "UTF-8", QStringLiteral(u"中")},
    };
    for (const Case &c : cases) {
        stream = make();
        set("type", 2);
        set("mode", 3);
        set("charset", c.charset);
        ASSERT_TRUE(call("open").ok());
        ASSERT_TRUE(call("loadfromfile", {path(c.file)}).ok());
        EXPECT_EQ(call("readtext")->text(), c.text) << c.file;
        EXPECT_TRUE(call("close").ok());
    }
}

TEST_F(StreamObjectTest, ReadsCharactersAndLines)
{
    write("lines.txt", "\xEF\xBB\xBF" "one\r\n\xE4\xB8\xAD two\r\nlast");
    set("Charset", "utf-8");
    ASSERT_TRUE(call("Open").ok());
    ASSERT_TRUE(call("LoadFromFile", {path("lines.txt")}).ok());
    EXPECT_EQ(*call("ReadText", {2}), Variant("on"));
    EXPECT_EQ(*call("Position"), Variant::fromLong(5)); // the mark and two bytes
    EXPECT_EQ(*call("ReadText", {-2}), Variant("e"));
    EXPECT_EQ(*call("ReadText", {1}), Variant(QStringLiteral(u"中")));
    EXPECT_EQ(*call("Position"), Variant::fromLong(11));
    ASSERT_TRUE(call("SkipLine").ok());
    EXPECT_EQ(*call("ReadText", {-2}), Variant("last"));
    EXPECT_EQ(*call("EOS"), Variant(true));
    EXPECT_EQ(*call("ReadText"), Variant(""));

    set("Position", 0);
    set("LineSeparator", 10);
    EXPECT_EQ(*call("ReadText", {-2}), Variant("one\r"));
}

TEST_F(StreamObjectTest, WriteTextAddsTheLineSeparator)
{
    set("Charset", "us-ascii");
    ASSERT_TRUE(call("Open").ok());
    ASSERT_TRUE(call("WriteText", {"a", 1}).ok());
    set("LineSeparator", 13);
    ASSERT_TRUE(call("WriteText", {"b", 1}).ok());
    ASSERT_TRUE(call("WriteText", {"c"}).ok());
    EXPECT_EQ(bytes(), "a\r\nb\rc");
    // Writing inside the stream overwrites; SetEOS cuts the rest.
    set("Position", 1);
    ASSERT_TRUE(call("WriteText", {"XY"}).ok());
    EXPECT_EQ(bytes(), "aXYb\rc");
    ASSERT_TRUE(call("SetEOS").ok());
    EXPECT_EQ(bytes(), "aXY");
}

TEST_F(StreamObjectTest, BinaryReadAndWrite)
{
    write("bin", QByteArray("\x00\x7F\x80\xFF", 4));
    set("Type", 1);
    ASSERT_TRUE(call("Open").ok());
    ASSERT_TRUE(call("LoadFromFile", {path("bin")}).ok());
    Result<Variant> two = call("Read", {2});
    ASSERT_TRUE(two.ok());
    ASSERT_TRUE(two->isArray());
    EXPECT_EQ(two->arrayValue().items, (QVector<Variant>{Variant::fromInteger(0), Variant::fromInteger(0x7F)}));
    EXPECT_EQ(call("Read")->arrayValue().items.size(), 2);
    EXPECT_TRUE(call("Read")->isNull()); // nothing left

    ASSERT_TRUE(call("Write", {Variant::fromList({1, 2, 255})}).ok());
    ASSERT_TRUE(call("Write", {QString::fromLatin1("\xE9z")}).ok());
    EXPECT_EQ(bytes(), QByteArray("\x00\x7F\x80\xFF\x01\x02\xFF\xE9z", 9));
    for (const Variant &bad : {Variant::fromList({256}), Variant::fromList({"x"}), Variant(QStringLiteral(u"中")), Variant(5)})
        EXPECT_EQ(call("Write", {bad}).error().number, 3001);

    ASSERT_TRUE(call("SaveToFile", {path("copy"), 2}).ok());
    EXPECT_EQ(read("copy"), bytes());
}

TEST_F(StreamObjectTest, ErrorsOfThePlatform)
{
    write("exists.txt", "old");
    ASSERT_TRUE(call("Open").ok());
    struct Case {
        const char *member;
        QVector<Variant> args;
        int error;
    };
    const Case cases[] = {
        {"Open", {}, 3705},
        {"Open", {"file.txt"}, 3001},
        {"LoadFromFile", {path("missing.txt")}, 3002},
        {"LoadFromFile", {dir.path()}, 3002},
        {"SaveToFile", {path("exists.txt")}, 3004},
        {"SaveToFile", {path("exists.txt"), 1}, 3004},
        {"SaveToFile", {path("no/such.txt"), 2}, 3004},
        {"SaveToFile", {path("new.txt"), 3}, 3001},
        {"Read", {}, 3219},
        {"Write", {Variant::fromList({1})}, 3219},
        {"ReadText", {-3}, 3001},
        {"WriteText", {"x", 2}, 3001},
    };
    for (const Case &c : cases)
        EXPECT_EQ(call(c.member, c.args).error().number, c.error) << c.member;
    EXPECT_EQ(read("exists.txt"), "old");

    struct Let {
        const char *member;
        Variant value;
        int error;
    };
    const Let lets[] = {
        {"Mode", 3, 3705}, {"Type", 3, 3001}, {"LineSeparator", 0, 3001},
        {"Charset", "no-such-charset", 3001}, {"Position", -1, 3001}, {"Position", 1, 3001},
    };
    for (const Let &l : lets)
        EXPECT_EQ(stream->let(QString::fromUtf8(l.member), l.value).error().number, l.error) << l.member;
    EXPECT_EQ(*call("Charset"), Variant("Unicode"));

    ASSERT_TRUE(call("WriteText", {"x"}).ok());
    EXPECT_EQ(stream->let("Type", 1).error().number, 3219); // only at position 0
    ASSERT_TRUE(call("SaveToFile", {path("exists.txt"), 2}).ok());
    EXPECT_EQ(read("exists.txt"), QByteArray("\xFF\xFEx\0", 4));
}

TEST_F(StreamObjectTest, CannotBeCreatedWithoutTheCodec)
{
    EXPECT_EQ(createObject("ADODB.Stream", ObjectContext()).error().number, 429);
}

} // namespace
} // namespace sorvane
