// Aitken extrapolation of the activity loop for models whose coefficients depend on the
// composition beyond the ionic strength (HKF81 through the total molality of its conversion
// term, Pitzer through every molality). The loop's secant follows the ionic strength; the
// rest it follows by plain substitution, the coefficients found with one solution being used
// for the next. Near the root the change from loop to loop then shrinks by a nearly constant
// rate r: in an NaCl solution with HKF81 a shift of the total molality moves the ions'
// coefficients, those move the ion pairs, and the pairs move the total back by r ≈ 0.0025 of
// the shift. The step g + (found − g)/(1 − r) lands on the root up to the error of r.
//
// The rate is measured from the ratio of successive changes while they stand well above
// rounding, corrected for the rate that was applied between them, and kept from one call to
// the next: a warm call whose composition moves slightly (the dissolved gases when an oxygen
// activity changes) then settles with two solutions of the dual problem instead of three.
// A loop whose next coefficients differ from those found mostly because the secant moved the
// ionic strength is not extrapolated, and its change does not count for the rate: the
// secant's bracket must see the coefficients as a function of the ionic strength alone. Only
// small positive rates are used (at most 0.1, an over-relaxation of 11 %); any other
// measurement leaves plain substitution.
#pragma once

#include <span>
#include <vector>

namespace varsel::engine::equilibrium {

class ActivityExtrapolation {
  public:
    /// For `size` coefficients.
    explicit ActivityExtrapolation(int size) : change_(size, 0.0) {}

    /// Forgets the measured rate (a cold start).
    void Forget() { rate_ = 0; }

    /// Starts the loops of one activity loop: the change of an earlier loop no longer counts.
    void Start() { largest_ = 0; }

    /// Takes the coefficients `used` in a loop and those `found` for its solution, and updates
    /// the rate from this change and the previous one.
    void Observe(std::span<const double> used, std::span<const double> found);

    /// Moves the coefficients `next` for the next loop on by the extrapolation of the last
    /// change, unless they differ from those `found` for the last solution by more than a
    /// small part of that change (the secant's step on the ionic strength).
    void Apply(std::span<const double> found, std::span<double> next);

  private:
    std::vector<double> change_;  // found − used of the last loop
    double largest_ = 0;          // its largest magnitude (0: none in this loop)
    double rate_ = 0;             // the rate r applied after the last loop
};

}  // namespace varsel::engine::equilibrium
