// The engine's factory: creates the Solver, Thermo and SystemReader objects of a run.
//
// Objects created while others of the same factory are alive share one engine session (the
// open database, its settings and the loaded System), so the System reader and the Thermo
// object see the database that the Solver opened. When all of them have been released, the
// next object starts a new session.
#pragma once

#include <memory>
#include <string>

#include "services/Engine.h"

namespace varsel::engine {

class EngineSession;

/// Creates the engine objects of a run; see the file comment for how they share a session.
class EngineFactory : public IEngineFactory {
  public:
    EngineFactory();
    ~EngineFactory() override;

    /// Relative database and System names are resolved in `workFolder` first, then among
    /// the data that ship with the program.
    std::unique_ptr<ISolver> CreateSolver(const std::string& workFolder) override;
    std::unique_ptr<IThermo> CreateThermo(const std::string& workFolder) override;
    std::unique_ptr<ISystemReader> CreateSystemReader(const std::string& workFolder) override;

  private:
    std::shared_ptr<EngineSession> Session(const std::string& workFolder);

    std::weak_ptr<EngineSession> session_;
};

}  // namespace varsel::engine
