// Notifications from the Win32 loader: DllMain of qmanlys.dll, or the TLS
// callback of a program that links the library's objects (the test
// programs), forward them here.
#pragma once

namespace qm {

// Thread detach: releases the ending thread's record, if it has one.
void ThreadDetach();

// One loader notification (DLL_PROCESS_ATTACH, DLL_THREAD_DETACH, ...).
// `process_ending` is true for a process detach because the process exits
// (DllMain's reserved argument not null): the modules and records are then
// left to the system, as the loader forbids FreeLibrary at that point.
void LoaderNotification(unsigned long reason, bool process_ending);

}  // namespace qm
