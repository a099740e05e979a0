// The shell-link reader on arbitrary bytes.
#include "text/ShellLink.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    (void)sorvane::ShellLink::targetPath(bytes);
    return 0;
}
