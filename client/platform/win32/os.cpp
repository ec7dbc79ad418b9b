// The client's operating-system layer on Windows: Winsock 2 for the sockets,
// the console or pipe behind standard input, and the Win32 file and module
// calls.
#include "platform/os.h"

#include <direct.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>

namespace sys {

const int kErrHostNotFound = WSAHOST_NOT_FOUND;
const int kErrTimedOut = WSAETIMEDOUT;
const int kErrBrokenPipe = WSAESHUTDOWN;
const int kErrConnectionReset = WSAECONNRESET;

namespace {

SOCKET Native(Socket s)
{
    return static_cast<SOCKET>(s);
}

// Milliseconds between two looks at standard input while waiting.
constexpr int kInputSliceMs = 10;

}  // namespace

int LastError()
{
    return WSAGetLastError();
}

const char* ErrorText(int code)
{
    static char text[512];
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             static_cast<DWORD>(code), 0, text, sizeof text, nullptr);
    while (n > 0 && (text[n - 1] == '\n' || text[n - 1] == '\r' || text[n - 1] == '.')) --n;
    if (n == 0) {
        std::snprintf(text, sizeof text, "System error %d", code);
        return text;
    }
    text[n] = '\0';
    return text;
}

bool WouldBlock(int code)
{
    return code == WSAEWOULDBLOCK;
}

bool Interrupted(int code)
{
    return code == WSAEINTR;
}

bool NetStartup()
{
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

Socket OpenStream(int family, int protocol, bool nonBlocking)
{
    if (!NetStartup()) return kNoSocket;
    SOCKET s = socket(family, SOCK_STREAM, protocol);
    if (s == INVALID_SOCKET) return kNoSocket;
    SetHandleInformation(reinterpret_cast<HANDLE>(s), HANDLE_FLAG_INHERIT, 0);
    u_long on = nonBlocking ? 1 : 0;
    if (ioctlsocket(s, FIONBIO, &on) != 0) {
        int err = WSAGetLastError();
        closesocket(s);
        WSASetLastError(err);
        return kNoSocket;
    }
    return static_cast<Socket>(s);
}

void Close(Socket s)
{
    closesocket(Native(s));
}

int Connect(Socket s, const sockaddr* address, socklen_t length)
{
    if (connect(Native(s), address, length) == 0) return 0;
    return WSAGetLastError() == WSAEWOULDBLOCK ? 1 : -1;
}

int PendingConnectError(Socket s)
{
    int err = 0;
    int len = sizeof err;
    if (getsockopt(Native(s), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&err), &len) != 0)
        return WSAGetLastError();
    return err;
}

void SetNoDelay(Socket s)
{
    BOOL one = TRUE;
    setsockopt(Native(s), IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&one), sizeof one);
}

// Sockets of this layer keep the mode they were opened with; a call that
// must not block on a blocking socket first asks whether it would.
long Send(Socket s, const void* data, std::size_t length, bool wait)
{
    if (!wait && Wait(s, true, 0) == 0) {
        WSASetLastError(WSAEWOULDBLOCK);
        return -1;
    }
    int n = static_cast<int>(std::min<std::size_t>(length, 1 << 30));
    int r = send(Native(s), static_cast<const char*>(data), n, 0);
    return r == SOCKET_ERROR ? -1 : r;
}

long Receive(Socket s, void* buffer, std::size_t size, bool peek, bool wait)
{
    if (!wait && Wait(s, false, 0) == 0) {
        WSASetLastError(WSAEWOULDBLOCK);
        return -1;
    }
    int n = static_cast<int>(std::min<std::size_t>(size, 1 << 30));
    int r = recv(Native(s), static_cast<char*>(buffer), n, peek ? MSG_PEEK : 0);
    return r == SOCKET_ERROR ? -1 : r;
}

int Wait(Socket s, bool forWrite, int ms)
{
    fd_set main, failed;
    FD_ZERO(&main);
    FD_ZERO(&failed);
    FD_SET(Native(s), &main);
    FD_SET(Native(s), &failed);
    timeval tv{ms / 1000, (ms % 1000) * 1000};
    int r = select(0, forWrite ? nullptr : &main, forWrite ? &main : nullptr, &failed,
                   ms < 0 ? nullptr : &tv);
    if (r == SOCKET_ERROR) return -1;
    return r > 0 ? 1 : 0;
}

int PeerAddress(Socket s, sockaddr_storage& address, socklen_t& length)
{
    return getpeername(Native(s), reinterpret_cast<sockaddr*>(&address), &length) == 0 ? 0 : -1;
}

Socket Listen(const char* address, int port, int backlog)
{
    Socket s = OpenStream(AF_INET, 0, false);
    if (s == kNoSocket) return kNoSocket;
    BOOL one = TRUE;
    setsockopt(Native(s), SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&one),
               sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<u_short>(port));
    if (inet_pton(AF_INET, address, &addr.sin_addr) != 1 ||
        bind(Native(s), reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        listen(Native(s), backlog) != 0) {
        int err = WSAGetLastError();
        closesocket(Native(s));
        WSASetLastError(err);
        return kNoSocket;
    }
    return s;
}

