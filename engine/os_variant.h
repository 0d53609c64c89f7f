// Classification of the running Windows into the five OS variants that pick
// the driver folder, the driver record level and the default-printer method.
#pragma once

enum OsVariant {
    OSV_WIN9X = 0,
    OSV_NT5_X86 = 1,
    OSV_NT5_64 = 2,
    OSV_NT6_X86 = 3,
    OSV_NT6_64 = 4,
};

// Pure classification from the version record's platform identifier and major
// version and the native processor architecture value.
int ClassifyOsVariant(unsigned platformId, unsigned majorVersion, unsigned nativeArchitecture);

int DetectOsVariant();

// 1 when the machine's own processor is AMD64 or IA64, also for a 32-bit
// process on a 64-bit system; else 0.
int IsNative64Bit();

// Spooler environment for driver-directory queries and driver records: null
// (the caller's own) for a native process; for a 32-bit process on 64-bit
// Windows, the 64-bit environment name, since the spooler serves the native
// drivers there.
const char* ChooseDriverEnvironment(bool runningUnderWow64, const char* x64Environment);

// Whether this process is a 32-bit one on 64-bit Windows.
bool RunningUnderWow64();
