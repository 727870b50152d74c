#include "engine/equilibrium/SystemReader.h"

#include "engine/equilibrium/EngineSession.h"
#include "engine/equilibrium/SystemModel.h"
#include "model/RuntimeFailure.h"

namespace varsel::engine::equilibrium {

SystemReader::SystemReader(std::shared_ptr<EngineSession> session) : session_(std::move(session)) {}

void SystemReader::ReadSystem(const std::string& systemFile, SystemInfo& info, std::int16_t& flag) {
    flag = 0;
    const thermo::Database* database = session_->Calculator().OpenedDatabase();
    if (!database)
        throw RuntimeFailure(kEngineFailure,
                             "System " + systemFile + " cannot be read: no database is open");
    const SystemModel model =
        ResolveSystem(FindSystem(systemFile, session_->WorkFolder()), *database);

    const int elements = static_cast<int>(model.ElementCodes.size());
    const int species = model.SpeciesCount();
    if (elements > 32767 || species > 32767)
        throw RuntimeFailure(kOverflow, "System " + systemFile + " is too large");
    SystemInfo fresh;
    fresh.ElementCount = static_cast<std::int16_t>(elements);
    fresh.SubstanceCount = static_cast<std::int16_t>(model.MobileCount);
    fresh.HasAqueous = model.AqueousCount > 0 ? 1 : 0;
    fresh.LastAqueous = static_cast<std::int16_t>(species);
    // Phase kinds: 1 a p.m.c., 2 a pure condensed extra, 3 a gas extra, 4 the solution.
    for (int s = 0; s < model.MobileCount + model.ExtraCount; ++s) {
        std::int16_t kind = 1;
        if (s >= model.MobileCount)
            kind = model.Records[s]->Kind == thermo::SpeciesKind::Gas ? 3 : 2;
        fresh.Phases.push_back({kind, static_cast<std::int16_t>(s), 1});
    }
    if (model.AqueousCount > 0)
        fresh.Phases.push_back({4, static_cast<std::int16_t>(model.MobileCount + model.ExtraCount),
                                static_cast<std::int16_t>(model.AqueousCount)});
    fresh.ElementCodes.Redim(elements);
    for (int e = 0; e < elements; ++e)
        fresh.ElementCodes[e + 1] = static_cast<std::int16_t>(model.ElementCodes[e]);
    fresh.Stoich.Redim(elements, species);
    fresh.SpeciesNames.Redim(species);
    for (int s = 0; s < species; ++s) {
        fresh.SpeciesNames[s + 1] = model.Names[s];
        for (int e = 0; e < elements; ++e)
            fresh.Stoich(e + 1, s + 1) = static_cast<float>(model.Stoich[s][e]);
    }
    fresh.AcidTitrant = model.Definition.Acid;
    fresh.BaseTitrant = model.Definition.Base;
    info = std::move(fresh);
}

}  // namespace varsel::engine::equilibrium
