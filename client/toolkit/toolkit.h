// Run-time toolkit layer of bertlog: panels loaded from panel files, modal
// popups, the event loop with its callbacks, a TCP client, text formatting,
// date and time, delays and the program directory.
//
// Everything runs on the one UI thread.  Callbacks (panel, control and TCP)
// are only ever called from inside RunUserInterface, ProcessSystemEvents and
// GetUserEvent; Delay and the popups never dispatch anything.
//
// Two front ends sit behind this interface: a window front end (FLTK on
// Linux, plain Win32 controls on Windows) and a console front end that shows popups and panel updates as text lines and
// takes the operator's answers and actions from standard input.
//
// Environment:
//   BERTLOG_FRONTEND=console|window  front end; by default the window one
//                                    when DISPLAY names an X display that
//                                    can be opened, else the console one.
// Test-only settings (never needed by an operator):
//   BERTLOG_TIME_SCALE=<factor>      Delay sleeps <factor> times the given
//                                    time (0.02 makes a 6 s cycle last 0.1 s).
//   BERTLOG_PROJECT_DIR=<dir>        GetProjectDir gives <dir> instead of the
//                                    program's directory (panel files and
//                                    the "log" directory are looked up there).
//   BERTLOG_GUI_SCRIPT=<file>        window front end only: a scripted driver
//                                    answers the prompts, dismisses the
//                                    message popups and performs the panel
//                                    actions of <file> (see window.cpp and
//                                    window_win32.cpp).
#pragma once

#include <cstddef>

// ---------------------------------------------------------------------------
// Event codes passed to callbacks.
constexpr int EVENT_COMMIT = 1;
constexpr int EVENT_CLOSE = 11;
constexpr int TCP_DISCONNECT = 2;
constexpr int TCP_DATAREADY = 3;

// Status codes of the panel and event operations (all negative).
constexpr int UIE_NotInitialized = -1;
constexpr int UIE_FileNotFound = -2;
constexpr int UIE_BadPanelFile = -3;
constexpr int UIE_ResourceNotFound = -4;
constexpr int UIE_InvalidPanel = -5;
constexpr int UIE_InvalidControl = -6;
constexpr int UIE_TypeMismatch = -7;
constexpr int UIE_UnknownCallback = -8;

// Status codes of the TCP operations (all negative); GetTCPErrorString gives
// their texts.
constexpr int TCP_NotInitialized = -1;
constexpr int TCP_InvalidHandle = -2;
constexpr int TCP_HostNotFound = -3;
constexpr int TCP_ConnectFailed = -4;
constexpr int TCP_Timeout = -5;
constexpr int TCP_WriteFailed = -6;
constexpr int TCP_ReadFailed = -7;
constexpr int TCP_ConnectionClosed = -8;
constexpr int TCP_BufferTooSmall = -9;
constexpr int TCP_SystemError = -10;

using PanelCallbackPtr = int (*)(int panel, int event, void* callbackData, int eventData1,
                                 int eventData2);
using CtrlCallbackPtr = int (*)(int panel, int control, int event, void* callbackData,
                                int eventData1, int eventData2);
using TcpCallbackPtr = int (*)(unsigned int handle, int event, int error, void* callbackData);

// ---------------------------------------------------------------------------
// Start and end.  InitRunTime returns 1 on success and 0 when no front end
// can be started (for example the window front end was asked for and there
// is no display).  CloseRunTime discards every panel, closes every TCP
// conversation and stops the front end; it may be called from a callback.
int InitRunTime(int argc, char* argv[]);
void CloseRunTime();
int DisableBreakOnLibraryErrors();

// Callbacks named in the panel files are bound through this table; the
// program registers its callbacks before loading panels.
void RegisterPanelCallback(const char* name, PanelCallbackPtr fn);
void RegisterCtrlCallback(const char* name, CtrlCallbackPtr fn);

// ---------------------------------------------------------------------------
// Popups (modal).  PromptPopup stores at most maxLength characters and the
// terminating NUL in response (which must hold maxLength + 1 bytes).
int PromptPopup(const char* title, const char* message, char* response, int maxLength);
int MessagePopup(const char* title, const char* message);

// ---------------------------------------------------------------------------
// Panels.  LoadPanel looks a relative file name up in GetProjectDir.
int LoadPanel(int parent, const char* fileName, int resourceId);
int DisplayPanel(int panel);
int HidePanel(int panel);
int DiscardPanel(int panel);
int SetActiveCtrl(int panel, int control);
int ResetTextBox(int panel, int control, const char* text);

// SetCtrlVal: on a text box the text is appended; on the indicator the value
// is an integer (a text on a text control is stored as it is, an integer as
// its decimal text).
int SetCtrlVal(int panel, int control, const char* text);
int SetCtrlVal(int panel, int control, int value);
int GetCtrlValText(int panel, int control, char* buffer, std::size_t size);
int GetCtrlVal(int panel, int control, int* value);
template <std::size_t N>
int GetCtrlVal(int panel, int control, char (&buffer)[N])
{
    return GetCtrlValText(panel, control, buffer, N);
}

// ---------------------------------------------------------------------------
// Events.
int RunUserInterface();
int QuitUserInterface(int returnCode);
int ProcessSystemEvents();
int GetUserEvent(int wait, int* panel, int* control);

// ---------------------------------------------------------------------------
// TCP client.
int ConnectToTCPServer(unsigned int* handle, unsigned int port, const char* host,
                       TcpCallbackPtr callback, void* callbackData, unsigned int timeoutMs);
int DisconnectFromTCPServer(unsigned int handle);
int ClientTCPWrite(unsigned int handle, const void* data, std::size_t length,
                   unsigned int timeoutMs);
int ClientTCPRead(unsigned int handle, void* buffer, std::size_t size, unsigned int timeoutMs);
int GetTCPHostAddr(char* buffer, std::size_t size);
int GetTCPHostName(char* buffer, std::size_t size);
int GetTCPPeerAddr(unsigned int handle, char* buffer, std::size_t size);
int GetTCPPeerName(unsigned int handle, char* buffer, std::size_t size);
const char* GetTCPErrorString(int code);
const char* GetTCPSystemErrorString();

// ---------------------------------------------------------------------------
// Formatting and time.
//
// Fmt builds target from the items after a "%s<" prefix, the items being
// %s (text), %d (int) and %f (double) with any literal text in between; the
// result is cut at the size of target.  Returns the number of characters
// stored, or -1 for a format without the "%s<" prefix.
int FmtN(char* target, std::size_t size, const char* format, ...);
template <std::size_t N, typename... Items>
int Fmt(char (&target)[N], const char* format, Items... items)
{
    return FmtN(target, N, format, items...);
}

// DateStr gives "MM-DD-YYYY" (valid in a file name), TimeStr "HH:MM:SS";
// both return a static buffer overwritten by the next call.
const char* DateStr();
const char* TimeStr();
int GetSystemDate(int* month, int* day, int* year);
int RVX_GetSystemTime(int* hours, int* minutes, int* seconds);
// Blocks for the given time (scaled by BERTLOG_TIME_SCALE) without
// dispatching events.
void Delay(double seconds);
double DelayScale();
int GetProjectDirN(char* buffer, std::size_t size);
template <std::size_t N>
int GetProjectDir(char (&buffer)[N])
{
    return GetProjectDirN(buffer, N);
}
