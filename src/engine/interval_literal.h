#pragma once
// INTERVAL literals: INTERVAL '1-6' YEAR TO MONTH, INTERVAL '2 03:04:05' DAY TO SECOND ...
// A year-to-month interval is a number of months, a day-to-second one a number of seconds.
#include <string>

namespace korvo::engine {

struct IntervalValue {
  bool yearMonth = false;
  long long months = 0;  // yearMonth
  double seconds = 0;    // day to second
};

// text is the literal's string, units its qualifier as the parser keeps it
// ("DAY(3) TO SECOND(2)"). Throws Oracle's errors: ORA-01867 for text that does
// not match the units, ORA-01873 for too many leading digits, ORA-01843/01850/
// 01851/01852 for a field out of range, ORA-30088 for a bad precision.
IntervalValue parseIntervalLiteral(const std::string& text, const std::string& units);

}  // namespace korvo::engine
