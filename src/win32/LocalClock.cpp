#include "win32/LocalClock.h"

#include "win32/WinApi.h"

#include "win32/Text.h"

namespace hourmark::win32 {

namespace {

std::string UserLocaleText(LCTYPE what, const char* fallback) {
    wchar_t buffer[64] = {};
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, what, buffer, 64) <= 0) {
        return fallback;
    }
    return Utf8FromWide(buffer);
}

}  // namespace

LocalTime LocalClock::Now() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    LocalTime t;
    t.year = st.wYear;
    t.month = st.wMonth;
    t.day = st.wDay;
    t.hour = st.wHour;
    t.minute = st.wMinute;
    t.second = st.wSecond;
    t.millisecond = st.wMilliseconds;
    return t;
}

std::string LocalClock::AmDesignator() {
    return UserLocaleText(LOCALE_S1159, "AM");
}

std::string LocalClock::PmDesignator() {
    return UserLocaleText(LOCALE_S2359, "PM");
}

}  // namespace hourmark::win32
