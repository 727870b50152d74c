#include "engine/thermo/Species.h"

namespace varsel::engine::thermo {

AqueousModel AqueousModelOf(const SpeciesRecord& record) {
    if (record.Kind != SpeciesKind::Aqueous) return AqueousModel::Missing;
    if (!record.G) return AqueousModel::Missing;
    if (record.Hkf && record.S) return AqueousModel::Hkf;
    if (record.S) return AqueousModel::Estimated;
    return AqueousModel::Missing;
}

const char* KindName(SpeciesKind kind) {
    switch (kind) {
        case SpeciesKind::Aqueous:
            return "aqueous";
        case SpeciesKind::Mineral:
            return "mineral";
        case SpeciesKind::Gas:
            return "gas";
        case SpeciesKind::Water:
            return "water";
    }
    return "unknown";
}

}  // namespace varsel::engine::thermo
