#include "scripting/objects/FileSystemObject.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>

#include <sys/resource.h>

namespace sorvane {
namespace {

class FileSystemObjectTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::shared_ptr<FileSystemObject> fso = std::make_shared<FileSystemObject>(dir.path());

    QString path(const QString &name) const { return dir.filePath(name); }
    void write(const QString &name, const QByteArray &bytes) const
    {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray read(const QString &name) const
    {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    Result<Variant> call(DispatchObject &o, const char *name, QVector<Variant> args = {})
    {
        return o.invoke(QString::fromUtf8(name), CallKind::Get, args, Variant());
    }
    Result<Variant> call(const char *name, QVector<Variant> args = {}) { return call(*fso, name, std::move(args)); }
    int error(const char *name, QVector<Variant> args)
    {
        Result<Variant> r = call(name, std::move(args));
        return r ? 0 : r.error().number;
    }
};

TEST_F(FileSystemObjectTest, PathTextHelpers)
{
    struct Case {
        const char *member;
        QVector<Variant> args;
        const char *expected;
    };
    const Case cases[] = {
        {"GetParentFolderName", {"/a/b/c.txt"}, "/a/b"},
        {"getparentfoldername", {"/a/b/"}, "/a"},
        {"GetParentFolderName", {"/a"}, "/"},
        {"GetParentFolderName", {"/"}, ""},
        {"GetParentFolderName", {"c.txt"}, ""},
        {"GetParentFolderName", {"a//b"}, "a"},
        {"GETFILENAME", {"/a/b/c.txt"}, "c.txt"},
        {"GetFileName", {"/a/b/"}, "b"},
        {"GetFileName", {"/"}, ""},
        {"GetBaseName", {"/a/movie.en.srt"}, "movie.en"},
        {"GetBaseName", {"/a/README"}, "README"},
        {"GetExtensionName", {"/a/movie.en.SRT"}, "SRT"},
        {"GetExtensionName", {"/a.b/README"}, ""},
        {"GetExtensionName", {"name."}, ""},
        {"BuildPath", {"/a", "b.txt"}, "/a/b.txt"},
        {"BuildPath", {"/a/", "b.txt"}, "/a/b.txt"},
        {"BuildPath", {"/a/", "/b.txt"}, "/a/b.txt"},
        {"BuildPath", {"", "b.txt"}, "b.txt"},
        {"GetAbsolutePathName", {"/x/./y/../z/"}, "/x/z"},
    };
    for (const Case &c : cases) {
        Result<Variant> r = call(c.member, c.args);
        ASSERT_TRUE(r.ok()) << c.member;
        EXPECT_EQ(r->text(), QString::fromUtf8(c.expected)) << c.member << " " << c.args[0].text().toStdString();
    }
}

TEST_F(FileSystemObjectTest, RelativePathsStartAtTheCurrentFolder)
{
    EXPECT_EQ(call("GetAbsolutePathName", {"sub/../x.txt"})->text(), path("x.txt"));
    write("x.txt", "1");
    EXPECT_EQ(*call("FileExists", {"x.txt"}), Variant(true));
}

TEST_F(FileSystemObjectTest, ExistenceCountsHiddenFilesButNotFolders)
{
    write(".hidden", "x");
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
    struct Case {
        const char *member;
        QString path;
        bool expected;
    };
    const Case cases[] = {
        {"FileExists", path(".hidden"), true},   {"FileExists", path("folder"), false},
        {"FileExists", path("none"), false},     {"FileExists", "", false},
        {"FolderExists", path("folder"), true},  {"FolderExists", path(".hidden"), false},
        {"folderexists", path("none"), false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(*call(c.member, {c.path}), Variant(c.expected)) << c.member << " " << c.path.toStdString();
}

TEST_F(FileSystemObjectTest, ErrorsOfThePlatform)
{
    write("a.txt", "a");
    write("b.txt", "b");
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
    struct Case {
        const char *member;
        QVector<Variant> args;
        int error;
    };
    const Case cases[] = {
        {"OpenTextFile", {path("none.txt")}, 53},
        {"OpenTextFile", {path("no/such.txt"), 2, true}, 76},
        {"OpenTextFile", {path("a.txt"), 3}, 5},
        {"OpenTextFile", {path("a.txt"), 1, false, 7}, 5},
        {"OpenTextFile", {path("folder")}, 70},
        {"CreateTextFile", {path("a.txt"), false}, 58},
        {"CreateTextFile", {path("no/such.txt")}, 76},
        {"CreateFolder", {path("folder")}, 58},
        {"CreateFolder", {path("a.txt")}, 58},
        {"CreateFolder", {path("no/such")}, 76},
        {"DeleteFile", {path("none.txt")}, 53},
        {"DeleteFile", {path("*.none")}, 53},
        {"DeleteFile", {path("no/*.txt")}, 76},
        {"CopyFile", {path("none.txt"), path("c.txt")}, 53},
        {"CopyFile", {path("a.txt"), path("b.txt"), false}, 58},
        {"CopyFile", {path("a.txt"), path("folder")}, 70},
        {"CopyFile", {path("a.txt"), path("a.txt")}, 70},
        {"CopyFile", {path("a.txt"), path("no/c.txt")}, 76},
        {"CopyFile", {path("*.txt"), path("nofolder")}, 76},
        {"MoveFile", {path("a.txt"), path("b.txt")}, 58},
        {"MoveFile", {path("none.txt"), path("c.txt")}, 53},
        {"GetFile", {path("none.txt")}, 53},
        {"GetFile", {path("folder")}, 53},
        {"GetFolder", {path("a.txt")}, 76},
        {"GetFolder", {path("none")}, 76},
        {"NoSuchMember", {}, 438},
    };
    for (const Case &c : cases)
        EXPECT_EQ(error(c.member, c.args), c.error) << c.member << " " << c.args.value(0).text().toStdString();
    // Nothing was changed by the failures.
    EXPECT_EQ(read("a.txt"), "a");
    EXPECT_EQ(read("b.txt"), "b");
}

TEST_F(FileSystemObjectTest, CopyMoveAndDelete)
{
    write("a.txt", "alpha");
    write("b.txt", "beta");
    write("c.srt", "cue");
    ASSERT_TRUE(QDir(dir.path()).mkdir("out"));

    ASSERT_TRUE(call("CopyFile", {path("a.txt"), path("b.txt")}).ok()); // overwrites by default
    EXPECT_EQ(read("b.txt"), "alpha");
    ASSERT_TRUE(call("copyfile", {path("*.txt"), path("out")}).ok());
    EXPECT_EQ(read("out/a.txt"), "alpha");
    EXPECT_EQ(read("out/b.txt"), "alpha");
    EXPECT_FALSE(QFile::exists(path("out/c.srt")));
    ASSERT_TRUE(call("CopyFile", {path("c.srt"), path("out/")}).ok());
    EXPECT_EQ(read("out/c.srt"), "cue");

    ASSERT_TRUE(call("MoveFile", {path("c.srt"), path("d.srt")}).ok());
    EXPECT_FALSE(QFile::exists(path("c.srt")));
    EXPECT_EQ(read("d.srt"), "cue");

    ASSERT_TRUE(call("DeleteFile", {path("out/*.*")}).ok());
    EXPECT_TRUE(QDir(path("out")).isEmpty());
}

TEST_F(FileSystemObjectTest, ReadOnlyFilesNeedForce)
{
    write("ro.txt", "x");
    write("target.txt", "keep");
    QFile::setPermissions(path("ro.txt"), QFileDevice::ReadOwner);
    QFile::setPermissions(path("target.txt"), QFileDevice::ReadOwner);
    EXPECT_EQ(error("DeleteFile", {path("ro.txt")}), 70);
    EXPECT_TRUE(QFile::exists(path("ro.txt")));
    EXPECT_EQ(error("CopyFile", {path("ro.txt"), path("target.txt")}), 70);
    EXPECT_EQ(read("target.txt"), "keep");
    EXPECT_TRUE(call("DeleteFile", {path("ro.txt"), true}).ok());
    EXPECT_FALSE(QFile::exists(path("ro.txt")));
}

TEST_F(FileSystemObjectTest, FileAndFolderObjects)
{
    ASSERT_TRUE(call("CreateFolder", {path("subs")}).ok());
    write("subs/b.srt", "12345");
    write("subs/A.srt", "1");
    write("subs/.hidden", "12");
    ASSERT_TRUE(QDir(path("subs")).mkdir("inner"));
    write("subs/inner/x", "123");

    Result<Variant> file = call("GetFile", {path("subs/b.srt")});
    ASSERT_TRUE(file.ok());
    DispatchObject &f = *file->objectValue();
    EXPECT_EQ(f.typeName(), "File");
    EXPECT_EQ(call(f, "Path")->text(), path("subs/b.srt"));
    EXPECT_EQ(call(f, "")->text(), path("subs/b.srt")); // Path is the default
    EXPECT_EQ(call(f, "name")->text(), "b.srt");
    EXPECT_EQ(*call(f, "SIZE"), Variant::fromLong(5));
    EXPECT_EQ(call(f, "ParentFolder")->objectValue()->get("Path")->text(), path("subs"));
    Result<Variant> modified = call(f, "DateLastModified");
    ASSERT_TRUE(modified.ok());
    EXPECT_EQ(modified->kind(), Variant::Kind::Date);
    const double serial = QDate(1899, 12, 30).daysTo(QFileInfo(path("subs/b.srt")).lastModified().date());
    EXPECT_GE(modified->dateValue(), serial);
    EXPECT_LT(modified->dateValue(), serial + 1);

    ASSERT_TRUE(f.let("Name", "c.srt").ok());
    EXPECT_EQ(read("subs/c.srt"), "12345");
    EXPECT_EQ(call(f, "Path")->text(), path("subs/c.srt"));
    EXPECT_EQ(f.let("Name", "A.srt").error().number, 58);

    Result<Variant> folder = call("GetFolder", {path("subs")});
    ASSERT_TRUE(folder.ok());
    DispatchObject &d = *folder->objectValue();
    EXPECT_EQ(*call(d, "Size"), Variant::fromLong(11)); // every file below, hidden ones too
    EXPECT_EQ(*call(d, "IsRootFolder"), Variant(false));

    Result<Variant> files = call(d, "Files");
    ASSERT_TRUE(files.ok());
    DispatchObject &fc = *files->objectValue();
    EXPECT_EQ(*call(fc, "Count"), Variant::fromLong(3));
    Result<QVector<Variant>> each = fc.elements();
    ASSERT_TRUE(each.ok());
    QStringList names;
    for (const Variant &v : *each)
        names << v.objectValue()->get("Name")->text();
    EXPECT_EQ(names, (QStringList{".hidden", "A.srt", "c.srt"}));
    EXPECT_EQ(call(fc, "", {"A.srt"})->objectValue()->get("Size")->text(), "1");
    EXPECT_EQ(call(fc, "Item", {"none"}).error().number, 53);

    const std::shared_ptr<DispatchObject> subFolders = call(d, "SubFolders")->objectValue();
    DispatchObject &sc = *subFolders;
    EXPECT_EQ(*call(sc, "Count"), Variant::fromLong(1));
    EXPECT_EQ(sc.elements()->at(0).objectValue()->get("Name")->text(), "inner");
    EXPECT_EQ(call(sc, "Item", {"none"}).error().number, 76);

    EXPECT_TRUE(call(*call("GetFolder", {"/"})->objectValue(), "ParentFolder")->isNothing());
}

TEST_F(FileSystemObjectTest, FileOpensAsTextStream)
{
    write("t.txt", "one\r\ntwo");
    Result<Variant> got = call("GetFile", {path("t.txt")});
    ASSERT_TRUE(got.ok()) << got.error().number;
    const std::shared_ptr<DispatchObject> file = call("GetFile", {path("t.txt")})->objectValue();
    DispatchObject &f = *file;
    std::shared_ptr<DispatchObject> ts = call(f, "OpenAsTextStream", {2})->objectValue();
    ASSERT_TRUE(call(*ts, "Write", {"new"}).ok());
    ASSERT_TRUE(call(*ts, "Close").ok());
    EXPECT_EQ(read("t.txt"), "new");
    ASSERT_TRUE(call(f, "Delete").ok());
    EXPECT_FALSE(QFile::exists(path("t.txt")));
    EXPECT_EQ(call(f, "Size").error().number, 53);
}

// A disk that fills midway takes part of a write and reports no reason for
// it; the script still gets the platform's error and text. The file-size
// limit stands in for the full disk: past it a write fails the same way.
TEST_F(FileSystemObjectTest, AWriteThatDoesNotFitGivesDiskFull)
{
    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    Result<Variant> stream = call("OpenTextFile", {path("full.txt"), 2, true});
    ASSERT_TRUE(stream.ok());
    DispatchObject &text = *stream->objectValue();
    struct rlimit small = old;
    small.rlim_cur = 40000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    Result<Variant> written = call(text, "Write", {QString(30000, QLatin1Char('x'))});
    if (written)
        written = call(text, "Write", {QString(30000, QLatin1Char('y'))});
    Result<Variant> closed = call(text, "Close");
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldSignal);
    ASSERT_FALSE(written.ok() && closed.ok());
    const ScriptError error = !written ? written.error() : closed.error();
    EXPECT_EQ(error.number, 61);
    EXPECT_EQ(error.description, QStringLiteral("Disk full"));
}

} // namespace
} // namespace sorvane
