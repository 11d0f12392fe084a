// Single-byte characters of the Mac Roman set that the program reads and
// writes. Output is bytes, so these must never become UTF-8 sequences.
#pragma once

namespace macroman {
constexpr char degree = '\xA1';      // °
constexpr char bullet = '\xA5';      // •
constexpr char micro = '\xB5';       // µ
constexpr char increment = '\xC6';   // ∆
constexpr char nbsp = '\xCA';        // non-breaking space, a word separator
constexpr char ellipsis = '\xC9';    // …
constexpr char greaterequal = '\xB3';  // ≥

constexpr const char* degree_s = "\xA1";
constexpr const char* bullet_s = "\xA5";
constexpr const char* micro_s = "\xB5";
constexpr const char* increment_s = "\xC6";
constexpr const char* ellipsis_s = "\xC9";
constexpr const char* greaterequal_s = "\xB3";
}  // namespace macroman

// The few texts that go out as UTF-8 whatever the program's own byte set:
// the drawing component's message bullet and the degree and plus-minus
// signs of the utilities' texts.
namespace utf8text {
constexpr const char* bullet_s = "\xE2\x80\xA2";  // •
constexpr const char* degree_s = "\xC2\xB0";      // °
constexpr const char* plusminus_s = "\xC2\xB1";   // ±, of the utilities' uncertainties
}  // namespace utf8text
