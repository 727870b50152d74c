// The numbers and rules that the program and the thermodynamic engine must share exactly:
// the ranges of the type codes, the gas constant and the moles of water per kilogram with
// which activities and potentials are converted on both sides, the engine's verdict texts,
// its numbered switches, how an options text is read, and the rule by which the reference
// potential of a p.m.c. is computed. Both sides include this one header, so that neither can
// change a value the other relies on.
#pragma once

#include <cctype>
#include <cstdint>
#include <string>
#include <string_view>

#include "services/Engine.h"

namespace varsel {

/// Type codes: 0 the solvent, 1 H+, 2 OH-; then one range per kind of substance. A code
/// below 0 means "not found".
inline constexpr std::int16_t kSolventCode = 0;
inline constexpr std::int16_t kHydrogenIonCode = 1;
inline constexpr std::int16_t kHydroxideCode = 2;
/// Aqueous species with their own parameters.
inline constexpr std::int16_t kFirstHkfCode = 3;
inline constexpr std::int16_t kLastHkfCode = 1023;
/// Aqueous species with estimated parameters.
inline constexpr std::int16_t kFirstEstimatedCode = 1024;
inline constexpr std::int16_t kLastEstimatedCode = 2047;
/// Condensed substances.
inline constexpr std::int16_t kFirstCondensedCode = 2048;
inline constexpr std::int16_t kLastCondensedCode = 3071;
/// Gases.
inline constexpr std::int16_t kFirstGasCode = 3072;
inline constexpr std::int16_t kLastGasCode = 32767;

/// A potential whose magnitude is above this could not be computed.
inline constexpr float kUncomputableAbove = 1e33f;

/// Gas constant (kJ/(mol·K)) with which the program turns p.m.c. potentials into the
/// activities it hands to Solver::Calculate and the engine turns them back.
inline constexpr double kInterfaceGasConstant = 0.008314411328;

/// Moles of water in one kilogram (1 / 0.018015268 kg/mol, to the digits both sides use):
/// the amount of solvent the program hands to Solver::Calculate.
inline constexpr double kWaterMolesPerKg = 55.50843;
/// ln kWaterMolesPerKg, the double nearest to it (what std::log gives): converts the molal
/// scale to the mole-fraction scale of Solver::Calculate's lnActivities.
inline constexpr double kLnWaterMolesPerKg = 4.0165349011098753;

/// Solver::GetMessage after a successful LoadSystem and Calculate.
inline constexpr const char* kSystemAcceptedMessage = "System file accepted";
inline constexpr const char* kCalculatedMessage = "OK";

/// Solver::SetSwitch: a value other than 0 prints every iteration of the equilibrium solver on
/// standard error; 0 (the default) is silent.
inline constexpr std::int16_t kTraceSwitch = 27;
/// Solver::SetSwitch: 0 makes every calculation start from scratch; 1 (the default) starts from
/// the result of the previous one.
inline constexpr std::int16_t kWarmStartSwitch = 28;

/// The switch words of an options text: lower case, every blank removed, every "/" turned into
/// a blank, and one blank appended. A switch NAME is on when the words contain " NAME ": it
/// counts only as a whole word after a slash ("/wp", "/WP" and "/w p" count, "/wpx" and a "wp"
/// without its slash do not).
inline std::string OptionWords(std::string_view options) {
    std::string words;
    for (char c : options) {
        if (c == ' ') continue;
        words.push_back(c == '/' ? ' '
                                 : static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    }
    words.push_back(' ');
    return words;
}

/// Whether the switch `name` (lower case, without its slash) is on in `words` (OptionWords).
inline bool HasOptionSwitch(const std::string& words, std::string_view name) {
    std::string word(1, ' ');
    word.append(name).push_back(' ');
    return words.find(word) != std::string::npos;
}

/// The option-flag word for Thermo::SetModes from an options text (without its "/mode="
/// switch): bit 14 (16384) always set, plus 1 for /wp, 2 for /bl and 4 for /ew.
inline std::int16_t OptionFlagWord(std::string_view options) {
    const std::string words = OptionWords(options);
    std::int16_t flags = 16384;
    if (HasOptionSwitch(words, "wp")) flags |= 1;
    if (HasOptionSwitch(words, "bl")) flags |= 2;
    if (HasOptionSwitch(words, "ew")) flags |= 4;
    return flags;
}

/// Whether the reference potential of a p.m.c. is taken at the run's temperature and
/// pressure: for every substance except gases and names marked ",g", which are taken at 1 bar.
inline bool PmcAtRunPressure(const std::string& name, std::int16_t code) {
    return name.find(",g") == std::string::npos && code < kFirstGasCode;
}

/// Reference potential (kJ/mol) of a p.m.c., the μ° of its activity exp((μ − μ°) / RT): at
/// tempK and pressureBar when `atRunPressure`, else the substance or the gas at 1 bar.
inline float PmcReferencePotential(IThermo& thermo, std::int16_t code, bool atRunPressure,
                                   float tempK, float pressureBar) {
    std::int16_t flag = 0;
    if (atRunPressure) return thermo.SubstancePotential(code, tempK, pressureBar, flag);
    if (code < kFirstGasCode) return thermo.SubstancePotential(code, tempK, 1.0f, flag);
    return thermo.GasPotential(code, tempK, 1.0f);
}

}  // namespace varsel
