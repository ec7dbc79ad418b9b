// The client's operating-system layer on POSIX systems.
#include "platform/os.h"

#include <fcntl.h>
#include <ifaddrs.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace sys {

const int kErrHostNotFound = ENOENT;
const int kErrTimedOut = ETIMEDOUT;
const int kErrBrokenPipe = EPIPE;
const int kErrConnectionReset = ECONNRESET;

int LastError()
{
    return errno;
}

const char* ErrorText(int code)
{
    return std::strerror(code);
}

bool WouldBlock(int code)
{
    return code == EAGAIN || code == EWOULDBLOCK;
}

bool Interrupted(int code)
{
    return code == EINTR;
}

bool NetStartup()
{
    return true;
}

Socket OpenStream(int family, int protocol, bool nonBlocking)
{
    int type = SOCK_STREAM | SOCK_CLOEXEC | (nonBlocking ? SOCK_NONBLOCK : 0);
    int s = socket(family, type, protocol);
    return s < 0 ? kNoSocket : s;
}

void Close(Socket s)
{
    close(static_cast<int>(s));
}

int Connect(Socket s, const sockaddr* address, socklen_t length)
{
    if (connect(static_cast<int>(s), address, length) == 0) return 0;
    return errno == EINPROGRESS ? 1 : -1;
}

int PendingConnectError(Socket s)
{
    int err = 0;
    socklen_t len = sizeof err;
    if (getsockopt(static_cast<int>(s), SOL_SOCKET, SO_ERROR, &err, &len) < 0) return errno;
    return err;
}

void SetNoDelay(Socket s)
{
    int one = 1;
    setsockopt(static_cast<int>(s), IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

long Send(Socket s, const void* data, std::size_t length, bool wait)
{
    return send(static_cast<int>(s), data, length, MSG_NOSIGNAL | (wait ? 0 : MSG_DONTWAIT));
}

long Receive(Socket s, void* buffer, std::size_t size, bool peek, bool wait)
{
    int flags = (peek ? MSG_PEEK : 0) | (wait ? 0 : MSG_DONTWAIT);
    return recv(static_cast<int>(s), buffer, size, flags);
}

int Wait(Socket s, bool forWrite, int ms)
{
    pollfd p{static_cast<int>(s), static_cast<short>(forWrite ? POLLOUT : POLLIN), 0};
    int r = poll(&p, 1, ms);
    if (r < 0) return -1;
    return r > 0 ? 1 : 0;
}

int PeerAddress(Socket s, sockaddr_storage& address, socklen_t& length)
{
    return getpeername(static_cast<int>(s), reinterpret_cast<sockaddr*>(&address), &length);
}

Socket Listen(const char* address, int port, int backlog)
{
    int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int one = 1;
    setsockopt(s, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    if (s < 0 || inet_pton(AF_INET, address, &addr.sin_addr) != 1 ||
        bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) < 0 || listen(s, backlog) < 0) {
        if (s >= 0) {
            int saved = errno;
            close(s);
            errno = saved;
        }
        return kNoSocket;
    }
    return s;
}

Socket Accept(Socket listener, sockaddr_in& peer)
{
    socklen_t len = sizeof peer;
    int fd = accept(static_cast<int>(listener), reinterpret_cast<sockaddr*>(&peer), &len);
    return fd < 0 ? kNoSocket : fd;
}

int LocalPort(Socket s)
{
    sockaddr_in addr{};
    socklen_t len = sizeof addr;
    if (getsockname(static_cast<int>(s), reinterpret_cast<sockaddr*>(&addr), &len) < 0) return 0;
    return ntohs(addr.sin_port);
}

bool InterfaceAddresses(std::vector<sockaddr_in>& out)
{
    out.clear();
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) < 0) return false;
    for (ifaddrs* a = list; a; a = a->ifa_next) {
        if (!a->ifa_addr || a->ifa_addr->sa_family != AF_INET) continue;
        out.push_back(*reinterpret_cast<sockaddr_in*>(a->ifa_addr));
    }
    freeifaddrs(list);
    return true;
}

int HostName(char* buffer, std::size_t size)
{
    return gethostname(buffer, size) < 0 ? -1 : 0;
}

long ReadInput(char* buffer, std::size_t size)
{
    return read(0, buffer, size);
}

bool WaitInput(const std::vector<Socket>& sockets, int ms)
{
    std::vector<pollfd> p;
    p.push_back({0, POLLIN, 0});
    for (Socket s : sockets) p.push_back({static_cast<int>(s), POLLIN, 0});
    int r = poll(p.data(), p.size(), ms);
    return r > 0 && (p[0].revents & (POLLIN | POLLHUP | POLLERR));
}

void SleepSeconds(double seconds)
{
    if (!(seconds > 0.0)) return;
    timespec ts;
    ts.tv_sec = static_cast<time_t>(seconds);
    ts.tv_nsec = static_cast<long>((seconds - static_cast<double>(ts.tv_sec)) * 1e9);
    while (nanosleep(&ts, &ts) < 0 && errno == EINTR) {
    }
}

void LocalTime(std::time_t t, std::tm& out)
{
    localtime_r(&t, &out);
}

bool MakeDirectory(const char* path)
{
    return mkdir(path, 0777) == 0 || errno == EEXIST;
}

bool IsAbsolutePath(const char* path)
{
    return path[0] == '/';
}

bool IsSeparator(char c)
{
    return c == '/';
}

int ProgramDirectory(char* buffer, std::size_t size)
{
    char path[4096];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return -1;
    path[n] = '\0';
    char* slash = std::strrchr(path, '/');
    if (!slash) return -1;
    *slash = '\0';
    if (std::strlen(path) + 1 > size) return -1;
    std::strcpy(buffer, path);
    return 0;
}

}  // namespace sys
