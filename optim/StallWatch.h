// Watches an iteration for the state in which the data no longer inform it: the smallest
// weighted sum of squares reached so far has not improved by more than a relative 1e-10
// during the last 25 iterations, while some free species still move.
//
// Such a stall has two causes, told apart from the window of those 25 iterations:
// - the fit sits at its minimum and circles there. Near a minimum with large residuals the
//   Gauss–Newton step, which leaves out the residuals' curvature, need not shrink: along a
//   poorly determined combination of species it can overshoot back and forth for ever
//   (boehmite solubility data, five Al species: a cycle of seven iterations over 0.1 kJ/mol,
//   the error within 6e-5 of its best, half-widths 1–8 kJ/mol). That is convergence when the
//   circle is small against what the data can tell apart: every sum of the window lies within
//   a relative 1e-4, or within 1 % of the rise of S at the 95 % half-widths, of the best
//   one, and every species that moved by more than 0.01 kJ/mol stayed within a tenth of its
//   half-width, which the data bound (below 100 kJ/mol);
// - a species the data do not determine drifts along a valley of equal error (its half-width,
//   from the Gauss–Newton matrix, runs to thousands of kJ/mol), or the error oscillates
//   without getting lower: a failure that names the species that moved.
#pragma once

#include <vector>

namespace varsel {

class StallWatch {
  public:
    static constexpr int kIterations = 25;
    static constexpr double kRelativeImprovement = 1e-10;
    /// Largest relative excess of a sum of the window over the best sum, at convergence.
    static constexpr double kConvergedSum = 1e-4;
    /// Largest excess of a sum of the window over the best sum at convergence, as a share of
    /// the rise of S at the 95 % half-widths (when that is larger).
    static constexpr double kConvergedRise = 0.01;
    /// A species whose values in the window spread over no more than this (kJ/mol) stood still.
    static constexpr double kStillSpread = 0.01;
    /// A species whose half-width is above this (kJ/mol) is not determined by the data.
    static constexpr double kDeterminedHalfWidth = 100;
    /// At convergence a species that moved spread over at most this share of its half-width.
    static constexpr double kJitterShare = 0.1;

    /// Starts watching `freeCount` species from the sum of squares of the initial pass.
    StallWatch(int freeCount, double initialSum);

    /// Records one iteration: the sum of squares of its pass and the values (kJ/mol) of the
    /// free species it was computed at (positions 1 .. freeCount of `values`).
    void Record(double sum, const std::vector<float>& values);

    /// True when the smallest sum so far is within the relative improvement of what it was
    /// kIterations iterations ago.
    bool Stalled() const;

    struct Verdict {
        bool Converged = false;
        /// Positions (from 1) of the free species that moved without being at a minimum, the
        /// widest spread first; empty for a converged fit, or for an error that varies while
        /// no species moves.
        std::vector<int> Drifting;
    };

    /// Decides a stall from the last kIterations iterations, given the 95 % half-width of
    /// every free species (positions 1 .. freeCount, kJ/mol; infinite when the data do not
    /// bound it) and `intervalRise`, the rise of S at those half-widths.
    Verdict Judge(const std::vector<double>& halfWidths, double intervalRise) const;

    /// The values (positions 1 .. freeCount) of the recorded iteration with the smallest sum.
    const std::vector<float>& BestValues() const { return bestValues_; }

  private:
    double Spread(int f) const;

    int free_;
    long count_ = 0;                 // iterations recorded
    std::vector<double> best_;       // ring: smallest sum after each of the last iterations
    std::vector<double> sums_;       // ring: the sum of each of the last kIterations iterations
    std::vector<double> values_;     // ring: kIterations rows of free_ values
    double bestSum_ = 0;             // the smallest sum of a recorded iteration
    std::vector<float> bestValues_;  // its values
};

}  // namespace varsel
