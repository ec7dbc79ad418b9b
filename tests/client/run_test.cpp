// Logging runs of bertlog against the simulator: the command sequence, the
// log file, the panel fields, and the faults of the server side.
#include <gtest/gtest.h>

#include <regex>

#include "harness.h"

using namespace harness;

namespace {

// Clock scale of the scripted runs: a 6 s cycle of one ED takes 0.27 s, and
// an answer still has 100 ms to arrive before the next query goes out.
constexpr double kScale = 0.05;

const char* const kErQuery = ":CALCulate:DATA:EALarm? \"CURRent:ER:TOTal\"";
const char* const kEcQuery = ":CALCulate:DATA:EALarm? \"CURRent:EC:TOTal\"";

// The commands of a run with the default entry values (ED k in slot k,
// port 1), for `cycles` cycles.
std::vector<std::string> ExpectedCommands(int eds, int cycles)
{
    std::vector<std::string> out = {"*IDN?"};
    for (int c = 0; c < cycles; ++c) {
        for (int k = 1; k <= eds; ++k) {
            out.push_back(":MODule:ID " + std::to_string(k));
            out.push_back(":INTerface:ID 1");
            if (c == 0) {
                for (const char* q :
                     {":INPut:DATA:INTerface?", ":INPut:DATA:DIFFerential?", ":SENSe:PATTern:TYPE?",
                      ":SENSe:PATTern:PRBS:LENGth?", ":CALCulate:DATA:EALarm? \"CURRent:FREQ\"",
                      ":SENSe:MEASure:STARt"})
                    out.push_back(q);
            }
            out.push_back(kErQuery);
            out.push_back(kEcQuery);
        }
    }
    return out;
}

std::string Chop(const std::string& s)
{
    return !s.empty() && s.back() == '\n' ? s.substr(0, s.size() - 1) : s;
}

struct Record {
    int channel = 0;
    std::string er, ec;
    bool complete = false;
};

// Checks the log of a run (header, ED channel blocks with their "Receive:"
// lines, records, abort line) against the answers the simulator sent, and
// returns the records.
std::vector<Record> CheckLog(const std::string& log, const std::string& fileName, int eds,
                             const std::vector<std::string>& sent)
{
    std::vector<Record> records;
    std::smatch m;
    std::string rest = log;
    static const std::regex header(
        "^Korvane KX2600 Logging\\.\\.\\.\n"
        "date (\\d\\d)-(\\d\\d)-(\\d{4})  logging start time (\\d\\d):(\\d\\d):(\\d\\d)\n"
        "Korvane KX2600 ED configuration:\n"
        "Korvane KX2600 ED data input interface:\n"
        "SING=Single-ended,DIF50=Differential 50 ohm,DIF100=Differential 100 ohm\n"
        "Korvane KX2600 ED differential type:\n"
        "IND=INDependent Data Xdata;TRACk=TRACking Data Xdata common setting;ALT=ALTernate Data "
        "Xdata differential\n\n");
    if (!std::regex_search(rest, m, header)) {
        ADD_FAILURE() << "bad header:\n" << log.substr(0, 600);
        return records;
    }
    // The file is named after the program start: date and unpadded time.
    std::string expectedName = "Log" + m[1].str() + "-" + m[2].str() + "-" + m[3].str() + "--" +
                               std::to_string(std::stoi(m[4])) + "-" +
                               std::to_string(std::stoi(m[5])) + "-" +
                               std::to_string(std::stoi(m[6])) + ".txt";
    EXPECT_EQ(fileName.substr(fileName.rfind('/') + 1), expectedName);
    rest = m.suffix();

    // First cycle: answers of ED k are its five configuration queries and
    // the ER and EC queries (and, for the first, the identification).
    std::size_t s = 0;
    for (int k = 1; k <= eds; ++k) {
        SCOPED_TRACE("ED " + std::to_string(k));
        std::regex block("^ED channel id: " + std::to_string(k) + "  Slot# :MODule:ID " +
                         std::to_string(k) +
                         "\n   Interface number: :INTerface:ID 1\nBERT Start time at: "
                         "\\d\\d:\\d\\d:\\d\\d \n");
        if (!std::regex_search(rest, m, block)) {
            ADD_FAILURE() << "no channel block at:\n" << rest.substr(0, 300);
            return records;
        }
        rest = m.suffix();
        std::string expected;
        for (int n = 0; n < (k == 1 ? 8 : 7) && s < sent.size(); ++n) expected += sent[s++];
        std::string received;
        std::string tail = "  at Chan id " + std::to_string(k) + "\n\n";
        while (rest.rfind("Receive: ", 0) == 0) {
            std::size_t end = rest.find(tail);
            if (end == std::string::npos) break;
            received += rest.substr(9, end - 9);
            rest.erase(0, end + tail.size());
        }
        EXPECT_EQ(received, expected);
    }

    static const std::regex er(
        "^date \\d\\d-\\d\\d-\\d{4}  time \\d\\d:\\d\\d:\\d\\d  at Chan id (\\d)  ER= ([^ ]*) ");
    static const std::regex ec("^ EC= ([^ ]*) \n\n");
    while (std::regex_search(rest, m, er)) {
        Record r;
        r.channel = std::stoi(m[1]);
        r.er = m[2];
        rest = m.suffix();
        if (std::regex_search(rest, m, ec)) {
            r.ec = m[1];
            r.complete = true;
            rest = m.suffix();
        }
        records.push_back(r);
    }
    EXPECT_EQ(rest, "Test Abort! \n");
    return records;
}

// Panel updates printed by the console for controls named `prefix`N.
std::vector<std::pair<std::string, std::string>> FieldUpdates(const Child& client,
                                                              const std::string& panel)
{
    std::vector<std::pair<std::string, std::string>> out;
    static const std::regex field("^(client\\d)\\.((er|ec)\\d) = \"(.*)\"$");
    for (auto& l : client.Lines()) {
        std::smatch m;
        if (std::regex_match(l, m, field) && m[1] == panel) out.emplace_back(m[2], Unescape(m[4]));
    }
    return out;
}

std::string Appended(const Child& client, const std::string& control)
{
    std::string out;
    std::string prefix = control + " += \"";
    for (auto& l : client.Lines())
        if (l.rfind(prefix, 0) == 0 && l.size() > prefix.size())
            out += Unescape(l.substr(prefix.size(), l.size() - prefix.size() - 1));
    return out;
}

// Counts the complete records of the log so far.
std::size_t CountRecords(const ProjectDir& dir)
{
    std::string log = dir.ReadLog();
    std::size_t n = 0;
    for (std::size_t p = 0; (p = log.find(" EC= ", p)) != std::string::npos; ++p) ++n;
    return n;
}

// Waits for n records in the log, reading the simulator's output meanwhile
// (its lines are time-stamped as they are read).
bool WaitForRecords(const ProjectDir& dir, Simulator& sim, std::size_t n, double timeout)
{
    double end = Now() + timeout;
    while (Now() < end) {
        if (CountRecords(dir) >= n) return true;
        sim.Process().PumpFor(0.02);
    }
    return false;
}

// Starts a client against `sim` with `eds` EDs and presses start.
void StartRun(Child& client, const ProjectDir& dir, Simulator& sim, int eds, double scale,
              const char* cycle = "6")
{
    ASSERT_TRUE(StartClient(client, dir, scale));
    client.Write(sim.Address() + "\n" + cycle + "\n" + std::to_string(eds) + "\nconfirm\n");
    ASSERT_TRUE(client.WaitFor("client" + std::to_string(eds) + ".cycle = ", 20));
    client.Write("start\n");
}

class LoggingRun : public ::testing::TestWithParam<int> {};

}  // namespace

