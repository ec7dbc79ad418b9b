// Entry point of qmanlys.dll: process attach and detach, thread detach.
// Returns TRUE also when no BLAS/LAPACK module was found (see
// frame/platform.h): the library loads and the exports that need LAPACK
// return kNoLinearAlgebra.
#include <windows.h>

#include "platform/win32/hooks.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  qm::LoaderNotification(reason, reserved != nullptr);
  return TRUE;
}
