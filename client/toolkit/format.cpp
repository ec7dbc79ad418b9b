// Formatting, date and time, delays and the program directory.
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform/os.h"
#include "toolkit.h"

int FmtN(char* target, std::size_t size, const char* format, ...)
{
    if (!target || size == 0) return -1;
    target[0] = '\0';
    if (!format || std::strncmp(format, "%s<", 3) != 0) return -1;
    va_list ap;
    va_start(ap, format);
    int n = std::vsnprintf(target, size, format + 3, ap);
    va_end(ap);
    if (n < 0) {
        target[0] = '\0';
        return -1;
    }
    return static_cast<std::size_t>(n) < size ? n : static_cast<int>(size - 1);
}

namespace {

std::tm Now()
{
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    sys::LocalTime(t, tm);
    return tm;
}

}  // namespace

const char* DateStr()
{
    static char buf[48];
    std::tm tm = Now();
    std::snprintf(buf, sizeof buf, "%02d-%02d-%04d", tm.tm_mon + 1, tm.tm_mday, tm.tm_year + 1900);
    return buf;
}

const char* TimeStr()
{
    static char buf[48];
    std::tm tm = Now();
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", tm.tm_hour, tm.tm_min, tm.tm_sec);
    return buf;
}

int GetSystemDate(int* month, int* day, int* year)
{
    std::tm tm = Now();
    if (month) *month = tm.tm_mon + 1;
    if (day) *day = tm.tm_mday;
    if (year) *year = tm.tm_year + 1900;
    return 0;
}

int RVX_GetSystemTime(int* hours, int* minutes, int* seconds)
{
    std::tm tm = Now();
    if (hours) *hours = tm.tm_hour;
    if (minutes) *minutes = tm.tm_min;
    if (seconds) *seconds = tm.tm_sec;
    return 0;
}

double DelayScale()
{
    static double scale = [] {
        const char* s = std::getenv("BERTLOG_TIME_SCALE");
        if (!s || !*s) return 1.0;
        char* end = nullptr;
        double v = std::strtod(s, &end);
        return (*end == '\0' && std::isfinite(v) && v >= 0.0) ? v : 1.0;
    }();
    return scale;
}

void Delay(double seconds)
{
    sys::SleepSeconds(seconds * DelayScale());
}

int GetProjectDirN(char* buffer, std::size_t size)
{
    if (!buffer || size == 0) return -1;
    buffer[0] = '\0';
    const char* over = std::getenv("BERTLOG_PROJECT_DIR");
    if (over && *over) {
        if (std::strlen(over) + 1 > size) return -1;
        std::strcpy(buffer, over);
    } else if (sys::ProgramDirectory(buffer, size) < 0) {
        buffer[0] = '\0';
        return -1;
    }
    std::size_t len = std::strlen(buffer);
    while (len > 1 && sys::IsSeparator(buffer[len - 1])) buffer[--len] = '\0';
    return 0;
}
