// The child processes and the system calls of the test harness on POSIX
// systems: posix_spawn with pipes, poll, waitpid.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "harness.h"

extern char** environ;

namespace harness {

Child::~Child()
{
    Kill();
    if (in_ >= 0) close(in_);
    if (out_ >= 0) close(out_);
    if (errFd_ >= 0) close(errFd_);
}

bool Child::Start(const std::vector<std::string>& argv,
                  const std::map<std::string, std::string>& env)
{
    int in[2], out[2], err[2];
    if (pipe2(in, O_CLOEXEC) || pipe2(out, O_CLOEXEC) || pipe2(err, O_CLOEXEC)) return false;
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_adddup2(&fa, in[0], 0);
    posix_spawn_file_actions_adddup2(&fa, out[1], 1);
    posix_spawn_file_actions_adddup2(&fa, err[1], 2);

    std::map<std::string, std::string> all;
    for (char** e = environ; *e; ++e) {
        const char* eq = std::strchr(*e, '=');
        if (eq) all[std::string(*e, static_cast<std::size_t>(eq - *e))] = eq + 1;
    }
    // Sanitizer reports must not pass for the client's own status 1.
    for (const char* name : {"ASAN_OPTIONS", "TSAN_OPTIONS", "UBSAN_OPTIONS"}) {
        std::string& v = all[name];
        if (!v.empty()) v += ':';
        v += "exitcode=66";
    }
    for (auto& [k, v] : env) all[k] = v;
    std::vector<std::string> envText;
    for (auto& [k, v] : all) envText.push_back(k + "=" + v);
    std::vector<char*> envp, args;
    for (auto& s : envText) envp.push_back(s.data());
    envp.push_back(nullptr);
    std::vector<std::string> argCopy = argv;
    for (auto& s : argCopy) args.push_back(s.data());
    args.push_back(nullptr);

    int r = posix_spawn(&pid_, args[0], &fa, nullptr, args.data(), envp.data());
    posix_spawn_file_actions_destroy(&fa);
    close(in[0]);
    close(out[1]);
    close(err[1]);
    in_ = in[1];
    out_ = out[0];
    errFd_ = err[0];
    started_ = Now();
    if (r != 0) pid_ = -1;
    signal(SIGPIPE, SIG_IGN);
    return r == 0;
}

void Child::Write(const std::string& text)
{
    if (in_ < 0) return;
    std::size_t done = 0;
    while (done < text.size()) {
        ssize_t n = write(in_, text.data() + done, text.size() - done);
        if (n <= 0) return;
        done += static_cast<std::size_t>(n);
    }
}

void Child::CloseInput()
{
    if (in_ >= 0) close(in_);
    in_ = -1;
}

void Child::Pump(int timeoutMs)
{
    pollfd p[2] = {{out_, POLLIN, 0}, {errFd_, POLLIN, 0}};
    if (poll(p, 2, timeoutMs) <= 0) return;
    char buf[65536];
    if (out_ >= 0 && (p[0].revents & (POLLIN | POLLHUP | POLLERR))) {
        ssize_t n = read(out_, buf, sizeof buf);
        if (n <= 0) {
            close(out_);
            out_ = -1;
            if (!partial_.empty()) {
                lines_.push_back(partial_);
                times_.push_back(Now() - started_);
                partial_.clear();
            }
        } else {
            partial_.append(buf, static_cast<std::size_t>(n));
            std::size_t nl;
            while ((nl = partial_.find('\n')) != std::string::npos) {
                lines_.push_back(partial_.substr(0, nl));
                times_.push_back(Now() - started_);
                partial_.erase(0, nl + 1);
            }
        }
    }
    if (errFd_ >= 0 && (p[1].revents & (POLLIN | POLLHUP | POLLERR))) {
        ssize_t n = read(errFd_, buf, sizeof buf);
        if (n <= 0) {
            close(errFd_);
            errFd_ = -1;
        } else {
            err_.append(buf, static_cast<std::size_t>(n));
        }
    }
}

bool Child::WaitFor(const std::string& text, double timeoutSeconds, std::size_t from)
{
    double end = Now() + timeoutSeconds;
    std::size_t k = from;
    for (;;) {
        for (; k < lines_.size(); ++k)
            if (lines_[k].find(text) != std::string::npos) return true;
        if (out_ < 0 && errFd_ < 0) return false;
        double left = end - Now();
        if (left <= 0) return false;
        if (out_ < 0 && errFd_ >= 0) {
            Pump(static_cast<int>(left * 1000) + 1);
            if (out_ < 0) return false;
        }
        Pump(static_cast<int>(left * 1000) + 1);
    }
}

int Child::Wait(double timeoutSeconds)
{
    if (pid_ < 0) return status_;
    double end = Now() + timeoutSeconds;
    for (;;) {
        while (out_ >= 0 || errFd_ >= 0) {
            double left = end - Now();
            if (left <= 0) break;
            Pump(std::min(100, static_cast<int>(left * 1000) + 1));
            int st = 0;
            if (waitpid(pid_, &st, WNOHANG) == pid_) {
                // Drain what is left in the pipes.
                while (out_ >= 0 || errFd_ >= 0) Pump(200);
                pid_ = -1;
                status_ = WIFEXITED(st) ? WEXITSTATUS(st) : -2;
                return status_;
            }
        }
        int st = 0;
        if (waitpid(pid_, &st, WNOHANG) == pid_) {
            pid_ = -1;
            status_ = WIFEXITED(st) ? WEXITSTATUS(st) : -2;
            return status_;
        }
        if (Now() >= end) {
            Kill();
            return -1;
        }
        usleep(10000);
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
    kill(pid_, SIGKILL);
    int st = 0;
    waitpid(pid_, &st, 0);
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
    std::string templ = prefix + "XXXXXX";
    std::vector<char> buf(templ.begin(), templ.end());
    buf.push_back('\0');
    if (!mkdtemp(buf.data())) return "";
    return buf.data();
}

unsigned ProcessId()
{
    return static_cast<unsigned>(getpid());
}

void SetEnv(const char* name, const char* value)
{
    setenv(name, value, 1);
}

void UnsetEnv(const char* name)
{
    unsetenv(name);
}

}  // namespace harness
