#pragma once
// The figures every benchmark prints for a set of rounds.

#include <algorithm>
#include <vector>

struct MinMedian {
  double min, median;
};

inline MinMedian MinMedianOf(std::vector<double> rounds) {
  std::sort(rounds.begin(), rounds.end());
  return {rounds.front(), rounds[rounds.size() / 2]};
}
