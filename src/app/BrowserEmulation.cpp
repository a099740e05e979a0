#include "app/BrowserEmulation.h"

#include "platform/Registry.h"

#include <QFileInfo>

namespace sorvane {
namespace {

struct Level {
    const char *names[3];
    quint32 number;
};

// First match from the top; versions without a short alias list one name.
constexpr Level kLevels[] = {
    {{"6000", "IE6", "6"}, 6000},       {{"7000", "IE7", "7"}, 7000},   {{"8000", "IE8", "8"}, 8000},
    {{"8888", nullptr, nullptr}, 8888}, {{"9000", "IE9", "9"}, 9000},   {{"9999", nullptr, nullptr}, 9999},
    {{"10000", "IE10", "10"}, 10000},   {{"10001", nullptr, nullptr}, 10001},
    {{"11000", "IE11", "11"}, 11000},
};
constexpr quint32 kFallback = 7000;

} // namespace

quint32 BrowserEmulation::numberOf(const QString &keys)
{
    for (const Level &level : kLevels)
        for (const char *name : level.names)
            if (name && keys.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
                return level.number;
    return kFallback;
}

QString BrowserEmulation::valuePath(const QString &programFilePath)
{
    return QString::fromUtf16(kKey) + QFileInfo(programFilePath).completeBaseName() + QStringLiteral(".exe");
}

void BrowserEmulation::SetInternetExplorerVersion(Registry *registry, const QString &programFilePath,
                                                  const QString &keys)
{
    const quint32 number = numberOf(keys);
    if (!registry)
        return;
    // The level only matters to a page engine that reads it; a refused write
    // leaves rendering as it was.
    (void)registry->write(valuePath(programFilePath), Variant::fromLong(qint32(number)), QStringLiteral("REG_DWORD"));
}

} // namespace sorvane
