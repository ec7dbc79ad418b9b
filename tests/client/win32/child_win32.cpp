// The child processes and the system calls of the test harness on Windows:
// CreateProcessA with anonymous pipes on the three standard handles.  The
// pipe ends are kept as C run-time descriptors so the harness's members
// stay the same on both systems; the process handles are kept here.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

#include "../harness.h"

namespace harness {

namespace {

std::map<pid_t, HANDLE>& processes()
{
    static std::map<pid_t, HANDLE> m;
    return m;
}

HANDLE Native(int fd)
{
    return reinterpret_cast<HANDLE>(_get_osfhandle(fd));
}

// A command-line argument quoted as the C run-time's parser reads it back.
std::string Quote(const std::string& arg)
{
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
    std::string out = "\"";
    std::size_t slashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++slashes;
            continue;
        }
        if (c == '"') slashes = slashes * 2 + 1;
        out.append(slashes, '\\');
        slashes = 0;
        out += c;
    }
    out.append(slashes * 2, '\\');
    return out + "\"";
}

std::string WindowsPath(std::string path)
{
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

// Room in a pipe: a child whose output is not read for a while (a test
// watching only the simulator) must not block on a full pipe, which holds
// 64 KiB on Linux but only a few KiB by default here.
constexpr DWORD kPipeBytes = 1 << 20;

constexpr int kStartAttempts = 4;

// A pipe whose parent end is not inherited; the parent end as a descriptor.
bool MakePipe(HANDLE& childEnd, int& parentFd, bool childReads)
{
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE r = nullptr, w = nullptr;
    if (!CreatePipe(&r, &w, &sa, kPipeBytes)) return false;
    HANDLE parent = childReads ? w : r;
    childEnd = childReads ? r : w;
    SetHandleInformation(parent, HANDLE_FLAG_INHERIT, 0);
    parentFd = _open_osfhandle(reinterpret_cast<intptr_t>(parent), childReads ? 0 : _O_RDONLY);
    if (parentFd >= 0) return true;
    CloseHandle(r);
    CloseHandle(w);
    childEnd = nullptr;
    return false;
}

void CloseFd(int& fd)
{
    if (fd >= 0) _close(fd);
    fd = -1;
}

}  // namespace

Child::~Child()
{
    Kill();
    CloseFd(in_);
    CloseFd(out_);
    CloseFd(errFd_);
}

bool Child::Start(const std::vector<std::string>& argv,
                  const std::map<std::string, std::string>& env)
{
    // The environment block: this process's variables with `env` over them,
    // sorted without regard to case as Windows expects.
    std::map<std::string, std::string> all;
    char* block = GetEnvironmentStringsA();
    for (char* e = block; e && *e; e += std::strlen(e) + 1) {
        const char* eq = std::strchr(e + 1, '=');  // "=C:=C:\..." entries start with '='
        if (eq) all[std::string(e, static_cast<std::size_t>(eq - e))] = eq + 1;
    }
    if (block) FreeEnvironmentStringsA(block);
    for (auto& [k, v] : env) {
        for (auto it = all.begin(); it != all.end();)
            it = _stricmp(it->first.c_str(), k.c_str()) == 0 ? all.erase(it) : std::next(it);
        all[k] = v;
    }
    std::vector<std::pair<std::string, std::string>> sorted(all.begin(), all.end());
    std::sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) {
        return _stricmp(a.first.c_str(), b.first.c_str()) < 0;
    });
    std::string envBlock;
    for (auto& [k, v] : sorted) {
        // An empty value removes the variable, as an unset one (DISPLAY="").
        if (v.empty()) continue;
        envBlock += k + "=" + v;
        envBlock += '\0';
    }
    envBlock += '\0';

    std::string program = WindowsPath(argv.at(0));
    std::string line = Quote(program);
    for (std::size_t k = 1; k < argv.size(); ++k) line += " " + Quote(argv[k]);

    // Under Wine a pipe or process creation now and then fails at once on a
    // loaded machine; a failed attempt frees what it made and is tried again
    // after a pause, and the last failure is named on the harness's stderr.
    for (int attempt = 1;; ++attempt) {
        const char* failed = nullptr;
        HANDLE childIn = nullptr, childOut = nullptr, childErr = nullptr;
        PROCESS_INFORMATION pi{};
        if (!MakePipe(childIn, in_, true) || !MakePipe(childOut, out_, false) ||
            !MakePipe(childErr, errFd_, false)) {
            failed = "a pipe";
        } else {
            std::vector<char> cmd(line.begin(), line.end());
            cmd.push_back('\0');
            STARTUPINFOA si{};
            si.cb = sizeof si;
            si.dwFlags = STARTF_USESTDHANDLES;
            si.hStdInput = childIn;
            si.hStdOutput = childOut;
            si.hStdError = childErr;
            if (!CreateProcessA(program.c_str(), cmd.data(), nullptr, nullptr, TRUE,
                                CREATE_NO_WINDOW, envBlock.data(), nullptr, &si, &pi))
                failed = "CreateProcessA";
        }
        DWORD error = failed ? GetLastError() : 0;
        for (HANDLE h : {childIn, childOut, childErr})
            if (h) CloseHandle(h);
        started_ = Now();
        if (!failed) {
            CloseHandle(pi.hThread);
            pid_ = static_cast<pid_t>(pi.dwProcessId);
            processes()[pid_] = pi.hProcess;
            return true;
        }
        CloseFd(in_);
        CloseFd(out_);
        CloseFd(errFd_);
        pid_ = -1;
        if (attempt == kStartAttempts) {
            std::fprintf(stderr, "harness: %s failed for %s (error %lu) after %d attempts\n",
                         failed, program.c_str(), static_cast<unsigned long>(error), attempt);
            return false;
        }
        std::fprintf(stderr, "harness: %s failed for %s (error %lu), trying again\n", failed,
                     program.c_str(), static_cast<unsigned long>(error));
        Sleep(200 * attempt);
    }
}

