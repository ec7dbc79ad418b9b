// The Windows window front end: the six panel files laid out as Win32
// controls (roles, positions, sizes, labels), values set through the toolkit
// shown and read back, operator actions turned into callbacks, the modal
// popups, and a scripted logging run of bertlog.exe against bertsim.exe.
//
// Under Wine the test runs in a prefix of its own whose graphics driver is
// the null one (tests/client/window/wine_prefix.sh), so windows exist
// without a display.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <vector>

#include "harness.h"
#include "toolkit/internal.h"

using namespace harness;

namespace {

std::string Text(HWND h)
{
    char buffer[4096] = "";
    GetWindowTextA(h, buffer, sizeof buffer);
    return buffer;
}

std::string Class(HWND h)
{
    char buffer[64] = "";
    GetClassNameA(h, buffer, sizeof buffer);
    return buffer;
}

BOOL CALLBACK FindPanelWindow(HWND h, LPARAM data)
{
    auto* want = reinterpret_cast<std::pair<int, HWND>*>(data);
    if (reinterpret_cast<std::intptr_t>(GetPropA(h, "BertlogPanel")) == want->first) {
        want->second = h;
        return FALSE;
    }
    return TRUE;
}

// The top-level window of a panel handle, nullptr when there is none.
HWND PanelWindow(int panel)
{
    std::pair<int, HWND> want{panel, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), FindPanelWindow, reinterpret_cast<LPARAM>(&want));
    return want.second;
}

struct Rect {
    int x, y, w, h;
    bool operator==(const Rect& o) const { return x == o.x && y == o.y && w == o.w && h == o.h; }
};

std::ostream& operator<<(std::ostream& os, const Rect& r)
{
    return os << r.x << "," << r.y << " " << r.w << "x" << r.h;
}

// Position and size of a child window in its parent's client area.
Rect ChildRect(HWND child)
{
    RECT r;
    GetWindowRect(child, &r);
    POINT p{r.left, r.top};
    ScreenToClient(GetParent(child), &p);
    return {static_cast<int>(p.x), static_cast<int>(p.y), static_cast<int>(r.right - r.left),
            static_cast<int>(r.bottom - r.top)};
}

std::vector<HWND> Children(HWND parent)
{
    std::vector<HWND> out;
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) out.push_back(c);
    return out;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

const char* const kPanelFiles[] = {"client1.uir",   "client2.uir",   "client4.uir",
                                   "ed_entry1.uir", "ed_entry2.uir", "ed_entry4.uir"};

std::vector<std::pair<int, int>> g_ctrlCalls;  // (control, event)
std::vector<int> g_panelEvents;

int CtrlCb(int, int control, int event, void*, int, int)
{
    g_ctrlCalls.push_back({control, event});
    return 0;
}

int PanelCb(int, int event, void*, int, int)
{
    g_panelEvents.push_back(event);
    return 0;
}

// The control callbacks the panel files name, so loading them succeeds.
std::set<std::string> CallbackNames()
{
    std::set<std::string> names;
    for (const char* f : kPanelFiles) {
        std::string text = ReadFile(std::string(BERTLOG_PANEL_DIR) + "/" + f);
        for (std::size_t at = text.find("callback="); at != std::string::npos;
             at = text.find("callback=", at + 1)) {
            std::size_t end = text.find_first_of(" \r\n", at);
            names.insert(text.substr(at + 9, end - at - 9));
        }
    }
    return names;
}

class WindowFrontEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(dir_.Path().empty());
        SetEnv("BERTLOG_FRONTEND", "window");
        SetEnv("BERTLOG_PROJECT_DIR", dir_.Path().c_str());
        for (const std::string& name : CallbackNames()) {
            RegisterCtrlCallback(name.c_str(), CtrlCb);
            RegisterPanelCallback(name.c_str(), PanelCb);
        }
        ASSERT_EQ(InitRunTime(0, nullptr), 1)
            << "no window front end: the Wine prefix needs the null graphics driver";
        g_ctrlCalls.clear();
        g_panelEvents.clear();
    }
    void TearDown() override { CloseRunTime(); }

    ProjectDir dir_;
};

}  // namespace

