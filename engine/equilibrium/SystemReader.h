// The engine's SystemReader object: reads a System file into the SystemInfo record, resolving
// its species in the database of the engine session.
#pragma once

#include <memory>

#include "services/Engine.h"

namespace varsel::engine {

class EngineSession;

namespace equilibrium {

class SystemReader : public ISystemReader {
  public:
    explicit SystemReader(std::shared_ptr<EngineSession> session);

    /// Fills `info` from the System named `systemFile` (working folder first, then the shipped
    /// Systems): elements by atomic number, p.m.c. count, aqueous flag, last species, phases
    /// (one per p.m.c. and extra, the aqueous solution last), stoichiometry and names in System
    /// order. `flag` is set to 0. Throws RuntimeFailure (kEngineFailure) naming the System and
    /// the species for an unknown species, a misplaced one or a file that cannot be read, and
    /// when no database is open. A System without an aqueous section gives HasAqueous = 0.
    void ReadSystem(const std::string& systemFile, SystemInfo& info, std::int16_t& flag) override;

  private:
    std::shared_ptr<EngineSession> session_;
};

}  // namespace equilibrium
}  // namespace varsel::engine