void Child::Write(const std::string& text)
{
    if (in_ < 0) return;
    std::size_t done = 0;
    while (done < text.size()) {
        DWORD n = 0;
        if (!WriteFile(Native(in_), text.data() + done, static_cast<DWORD>(text.size() - done), &n,
                       nullptr) ||
            n == 0)
            return;
        done += n;
    }
}

void Child::CloseInput()
{
    CloseFd(in_);
}

void Child::Pump(int timeoutMs)
{
    // Pipes cannot be waited on with their data: look every few milliseconds.
    double end = Now() + timeoutMs / 1000.0;
    for (;;) {
        bool any = false;
        for (int* fd : {&out_, &errFd_}) {
            if (*fd < 0) continue;
            DWORD avail = 0;
            bool ended = !PeekNamedPipe(Native(*fd), nullptr, 0, nullptr, &avail, nullptr);
            if (!ended && avail == 0) continue;
            any = true;
            char buf[65536];
            DWORD n = 0;
            if (ended || !ReadFile(Native(*fd), buf, std::min<DWORD>(avail, sizeof buf), &n, nullptr) ||
                n == 0) {
                CloseFd(*fd);
                if (fd == &out_ && !partial_.empty()) {
                    lines_.push_back(partial_);
                    times_.push_back(Now() - started_);
                    partial_.clear();
                }
                continue;
            }
            if (fd == &errFd_) {
                err_.append(buf, n);
                continue;
            }
            partial_.append(buf, n);
            std::size_t nl;
            while ((nl = partial_.find('\n')) != std::string::npos) {
                std::string l = partial_.substr(0, nl);
                if (!l.empty() && l.back() == '\r') l.pop_back();
                lines_.push_back(l);
                times_.push_back(Now() - started_);
                partial_.erase(0, nl + 1);
            }
        }
        if (any || (out_ < 0 && errFd_ < 0) || Now() >= end) return;
        Sleep(2);
    }
}

bool Child::WaitFor(const std::string& text, double timeoutSeconds, std::size_t from)
{
    double end = Now() + timeoutSeconds;
    std::size_t k = from;
    for (;;) {
        for (; k < lines_.size(); ++k)
            if (lines_[k].find(text) != std::string::npos) return true;
        if (out_ < 0) return false;
        double left = end - Now();
        if (left <= 0) return false;
        Pump(static_cast<int>(left * 1000) + 1);
    }
}

int Child::Wait(double timeoutSeconds)
{
    if (pid_ < 0) return status_;
    HANDLE process = processes()[pid_];
    double end = Now() + timeoutSeconds;
    for (;;) {
        Pump(std::max(0, std::min(20, static_cast<int>((end - Now()) * 1000))));
        if (WaitForSingleObject(process, 0) == WAIT_OBJECT_0) {
            // Drain what is left in the pipes (their writers have gone).
            while (out_ >= 0 || errFd_ >= 0) Pump(200);
            DWORD code = 0;
            GetExitCodeProcess(process, &code);
            CloseHandle(process);
            processes().erase(pid_);
            pid_ = -1;
            status_ = static_cast<int>(code);
            return status_;
        }
        if (Now() >= end) {
            Kill();
            return -1;
        }
    }
}

void Child::PumpFor(double seconds)
{
    double end = Now() + seconds;
    while ((out_ >= 0 || errFd_ >= 0) && Now() < end)
        Pump(std::max(1, static_cast<int>((end - Now()) * 1000)));
}

void Child::Kill()
{
    if (pid_ < 0) return;
    HANDLE process = processes()[pid_];
    TerminateProcess(process, 1);
    WaitForSingleObject(process, INFINITE);
    CloseHandle(process);
    processes().erase(pid_);
    pid_ = -1;
    status_ = -1;
}

std::size_t Child::Count(const std::string& text) const
{
    std::size_t n = 0;
    for (auto& l : lines_)
        if (l.find(text) != std::string::npos) ++n;
    return n;
}

std::string MakeUniqueDirectory(const std::string& prefix)
{
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        std::string path = prefix + std::to_string(GetCurrentProcessId()) + "-" +
                           std::to_string(++counter) + "-" + std::to_string(GetTickCount() % 100000);
        if (CreateDirectoryA(path.c_str(), nullptr)) return path;
        if (GetLastError() != ERROR_ALREADY_EXISTS) return "";
    }
    return "";
}

unsigned ProcessId()
{
    return static_cast<unsigned>(GetCurrentProcessId());
}

void SetEnv(const char* name, const char* value)
{
    _putenv_s(name, value);
}

void UnsetEnv(const char* name)
{
    _putenv_s(name, "");
}

}  // namespace harness
