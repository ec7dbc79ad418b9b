// The loader notifications for a program that links the library's objects
// directly (the white-box tests): an .exe gets no DllMain, but its TLS
// callbacks see process attach and detach and every thread's detach, so the
// frame runs exactly as inside qmanlys.dll.
#include <windows.h>

#include "platform/win32/hooks.h"

namespace {

void NTAPI OnTlsCallback(PVOID, DWORD reason, PVOID reserved) {
  qm::LoaderNotification(reason, reserved != nullptr);
}

}  // namespace

// Referenced so that the linker keeps the TLS directory and the callback.
extern "C" const IMAGE_TLS_DIRECTORY _tls_used;
extern "C" __attribute__((section(".CRT$XLB"), used)) const PIMAGE_TLS_CALLBACK
    qm_tls_callback = OnTlsCallback;
