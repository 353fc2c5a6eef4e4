#pragma once
// What a screen reader finds in the hand-drawn month grid: a table whose header cells name the weekdays and
// whose day cells are named by their dates ("Tuesday 8 December 2026, reminders" for a day with a dot), the
// selected day reported as selected and focused. Names use the system's weekday and month names.

class QAccessibleInterface;
class QObject;
class QString;

namespace orv {

// The interfaces of TRxCalendarEx for Qt's accessibility (and so AT-SPI); installed once at start.
QAccessibleInterface* monthGridAccessibleFactory(const QString& className, QObject* object);
void installMonthGridAccessibility();

}  // namespace orv
