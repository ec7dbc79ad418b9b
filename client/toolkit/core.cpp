// Toolkit core: start and end, callback binding, panels and controls, and
// the event loop.  Front ends only post events into the queue; callbacks run
// when RunUserInterface, ProcessSystemEvents or GetUserEvent take them out.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <map>
#include <sstream>

#include "internal.h"
#include "platform/os.h"

namespace tk {
namespace {

struct Event {
    int kind;  // EVENT_COMMIT or EVENT_CLOSE
    int panel;
    int control;
};

struct Core {
    bool initialised = false;
    std::unique_ptr<FrontEnd> front;
    std::map<int, std::unique_ptr<Panel>> panels;
    int nextPanel = 1;
    unsigned long showCounter = 0;
    std::deque<Event> queue;
    int loopDepth = 0;
    bool quitRequested = false;
    int quitCode = 0;
};

Core& core()
{
    static Core c;
    return c;
}

std::map<std::string, PanelCallbackPtr>& panelCallbacks()
{
    static std::map<std::string, PanelCallbackPtr> m;
    return m;
}

std::map<std::string, CtrlCallbackPtr>& ctrlCallbacks()
{
    static std::map<std::string, CtrlCallbackPtr> m;
    return m;
}

// The front end asked for: the console one, the window one, or (empty) the
// window one when a display can be opened and the console one otherwise.
std::unique_ptr<FrontEnd> MakeFrontEnd()
{
    const char* fe = std::getenv("BERTLOG_FRONTEND");
    if (fe && std::strcmp(fe, "console") == 0) return MakeConsoleFrontEnd();
    if (fe && std::strcmp(fe, "window") == 0) {
        auto w = MakeWindowFrontEnd();
        if (!w)
            std::fprintf(stderr,
                         "bertlog: no window front end (no X display, or built without FLTK)\n");
        return w;
    }
    const char* display = std::getenv("DISPLAY");
    if (display && *display)
        if (auto w = MakeWindowFrontEnd()) return w;
    return MakeConsoleFrontEnd();
}

// Calls the callback an event is meant for.
void Dispatch(const Event& e)
{
    Panel* p = FindPanel(e.panel);
    if (!p) return;
    if (e.kind == EVENT_CLOSE) {
        if (p->callback) p->callback(e.panel, EVENT_CLOSE, nullptr, 0, 0);
        return;
    }
    Control* c = FindControl(*p, e.control);
    if (c && c->callback) c->callback(e.panel, e.control, EVENT_COMMIT, nullptr, 0, 0);
}

Control* Lookup(int panel, int control, int& status)
{
    if (!core().initialised) {
        status = UIE_NotInitialized;
        return nullptr;
    }
    Panel* p = FindPanel(panel);
    if (!p) {
        status = UIE_InvalidPanel;
        return nullptr;
    }
    Control* c = FindControl(*p, control);
    status = c ? 0 : UIE_InvalidControl;
    return c;
}

}  // namespace

FrontEnd* Front()
{
    return core().front.get();
}

Panel* FindPanel(int handle)
{
    auto it = core().panels.find(handle);
    return it == core().panels.end() ? nullptr : it->second.get();
}

std::vector<Panel*> VisiblePanels()
{
    std::vector<Panel*> out;
    for (auto& [h, p] : core().panels)
        if (p->visible) out.push_back(p.get());
    std::sort(out.begin(), out.end(),
              [](const Panel* a, const Panel* b) { return a->shownOrder > b->shownOrder; });
    return out;
}

void PostCommit(int panel, int control)
{
    core().queue.push_back({EVENT_COMMIT, panel, control});
}

void PostClose(int panel)
{
    core().queue.push_back({EVENT_CLOSE, panel, 0});
}

bool PendingEvents()
{
    return !core().queue.empty();
}

void UserSetValue(int panel, int control, const std::string& text, bool notify)
{
    int status = 0;
    Control* c = Lookup(panel, control, status);
    if (!c) return;
    c->text = text.substr(0, static_cast<std::size_t>(c->maxLength));
    if (notify && core().front) core().front->ValueChanged(*FindPanel(panel), *c, nullptr);
}

CommandResult ApplyOperatorCommand(const std::string& line, std::string& reason)
{
    reason.clear();
    std::size_t b = line.find_first_not_of(" \t");
    if (b == std::string::npos) return CommandResult::Value;
    std::size_t e = line.find_first_of(" \t", b);
    std::string word = line.substr(b, e == std::string::npos ? std::string::npos : e - b);
    std::string rest;
    if (e != std::string::npos) {
        std::size_t r = line.find_first_not_of(" \t", e);
        if (r != std::string::npos) rest = line.substr(r);
    }
    auto panels = VisiblePanels();
    if (word == "close") {
        if (panels.empty())
            return core().panels.empty() ? CommandResult::Invalid : CommandResult::Later;
        PostClose(panels.front()->handle);
        return CommandResult::Event;
    }
    for (Panel* p : panels) {
        for (Control& c : p->controls) {
            if (c.key != word) continue;
            if (c.type == CtrlType::Button) {
                if (!rest.empty()) {
                    reason = "'" + word + "' takes no value";
                    return CommandResult::Invalid;
                }
                PostCommit(p->handle, c.id);
                return CommandResult::Event;
            }
            if (c.type == CtrlType::String) {
                UserSetValue(p->handle, c.id, rest, true);
                return CommandResult::Value;
            }
            reason = "'" + word + "' cannot be changed";
            return CommandResult::Invalid;
        }
    }
    for (auto& [h, p] : core().panels)
        if (!p->visible)
            for (Control& c : p->controls)
                if (c.key == word) return CommandResult::Later;
    reason = "no control '" + word + "' on the panels shown";
    return CommandResult::Invalid;
}

}  // namespace tk