TEST_P(LoggingRun, CommandsLogAndFieldsFollowTheAnswers)
{
    const int eds = GetParam();
    const std::string panel = "client" + std::to_string(eds);
    Simulator sim;
    ASSERT_TRUE(sim.Ok());
    ProjectDir dir;
    Child client;
    StartRun(client, dir, sim, eds, kScale);
    ASSERT_TRUE(WaitForRecords(dir, sim, 2 * eds, 60)) << dir.ReadLog();
    client.Write("quit\n");
    EXPECT_EQ(client.Wait(30), 1);
    EXPECT_EQ(sim.Process().Wait(10), 0);
    ExpectNoSanitizerReport(client);

    // The commands: the exact sequence, as far as the run went.
    auto rx = sim.Received();
    auto expected = ExpectedCommands(eds, 4);
    ASSERT_GE(rx.size(), ExpectedCommands(eds, 3).size());
    ASSERT_LE(rx.size(), expected.size());
    expected.resize(rx.size());
    EXPECT_EQ(rx, expected);
    // Each command was echoed in the command log before it was sent.
    std::string echoed;
    for (auto& c : rx) echoed += c + "\n";
    EXPECT_EQ(Appended(client, panel + ".cmdlog"), echoed);

    // Every answer shows in the receive box, as received.
    auto tx = sim.Sent();
    std::string all;
    for (auto& t : tx) all += t;
    std::string shown = Appended(client, panel + ".receive");
    EXPECT_EQ(all.substr(0, shown.size()), shown);
    EXPECT_GE(shown.size() + 32, all.size());

    // The log: header, channel blocks, one record per ED and cycle from the
    // second cycle on, the abort line last.
    std::size_t firstCycle = 1 + 7 * static_cast<std::size_t>(eds);
    auto records = CheckLog(dir.ReadLog(), dir.LogFile(), eds, tx);
    ASSERT_GE(records.size(), static_cast<std::size_t>(2 * eds));
    std::vector<std::pair<std::string, std::string>> fields;
    for (std::size_t r = 0; r < records.size(); ++r) {
        SCOPED_TRACE(r);
        int k = static_cast<int>(r % static_cast<std::size_t>(eds)) + 1;
        EXPECT_EQ(records[r].channel, k);
        ASSERT_LT(firstCycle + 2 * r, tx.size());
        EXPECT_EQ(records[r].er, Chop(tx[firstCycle + 2 * r]));
        fields.emplace_back("er" + std::to_string(k), tx[firstCycle + 2 * r]);
        if (records[r].complete) {
            ASSERT_LT(firstCycle + 2 * r + 1, tx.size());
            EXPECT_EQ(records[r].ec, Chop(tx[firstCycle + 2 * r + 1]));
            fields.emplace_back("ec" + std::to_string(k), tx[firstCycle + 2 * r + 1]);
        } else {
            EXPECT_EQ(r + 1, records.size()) << "only the last record may lack its EC";
        }
    }
    // The fields take the values from the second cycle on, nothing before.
    auto updates = FieldUpdates(client, panel);
    ASSERT_GE(updates.size(), fields.size());
    updates.resize(fields.size());
    EXPECT_EQ(updates, fields);
}

