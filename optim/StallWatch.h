// Watches an iteration for the state in which the data no longer inform it: the smallest
// weighted sum of squares reached so far has not improved by more than a relative 1e-10
// during the last 25 iterations, while some free species still move. This catches an error
// that has gone flat (a species the data do not determine drifts along a valley of equal
// error) and one that oscillates without getting lower.
#pragma once

#include <vector>

namespace varsel {

class StallWatch {
  public:
    static constexpr int kIterations = 25;
    static constexpr double kRelativeImprovement = 1e-10;

    /// Starts watching `freeCount` species from the sum of squares of the initial pass.
    StallWatch(int freeCount, double initialSum);

    /// Records one iteration: the sum of squares of its pass and how far each free species
    /// moved in it (kJ/mol, positions 1 .. freeCount of `moves`).
    void Record(double sum, const std::vector<double>& moves);

    /// True when the smallest sum so far is within the relative improvement of what it was
    /// kIterations iterations ago.
    bool Stalled() const;

    /// Positions (from 1) of the fewest free species that together made at least 90 % of
    /// the movement during the last kIterations iterations, the largest mover first.
    std::vector<int> Drifting() const;

  private:
    int free_;
    long count_ = 0;                // iterations recorded
    std::vector<double> best_;      // ring: smallest sum after each of the last iterations
    std::vector<double> movement_;  // ring: kIterations rows of free_ movements
};

}  // namespace varsel
