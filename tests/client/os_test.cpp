// The client's operating-system layer (client/platform/os.h) on its own:
// the socket calls in the order the toolkit uses them, paths, directories
// and sleeping; the same expectations on every system.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include "harness.h"
#include "platform/os.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// A listener on the loopback and a non-blocking client connected to it.
struct Pair {
    sys::Socket listener = sys::kNoSocket, client = sys::kNoSocket, server = sys::kNoSocket;
    ~Pair()
    {
        for (sys::Socket s : {client, server, listener})
            if (s != sys::kNoSocket) sys::Close(s);
    }
    bool Connect()
    {
        listener = sys::Listen("127.0.0.1", 0, 1);
        if (listener == sys::kNoSocket) return false;
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(static_cast<unsigned short>(sys::LocalPort(listener)));
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        client = sys::OpenStream(AF_INET, 0, true);
        if (client == sys::kNoSocket) return false;
        int r = sys::Connect(client, reinterpret_cast<sockaddr*>(&to), sizeof to);
        if (r < 0) return false;
        if (r > 0 && (sys::Wait(client, true, 2000) != 1 || sys::PendingConnectError(client) != 0))
            return false;
        sockaddr_in peer{};
        server = sys::Accept(listener, peer);
        return server != sys::kNoSocket;
    }
};

}  // namespace

TEST(SystemLayer, NonBlockingSocketsReportEmptyDataAndTheEnd)
{
    ASSERT_TRUE(sys::NetStartup());
    Pair p;
    ASSERT_TRUE(p.Connect());
    char buf[16];
    // Nothing sent yet: a non-blocking read says "would block", a wait times out.
    EXPECT_EQ(sys::Receive(p.client, buf, sizeof buf, false, false), -1);
    EXPECT_TRUE(sys::WouldBlock(sys::LastError()));
    auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(sys::Wait(p.client, false, 100), 0);
    EXPECT_GE(Seconds(t0), 0.09);
    EXPECT_EQ(sys::Wait(p.client, true, 0), 1);  // room to send

    EXPECT_EQ(sys::Send(p.server, "abc", 3, true), 3);
    EXPECT_EQ(sys::Wait(p.client, false, 2000), 1);
    // A peek leaves the bytes for the read.
    EXPECT_EQ(sys::Receive(p.client, buf, 1, true, false), 1);
    EXPECT_EQ(sys::Receive(p.client, buf, sizeof buf, false, false), 3);
    EXPECT_EQ(std::string(buf, 3), "abc");

    sockaddr_storage ss{};
    socklen_t len = sizeof ss;
    ASSERT_EQ(sys::PeerAddress(p.client, ss, len), 0);
    EXPECT_EQ(ss.ss_family, AF_INET);

    // The peer's end: readable, and the read gives 0.
    sys::Close(p.server);
    p.server = sys::kNoSocket;
    EXPECT_EQ(sys::Wait(p.client, false, 2000), 1);
    EXPECT_EQ(sys::Receive(p.client, buf, sizeof buf, false, false), 0);
}

TEST(SystemLayer, RefusedConnectAndBadListenAddressFailCleanly)
{
    // A port that was just free: nothing listens there.
    sys::Socket l = sys::Listen("127.0.0.1", 0, 1);
    ASSERT_NE(l, sys::kNoSocket);
    int port = sys::LocalPort(l);
    sys::Close(l);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<unsigned short>(port));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    sys::Socket s = sys::OpenStream(AF_INET, 0, true);
    ASSERT_NE(s, sys::kNoSocket);
    int r = sys::Connect(s, reinterpret_cast<sockaddr*>(&to), sizeof to);
    int err = r < 0 ? sys::LastError() : 0;
    if (r > 0) {
        EXPECT_EQ(sys::Wait(s, true, 5000), 1);
        err = sys::PendingConnectError(s);
    }
    EXPECT_NE(r, 0);
    EXPECT_NE(err, 0);
    EXPECT_NE(std::string(sys::ErrorText(err)), "");
    sys::Close(s);

    EXPECT_EQ(sys::Listen("127.0.0.999", 0, 1), sys::kNoSocket);
    EXPECT_EQ(sys::Listen("not an address", 0, 1), sys::kNoSocket);
    for (int code : {sys::kErrHostNotFound, sys::kErrTimedOut, sys::kErrBrokenPipe,
                     sys::kErrConnectionReset})
        EXPECT_NE(std::string(sys::ErrorText(code)), "") << code;
}

TEST(SystemLayer, PathsDirectoriesAndTheProgramFolder)
{
    EXPECT_TRUE(sys::IsAbsolutePath("/tmp/x"));
    EXPECT_FALSE(sys::IsAbsolutePath("client1.uir"));
    EXPECT_FALSE(sys::IsAbsolutePath(""));
    EXPECT_TRUE(sys::IsSeparator('/'));
    EXPECT_TRUE(sys::IsSeparator(BERTLOG_DIR_SEP[0]));
    EXPECT_FALSE(sys::IsSeparator(':'));

    char dir[4096];
    ASSERT_EQ(sys::ProgramDirectory(dir, sizeof dir), 0);
    std::string d = dir;
    ASSERT_FALSE(d.empty());
    EXPECT_FALSE(sys::IsSeparator(d.back()));
    EXPECT_TRUE(sys::IsAbsolutePath(dir));
    EXPECT_TRUE(std::filesystem::is_directory(d)) << d;
    char tiny[2];
    EXPECT_EQ(sys::ProgramDirectory(tiny, sizeof tiny), -1);

    namespace fs = std::filesystem;
    // The test may be the first of the suite to run in a fresh build folder.
    const fs::path parent = fs::path(QM_BINARY_DIR) / "tests" / "client";
    fs::create_directories(parent);
    std::string base = harness::MakeUniqueDirectory((parent / "os-").string());
    ASSERT_FALSE(base.empty());
    std::string made = base + BERTLOG_DIR_SEP "log";
    EXPECT_TRUE(sys::MakeDirectory(made.c_str()));
    EXPECT_TRUE(fs::is_directory(made));
    EXPECT_TRUE(sys::MakeDirectory(made.c_str()));  // exists already
    // Below a plain file no directory can be made.
    std::string file = base + BERTLOG_DIR_SEP "file";
    std::fclose(std::fopen(file.c_str(), "w"));
    EXPECT_FALSE(sys::MakeDirectory((file + BERTLOG_DIR_SEP "log").c_str()));
    fs::remove_all(base);
}

TEST(SystemLayer, SleepAndLocalTime)
{
    auto t0 = std::chrono::steady_clock::now();
    sys::SleepSeconds(0.05);
    double slept = Seconds(t0);
    EXPECT_GE(slept, 0.045);
    EXPECT_LT(slept, 2.0);
    t0 = std::chrono::steady_clock::now();
    sys::SleepSeconds(-1);
    sys::SleepSeconds(std::nan(""));
    EXPECT_LT(Seconds(t0), 0.02);

    std::tm a{}, b{};
    sys::LocalTime(0, a);
    sys::LocalTime(86400 * 365, b);  // a year on: 1971
    EXPECT_EQ(b.tm_year - a.tm_year, 1);
    EXPECT_EQ(b.tm_mday, a.tm_mday);
}
