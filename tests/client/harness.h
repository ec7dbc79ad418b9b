// Test harness for bertlog: runs the client (console front end) and the
// server simulator as child processes and talks to them through pipes.
#pragma once

#include <sys/types.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace harness {

// A child process with pipes on its standard input, output and error.
class Child {
public:
    Child() = default;
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    ~Child();

    bool Start(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env);
    void Write(const std::string& text);
    void CloseInput();
    // Reads until a line of the output contains `text`; false on time-out or
    // end of output.  Lines already read are searched from `from` on.
    bool WaitFor(const std::string& text, double timeoutSeconds, std::size_t from = 0);
    // Waits for the end of the process; the exit status, or -1 after
    // killing it on time-out, -2 when it died of a signal.
    int Wait(double timeoutSeconds);
    void Kill();
    // Reads output for up to `seconds` (less when the output ends).
    void PumpFor(double seconds);

    const std::vector<std::string>& Lines() const { return lines_; }
    // Seconds since Start at which each line was read.
    const std::vector<double>& Times() const { return times_; }
    const std::string& Errors() const { return err_; }
    std::size_t Count(const std::string& text) const;
    bool Has(const std::string& text) const { return Count(text) > 0; }
    pid_t Pid() const { return pid_; }

private:
    void Pump(int timeoutMs);
    pid_t pid_ = -1;
    int in_ = -1, out_ = -1, errFd_ = -1;
    std::string partial_, err_;
    std::vector<std::string> lines_;
    std::vector<double> times_;
    double started_ = 0;
    int status_ = -3;
};

double Now();

// A new directory whose name starts with `prefix`; "" on failure.
std::string MakeUniqueDirectory(const std::string& prefix);
unsigned ProcessId();
void SetEnv(const char* name, const char* value);
void UnsetEnv(const char* name);

// A fresh directory with the panel files, used as the client's program
// directory; removed by the destructor.
class ProjectDir {
public:
    ProjectDir();
    ~ProjectDir();
    const std::string& Path() const { return path_; }
    // The one log file written under log/, empty when there is none.
    std::string LogFile() const;
    std::string ReadLog() const;

private:
    std::string path_;
};

// The simulator listening on its own loopback address, port 5001.
class Simulator {
public:
    explicit Simulator(const std::vector<std::string>& faults = {});
    bool Ok() const { return ok_; }
    const std::string& Address() const { return address_; }
    Child& Process() { return *child_; }
    // Received command lines and sent answers, unescaped, in order.
    std::vector<std::string> Received() const;
    std::vector<std::string> Sent() const;

private:
    std::unique_ptr<Child> child_;
    std::string address_;
    bool ok_ = false;
};

// An unused loopback address (nothing listens there).
std::string FreeLoopbackAddress();

// Starts bertlog with the console front end.
bool StartClient(Child& client, const ProjectDir& dir, double timeScale);

std::string Unescape(const std::string& text);
// Fails the current test when a sanitizer reported something.
void ExpectNoSanitizerReport(const Child& child);

}  // namespace harness
