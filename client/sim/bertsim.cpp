// bertsim: a simulator of the server logging application in front of the
// KX2600, for running and testing bertlog without the instrument.
//
//   bertsim [--bind ADDR] [--port N] [--once] [fault options]
//
// Listens on ADDR:N (default 127.0.0.1:5001), serves one client at a time,
// answers one line per query and prints what happens on standard output:
//   LISTEN <addr>:<port>   ready
//   CONNECT <peer>         a client connected
//   RX <line>              a command line received (without its line feed)
//   TX <text>              an answer sent (line feed included)
//   CLOSE                  the connection ended
// Texts are printed with the C escapes of text_escape.h (\n, \r, \t, \", \\,
// \xNN for other control bytes and bytes from 0x7f up).  With --once the
// simulator ends when its first client has gone.
//
// Faults, N counting the command lines received on a connection from 1:
//   --close-after N        close the connection after command N
//   --delay N:MS           send the answer to command N MS milliseconds late
//                          (later answers queue behind it)
//   --reply N:TEXT         answer command N with TEXT (and a line feed)
//   --long N               answer command N with 300 bytes (299 digits, LF)
//   --noterm N             answer command N without its line feed
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <string>

#include "platform/os.h"
#include "text_escape.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Faults {
    long closeAfter = 0;
    std::map<long, int> delayMs;
    std::map<long, std::string> reply;
    std::map<long, bool> longReply;
    std::map<long, bool> noTerm;
};

struct Channel {
    Clock::time_point started = Clock::now();
    long long queries = 0;
};

struct Outgoing {
    Clock::time_point due;
    std::string text;
};

void Say(const std::string& line)
{
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

[[noreturn]] void Usage()
{
    std::fprintf(stderr,
                 "usage: bertsim [--bind ADDR] [--port N] [--once] [--close-after N]\n"
                 "               [--delay N:MS] [--reply N:TEXT] [--long N] [--noterm N]\n");
    std::exit(2);
}

long Number(const char* s)
{
    char* end = nullptr;
    long v = std::strtol(s, &end, 10);
    if (!*s || (*end && *end != ':') || v < 0) Usage();
    return v;
}

// The simulated instrument: selected module and port, and the error
// counters of every channel, which grow with time and with each query.
class Instrument {
public:
    // The answer to one command line; empty for commands without answer.
    std::string Answer(const std::string& line)
    {
        std::string cmd = line;
        std::string arg;
        std::size_t sp = line.find(' ');
        if (sp != std::string::npos && line.compare(0, 10, ":CALCulate") != 0) {
            cmd = line.substr(0, sp);
            arg = line.substr(sp + 1);
        }
        if (cmd == "*IDN?") return "SIM,KX2600,000001,1.00\n";
        if (cmd == ":MODule:ID") {
            module_ = std::atoi(arg.c_str());
            return "";
        }
        if (cmd == ":INTerface:ID") {
            port_ = std::atoi(arg.c_str());
            return "";
        }
        if (cmd == ":INPut:DATA:INTerface?") return "SING\n";
        if (cmd == ":INPut:DATA:DIFFerential?") return "IND\n";
        if (cmd == ":SENSe:PATTern:TYPE?") return "PRBS\n";
        if (cmd == ":SENSe:PATTern:PRBS:LENGth?") return "PRBS31\n";
        if (cmd == ":CALCulate:DATA:EALarm? \"CURRent:FREQ\"") return "9953.280000\n";
        if (cmd == ":SENSe:MEASure:STARt") {
            channels_[Key()] = Channel{};
            return "";
        }
        if (cmd == ":CALCulate:DATA:EALarm? \"CURRent:ER:TOTal\"") {
            Channel& c = channels_[Key()];
            double bits = Seconds(c) * 9.95328e9 + 1e9;
            char buf[64];
            std::snprintf(buf, sizeof buf, "%.4E\n", static_cast<double>(Count(c)) / bits);
            return buf;
        }
        if (cmd == ":CALCulate:DATA:EALarm? \"CURRent:EC:TOTal\"") {
            Channel& c = channels_[Key()];
            return std::to_string(Count(c)) + "\n";
        }
        return "";
    }

private:
    int Key() const { return module_ * 16 + port_; }
    static double Seconds(const Channel& c)
    {
        return std::chrono::duration<double>(Clock::now() - c.started).count();
    }
    long long Count(Channel& c) const
    {
        ++c.queries;
        return c.queries * (module_ + port_) +
               static_cast<long long>(Seconds(c) * (3 * module_ + port_));
    }

    int module_ = 1;
    int port_ = 1;
    std::map<int, Channel> channels_;
};

bool SendAll(sys::Socket fd, const std::string& text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        long n = sys::Send(fd, text.data() + done, text.size() - done, true);
        if (n < 0 && sys::Interrupted(sys::LastError())) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Serves one connection until the client goes or a fault closes it.
void Serve(sys::Socket fd, const Faults& faults)
{
    Instrument instrument;
    std::string input;
    std::deque<Outgoing> outbox;
    long received = 0;
    bool closing = false;
    for (;;) {
        auto now = Clock::now();
        while (!outbox.empty() && outbox.front().due <= now) {
            if (!SendAll(fd, outbox.front().text)) {
                Say("CLOSE");
                return;
            }
            Say("TX " + EscapeText(outbox.front().text));
            outbox.pop_front();
        }
        if (closing && outbox.empty()) {
            Say("CLOSE");
            return;
        }
        int timeout = -1;
        if (!outbox.empty())
            timeout = static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                           outbox.front().due - now)
                                           .count()) +
                      1;
        if (closing) {
            // Only the queued answers are left to send.
            sys::SleepSeconds(timeout / 1000.0);
            continue;
        }
        int r = sys::Wait(fd, false, timeout);
        if (r <= 0) continue;
        char buf[4096];
        long n = sys::Receive(fd, buf, sizeof buf, false, true);
        if (n <= 0) {
            Say("CLOSE");
            return;
        }
        input.append(buf, static_cast<std::size_t>(n));
        std::size_t nl;
        while (!closing && (nl = input.find('\n')) != std::string::npos) {
            std::string line = input.substr(0, nl);
            input.erase(0, nl + 1);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            ++received;
            Say("RX " + EscapeText(line));
            std::string answer = instrument.Answer(line);
            if (auto it = faults.reply.find(received); it != faults.reply.end())
                answer = it->second + "\n";
            if (faults.longReply.count(received)) answer = std::string(299, '1') + "\n";
            if (faults.noTerm.count(received) && !answer.empty() && answer.back() == '\n')
                answer.pop_back();
            if (!answer.empty()) {
                auto due = Clock::now();
                if (auto it = faults.delayMs.find(received); it != faults.delayMs.end())
                    due += std::chrono::milliseconds(it->second);
                if (!outbox.empty() && outbox.back().due > due) due = outbox.back().due;
                outbox.push_back({due, answer});
            }
            if (faults.closeAfter > 0 && received >= faults.closeAfter) {
                closing = true;
                for (auto& o : outbox) o.due = Clock::now();
            }
        }
    }
}

}  // namespace

