// Standard potentials of named substances of one database at one temperature and pressure, as
// varsel-thermo prints them: the engine's type code, the potential in double precision, the
// model that gave it, or the reason why there is none.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "engine/thermo/Solvent.h"
#include "engine/thermo/Species.h"
#include "engine/thermo/Thermo.h"
#include "engine/tools/thermo/Conditions.h"
#include "engine/tools/thermo/Settings.h"

namespace varsel::engine::tools {

struct Potential {
    std::string Name;
    const thermo::SpeciesRecord* Record = nullptr;  ///< nullptr: no such substance
    std::int16_t Code = -1;                         ///< engine type code
    std::optional<double> Gibbs;                    ///< J/mol
    std::string Model;                              ///< how it was computed
    std::string Problem;                            ///< why there is no value
};

class PotentialCalculator {
  public:
    /// Opens the database (throws thermo::DatabaseError when it cannot) for the conditions
    /// given (the water at them computed once; At changes them).
    PotentialCalculator(const std::string& database, const Conditions& conditions,
                        const ThermoSettings& settings);

    /// Moves to other conditions.
    void At(const Conditions& conditions);

    /// The potential of one substance at the conditions; an unknown name gives Record nullptr.
    Potential Of(const std::string& name);

    /// The database as opened.
    const thermo::Database& Database() const { return *thermo_.OpenedDatabase(); }

  private:
    Conditions conditions_;
    ThermoSettings settings_;
    thermo::Thermo thermo_;
    std::optional<thermo::SolventState> solvent_;
    std::string solventProblem_;
};

}  // namespace varsel::engine::tools