INSTANTIATE_TEST_SUITE_P(EdCounts, LoggingRun, ::testing::Values(1, 2, 4));

// With one ED the commands are numbered: 1 *IDN?, 2-9 first-cycle module,
// interface, configuration and start, 10 ER, 11 EC; in cycle c >= 1 the ER
// query is 10 + 4c and the EC query 11 + 4c.
TEST(LoggingFaults, ConfigurationLikeAnswersNeverReachAField)
{
    Simulator sim({"--reply", "14:PRBS31", "--reply", "15:Alarm", "--reply", "18:Sync", "--reply",
                   "19:Idle", "--delay", "22:15"});
    ASSERT_TRUE(sim.Ok());
    ProjectDir dir;
    Child client;
    StartRun(client, dir, sim, 1, kScale);
    ASSERT_TRUE(WaitForRecords(dir, sim, 3, 60));
    client.Write("quit\n");
    EXPECT_EQ(client.Wait(30), 1);
    EXPECT_EQ(sim.Process().Wait(10), 0);
    ExpectNoSanitizerReport(client);
    auto tx = sim.Sent();
    auto records = CheckLog(dir.ReadLog(), dir.LogFile(), 1, tx);
    ASSERT_GE(records.size(), 3u);
    // The log takes every answer ...
    EXPECT_EQ(records[0].er, "PRBS31");
    EXPECT_EQ(records[0].ec, "Alarm");
    EXPECT_EQ(records[1].er, "Sync");
    EXPECT_EQ(records[1].ec, "Idle");
    // ... the fields only values, and a slightly late answer still lands in
    // its own field.
    auto updates = FieldUpdates(client, "client1");
    ASSERT_GE(updates.size(), 2u);
    EXPECT_EQ(updates[0], std::make_pair(std::string("er1"), records[2].er + "\n"));
    EXPECT_EQ(updates[1], std::make_pair(std::string("ec1"), records[2].ec + "\n"));
    for (auto& [key, value] : updates)
        EXPECT_EQ(std::string("ASIP").find(value[0]), std::string::npos) << value;
}

TEST(LoggingFaults, MalformedOverlongAndUnterminatedAnswers)
{
    Simulator sim({"--reply", "14:%s%n%d garbage", "--noterm", "15", "--long", "18"});
    ASSERT_TRUE(sim.Ok());
    ProjectDir dir;
    Child client;
    StartRun(client, dir, sim, 1, kScale);
    ASSERT_TRUE(WaitForRecords(dir, sim, 3, 60));
    client.Write("quit\n");
    EXPECT_EQ(client.Wait(30), 1);
    EXPECT_EQ(sim.Process().Wait(10), 0);
    ExpectNoSanitizerReport(client);
    std::string log = dir.ReadLog();
    auto tx = sim.Sent();
    // Answers: 0 identification, 1-5 configuration, 6 and 7 ER and EC of the
    // first cycle, 8 and 9 of the second, 10 (300 bytes) and 11 of the third.
    ASSERT_GE(tx.size(), 12u);
    // A text with conversion characters is stored as it came.
    EXPECT_NE(log.find("ER= %s%n%d garbage  EC= "), std::string::npos) << log;
    // An answer without its line feed keeps its last character.
    ASSERT_NE(tx[9].back(), '\n');
    EXPECT_NE(log.find(" EC= " + tx[9] + " \n\n"), std::string::npos) << log;
    // 300 bytes arrive in two reads of the 255-byte reply buffer; nothing
    // is lost and nothing overruns (the second piece, handled inside the
    // handling of the first, may be logged first).
    EXPECT_NE(log.find("ER= " + std::string(255, '1') + " "), std::string::npos);
    EXPECT_NE(log.find("ER= " + std::string(44, '1') + " "), std::string::npos);
    EXPECT_NE(Appended(client, "client1.receive").find(std::string(299, '1') + "\n"),
              std::string::npos);
    auto updates = FieldUpdates(client, "client1");
    bool longShown = false;
    for (auto& [key, value] : updates) longShown |= key == "er1" && value == std::string(255, '1');
    EXPECT_TRUE(longShown);
}

