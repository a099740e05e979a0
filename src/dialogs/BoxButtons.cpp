#include "dialogs/BoxButtons.h"

#include "platform/Platform.h"

namespace sorvane {

BoxButtons BoxButtons::ofType(int type)
{
    BoxButtons b;
    switch (type & BoxType::ButtonsMask) {
    case BoxType::OkCancel:
        b.codes = {BoxResult::Ok, BoxResult::Cancel};
        break;
    case BoxType::AbortRetryIgnore:
        b.codes = {BoxResult::Abort, BoxResult::Retry, BoxResult::Ignore};
        break;
    case BoxType::YesNoCancel:
        b.codes = {BoxResult::Yes, BoxResult::No, BoxResult::Cancel};
        break;
    case BoxType::YesNo:
        b.codes = {BoxResult::Yes, BoxResult::No};
        break;
    case BoxType::RetryCancel:
        b.codes = {BoxResult::Retry, BoxResult::Cancel};
        break;
    default:
        b.codes = {BoxResult::Ok};
        break;
    }

    if (b.codes.contains(BoxResult::Cancel))
        b.closeCode = BoxResult::Cancel;
    else if (b.codes.size() == 1)
        b.closeCode = b.codes.first();

    const int wanted = (type >> 8) & 0x0F;
    b.defaultIndex = wanted < b.codes.size() ? wanted : 0;
    return b;
}

} // namespace sorvane
