// Instrument command exchange: sending command lines and receiving the
// answers in the TCP callback.
#include <cstring>

#include "bertlog.h"

int ER_flag, EC_flag;
int i, j;
char CurrentTime[32];
char CurrentDate[32];
char elapsed[32];
time_t stop;

namespace {

// Answers to the identification and configuration queries begin with one
// of these letters; anything else is a measured value.
bool IsValue(const char* reply)
{
    return reply[0] != 'A' && reply[0] != 'S' && reply[0] != 'I' && reply[0] != 'P';
}

// The value of an answer: the answer without its line terminator.  An
// answer that arrived without one is taken whole.
void ValueOf(const char* reply, char* value, std::size_t size)
{
    std::size_t n = std::strlen(reply);
    if (n > 0 && (reply[n - 1] == '\n' || reply[n - 1] == '\r')) --n;
    if (n >= size) n = size - 1;
    std::memcpy(value, reply, n);
    value[n] = '\0';
}

void RefreshClock(int panel, const MainLayout& m)
{
    time(&stop);
    double d = difftime(stop, start);
    long whole = static_cast<long>(d);
    int hours = static_cast<int>(whole / 3600);
    int rest = static_cast<int>(whole % 3600);
    int minutes = rest / 60;
    int seconds = rest % 60;
    Fmt(elapsed, "%s<%d%s%d%s%d", hours, ":", minutes, ":", seconds);
    Fmt(CurrentDate, "%s<%s", DateStr());
    Fmt(CurrentTime, "%s<%s", TimeStr());
    DisplayPanel(panel);
    SetCtrlVal(panel, m.time, CurrentTime);
    SetCtrlVal(panel, m.elapsed, elapsed);
    SetCtrlVal(panel, m.date, CurrentDate);
}

}  // namespace

void EchoCommand(int panel, const char* line)
{
    SetCtrlVal(panel, kMainLayout[LayoutIndex()].cmdlog, line);
}

void TransmitCommand(int panel, const char* line)
{
    if (ClientTCPWrite(g_conversation, line, std::strlen(line), 1000) < 0)
        SetCtrlVal(panel, kMainLayout[LayoutIndex()].cmdlog, "Transmit Error\n");
}

int ClientTCPCB(unsigned int, int event, int, void*)
{
    char reply[256];
    char value[256];
    std::memset(reply, 0, sizeof reply);
    std::memset(value, 0, sizeof value);
    int panel = g_clientpanel[LayoutIndex()];
    const MainLayout& m = kMainLayout[LayoutIndex()];

    RefreshClock(panel, m);

    if (event == TCP_DATAREADY) {
        if (ClientTCPRead(g_conversation, reply, sizeof reply - 1, 1000) < 0) {
            SetCtrlVal(panel, m.receive, "Receive Error\n");
            return 0;
        }
        SetCtrlVal(panel, m.receive, reply);
        bool inRange = i >= 0 && i < ED_totalNum && i < 4;
        if (j > 0 && inRange && IsValue(reply)) {
            if (ER_flag == 1 && EC_flag == 0)
                SetCtrlVal(panel, m.er[i], reply);
            else if (EC_flag == 1 && ER_flag == 0)
                SetCtrlVal(panel, m.ec[i], reply);
        }
        if (g_abortflag) {
            odb = OpenLog();
            if (odb) {
                std::fprintf(odb, "Test Abort! \n");
                std::fclose(odb);
                odb = nullptr;
            }
            return 1;
        }
        ProcessSystemEvents();
        odb = OpenLog();
        if (odb && j == 0) std::fprintf(odb, "Receive: %s  at Chan id %d\n\n", reply, i + 1);
        ValueOf(reply, value, sizeof value);
        Delay(0.1);
        if (odb && j > 0) {
            if (ER_flag == 1 && EC_flag == 0)
                std::fprintf(odb, "date %s  time %s  at Chan id %d  ER= %s ", CurrentDate,
                             CurrentTime, i + 1, value);
            else if (EC_flag == 1 && ER_flag == 0)
                std::fprintf(odb, " EC= %s \n\n", value);
        }
        if (odb) std::fclose(odb);
        odb = nullptr;
        return 0;
    }
    if (event == TCP_DISCONNECT) {
        MessagePopup("TCP Client", "Server has closed connection!");
        SetCtrlVal(panel, m.connected, 0);
        g_connected = 0;
        MainPanelCB(panel, EVENT_CLOSE, nullptr, 0, 0);
        return 0;
    }
    return 0;
}
