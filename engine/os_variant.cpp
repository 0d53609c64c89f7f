#include "engine/os_variant.h"

#include <windows.h>

int ClassifyOsVariant(unsigned platformId, unsigned majorVersion, unsigned nativeArchitecture)
{
    if (platformId == VER_PLATFORM_WIN32_NT) {
        bool native64 = nativeArchitecture == PROCESSOR_ARCHITECTURE_AMD64 ||
                        nativeArchitecture == PROCESSOR_ARCHITECTURE_IA64;
        if (majorVersion <= 5)
            return native64 ? OSV_NT5_64 : OSV_NT5_X86;
        return native64 ? OSV_NT6_64 : OSV_NT6_X86;
    }
    if (platformId == VER_PLATFORM_WIN32_WINDOWS)
        return OSV_WIN9X;
    return OSV_NT5_X86;
}

namespace {

unsigned NativeArchitecture()
{
    SYSTEM_INFO info = {};
    using GetNativeSystemInfoFn = void(WINAPI*)(LPSYSTEM_INFO);
    // Looked up by name: systems before XP lack it and take GetSystemInfo.
    auto getNative = reinterpret_cast<GetNativeSystemInfoFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetNativeSystemInfo")));
    if (getNative)
        getNative(&info);
    else
        GetSystemInfo(&info);
    return info.wProcessorArchitecture;
}

}  // namespace

int IsNative64Bit()
{
    unsigned arch = NativeArchitecture();
    return arch == PROCESSOR_ARCHITECTURE_AMD64 || arch == PROCESSOR_ARCHITECTURE_IA64 ? 1 : 0;
}

int DetectOsVariant()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    // On failure the zeroed platform identifier classifies as variant 1.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExA(&version);
#pragma GCC diagnostic pop
    unsigned arch = 0;
    if (version.dwPlatformId == VER_PLATFORM_WIN32_NT)
        arch = IsNative64Bit() ? PROCESSOR_ARCHITECTURE_AMD64 : PROCESSOR_ARCHITECTURE_INTEL;
    return ClassifyOsVariant(version.dwPlatformId, version.dwMajorVersion, arch);
}

const char* ChooseDriverEnvironment(bool runningUnderWow64, const char* x64Environment)
{
    return runningUnderWow64 ? x64Environment : nullptr;
}

bool RunningUnderWow64()
{
    using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
    auto isWow64 = reinterpret_cast<IsWow64ProcessFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "IsWow64Process")));
    BOOL wow64 = FALSE;
    return isWow64 && isWow64(GetCurrentProcess(), &wow64) && wow64;
}
