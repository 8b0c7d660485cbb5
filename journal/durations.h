// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Durations as the program shows them: hours, minutes and seconds without padding ("12h30m5s").

#include <QString>
#include <cstdint>
#include <optional>

inline constexpr std::int32_t kSecondsPerMinute = 60;
inline constexpr std::int32_t kMinutesPerHour = 60;
inline constexpr std::int32_t kSecondsPerHour = kSecondsPerMinute * kMinutesPerHour;

struct Hms {
    std::int32_t hours, minutes, seconds;
};

// Hours, minutes and seconds of a count of seconds, each division truncating toward zero; no
// product can exceed the total, so none can overflow.
Hms SplitSeconds(std::int32_t total);
// "12h30m5s". The parts are shown as they are, whether or not they carried.
QString HmsText(const Hms& time);
// Seconds as hours and minutes: "12h30m".
QString HoursMinutes(std::int64_t seconds);
// Seconds as a clock reads them, hours unbounded: "12:31:00".
QString ClockText(std::int32_t seconds);
// A duration typed as a clock reads it ("12:31:00", minutes and seconds below 60) or as hours with
// a decimal comma ("12,5", "12"), to the nearest second; nothing for anything else, a negative
// duration or one beyond the counter's range.
std::optional<std::int32_t> DurationFromText(const QString& text);
