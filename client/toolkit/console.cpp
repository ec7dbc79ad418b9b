// Console front end: prompts, popups and panel updates as text lines on
// standard output; answers and operator actions as lines on standard input.
//
// Output lines:
//   prompt: "<title>" "<message>"      followed by "> " and the answer
//   popup: "<title>" "<message>"
//   panel <name> shown "<title>"        with its fields and buttons
//   panel <name> hidden
//   <panel>.<key> = "<text>"            a control got a new value
//   <panel>.<key> += "<text>"           a text box got text appended
// Texts are written with C escapes (\n, \", \\, \xNN for other control and
// non-ASCII bytes, see text_escape.h) so every item is one line.
//
// Input lines: a button name presses the button ("confirm", "start",
// "quit"), "<field> <text>" changes a field, "close" closes the panel on top,
// "show" lists the panel on top again.  At the end of the input the console
// presses the "quit" button of the panel on top (or closes it).
#include <chrono>
#include <cstdio>
#include <cstring>
#include <set>

#include "internal.h"
#include "platform/os.h"

namespace tk {
namespace {

class Console : public FrontEnd {
public:
    void Prompt(const char* title, const char* message, char* response, int maxLength) override
    {
        Out("prompt: \"" + EscapeText(title ? title : "") + "\" \"" +
            EscapeText(message ? message : "") + "\"\n> ");
        std::string line;
        if (!ReadLine(line)) Out("(end of input)");
        Out(line + "\n");
        std::size_t n = std::min(line.size(), static_cast<std::size_t>(maxLength));
        std::memcpy(response, line.data(), n);
        response[n] = '\0';
    }

    void Message(const char* title, const char* message) override
    {
        Out("popup: \"" + EscapeText(title ? title : "") + "\" \"" +
            EscapeText(message ? message : "") + "\"\n");
    }

    void PanelLoaded(Panel&) override {}
    void PanelDiscarded(Panel&) override {}

    void PanelShown(Panel& panel, bool shown) override
    {
        if (!shown) {
            Out("panel " + panel.name + " hidden\n");
            return;
        }
        Show(panel);
    }

    void ValueChanged(Panel& panel, Control& c, const char* appended) override
    {
        if (!c.echo || !panel.visible) return;
        std::string name = panel.name + "." + (c.key.empty() ? std::to_string(c.id) : c.key);
        if (c.type == CtrlType::Led)
            Out(name + " = " + std::to_string(c.number) + "\n");
        else if (appended)
            Out(name + " += \"" + EscapeText(appended) + "\"\n");
        else
            Out(name + " = \"" + EscapeText(c.text) + "\"\n");
    }

    void ActiveCtrl(Panel&, Control&) override {}

    void WatchFd(int fd, bool on) override
    {
        if (on)
            fds_.insert(fd);
        else
            fds_.erase(fd);
    }

    void Pump(double timeout) override
    {
        if (HandleLines()) return;
        if (eof_) {
            QuitAtEnd(timeout > 0);
            return;
        }
        std::vector<sys::Socket> sockets(fds_.begin(), fds_.end());
        int ms = timeout <= 0 ? 0 : static_cast<int>(timeout * 1000);
        if (sys::WaitInput(sockets, ms)) {
            ReadMore();
            HandleLines();
        }
    }

private:
    static void Out(const std::string& s)
    {
        std::fwrite(s.data(), 1, s.size(), stdout);
        std::fflush(stdout);
    }

    void Show(Panel& panel)
    {
        std::string s = "panel " + panel.name + " shown \"" + EscapeText(panel.title) + "\"\n";
        std::string buttons;
        for (auto& c : panel.controls) {
            std::string key = c.key.empty() ? std::to_string(c.id) : c.key;
            if (c.type == CtrlType::Button) {
                buttons += " " + key;
                continue;
            }
            if (!c.echo) continue;
            s += "  " + key + " = ";
            if (c.type == CtrlType::Led) {
                s += std::to_string(c.number);
            } else {
                s += '"';
                s += EscapeText(c.text);
                s += '"';
            }
            if (!c.label.empty()) s += "   (" + c.label + ")";
            s += "\n";
        }
        s += "  buttons:" + buttons +
             "   (type a button name to press it, \"<field> <text>\" to change a field)\n";
        Out(s);
    }

    // Reads what standard input has; false at the end of the input.
    bool ReadMore()
    {
        char buf[4096];
        for (;;) {
            long n = sys::ReadInput(buf, sizeof buf);
            if (n > 0) {
                pending_.append(buf, static_cast<std::size_t>(n));
                return true;
            }
            if (n < 0 && sys::Interrupted(sys::LastError())) continue;
            eof_ = true;
            return false;
        }
    }

    bool TakeLine(std::string& line)
    {
        std::size_t nl = pending_.find('\n');
        if (nl == std::string::npos) {
            if (!eof_ || pending_.empty()) return false;
            nl = pending_.size();
        }
        line = pending_.substr(0, nl);
        pending_.erase(0, std::min(nl + 1, pending_.size()));
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return true;
    }

    // Blocking read of one line (prompts are modal).
    bool ReadLine(std::string& line)
    {
        line.clear();
        while (!TakeLine(line)) {
            if (eof_ || !ReadMore()) {
                TakeLine(line);
                return false;
            }
        }
        return true;
    }

    // Applies the complete lines that are pending, up to the first one that
    // posts an event; true when an event was posted.
    bool HandleLines()
    {
        std::string line;
        while (TakeLine(line)) {
            if (line.find_first_not_of(" \t") == std::string::npos) continue;
            if (line == "show") {
                auto v = VisiblePanels();
                if (!v.empty()) Show(*v.front());
                continue;
            }
            std::string reason;
            CommandResult r = ApplyOperatorCommand(line, reason);
            if (r == CommandResult::Event) return true;
            if (r == CommandResult::Later)
                Out("? '" + line + "' is not on the panel shown now\n");
            else if (r == CommandResult::Invalid)
                Out("? " + reason + "\n");
        }
        return false;
    }

    // End of input: press "quit" on the panel on top (or close it), once,
    // and again at most every half second while a loop keeps waiting.
    void QuitAtEnd(bool waiting)
    {
        auto now = std::chrono::steady_clock::now();
        if (quitPosted_ && (!waiting || now - lastQuit_ < std::chrono::milliseconds(500))) {
            if (waiting) sys::SleepSeconds(0.05);
            return;
        }
        auto v = VisiblePanels();
        if (v.empty()) {
            if (waiting) sys::SleepSeconds(0.05);
            return;
        }
        quitPosted_ = true;
        lastQuit_ = now;
        for (auto& c : v.front()->controls) {
            if (c.type == CtrlType::Button && c.key == "quit") {
                PostCommit(v.front()->handle, c.id);
                return;
            }
        }
        PostClose(v.front()->handle);
    }

    std::string pending_;
    bool eof_ = false;
    bool quitPosted_ = false;
    std::chrono::steady_clock::time_point lastQuit_{};
    std::set<int> fds_;
};

}  // namespace

std::unique_ptr<FrontEnd> MakeConsoleFrontEnd()
{
    return std::make_unique<Console>();
}

}  // namespace tk
