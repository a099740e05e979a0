#include "scripting/objects/FileSystemObject.h"
#include "scripting/objects/TextStreamObject.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace sorvane {
namespace {

class TextStreamTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::shared_ptr<FileSystemObject> fso = std::make_shared<FileSystemObject>(dir.path());

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
    std::shared_ptr<DispatchObject> open(QVector<Variant> args)
    {
        Result<Variant> r = call(*fso, "OpenTextFile", std::move(args));
        EXPECT_TRUE(r.ok()) << (r ? "" : r.error().description.toStdString());
        return r ? r->objectValue() : nullptr;
    }
    std::shared_ptr<DispatchObject> create(QVector<Variant> args)
    {
        Result<Variant> r = call(*fso, "CreateTextFile", std::move(args));
        EXPECT_TRUE(r.ok());
        return r ? r->objectValue() : nullptr;
    }
};

TEST_F(TextStreamTest, ReadsLinesWithLineAndColumn)
{
    write("t.txt", "first\r\nsecond\nthird\rstill third");
    auto ts = open({path("t.txt")});
    EXPECT_EQ(*call(*ts, "Line"), Variant::fromLong(1));
    EXPECT_EQ(*call(*ts, "readline"), Variant("first"));
    EXPECT_EQ(*call(*ts, "Line"), Variant::fromLong(2));
    EXPECT_EQ(*call(*ts, "Read", {3}), Variant("sec"));
    EXPECT_EQ(*call(*ts, "Column"), Variant::fromLong(4));
    EXPECT_EQ(*call(*ts, "AtEndOfLine"), Variant(false));
    EXPECT_EQ(*call(*ts, "Read", {3}), Variant("ond"));
    EXPECT_EQ(*call(*ts, "AtEndOfLine"), Variant(true));
    ASSERT_TRUE(call(*ts, "SkipLine").ok());
    EXPECT_EQ(*call(*ts, "ReadLine"), Variant("third\rstill third"));
    EXPECT_EQ(*call(*ts, "AtEndOfStream"), Variant(true));
    EXPECT_EQ(*call(*ts, "AtEndOfLine"), Variant(true));
    EXPECT_EQ(*call(*ts, "Line"), Variant::fromLong(3));
    struct Case {
        const char *member;
        QVector<Variant> args;
    };
    for (const Case &c : {Case{"ReadLine", {}}, Case{"ReadAll", {}}, Case{"Read", {1}}, Case{"SkipLine", {}}})
        EXPECT_EQ(call(*ts, c.member, c.args).error().number, 62) << c.member;
}

TEST_F(TextStreamTest, DecodesTheSystemCodePageWithFallback)
{
    struct Case {
        const char *name;
        QByteArray bytes;
        QString text;
    };
    const Case cases[] = {
        {"utf8.txt", "\xE4\xB8\xAD\xE6\x96\x87", QStringLiteral(u"中文")},
        {"mark.txt", "\xEF\xBB\xBFok", QStringLiteral("ok")},
        {"gbk.txt", "\xD6\xD0\xCE\xC4", QStringLiteral(u"中文")},
    };
    for (const Case &c : cases) {
        write(c.name, c.bytes);
        EXPECT_EQ(call(*open({path(c.name)}), "ReadAll")->text(), c.text) << c.name;
    }
    write("u16.txt", QByteArray("\xFF\xFE\x2D\x4E\x41\x00", 6));
    EXPECT_EQ(call(*open({path("u16.txt"), 1, false, -1}), "ReadAll")->text(), QStringLiteral(u"中A"));
}

TEST_F(TextStreamTest, EmptyFileHasNothingToRead)
{
    write("empty.txt", "");
    auto ts = open({path("empty.txt")});
    EXPECT_EQ(*call(*ts, "AtEndOfStream"), Variant(true));
    EXPECT_EQ(call(*ts, "ReadAll").error().number, 62);
}

