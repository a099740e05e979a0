// Arbitrary text through the VBScript interpreter: every input must end
// with success or a language error, within a step budget, never a crash.

#include "core/Dictionary.h"
#include "scripting/vbscript/VbEngine.h"

#include <cstdint>
#include <cstdlib>

using namespace sorvane;

namespace {

// A few functions so generated programs reach arrays and conversions
// even without the library.
const vb::BuiltinInfo kFunctions[] = {
    {"Array", 0, -1, [](vb::BuiltinContext &, QVector<Variant> &a) -> Result<Variant> { return Variant::fromList(a); }},
    {"TypeName", 1, 1, [](vb::BuiltinContext &, QVector<Variant> &a) -> Result<Variant> { return Variant(a[0].typeName()); }},
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString code = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    vb::VbEngine engine;
    for (const vb::BuiltinInfo &f : kFunctions)
        if (!vb::findBuiltin(QString::fromUtf8(f.name)))
            engine.defineFunction(f);
    engine.expose(QStringLiteral("d"), Variant::fromObject(std::make_shared<Dictionary>()));
    engine.setStepLimit(20000);
    const Status s = engine.execute(code);
    if (!s && s.error().number == 0)
        std::abort(); // every failure carries the language's number
    (void)engine.eval(code.left(200));
    return 0;
}
