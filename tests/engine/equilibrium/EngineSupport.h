// An engine session on the shipped database for the Solver tests, and the calls a caller
// makes to evaluate one sample.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "engine/EngineFactory.h"
#include "engine/equilibrium/Solver.h"
#include "services/Engine.h"

namespace varsel::engine::equilibrium::testing {

inline constexpr double kLn10 = 2.302585092994046;

/// The three engine objects of a run with the shipped database open and a System loaded;
/// unless told that the System is refused, a refusal fails the test.
struct EngineRun {
    explicit EngineRun(const std::string& system, const std::string& options = "/mode=1",
                       const std::string& workFolder = "", bool loads = true) {
        solver = factory.CreateSolver(workFolder);
        thermo = factory.CreateThermo(workFolder);
        reader = factory.CreateSystemReader(workFolder);
        solver->OpenDatabase("thermo");
        std::int16_t flag = 0;
        thermo->OpenDatabase("thermo", flag);
        solver->SetOptions(options);
        thermo->SetModes(16384);
        solver->LoadSystem(system);
        loaded = solver->GetMessage();
        EXPECT_TRUE(!loads || loaded == "System file accepted") << system << ": " << loaded;
        if (loaded == "System file accepted") {
            reader->ReadSystem(system, info, flag);
            pmc.Redim(info.SubstanceCount);
            for (int k = 1; k <= info.SubstanceCount; ++k)
                pmc[k] = 1.0;
            composition.Redim(info.ElementCount);
            composition[0] = 55.50843;
            amounts.Redim(info.LastAqueous - info.SubstanceCount);
            lnActivities.Redim(info.LastAqueous - info.SubstanceCount);
        }
    }

    /// Position of a species in the result arrays.
    int Position(const std::string& name) const {
        for (int s = info.SubstanceCount + 1; s <= info.LastAqueous; ++s) {
            if (info.SpeciesNames[s] == name) return s - info.SubstanceCount;
        }
        return -1;
    }
    /// Position of an element in the composition.
    int Element(int code) const {
        for (int e = 1; e <= info.ElementCount; ++e) {
            if (info.ElementCodes[e] == code) return e;
        }
        return -1;
    }
    /// Runs Calculate and returns its message.
    std::string Calculate(float tempC, float pressureBar) {
        std::int16_t scratch = 0;
        solver->Calculate(tempC, pressureBar, pmc, composition, amounts, lnActivities, scratch);
        return solver->GetMessage();
    }
    /// Decimal log of the molal activity of a species in the last result.
    double LogActivity(const std::string& name) const {
        return (lnActivities[Position(name)] + std::log(55.50843)) / kLn10;
    }
    double Amount(const std::string& name) const { return amounts[Position(name)]; }

    EngineFactory factory;
    std::unique_ptr<ISolver> solver;
    std::unique_ptr<IThermo> thermo;
    std::unique_ptr<ISystemReader> reader;
    std::string loaded;
    SystemInfo info;
    Array1<double> pmc, composition, amounts, lnActivities;
};

}  // namespace varsel::engine::equilibrium::testing
