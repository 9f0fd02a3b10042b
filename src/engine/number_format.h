#pragma once
// Oracle NUMBER text: implicit conversion, TO_NUMBER and TO_CHAR with number
// format models, and decimal rounding. Numbers are doubles read as decimals of
// 15 significant digits, so ROUND(2.675,2) is 2.68 as in Oracle.
// Errors are thrown as OraError (ORA-01722, ORA-01481).
#include <string>
#include <string_view>

namespace korvo::engine {

// The value rounded (half away from zero) or truncated to places decimals;
// negative places work left of the point.
double roundToPlaces(double v, int places);
double truncToPlaces(double v, int places);
// The value as a decimal of at most 15 significant digits.
double toSignificant15(double v);

// Implicit conversion of text to a number (TO_NUMBER without a format): blanks
// around, a sign, digits with the session's decimal character, an exponent.
double parseNumber(std::string_view text, char decimal = '.');

// TO_NUMBER(text, format).
double parseNumberWithFormat(std::string_view text, std::string_view format, char decimal = '.',
                             char group = ',');

// TO_CHAR(number, format): 9 0 . , D G S MI PR FM $ B V EEEE RN TM TM9 TME.
// Too many integer digits give the whole width in '#'.
std::string formatNumber(double v, std::string_view format, char decimal = '.', char group = ',');

// Throws ORA-01481 when format is not a number format model.
void validateNumberFormat(std::string_view format);

// NLS_NUMERIC_CHARACTERS: decimal character then group separator (".," or ",.").
// Throws ORA-12705 for a setting Oracle refuses.
void parseNumericCharacters(std::string_view setting, char& decimal, char& group);

}  // namespace korvo::engine
