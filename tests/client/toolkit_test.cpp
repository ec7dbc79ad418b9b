// The toolkit layer on its own: panel files, control values, formatting,
// dates, the TCP client and when its callbacks run.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "harness.h"
#include "platform/os.h"
#include "toolkit/internal.h"

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Control identifiers and roles of the six panel files.
struct Expected {
    const char* file;
    std::map<int, tk::CtrlType> ids;
    const char* callbackOf[2];  // button callbacks: start, quit (main panels)
};

std::map<int, tk::CtrlType> MainIds(std::initializer_list<int> outputs)
{
    using T = tk::CtrlType;
    std::map<int, T> m = {{2, T::TextBox}, {3, T::String}, {4, T::TextBox}, {5, T::Led},
                          {7, T::Output},  {8, T::Output}, {9, T::Output},  {10, T::Output}};
    for (int id : outputs) m[id] = T::Output;
    return m;
}

std::map<int, tk::CtrlType> EntryIds(std::initializer_list<int> strings, int confirm, int quit)
{
    std::map<int, tk::CtrlType> m;
    for (int id : strings) m[id] = tk::CtrlType::String;
    m[confirm] = tk::CtrlType::Button;
    m[quit] = tk::CtrlType::Button;
    return m;
}

class Toolkit : public ::testing::Test {
protected:
    void SetUp() override
    {
        harness::SetEnv("BERTLOG_FRONTEND", "console");
        ASSERT_EQ(InitRunTime(0, nullptr), 1);
    }
    void TearDown() override { CloseRunTime(); }

    int Load(const std::string& text)
    {
        // One file per test: ctest runs the tests of this program in parallel.
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        // The folder may not exist yet when these tests run first.
        std::filesystem::create_directories(std::string(QM_BINARY_DIR) + "/tests/client");
        std::string path = std::string(QM_BINARY_DIR) + "/tests/client/toolkit_test_" +
                           info->name() + ".uir";
        std::ofstream(path) << text;
        return LoadPanel(0, path.c_str(), 1);
    }
};

int NoCtrl(int, int, int, void*, int, int)
{
    return 0;
}

}  // namespace

TEST(PanelFiles, ShippedFilesHaveTheControlsOfTheirLayout)
{
    using T = tk::CtrlType;
    std::vector<Expected> all = {
        {"client1.uir", MainIds({11, 15, 17, 14, 13, 16, 12}), {}},
        {"client2.uir", MainIds({14, 19, 21, 18, 17, 13, 12, 20, 16, 15, 11}), {}},
        {"client4.uir",
         MainIds({14, 27, 29, 26, 25, 13, 12, 18, 17, 22, 21, 28, 20, 15, 11, 23, 16, 24, 19}),
         {}},
        {"ed_entry1.uir", EntryIds({2, 3}, 4, 5), {}},
        {"ed_entry2.uir", EntryIds({4, 5, 2, 3}, 6, 7), {}},
        {"ed_entry4.uir", EntryIds({8, 9, 2, 3, 4, 5, 6, 7}, 10, 11), {}},
    };
    for (auto& e : all) {
        SCOPED_TRACE(e.file);
        tk::Panel p;
        std::string error;
        ASSERT_EQ(tk::ParsePanelText(ReadFile(std::string(BERTLOG_PANEL_DIR) + "/" + e.file), 1, p,
                                     error),
                  0)
            << error;
        bool main = std::strncmp(e.file, "client", 6) == 0;
        std::map<int, T> found;
        std::map<std::string, int> buttons;
        for (auto& c : p.controls) {
            if (c.type == T::Button) buttons[c.callbackName]++;
            if (c.type == T::Button && main) continue;
            found[c.id] = c.type;
        }
        EXPECT_EQ(found, e.ids);
        if (main) {
            EXPECT_EQ(p.callbackName, "MainPanelCB");
            EXPECT_EQ(buttons["TransmitCB"], 1);
            EXPECT_EQ(buttons["ClearScreenCB2"], 1);
            EXPECT_EQ(buttons.size(), 2u);
        } else {
            EXPECT_EQ(buttons[""], 2);  // confirm and quit come through GetUserEvent
        }
    }
}