TEST_F(TextStreamTest, WritesInEachModeAndFormat)
{
    auto ts = create({path("w.txt")});
    ASSERT_TRUE(call(*ts, "Write", {QStringLiteral(u"中")}).ok());
    ASSERT_TRUE(call(*ts, "WriteLine", {"a"}).ok());
    ASSERT_TRUE(call(*ts, "WriteLine").ok());
    ASSERT_TRUE(call(*ts, "WriteBlankLines", {2}).ok());
    ASSERT_TRUE(call(*ts, "Write", {42}).ok());
    EXPECT_EQ(*call(*ts, "Line"), Variant::fromLong(5));
    EXPECT_EQ(*call(*ts, "Column"), Variant::fromLong(3));
    ASSERT_TRUE(call(*ts, "close").ok());
    EXPECT_EQ(read("w.txt"), "\xE4\xB8\xAD" "a\r\n\r\n\r\n\r\n42");

    ts = open({path("w.txt"), 8});
    ASSERT_TRUE(call(*ts, "Write", {"+"}).ok());
    ts.reset(); // releasing the stream flushes it
    EXPECT_TRUE(read("w.txt").endsWith("42+"));

    ts = open({path("w.txt"), 2});
    ASSERT_TRUE(call(*ts, "Write", {"new"}).ok());
    ts.reset();
    EXPECT_EQ(read("w.txt"), "new");

    ts = create({path("u.txt"), true, true});
    ASSERT_TRUE(call(*ts, "Write", {"A"}).ok());
    ts.reset();
    ts = open({path("u.txt"), 8, false, -1});
    ASSERT_TRUE(call(*ts, "Write", {"B"}).ok());
    ts.reset();
    EXPECT_EQ(read("u.txt"), QByteArray("\xFF\xFE" "A\0B\0", 6));

    ts = open({path("new.txt"), 2, true});
    ts.reset();
    EXPECT_EQ(read("new.txt"), "");
    ts = open({path("created-for-reading.txt"), 1, true});
    EXPECT_EQ(*call(*ts, "AtEndOfStream"), Variant(true));
    EXPECT_TRUE(QFile::exists(path("created-for-reading.txt")));
}

TEST_F(TextStreamTest, WrongModeAndClosedStream)
{
    write("t.txt", "x");
    auto reading = open({path("t.txt")});
    auto writing = open({path("w.txt"), 2, true});
    struct Case {
        DispatchObject *stream;
        const char *member;
        QVector<Variant> args;
        int error;
    };
    const Case cases[] = {
        {reading.get(), "Write", {"x"}, 54},       {reading.get(), "WriteLine", {}, 54},
        {reading.get(), "WriteBlankLines", {1}, 54}, {writing.get(), "ReadAll", {}, 54},
        {writing.get(), "ReadLine", {}, 54},       {writing.get(), "AtEndOfStream", {}, 54},
        {reading.get(), "Read", {-1}, 5},          {writing.get(), "WriteBlankLines", {-1}, 5},
    };
    for (const Case &c : cases)
        EXPECT_EQ(call(*c.stream, c.member, c.args).error().number, c.error) << c.member;

    ASSERT_TRUE(call(*reading, "Close").ok());
    EXPECT_TRUE(call(*reading, "Close").ok());
    EXPECT_EQ(call(*reading, "ReadAll").error().number, 52);
    EXPECT_EQ(call(*reading, "Line").error().number, 52);
}

TEST_F(TextStreamTest, CreateTextFileKeepsAnExistingFileWhenNotToOverwrite)
{
    write("keep.txt", "old");
    EXPECT_EQ(call(*fso, "CreateTextFile", {path("keep.txt"), false}).error().number, 58);
    EXPECT_EQ(read("keep.txt"), "old");
    auto ts = create({path("keep.txt")});
    ts.reset();
    EXPECT_EQ(read("keep.txt"), "");
}

} // namespace
} // namespace sorvane
