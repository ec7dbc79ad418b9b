// The client's operating-system layer: TCP sockets, standard input,
// sleeping, local time, directories and the program's own path.  bertlog's
// toolkit and bertsim make their system calls through these functions only;
// one implementation per platform is compiled, chosen by the build
// (client/platform/posix or client/platform/win32), together with that
// platform's "os_names.h" (socket headers and the path separator).
//
// Error codes are the system's own (errno on POSIX, Winsock's codes on
// Windows); ErrorText describes one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <vector>

#include "os_names.h"

namespace sys {

// A socket: a descriptor on POSIX, a SOCKET on Windows (whose values fit in
// 32 bits, as the front ends' descriptor sets need).
using Socket = std::intptr_t;
inline constexpr Socket kNoSocket = -1;

// --- Errors ----------------------------------------------------------------
// The error of the last failed call of this layer (or of a socket call of
// the system's own, such as getaddrinfo's neighbours getpeername).
int LastError();
const char* ErrorText(int code);
bool WouldBlock(int code);   // a non-blocking call found nothing to do
bool Interrupted(int code);  // a signal interrupted the call: try again
// Codes the toolkit reports for failures it detects itself.
extern const int kErrHostNotFound;
extern const int kErrTimedOut;
extern const int kErrBrokenPipe;
extern const int kErrConnectionReset;

// --- Sockets -----------------------------------------------------------------
// Starts the socket library once per process; true when sockets can be used.
bool NetStartup();
// A stream socket not inherited by child processes, non-blocking on request.
Socket OpenStream(int family, int protocol, bool nonBlocking);
void Close(Socket s);
// Connect of a non-blocking socket: 0 connected, 1 under way (wait until
// it is writable, then ask PendingConnectError), -1 failed (LastError).
int Connect(Socket s, const sockaddr* address, socklen_t length);
// 0 when the connection under way succeeded, else its error code.
int PendingConnectError(Socket s);
void SetNoDelay(Socket s);
// Bytes sent or received, 0 (receive) when the peer closed, -1 on error.
// Never raises a signal; `wait` false never blocks.
long Send(Socket s, const void* data, std::size_t length, bool wait);
long Receive(Socket s, void* buffer, std::size_t size, bool peek, bool wait);
// Waits at most `ms` milliseconds (-1: no limit) until `s` is readable (or
// writable, or its connect has failed): 1 ready, 0 time-out, -1 error.
int Wait(Socket s, bool forWrite, int ms);
int PeerAddress(Socket s, sockaddr_storage& address, socklen_t& length);
// A blocking IPv4 listening socket on address:port reusing the address,
// kNoSocket on failure (a malformed address leaves LastError as it was).
Socket Listen(const char* address, int port, int backlog);
Socket Accept(Socket listener, sockaddr_in& peer);
// The bound port of a socket, 0 when unknown.
int LocalPort(Socket s);
// IPv4 addresses of this host's interfaces, in the system's order; false
// when they cannot be listed.
bool InterfaceAddresses(std::vector<sockaddr_in>& out);
// 0, or -1 with LastError.
int HostName(char* buffer, std::size_t size);

// --- Standard input ------------------------------------------------------------
// Reads what standard input has, blocking until some comes: bytes, 0 at its
// end, -1 on error (LastError).
long ReadInput(char* buffer, std::size_t size);
// Waits at most `ms` milliseconds for standard input or one of `sockets` to
// become readable (or to end); true when standard input is.
bool WaitInput(const std::vector<Socket>& sockets, int ms);

// --- Time, files, the program ---------------------------------------------------
void SleepSeconds(double seconds);
void LocalTime(std::time_t t, std::tm& out);
// Makes the directory; true when it was made or exists (errno tells why not).
bool MakeDirectory(const char* path);
bool IsAbsolutePath(const char* path);
bool IsSeparator(char c);
// The folder of the running program, without a trailing separator; -1 when
// it cannot be found or does not fit.
int ProgramDirectory(char* buffer, std::size_t size);

}  // namespace sys
