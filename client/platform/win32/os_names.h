// Win32: the Winsock headers and the path separator of the client's
// operating-system layer (client/platform/os.h).
#pragma once

// Keep <windows.h> (which Winsock includes) from defining min and max.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <winsock2.h>
#include <ws2tcpip.h>

// The separator inside paths built by the client, as text for formats.
#define BERTLOG_DIR_SEP "\\"
