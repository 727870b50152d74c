#include "engine/equilibrium/ActivityChoice.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "engine/activity/BdotModel.h"
#include "engine/activity/Hkf81Model.h"
#include "engine/activity/IdealModel.h"
#include "engine/activity/PitzerModel.h"
#include "engine/common/DataFolders.h"
#include "engine/equilibrium/IonPairs.h"
#include "model/RuntimeFailure.h"

namespace varsel::engine::equilibrium {

namespace {

constexpr std::array<std::pair<std::string_view, ActivityKind>, 4> kKinds = {{
    {"bdot", ActivityKind::Bdot},
    {"hkf81", ActivityKind::Hkf81},
    {"pitzer", ActivityKind::Pitzer},
    {"ideal", ActivityKind::Ideal},
}};

// The name of a species in the Pitzer parameter file: without the ",aq" of a neutral species,
// and with a repeated charge sign written as sign and number ("Ca++" → "Ca+2").
std::string PitzerName(const std::string& name) {
    std::string n = name;
    if (n.size() > 3 && n.ends_with(",aq")) n.resize(n.size() - 3);
    const std::size_t signs = n.find_last_not_of("+-");
    const std::size_t count = n.size() - (signs == std::string::npos ? 0 : signs + 1);
    if (count > 1 && n.find_first_not_of(n.back(), signs + 1) == std::string::npos)
        n = n.substr(0, signs + 2) + std::to_string(count);
    return n;
}

std::vector<activity::Solute> ModelSolutes(const EquilibriumProblem& problem, bool pitzerNames) {
    std::vector<activity::Solute> solutes;
    for (int j = 0; j < static_cast<int>(problem.Solutes.size()); ++j) {
        const Solute& s = problem.Solutes[static_cast<std::size_t>(j)];
        activity::Solute m{pitzerNames ? PitzerName(s.Name) : s.Name, s.Charge, s.Omega, 0.0};
        if (const auto pair = IonPairOf(problem, j))
            m.Dissociated = DissociatedIonicStrength(problem, *pair);
        solutes.push_back(std::move(m));
    }
    return solutes;
}

// Pitzer parameters describe the ions as fully dissociated: an ion pair beside the binary
// parameters of its own ions would count their interaction twice.
void RefuseIonPairs(const EquilibriumProblem& problem, const std::vector<activity::Solute>& solutes,
                    const activity::PitzerParameters& parameters) {
    auto named = [&](const std::string& name) {
        return std::any_of(parameters.Entries.begin(), parameters.Entries.end(),
                           [&](const activity::PitzerEntry& e) {
                               return std::find(e.Species.begin(), e.Species.end(), name) !=
                                      e.Species.end();
                           });
    };
    for (int j = 0; j < static_cast<int>(solutes.size()); ++j) {
        const auto pair = IonPairOf(problem, j);
        // A species the file names itself (HSO4-, HCO3-) is one of the model's species.
        if (!pair || named(solutes[static_cast<std::size_t>(j)].Name)) continue;
        const std::string& c = solutes[static_cast<std::size_t>(pair->Cation)].Name;
        const std::string& a = solutes[static_cast<std::size_t>(pair->Anion)].Name;
        for (const activity::PitzerEntry& e : parameters.Entries) {
            if (e.Kind != activity::PitzerKind::B0 && e.Kind != activity::PitzerKind::B1) continue;
            if ((e.Species[0] == c && e.Species[1] == a) ||
                (e.Species[0] == a && e.Species[1] == c))
                throw RuntimeFailure(
                    kEngineFailure,
                    "the Pitzer activity model cannot take the ion pair " +
                        problem.Solutes[static_cast<std::size_t>(j)].Name + ": its ions " +
                        problem.Solutes[static_cast<std::size_t>(pair->Cation)].Name + " and " +
                        problem.Solutes[static_cast<std::size_t>(pair->Anion)].Name +
                        " have interaction parameters of their own (" + parameters.Source +
                        ", line " + std::to_string(e.Line) +
                        "); leave it out of the System (nacl-pitzer is the NaCl System "
                        "without its ion pairs)");
        }
    }
}

}  // namespace

std::optional<ActivityKind> ActivityKindOf(std::string_view name) {
    for (const auto& [n, kind] : kKinds)
        if (n == name) return kind;
    return std::nullopt;
}

const char* ActivityKindNames() {
    return "bdot, hkf81, pitzer, ideal";
}

const char* ActivityKindName(ActivityKind kind) {
    for (const auto& [n, k] : kKinds)
        if (k == kind) return n.data();
    return "bdot";
}

std::unique_ptr<activity::ActivityModel> MakeActivityModel(
    ActivityKind kind, const EquilibriumProblem& problem, const std::filesystem::path& workFolder) {
    switch (kind) {
        case ActivityKind::Bdot:
            break;
        case ActivityKind::Ideal:
            return std::make_unique<activity::IdealModel>();
        case ActivityKind::Hkf81:
            return std::make_unique<activity::Hkf81Model>(ModelSolutes(problem, false));
        case ActivityKind::Pitzer: {
            static constexpr std::string_view kExtensions[] = {".dat"};
            const std::filesystem::path path =
                ResolveDataFile("pitzer.dat", DataKind::Activity, workFolder, kExtensions);
            if (path.empty())
                throw RuntimeFailure(kEngineFailure,
                                     "the Pitzer parameter file pitzer.dat was not found (looked "
                                     "in: " +
                                         SearchedFoldersText(DataKind::Activity, workFolder) + ")");
            const activity::PitzerParameters parameters = activity::ReadPitzerFile(path.string());
            std::vector<activity::Solute> solutes = ModelSolutes(problem, true);
            RefuseIonPairs(problem, solutes, parameters);
            return std::make_unique<activity::PitzerModel>(std::move(solutes), parameters);
        }
    }
    return std::make_unique<activity::BdotModel>(ModelSolutes(problem, false));
}

}  // namespace varsel::engine::equilibrium
