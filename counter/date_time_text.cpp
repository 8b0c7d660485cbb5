#include "counter/date_time_text.h"

#include <ctime>

namespace {

QString Formatted(const char* format, const std::tm& when) {
    char text[128];
    const std::size_t length = std::strftime(text, sizeof text, format, &when);
    return QString::fromLocal8Bit(text, static_cast<qsizetype>(length));
}

} // namespace

QString DateTimeText(const QDateTime& local) {
    const QDate date = local.date();
    const QTime time = local.time();
    std::tm when{};
    when.tm_year = date.year() - 1900;
    when.tm_mon = date.month() - 1;
    when.tm_mday = date.day();
    when.tm_wday = date.dayOfWeek() % 7;
    when.tm_yday = date.dayOfYear() - 1;
    when.tm_hour = time.hour();
    when.tm_min = time.minute();
    when.tm_sec = time.second();
    when.tm_isdst = -1;
    const QString dateText = Formatted("%x", when);
    if (time.hour() == 0 && time.minute() == 0 && time.second() == 0) {
        return dateText;
    }
    return dateText + ' ' + Formatted("%X", when);
}
