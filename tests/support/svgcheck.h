// A small well-formedness check of the SVG documents the tests write:
// valid UTF-8, balanced tags under one root, double-quoted attributes, only
// the predefined entities. It also hands back the texts of the <text>
// elements with their entities decoded, to compare with what was typed.
#pragma once

#include <cctype>
#include <string>
#include <vector>

namespace svgcheck {

inline bool validutf8(const std::string& s) {
  for (std::size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    std::size_t len = c < 0x80 ? 1 : (c >= 0xC2 && c <= 0xDF) ? 2 : (c >= 0xE0 && c <= 0xEF) ? 3
                                  : (c >= 0xF0 && c <= 0xF4) ? 4 : 0;
    if (len == 0 || i + len > s.size()) return false;
    for (std::size_t k = 1; k < len; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += len;
  }
  return true;
}

// Decodes the entities of a text or attribute value; false on an unknown one
// or a raw "<".
inline bool decode(const std::string& raw, std::string& out) {
  out.clear();
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '<') return false;
    if (raw[i] != '&') {
      out += raw[i];
      continue;
    }
    const std::size_t semi = raw.find(';', i);
    if (semi == std::string::npos) return false;
    const std::string name = raw.substr(i + 1, semi - i - 1);
    if (name == "amp") out += '&';
    else if (name == "lt") out += '<';
    else if (name == "gt") out += '>';
    else if (name == "quot") out += '"';
    else if (name == "apos") out += '\'';
    else return false;
    i = semi;
  }
  return true;
}

struct result {
  std::string error;  // empty when the document is well formed
  std::vector<std::string> texts;
};

inline result check(const std::string& doc) {
  result r;
  if (!validutf8(doc)) {
    r.error = "not valid UTF-8";
    return r;
  }
  std::vector<std::string> open;
  int roots = 0;
  std::string text;
  std::size_t i = 0;
  auto fail = [&](const std::string& what) {
    r.error = what + " at byte " + std::to_string(i);
    return r;
  };
  while (i < doc.size()) {
    if (doc[i] != '<') {
      const std::size_t next = doc.find('<', i);
      const std::string raw = doc.substr(i, next == std::string::npos ? std::string::npos : next - i);
      std::string decoded;
      if (!decode(raw, decoded)) return fail("bad character data");
      if (open.empty() && raw.find_first_not_of(" \t\r\n") != std::string::npos) return fail("text outside the root");
      text += decoded;
      i = next == std::string::npos ? doc.size() : next;
      continue;
    }
    if (doc.compare(i, 4, "<!--") == 0) {
      const std::size_t end = doc.find("-->", i + 4);
      if (end == std::string::npos) return fail("open comment");
      i = end + 3;
      continue;
    }
    if (doc.compare(i, 2, "<?") == 0) {
      if (i != 0) return fail("declaration not first");
      const std::size_t end = doc.find("?>", i);
      if (end == std::string::npos) return fail("open declaration");
      i = end + 2;
      continue;
    }
    const bool closing = doc.compare(i, 2, "</") == 0;
    i += closing ? 2 : 1;
    std::size_t j = i;
    while (j < doc.size() && (std::isalnum(static_cast<unsigned char>(doc[j])) || doc[j] == '-' || doc[j] == ':')) ++j;
    const std::string name = doc.substr(i, j - i);
    if (name.empty()) return fail("tag without a name");
    i = j;
    if (closing) {
      while (i < doc.size() && std::isspace(static_cast<unsigned char>(doc[i]))) ++i;
      if (i >= doc.size() || doc[i] != '>') return fail("bad end tag");
      if (open.empty() || open.back() != name) return fail("unbalanced </" + name + ">");
      if (name == "text") r.texts.push_back(text);
      open.pop_back();
      ++i;
      continue;
    }
    bool selfclosed = false;
    for (;;) {
      while (i < doc.size() && std::isspace(static_cast<unsigned char>(doc[i]))) ++i;
      if (i >= doc.size()) return fail("open tag");
      if (doc[i] == '>') break;
      if (doc.compare(i, 2, "/>") == 0) {
        selfclosed = true;
        ++i;
        break;
      }
      std::size_t k = i;
      while (k < doc.size() && (std::isalnum(static_cast<unsigned char>(doc[k])) || doc[k] == '-' || doc[k] == ':')) ++k;
      if (k == i || k >= doc.size() || doc[k] != '=' || k + 1 >= doc.size() || doc[k + 1] != '"')
        return fail("attribute not name=\"value\"");
      const std::size_t close = doc.find('"', k + 2);
      if (close == std::string::npos) return fail("open attribute value");
      std::string value;
      if (!decode(doc.substr(k + 2, close - k - 2), value)) return fail("bad attribute value");
      i = close + 1;
      if (i < doc.size() && !std::isspace(static_cast<unsigned char>(doc[i])) && doc[i] != '>' && doc[i] != '/')
        return fail("attributes not separated");
    }
    ++i;
    if (open.empty() && ++roots > 1) return fail("second root");
    if (name == "text") text.clear();
    if (!selfclosed) open.push_back(name);
  }
  if (!open.empty()) r.error = "unclosed <" + open.back() + ">";
  if (roots == 0) r.error = "no root";
  return r;
}

}  // namespace svgcheck