int main(int argc, char* argv[])
{
    std::string bind = "127.0.0.1";
    int port = 5001;
    bool once = false;
    Faults faults;
    for (int a = 1; a < argc; ++a) {
        std::string opt = argv[a];
        auto next = [&]() -> const char* {
            if (a + 1 >= argc) Usage();
            return argv[++a];
        };
        if (opt == "--bind")
            bind = next();
        else if (opt == "--port")
            port = static_cast<int>(Number(next()));
        else if (opt == "--once")
            once = true;
        else if (opt == "--close-after")
            faults.closeAfter = Number(next());
        else if (opt == "--long")
            faults.longReply[Number(next())] = true;
        else if (opt == "--noterm")
            faults.noTerm[Number(next())] = true;
        else if (opt == "--delay" || opt == "--reply") {
            const char* v = next();
            const char* colon = std::strchr(v, ':');
            if (!colon) Usage();
            long n = Number(v);
            if (opt == "--delay")
                faults.delayMs[n] = static_cast<int>(Number(colon + 1));
            else
                faults.reply[n] = colon + 1;
        } else
            Usage();
    }

    sys::Socket s = sys::Listen(bind.c_str(), port, 4);
    if (s == sys::kNoSocket) {
        std::fprintf(stderr, "bertsim: cannot listen on %s:%d: %s\n", bind.c_str(), port,
                     sys::ErrorText(sys::LastError()));
        return 1;
    }
    Say("LISTEN " + bind + ":" + std::to_string(port));
    for (;;) {
        sockaddr_in peer{};
        sys::Socket fd = sys::Accept(s, peer);
        if (fd == sys::kNoSocket) {
            int err = sys::LastError();
            if (sys::Interrupted(err)) continue;
            std::fprintf(stderr, "bertsim: accept: %s\n", sys::ErrorText(err));
            return 1;
        }
        char text[INET_ADDRSTRLEN] = "";
        inet_ntop(AF_INET, &peer.sin_addr, text, sizeof text);
        Say(std::string("CONNECT ") + text + ":" + std::to_string(ntohs(peer.sin_port)));
        Serve(fd, faults);
        sys::Close(fd);
        if (once) break;
    }
    sys::Close(s);
    return 0;
}
