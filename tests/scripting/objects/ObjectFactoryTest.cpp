#include "scripting/objects/ObjectFactory.h"

#include "core/Dictionary.h"
#include "core/DispatchObject.h"
#include "platform/fake/FakePlatform.h"
#include "text/TextCodec.h"

#include <gtest/gtest.h>

namespace sorvane {
namespace {

TEST(ObjectFactory, CreatesByNameWithoutRegardToCase)
{
    FakePlatform platform;
    TextCodec codec([](const QString &) {});
    ObjectContext context;
    context.platform = platform.services();
    context.codec = &codec;
    struct Case {
        const char *progId;
        const char *typeName;
    };
    const Case cases[] = {
        {"Scripting.Dictionary", "Dictionary"},
        {"scripting.dictionary", "Dictionary"},
        {"SCRIPTING.FILESYSTEMOBJECT", "FileSystemObject"},
        {"VBScript.RegExp", "IRegExp2"},
        {"ADODB.Stream", "Stream"},
        {"wscript.shell", "IWshShell3"},
    };
    for (const Case &c : cases) {
        Result<Variant> object = createObject(QString::fromUtf8(c.progId), context);
        ASSERT_TRUE(object.ok()) << c.progId;
        ASSERT_TRUE(object->isObject() && !object->isNothing()) << c.progId;
        EXPECT_EQ(object->objectValue()->typeName(), QString::fromUtf8(c.typeName)) << c.progId;
    }
    EXPECT_EQ(creatableObjects().size(), int(std::size(cases)) - 1);
}

TEST(ObjectFactory, EachCallMakesAFreshObject)
{
    const ObjectContext context;
    Result<Variant> a = createObject("Scripting.Dictionary", context);
    Result<Variant> b = createObject("Scripting.Dictionary", context);
    ASSERT_TRUE(a.ok() && b.ok());
    EXPECT_NE(a->objectValue(), b->objectValue());
}

TEST(ObjectFactory, UnknownNamesCannotBeCreated)
{
    const ObjectContext context;
    for (const char *progId : {"", "Scripting", "No.Such.Object", " Scripting.Dictionary", "Microsoft.XMLDOM"}) {
        Result<Variant> object = createObject(QString::fromUtf8(progId), context);
        ASSERT_FALSE(object.ok()) << progId;
        EXPECT_EQ(object.error().number, 429) << progId;
        EXPECT_EQ(object.error().description, "ActiveX component can't create object");
    }
}

} // namespace
} // namespace sorvane
