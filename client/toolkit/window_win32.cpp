// Window front end on Windows, made of plain Win32 controls.  Panels are
// top-level windows of the class "BertlogPanel" whose client area has the
// panel's size; controls are child windows with the control's id as their
// window id, at the panel file's position and size:
//   textbox  a read-only multi-line EDIT with a vertical scroll bar
//   string   an EDIT (at most `max` characters)
//   output   a read-only EDIT
//   led      a STATIC filled green (on) or dark green (off)
//   button   a BUTTON with the label as its text
// The label of a text control is a STATIC above it, the label of a led a
// STATIC to its right.  Each panel window carries its panel handle as the
// window property "BertlogPanel".  The window procedures only post events
// into the core's queue, so panel and TCP callbacks run when the core
// dispatches, never inside a window procedure.
//
// Test hook: BERTLOG_GUI_SCRIPT as in the FLTK front end (prompt answers,
// message popups dismissed after a moment, "<button>", "<field> <text>",
// "close", "sleep <seconds>", "wait <control>"); "shot" is ignored.
#include "platform/win32/os_names.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <map>
#include <set>

#include "internal.h"
#include "platform/os.h"

namespace tk {
namespace {

const char kPanelClass[] = "BertlogPanel";
const char kDialogClass[] = "BertlogDialog";
const char kPanelProp[] = "BertlogPanel";
const int kLabelId = 0xffff;

struct PanelView {
    HWND window = nullptr;
    std::map<int, HWND> controls;
};

// Shown text of a value: a trailing line terminator is not drawn, and line
// ends are CR LF as an EDIT control wants them.
std::string Shown(const std::string& text, bool multiLine)
{
    std::string s = text;
    if (!multiLine)
        while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\n' && (i == 0 || s[i - 1] != '\r')) out += '\r';
        out += s[i];
    }
    return out;
}

std::string WindowText(HWND h)
{
    int n = GetWindowTextLengthA(h);
    std::string s(static_cast<std::size_t>(n) + 1, '\0');
    GetWindowTextA(h, s.data(), n + 1);
    s.resize(std::strlen(s.c_str()));
    return s;
}

double Now()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

HFONT UiFont()
{
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

HFONT FixedFont()
{
    return static_cast<HFONT>(GetStockObject(ANSI_FIXED_FONT));
}

// Width in pixels of a text in the UI font.
int TextWidth(HWND parent, const std::string& text)
{
    HDC dc = GetDC(parent);
    HGDIOBJ old = SelectObject(dc, UiFont());
    SIZE size{0, 0};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(parent, dc);
    return size.cx;
}

HWND Child(HWND parent, const char* cls, const char* text, DWORD style, int x, int y, int w, int h,
           int id, HFONT font)
{
    HWND c = CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                             reinterpret_cast<HMENU>(static_cast<std::intptr_t>(id)),
                             GetModuleHandleA(nullptr), nullptr);
    if (c) SendMessageA(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return c;
}

// Outer size of a window whose client area is w x h.
SIZE OuterSize(DWORD style, int w, int h)
{
    RECT r{0, 0, w, h};
    AdjustWindowRectEx(&r, style, FALSE, 0);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

// A modal dialog: message, optional input, OK (and Cancel for prompts).
struct DialogState {
    bool done = false;
    bool ok = false;
    HWND input = nullptr;
};

LRESULT CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    auto* st = reinterpret_cast<DialogState*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    switch (msg) {
        case WM_COMMAND:
            if (st && (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL)) {
                st->ok = LOWORD(wp) == IDOK;
                st->done = true;
                return 0;
            }
            break;
        case WM_CLOSE:
            if (st) st->done = true;
            return 0;
        case DM_GETDEFID:
            return MAKELRESULT(IDOK, DC_HASDEFID);
        default:
            break;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

class Window;
Window* g_window = nullptr;  // the one front end, for the window procedure

class Window : public FrontEnd {
public:
    Window()
    {
        g_window = this;
        const char* script = std::getenv("BERTLOG_GUI_SCRIPT");
        if (script && *script) {
            std::ifstream in(script);
            std::string line;
            while (std::getline(in, line)) {
                if (!line.empty() && line.back() == '\r') line.pop_back();
                script_.push_back(line);
            }
            scripted_ = true;
        }
        ledOn_ = CreateSolidBrush(RGB(0, 230, 0));
        ledOff_ = CreateSolidBrush(RGB(0, 80, 0));
    }

    ~Window() override
    {
        for (auto& [handle, v] : views_) DestroyWindow(v.window);
        DeleteObject(ledOn_);
        DeleteObject(ledOff_);
        g_window = nullptr;
    }

    void Prompt(const char* title, const char* message, char* response, int maxLength) override
    {
        std::string text;
        bool ok = RunDialog(title, message, true, maxLength, text);
        if (!ok) text.clear();
        std::size_t n = std::min(text.size(), static_cast<std::size_t>(maxLength));
        std::memcpy(response, text.data(), n);
        response[n] = '\0';
    }

    void Message(const char* title, const char* message) override
    {
        if (scripted_) {
            std::printf("popup: \"%s\" \"%s\"\n", EscapeText(title ? title : "").c_str(),
                        EscapeText(message ? message : "").c_str());
            std::fflush(stdout);
        }
        std::string unused;
        RunDialog(title, message, false, 0, unused);
    }

    void PanelLoaded(Panel& panel) override
    {
        DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
        SIZE outer = OuterSize(style, panel.w, panel.h);
        HWND win = CreateWindowExA(0, kPanelClass, panel.title.c_str(), style, CW_USEDEFAULT,
                                   CW_USEDEFAULT, outer.cx, outer.cy, nullptr, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
        if (!win) return;
        SetPropA(win, kPanelProp, reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(panel.handle)));
        PanelView& v = views_[panel.handle];
        v.window = win;
        for (Control& c : panel.controls) {
            HWND h = nullptr;
            switch (c.type) {
                case CtrlType::TextBox:
                    h = Child(win, "EDIT", "",
                              WS_BORDER | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
                              c.x, c.y, c.w, c.h, c.id, FixedFont());
                    if (h) SendMessageA(h, EM_SETLIMITTEXT, 0, 0);  // as much as the system allows
                    break;
                case CtrlType::String:
                    h = Child(win, "EDIT", "", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, c.x, c.y,
                              c.w, c.h, c.id, UiFont());
                    if (h) SendMessageA(h, EM_SETLIMITTEXT, static_cast<WPARAM>(c.maxLength), 0);
                    break;
                case CtrlType::Output:
                    h = Child(win, "EDIT", "", WS_BORDER | ES_AUTOHSCROLL | ES_READONLY, c.x, c.y,
                              c.w, c.h, c.id, UiFont());
                    break;
                case CtrlType::Led:
                    h = Child(win, "STATIC", "", SS_NOTIFY | WS_BORDER, c.x, c.y, c.w, c.h, c.id,
                              UiFont());
                    break;
                case CtrlType::Button:
                    h = Child(win, "BUTTON", c.label.c_str(), WS_TABSTOP | BS_PUSHBUTTON, c.x, c.y,
                              c.w, c.h, c.id, UiFont());
                    break;
            }
            if (!h) continue;
            v.controls[c.id] = h;
            if (c.type == CtrlType::Led) leds_[h] = &c;
            if (!c.label.empty() && c.type != CtrlType::Button) {
                int tw = TextWidth(win, c.label) + 4;
                if (c.type == CtrlType::Led)
                    Child(win, "STATIC", c.label.c_str(), SS_LEFT | SS_CENTERIMAGE, c.x + c.w + 4,
                          c.y, tw, c.h, kLabelId, UiFont());
                else
                    Child(win, "STATIC", c.label.c_str(), SS_LEFT, c.x, c.y - 17,
                          std::max(tw, c.w), 16, kLabelId, UiFont());
            }
            Update(panel, c, nullptr);
        }
    }

    void PanelDiscarded(Panel& panel) override
    {
        auto it = views_.find(panel.handle);
        if (it == views_.end()) return;
        for (auto& [id, h] : it->second.controls) leds_.erase(h);
        RemovePropA(it->second.window, kPanelProp);
        DestroyWindow(it->second.window);
        views_.erase(it);
    }

    void PanelShown(Panel& panel, bool shown) override
    {
        auto it = views_.find(panel.handle);
        if (it == views_.end()) return;
        HWND w = it->second.window;
        if (shown) {
            ShowWindow(w, SW_SHOW);
            SetWindowPos(w, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
            SetForegroundWindow(w);
        } else {
            ShowWindow(w, SW_HIDE);
        }
    }

    void ValueChanged(Panel& panel, Control& c, const char* appended) override
    {
        Update(panel, c, appended);
    }

    void ActiveCtrl(Panel& panel, Control& c) override
    {
        if (HWND h = Handle(panel.handle, c.id)) SetFocus(h);
    }

    void WatchFd(int fd, bool on) override
    {
        if (on)
            watched_.insert(fd);
        else
            watched_.erase(fd);
    }

    void Pump(double timeout) override
    {
        if (scripted_) RunScript();
        if (Drain() || timeout <= 0) return;
        double end = Now() + timeout;
        for (;;) {
            for (int fd : watched_)
                if (sys::Wait(static_cast<sys::Socket>(fd), false, 0) != 0) return;
            double left = end - Now();
            if (left <= 0) return;
            // Short slices: the sockets are looked at between them.
            DWORD ms = watched_.empty() && !scripted_
                           ? static_cast<DWORD>(left * 1000) + 1
                           : static_cast<DWORD>(std::min(left * 1000, 10.0)) + 1;
            if (MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, QS_ALLINPUT) == WAIT_OBJECT_0 &&
                Drain())
                return;
            if (scripted_) {
                RunScript();
                if (PendingEvents()) return;
            }
        }
    }

    // --- window procedure ----------------------------------------------------
    LRESULT PanelMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
    {
        int panel = static_cast<int>(reinterpret_cast<std::intptr_t>(GetPropA(hwnd, kPanelProp)));
        switch (msg) {
            case WM_COMMAND: {
                int id = LOWORD(wp);
                int code = HIWORD(wp);
                Panel* p = FindPanel(panel);
                Control* c = p ? FindControl(*p, id) : nullptr;
                if (!c) break;
                if (c->type == CtrlType::Button && code == BN_CLICKED) {
                    PostCommit(panel, id);
                    return 0;
                }
                if (c->type == CtrlType::String && code == EN_CHANGE && !updating_) {
                    UserSetValue(panel, id, WindowText(reinterpret_cast<HWND>(lp)), false);
                    return 0;
                }
                break;
            }
            case WM_CTLCOLORSTATIC: {
                auto led = leds_.find(reinterpret_cast<HWND>(lp));
                if (led != leds_.end())
                    return reinterpret_cast<LRESULT>(led->second->number ? ledOn_ : ledOff_);
                break;
            }
            case WM_CLOSE:
                if (panel) PostClose(panel);
                return 0;
            default:
                break;
        }
        return DefWindowProcA(hwnd, msg, wp, lp);
    }

private:
    HWND Handle(int panel, int control)
    {
        auto it = views_.find(panel);
        if (it == views_.end()) return nullptr;
        auto h = it->second.controls.find(control);
        return h == it->second.controls.end() ? nullptr : h->second;
    }

    void Update(Panel& panel, Control& c, const char* appended)
    {
        HWND h = Handle(panel.handle, c.id);
        if (!h) return;
        updating_ = true;
        switch (c.type) {
            case CtrlType::TextBox: {
                if (appended) {
                    // The text so far may end in a bare line feed that was
                    // shown as CR LF: convert the new part on its own.
                    std::string add = Shown(appended, true);
                    if (!add.empty() && add[0] == '\r' && c.text.size() > std::strlen(appended) &&
                        c.text[c.text.size() - std::strlen(appended) - 1] == '\r')
                        add.erase(0, 1);
                    int n = GetWindowTextLengthA(h);
                    SendMessageA(h, EM_SETSEL, static_cast<WPARAM>(n), static_cast<LPARAM>(n));
                    SendMessageA(h, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(add.c_str()));
                } else {
                    SetWindowTextA(h, Shown(c.text, true).c_str());
                }
                int n = GetWindowTextLengthA(h);
                SendMessageA(h, EM_SETSEL, static_cast<WPARAM>(n), static_cast<LPARAM>(n));
                SendMessageA(h, EM_SCROLLCARET, 0, 0);
                break;
            }
            case CtrlType::String:
            case CtrlType::Output:
                SetWindowTextA(h, Shown(c.text, false).c_str());
                break;
            case CtrlType::Led:
                InvalidateRect(h, nullptr, TRUE);
                break;
            case CtrlType::Button:
                break;
        }
        updating_ = false;
    }

    // Dispatches the messages waiting; true when one of them posted an event.
    bool Drain()
    {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            HWND top = m.hwnd ? GetAncestor(m.hwnd, GA_ROOT) : nullptr;
            if (top && IsDialogMessageA(top, &m)) continue;
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
        return PendingEvents();
    }

    bool RunDialog(const char* title, const char* message, bool prompt, int maxLength,
                   std::string& text)
    {
        const int w = 440, h = prompt ? 190 : 150;
        DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
        SIZE outer = OuterSize(style, w, h);
        HWND dlg = CreateWindowExA(WS_EX_DLGMODALFRAME | WS_EX_TOPMOST, kDialogClass,
                                   title ? title : "", style, CW_USEDEFAULT, CW_USEDEFAULT,
                                   outer.cx, outer.cy, nullptr, nullptr, GetModuleHandleA(nullptr),
                                   nullptr);
        if (!dlg) return false;
        DialogState st;
        SetWindowLongPtrA(dlg, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&st));
        Child(dlg, "STATIC", Shown(message ? message : "", true).c_str(), SS_LEFT, 15, 10, 410,
              prompt ? 100 : 90, kLabelId, UiFont());
        if (prompt) {
            st.input = Child(dlg, "EDIT", "", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 15, 115, 410,
                             26, 100, UiFont());
            SendMessageA(st.input, EM_SETLIMITTEXT, static_cast<WPARAM>(std::max(maxLength, 1)),
                         0);
        }
        Child(dlg, "BUTTON", "OK", WS_TABSTOP | BS_DEFPUSHBUTTON, prompt ? 215 : 325, h - 40, 100,
              28, IDOK, UiFont());
        if (prompt)
            Child(dlg, "BUTTON", "Cancel", WS_TABSTOP | BS_PUSHBUTTON, 325, h - 40, 100, 28,
                  IDCANCEL, UiFont());
        // Modal: the panels take no input while the dialog is up.
        std::vector<HWND> disabled;
        for (auto& [handle, v] : views_)
            if (IsWindowEnabled(v.window)) {
                EnableWindow(v.window, FALSE);
                disabled.push_back(v.window);
            }
        ShowWindow(dlg, SW_SHOW);
        SetForegroundWindow(dlg);
        SetFocus(st.input ? st.input : GetDlgItem(dlg, IDOK));
        double answerAt = scripted_ ? Now() + 0.3 : 0;
        while (!st.done) {
            if (answerAt > 0 && Now() >= answerAt) {
                std::string line;
                if (prompt && !script_.empty()) {
                    line = script_.front();
                    script_.pop_front();
                }
                if (st.input) SetWindowTextA(st.input, line.c_str());
                st.ok = st.done = true;
                break;
            }
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            MSG m;
            while (!st.done && PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
                if (IsDialogMessageA(dlg, &m)) continue;
                TranslateMessage(&m);
                DispatchMessageA(&m);
            }
        }
        if (st.input) text = WindowText(st.input);
        for (HWND v : disabled) EnableWindow(v, TRUE);
        DestroyWindow(dlg);
        return st.ok;
    }

    // --- scripted driver ---------------------------------------------------
    Control* FindVisible(const std::string& key, Panel** owner)
    {
        for (Panel* p : VisiblePanels())
            for (Control& c : p->controls)
                if (c.key == key) {
                    *owner = p;
                    return &c;
                }
        return nullptr;
    }

    void RunScript()
    {
        while (!script_.empty() && Now() >= resume_) {
            std::string line = script_.front();
            std::string word = line.substr(0, line.find(' '));
            std::string rest = line.size() > word.size() ? line.substr(word.size() + 1) : "";
            if (word.empty() || word == "shot") {
                script_.pop_front();
                continue;
            }
            if (word == "sleep") {
                resume_ = Now() + std::atof(rest.c_str());
                script_.pop_front();
                return;
            }
            Panel* p = nullptr;
            if (word == "wait") {
                Control* c = FindVisible(rest, &p);
                if (waitSince_ == 0) waitSince_ = Now();
                if ((!c || c->text.empty()) && Now() - waitSince_ < 30) return;
                waitSince_ = 0;
                script_.pop_front();
                continue;
            }
            if (word == "close") {
                auto v = VisiblePanels();
                if (v.empty()) return;
                script_.pop_front();
                SendMessageA(views_[v.front()->handle].window, WM_CLOSE, 0, 0);
                return;
            }
            Control* c = FindVisible(word, &p);
            if (!c) {
                // Its panel is not shown yet.
                if (waitSince_ == 0) waitSince_ = Now();
                if (Now() - waitSince_ < 30) return;
                std::fprintf(stderr, "bertlog script: no control %s\n", word.c_str());
                waitSince_ = 0;
                script_.pop_front();
                continue;
            }
            waitSince_ = 0;
            script_.pop_front();
            HWND h = Handle(p->handle, c->id);
            if (!h) continue;
            if (c->type == CtrlType::String) {
                SetWindowTextA(h, rest.c_str());  // EN_CHANGE passes it on
                continue;
            }
            if (c->type == CtrlType::Button) {
                SendMessageA(GetParent(h), WM_COMMAND, MAKEWPARAM(c->id, BN_CLICKED),
                             reinterpret_cast<LPARAM>(h));
                return;
            }
        }
    }

    std::map<int, PanelView> views_;
    std::map<HWND, Control*> leds_;
    std::set<int> watched_;
    HBRUSH ledOn_ = nullptr, ledOff_ = nullptr;
    bool updating_ = false;  // our own SetWindowText is not operator input
    bool scripted_ = false;
    std::deque<std::string> script_;
    double resume_ = 0;
    double waitSince_ = 0;
};

LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (g_window) return g_window->PanelMessage(hwnd, msg, wp, lp);
    return DefWindowProcA(hwnd, msg, wp, lp);
}

bool RegisterClasses()
{
    static bool done = false;
    if (done) return true;
    HINSTANCE inst = GetModuleHandleA(nullptr);
    WNDCLASSA pc{};
    pc.lpfnWndProc = PanelProc;
    pc.hInstance = inst;
    pc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    pc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    pc.lpszClassName = kPanelClass;
    WNDCLASSA dc = pc;
    dc.lpfnWndProc = DialogProc;
    dc.lpszClassName = kDialogClass;
    if (!RegisterClassA(&pc) || !RegisterClassA(&dc)) return false;
    done = true;
    return true;
}

// Under Wine, windows need an X display (DISPLAY) or a graphics driver
// chosen in the registry (such as the null one).  Without either, the first
// window would start a desktop process that cannot draw and that keeps this
// program's inherited pipes open, so it is not tried.
bool WineWithoutDisplay()
{
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    if (!ntdll || !GetProcAddress(ntdll, "wine_get_version")) return false;
    const char* display = std::getenv("DISPLAY");
    if (display && *display) return false;
    char driver[64] = "";
    DWORD size = sizeof driver;
    LSTATUS rc = RegGetValueA(HKEY_CURRENT_USER, "Software\\Wine\\Drivers", "Graphics",
                              RRF_RT_REG_SZ, nullptr, driver, &size);
    return rc != ERROR_SUCCESS || !*driver;
}

}  // namespace

std::unique_ptr<FrontEnd> MakeWindowFrontEnd()
{
    if (WineWithoutDisplay()) return nullptr;
    if (!RegisterClasses()) return nullptr;
    // No window can be made (for example a service without a desktop, or
    // Wine without a graphics driver): as without a display elsewhere.
    HWND probe = CreateWindowExA(0, kPanelClass, "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    if (!probe) return nullptr;
    DestroyWindow(probe);
    return std::make_unique<Window>();
}

}  // namespace tk
