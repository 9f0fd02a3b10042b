#include "engine/datetime_model.h"

#include "engine/ora_error.h"

namespace korvo::engine::datefmt {

namespace {

constexpr Spelling kSpellings[] = {
    {"SYYYY", El::SYYYY},
    {"SSSSS", El::SSSSS},
    {"SCC", El::SCC},
    {"SS", El::SS},
    {"Y,YYY", El::YCommaYYY},
    {"YYYY", El::YYYY},
    {"YYY", El::YYY},
    {"YY", El::YY},
    {"Y", El::Y},
    {"RRRR", El::RRRR},
    {"RR", El::RR},
    {"RM", El::RM},
    {"IYYY", El::IYYY},
    {"IYY", El::IYY},
    {"IW", El::IW},
    {"IY", El::IY},
    {"I", El::I},
    {"CC", El::CC},
    {"Q", El::Q},
    {"MONTH", El::MONTH},
    {"MON", El::MON},
    {"MM", El::MM},
    {"MI", El::MI},
    {"DDD", El::DDD},
    {"DD", El::DD},
    {"DAY", El::DAY},
    {"DY", El::DY},
    {"D", El::D},
    {"HH24", El::HH24},
    {"HH12", El::HH12},
    {"HH", El::HH},
    {"A.M.", El::AMDots},
    {"AM", El::AM},
    {"P.M.", El::AMDots},
    {"PM", El::AM},
    {"A.D.", El::ADDots},
    {"AD", El::AD},
    {"B.C.", El::ADDots},
    {"BC", El::AD},
    {"J", El::J},
    {"WW", El::WW},
    {"W", El::W},
    {"FM", El::FM},
    {"FX", El::FX},
};

[[noreturn]] void formatNotRecognized() { throw OraError(1821); }

// Case of a name element follows how the element is written: MON, Mon, mon.
Casing casingOf(std::string_view spelled) {
  char first = 0;
  char second = 0;
  for (char c : spelled) {
    if (!isAlpha(c)) continue;
    if (!first) {
      first = c;
    } else {
      second = c;
      break;
    }
  }
  if (std::islower(static_cast<unsigned char>(first))) return Casing::Lower;
  if (second && std::islower(static_cast<unsigned char>(second))) return Casing::Capital;
  return Casing::Upper;
}

}  // namespace

bool isNumeric(El el) {
  switch (el) {
    case El::SYYYY:
    case El::YYYY:
    case El::YCommaYYY:
    case El::YYY:
    case El::YY:
    case El::Y:
    case El::RRRR:
    case El::RR:
    case El::IYYY:
    case El::IYY:
    case El::IY:
    case El::I:
    case El::SCC:
    case El::CC:
    case El::Q:
    case El::MM:
    case El::DDD:
    case El::DD:
    case El::D:
    case El::HH:
    case El::HH12:
    case El::HH24:
    case El::MI:
    case El::SS:
    case El::SSSSS:
    case El::J:
    case El::WW:
    case El::IW:
    case El::W:
      return true;
    default:
      return false;
  }
}

std::string applyCasing(std::string_view upper, Casing casing) {
  std::string out(upper);
  bool atWordStart = true;
  for (char& c : out) {
    bool lower = casing == Casing::Lower || (casing == Casing::Capital && !atWordStart);
    if (lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    atWordStart = !isAlpha(c);
  }
  return out;
}

std::vector<Token> tokenize(std::string_view fmt) {
  std::vector<Token> tokens;
  std::size_t i = 0;
  while (i < fmt.size()) {
    const char c = fmt[i];
    if (c == '"') {
      const std::size_t close = fmt.find('"', i + 1);
      if (close == std::string_view::npos) formatNotRecognized();
      Token t;
      t.quoted = true;
      t.text = std::string(fmt.substr(i + 1, close - i - 1));
      tokens.push_back(std::move(t));
      i = close + 1;
      continue;
    }
    if (isAlpha(c)) {
      const Spelling* found = nullptr;
      for (const Spelling& s : kSpellings) {
        if (startsWithIgnoringCase(fmt.substr(i), s.text)) {
          found = &s;
          break;
        }
      }
      if (!found) formatNotRecognized();
      Token t;
      t.el = found->el;
      t.casing = casingOf(fmt.substr(i, found->text.size()));
      i += found->text.size();
      // suffixes of a number: TH, SP, SPTH, THSP
      if (isNumeric(t.el) && startsWithIgnoringCase(fmt.substr(i), "SP")) {
        t.spelled = true;
        i += 2;
      }
      if (isNumeric(t.el) && startsWithIgnoringCase(fmt.substr(i), "TH")) {
        t.ordinal = true;
        t.ordinalLower = std::islower(static_cast<unsigned char>(fmt[i])) != 0;
        i += 2;
      }
      if (isNumeric(t.el) && !t.spelled && t.ordinal &&
          startsWithIgnoringCase(fmt.substr(i), "SP")) {
        t.spelled = true;
        i += 2;
      }
      tokens.push_back(std::move(t));
      continue;
    }
    if (isDigit(c)) formatNotRecognized();
    if (!tokens.empty() && tokens.back().el == El::Literal && !tokens.back().quoted) {
      tokens.back().text += c;
    } else {
      Token t;
      t.text = std::string(1, c);
      tokens.push_back(std::move(t));
    }
    ++i;
  }
  return tokens;
}

}  // namespace korvo::engine::datefmt
