// Start-up, operator dialogs and connection: the prompts for server address,
// logging cycle and ED count, the panels of the ED count, the connection,
// the ED slot/port entry panel, the main panel and every quit path.
#include <cstdlib>
#include <cstring>

#include "bertlog.h"

char CycleNumStr[32];
int CycleNum;
char ED_totalNumStr[32];
int ED_totalNum;
char EDid[32], EDid2[32], EDid3[32], EDid4[32];
char CHid[32], CHid2[32], CHid3[32], CHid4[32];
char testdate[32], timestart[32];
int mo, dy, yr, hr, min, sec;
time_t start;
int g_abortflag;
int g_connected;
int g_tcperr;
unsigned int g_conversation;
int g_clientpanel[3];
int g_edentrypanel[3];
int panelseqnumber, panel_number;

const MainLayout kMainLayout[3] = {
    // cmdlog cmdstr receive connected localaddr date time elapsed starttime cycle peeraddr
    {2, 3, 4, 5, 7, 8, 9, 10, 11, 15, 17, {14}, {13}, {16}, {12}},
    {2, 3, 4, 5, 7, 8, 9, 10, 14, 19, 21, {18, 13}, {17, 12}, {20, 15}, {16, 11}},
    {2,
     3,
     4,
     5,
     7,
     8,
     9,
     10,
     14,
     27,
     29,
     {26, 13, 18, 22},
     {25, 12, 17, 21},
     {28, 15, 23, 24},
     {20, 11, 16, 19}},
};

const EntryLayout kEntryLayout[3] = {
    {{2}, {3}, 4, 5},
    {{4, 2}, {5, 3}, 6, 7},
    {{8, 2, 4, 6}, {9, 3, 5, 7}, 10, 11},
};

const char* const kMainPanelFile[3] = {"client1.uir", "client2.uir", "client4.uir"};
const char* const kEntryPanelFile[3] = {"ed_entry1.uir", "ed_entry2.uir", "ed_entry4.uir"};

namespace {

char* const kSlotText[4] = {EDid, EDid2, EDid3, EDid4};
char* const kPortText[4] = {CHid, CHid2, CHid3, CHid4};

// The panel callbacks, bound by the names the panel files give.
const bool kCallbacksBound = [] {
    RegisterPanelCallback("MainPanelCB", MainPanelCB);
    RegisterCtrlCallback("TransmitCB", TransmitCB);
    RegisterCtrlCallback("ClearScreenCB2", ClearScreenCB2);
    return true;
}();

// Fatal exit after a bad answer or a failed connection.
int FatalExit(const char* title, const char* message)
{
    MessagePopup(title, message);
    g_abortflag = 1;
    g_connected = 0;
    DisconnectFromTCPServer(g_conversation);
    CloseRunTime();
    QuitUserInterface(0);
    return 1;
}

// The operator quits (entry panel quit control, main panel quit control).
void QuitPath()
{
    g_abortflag = 1;
    g_connected = 0;
    DisconnectFromTCPServer(g_conversation);
    for (int k = 0; k < 3; ++k) DiscardPanel(g_clientpanel[k]);
    CloseRunTime();
    QuitUserInterface(0);
}

}  // namespace

int LayoutIndex()
{
    return ED_totalNum == 4 ? 2 : ED_totalNum == 2 ? 1 : 0;
}

char* SlotText(int k)
{
    static char none[32];
    return k >= 0 && k < 4 ? kSlotText[k] : none;
}

char* PortText(int k)
{
    static char none[32];
    return k >= 0 && k < 4 ? kPortText[k] : none;
}

int main(int argc, char* argv[])
{
    (void)kCallbacksBound;
    char portText[32];
    char address[256];
    std::strncpy(portText, "5001", sizeof portText);
    std::memset(address, 0, sizeof address);

    Fmt(testdate, "%s<%s", DateStr());
    Fmt(timestart, "%s<%s", TimeStr());
    GetSystemDate(&mo, &dy, &yr);
    RVX_GetSystemTime(&hr, &min, &sec);
    time(&start);
    g_abortflag = 0;

    if (InitRunTime(argc, argv) == 0) return -1;
    DisableBreakOnLibraryErrors();

    PromptPopup("IP address?",
                "Type the IP address running the server logging application.\n\n"
                "(example:192.168.2.101 or 127.0.0.1)",
                address, 255);
    unsigned int port = static_cast<unsigned int>(std::atoi(portText));

    PromptPopup("Logging Cycle (seconds)? (must be > 5 seconds ! )",
                "Type the number that was set when starting logging application.\n\n"
                "(example: 6, 10 or 30)",
                CycleNumStr, 31);
    CycleNum = std::atoi(CycleNumStr);
    if (CycleNum < 6 || CycleNum > 999)
        return FatalExit("Incorrect Cycle number for logging, suggest 6 - 999 seconds", "Exit!");

    PromptPopup("Total ED Number for BERT logging?",
                "Type the total ED number that was set when starting the BERT logging "
                "application.\n\n(must be 1, 2, or 4)",
                ED_totalNumStr, 31);
    ED_totalNum = std::atoi(ED_totalNumStr);
    if (ED_totalNum == 1 || ED_totalNum == 2 || ED_totalNum == 4)
        MessagePopup("correct ED total number", "Please continue!");
    else
        return FatalExit("Incorrect ED total number", "Please exit!");

    int layout = LayoutIndex();
    g_clientpanel[layout] = LoadPanel(0, kMainPanelFile[layout], 1);
    if (g_clientpanel[layout] >= 0) {
        g_edentrypanel[layout] = LoadPanel(0, kEntryPanelFile[layout], 1);
        // Without its entry panel the program could only wait for ever.
        if (g_edentrypanel[layout] >= 0) {
            if (ConnectToTCPServer(&g_conversation, port, address, ClientTCPCB, nullptr, 5000) < 0)
                return FatalExit("TCP Client", "Connection to server failed !");
            g_connected = 1;
            panelseqnumber = 1;
            panel_number = 1;
            while (panel_number < 2)
                if (ED_entry(&panelseqnumber) == -1) return 0;
            ProcessSystemEvents();
            Do_mainpanel(&panelseqnumber);
            if (g_abortflag) return 1;
            RunUserInterface();
        }
    }

    if (g_connected) DisconnectFromTCPServer(g_conversation);
    for (int k = 0; k < 3; ++k) DiscardPanel(g_clientpanel[k]);
    CloseRunTime();
    return 0;
}

