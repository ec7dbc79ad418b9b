// Window front end (FLTK).  Panels are windows, controls are widgets; the
// widgets' callbacks only post events into the core's queue, so panel and
// TCP callbacks run when the core dispatches, never inside FLTK.
//
// Test hook: BERTLOG_GUI_SCRIPT names a file of lines that drive the front
// end as an operator would:
//   - each prompt takes the next line as its answer (typed into the dialog,
//     then OK pressed); message popups are dismissed after a moment;
//   - between popups, lines act on the panels shown: "<button>" presses a
//     button, "<field> <text>" types into a field, "close" closes the panel
//     on top, "sleep <seconds>" waits, "wait <control>" waits (at most 30 s)
//     until the control shows a text, "shot <file>" saves the panel on top
//     as a PPM image.
#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Input.H>
#include <FL/Fl_Output.H>
#include <FL/Fl_Return_Button.H>
#include <FL/Fl_Text_Buffer.H>
#include <FL/Fl_Text_Display.H>
#include <FL/fl_draw.H>
#include <FL/x.H>
#include <X11/Xlib.h>

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

namespace tk {
namespace {

struct PanelView {
    Fl_Double_Window* window = nullptr;
    std::map<int, Fl_Widget*> widgets;
    std::map<int, Fl_Text_Buffer*> buffers;
};

void* Tag(int panel, int control)
{
    return reinterpret_cast<void*>(static_cast<std::intptr_t>(panel) << 16 | control);
}

void Untag(void* tag, int& panel, int& control)
{
    auto v = reinterpret_cast<std::intptr_t>(tag);
    panel = static_cast<int>(v >> 16);
    control = static_cast<int>(v & 0xffff);
}

// Shown text of a value: a trailing line terminator is not drawn.
std::string Shown(const std::string& text)
{
    std::string s = text;
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
    return s;
}

void ButtonCb(Fl_Widget*, void* tag)
{
    int panel, control;
    Untag(tag, panel, control);
    PostCommit(panel, control);
}

void InputCb(Fl_Widget* w, void* tag)
{
    int panel, control;
    Untag(tag, panel, control);
    UserSetValue(panel, control, static_cast<Fl_Input*>(w)->value(), false);
}

void WindowCb(Fl_Widget*, void* tag)
{
    int panel, control;
    Untag(tag, panel, control);
    PostClose(panel);
}

// A modal dialog: message, optional input, OK (and Cancel for prompts).
class Dialog {
public:
    Dialog(const char* title, const char* message, bool prompt, int maxLength)
    {
        int h = prompt ? 190 : 150;
        win_ = new Fl_Window(440, h, title);
        win_->copy_label(title);
        auto* box = new Fl_Box(15, 10, 410, prompt ? 100 : 90);
        box->copy_label(message);
        box->align(FL_ALIGN_INSIDE | FL_ALIGN_LEFT | FL_ALIGN_TOP | FL_ALIGN_WRAP);
        if (prompt) {
            input_ = new Fl_Input(15, 115, 410, 26);
            input_->maximum_size(maxLength);
        }
        auto* ok = new Fl_Return_Button(prompt ? 215 : 325, h - 40, 100, 28, "OK");
        ok->callback(OkCb, this);
        if (prompt) {
            auto* cancel = new Fl_Button(325, h - 40, 100, 28, "Cancel");
            cancel->callback(CancelCb, this);
        }
        win_->end();
        win_->set_modal();
        win_->callback(CancelCb, this);
    }
    ~Dialog() { delete win_; }

    // Runs the dialog; true when OK was pressed.
    bool Run()
    {
        win_->show();
        while (win_->shown()) Fl::wait();
        return ok_;
    }
    void Answer(const char* text)
    {
        if (input_) input_->value(text);
        ok_ = true;
        win_->hide();
    }
    std::string Text() const { return input_ ? input_->value() : ""; }

private:
    static void OkCb(Fl_Widget*, void* d)
    {
        auto* self = static_cast<Dialog*>(d);
        self->ok_ = true;
        self->win_->hide();
    }
    static void CancelCb(Fl_Widget*, void* d)
    {
        auto* self = static_cast<Dialog*>(d);
        self->ok_ = false;
        self->win_->hide();
    }
    Fl_Window* win_ = nullptr;
    Fl_Input* input_ = nullptr;
    bool ok_ = false;
};

class Window : public FrontEnd {
public:
    Window()
    {
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
        Fl::scheme("gtk+");
    }

