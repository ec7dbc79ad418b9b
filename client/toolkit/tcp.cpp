// TCP client of the toolkit.  Conversations are plain non-blocking sockets;
// their readiness is looked at only by the event loop (DispatchTcpEvents),
// so TCP callbacks run inside the dispatching calls like every other one.
#include <chrono>
#include <cstring>
#include <map>

#include "internal.h"
#include "platform/os.h"

namespace tk {
namespace {

struct Conversation {
    sys::Socket fd = sys::kNoSocket;
    TcpCallbackPtr callback = nullptr;
    void* data = nullptr;
    bool hungUp = false;  // the disconnect event was given
};

std::map<unsigned int, Conversation>& conversations()
{
    static std::map<unsigned int, Conversation> m;
    return m;
}

unsigned int g_nextHandle = 1;
int g_lastErrno = 0;

int SystemFailure(int code)
{
    g_lastErrno = sys::LastError();
    return code;
}

Conversation* Find(unsigned int handle)
{
    auto it = conversations().find(handle);
    return it == conversations().end() ? nullptr : &it->second;
}

// Milliseconds left until `deadline`, at least 0.
int MsLeft(std::chrono::steady_clock::time_point deadline)
{
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return left.count() < 0 ? 0 : static_cast<int>(left.count());
}

// Waits until fd is readable (or writable) or the deadline has come; 1
// ready, 0 timed out, -1 error.
int WaitFd(sys::Socket fd, bool forWrite, std::chrono::steady_clock::time_point deadline)
{
    for (;;) {
        int r = sys::Wait(fd, forWrite, MsLeft(deadline));
        if (r < 0 && sys::Interrupted(sys::LastError())) continue;
        return r;
    }
}

// The front ends watch descriptors as int; socket values fit (platform/os.h).
int WatchId(sys::Socket fd)
{
    return static_cast<int>(fd);
}

bool AddressText(const sockaddr_storage& ss, char* buffer, std::size_t size)
{
    char text[INET6_ADDRSTRLEN] = "";
    const void* src =
        ss.ss_family == AF_INET6
            ? static_cast<const void*>(&reinterpret_cast<const sockaddr_in6&>(ss).sin6_addr)
            : static_cast<const void*>(&reinterpret_cast<const sockaddr_in&>(ss).sin_addr);
    if (!inet_ntop(ss.ss_family, src, text, sizeof text)) return false;
    if (std::strlen(text) + 1 > size) return false;
    std::strcpy(buffer, text);
    return true;
}

// What a conversation has to report: 0 nothing, TCP_DATAREADY, TCP_DISCONNECT.
int Readiness(Conversation& c)
{
    if (c.hungUp || c.fd == sys::kNoSocket) return 0;
    if (sys::Wait(c.fd, false, 0) <= 0) return 0;
    char byte;
    long n = sys::Receive(c.fd, &byte, 1, true, false);
    if (n > 0) return TCP_DATAREADY;
    if (n < 0) {
        int err = sys::LastError();
        if (sys::WouldBlock(err) || sys::Interrupted(err)) return 0;
    }
    return TCP_DISCONNECT;
}

}  // namespace

bool TcpPending()
{
    for (auto& [h, c] : conversations())
        if (Readiness(c)) return true;
    return false;
}

void DispatchTcpEvents()
{
    std::vector<unsigned int> handles;
    for (auto& [h, c] : conversations()) handles.push_back(h);
    for (unsigned int h : handles) {
        Conversation* c = Find(h);  // a callback may have closed it
        if (!c) continue;
        int event = Readiness(*c);
        if (!event) continue;
        if (event == TCP_DISCONNECT) {
            c->hungUp = true;
            if (Front()) Front()->WatchFd(WatchId(c->fd), false);
        }
        TcpCallbackPtr cb = c->callback;
        void* data = c->data;
        if (cb) cb(h, event, 0, data);
    }
}

void CloseAllConversations()
{
    while (!conversations().empty()) DisconnectFromTCPServer(conversations().begin()->first);
}

}  // namespace tk

using namespace tk;

