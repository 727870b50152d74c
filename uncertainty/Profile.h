// One side of the profile of one fitted species: the rise of the smallest sum of squares,
// S_p(v) − S_R, as species p is held at values v further and further from its optimum on one
// side while the other free species are refitted (each refit starting from the solution of
// the nearest point already made), and the values where the rise crosses two thresholds.
//
// Each crossing is bracketed first: from the furthest point below the threshold the next try
// is where a quadratic through the optimum would cross, a tenth beyond, kept within 1.25 and 4
// times the distance reached; a try at kProfileReach that stays below makes the end
// unbounded. The bracket is then narrowed by regula falsi with the Illinois modification on
// g(v) = sqrt(rise) − sqrt(T), which is linear in v where S is quadratic, so that a nearly
// quadratic profile needs one or two refits per end.
#pragma once

#include <string>
#include <vector>

#include "uncertainty/Uncertainty.h"
#include "varsel/Problem.h"
#include "varsel/Stop.h"

namespace varsel::uncertainty {

struct ProfileTask {
    std::string Name;                  ///< of the held species
    int Species = 0;                   ///< the held species, 0-based index in the species table
    int Side = 1;                      ///< +1: above the optimum, −1: below
    double Optimum = 0;                ///< x*_p, kJ/mol
    std::vector<int> FreeSpecies;      ///< 0-based species indices of the free species
    std::vector<double> FreeOptimum;   ///< their values at the optimum, kJ/mol
    std::vector<double> Weights;       ///< of every sample, in file order
    double SumOfSquares = 0;           ///< S_R
    double Individual = 0, Joint = 0;  ///< thresholds, Individual ≤ Joint
    double FirstStep = 1;              ///< where the first try goes, kJ/mol from x*
};

struct ProfileSide {
    End Individual, Joint;
    std::vector<ProfilePoint> Points;  ///< in the order they were made
};

/// Traces one side on `copy`, a copy of the fitted problem that this side alone uses.
ProfileSide TraceSide(Problem& copy, const ProfileTask& task, StopToken stop);

}  // namespace varsel::uncertainty
