#include "platform/RegistryStore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <thread>

using namespace sorvane;

namespace {

const QString kValue = u"HKCU\\Software\\Sorvane\\Level"_qs;

TEST(RegistryStoreTest, ValuesKeepTheirTypes)
{
    RegistryStore store{QString()};
    struct Case {
        const char *type;
        Variant written;
        Variant read;
    };
    const Case cases[] = {
        {"REG_SZ", "text", "text"},
        {"REG_EXPAND_SZ", "%HOME%/x", "%HOME%/x"},
        {"REG_DWORD", Variant::fromLong(11000), Variant::fromLong(11000)},
        {"REG_DWORD", "42", Variant::fromLong(42)},
        {"REG_DWORD", Variant::fromLong(-1), Variant::fromLong(-1)},
        {"REG_SZ", Variant::fromInteger(7), "7"},
        {"reg_dword", Variant::fromInteger(3), Variant::fromLong(3)},
    };
    for (const Case &c : cases) {
        ASSERT_TRUE(store.write(kValue, c.written, QString::fromLatin1(c.type)).ok()) << c.type;
        auto value = store.read(kValue);
        ASSERT_TRUE(value.ok()) << c.type;
        EXPECT_EQ(*value, c.read) << c.type;
    }
}

TEST(RegistryStoreTest, BinaryIsFourLittleEndianBytesOfANumber)
{
    RegistryStore store{QString()};
    ASSERT_TRUE(store.write(kValue, Variant::fromLong(0x01020304), u"REG_BINARY"_qs).ok());
    auto value = store.read(kValue);
    ASSERT_TRUE(value.ok());
    ASSERT_TRUE(value->isArray());
    QVector<Variant> expected;
    for (int b : {4, 3, 2, 1})
        expected << Variant::fromInteger(qint16(b));
    EXPECT_EQ(value->arrayValue().items, expected);
}

TEST(RegistryStoreTest, NamesCompareWithoutCaseAndKeepTheirFirstSpelling)
{
    RegistryStore store{QString()};
    ASSERT_TRUE(store.write(u"HKEY_CURRENT_USER\\Software\\Sorvane\\Level"_qs, "a", u"REG_SZ"_qs).ok());
    ASSERT_TRUE(store.write(u"hkcu\\SOFTWARE\\sorvane\\LEVEL"_qs, "b", u"REG_SZ"_qs).ok());
    EXPECT_EQ(store.read(kValue).valueOr(Variant()), Variant("b"));
}

TEST(RegistryStoreTest, TrailingSeparatorNamesTheDefaultValue)
{
    RegistryStore store{QString()};
    ASSERT_TRUE(store.write(u"HKCU\\Software\\Sorvane\\"_qs, "default", u"REG_SZ"_qs).ok());
    ASSERT_TRUE(store.write(kValue, "named", u"REG_SZ"_qs).ok());
    EXPECT_EQ(store.read(u"HKCU\\Software\\Sorvane\\"_qs).valueOr(Variant()), Variant("default"));
    EXPECT_EQ(store.read(kValue).valueOr(Variant()), Variant("named"));
}

TEST(RegistryStoreTest, BadPathsTypesAndMissingValuesAreErrors)
{
    RegistryStore store{QString()};
    EXPECT_FALSE(store.write(u"HKEY_NOWHERE\\A\\B"_qs, "x", u"REG_SZ"_qs).ok());
    EXPECT_FALSE(store.write(u"Level"_qs, "x", u"REG_SZ"_qs).ok());
    EXPECT_FALSE(store.write(u"HKCU\\A\\\\B"_qs, "x", u"REG_SZ"_qs).ok());
    EXPECT_FALSE(store.write(kValue, "x", u"REG_NONSENSE"_qs).ok());
    EXPECT_FALSE(store.write(kValue, "not a number", u"REG_DWORD"_qs).ok());
    EXPECT_FALSE(store.read(kValue).ok());
    EXPECT_FALSE(store.remove(kValue).ok());
}

TEST(RegistryStoreTest, RemovesValuesAndKeysWithoutSubkeys)
{
    RegistryStore store{QString()};
    ASSERT_TRUE(store.write(u"HKCU\\A\\B\\v"_qs, "1", u"REG_SZ"_qs).ok());
    ASSERT_TRUE(store.write(u"HKCU\\A\\w"_qs, "2", u"REG_SZ"_qs).ok());

    EXPECT_FALSE(store.remove(u"HKCU\\A\\"_qs).ok()) << "a key with a subkey stays";
    EXPECT_TRUE(store.read(u"HKCU\\A\\w"_qs).ok());

    EXPECT_TRUE(store.remove(u"HKCU\\A\\B\\v"_qs).ok());
    EXPECT_FALSE(store.read(u"HKCU\\A\\B\\v"_qs).ok());
    EXPECT_TRUE(store.remove(u"HKCU\\A\\B\\"_qs).ok());
    EXPECT_TRUE(store.remove(u"HKCU\\A\\"_qs).ok());
    EXPECT_FALSE(store.read(u"HKCU\\A\\w"_qs).ok());
    EXPECT_FALSE(store.remove(u"HKCU\\"_qs).ok()) << "roots are not removed";
}

TEST(RegistryStoreTest, FileIsSharedBetweenStoresAndReplacedWhole)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(u"config/sorvane/registry.json"_qs);
    RegistryStore first(file), second(file);
    ASSERT_TRUE(first.write(kValue, Variant::fromLong(9999), u"REG_DWORD"_qs).ok());
    EXPECT_EQ(second.read(kValue).valueOr(Variant()), Variant::fromLong(9999));
    ASSERT_TRUE(second.write(u"HKCU\\Other\\x"_qs, "y", u"REG_SZ"_qs).ok());
    EXPECT_EQ(first.read(u"HKCU\\Other\\x"_qs).valueOr(Variant()), Variant("y"));
    // Only the store itself is left in the folder: the temporary copy was renamed.
    EXPECT_EQ(QDir(dir.filePath(u"config/sorvane"_qs)).entryList(QDir::Files), QStringList{u"registry.json"_qs});
}