int ConnectToTCPServer(unsigned int* handle, unsigned int port, const char* host,
                       TcpCallbackPtr callback, void* callbackData, unsigned int timeoutMs)
{
    if (handle) *handle = 0;
    if (!Front()) return TCP_NotInitialized;
    if (!handle || !host || port == 0 || port > 65535) return TCP_InvalidHandle;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    if (!sys::NetStartup()) return SystemFailure(TCP_SystemError);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* list = nullptr;
    std::string service = std::to_string(port);
    if (getaddrinfo(host, service.c_str(), &hints, &list) != 0 || !list) {
        g_lastErrno = sys::kErrHostNotFound;
        return TCP_HostNotFound;
    }
    int status = TCP_ConnectFailed;
    sys::Socket fd = sys::kNoSocket;
    for (addrinfo* a = list; a && fd == sys::kNoSocket; a = a->ai_next) {
        sys::Socket s = sys::OpenStream(a->ai_family, a->ai_protocol, true);
        if (s == sys::kNoSocket) {
            status = SystemFailure(TCP_SystemError);
            continue;
        }
        int r = sys::Connect(s, a->ai_addr, static_cast<socklen_t>(a->ai_addrlen));
        int err = r < 0 ? sys::LastError() : 0;
        if (r > 0) {
            int w = WaitFd(s, true, deadline);
            if (w == 0) {
                g_lastErrno = sys::kErrTimedOut;
                status = TCP_Timeout;
                sys::Close(s);
                break;
            }
            err = w < 0 ? sys::LastError() : sys::PendingConnectError(s);
            r = err ? -1 : 0;
        }
        if (r < 0) {
            g_lastErrno = err;
            status = TCP_ConnectFailed;
            sys::Close(s);
            continue;
        }
        fd = s;
    }
    freeaddrinfo(list);
    if (fd == sys::kNoSocket) return status;
    sys::SetNoDelay(fd);
    unsigned int h = g_nextHandle++;
    conversations()[h] = Conversation{fd, callback, callbackData, false};
    Front()->WatchFd(WatchId(fd), true);
    *handle = h;
    return 0;
}

int DisconnectFromTCPServer(unsigned int handle)
{
    Conversation* c = Find(handle);
    if (!c) return TCP_InvalidHandle;
    if (Front() && !c->hungUp) Front()->WatchFd(WatchId(c->fd), false);
    sys::Close(c->fd);
    conversations().erase(handle);
    return 0;
}

int ClientTCPWrite(unsigned int handle, const void* data, std::size_t length,
                   unsigned int timeoutMs)
{
    Conversation* c = Find(handle);
    if (!c) return TCP_InvalidHandle;
    if (c->hungUp) {
        g_lastErrno = sys::kErrBrokenPipe;
        return TCP_ConnectionClosed;
    }
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    const char* p = static_cast<const char*>(data);
    std::size_t done = 0;
    while (done < length) {
        long n = sys::Send(c->fd, p + done, length - done, false);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        int err = n < 0 ? sys::LastError() : 0;
        if (n < 0 && sys::Interrupted(err)) continue;
        if (n < 0 && sys::WouldBlock(err)) {
            int w = WaitFd(c->fd, true, deadline);
            if (w == 0) {
                g_lastErrno = sys::kErrTimedOut;
                return TCP_Timeout;
            }
            if (w > 0) continue;
        }
        return SystemFailure(TCP_WriteFailed);
    }
    return static_cast<int>(done);
}

int ClientTCPRead(unsigned int handle, void* buffer, std::size_t size, unsigned int timeoutMs)
{
    Conversation* c = Find(handle);
    if (!c) return TCP_InvalidHandle;
    if (!buffer || size == 0) return TCP_BufferTooSmall;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        long n = sys::Receive(c->fd, buffer, size, false, false);
        if (n > 0) return static_cast<int>(n);
        if (n == 0) {
            g_lastErrno = sys::kErrConnectionReset;
            return TCP_ConnectionClosed;
        }
        int err = sys::LastError();
        if (sys::Interrupted(err)) continue;
        if (!sys::WouldBlock(err)) return SystemFailure(TCP_ReadFailed);
        int w = WaitFd(c->fd, false, deadline);
        if (w == 0) {
            g_lastErrno = sys::kErrTimedOut;
            return TCP_Timeout;
        }
        if (w < 0) return SystemFailure(TCP_ReadFailed);
    }
}

