// The choice of activity model of the aqueous solution, as the options text names it
// (/act=NAME): the B-dot equation (the default), the extended Debye-Hückel equation of
// Helgeson, Kirkham & Flowers (1981), the Pitzer equations, or the ideal solution (γ = 1,
// a_w = 1). Builds the model (engine/activity) for the solutes of an equilibrium problem.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>

#include "engine/activity/ActivityModel.h"
#include "engine/equilibrium/EquilibriumProblem.h"

namespace varsel::engine::equilibrium {

enum class ActivityKind { Bdot, Hkf81, Pitzer, Ideal };

/// The model a name stands for (letter case as written in the options: lower case).
std::optional<ActivityKind> ActivityKindOf(std::string_view name);

/// The names of the models, for messages: "bdot, hkf81, pitzer, ideal".
const char* ActivityKindNames();

/// The name of a model.
const char* ActivityKindName(ActivityKind kind);

/// The model of `kind` for the solutes of `problem`. The Pitzer parameters are read from the
/// file pitzer.dat of the activity data folders (the working folder first). Throws
/// RuntimeFailure(kEngineFailure) when the file cannot be read, or for the Pitzer model when
/// the System holds an ion pair whose ions have parameters of their own, naming the species.
std::unique_ptr<activity::ActivityModel> MakeActivityModel(ActivityKind kind,
                                                           const EquilibriumProblem& problem,
                                                           const std::filesystem::path& workFolder);

}  // namespace varsel::engine::equilibrium