// Two copies of the program changing the store at once: each change reads
// the file and writes it whole, so without the lock one copy's write was
// lost to the other's.
TEST(RegistryStoreTest, ChangesFromTwoCopiesAtOnceAreAllKept)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(u"config/sorvane/registry.json"_qs);
    constexpr int kEach = 40;
    auto writer = [&file](const QString &name) {
        RegistryStore store(file);
        for (int i = 0; i < kEach; ++i)
            EXPECT_TRUE(store.write(u"HKCU\\Software\\Sorvane\\%1%2"_qs.arg(name).arg(i), Variant::fromLong(i),
                                    u"REG_DWORD"_qs)
                            .ok());
    };
    std::thread first(writer, u"a"_qs), second(writer, u"b"_qs);
    first.join();
    second.join();
    RegistryStore store(file);
    int kept = 0;
    for (const QString &name : {u"a"_qs, u"b"_qs})
        for (int i = 0; i < kEach; ++i)
            kept += store.read(u"HKCU\\Software\\Sorvane\\%1%2"_qs.arg(name).arg(i)).ok() ? 1 : 0;
    EXPECT_EQ(kept, 2 * kEach);
    EXPECT_EQ(QDir(dir.filePath(u"config/sorvane"_qs)).entryList(QDir::Files), QStringList{u"registry.json"_qs});
}

TEST(RegistryStoreTest, DamagedFileIsNeverOverwritten)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(u"registry.json"_qs);
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("{ \"keys\": [ half written");
    }
    RegistryStore store(file);
    EXPECT_FALSE(store.write(kValue, "x", u"REG_SZ"_qs).ok());
    EXPECT_FALSE(store.read(kValue).ok());
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("{ \"keys\": [ half written"));
}

} // namespace