Socket Accept(Socket listener, sockaddr_in& peer)
{
    int len = sizeof peer;
    SOCKET s = accept(Native(listener), reinterpret_cast<sockaddr*>(&peer), &len);
    if (s == INVALID_SOCKET) return kNoSocket;
    SetHandleInformation(reinterpret_cast<HANDLE>(s), HANDLE_FLAG_INHERIT, 0);
    return static_cast<Socket>(s);
}

int LocalPort(Socket s)
{
    sockaddr_in addr{};
    int len = sizeof addr;
    if (getsockname(Native(s), reinterpret_cast<sockaddr*>(&addr), &len) != 0) return 0;
    return ntohs(addr.sin_port);
}

// The addresses the host name resolves to: the interfaces' IPv4 addresses
// without asking the IP helper library.
bool InterfaceAddresses(std::vector<sockaddr_in>& out)
{
    out.clear();
    if (!NetStartup()) return false;
    char name[256];
    if (gethostname(name, sizeof name) != 0) return false;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    if (getaddrinfo(name, nullptr, &hints, &list) != 0) return true;
    for (addrinfo* a = list; a; a = a->ai_next)
        if (a->ai_family == AF_INET && a->ai_addrlen >= sizeof(sockaddr_in))
            out.push_back(*reinterpret_cast<sockaddr_in*>(a->ai_addr));
    freeaddrinfo(list);
    return true;
}

int HostName(char* buffer, std::size_t size)
{
    if (!NetStartup()) return -1;
    int n = static_cast<int>(std::min<std::size_t>(size, 1 << 20));
    return gethostname(buffer, n) == 0 ? 0 : -1;
}

// --- Standard input ------------------------------------------------------------
namespace {

// Whether a read of standard input would return at once: a pipe with data
// or whose writer has gone, a file, or a console holding a whole line (in
// line mode a read waits for the Enter key).
bool InputReady()
{
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    if (in == nullptr || in == INVALID_HANDLE_VALUE) return true;
    DWORD type = GetFileType(in);
    if (type == FILE_TYPE_PIPE) {
        DWORD avail = 0;
        if (!PeekNamedPipe(in, nullptr, 0, nullptr, &avail, nullptr)) return true;
        return avail > 0;
    }
    DWORD mode = 0;
    if (type == FILE_TYPE_CHAR && GetConsoleMode(in, &mode)) {
        INPUT_RECORD records[256];
        DWORD n = 0;
        if (!PeekConsoleInputA(in, records, 256, &n)) return true;
        for (DWORD k = 0; k < n; ++k)
            if (records[k].EventType == KEY_EVENT && records[k].Event.KeyEvent.bKeyDown &&
                (records[k].Event.KeyEvent.uChar.AsciiChar == '\r' ||
                 records[k].Event.KeyEvent.uChar.AsciiChar == 26))
                return true;
        return false;
    }
    return true;  // a file, or a device that answers at once
}

}  // namespace

long ReadInput(char* buffer, std::size_t size)
{
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    DWORD n = 0;
    DWORD want = static_cast<DWORD>(std::min<std::size_t>(size, 1 << 20));
    if (!ReadFile(in, buffer, want, &n, nullptr)) {
        DWORD err = GetLastError();
        if (err == ERROR_BROKEN_PIPE || err == ERROR_HANDLE_EOF) return 0;
        return -1;
    }
    return static_cast<long>(n);
}

bool WaitInput(const std::vector<Socket>& sockets, int ms)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        if (InputReady()) return true;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        deadline - std::chrono::steady_clock::now())
                        .count();
        int slice = static_cast<int>(std::max<long long>(0, std::min<long long>(left, kInputSliceMs)));
        if (!sockets.empty()) {
            fd_set readable;
            FD_ZERO(&readable);
            for (Socket s : sockets)
                if (readable.fd_count < FD_SETSIZE) FD_SET(Native(s), &readable);
            timeval tv{0, slice * 1000};
            if (select(0, &readable, nullptr, nullptr, &tv) > 0) return false;
        } else if (slice > 0) {
            Sleep(static_cast<DWORD>(slice));
        }
        if (left <= 0) return false;
    }
}

// --- Time, files, the program ---------------------------------------------------
void SleepSeconds(double seconds)
{
    if (!(seconds > 0.0)) return;
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        end - std::chrono::steady_clock::now())
                        .count();
        if (left <= 0) return;
        Sleep(static_cast<DWORD>(std::min<long long>(left, 1 << 30)));
    }
}

void LocalTime(std::time_t t, std::tm& out)
{
    localtime_s(&out, &t);
}

bool MakeDirectory(const char* path)
{
    return _mkdir(path) == 0 || errno == EEXIST;
}

bool IsAbsolutePath(const char* path)
{
    if (path[0] == '\\' || path[0] == '/') return true;
    return ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) &&
           path[1] == ':';
}

bool IsSeparator(char c)
{
    return c == '\\' || c == '/';
}

int ProgramDirectory(char* buffer, std::size_t size)
{
    char path[MAX_PATH + 1];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    // A truncated name (MAX_PATH reached) is no usable path.
    if (n == 0 || n >= sizeof path - 1) return -1;
    path[n] = '\0';
    char* cut = nullptr;
    for (char* p = path; *p; ++p)
        if (IsSeparator(*p)) cut = p;
    if (!cut) return -1;
    *cut = '\0';
    if (std::strlen(path) + 1 > size) return -1;
    std::strcpy(buffer, path);
    return 0;
}

}  // namespace sys
