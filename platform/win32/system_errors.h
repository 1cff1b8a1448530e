// Win32 error numbers in the program's other two vocabularies: errno values
// (what InputFile and SafeOutputFile report, mapped as the C runtime maps
// them) and the runtime's error codes (osErrorCode in platform/os_file.h).
#pragma once

namespace varnok::platform::win32 {

// The errno value for a Win32 error: the C runtime's mapping, except that
// device faults are EIO, a full disk ENOSPC and a name too long
// ENAMETOOLONG, which say more.
int errnoFromWin32(unsigned long error);

// errno set from the thread's last Win32 error; answers that errno value.
int errnoFromLastError();

}  // namespace varnok::platform::win32
