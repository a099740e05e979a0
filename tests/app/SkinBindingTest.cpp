#include "app/Main.h"
#include "app/SkinBinding.h"
#include "platform/fake/FakePlatform.h"

#include <QFile>
#include <QLibrary>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace sorvane;

namespace {

// A program folder of its own per test, so that each test loads a fresh
// copy of the recording library.
class SkinBindingTest : public testing::Test {
public:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        fake.programFile = dir.filePath(u"sorvane"_qs);
    }

    void put(const char *library) { ASSERT_TRUE(QFile::copy(QString::fromUtf8(library), skinPath())); }
    void putSkinFile() { write(dir.filePath(u"royale.she"_qs), "skin"); }
    static void write(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QString skinPath() const { return dir.filePath(u"skin.dll"_qs); }

    void start()
    {
        main = std::make_unique<Main>(fake.services());
        main->initialise();
    }

    // The calls the library in the folder has seen, one per line.
    QStringList calls()
    {
        QLibrary library(skinPath());
        auto record = reinterpret_cast<const char *(*)()>(library.resolve("SkinRecord_Calls"));
        if (!record)
            return {u"<not loaded>"_qs};
        return QString::fromUtf8(record()).split(u'\n', Qt::SkipEmptyParts);
    }

    QTemporaryDir dir;
    FakePlatform fake;
    std::unique_ptr<Main> main;
};

TEST_F(SkinBindingTest, LibraryAndSkinFileAttachTheSkinFileFirst)
{
    put(SORVANE_RECORDING_SKIN);
    putSkinFile();
    start();
    EXPECT_EQ(calls(), (QStringList{u"SkinH_AttachEx(royale.she,)"_qs, u"SkinH_Attach()"_qs}));
    EXPECT_TRUE(fake.messageBoxes.isEmpty());
}

TEST_F(SkinBindingTest, LibraryAloneOnlyAttaches)
{
    put(SORVANE_RECORDING_SKIN);
    start();
    EXPECT_EQ(calls(), QStringList{u"SkinH_Attach()"_qs});
}

TEST_F(SkinBindingTest, NoLibraryNoCallsEvenWithASkinFile)
{
    putSkinFile();
    start();
    main->OnTitle();
    main->OnTitle();
    EXPECT_FALSE(QLibrary(skinPath()).isLoaded());
    EXPECT_TRUE(fake.messageBoxes.isEmpty());
}

TEST_F(SkinBindingTest, ModeChangesSetAeroOnEachStep)
{
    put(SORVANE_RECORDING_SKIN);
    start();
    main->OnTitle();
    main->OnTitle();
    main->OnTitle();
    EXPECT_EQ(calls(), (QStringList{u"SkinH_Attach()"_qs, u"SkinH_SetAero(1)"_qs, u"SkinH_SetAero(1)"_qs,
                                    u"SkinH_SetAero(0)"_qs}));
}

TEST_F(SkinBindingTest, RemovedLibraryIsNoLongerCalled)
{
    put(SORVANE_RECORDING_SKIN);
    start();
    main->OnTitle();
    // The loaded library stays readable after its file is gone.
    QLibrary keep(skinPath());
    ASSERT_TRUE(keep.load());
    ASSERT_TRUE(QFile::remove(skinPath()));
    main->OnTitle();
    auto record = reinterpret_cast<const char *(*)()>(keep.resolve("SkinRecord_Calls"));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(QString::fromUtf8(record()).split(u'\n', Qt::SkipEmptyParts),
              (QStringList{u"SkinH_Attach()"_qs, u"SkinH_SetAero(1)"_qs}));
}

TEST_F(SkinBindingTest, LibraryThatAppearsLaterIsUsedByOnTitle)
{
    start();
    put(SORVANE_RECORDING_SKIN);
    main->OnTitle();
    EXPECT_EQ(calls(), QStringList{u"SkinH_SetAero(1)"_qs});
}

TEST_F(SkinBindingTest, BrokenLibraryIsReportedOnceAndTheProgramGoesOn)
{
    struct Case {
        const char *what;
        std::function<void(SkinBindingTest &)> make;
    };
    const Case cases[] = {
        {"not a library", [](SkinBindingTest &t) { write(t.skinPath(), "MZ this is no shared object"); }},
        {"a function missing", [](SkinBindingTest &t) { t.put(SORVANE_INCOMPLETE_SKIN); }},
        {"empty file", [](SkinBindingTest &t) { write(t.skinPath(), ""); }},
    };
    for (const Case &c : cases) {
        QFile::remove(skinPath());
        fake.messageBoxes.clear();
        c.make(*this);
        start();
        ASSERT_TRUE(main->document) << c.what << ": start-up went on";
        main->OnTitle();
        main->OnTitle();
        EXPECT_EQ(main->Mode, 2) << c.what;
        ASSERT_EQ(fake.messageBoxes.size(), 1) << c.what;
        EXPECT_TRUE(fake.messageBoxes[0].text.contains(u"skin.dll"_qs)) << c.what;
        EXPECT_EQ(fake.messageBoxes[0].caption, u"系统提示"_qs);
        EXPECT_EQ(fake.messageBoxes[0].type & BoxType::IconMask, BoxType::IconExclamation);
    }
}

TEST_F(SkinBindingTest, IncompleteLibraryIsNotCalledAtAll)
{
    put(SORVANE_INCOMPLETE_SKIN);
    start();
    EXPECT_TRUE(calls().isEmpty()) << "no SkinH_Attach before the missing function was noticed";
    EXPECT_TRUE(fake.messageBoxes[0].text.contains(u"SkinH_SetAero"_qs));
}

} // namespace