int ED_entry(int* sequence)
{
    int layout = LayoutIndex();
    int panel = g_edentrypanel[layout];
    const EntryLayout& e = kEntryLayout[layout];
    int result = 0;
    bool done = false;
    DisplayPanel(panel);
    while (!done) {
        int eventPanel = 0, control = 0;
        if (GetUserEvent(1, &eventPanel, &control) != EVENT_COMMIT) {
            // The toolkit was closed under us: nothing more can come.
            result = -1;
            break;
        }
        if (eventPanel != panel) continue;
        if (control == e.confirm) {
            for (int k = 0; k < ED_totalNum && k < 4; ++k) {
                GetCtrlValText(panel, e.slot[k], SlotText(k), 32);
                GetCtrlValText(panel, e.port[k], PortText(k), 32);
            }
            result = 0;
            done = true;
            ++*sequence;
            bool badSlot = false, badPort = false;
            for (int k = 0; k < ED_totalNum && k < 4; ++k) {
                int slot = std::atoi(SlotText(k));
                int port = std::atoi(PortText(k));
                if (slot < 1 || slot > 6) badSlot = true;
                if (port < 1 || port > 4) badPort = true;
            }
            if (badSlot)
                MessagePopup("Incorrect slot number for ED, must be 1 - 6", "Please exit!");
            if (badPort)
                MessagePopup("Incorrect port number for ED, must be 1 - 4 ", "Please exit!");
            // Out-of-range values would select a module or port that does
            // not exist: the operator corrects them on the same panel.
            if (badSlot || badPort)
                done = false;
            else
                panel_number += 1;
        } else if (control == e.quit) {
            result = -1;
            done = true;
            QuitPath();
        }
    }
    HidePanel(panel);
    return result;
}

int Do_mainpanel(int* sequence)
{
    (void)sequence;
    int layout = LayoutIndex();
    int panel = g_clientpanel[layout];
    const MainLayout& m = kMainLayout[layout];
    char text[256];
    DisplayPanel(panel);
    SetCtrlVal(panel, m.connected, 1);
    bool filled = false;
    do {
        if ((g_tcperr = GetTCPHostAddr(text, sizeof text)) < 0) break;
        SetCtrlVal(panel, m.localaddr, text);
        if ((g_tcperr = GetTCPHostName(text, sizeof text)) < 0) break;
        if ((g_tcperr = GetTCPPeerAddr(g_conversation, text, sizeof text)) < 0) break;
        SetCtrlVal(panel, m.peeraddr, text);
        if ((g_tcperr = GetTCPPeerName(g_conversation, text, sizeof text)) < 0) break;
        filled = true;
    } while (false);
    if (!filled) {
        ReportTCPError();
    } else {
        SetActiveCtrl(panel, m.cmdstr);
        for (int k = 0; k < ED_totalNum && k < 4; ++k) {
            SetCtrlVal(panel, m.slot[k], SlotText(k));
            SetCtrlVal(panel, m.port[k], PortText(k));
        }
        SetCtrlVal(panel, m.starttime, timestart);
        SetCtrlVal(panel, m.cycle, CycleNumStr);
        RunUserInterface();
    }
    if (g_connected) DisconnectFromTCPServer(g_conversation);
    return 0;
}

void ReportTCPError()
{
    if (g_tcperr < 0) {
        char message[1024];
        Fmt(message, "%s<TCP library error message: %s\nSystem error message: %s",
            GetTCPErrorString(g_tcperr), GetTCPSystemErrorString());
        MessagePopup("Error", message);
        g_tcperr = 0;
    }
}

int MainPanelCB(int, int event, void*, int, int)
{
    if (event == EVENT_CLOSE) QuitUserInterface(0);
    return 0;
}

int ClearScreenCB2(int, int, int event, void*, int, int)
{
    if (event == EVENT_COMMIT) {
        QuitPath();
        return 1;
    }
    return 0;
}
