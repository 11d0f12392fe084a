// Output channels and the shared line buffers.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "frame/io.h"

namespace IO {

namespace {

// The words that open every settings heading; the run prints them as they
// stand, whatever the topic.
const std::string settingsof = std::string("speci") + "fication of ";

// A write to f has failed: at the first, unless the run is already
// stopping, the run ends with the file's name and the system's reason.
void writefailed(textfile& f) {
  const int err = errno;
  f.writeerror = true;
  if (STOPPING) return;
  std::string why = "problem writing the file \"" + f.name + "\"";
  if (err != 0) why += " (" + std::string(std::strerror(err)) + ")";
  ERROREXIT("writefile", why, yourfault);
}

std::string lineends(smallint code) {
  if (code == 0) return "";
  if (code == 1) return "\n";
  return "\n\n";
}

}  // namespace

void WRITEFILE(textfile& f, const std::string& text) {
  if (HELDWRITES != nullptr) {
    if (!text.empty()) HELDWRITES->emplace_back(&f, text);
    return;
  }
  if (f.holding) f.held += text;
  if (f.f == nullptr || text.empty()) return;
  errno = 0;
  if (std::fwrite(text.data(), 1, text.size(), f.f) != text.size()) writefailed(f);
}

void FLUSHFILE(textfile& f) {
  if (f.f == nullptr) return;
  errno = 0;
  if (std::fflush(f.f) != 0) writefailed(f);
}

void WRITETERMINAL(const std::string& text) {
  if (HELDWRITES != nullptr) {
    if (!text.empty()) HELDWRITES->emplace_back(nullptr, text);
    return;
  }
  if (!text.empty()) std::fwrite(text.data(), 1, text.size(), TERMOUT);
}

void WRITEHELD(const heldwrites& writes) {
  for (const auto& [f, text] : writes) {
    if (f == nullptr) {
      WRITETERMINAL(text);
    } else {
      WRITEFILE(*f, text);
    }
  }
}

textfile& CHANNELFILE(int bit) {
  switch (bit) {
    case CHANNEL::SUMMARYBIT: return OUT;
    case CHANNEL::LOGBIT: return LOGFILE;
    case CHANNEL::DETAILSBIT: return ICFILE;
    case CHANNEL::AXINFOBIT: return ITFILE;
    case CHANNEL::DRAWINGBIT: return QKFILE;
    case CHANNEL::CSVBIT: return CSVFILE;
    case CHANNEL::CSV2BIT: return CSV2FILE;
    case CHANNEL::FURTHERBIT: return PSFILE;
    case CHANNEL::SVGBIT: return SVGFILE;
    default: ERROREXIT("channelfile", "no file on channel " + INT2STR(bit), myfault);
  }
}

bool* CHANNELUSED(int bit) {
  switch (bit) {
    case CHANNEL::DETAILSBIT: return &ICFILEUSED;
    case CHANNEL::AXINFOBIT: return &ITFILEUSED;
    case CHANNEL::DRAWINGBIT: return &QKFILEUSED;
    case CHANNEL::CSVBIT: return &CSVFILEUSED;
    case CHANNEL::CSV2BIT: return &CSV2FILEUSED;
    case CHANNEL::FURTHERBIT: return &PSFILEUSED;
    case CHANNEL::SVGBIT: return &SVGFILEUSED;
    default: return nullptr;
  }
}

void SETTINGSHEAD(const std::string& topic, longint channels) { PUTSTR(1, settingsof + topic, 1, channels); }

void PUTSTR(smallint before, const std::string& text, smallint after, longint channels) {
  const longint m = BAND(channels, WHATSOPEN);
  const std::string pre = lineends(before);
  const std::string post = lineends(after);
  for (int k = CHANNEL::TERMINALBIT; k <= CHANNEL::LASTBIT; ++k) {
    if (!BTST(m, static_cast<smallint>(k))) continue;
    if (k == CHANNEL::TERMINALBIT) {
      const long cut = static_cast<long>(CONTROLIO.pagewidth) - 2;
      std::string shown = text;
      if (CONTROLIO.dontwrap && static_cast<long>(text.size()) > cut)
        shown = text.substr(0, static_cast<std::size_t>(cut < 0 ? 0 : cut)) + "#";
      WRITETERMINAL(pre + shown + post);
    } else if (k == CHANNEL::WINDOWBIT) {
      ERROREXIT("putstr", "TE not impemented yet", yourfault);
    } else {
      // In three writes: joining them would allocate for every long line.
      textfile& f = CHANNELFILE(k);
      WRITEFILE(f, pre);
      WRITEFILE(f, text);
      WRITEFILE(f, post);
    }
  }
  for (int k = CHANNEL::FIRSTOPTIONALBIT; k <= CHANNEL::LASTBIT; ++k)
    if (BTST(m, static_cast<smallint>(k))) *CHANNELUSED(k) = true;
}

void FLUSHER() {
  for (int k = CHANNEL::FIRSTFILEBIT; k <= CHANNEL::LASTBIT; ++k) {
    if (BTST(WHATSOPEN, static_cast<smallint>(k))) FLUSHFILE(CHANNELFILE(k));
  }
}

std::string PADSTR(const std::string& text, smallint width) {
  const long w = width;
  const long len = static_cast<long>(text.size());
  if (w > 0 && w != len) {
    const long pad = w - len;
    if (pad >= 1 && pad <= 249) return std::string(static_cast<std::size_t>(pad), ' ') + text;
  } else if (w < 0 && -w != len) {
    const long pad = -w - len;
    if (pad >= 1 && pad <= 249) return text + std::string(static_cast<std::size_t>(pad), ' ');
  }
  return text;
}

void ADDSTR(const std::string& text, smallint width, std::string& line) {
  // Where a line passes its length is measured by the text before its
  // padding, so that the tables part their columns where they always have.
  if (!line.empty() && line.size() + text.size() > linelength) ++OVERRUNS;
  line += PADSTR(text, width);
}

void ADDNAME(const std::string& name, smallint width, std::string& line) {
  // Measured by the name itself, as ADDSTR measures it, so that a table of
  // names narrower than their columns parts its blocks where it always has.
  if (!line.empty() && line.size() + name.size() > linelength) ++OVERRUNS;
  // Left-justified, the name keeps its blank before it only where the field
  // before it filled its own column; after a blank it starts the column.
  const bool apart = width > 0 || (width < 0 && !line.empty() && line.back() != ' ');
  line += PADSTR(apart ? " " + name : name, width);
}

namespace {

// What append does to line passes the line's length.
bool overruns(std::string& line, const std::function<void(std::string&)>& append) {
  const std::size_t before = OVERRUNS;
  append(line);
  return OVERRUNS != before;
}

// The lines of a table, block by block and row by row: a column joins the
// block while no row passes the line's length with its cell; each block
// takes at least one, so that a cell too wide for a line stands alone.
// Row r of block b begins with what start(b, r) appends.
using blockstart = std::function<void(long block, long row, std::string& line)>;
std::vector<std::vector<std::string>> tableblocks(long nrows, long ncols, const blockstart& start,
                                                  const tablecell& cell) {
  std::vector<std::vector<std::string>> blocks;
  long first = 1;
  for (long block = 1; block == 1 || first <= ncols; ++block) {
    std::vector<std::string> rows(static_cast<std::size_t>(nrows));
    for (long r = 1; r <= nrows; ++r) start(block, r, rows[static_cast<std::size_t>(r - 1)]);
    long c = first;
    for (; c <= ncols; ++c) {
      bool fits = true;
      for (long r = 1; r <= nrows && fits && c > first; ++r) {
        std::string trial = rows[static_cast<std::size_t>(r - 1)];
        fits = !overruns(trial, [&](std::string& line) { cell(r, c, line); });
      }
      if (!fits) break;
      for (long r = 1; r <= nrows; ++r) cell(r, c, rows[static_cast<std::size_t>(r - 1)]);
    }
    blocks.push_back(std::move(rows));
    first = c;
  }
  return blocks;
}

}  // namespace

void PUTTABLE(long nrows, long ncols, const tablelabel& label, const tablecell& cell, smallint before,
              longint channels) {
  if (nrows < 1) return;
  const auto blocks = tableblocks(
      nrows, ncols, [&](long, long r, std::string& line) { label(r, line); }, cell);
  for (std::size_t b = 0; b < blocks.size(); ++b)
    for (std::size_t r = 0; r < blocks[b].size(); ++r)
      PUTSTR(r > 0 ? 0 : b == 0 ? before : 1, blocks[b][r], 1, channels);
}

void PUTTABLEROWS(long nrows, long ncols, const tablelabel& label, const tablecell& cell, const tablelabel& goeson,
                  const tablelabel& cont, smallint before, longint channels) {
  if (nrows < 1) return;
  const auto blocks = tableblocks(
      nrows, ncols,
      [&](long block, long r, std::string& line) {
        if (block == 1)
          label(r, line);
        else
          cont(r, line);
      },
      cell);
  for (std::size_t r = 0; r < static_cast<std::size_t>(nrows); ++r)
    for (std::size_t b = 0; b < blocks.size(); ++b) {
      std::string line = blocks[b][r];
      if (b + 1 < blocks.size()) goeson(static_cast<long>(r + 1), line);
      PUTSTR(r == 0 && b == 0 ? before : 0, line, 1, channels);
    }
}

std::vector<std::string> FLOWROW(const std::string& head, long n, const rowfield& field, const std::string& goeson,
                                 const std::string& indent) {
  std::vector<std::string> lines;
  std::string line = head;
  std::string trial;
  for (long k = 1; k <= n; ++k) {
    trial = line;
    const bool cut = overruns(trial, [&](std::string& l) { field(k, l); });
    if (!cut || line.empty()) {
      line.swap(trial);
      continue;
    }
    // The field starts a line of its own, where it is appended whole.
    lines.push_back(line + goeson);
    line.clear();
    field(k, line);
    line.insert(0, indent);
  }
  lines.push_back(line);
  return lines;
}

void PUTROW(smallint before, const std::string& head, long n, const rowfield& field, smallint after,
            longint channels, const std::string& goeson, const std::string& indent) {
  const std::vector<std::string> lines = FLOWROW(head, n, field, goeson, indent);
  for (std::size_t i = 0; i < lines.size(); ++i)
    PUTSTR(i == 0 ? before : 0, lines[i], i + 1 == lines.size() ? after : 1, channels);
}

void ADDREAL(extended x, smallint places, bool fixed, smallint width, std::string& line) {
  ADDSTR(REAL2STR(x, places, fixed), width, line);
}

void ADDINT(extended x, smallint width, std::string& line) { ADDSTR(INT2STR(x), width, line); }

void ADDWHOLEORREAL(extended x, extended within, smallint places, smallint width, std::string& line) {
  const extended whole = std::nearbyint(x);
  if (std::fabs(x - whole) < within)
    ADDINT(whole, width, line);
  else
    ADDREAL(x, places, true, width, line);
}

void FORMATTEXT(const eestrtype& lines) {
  // Gather every word first, so that a paragraph too long for the word list
  // stops the run before anything of it is printed.
  std::vector<sstring> words;
  for (long i = 1; i <= 12; ++i) {
    if (lines[i].empty()) break;
    strings w;
    smallint n = 0;
    STRING2STRINGS(lines[i], static_cast<smallint>(lines[i].size() > 32767 ? 32767 : lines[i].size()), w, n);
    for (long j = 1; j <= n; ++j) {
      if (words.size() >= static_cast<std::size_t>(maxwords))
        ERROREXIT("format text", "too many words in lines", yourfault);
      words.push_back(w[j]);
    }
  }
  PUTSTR(0, "", 1, CHANNEL::TERMLOG);
  PSTR.clear();
  std::size_t c = 0;
  for (const sstring& w : words) {
    if (c + w.size() > 78) {
      PUTSTR(0, PSTR, 1, CHANNEL::TERMLOG);
      PSTR.clear();
      c = 0;
    }
    PSTR += w;
    PSTR += ' ';
    c += w.size() + 1;
  }
  PUTSTR(0, PSTR, 1, CHANNEL::TERMLOG);
}

void FILESTATE(const sstring& title) {
  static const char* labels[CHANNEL::LASTBIT + 1] = {"", "", "out", "log", "ic", "it", "qk", "csv", "csv2", "ps", "svg"};
  std::string s = title + "\n";
  for (int k = CHANNEL::FIRSTFILEBIT; k <= CHANNEL::LASTBIT; ++k) {
    std::string line;
    ADDSTR(labels[k], 5, line);
    ADDSTR(BTST(WHATSOPEN, static_cast<smallint>(k)) ? "open" : "--", 6, line);
    if (const bool* used = CHANNELUSED(k)) ADDSTR(*used ? "used" : "--", 6, line);
    s += line + "\n";
  }
  WRITETERMINAL(s);
}

}  // namespace IO
