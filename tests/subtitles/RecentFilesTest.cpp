#include "subtitles/RecentFiles.h"

#include "platform/RegistryStore.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace sorvane {
namespace {

struct OpenCase {
    const char *name;
    QStringList opened; // in the order opened
    QStringList listed; // newest first
};

class RecentFilesOrder : public ::testing::TestWithParam<OpenCase> {};

TEST_P(RecentFilesOrder, NewestFirstEachOnceAtMostTen)
{
    QTemporaryDir dir;
    RegistryStore store(dir.filePath(QStringLiteral("registry.json")));
    RecentFiles recent(&store);
    for (const QString &path : GetParam().opened)
        EXPECT_EQ(recent.add(path), !path.isEmpty()) << path.toStdString();
    EXPECT_EQ(recent.files(), GetParam().listed);
    // Another instance of the program sees the same list.
    RegistryStore other(dir.filePath(QStringLiteral("registry.json")));
    EXPECT_EQ(RecentFiles(&other).files(), GetParam().listed);
}

QStringList numbered(int from, int to)
{
    QStringList out;
    for (int i = from; from <= to ? i <= to : i >= to; i += from <= to ? 1 : -1)
        out << QStringLiteral("/films/%1.srt").arg(i);
    return out;
}

INSTANTIATE_TEST_SUITE_P(
    Opens, RecentFilesOrder,
    ::testing::Values(OpenCase{"None", {}, {}},
                      OpenCase{"Two", {"/a.srt", "/b.ass"}, {"/b.ass", "/a.srt"}},
                      OpenCase{"ReopenedMovesFirst", {"/a.srt", "/b.ass", "/a.srt"}, {"/a.srt", "/b.ass"}},
                      OpenCase{"EmptyPathIsNotKept", {"/a.srt", ""}, {"/a.srt"}},
                      OpenCase{"OldestGoes", numbered(1, 12), numbered(12, 3)},
                      OpenCase{"NamesOfAnyText", {"/影片/第一集.srt", "/a\nb.srt"}, {"/a\nb.srt", "/影片/第一集.srt"}}),
    [](const ::testing::TestParamInfo<OpenCase> &info) { return std::string(info.param.name); });

TEST(RecentFiles, ADamagedStoreGivesAnEmptyListAndIsLeftAlone)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("registry.json"));
    const QByteArray damaged("{\"keys\": [ this is no store");
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(damaged);
    }
    RegistryStore store(file);
    RecentFiles recent(&store);
    EXPECT_EQ(recent.files(), QStringList());
    EXPECT_FALSE(recent.add(QStringLiteral("/a.srt")));
    EXPECT_EQ(recent.files(), QStringList());
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), damaged);
}

TEST(RecentFiles, AValueOfAnotherKindIsAnEmptyList)
{
    RegistryStore store{QString()};
    ASSERT_TRUE(store.write(QStringLiteral("HKCU\\Software\\Sorvane\\RecentFiles"), Variant::fromLong(3),
                            QStringLiteral("REG_DWORD")).ok());
    RecentFiles recent(&store);
    EXPECT_EQ(recent.files(), QStringList());
    EXPECT_TRUE(recent.add(QStringLiteral("/a.srt")));
    EXPECT_EQ(recent.files(), QStringList{QStringLiteral("/a.srt")});
    EXPECT_EQ(RecentFiles(nullptr).files(), QStringList());
}

} // namespace
} // namespace sorvane
