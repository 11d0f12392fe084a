// Places and polygons of a picture, for the drawing tests in process and
// those that read the picture the built program writes.
#pragma once

#include <utility>
#include <vector>

namespace drawtest {

// A point of the window and a closed polygon of them.
using place = std::pair<double, double>;
using ring = std::vector<place>;

// Whether p lies inside the polygon r (crossings of a ray to the right).
inline bool within(const ring& r, place p) {
  bool in = false;
  for (std::size_t a = 0, b = r.size() - 1; a < r.size(); b = a++)
    if ((r[a].second > p.second) != (r[b].second > p.second) &&
        p.first < r[a].first + (p.second - r[a].second) * (r[b].first - r[a].first) / (r[b].second - r[a].second))
      in = !in;
  return in;
}

}  // namespace drawtest