TEST(PanelFiles, MalformedTextIsRejected)
{
    const char* bad[] = {
        "control id=2 type=string\n",                       // outside a panel
        "panel resource=1\ncontrol id=2 type=string\n",     // no end
        "panel resource=1\ncontrol id=2 type=dial\nend\n",  // unknown type
        "panel resource=1\ncontrol id=2 type=string\ncontrol id=2 type=output\nend\n",
        "panel resource=1\ncontrol type=string\nend\n",  // no id
        "panel resource=1 title=\"open\nend\n",          // unterminated text
        "panel resource=1\ncontrol id=x2 type=string\nend\n",
        "panel resource=1\ncontrol id=2 type=led value=7\nend\n",
        "panel name=a\nend\n",  // no resource
        "widget\n",
    };
    for (const char* text : bad) {
        SCOPED_TRACE(text);
        tk::Panel p;
        std::string error;
        EXPECT_EQ(tk::ParsePanelText(text, 1, p, error), UIE_BadPanelFile);
        EXPECT_FALSE(error.empty());
    }
    tk::Panel p;
    std::string error;
    EXPECT_EQ(tk::ParsePanelText("panel resource=2\nend\n", 1, p, error), UIE_ResourceNotFound);
    ASSERT_EQ(tk::ParsePanelText("# two panels\npanel resource=2 name=b\nend\n"
                                 "panel resource=1 name=a title=\"say \\\"hi\\\"\"\n"
                                 "  control id=3 type=string key=k max=4 value=\"x y\"\nend\n",
                                 1, p, error),
              0)
        << error;
    EXPECT_EQ(p.name, "a");
    EXPECT_EQ(p.title, "say \"hi\"");
    ASSERT_EQ(p.controls.size(), 1u);
    EXPECT_EQ(p.controls[0].text, "x y");
    EXPECT_EQ(p.controls[0].maxLength, 4);
}

TEST_F(Toolkit, LoadPanelFailsWithANegativeHandle)
{
    EXPECT_EQ(LoadPanel(0, "/nonexistent/client1.uir", 1), UIE_FileNotFound);
    EXPECT_EQ(Load("panel resource=1\ncontrol id=2 type=button callback=NoSuchCB\nend\n"),
              UIE_UnknownCallback);
    EXPECT_EQ(Load("panel resource=1 callback=NoSuchPanelCB\nend\n"), UIE_UnknownCallback);
    EXPECT_LT(Load("garbage"), 0);
    RegisterCtrlCallback("NoCtrl", NoCtrl);
    EXPECT_GT(Load("panel resource=1\ncontrol id=2 type=button callback=NoCtrl\nend\n"), 0);
}

TEST_F(Toolkit, ControlValues)
{
    int p = Load(
        "panel resource=1 name=t\n"
        "control id=2 type=textbox key=box\ncontrol id=3 type=string key=s max=5\n"
        "control id=5 type=led key=led\ncontrol id=6 type=button key=go\nend\n");
    ASSERT_GT(p, 0);
    // A text box appends; ResetTextBox replaces.
    EXPECT_EQ(SetCtrlVal(p, 2, "a\n"), 0);
    EXPECT_EQ(SetCtrlVal(p, 2, "b\n"), 0);
    char buf[64];
    EXPECT_EQ(GetCtrlVal(p, 2, buf), 0);
    EXPECT_STREQ(buf, "a\nb\n");
    EXPECT_EQ(ResetTextBox(p, 2, ""), 0);
    GetCtrlVal(p, 2, buf);
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(ResetTextBox(p, 3, ""), UIE_TypeMismatch);
    // Other text controls replace; a short buffer gets a cut, terminated copy.
    SetCtrlVal(p, 3, "first");
    SetCtrlVal(p, 3, "0123456789");
    char small[4];
    EXPECT_EQ(GetCtrlVal(p, 3, small), 0);
    EXPECT_STREQ(small, "012");
    // The indicator takes integers.
    EXPECT_EQ(SetCtrlVal(p, 5, 1), 0);
    int on = 0;
    EXPECT_EQ(GetCtrlVal(p, 5, &on), 0);
    EXPECT_EQ(on, 1);
    EXPECT_EQ(SetCtrlVal(p, 5, "1"), UIE_TypeMismatch);
    // Bad handles and identifiers are errors, before and after discarding.
    EXPECT_EQ(SetCtrlVal(p, 99, "x"), UIE_InvalidControl);
    EXPECT_EQ(SetCtrlVal(p + 100, 2, "x"), UIE_InvalidPanel);
    EXPECT_EQ(DiscardPanel(p), 0);
    EXPECT_EQ(SetCtrlVal(p, 2, "x"), UIE_InvalidPanel);
    EXPECT_EQ(DisplayPanel(p), UIE_InvalidPanel);
    EXPECT_EQ(DiscardPanel(p), UIE_InvalidPanel);
}