    ~Window() override
    {
        for (int fd : armed_) Fl::remove_fd(fd);
        Fl::flush();
    }

    void Prompt(const char* title, const char* message, char* response, int maxLength) override
    {
        Dialog d(title, message, true, maxLength);
        dialog_ = &d;
        if (scripted_) Fl::add_timeout(0.3, AnswerCb, this);
        bool ok = d.Run();
        Fl::remove_timeout(AnswerCb, this);
        dialog_ = nullptr;
        std::string text = ok ? d.Text() : "";
        std::size_t n = std::min(text.size(), static_cast<std::size_t>(maxLength));
        std::memcpy(response, text.data(), n);
        response[n] = '\0';
    }

    void Message(const char* title, const char* message) override
    {
        Dialog d(title, message, false, 0);
        dialog_ = &d;
        if (scripted_) {
            std::printf("popup: \"%s\" \"%s\"\n", EscapeText(title).c_str(),
                        EscapeText(message).c_str());
            std::fflush(stdout);
            Fl::add_timeout(0.3, DismissCb, this);
        }
        d.Run();
        Fl::remove_timeout(DismissCb, this);
        dialog_ = nullptr;
    }

    void PanelLoaded(Panel& panel) override
    {
        Fl_Group::current(nullptr);
        PanelView& v = views_[panel.handle];
        v.window = new Fl_Double_Window(panel.w, panel.h);
        v.window->copy_label(panel.title.c_str());
        v.window->callback(WindowCb, Tag(panel.handle, 0));
        for (Control& c : panel.controls) {
            Fl_Widget* w = nullptr;
            switch (c.type) {
                case CtrlType::TextBox: {
                    auto* d = new Fl_Text_Display(c.x, c.y, c.w, c.h);
                    auto* b = new Fl_Text_Buffer();
                    d->buffer(b);
                    d->textfont(FL_COURIER);
                    d->textsize(12);
                    v.buffers[c.id] = b;
                    w = d;
                    break;
                }
                case CtrlType::String: {
                    auto* in = new Fl_Input(c.x, c.y, c.w, c.h);
                    in->maximum_size(c.maxLength);
                    in->when(FL_WHEN_CHANGED);
                    in->callback(InputCb, Tag(panel.handle, c.id));
                    w = in;
                    break;
                }
                case CtrlType::Output:
                    w = new Fl_Output(c.x, c.y, c.w, c.h);
                    break;
                case CtrlType::Led: {
                    auto* box = new Fl_Box(FL_OVAL_BOX, c.x, c.y, c.w, c.h, nullptr);
                    box->align(FL_ALIGN_RIGHT);
                    w = box;
                    break;
                }
                case CtrlType::Button: {
                    auto* b = new Fl_Button(c.x, c.y, c.w, c.h);
                    b->callback(ButtonCb, Tag(panel.handle, c.id));
                    w = b;
                    break;
                }
            }
            w->copy_label(c.label.c_str());
            if (c.type != CtrlType::Button && c.type != CtrlType::Led) w->align(FL_ALIGN_TOP_LEFT);
            w->labelsize(12);
            v.widgets[c.id] = w;
            Update(panel, c, nullptr);
        }
        v.window->end();
        Fl_Group::current(nullptr);
    }

    void PanelDiscarded(Panel& panel) override
    {
        auto it = views_.find(panel.handle);
        if (it == views_.end()) return;
        it->second.window->hide();
        delete it->second.window;  // the text displays let go of their buffers
        for (auto& [id, b] : it->second.buffers) delete b;
        views_.erase(it);
    }

    void PanelShown(Panel& panel, bool shown) override
    {
        auto it = views_.find(panel.handle);
        if (it == views_.end()) return;
        if (shown)
            it->second.window->show();
        else
            it->second.window->hide();
    }

    void ValueChanged(Panel& panel, Control& c, const char* appended) override
    {
        Update(panel, c, appended);
    }

    void ActiveCtrl(Panel& panel, Control& c) override
    {
        if (Fl_Widget* w = Widget(panel.handle, c.id)) w->take_focus();
    }

    void WatchFd(int fd, bool on) override
    {
        if (on) {
            watched_.insert(fd);
        } else {
            watched_.erase(fd);
            if (armed_.erase(fd)) Fl::remove_fd(fd);
        }
    }

