#pragma once
// AMERICAN month and day names, shared by the date formats and NEXT_DAY.
#include <array>
#include <cstddef>
#include <string_view>

namespace korvo::engine::names {

inline constexpr std::array<std::string_view, 12> kMonths = {
    "JANUARY", "FEBRUARY", "MARCH",     "APRIL",   "MAY",      "JUNE",
    "JULY",    "AUGUST",   "SEPTEMBER", "OCTOBER", "NOVEMBER", "DECEMBER"};

// Sunday first, as D numbers them in AMERICA.
inline constexpr std::array<std::string_view, 7> kDays = {
    "SUNDAY", "MONDAY", "TUESDAY", "WEDNESDAY", "THURSDAY", "FRIDAY", "SATURDAY"};

// The width MONTH and DAY are padded to without FM: the longest name.
inline constexpr std::size_t kMonthWidth = 9;
inline constexpr std::size_t kDayWidth = 9;

// Length of the longest name (full, or its first three letters) that text starts
// with, ignoring case; 0 when none. index receives the name's position.
template <std::size_t N>
std::size_t matchName(const std::array<std::string_view, N>& list, std::string_view text,
                      int& index) {
  auto startsWithIgnoringCase = [&](std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
      char c = text[i];
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      if (c != prefix[i]) return false;
    }
    return true;
  };
  for (std::size_t i = 0; i < N; ++i) {
    if (startsWithIgnoringCase(list[i])) {
      index = static_cast<int>(i);
      return list[i].size();
    }
  }
  for (std::size_t i = 0; i < N; ++i) {
    if (startsWithIgnoringCase(list[i].substr(0, 3))) {
      index = static_cast<int>(i);
      return 3;
    }
  }
  return 0;
}

}  // namespace korvo::engine::names
