#pragma once

#include <QDate>
#include <QDateTime>

namespace kelvo {

// "Today" for the commands that depend on it (the yearly posting, the print
// date), injected so that tests can fix the date.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDate today() const = 0;
};

class SystemClock final : public Clock {
public:
    QDate today() const override { return QDate::currentDate(); }
};

class FixedClock final : public Clock {
public:
    explicit FixedClock(QDate date) : date_(date) {}
    QDate today() const override { return date_; }
    void setToday(QDate date) { date_ = date; }

private:
    QDate date_;
};

} // namespace kelvo
