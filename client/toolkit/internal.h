// Shared state of the toolkit core and the interface of its front ends.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "text_escape.h"
#include "toolkit.h"

namespace tk {

enum class CtrlType { TextBox, String, Output, Led, Button };

struct Control {
    int id = 0;
    CtrlType type = CtrlType::Output;
    std::string key;  // name of the control in console commands
    std::string label;
    int x = 0, y = 0, w = 100, h = 24;
    int maxLength = 255;  // string controls: longest text the operator may type
    bool echo = true;     // console: print changes of this control
    std::string text;     // value of every control but the indicator
    int number = 0;       // value of the indicator
    CtrlCallbackPtr callback = nullptr;
    std::string callbackName;
};

struct Panel {
    int handle = 0;
    std::string name;  // short name, used in console output
    std::string title;
    int w = 640, h = 480;
    PanelCallbackPtr callback = nullptr;
    std::string callbackName;
    std::vector<Control> controls;
    bool visible = false;
    unsigned long shownOrder = 0;  // display order, the latest on top
    void* frontData = nullptr;     // owned by the front end
};

// Parses the text of a panel file holding resource `resourceId`; fills
// `panel` and returns 0, or a negative UIE_ code with a reason in `error`.
int ParsePanelText(const std::string& text, int resourceId, Panel& panel, std::string& error);

// Finds a control of a panel; nullptr when there is none.
Control* FindControl(Panel& panel, int id);

// ---------------------------------------------------------------------------
// A front end: shows what the core holds, collects the operator's input and
// turns it into core events (PostCommit, PostClose, UserSetValue).
class FrontEnd {
public:
    virtual ~FrontEnd() = default;
    virtual void Prompt(const char* title, const char* message, char* response, int maxLength) = 0;
    virtual void Message(const char* title, const char* message) = 0;
    virtual void PanelLoaded(Panel& panel) = 0;
    virtual void PanelDiscarded(Panel& panel) = 0;
    virtual void PanelShown(Panel& panel, bool shown) = 0;
    // The control's value changed; `appended` is the appended text for a text
    // box that grew, nullptr when the whole value was replaced.
    virtual void ValueChanged(Panel& panel, Control& control, const char* appended) = 0;
    virtual void ActiveCtrl(Panel& panel, Control& control) = 0;
    virtual void WatchFd(int fd, bool on) = 0;
    // Waits at most `timeout` seconds (0: only what is pending) for operator
    // input or a watched descriptor and turns the input into core events.
    virtual void Pump(double timeout) = 0;
};

std::unique_ptr<FrontEnd> MakeConsoleFrontEnd();
std::unique_ptr<FrontEnd> MakeWindowFrontEnd();  // nullptr without a display

// ---------------------------------------------------------------------------
// Core services for the front ends.
void PostCommit(int panel, int control);
void PostClose(int panel);
// A value typed by the operator; `notify` tells the front end to show it.
void UserSetValue(int panel, int control, const std::string& text, bool notify);
Panel* FindPanel(int handle);
// Visible panels, topmost first.
std::vector<Panel*> VisiblePanels();
bool PendingEvents();
FrontEnd* Front();  // nullptr when the toolkit is closed

// TCP part of the event loop (tcp.cpp).
bool TcpPending();         // a conversation has data or a hang-up to report
void DispatchTcpEvents();  // calls the TCP callbacks of those conversations
void CloseAllConversations();

// Operator command line, shared by the console and the scripted driver:
//   <key> <text>  sets the string control <key> of the topmost panel having it
//   <key>         presses the button <key>
//   close         closes the topmost panel
// A command for a control of a panel that is loaded but not shown waits
// (Later) until that panel is shown.
enum class CommandResult { Event, Value, Later, Invalid };
CommandResult ApplyOperatorCommand(const std::string& line, std::string& reason);

}  // namespace tk
