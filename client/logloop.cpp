// Logging loop and log file: the start control runs a whole logging run
// inside its callback, cycling over the EDs with fixed pauses while the TCP
// callback receives, shows and logs the answers.

#include <cerrno>
#include <cstring>

#include "bertlog.h"
#include "platform/os.h"

char g_dirname[kPathSize];
char g_detargetname[kPathSize];
char g_dedatalogfilename[kPathSize];
FILE* odb;

namespace {

constexpr int kCycleLimit = 276447231;

bool g_logProblemShown = false;  // the operator is told once
bool g_runActive = false;

void ClearFlags()
{
    ER_flag = 0;
    EC_flag = 0;
}

// Builds a command line from its literal text and sends it.
void SendPlain(int panel, char (&buffer)[512], const char* command)
{
    Fmt(buffer, "%s<%s", command);
    std::strcat(buffer, "\n");
    EchoCommand(panel, buffer);
    TransmitCommand(panel, buffer);
}

void SendWithArgument(int panel, char (&buffer)[512], const char* command, const char* argument)
{
    Fmt(buffer, "%s<%s %s", command, argument);
    std::strcat(buffer, "\n");
    EchoCommand(panel, buffer);
    TransmitCommand(panel, buffer);
}

void WriteHeader()
{
    odb = OpenLog();
    if (!odb) return;
    std::fprintf(odb, "Korvane KX2600 Logging...\n");
    std::fprintf(odb, "date %s  ", testdate);
    std::fprintf(odb, "logging start time %s\n", timestart);
    std::fprintf(odb, "Korvane KX2600 ED configuration:\n");
    std::fprintf(odb, "Korvane KX2600 ED data input interface:\n");
    std::fprintf(odb, "SING=Single-ended,DIF50=Differential 50 ohm,DIF100=Differential 100 ohm\n");
    std::fprintf(odb, "Korvane KX2600 ED differential type:\n");
    std::fprintf(odb,
                 "IND=INDependent Data Xdata;TRACk=TRACking Data Xdata common setting;"
                 "ALT=ALTernate Data Xdata differential\n\n");
    std::fclose(odb);
    odb = nullptr;
}

// True when the operator quit; the log then ends with the abort line.
bool Aborted()
{
    if (g_abortflag != 1) return false;
    BuildLogFileName();
    odb = OpenLog();
    if (odb) {
        std::fprintf(odb, "Test Abort! \n");
        std::fclose(odb);
        odb = nullptr;
    }
    return true;
}

int RunLogging(int panel)
{
    const MainLayout& m = kMainLayout[LayoutIndex()];
    char idn[512] = "*IDN?";
    char module[512] = ":MODule:ID";
    char interface[512] = ":INTerface:ID";
    char inputInterface[512] = ":INPut:DATA:INTerface?";
    char differential[512] = ":INPut:DATA:DIFFerential?";
    char patternType[512] = ":SENSe:PATTern:TYPE?";
    char prbsLength[512] = ":SENSe:PATTern:PRBS:LENGth?";
    char frequency[512] = ":CALCulate:DATA:EALarm? \"CURRent:FREQ\"";
    char measureStart[512] = ":SENSe:MEASure:STARt";
    char errorRate[512] = ":CALCulate:DATA:EALarm? \"CURRent:ER:TOTal\"";
    char errorCount[512] = ":CALCulate:DATA:EALarm? \"CURRent:EC:TOTal\"";
    double w = CycleNum >= 7 ? (CycleNum - 7) / 20.0 : 0.0;

    ClearFlags();
    std::strcat(idn, "\n");
    EchoCommand(panel, idn);
    SetCtrlVal(panel, m.cmdstr, "");
    TransmitCommand(panel, idn);
    ClearFlags();
    Delay(0.3);

    BuildLogFileName();
    WriteHeader();
    ClearFlags();
    Delay(0.3);

    for (j = 0; j < kCycleLimit; j++) {
        ClearFlags();
        for (i = 0; i < ED_totalNum; i++) {
            SendWithArgument(panel, module, ":MODule:ID", SlotText(i));
            if (i < 2) Delay(0.3);
            SendWithArgument(panel, interface, ":INTerface:ID", PortText(i));
            Delay(0.3);
            Delay(0.3);

            if (j == 0) {
                SendPlain(panel, inputInterface, ":INPut:DATA:INTerface?");
                Delay(0.3);
                SendPlain(panel, differential, ":INPut:DATA:DIFFerential?");
                Delay(0.3);
                SendPlain(panel, patternType, ":SENSe:PATTern:TYPE?");
                Delay(0.3);
                SendPlain(panel, prbsLength, ":SENSe:PATTern:PRBS:LENGth?");
                Delay(0.3);
                SendPlain(panel, frequency, ":CALCulate:DATA:EALarm? \"CURRent:FREQ\"");
                Delay(1.0);
                SendPlain(panel, measureStart, ":SENSe:MEASure:STARt");
                Delay(2.0);
                odb = OpenLog();
                if (odb) {
                    std::fprintf(odb, "ED channel id: %d  ", i + 1);
                    std::fprintf(odb, "Slot# %s", module);
                    std::fprintf(odb, "   Interface number: %s", interface);
                    Fmt(CurrentTime, "%s<%s", TimeStr());
                    std::fprintf(odb, "BERT Start time at: %s \n", CurrentTime);
                    std::fclose(odb);
                    odb = nullptr;
                } else {
                    Fmt(CurrentTime, "%s<%s", TimeStr());
                }
                if (i == 0) {
                    std::strcat(errorCount, "\n");
                    std::strcat(errorRate, "\n");
                }
            }

            ClearFlags();
            Fmt(CurrentTime, "%s<%s", TimeStr());
            time(&stop);
            EchoCommand(panel, errorRate);
            SetCtrlVal(panel, m.cmdstr, " ");
            TransmitCommand(panel, errorRate);
            ER_flag = 1;
            EC_flag = 0;
            Delay(2.0);

            if (Aborted()) return 1;
            ProcessSystemEvents();
            Delay(0.2);
            for (int k = 0; k < 10; ++k) {
                if (Aborted()) return 1;
                Delay(w);
                ProcessSystemEvents();
            }

            EchoCommand(panel, errorCount);
            SetCtrlVal(panel, m.cmdstr, " ");
            TransmitCommand(panel, errorCount);
            EC_flag = 1;
            ER_flag = 0;
            Delay(2.0);

            if (Aborted()) return 1;
            ProcessSystemEvents();
            for (int k = 0; k < 10; ++k) {
                if (Aborted()) return 1;
                Delay(w);
                ProcessSystemEvents();
            }
            Delay(0.2);
        }
        if (j == 500) ResetTextBox(g_clientpanel[2], m.receive, "");
        if (j == 1000) ResetTextBox(g_clientpanel[1], m.receive, "");
        if (j == 1500) ResetTextBox(g_clientpanel[0], m.receive, "");
        if (Aborted()) return 1;
    }
    return 0;
}

}  // namespace