TEST_F(WindowFrontEnd, EveryPanelIsLaidOutFromItsFile)
{
    for (const char* file : kPanelFiles) {
        SCOPED_TRACE(file);
        tk::Panel expected;
        std::string error;
        ASSERT_EQ(tk::ParsePanelText(ReadFile(std::string(BERTLOG_PANEL_DIR) + "/" + file), 1,
                                     expected, error),
                  0)
            << error;
        int panel = LoadPanel(0, file, 1);
        ASSERT_GT(panel, 0);
        HWND win = PanelWindow(panel);
        ASSERT_NE(win, nullptr);
        EXPECT_FALSE(IsWindowVisible(win));
        EXPECT_EQ(Text(win), expected.title);
        RECT client;
        GetClientRect(win, &client);
        EXPECT_EQ(client.right, expected.w);
        EXPECT_EQ(client.bottom, expected.h);

        std::set<std::string> labels;
        for (HWND c : Children(win))
            if (Class(c) == "Static" || Class(c) == "STATIC") labels.insert(Text(c));
        for (const tk::Control& c : expected.controls) {
            SCOPED_TRACE(c.key);
            HWND h = GetDlgItem(win, c.id);
            ASSERT_NE(h, nullptr);
            EXPECT_EQ(ChildRect(h), (Rect{c.x, c.y, c.w, c.h}));
            LONG style = GetWindowLongA(h, GWL_STYLE);
            std::string cls = Class(h);
            for (char& ch : cls) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
            switch (c.type) {
                case tk::CtrlType::TextBox:
                    EXPECT_EQ(cls, "EDIT");
                    EXPECT_TRUE(style & ES_MULTILINE);
                    EXPECT_TRUE(style & ES_READONLY);
                    break;
                case tk::CtrlType::String:
                    EXPECT_EQ(cls, "EDIT");
                    EXPECT_FALSE(style & (ES_MULTILINE | ES_READONLY));
                    EXPECT_EQ(SendMessageA(h, EM_GETLIMITTEXT, 0, 0), c.maxLength);
                    break;
                case tk::CtrlType::Output:
                    EXPECT_EQ(cls, "EDIT");
                    EXPECT_FALSE(style & ES_MULTILINE);
                    EXPECT_TRUE(style & ES_READONLY);
                    break;
                case tk::CtrlType::Led:
                    EXPECT_EQ(cls, "STATIC");
                    break;
                case tk::CtrlType::Button:
                    EXPECT_EQ(cls, "BUTTON");
                    EXPECT_EQ(Text(h), c.label);
                    break;
            }
            if (c.type != tk::CtrlType::Button && !c.label.empty()) {
                EXPECT_TRUE(labels.count(c.label)) << "no label " << c.label;
            }
            if (c.type == tk::CtrlType::Output || c.type == tk::CtrlType::String) {
                std::string value = c.text;
                while (!value.empty() && value.back() == '\n') value.pop_back();
                EXPECT_EQ(Text(h), value);
            }
        }

        EXPECT_EQ(DisplayPanel(panel), 0);
        EXPECT_TRUE(IsWindowVisible(win));
        EXPECT_EQ(HidePanel(panel), 0);
        EXPECT_FALSE(IsWindowVisible(win));
        EXPECT_EQ(DiscardPanel(panel), 0);
        EXPECT_FALSE(IsWindow(win));
        EXPECT_EQ(PanelWindow(panel), nullptr);
    }
}