TEST_F(Toolkit, OperatorCommandsReachOnlyShownPanels)
{
    int p = Load(
        "panel resource=1 name=t\ncontrol id=3 type=string key=slot1 max=3\n"
        "control id=6 type=button key=confirm\ncontrol id=7 type=output key=o\nend\n");
    ASSERT_GT(p, 0);
    std::string why;
    EXPECT_EQ(tk::ApplyOperatorCommand("confirm", why), tk::CommandResult::Later);
    DisplayPanel(p);
    EXPECT_EQ(tk::ApplyOperatorCommand("slot1 12345", why), tk::CommandResult::Value);
    char buf[32];
    GetCtrlVal(p, 3, buf);
    EXPECT_STREQ(buf, "123");  // the field's own limit
    EXPECT_EQ(tk::ApplyOperatorCommand("o 1", why), tk::CommandResult::Invalid);
    EXPECT_EQ(tk::ApplyOperatorCommand("confirm now", why), tk::CommandResult::Invalid);
    EXPECT_EQ(tk::ApplyOperatorCommand("nothing", why), tk::CommandResult::Invalid);
    EXPECT_EQ(tk::ApplyOperatorCommand("confirm", why), tk::CommandResult::Event);
    int panel = 0, control = 0;
    EXPECT_EQ(GetUserEvent(0, &panel, &control), EVENT_COMMIT);
    EXPECT_EQ(panel, p);
    EXPECT_EQ(control, 6);
    EXPECT_EQ(GetUserEvent(0, &panel, &control), 0);
}

TEST(Format, FmtBuildsFromItems)
{
    char buf[64];
    EXPECT_EQ(Fmt(buf, "%s<%s %s", ":MODule:ID", "3"), 12);
    EXPECT_STREQ(buf, ":MODule:ID 3");
    Fmt(buf, "%s<%d%s%d%s%d", 1, ":", 5, ":", 9);
    EXPECT_STREQ(buf, "1:5:9");
    Fmt(buf, "%s<%s%s%s%d%s%d%s%d%s", "Log", "12-09-2024", "--", 7, "-", 0, "-", 5, ".txt");
    EXPECT_STREQ(buf, "Log12-09-2024--7-0-5.txt");
    char tiny[6];
    EXPECT_EQ(Fmt(tiny, "%s<%s", "0123456789"), 5);
    EXPECT_STREQ(tiny, "01234");
    EXPECT_EQ(Fmt(buf, "%s", "x"), -1);
    EXPECT_STREQ(buf, "");
}