void BuildLogFileName()
{
    Fmt(g_detargetname, "%s<%s%s%s%d%s%d%s%d%s", "Log", testdate, "--", hr, "-", min, "-", sec,
        ".txt");
    GetProjectDir(g_dirname);
    Fmt(g_dedatalogfilename, "%s<%s" BERTLOG_DIR_SEP "log" BERTLOG_DIR_SEP "%s", g_dirname,
        g_detargetname);
}

FILE* OpenLog()
{
    // No run has named a file yet (an answer arrived outside a run).
    if (g_dedatalogfilename[0] == '\0') return nullptr;
    FILE* f = std::fopen(g_dedatalogfilename, "a");
    if (!f && errno == ENOENT) {
        char dir[kPathSize];
        Fmt(dir, "%s<%s" BERTLOG_DIR_SEP "log", g_dirname);
        if (sys::MakeDirectory(dir)) f = std::fopen(g_dedatalogfilename, "a");
    }
    if (!f && !g_logProblemShown) {
        g_logProblemShown = true;
        char message[kPathSize + 256];
        Fmt(message, "%s<Cannot open the log file %s (%s).\nThe run goes on without logging.",
            g_dedatalogfilename, std::strerror(errno));
        MessagePopup("Log File Error", message);
    }
    return f;
}

int TransmitCB(int panel, int, int, void*, int, int)
{
    // A second press during a run would start a run inside the run.
    if (g_runActive) return 0;
    g_runActive = true;
    int result = RunLogging(panel);
    g_runActive = false;
    return result;
}