TEST_F(WindowFrontEnd, ValuesSetThroughTheToolkitAreShownAndReadBack)
{
    int panel = LoadPanel(0, "client2.uir", 1);
    ASSERT_GT(panel, 0);
    ASSERT_EQ(DisplayPanel(panel), 0);
    HWND win = PanelWindow(panel);
    ASSERT_NE(win, nullptr);
    char text[256];

    // An output: the trailing line end is not drawn, but kept.
    EXPECT_EQ(SetCtrlVal(panel, 20, "1.5E-09\n"), 0);
    EXPECT_EQ(Text(GetDlgItem(win, 20)), "1.5E-09");
    EXPECT_EQ(GetCtrlVal(panel, 20, text), 0);
    EXPECT_STREQ(text, "1.5E-09\n");
    EXPECT_EQ(SetCtrlVal(panel, 18, 3), 0);
    EXPECT_EQ(Text(GetDlgItem(win, 18)), "3");
    int number = 0;
    EXPECT_EQ(GetCtrlVal(panel, 18, &number), 0);
    EXPECT_EQ(number, 3);

    // A text box grows line by line, with CR LF in the control.
    HWND log = GetDlgItem(win, 2);
    EXPECT_EQ(SetCtrlVal(panel, 2, "*IDN?\n"), 0);
    EXPECT_EQ(SetCtrlVal(panel, 2, ":MODule:ID 3\n"), 0);
    EXPECT_EQ(Text(log), "*IDN?\r\n:MODule:ID 3\r\n");
    EXPECT_EQ(GetCtrlVal(panel, 2, text), 0);
    EXPECT_STREQ(text, "*IDN?\n:MODule:ID 3\n");
    EXPECT_EQ(SetCtrlVal(panel, 2, "a\r"), 0);
    EXPECT_EQ(SetCtrlVal(panel, 2, "\nb"), 0);
    EXPECT_EQ(Text(log), "*IDN?\r\n:MODule:ID 3\r\na\r\nb");
    EXPECT_EQ(ResetTextBox(panel, 2, "fresh\n"), 0);
    EXPECT_EQ(Text(log), "fresh\r\n");

    // The indicator.
    EXPECT_EQ(SetCtrlVal(panel, 5, 1), 0);
    EXPECT_EQ(GetCtrlVal(panel, 5, &number), 0);
    EXPECT_EQ(number, 1);

    // A string control set by the program, then typed into by the operator.
    HWND command = GetDlgItem(win, 3);
    EXPECT_EQ(SetCtrlVal(panel, 3, ":SENSe:MEASure:STARt"), 0);
    EXPECT_EQ(Text(command), ":SENSe:MEASure:STARt");
    SetWindowTextA(command, "*RST");
    EXPECT_EQ(GetCtrlVal(panel, 3, text), 0);
    EXPECT_STREQ(text, "*RST");
    int p = 0, c = 0;
    EXPECT_EQ(GetUserEvent(0, &p, &c), 0) << "typing is no commit";

    // Errors are the toolkit's, whatever the front end.
    EXPECT_EQ(SetCtrlVal(panel, 99, "x"), UIE_InvalidControl);
    EXPECT_EQ(SetCtrlVal(panel + 100, 3, "x"), UIE_InvalidPanel);
}

TEST_F(WindowFrontEnd, ButtonsAndClosingRunCallbacksOnlyWhenDispatched)
{
    int panel = LoadPanel(0, "client1.uir", 1);
    ASSERT_GT(panel, 0);
    ASSERT_EQ(DisplayPanel(panel), 0);
    HWND win = PanelWindow(panel);
    ASSERT_NE(win, nullptr);
    HWND start = GetDlgItem(win, 6);
    ASSERT_NE(start, nullptr);

    SendMessageA(start, BM_CLICK, 0, 0);
    EXPECT_TRUE(g_ctrlCalls.empty()) << "a callback ran inside the window procedure";
    EXPECT_EQ(ProcessSystemEvents(), 0);
    ASSERT_EQ(g_ctrlCalls.size(), 1u);
    EXPECT_EQ(g_ctrlCalls[0], std::make_pair(6, EVENT_COMMIT));

    SendMessageA(start, BM_CLICK, 0, 0);
    int p = 0, c = 0;
    EXPECT_EQ(GetUserEvent(0, &p, &c), EVENT_COMMIT);
    EXPECT_EQ(p, panel);
    EXPECT_EQ(c, 6);

    // Closing asks the panel callback; the window stays until discarded.
    SendMessageA(win, WM_CLOSE, 0, 0);
    EXPECT_TRUE(g_panelEvents.empty());
    EXPECT_EQ(ProcessSystemEvents(), 0);
    ASSERT_EQ(g_panelEvents.size(), 1u);
    EXPECT_EQ(g_panelEvents[0], EVENT_CLOSE);
    EXPECT_TRUE(IsWindow(win));
}

