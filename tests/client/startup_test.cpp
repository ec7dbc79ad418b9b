// Start-up of bertlog: the prompts and their validation, the connection,
// the ED entry panel and its quit path.
#include <gtest/gtest.h>

#include "harness.h"

using namespace harness;

namespace {

constexpr const char* kCyclePopup =
    "popup: \"Incorrect Cycle number for logging, suggest 6 - 999 seconds\" \"Exit!\"";
constexpr const char* kEdPopup = "popup: \"Incorrect ED total number\" \"Please exit!\"";
constexpr const char* kSlotPopup =
    "popup: \"Incorrect slot number for ED, must be 1 - 6\" \"Please exit!\"";
constexpr const char* kPortPopup =
    "popup: \"Incorrect port number for ED, must be 1 - 4 \" \"Please exit!\"";

// Index of the first output line containing `text`, or -1.
int LineOf(const Child& c, const std::string& text)
{
    for (std::size_t k = 0; k < c.Lines().size(); ++k)
        if (c.Lines()[k].find(text) != std::string::npos) return static_cast<int>(k);
    return -1;
}

}  // namespace

TEST(Startup, CycleOutsideSixTo999EndsWithStatusOne)
{
    for (const char* cycle : {"5", "1000", "abc", "0", "-7"}) {
        SCOPED_TRACE(cycle);
        ProjectDir dir;
        Child client;
        ASSERT_TRUE(StartClient(client, dir, 0.02));
        client.Write(FreeLoopbackAddress() + "\n" + cycle + "\n4\n");
        EXPECT_EQ(client.Wait(20), 1);
        EXPECT_TRUE(client.Has(kCyclePopup));
        EXPECT_FALSE(client.Has("Total ED Number"));
        ExpectNoSanitizerReport(client);
    }
}

TEST(Startup, CycleLimitsPassAndEdCountIsChecked)
{
    // 6 and 999 pass the cycle check; 3 EDs do not exist.
    for (const char* cycle : {"6", "999", "27 seconds"}) {
        SCOPED_TRACE(cycle);
        ProjectDir dir;
        Child client;
        ASSERT_TRUE(StartClient(client, dir, 0.02));
        client.Write(FreeLoopbackAddress() + "\n" + cycle + "\n3\n");
        EXPECT_EQ(client.Wait(20), 1);
        EXPECT_FALSE(client.Has(kCyclePopup));
        EXPECT_TRUE(client.Has("prompt: \"Total ED Number for BERT logging?\""));
        EXPECT_TRUE(client.Has(kEdPopup));
        EXPECT_FALSE(client.Has("correct ED total number\" \"Please continue!\""));
        ExpectNoSanitizerReport(client);
    }
}

TEST(Startup, RefusedConnectionIsReported)
{
    for (const char* count : {"1", "2", "4"}) {
        SCOPED_TRACE(count);
        ProjectDir dir;
        Child client;
        ASSERT_TRUE(StartClient(client, dir, 0.02));
        client.Write(FreeLoopbackAddress() + "\n6\n" + count + "\n");
        double t0 = Now();
        EXPECT_EQ(client.Wait(20), 1);
        EXPECT_LT(Now() - t0, 6.0);
        EXPECT_TRUE(client.Has("popup: \"correct ED total number\" \"Please continue!\""));
        EXPECT_TRUE(client.Has("popup: \"TCP Client\" \"Connection to server failed !\""));
        EXPECT_FALSE(client.Has("panel ed_entry"));
        ExpectNoSanitizerReport(client);
    }
}

TEST(Startup, UnreachableServerGivesUpWithinFiveSeconds)
{
    // A documentation address (TEST-NET-1): either no route or no answer.
    ProjectDir dir;
    Child client;
    ASSERT_TRUE(StartClient(client, dir, 0.02));
    client.Write("192.0.2.1\n6\n1\n");
    ASSERT_TRUE(client.WaitFor("Please continue!", 10));
    double t0 = Now();
    EXPECT_EQ(client.Wait(10), 1);
    EXPECT_LT(Now() - t0, 5.8);
    EXPECT_TRUE(client.Has("popup: \"TCP Client\" \"Connection to server failed !\""));
    ExpectNoSanitizerReport(client);
}

TEST(EntryPanel, BadSlotAndPortGiveTwoPopupsAndAskAgain)
{
    Simulator sim;
    ASSERT_TRUE(sim.Ok());
    ProjectDir dir;
    Child client;
    ASSERT_TRUE(StartClient(client, dir, 0.02));
    client.Write(sim.Address() + "\n6\n2\nslot1 7\nport2 5\nconfirm\n");
    ASSERT_TRUE(client.WaitFor(kPortPopup, 10));
    int slot = LineOf(client, kSlotPopup);
    int port = LineOf(client, kPortPopup);
    ASSERT_GE(slot, 0);
    EXPECT_LT(slot, port);
    // The entry panel is still the one shown: correct values pass.
    client.Write("slot1 6\nport2 4\nconfirm\n");
    ASSERT_TRUE(client.WaitFor("panel client2 shown", 10));
    EXPECT_EQ(client.Count("Incorrect slot number"), 1u);
    EXPECT_EQ(client.Count("Incorrect port number"), 1u);
    ASSERT_TRUE(client.WaitFor("client2.cycle = \"6\"", 10));
    EXPECT_TRUE(client.Has("client2.slot1 = \"6\""));
    EXPECT_TRUE(client.Has("client2.port2 = \"4\""));
    EXPECT_TRUE(client.Has("client2.slot2 = \"2\""));
    EXPECT_TRUE(client.Has("client2.connected = 1"));
    EXPECT_TRUE(client.Has("client2.peeraddr = \"" + sim.Address() + "\""));
    client.Write("quit\n");
    EXPECT_EQ(client.Wait(20), 1);
    // Nothing was sent: no run was started.
    EXPECT_EQ(sim.Process().Wait(10), 0);
    EXPECT_TRUE(sim.Received().empty());
    EXPECT_TRUE(dir.LogFile().empty());
    ExpectNoSanitizerReport(client);
}

