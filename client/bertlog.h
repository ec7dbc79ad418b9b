// bertlog: logs the error rate and error count of one, two or four error
// detectors (EDs) of a KX2600 bit-error-rate tester, talking to the server
// logging application over TCP port 5001.
//
// One thread does everything.  The globals below are shared by the start-up
// code (startup.cpp), the command exchange (exchange.cpp) and the logging
// loop (logloop.cpp) without locks: callbacks only run inside the toolkit's
// dispatching calls.
#pragma once

#include <climits>
#include <cstdio>
#include <ctime>

#include "toolkit/toolkit.h"

// Path buffers: the longest path the system accepts.
constexpr int kPathSize = PATH_MAX;

// ---------------------------------------------------------------------------
// Start-up state (startup.cpp).
extern char CycleNumStr[32];
extern int CycleNum;
extern char ED_totalNumStr[32];
extern int ED_totalNum;
extern char EDid[32], EDid2[32], EDid3[32], EDid4[32];
extern char CHid[32], CHid2[32], CHid3[32], CHid4[32];
extern char testdate[32], timestart[32];
extern int mo, dy, yr, hr, min, sec;
extern time_t start;
extern int g_abortflag;
extern int g_connected;
extern int g_tcperr;
extern unsigned int g_conversation;
extern int g_clientpanel[3];
extern int g_edentrypanel[3];
extern int panelseqnumber, panel_number;

// Command exchange and logging loop state (exchange.cpp, logloop.cpp).
extern int ER_flag, EC_flag;
extern int i, j;
extern char CurrentTime[32];
extern char CurrentDate[32];
extern char elapsed[32];
extern time_t stop;
extern char g_dirname[kPathSize];
extern char g_detargetname[kPathSize];
extern char g_dedatalogfilename[kPathSize];
extern FILE* odb;

// ---------------------------------------------------------------------------
// Control identifiers of the panel layouts, index 0, 1, 2 for 1, 2, 4 EDs.
struct MainLayout {
    int cmdlog, cmdstr, receive, connected, localaddr, date, time, elapsed, starttime, cycle,
        peeraddr;
    int slot[4], port[4], er[4], ec[4];
};
struct EntryLayout {
    int slot[4], port[4], confirm, quit;
};
extern const MainLayout kMainLayout[3];
extern const EntryLayout kEntryLayout[3];
extern const char* const kMainPanelFile[3];
extern const char* const kEntryPanelFile[3];

// Layout index of ED_totalNum (0 for 1 ED, 1 for 2, 2 for 4).
int LayoutIndex();
// Slot and port texts of ED k (0-based).
char* SlotText(int k);
char* PortText(int k);

// ---------------------------------------------------------------------------
int ED_entry(int* sequence);
int Do_mainpanel(int* sequence);
void ReportTCPError();
int MainPanelCB(int panel, int event, void* callbackData, int eventData1, int eventData2);
int ClearScreenCB2(int panel, int control, int event, void* callbackData, int eventData1,
                   int eventData2);
int TransmitCB(int panel, int control, int event, void* callbackData, int eventData1,
               int eventData2);
int ClientTCPCB(unsigned int handle, int event, int error, void* callbackData);

// Echoes a built command line in the command log of `panel`, and sends it
// ("Transmit Error\n" in the command log when the send fails).
void EchoCommand(int panel, const char* line);
void TransmitCommand(int panel, const char* line);

// Log file helpers (logloop.cpp).  OpenLog opens g_dedatalogfilename for
// appending, creating the "log" directory when it is missing; when the file
// cannot be opened it tells the operator once and returns nullptr.
void BuildLogFileName();
FILE* OpenLog();