using namespace tk;

// ---------------------------------------------------------------------------
int InitRunTime(int, char*[])
{
    Core& c = core();
    if (c.initialised) return 1;
    c.front = MakeFrontEnd();
    if (!c.front) return 0;
    c.initialised = true;
    c.quitRequested = false;
    return 1;
}

void CloseRunTime()
{
    Core& c = core();
    if (!c.initialised) return;
    CloseAllConversations();
    while (!c.panels.empty()) DiscardPanel(c.panels.begin()->first);
    c.queue.clear();
    c.front.reset();
    c.initialised = false;
}

int DisableBreakOnLibraryErrors()
{
    return 0;
}

void RegisterPanelCallback(const char* name, PanelCallbackPtr fn)
{
    panelCallbacks()[name] = fn;
}

void RegisterCtrlCallback(const char* name, CtrlCallbackPtr fn)
{
    ctrlCallbacks()[name] = fn;
}

// ---------------------------------------------------------------------------
int PromptPopup(const char* title, const char* message, char* response, int maxLength)
{
    if (!response || maxLength < 0) return UIE_TypeMismatch;
    response[0] = '\0';
    if (!core().front) return UIE_NotInitialized;
    core().front->Prompt(title, message, response, maxLength);
    response[maxLength] = '\0';
    return 0;
}

int MessagePopup(const char* title, const char* message)
{
    if (!core().front) return UIE_NotInitialized;
    core().front->Message(title, message);
    return 0;
}

// ---------------------------------------------------------------------------
int LoadPanel(int, const char* fileName, int resourceId)
{
    Core& c = core();
    if (!c.initialised) return UIE_NotInitialized;
    if (!fileName || !*fileName) return UIE_FileNotFound;
    std::string path = fileName;
    if (!sys::IsAbsolutePath(path.c_str())) {
        char dir[4096];
        if (GetProjectDirN(dir, sizeof dir) < 0) return UIE_FileNotFound;
        path = std::string(dir) + BERTLOG_DIR_SEP + path;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) return UIE_FileNotFound;
    std::stringstream ss;
    ss << in.rdbuf();
    auto p = std::make_unique<Panel>();
    std::string error;
    int status = ParsePanelText(ss.str(), resourceId, *p, error);
    if (status < 0) {
        std::fprintf(stderr, "bertlog: panel file %s: %s\n", path.c_str(), error.c_str());
        return status;
    }
    if (!p->callbackName.empty()) {
        auto it = panelCallbacks().find(p->callbackName);
        if (it == panelCallbacks().end()) {
            std::fprintf(stderr, "bertlog: panel file %s: unknown callback %s\n", path.c_str(),
                         p->callbackName.c_str());
            return UIE_UnknownCallback;
        }
        p->callback = it->second;
    }
    for (auto& ctl : p->controls) {
        if (ctl.callbackName.empty()) continue;
        auto it = ctrlCallbacks().find(ctl.callbackName);
        if (it == ctrlCallbacks().end()) {
            std::fprintf(stderr, "bertlog: panel file %s: unknown callback %s\n", path.c_str(),
                         ctl.callbackName.c_str());
            return UIE_UnknownCallback;
        }
        ctl.callback = it->second;
    }
    if (p->name.empty()) p->name = "panel";
    p->handle = c.nextPanel++;
    Panel& ref = *p;
    c.panels[ref.handle] = std::move(p);
    c.front->PanelLoaded(ref);
    return ref.handle;
}

int DisplayPanel(int panel)
{
    if (!core().initialised) return UIE_NotInitialized;
    Panel* p = FindPanel(panel);
    if (!p) return UIE_InvalidPanel;
    p->shownOrder = ++core().showCounter;
    if (!p->visible) {
        p->visible = true;
        core().front->PanelShown(*p, true);
    }
    return 0;
}

int HidePanel(int panel)
{
    if (!core().initialised) return UIE_NotInitialized;
    Panel* p = FindPanel(panel);
    if (!p) return UIE_InvalidPanel;
    if (p->visible) {
        p->visible = false;
        core().front->PanelShown(*p, false);
    }
    return 0;
}