int GetTCPHostAddr(char* buffer, std::size_t size)
{
    if (!buffer || size == 0) return TCP_BufferTooSmall;
    buffer[0] = '\0';
    // The address of the first interface that is up and not the loopback;
    // the loopback address when there is none.
    std::vector<sockaddr_in> list;
    if (!sys::InterfaceAddresses(list)) return SystemFailure(TCP_SystemError);
    bool found = false;
    for (const sockaddr_in& in : list) {
        if (ntohl(in.sin_addr.s_addr) >> 24 == 127) continue;
        sockaddr_storage ss{};
        std::memcpy(&ss, &in, sizeof in);
        found = AddressText(ss, buffer, size);
        if (found) break;
    }
    if (!found) {
        if (size < sizeof "127.0.0.1") return TCP_BufferTooSmall;
        std::strcpy(buffer, "127.0.0.1");
    }
    return 0;
}

int GetTCPHostName(char* buffer, std::size_t size)
{
    if (!buffer || size == 0) return TCP_BufferTooSmall;
    if (sys::HostName(buffer, size) < 0) {
        buffer[0] = '\0';
        return SystemFailure(TCP_SystemError);
    }
    buffer[size - 1] = '\0';
    return 0;
}

int GetTCPPeerAddr(unsigned int handle, char* buffer, std::size_t size)
{
    if (!buffer || size == 0) return TCP_BufferTooSmall;
    buffer[0] = '\0';
    Conversation* c = Find(handle);
    if (!c) return TCP_InvalidHandle;
    sockaddr_storage ss{};
    socklen_t len = sizeof ss;
    if (sys::PeerAddress(c->fd, ss, len) < 0) return SystemFailure(TCP_SystemError);
    return AddressText(ss, buffer, size) ? 0 : TCP_BufferTooSmall;
}

int GetTCPPeerName(unsigned int handle, char* buffer, std::size_t size)
{
    if (!buffer || size == 0) return TCP_BufferTooSmall;
    buffer[0] = '\0';
    Conversation* c = Find(handle);
    if (!c) return TCP_InvalidHandle;
    sockaddr_storage ss{};
    socklen_t len = sizeof ss;
    if (sys::PeerAddress(c->fd, ss, len) < 0) return SystemFailure(TCP_SystemError);
    // The loopback needs no name service.
    if (ss.ss_family == AF_INET &&
        ntohl(reinterpret_cast<sockaddr_in&>(ss).sin_addr.s_addr) >> 24 == 127) {
        if (size < sizeof "localhost") return TCP_BufferTooSmall;
        std::strcpy(buffer, "localhost");
        return 0;
    }
    if (getnameinfo(reinterpret_cast<sockaddr*>(&ss), len, buffer, static_cast<socklen_t>(size),
                    nullptr, 0, 0) != 0)
        return AddressText(ss, buffer, size) ? 0 : TCP_BufferTooSmall;
    return 0;
}

const char* GetTCPErrorString(int code)
{
    switch (code) {
        case 0:
            return "No error";
        case TCP_NotInitialized:
            return "The TCP library is not initialised";
        case TCP_InvalidHandle:
            return "Invalid conversation handle or argument";
        case TCP_HostNotFound:
            return "Host not found";
        case TCP_ConnectFailed:
            return "Unable to connect to the server";
        case TCP_Timeout:
            return "Operation timed out";
        case TCP_WriteFailed:
            return "Write failed";
        case TCP_ReadFailed:
            return "Read failed";
        case TCP_ConnectionClosed:
            return "The connection was closed";
        case TCP_BufferTooSmall:
            return "Buffer too small";
        case TCP_SystemError:
            return "System error";
        default:
            return "Unknown TCP error";
    }
}

const char* GetTCPSystemErrorString()
{
    return g_lastErrno ? sys::ErrorText(g_lastErrno) : "No error";
}
