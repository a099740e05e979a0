#pragma once

#include <QString>

namespace sorvane {

class Registry;

// The browser emulation level the page is rendered at, kept per user in the
// registry under the program file's name.
class BrowserEmulation {
public:
    static constexpr const char16_t *kKey =
        u"HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_BROWSER_EMULATION\\";

    // The emulation number of a version name: "IE11", "11" and "11000" give
    // 11000 (letter case ignored); 8888, 9999 and 10001 only in that form;
    // anything else 7000.
    static quint32 numberOf(const QString &keys);

    // The registry path of this program's value: the key, then the program
    // file's name without its extension and ".exe".
    static QString valuePath(const QString &programFilePath);

    // Writes the number for `keys`; a store that refuses the write is left
    // as it is and nothing is reported.
    static void SetInternetExplorerVersion(Registry *registry, const QString &programFilePath, const QString &keys);
};

} // namespace sorvane
