// Basic types shared by every unit of the program.
#pragma once

#include <cstdint>
#include <limits>
#include <string>

// Every real is 80-bit extended precision; results printed to the last digit
// depend on it, so refuse to build where long double is anything else.
using extended = long double;
static_assert(std::numeric_limits<extended>::digits == 64,
              "extended must be the 80-bit x87 format (64-bit mantissa)");

using smallint = std::int16_t;   // counts and indices
using longint = std::int32_t;    // bit sets, counters
using byte = std::uint8_t;

// Names and words (at most 22 characters), text lines (at most 150) and long
// strings (at most 255). The limits are kept by the routines that make them.
using sstring = std::string;
using cstring = std::string;
using str255 = std::string;
using str5 = std::string;
using DecStr = std::string;

constexpr int sstringlength = 22;
constexpr int cstringlength = 150;
constexpr int maxwords = 400;
constexpr int maxrr = 40;

enum class controlboolean { yes, no, ask };
enum class faulttype { yourfault, myfault };
enum class calcmodetype { utilitycalc, nlecalc, rockcalc, phasecalc, lsqdscalc };
enum class diagramtype { ptcalc, pxcalc, txcalc, plnacalc, tlnacalc, pmucalc, tmucalc };
enum class valuetype { anemptystring, aninteger, areal, arational, astring };

using controlboolean::yes;
using controlboolean::no;
using controlboolean::ask;
using faulttype::yourfault;
using faulttype::myfault;
