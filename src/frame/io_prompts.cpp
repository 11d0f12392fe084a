// The dialogue on the terminal and the line reader of the input files.
#include <string>
#include <vector>

#include "frame/io.h"

namespace IO {

namespace {

constexpr std::size_t maxline = 255;

// One line from standard input, with its line end removed. The end of input
// is a read error: a run fed too few answers stops instead of asking forever.
std::string readline(const std::string& where) {
  FLUSHER();
  std::fflush(TERMOUT);
  std::string line;
  textfile in;
  in.f = TERMIN;
  if (!READLINE(in, line)) ERROREXIT(where, "problems reading", yourfault);
  return line;
}

// Typing with backspaces: each removes the character kept before it.
std::string edited(const std::string& raw) {
  std::string line;
  for (char ch : raw) {
    if (ch == '\b') {
      if (!line.empty()) line.pop_back();
    } else {
      line += ch;
    }
  }
  return line;
}

// The answer to a prompt already shown. An answer longer than a line is
// refused whole and the prompt shown again: taking its first part would
// cut a word or a list where the user cannot see it. The refusal completes
// the prompt's line in the log, in place of the answer's echo.
std::string readanswer(const std::string& where, const std::string& shown, bool edit) {
  for (;;) {
    std::string line = readline(where);
    if (edit) line = edited(line);
    if (line.size() <= maxline) return line;
    PUTSTR(0,
           "answer of " + std::to_string(line.size()) + " characters, longer than " + std::to_string(maxline) +
               ": not taken, enter it again",
           1, CHANNEL::TERMLOG);
    PUTSTR(0, shown, 0, CHANNEL::TERMLOG);
  }
}

void splitline(const std::string& line, strings& words, smallint& n) {
  STRING2STRINGS(line, static_cast<long>(line.size()), words, n);
}

bool queryyes(const std::string& a) { return a.empty() || a == "1" || a == "yes" || a == "y" || a == "Y"; }
bool controlyes(const std::string& a) { return a.empty() || a == "yes" || a == "y" || a == "1" || a == "ok"; }

}  // namespace

bool READLINE(textfile& f, std::string& line) {
  line.clear();
  if (f.f == nullptr) return false;
  int ch = std::fgetc(f.f);
  if (ch == EOF) return false;
  while (ch != EOF && ch != '\n' && ch != '\r') {
    line += static_cast<char>(ch);
    ch = std::fgetc(f.f);
  }
  if (ch == '\r') {
    const int next = std::fgetc(f.f);
    if (next != '\n' && next != EOF) std::ungetc(next, f.f);
  }
  // A line cut short by a read error is no line: the caller reports it.
  if (std::ferror(f.f) != 0) return false;
  ++f.lines;
  return true;
}

void REWIND(textfile& f) {
  if (f.f != nullptr) std::rewind(f.f);
  f.lines = 0;
}

// A stream in error is not at its end, so that the reader's next line read
// meets the error and reports it instead of taking the file as finished.
bool ENDOFFILE(textfile& f) {
  if (f.f == nullptr) return true;
  const int ch = std::fgetc(f.f);
  if (ch == EOF) return std::ferror(f.f) == 0;
  std::ungetc(ch, f.f);
  return false;
}

void PRSTRINGS(strings& words, smallint& n) { splitline(readanswer("read in prstrings", "", true), words, n); }

void PROMPTSTRINGS(const std::string& prompt, strings& words, smallint& n) {
  if (BTST(WHATSOPEN, CHANNEL::TERMINALBIT)) {
    const std::string shown = prompt + " : ";
    PUTSTR(0, shown, 0, CHANNEL::TERMLOG);
    splitline(readanswer("read in prstrings", shown, true), words, n);
    if (BTST(WHATSOPEN, CHANNEL::LOGBIT)) {
      std::string echo;
      if (n == 0) {
        echo = "(nothing input)";
      } else if (n == 1) {
        echo = words[1];
      } else {
        for (long i = 1; i <= n; ++i) echo += " " + words[i];
        echo += " ";
      }
      PUTSTR(0, echo, 1, CHANNEL::LOG);
    }
  } else if (BTST(WHATSOPEN, CHANNEL::WINDOWBIT)) {
    ERROREXIT("promptstrings", "TE not impemented yet", yourfault);
  }
  if (n == 1 && KILLSTRING(words[1])) USERINTERRUPT();
}

void PROMPTSTRING(const std::string& prompt, sstring& w) {
  strings words;
  smallint n = 0;
  PROMPTSTRINGS(prompt, words, n);
  w = n > 0 ? words[1] : sstring();
}

// Asks until the first word of an answer converts; after an empty answer
// the prompt is a blank, after a bad one the converter's failure text.
template <class T>
void promptnumber(const std::string& prompt, T& x, bool (*convert)(const sstring&, T&, std::string&)) {
  std::string p = prompt;
  for (;;) {
    strings words;
    smallint n = 0;
    PROMPTSTRINGS(p, words, n);
    if (n == 0) {
      p = " ";
      continue;
    }
    if (KILLSTRING(words[1])) USERINTERRUPT();
    std::string msg;
    if (convert(words[1], x, msg)) return;
    p = msg.empty() ? " " : msg;
  }
}

void PROMPTREAL(const std::string& prompt, extended& x) { promptnumber(prompt, x, STR2REAL); }

void PROMPTINTEGER(const std::string& prompt, smallint& i) { promptnumber(prompt, i, STR2INT); }

void PROMPTREALS(const std::string& prompt, rrvector& v, smallint& n) {
  if (n > maxrr) ERROREXIT("promptreals", "more than 40 values asked for", myfault);
  std::vector<sstring> collected;
  const smallint wanted = n;
  for (;;) {
    strings words;
    smallint k = 0;
    PROMPTSTRINGS(prompt, words, k);
    collected.clear();
    for (long i = 1; i <= k; ++i) collected.push_back(words[i]);
    if (wanted == 0) {
      // The answer's values land in a table of 40: refuse more than that
      // rather than lose the rest silently.
      if (k > maxrr) {
        PUTSTR(1, "too many values: at most 40 can be taken, please enter them again", 1, CHANNEL::TERMLOG);
        continue;
      }
      n = k;
      if (n == 0) return;
    }
    break;
  }
  while (static_cast<long>(collected.size()) < n) {
    strings words;
    smallint k = 0;
    PROMPTSTRINGS(" ", words, k);
    for (long i = 1; i <= k && collected.size() < static_cast<std::size_t>(maxwords); ++i)
      collected.push_back(words[i]);
  }
  for (long i = 0; i < n; ++i)
    if (KILLSTRING(collected[static_cast<std::size_t>(i)])) USERINTERRUPT();
  for (long i = 1; i <= n; ++i) {
    sstring w = collected[static_cast<std::size_t>(i - 1)];
    std::string msg;
    extended x = 0;
    while (!STR2REAL(w, x, msg)) {
      strings words;
      smallint k = 0;
      PROMPTSTRINGS(msg.empty() ? " " : msg, words, k);
      w = k > 0 ? words[1] : sstring();
      if (k > 0 && KILLSTRING(w)) USERINTERRUPT();
    }
    v[i] = x;
  }
}

bool QUERY(const std::string& question) {
  std::string answer;
  if (BTST(WHATSOPEN, CHANNEL::TERMINALBIT)) {
    const std::string shown = question + " ? ";
    PUTSTR(0, shown, 0, CHANNEL::TERMLOG);
    answer = readanswer("read in query", shown, false);
    if (answer == "?") {
      PUTSTR(1, "sorry, you are on your own...", 2, CHANNEL::TERMLOG);
      PUTSTR(0, shown, 0, CHANNEL::TERMLOG);
      answer = readanswer("read in query", shown, false);
    }
  }
  const std::string a = TRIMSTRING(answer);
  const bool result = queryyes(a);
  if (BTST(WHATSOPEN, CHANNEL::LOGBIT)) PUTSTR(0, result ? "yes" : "no", 1, CHANNEL::LOG);
  if (BTST(WHATSOPEN, CHANNEL::WINDOWBIT)) ERROREXIT("query", "TE not impemented yet", yourfault);
  if (a == "kill") USERINTERRUPT();
  return result;
}

void PROMPTCONTROL(const std::string& question, controlboolean& c) {
  if (c != ask) return;
  std::string answer;
  if (BTST(WHATSOPEN, CHANNEL::TERMINALBIT)) {
    const std::string shown = question + " ? ";
    PUTSTR(0, shown, 0, CHANNEL::TERMLOG);
    answer = readanswer("read in promptcontrol", shown, false);
  } else if (BTST(WHATSOPEN, CHANNEL::WINDOWBIT)) {
    ERROREXIT("promptcontrol", "TE not impemented yet", yourfault);
  }
  const std::string a = TRIMSTRING(answer);
  const bool result = controlyes(a);
  if (BTST(WHATSOPEN, CHANNEL::LOGBIT)) PUTSTR(0, result ? "yes" : "no", 1, CHANNEL::LOG);
  if (a == "kill") USERINTERRUPT();
  c = result ? yes : no;
}

void RSTRINGS(textfile& f, strings& words, smallint& n) { READSTRINGS(f, words, n, false); }

void READSTRINGS(textfile& f, strings& words, smallint& n, bool cut) {
  FLUSHER();
  std::string line;
  if (!READLINE(f, line)) {
    WRITETERMINAL("\"" + line + "\"\n");
    ERROREXIT("read in rstrings", "problems reading", yourfault);
  }
  // The whole line, at any length: the program reads back lines it wrote
  // itself (pasted blocks, drawing data), and a cut one would lose words.
  SPLITLINE(line, cut, f, words, n);
}

}  // namespace IO
