#pragma once
// Characters of UTF-8 text for the string functions, which count characters,
// not bytes. Invalid bytes survive a round trip unchanged.
#include <string>
#include <string_view>

namespace korvo::engine::utf8 {

// Length of the valid UTF-8 sequence at text[i] (its character into `decoded`),
// 0 when the byte starts none: no overlong forms, surrogates or code points
// past U+10FFFF.
std::size_t sequenceAt(std::string_view text, std::size_t i, char32_t* decoded = nullptr);
std::u32string decode(std::string_view text);
std::string encode(std::u32string_view chars);
void append(std::string& out, char32_t ch);

char32_t toUpper(char32_t ch);
char32_t toLower(char32_t ch);
// Letters and digits, which INITCAP treats as parts of a word.
bool isAlphanumeric(char32_t ch);

}  // namespace korvo::engine::utf8