TEST(LoggingFaults, ServerClosingMidRunKeepsTheLogAndSendsFail)
{
    Simulator sim({"--close-after", "15"});
    ASSERT_TRUE(sim.Ok());
    ProjectDir dir;
    Child client;
    StartRun(client, dir, sim, 1, kScale);
    ASSERT_TRUE(client.WaitFor("popup: \"TCP Client\" \"Server has closed connection!\"", 60));
    ASSERT_TRUE(client.WaitFor("client1.connected = 0", 10));
    // The run goes on; every send now fails.
    ASSERT_TRUE(client.WaitFor("client1.cmdlog += \"Transmit Error\\n\"", 20));
    client.Write("quit\n");
    EXPECT_EQ(client.Wait(30), 1);
    EXPECT_EQ(sim.Process().Wait(10), 0);
    ExpectNoSanitizerReport(client);
    auto tx = sim.Sent();
    auto records = CheckLog(dir.ReadLog(), dir.LogFile(), 1, tx);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_TRUE(records[0].complete);
    EXPECT_EQ(records[0].ec, Chop(tx.back()));
    EXPECT_EQ(client.Count("Server has closed connection!"), 1u);
}

TEST(LoggingFaults, UnwritableLogIsReportedOnceAndTheRunGoesOn)
{
    Simulator sim;
    ASSERT_TRUE(sim.Ok());
    ProjectDir dir;
    // A plain file where the log directory should be.
    FILE* f = std::fopen((dir.Path() + "/log").c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fclose(f);
    Child client;
    StartRun(client, dir, sim, 1, kScale);
    ASSERT_TRUE(client.WaitFor("client1.ec1 = ", 60));
    client.Write("quit\n");
    EXPECT_EQ(client.Wait(30), 1);
    EXPECT_EQ(sim.Process().Wait(10), 0);
    ExpectNoSanitizerReport(client);
    EXPECT_EQ(client.Count("popup: \"Log File Error\""), 1u);
}

TEST(LoggingRealTime, OneEdCycleSix)
{
    Simulator sim;
    ASSERT_TRUE(sim.Ok());
    ProjectDir dir;
    Child client;
    StartRun(client, dir, sim, 1, 1.0);
    ASSERT_TRUE(WaitForRecords(dir, sim, 1, 40));
    double quitAt = Now();
    client.Write("quit\n");
    EXPECT_EQ(client.Wait(30), 1);
    // Quitting is noticed at the next event check, at most one 2 s pause on.
    EXPECT_LT(Now() - quitAt, 4.0);
    EXPECT_EQ(sim.Process().Wait(10), 0);
    ExpectNoSanitizerReport(client);
    // From "*IDN?" to the second cycle's ER query: 0.6 s before the loop,
    // 5.7 s of first-cycle pauses before the ER query, 4.6 s of ER and EC
    // phases and 0.9 s of module and interface pauses, plus the 0.1 s a
    // handled answer takes.
    auto& lines = sim.Process().Lines();
    auto& times = sim.Process().Times();
    double idn = -1, er2 = -1;
    int erSeen = 0;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        if (lines[k] == "RX *IDN?") idn = times[k];
        if (lines[k] == "RX " + std::string(":CALCulate:DATA:EALarm? \\\"CURRent:ER:TOTal\\\"") &&
            ++erSeen == 2)
            er2 = times[k];
    }
    ASSERT_GE(idn, 0);
    ASSERT_GE(er2, 0);
    EXPECT_GT(er2 - idn, 11.0);
    EXPECT_LT(er2 - idn, 13.5);
    auto records = CheckLog(dir.ReadLog(), dir.LogFile(), 1, sim.Sent());
    EXPECT_GE(records.size(), 1u);
}
