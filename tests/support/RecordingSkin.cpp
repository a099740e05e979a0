// A stand-in for the skin library: it records every call, in order, as
// "name(arguments)" lines that tests read back through SkinRecord_Calls.
#include <string>

namespace {
std::string g_calls;
}

extern "C" {

__attribute__((visibility("default"))) int SkinH_AttachEx(const char *skinFile, const char *password)
{
    g_calls += std::string("SkinH_AttachEx(") + (skinFile ? skinFile : "<null>") + "," + (password ? password : "<null>")
               + ")\n";
    return 0;
}

__attribute__((visibility("default"))) int SkinH_Attach()
{
    g_calls += "SkinH_Attach()\n";
    return 0;
}

#ifndef RECORDING_SKIN_WITHOUT_SET_AERO
__attribute__((visibility("default"))) int SkinH_SetAero(int flag)
{
    g_calls += "SkinH_SetAero(" + std::to_string(flag) + ")\n";
    return 0;
}
#endif

__attribute__((visibility("default"))) const char *SkinRecord_Calls()
{
    return g_calls.c_str();
}
}