TEST(EntryPanel, EverySlotOfFourEdsIsChecked)
{
    Simulator sim;
    ASSERT_TRUE(sim.Ok());
    ProjectDir dir;
    Child client;
    ASSERT_TRUE(StartClient(client, dir, 0.02));
    client.Write(sim.Address() + "\n6\n4\n");
    ASSERT_TRUE(client.WaitFor("panel ed_entry4 shown", 10));
    for (int k = 1; k <= 4; ++k) {
        SCOPED_TRACE(k);
        std::string key = "slot" + std::to_string(k);
        client.Write(key + " 7\nconfirm\n");
        ASSERT_TRUE(client.WaitFor(kSlotPopup, 10, client.Lines().size()));
        client.Write(key + " " + std::to_string(k) + "\n");
    }
    client.Write("port3 0\nconfirm\n");
    ASSERT_TRUE(client.WaitFor(kPortPopup, 10));
    EXPECT_EQ(client.Count("Incorrect slot number"), 4u);
    client.Write("port3 3\nconfirm\n");
    ASSERT_TRUE(client.WaitFor("client4.cycle = \"6\"", 10));
    EXPECT_TRUE(client.Has("client4.slot4 = \"4\""));
    EXPECT_TRUE(client.Has("client4.port3 = \"3\""));
    client.Write("quit\n");
    EXPECT_EQ(client.Wait(20), 1);
    ExpectNoSanitizerReport(client);
}

TEST(EntryPanel, QuitEndsWithoutTheMainPanel)
{
    Simulator sim;
    ASSERT_TRUE(sim.Ok());
    ProjectDir dir;
    Child client;
    ASSERT_TRUE(StartClient(client, dir, 0.02));
    client.Write(sim.Address() + "\n6\n1\nquit\n");
    EXPECT_EQ(client.Wait(20), 0);
    EXPECT_TRUE(client.Has("panel ed_entry1 shown"));
    EXPECT_FALSE(client.Has("panel client1 shown"));
    EXPECT_EQ(sim.Process().Wait(10), 0);
    EXPECT_TRUE(sim.Process().Has("CONNECT"));
    EXPECT_TRUE(sim.Received().empty());
    ExpectNoSanitizerReport(client);
}

TEST(Startup, MissingOrBrokenPanelFileEndsQuietly)
{
    for (const char* content : {"", "panel resource=1 name=x\ncontrol id=2 type=knob\nend\n"}) {
        Simulator sim;
        ASSERT_TRUE(sim.Ok());
        ProjectDir dir;
        std::string file = dir.Path() + "/client2.uir";
        std::remove(file.c_str());
        if (*content) {
            FILE* f = std::fopen(file.c_str(), "w");
            ASSERT_NE(f, nullptr);
            std::fputs(content, f);
            std::fclose(f);
        }
        Child client;
        ASSERT_TRUE(StartClient(client, dir, 0.02));
        client.Write(sim.Address() + "\n6\n2\n");
        EXPECT_EQ(client.Wait(20), 0);
        EXPECT_FALSE(client.Has("panel "));
        EXPECT_FALSE(client.Has("Connection to server failed"));
        sim.Process().Kill();
        ExpectNoSanitizerReport(client);
    }
}

TEST(EntryPanel, EndOfInputQuits)
{
    Simulator sim;
    ASSERT_TRUE(sim.Ok());
    ProjectDir dir;
    Child client;
    ASSERT_TRUE(StartClient(client, dir, 0.02));
    client.Write(sim.Address() + "\n6\n1\n");
    client.CloseInput();
    EXPECT_EQ(client.Wait(20), 0);
    EXPECT_FALSE(client.Has("panel client1 shown"));
    ExpectNoSanitizerReport(client);
}

TEST(Startup, WindowFrontEndAskedForWithoutDisplayFailsWithOneLine)
{
    ProjectDir dir;
    Child client;
    ASSERT_TRUE(client.Start(
        {BERTLOG_EXE},
        {{"BERTLOG_FRONTEND", "window"}, {"DISPLAY", ""}, {"BERTLOG_PROJECT_DIR", dir.Path()}}));
    client.CloseInput();
    EXPECT_NE(client.Wait(20), 0);
    EXPECT_NE(client.Errors().find("bertlog: no window front end"), std::string::npos)
        << client.Errors();
    EXPECT_FALSE(client.Has("prompt:"));
}
