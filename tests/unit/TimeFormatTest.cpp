#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/TimeFormat.h"

namespace hourmark {
namespace {

LocalTime At(int year, int month, int day, int hour, int minute, int second) {
    LocalTime t;
    t.year = year;
    t.month = month;
    t.day = day;
    t.hour = hour;
    t.minute = minute;
    t.second = second;
    return t;
}

std::string Fmt(const LocalTime& t, const char* pattern) {
    return FormatTime(t, pattern, "AM", "PM");
}

struct Case {
    LocalTime t;
    const char* clock;      // hh:mm:ss
    const char* window;     // hh:mm
    const char* log;        // mm/dd/yy hh:mm:ss
    const char* recording;  // yyyy_mm_dd_hhmmss
    const char* spokenMin;  // H MM AMPM
    const char* spoken;     // H AMPM
};

TEST(TimeFormat, EveryPatternAtOrdinaryAndAwkwardMoments) {
    const std::vector<Case> cases = {
        {At(2026, 3, 14, 15, 30, 45), "15:30:45", "15:30", "03/14/26 15:30:45", "2026_03_14_153045",
         "3 30 PM", "3 PM"},
        // Midnight: 24-hour fields read 00, the spoken hour is 12 AM.
        {At(2026, 2, 1, 0, 5, 9), "00:05:09", "00:05", "02/01/26 00:05:09", "2026_02_01_000509",
         "12 05 AM", "12 AM"},
        // Noon is PM.
        {At(2026, 7, 4, 12, 0, 0), "12:00:00", "12:00", "07/04/26 12:00:00", "2026_07_04_120000",
         "12 00 PM", "12 PM"},
        {At(2026, 7, 4, 11, 59, 59), "11:59:59", "11:59", "07/04/26 11:59:59", "2026_07_04_115959",
         "11 59 AM", "11 AM"},
        {At(2026, 12, 31, 23, 59, 59), "23:59:59", "23:59", "12/31/26 23:59:59",
         "2026_12_31_235959", "11 59 PM", "11 PM"},
        {At(2026, 1, 9, 13, 7, 3), "13:07:03", "13:07", "01/09/26 13:07:03", "2026_01_09_130703",
         "1 07 PM", "1 PM"},
        {At(2026, 12, 6, 6, 35, 27), "06:35:27", "06:35", "12/06/26 06:35:27", "2026_12_06_063527",
         "6 35 AM", "6 AM"},
        // Two-digit years keep their leading zero.
        {At(2000, 10, 10, 10, 10, 10), "10:10:10", "10:10", "10/10/00 10:10:10",
         "2000_10_10_101010", "10 10 AM", "10 AM"},
        {At(2009, 5, 20, 1, 2, 3), "01:02:03", "01:02", "05/20/09 01:02:03", "2009_05_20_010203",
         "1 02 AM", "1 AM"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.log);
        EXPECT_EQ(Fmt(c.t, "hh:mm:ss"), c.clock);
        EXPECT_EQ(Fmt(c.t, "hh:mm"), c.window);
        EXPECT_EQ(Fmt(c.t, "mm/dd/yy hh:mm:ss"), c.log);
        EXPECT_EQ(Fmt(c.t, "yyyy_mm_dd_hhmmss"), c.recording);
        EXPECT_EQ(Fmt(c.t, "H MM AMPM"), c.spokenMin);
        EXPECT_EQ(Fmt(c.t, "H AMPM"), c.spoken);
    }
}

TEST(TimeFormat, SpokenTimeUsesTheRegionalDesignators) {
    const LocalTime morning = At(2026, 3, 14, 0, 15, 0);
    const LocalTime afternoon = At(2026, 3, 14, 14, 45, 0);
    EXPECT_EQ(FormatTime(morning, "H AMPM", "vorm.", "nachm."), "12 vorm.");
    EXPECT_EQ(FormatTime(afternoon, "H MM AMPM", "vorm.", "nachm."), "2 45 nachm.");
    EXPECT_EQ(
        FormatTime(afternoon, "H AMPM", "\xE5\x8D\x88\xE5\x89\x8D", "\xE5\x8D\x88\xE5\xBE\x8C"),
        "2 \xE5\x8D\x88\xE5\xBE\x8C");
    // The designators never turn a 24-hour pattern into a 12-hour one.
    EXPECT_EQ(FormatTime(afternoon, "hh:mm:ss", "vorm.", "nachm."), "14:45:00");
}

}  // namespace
}  // namespace hourmark