TEST(Format, DateAndTimeTexts)
{
    std::string date = DateStr();
    EXPECT_TRUE(std::regex_match(date, std::regex("\\d\\d-\\d\\d-\\d{4}"))) << date;
    EXPECT_EQ(date.find_first_of("/\\:*?\"<>|"), std::string::npos);
    EXPECT_TRUE(std::regex_match(std::string(TimeStr()), std::regex("\\d\\d:\\d\\d:\\d\\d")));
    int mo = 0, dy = 0, yr = 0, h = -1, m = -1, s = -1;
    GetSystemDate(&mo, &dy, &yr);
    RVX_GetSystemTime(&h, &m, &s);
    EXPECT_TRUE(mo >= 1 && mo <= 12 && dy >= 1 && dy <= 31 && yr >= 2000);
    EXPECT_TRUE(h >= 0 && h < 24 && m >= 0 && m < 60 && s >= 0 && s < 61);
    char dir[16];
    harness::SetEnv("BERTLOG_PROJECT_DIR", "/a/very/long/directory/name");
    EXPECT_LT(GetProjectDir(dir), 0);
    harness::SetEnv("BERTLOG_PROJECT_DIR", "/tmp/x//");
    EXPECT_EQ(GetProjectDir(dir), 0);
    EXPECT_STREQ(dir, "/tmp/x");
    harness::UnsetEnv("BERTLOG_PROJECT_DIR");
}

namespace {

std::vector<std::pair<int, std::string>> g_events;

int RecordingCB(unsigned int handle, int event, int, void*)
{
    std::string data;
    if (event == TCP_DATAREADY) {
        char buf[8] = {};
        int n = ClientTCPRead(handle, buf, sizeof buf - 1, 100);
        if (n > 0) data.assign(buf, static_cast<std::size_t>(n));
    }
    g_events.emplace_back(event, data);
    return 0;
}

}  // namespace

TEST_F(Toolkit, TcpCallbacksRunOnlyInsideTheDispatchingCalls)
{
    // The test's server side goes through the client's system layer too.
    sys::Socket server = sys::Listen("127.0.0.1", 0, 1);
    ASSERT_NE(server, sys::kNoSocket);
    int port = sys::LocalPort(server);
    ASSERT_GT(port, 0);

    unsigned int h = 0;
    g_events.clear();
    ASSERT_EQ(ConnectToTCPServer(&h, static_cast<unsigned>(port), "127.0.0.1", RecordingCB, nullptr,
                                 2000),
              0);
    sockaddr_in from{};
    sys::Socket peer = sys::Accept(server, from);
    ASSERT_NE(peer, sys::kNoSocket);
    char text[64];
    EXPECT_EQ(GetTCPPeerAddr(h, text, sizeof text), 0);
    EXPECT_STREQ(text, "127.0.0.1");
    EXPECT_EQ(GetTCPPeerAddr(h, text, 4), TCP_BufferTooSmall);
    EXPECT_EQ(ClientTCPWrite(h, "*IDN?\n", 6, 1000), 6);
    char got[16] = {};
    EXPECT_EQ(sys::Receive(peer, got, sizeof got, false, true), 6);

    // Ten bytes then the end of the connection: two reads of seven and
    // three bytes, then the disconnect event, all in order.
    ASSERT_EQ(sys::Send(peer, "0123456789", 10, true), 10);
    sys::Close(peer);
    Delay(0.1);
    EXPECT_TRUE(g_events.empty());  // Delay dispatches nothing
    for (int k = 0; k < 5; ++k) ProcessSystemEvents();
    ASSERT_EQ(g_events.size(), 3u);
    EXPECT_EQ(g_events[0], std::make_pair(TCP_DATAREADY, std::string("0123456")));
    EXPECT_EQ(g_events[1], std::make_pair(TCP_DATAREADY, std::string("789")));
    EXPECT_EQ(g_events[2].first, TCP_DISCONNECT);
    // After the server has gone, writes fail and no more events come.
    EXPECT_LT(ClientTCPWrite(h, "x\n", 2, 100), 0);
    ProcessSystemEvents();
    EXPECT_EQ(g_events.size(), 3u);
    EXPECT_EQ(DisconnectFromTCPServer(h), 0);
    EXPECT_EQ(DisconnectFromTCPServer(h), TCP_InvalidHandle);
    EXPECT_LT(ClientTCPWrite(h, "x\n", 2, 100), 0);
    sys::Close(server);
}