namespace {

struct PopupAction {
    const char* type = nullptr;  // nullptr: leave the input as it is
    const char* button = "OK";
    bool panelEnabled = true;
    bool sawDialog = false;
    HWND panel = nullptr;
};
PopupAction g_popup;

void CALLBACK AnswerPopup(HWND, UINT, UINT_PTR id, DWORD)
{
    HWND dlg = FindWindowA("BertlogDialog", nullptr);
    if (!dlg) return;
    KillTimer(nullptr, id);
    g_popup.sawDialog = true;
    if (g_popup.panel) g_popup.panelEnabled = IsWindowEnabled(g_popup.panel);
    HWND edit = FindWindowExA(dlg, nullptr, "EDIT", nullptr);
    if (g_popup.type && edit) SetWindowTextA(edit, g_popup.type);
    SendMessageA(FindWindowExA(dlg, nullptr, "BUTTON", g_popup.button), BM_CLICK, 0, 0);
}

}  // namespace

TEST_F(WindowFrontEnd, PopupsAreModalAndTakeTheTypedAnswer)
{
    int panel = LoadPanel(0, "ed_entry2.uir", 1);
    ASSERT_GT(panel, 0);
    ASSERT_EQ(DisplayPanel(panel), 0);
    char answer[6];

    g_popup = {};
    g_popup.type = "192.168.1.20";
    g_popup.panel = PanelWindow(panel);
    SetTimer(nullptr, 0, 50, AnswerPopup);
    EXPECT_EQ(PromptPopup("IP address?", "Server address", answer, 5), 0);
    EXPECT_TRUE(g_popup.sawDialog);
    EXPECT_FALSE(g_popup.panelEnabled) << "the panel took input during the prompt";
    EXPECT_TRUE(IsWindowEnabled(g_popup.panel));
    EXPECT_STREQ(answer, "192.1");

    g_popup = {};
    g_popup.type = "6";
    g_popup.button = "Cancel";
    SetTimer(nullptr, 0, 50, AnswerPopup);
    EXPECT_EQ(PromptPopup("cycle?", "seconds", answer, 5), 0);
    EXPECT_STREQ(answer, "");

    g_popup = {};
    SetTimer(nullptr, 0, 50, AnswerPopup);
    EXPECT_EQ(MessagePopup("correct ED total number", "Please continue!"), 0);
    EXPECT_TRUE(g_popup.sawDialog);
    EXPECT_EQ(FindWindowA("BertlogDialog", nullptr), nullptr);
}

TEST(WindowFrontEndRun, ScriptedLoggingRunAgainstTheSimulator)
{
    Simulator sim;
    ASSERT_TRUE(sim.Ok());
    ProjectDir dir;
    std::string script = dir.Path() + "\\script.txt";
    {
        std::ofstream s(script);
        s << sim.Address() << "\n6\n2\n"
          << "slot2 3\nport2 2\nconfirm\n"
          << "start\nwait ec2\nsleep 0.5\nquit\n";
    }
    Child client;
    ASSERT_TRUE(client.Start({BERTLOG_EXE}, {{"BERTLOG_FRONTEND", "window"},
                                             {"BERTLOG_GUI_SCRIPT", script},
                                             {"BERTLOG_TIME_SCALE", "0.02"},
                                             {"BERTLOG_PROJECT_DIR", dir.Path()}}));
    EXPECT_EQ(client.Wait(90), 1) << client.Errors();
    EXPECT_EQ(sim.Process().Wait(10), 0);
    EXPECT_TRUE(client.Has("popup: \"correct ED total number\" \"Please continue!\""));

    // The operator's entries reached the instrument and the log.
    auto rx = sim.Received();
    ASSERT_GE(rx.size(), 4u);
    EXPECT_EQ(rx[0], "*IDN?");
    std::set<std::string> seen(rx.begin(), rx.end());
    EXPECT_TRUE(seen.count(":MODule:ID 3"));
    EXPECT_TRUE(seen.count(":INTerface:ID 2"));
    std::string log = dir.ReadLog();
    EXPECT_NE(log.find(" EC= "), std::string::npos);
}