    void Pump(double timeout) override
    {
        // A descriptor wakes the loop once; the core then looks at it and
        // it is armed again on the next pump.
        for (int fd : watched_)
            if (armed_.insert(fd).second) Fl::add_fd(fd, FL_READ, FdCb, this);
        if (scripted_) RunScript();
        if (timeout <= 0)
            Fl::check();
        else
            Fl::wait(timeout);
    }

private:
    Fl_Widget* Widget(int panel, int control)
    {
        auto it = views_.find(panel);
        if (it == views_.end()) return nullptr;
        auto w = it->second.widgets.find(control);
        return w == it->second.widgets.end() ? nullptr : w->second;
    }

    void Update(Panel& panel, Control& c, const char* appended)
    {
        Fl_Widget* w = Widget(panel.handle, c.id);
        if (!w) return;
        switch (c.type) {
            case CtrlType::TextBox: {
                Fl_Text_Buffer* b = views_[panel.handle].buffers[c.id];
                if (appended)
                    b->append(appended);
                else
                    b->text(c.text.c_str());
                auto* d = static_cast<Fl_Text_Display*>(w);
                d->insert_position(b->length());
                d->show_insert_position();
                break;
            }
            case CtrlType::String:
            case CtrlType::Output:
                static_cast<Fl_Input_*>(w)->value(Shown(c.text).c_str());
                break;
            case CtrlType::Led:
                w->color(c.number ? FL_GREEN : fl_darker(FL_DARK_GREEN));
                w->redraw();
                break;
            case CtrlType::Button:
                break;
        }
    }

    static void FdCb(int fd, void* self)
    {
        auto* me = static_cast<Window*>(self);
        Fl::remove_fd(fd);
        me->armed_.erase(fd);
    }

    // --- scripted driver ---------------------------------------------------
    static void AnswerCb(void* self)
    {
        auto* me = static_cast<Window*>(self);
        if (!me->dialog_) return;
        std::string line;
        if (!me->script_.empty()) {
            line = me->script_.front();
            me->script_.pop_front();
        }
        me->dialog_->Answer(line.c_str());
    }

    static void DismissCb(void* self)
    {
        auto* me = static_cast<Window*>(self);
        if (me->dialog_) me->dialog_->Answer("");
    }

    static double Now()
    {
        using namespace std::chrono;
        return duration<double>(steady_clock::now().time_since_epoch()).count();
    }

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
            if (word.empty()) {
                script_.pop_front();
                continue;
            }
            if (word == "sleep") {
                resume_ = Now() + std::atof(rest.c_str());
                script_.pop_front();
                return;
            }
            if (word == "shot") {
                Screenshot(rest);
                script_.pop_front();
                continue;
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
                views_[v.front()->handle].window->do_callback();
                script_.pop_front();
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
            Fl_Widget* w = Widget(p->handle, c->id);
            if (c->type == CtrlType::String && w) {
                static_cast<Fl_Input*>(w)->value(rest.c_str());
                w->do_callback();
                continue;
            }
            if (c->type == CtrlType::Button && w) {
                w->do_callback();
                return;
            }
        }
    }

    void Screenshot(const std::string& file)
    {
        auto v = VisiblePanels();
        if (v.empty()) return;
        Fl_Double_Window* win = views_[v.front()->handle].window;
        Fl::flush();
        win->make_current();
        int w = win->w(), h = win->h();
        uchar* pixels = fl_read_image(nullptr, 0, 0, w, h);
        if (!pixels) return;
        if (FILE* f = std::fopen(file.c_str(), "wb")) {
            std::fprintf(f, "P6\n%d %d\n255\n", w, h);
            std::fwrite(pixels, 3, static_cast<std::size_t>(w) * static_cast<std::size_t>(h), f);
            std::fclose(f);
            std::printf("screenshot %s %dx%d\n", file.c_str(), w, h);
            std::fflush(stdout);
        }
        delete[] pixels;
    }

    std::map<int, PanelView> views_;
    std::set<int> watched_, armed_;
    Dialog* dialog_ = nullptr;
    bool scripted_ = false;
    std::deque<std::string> script_;
    double resume_ = 0;
    double waitSince_ = 0;
};

}  // namespace

std::unique_ptr<FrontEnd> MakeWindowFrontEnd()
{
    Display* d = XOpenDisplay(nullptr);
    if (!d) return nullptr;
    fl_open_display(d);
    return std::make_unique<Window>();
}

}  // namespace tk
