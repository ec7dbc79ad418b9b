#include "harness.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

namespace harness {

namespace fs = std::filesystem;

double Now()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

// ---------------------------------------------------------------------------
ProjectDir::ProjectDir()
{
    fs::path base = fs::path(QM_BINARY_DIR) / "tests" / "client" / "runs";
    fs::create_directories(base);
    path_ = MakeUniqueDirectory((base / "run-").string());
    if (path_.empty()) return;
    for (auto& e : fs::directory_iterator(BERTLOG_PANEL_DIR))
        if (e.path().extension() == ".uir")
            fs::copy_file(e.path(), fs::path(path_) / e.path().filename());
}

ProjectDir::~ProjectDir()
{
    if (path_.empty()) return;
    std::error_code ec;
    // Keep the directory of a failed test for inspection.
    if (!::testing::Test::HasFailure()) fs::remove_all(path_, ec);
}

std::string ProjectDir::LogFile() const
{
    fs::path log = fs::path(path_) / "log";
    std::error_code ec;
    if (!fs::is_directory(log, ec)) return "";
    for (auto& e : fs::directory_iterator(log)) return e.path().generic_string();
    return "";
}

std::string ProjectDir::ReadLog() const
{
    std::string file = LogFile();
    if (file.empty()) return "";
    // A text file as this system writes them (CR LF line ends on Windows).
    std::ifstream in(file);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// ---------------------------------------------------------------------------
namespace {
int g_addressCounter = 0;
}

std::string FreeLoopbackAddress()
{
    unsigned pid = ProcessId();
    ++g_addressCounter;
    return "127." + std::to_string(1 + (pid >> 8) % 250) + "." + std::to_string(pid % 256) + "." +
           std::to_string(1 + (g_addressCounter % 250));
}

Simulator::Simulator(const std::vector<std::string>& faults)
{
    for (int attempt = 0; attempt < 5 && !ok_; ++attempt) {
        address_ = FreeLoopbackAddress();
        std::vector<std::string> argv = {BERTSIM_EXE, "--bind", address_,
                                         "--port",    "5001",   "--once"};
        argv.insert(argv.end(), faults.begin(), faults.end());
        child_ = std::make_unique<Child>();
        if (!child_->Start(argv, {})) continue;
        ok_ = child_->WaitFor("LISTEN", 10);
    }
}

std::vector<std::string> Simulator::Received() const
{
    std::vector<std::string> out;
    for (auto& l : child_->Lines())
        if (l.rfind("RX ", 0) == 0) out.push_back(Unescape(l.substr(3)));
    return out;
}

std::vector<std::string> Simulator::Sent() const
{
    std::vector<std::string> out;
    for (auto& l : child_->Lines())
        if (l.rfind("TX ", 0) == 0) out.push_back(Unescape(l.substr(3)));
    return out;
}

bool StartClient(Child& client, const ProjectDir& dir, double timeScale)
{
    std::map<std::string, std::string> env = {{"BERTLOG_FRONTEND", "console"},
                                              {"BERTLOG_PROJECT_DIR", dir.Path()}};
    if (timeScale != 1.0) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%g", timeScale);
        env["BERTLOG_TIME_SCALE"] = buf;
    }
    return client.Start({BERTLOG_EXE}, env);
}

std::string Unescape(const std::string& text)
{
    std::string out;
    for (std::size_t k = 0; k < text.size(); ++k) {
        char c = text[k];
        if (c != '\\' || k + 1 >= text.size()) {
            out += c;
            continue;
        }
        char e = text[++k];
        switch (e) {
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'x':
                if (k + 2 < text.size() + 0) {
                    out +=
                        static_cast<char>(std::strtol(text.substr(k + 1, 2).c_str(), nullptr, 16));
                    k += 2;
                }
                break;
            default:
                out += e;
        }
    }
    return out;
}

void ExpectNoSanitizerReport(const Child& child)
{
    EXPECT_EQ(child.Errors().find("Sanitizer"), std::string::npos) << child.Errors();
    EXPECT_EQ(child.Errors().find("runtime error"), std::string::npos) << child.Errors();
}

}  // namespace harness
