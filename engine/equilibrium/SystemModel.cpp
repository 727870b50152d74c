#include "engine/equilibrium/SystemModel.h"

#include <algorithm>
#include <optional>
#include <set>

#include "engine/common/DataFolders.h"
#include "engine/thermo/Elements.h"
#include "engine/thermo/Formula.h"
#include "engine/thermo/HkfEstimate.h"
#include "engine/thermo/Units.h"
#include "model/RuntimeFailure.h"

namespace varsel::engine::equilibrium {

namespace {

[[noreturn]] void Fail(const SystemDefinition& d, const std::string& what) {
    throw RuntimeFailure(kEngineFailure, "System " + d.Path + ": " + what);
}

bool IsNonAqueous(const thermo::SpeciesRecord& r) {
    return r.Kind == thermo::SpeciesKind::Mineral || r.Kind == thermo::SpeciesKind::Gas ||
           r.Role == thermo::SpeciesRole::WaterSubstance;
}

}  // namespace

SystemDefinition FindSystem(const std::string& name, const std::filesystem::path& workFolder) {
    static constexpr std::string_view kExtensions[] = {".sys"};
    const std::filesystem::path path =
        ResolveDataFile(name, DataKind::Systems, workFolder, kExtensions);
    if (path.empty()) {
        throw RuntimeFailure(kFileNotFound, "System file " + name + " not found (looked in: " +
                                                SearchedFoldersText(DataKind::Systems, workFolder) +
                                                ")");
    }
    return ReadSystemFile(path.string());
}

SystemModel ResolveSystem(const SystemDefinition& definition, const thermo::Database& database) {
    SystemModel model;
    model.Definition = definition;
    model.MobileCount = static_cast<int>(definition.Mobile.size());
    model.ExtraCount = static_cast<int>(definition.Extras.size());
    model.AqueousCount = static_cast<int>(definition.Aqueous.size());

    auto find = [&](const std::string& name) {
        const thermo::SpeciesRecord* r = database.Find(name);
        // Only exact names count: a System names its species as the database writes them.
        if (!r || r->Name != name)
            Fail(definition, "species " + name + " is not in the database " +
                                 database.Path().filename().string());
        return r;
    };
    for (const std::string& name : definition.Mobile) {
        const thermo::SpeciesRecord* r = find(name);
        if (!IsNonAqueous(*r))
            Fail(definition, "p.m.c. " + name + " is " + thermo::KindName(r->Kind) +
                                 "; p.m.c. must be minerals, gases or the water substance H2O");
        model.Names.push_back(name);
        model.Records.push_back(r);
    }
    for (const std::string& name : definition.Extras) {
        const thermo::SpeciesRecord* r = find(name);
        if (!IsNonAqueous(*r))
            Fail(definition, "extra species " + name + " is " + thermo::KindName(r->Kind) +
                                 "; it must be a mineral or a gas");
        model.Names.push_back(name);
        model.Records.push_back(r);
    }
    for (std::size_t i = 0; i < definition.Aqueous.size(); ++i) {
        const std::string& name = definition.Aqueous[i];
        if (i == 0) {
            const thermo::SpeciesRecord* r = find(kDatabaseSolventName);
            if (r->Role != thermo::SpeciesRole::Solvent)
                Fail(definition, std::string(kDatabaseSolventName) + " is not the solvent");
            model.Names.push_back(name);
            model.Records.push_back(r);
            continue;
        }
        const thermo::SpeciesRecord* r = find(name);
        if (r->Kind != thermo::SpeciesKind::Aqueous)
            Fail(definition,
                 "species " + name + " of the aqueous section is " + thermo::KindName(r->Kind));
        model.Names.push_back(name);
        model.Records.push_back(r);
    }

    std::set<int> codes;
    for (const thermo::SpeciesRecord* r : model.Records) {
        for (const thermo::ElementAmount& a : r->Composition.Elements) {
            if (a.Amount != 0) codes.insert(a.Code);
        }
    }
    model.ElementCodes.assign(codes.begin(), codes.end());
    for (int code : model.ElementCodes) {
        const thermo::Element* e = thermo::ElementByCode(code);
        model.ElementSymbols.push_back(e ? std::string(e->Symbol) : std::to_string(code));
    }
    for (const thermo::SpeciesRecord* r : model.Records) {
        ElementVector v(model.ElementCodes.size(), 0.0);
        for (std::size_t e = 0; e < model.ElementCodes.size(); ++e)
            v[e] = r->Composition.Amount(model.ElementCodes[e]);
        model.Stoich.push_back(std::move(v));
    }
    auto titrant = [&](const std::string& text, const char* kind) {
        if (text.empty()) return ElementVector{};
        std::string why;
        const std::optional<thermo::Formula> f = thermo::TryParseFormula(text, &why);
        if (!f)
            Fail(definition, "the " + std::string(kind) + " " + text + " is not a formula: " + why);
        if (f->Charge != 0)
            Fail(definition, "the " + std::string(kind) + " " + text +
                                 " is charged; a titrant is a neutral substance");
        ElementVector v(model.ElementCodes.size(), 0.0);
        for (const thermo::ElementAmount& a : f->Elements) {
            const auto at = std::find(model.ElementCodes.begin(), model.ElementCodes.end(), a.Code);
            if (at == model.ElementCodes.end()) {
                const thermo::Element* e = thermo::ElementByCode(a.Code);
                Fail(definition, "the " + std::string(kind) + " " + text + " holds " +
                                     (e ? std::string(e->Symbol) : std::to_string(a.Code)) +
                                     ", which no species of the System holds");
            }
            v[static_cast<std::size_t>(at - model.ElementCodes.begin())] += a.Amount;
        }
        return v;
    };
    model.AcidStoich = titrant(definition.Acid, "acid");
    model.BaseStoich = titrant(definition.Base, "base");
    if ((!definition.Acid.empty() || !definition.Base.empty()) &&
        std::find(definition.Aqueous.begin(), definition.Aqueous.end(), "H+") ==
            definition.Aqueous.end())
        Fail(definition,
             "it names a titrant but not the aqueous species H+, whose activity the pH gives");
    return model;
}

EquilibriumProblem ProblemOf(const SystemModel& model) {
    EquilibriumProblem p;
    p.ElementSymbols = model.ElementSymbols;
    int s = 0;
    for (int k = 0; k < model.MobileCount; ++k, ++s)
        p.Mobiles.push_back({model.Names[s], model.Stoich[s]});
    for (int k = 0; k < model.ExtraCount; ++k, ++s)
        p.Extras.push_back(
            {model.Names[s], model.Stoich[s], model.Records[s]->Kind == thermo::SpeciesKind::Gas});
    p.Solvent = model.Stoich[s++];
    for (; s < model.SpeciesCount(); ++s) {
        const thermo::SpeciesRecord& r = *model.Records[s];
        const double z = r.Charge();
        // ω in cal/mol, as the activity models take it; a species without HKF parameters of
        // its own gets the estimated ones its standard potential is computed with.
        std::optional<thermo::HkfParameters> hkf = r.Hkf;
        if (!hkf) hkf = thermo::EstimateHkf(r);
        const double omega = hkf ? hkf->omega / thermo::kCalorie : 0.0;
        p.Solutes.push_back({model.Names[s], model.Stoich[s], z, omega});
        if (model.Names[s] == "H+") p.Titrants.HydrogenIon = static_cast<int>(p.Solutes.size()) - 1;
    }
    p.Titrants.Acid = model.AcidStoich;
    p.Titrants.Base = model.BaseStoich;
    p.Titrants.AcidName = model.Definition.Acid;
    p.Titrants.BaseName = model.Definition.Base;
    return p;
}

}  // namespace varsel::engine::equilibrium