int DiscardPanel(int panel)
{
    Core& c = core();
    if (!c.initialised) return UIE_NotInitialized;
    auto it = c.panels.find(panel);
    if (it == c.panels.end()) return UIE_InvalidPanel;
    if (it->second->visible) {
        it->second->visible = false;
        c.front->PanelShown(*it->second, false);
    }
    c.front->PanelDiscarded(*it->second);
    c.panels.erase(it);
    return 0;
}

int SetActiveCtrl(int panel, int control)
{
    int status = 0;
    Control* c = Lookup(panel, control, status);
    if (!c) return status;
    core().front->ActiveCtrl(*FindPanel(panel), *c);
    return 0;
}

int ResetTextBox(int panel, int control, const char* text)
{
    int status = 0;
    Control* c = Lookup(panel, control, status);
    if (!c) return status;
    if (c->type != CtrlType::TextBox) return UIE_TypeMismatch;
    c->text = text ? text : "";
    core().front->ValueChanged(*FindPanel(panel), *c, nullptr);
    return 0;
}

int SetCtrlVal(int panel, int control, const char* text)
{
    int status = 0;
    Control* c = Lookup(panel, control, status);
    if (!c) return status;
    if (!text) text = "";
    if (c->type == CtrlType::Led) return UIE_TypeMismatch;
    if (c->type == CtrlType::TextBox) {
        c->text += text;
        core().front->ValueChanged(*FindPanel(panel), *c, text);
    } else {
        c->text = text;
        core().front->ValueChanged(*FindPanel(panel), *c, nullptr);
    }
    return 0;
}

int SetCtrlVal(int panel, int control, int value)
{
    int status = 0;
    Control* c = Lookup(panel, control, status);
    if (!c) return status;
    if (c->type != CtrlType::Led) return SetCtrlVal(panel, control, std::to_string(value).c_str());
    c->number = value;
    core().front->ValueChanged(*FindPanel(panel), *c, nullptr);
    return 0;
}

int GetCtrlValText(int panel, int control, char* buffer, std::size_t size)
{
    if (!buffer || size == 0) return UIE_TypeMismatch;
    buffer[0] = '\0';
    int status = 0;
    Control* c = Lookup(panel, control, status);
    if (!c) return status;
    std::string v = c->type == CtrlType::Led ? std::to_string(c->number) : c->text;
    std::size_t n = std::min(v.size(), size - 1);
    std::memcpy(buffer, v.data(), n);
    buffer[n] = '\0';
    return 0;
}

int GetCtrlVal(int panel, int control, int* value)
{
    int status = 0;
    Control* c = Lookup(panel, control, status);
    if (!c) return status;
    if (!value) return UIE_TypeMismatch;
    *value = c->type == CtrlType::Led ? c->number : std::atoi(c->text.c_str());
    return 0;
}

// ---------------------------------------------------------------------------
int ProcessSystemEvents()
{
    Core& c = core();
    if (!c.initialised) return 0;
    c.front->Pump(0);
    // Only what was pending on entry: events posted by the callbacks run
    // here wait for the next call.
    std::size_t n = c.queue.size();
    for (std::size_t k = 0; k < n && !c.queue.empty(); ++k) {
        Event e = c.queue.front();
        c.queue.pop_front();
        Dispatch(e);
    }
    DispatchTcpEvents();
    return 0;
}

int RunUserInterface()
{
    Core& c = core();
    ++c.loopDepth;
    c.quitRequested = false;
    while (!c.quitRequested && c.initialised) {
        bool busy = !c.queue.empty() || TcpPending();
        c.front->Pump(busy ? 0 : 0.25);
        while (!c.quitRequested && !c.queue.empty()) {
            Event e = c.queue.front();
            c.queue.pop_front();
            Dispatch(e);
        }
        if (!c.quitRequested) DispatchTcpEvents();
    }
    --c.loopDepth;
    c.quitRequested = false;
    return c.quitCode;
}

int QuitUserInterface(int returnCode)
{
    Core& c = core();
    if (c.loopDepth > 0) {
        c.quitRequested = true;
        c.quitCode = returnCode;
    }
    return 0;
}

int GetUserEvent(int wait, int* panel, int* control)
{
    Core& c = core();
    for (;;) {
        if (!c.initialised) return 0;
        while (!c.queue.empty()) {
            Event e = c.queue.front();
            c.queue.pop_front();
            Dispatch(e);
            if (e.kind == EVENT_COMMIT && FindPanel(e.panel)) {
                if (panel) *panel = e.panel;
                if (control) *control = e.control;
                return EVENT_COMMIT;
            }
        }
        DispatchTcpEvents();
        if (!c.initialised) return 0;
        if (!c.queue.empty()) continue;
        if (!wait) {
            c.front->Pump(0);
            if (c.queue.empty()) return 0;
        } else {
            c.front->Pump(TcpPending() ? 0 : 0.25);
        }
    }
}
