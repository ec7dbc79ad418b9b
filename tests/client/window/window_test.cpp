// The window front end under Xvfb: a scripted operator goes through the
// prompts and the entry panel, starts a run with two EDs, and the main
// panel is saved as an image once both EDs show their values.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "harness.h"

using namespace harness;
namespace fs = std::filesystem;

TEST(WindowFrontEnd, ScriptedRunAndMainPanelScreenshot)
{
    if (access("/usr/bin/Xvfb", X_OK) != 0) GTEST_SKIP() << "Xvfb is not installed";
    Child xvfb;
    ASSERT_TRUE(xvfb.Start(
        {"/usr/bin/Xvfb", "-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"},
        {}));
    xvfb.PumpFor(0.0);
    double end = Now() + 20;
    while (xvfb.Lines().empty() && Now() < end) xvfb.PumpFor(0.1);
    ASSERT_FALSE(xvfb.Lines().empty()) << xvfb.Errors();
    std::string display = ":" + xvfb.Lines().front();

    Simulator sim;
    ASSERT_TRUE(sim.Ok());
    ProjectDir dir;
    fs::create_directories(BERTLOG_ARTIFACT_DIR);
    std::string shot = std::string(BERTLOG_ARTIFACT_DIR) + "/main_panel.ppm";
    std::remove(shot.c_str());
    std::string script = dir.Path() + "/script.txt";
    {
        std::ofstream s(script);
        s << sim.Address() << "\n6\n2\n"
          << "slot2 3\nport2 2\nconfirm\n"
          << "start\nwait ec2\nsleep 0.5\nshot " << shot << "\nquit\n";
    }
    Child client;
    ASSERT_TRUE(client.Start({BERTLOG_EXE}, {{"DISPLAY", display},
                                             {"BERTLOG_FRONTEND", "window"},
                                             {"BERTLOG_GUI_SCRIPT", script},
                                             {"BERTLOG_TIME_SCALE", "0.02"},
                                             {"BERTLOG_PROJECT_DIR", dir.Path()}}));
    EXPECT_EQ(client.Wait(90), 1) << client.Errors();
    EXPECT_EQ(sim.Process().Wait(10), 0);
    ExpectNoSanitizerReport(client);
    EXPECT_TRUE(client.Has("popup: \"correct ED total number\" \"Please continue!\""));

    // The operator's entries reached the instrument.
    auto rx = sim.Received();
    ASSERT_GE(rx.size(), 4u);
    EXPECT_EQ(rx[0], "*IDN?");
    std::set<std::string> seen(rx.begin(), rx.end());
    EXPECT_TRUE(seen.count(":MODule:ID 3"));
    EXPECT_TRUE(seen.count(":INTerface:ID 2"));
    EXPECT_NE(dir.ReadLog().find(" EC= "), std::string::npos);

    // The image: the size of the two-ED panel, and not a blank.
    std::ifstream in(shot, std::ios::binary);
    ASSERT_TRUE(in) << "no screenshot";
    std::string magic;
    int w = 0, h = 0, depth = 0;
    in >> magic >> w >> h >> depth;
    in.get();
    EXPECT_EQ(magic, "P6");
    EXPECT_EQ(w, 820);
    EXPECT_EQ(h, 560);
    std::string pixels((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(pixels.size(), static_cast<std::size_t>(w) * h * 3);
    std::set<unsigned> colours;
    for (std::size_t p = 0; p + 2 < pixels.size(); p += 3 * 97)
        colours.insert(static_cast<unsigned char>(pixels[p]) << 16 |
                       static_cast<unsigned char>(pixels[p + 1]) << 8 |
                       static_cast<unsigned char>(pixels[p + 2]));
    EXPECT_GT(colours.size(), 8u);
}
