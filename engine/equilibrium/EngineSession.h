// What the engine objects of one run share: the working folder, the engine's own Thermo
// calculator with the database the Solver opened, and the settings (modes, ignored limits)
// that the Thermo object of the run received, so that the Solver computes every standard
// potential exactly as the caller does.
#pragma once

#include <filesystem>
#include <string>

#include "engine/thermo/Thermo.h"

namespace varsel::engine {

class EngineSession {
  public:
    explicit EngineSession(std::filesystem::path workFolder)
        : workFolder_(std::move(workFolder)), calculator_(workFolder_) {}

    const std::filesystem::path& WorkFolder() const { return workFolder_; }

    /// The engine's calculator: the open database and the standard potentials.
    thermo::Thermo& Calculator() { return calculator_; }
    bool HasDatabase() const { return calculator_.OpenedDatabase() != nullptr; }

    /// Counts the changes of the calculator's settings (database, modes, limits), so that a
    /// Solver knows when the potentials it keeps are out of date.
    unsigned long SettingsVersion() const { return settingsVersion_; }
    void SettingsChanged() { ++settingsVersion_; }

  private:
    std::filesystem::path workFolder_;
    thermo::Thermo calculator_;
    unsigned long settingsVersion_ = 0;
};

}  // namespace varsel::engine
