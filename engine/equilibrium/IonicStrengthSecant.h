// The iteration on the ionic strength of the activity loop. The activity coefficients of the
// solution depend on it through one number, the true ionic strength I: the coefficients are
// taken at an assumed I, the solution computed with them has an ionic strength I_out(I), and
// the loop seeks I_out(I) = I. A secant step on the gap I_out − I settles in a few loops also
// the concentrated and low-density solutions where plain substitution (I ← I_out) oscillates
// or runs away. The root stays bracketed: below it the solution's ionic strength exceeds the
// one assumed, above it falls short. A secant step outside the bracket is replaced by its
// midpoint (geometric where the bracket spans more than a factor of four).
#pragma once

#include <limits>

namespace varsel::engine::equilibrium {

class IonicStrengthSecant {
  public:
    /// Starts at the assumed ionic strength `start` (mol/kg) with an open bracket [0, ∞).
    explicit IonicStrengthSecant(double start) : assumed_(start) {}

    /// The ionic strength (mol/kg) the activity coefficients are to be taken at.
    double Assumed() const { return assumed_; }

    /// Takes the ionic strength of the solution computed at Assumed() and moves Assumed() to
    /// the next estimate of the root.
    void Advance(double found);

  private:
    double assumed_ = 0;
    double previousAssumed_ = 0, previousGap_ = 0;
    double low_ = 0, high_ = std::numeric_limits<double>::infinity();
    bool first_ = true;
};

}  // namespace varsel::engine::equilibrium
