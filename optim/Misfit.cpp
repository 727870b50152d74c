#include "optim/Misfit.h"

#include <cmath>
#include <exception>
#include <string>

#include "model/Checked.h"
#include "model/DataSource.h"
#include "model/Layout.h"
#include "model/RuntimeFailure.h"
#include "services/EngineContract.h"
#include "services/RunContext.h"

namespace varsel {

namespace {

// The conversion from mole-fraction activities to decimal logarithms of molal ones takes
// ln kWaterMolesPerKg and log10 e each to seven significant digits, as the results of every
// data file have been computed: the exact values move an axis value by up to 2e-7 and the
// fitted values in their last digit. The rounded ln stays tied to the engine's exact one.
constexpr double kLnWaterMoles = 4.016535;
constexpr double kLog10E = 0.4342945;
static_assert(kLnWaterMoles - kLnWaterMolesPerKg < 5e-7 &&
              kLnWaterMolesPerKg - kLnWaterMoles < 5e-7);

// Solver.Calculate for the current sample; on an engine verdict other than "OK" the second
// reading of the message becomes the status text.
bool Calculate(ProblemModel& m, RunContext& context) {
    std::int16_t scratch = 0;
    ++m.Misfit.Calculations;
    m.Solver->Calculate(m.TempC, m.PressureBar, m.PmcActivity, m.BulkComposition, m.SpeciesAmount,
                        m.SpeciesLnActivity, scratch);
    context.KeepWindowAlive();
    if (m.Solver->GetMessage() == kCalculatedMessage) return true;
    m.StatusText = m.Solver->GetMessage();
    // A failure without a word would reach the user as an empty reason.
    if (m.StatusText.empty()) m.StatusText = "the equilibrium calculation failed";
    m.StatusCode = 1;
    return false;
}

void SetEngineValue(ProblemModel& m, int species, float value) {
    m.Solver->SetSpeciesValue(CheckedInt16(m.SpeciesIndex[species] - m.PmcSlots), value);
}

// Y at one perturbed value of a species; false when the pass has failed.
bool PerturbedY(ProblemModel& m, RunContext& context, int species, double value, double& y) {
    SetEngineValue(m, species, ToStoredFloat(value));
    if (!Calculate(m, context)) return false;
    y = AxisValue(m, m.YAxis);
    return m.StatusCode == 0;
}

// Central-difference derivatives of sample k's Y with respect to every free species. The
// step is the species' scale times a multiplier that doubles, up to 1024, while Y does not
// react by 1e-7, so that a flat stretch of the model does not give a derivative of noise.
bool Derivatives(ProblemModel& m, RunContext& context, MisfitState& state, int k) {
    const double y0 = m.Samples[k].YCalc;
    int f = 0;
    for (int j = 1; j <= m.SpeciesCount; ++j) {
        if (!m.SpeciesFree[j]) continue;
        ++f;
        const double value = m.SpeciesValue[j];
        const double scale = m.SpeciesScale[j];
        double s = 1;
        double yMinus = 0;
        double yPlus = 0;
        for (;;) {
            if (!PerturbedY(m, context, j, value - scale * s, yMinus)) return false;
            if (!PerturbedY(m, context, j, value + scale * s, yPlus)) return false;
            SetEngineValue(m, j, m.SpeciesValue[j]);
            if (std::fabs(yPlus - y0) + std::fabs(y0 - yMinus) < 1e-7 && s < 1000) {
                s *= 2;
                continue;
            }
            break;
        }
        state.LastMultiplier = s;
        m.Jacobian(f, k) = CheckedDivide(yPlus - yMinus, 2 * s * scale);
    }
    return true;
}

void WriteSampleCells(ProblemModel& m, RunContext& context, int k) {
    const SampleRec& sample = m.Samples[k];
    using layout::SampleCell;
    using layout::SampleColumn;
    const std::int16_t row = layout::SampleRow(m, k);
    if (m.XAxis.Kind != AxisDef::kFixed) {
        WriteCell(context, row, SampleCell(m, SampleColumn::X), sample.XFixed);
    }
    WriteCell(context, row, SampleCell(m, SampleColumn::YCalc), sample.YCalc);
    WriteCell(context, row, SampleCell(m, SampleColumn::Error), sample.Error);
    if (sample.Extras != 0) {
        WriteCellNumber(context, row, SampleCell(m, SampleColumn::Extras), sample.Extras);
    } else {
        ClearCell(context, row, SampleCell(m, SampleColumn::Extras));
    }
}

void Pass(ProblemModel& m, RunContext& context, MisfitState& state, PassMode mode,
          int& currentSample) {
    state.SumOfSquares = 0;
    for (int j = 1; j <= m.SpeciesCount; ++j)
        SetEngineValue(m, j, m.SpeciesValue[j]);

    const bool hessian = mode == PassMode::Hessian;
    for (int k = 1; k <= m.SampleCount; ++k) {
        currentSample = k;
        SampleRec& sample = m.Samples[k];
        if (hessian && sample.Weight == 0) continue;
        // A stop is honoured between engine calls, so that it takes effect within one
        // sample's calculations.
        if (context.Stop.Requested()) {
            m.StatusCode = 1;
            m.StatusText = kStoppedByUser;
            return;
        }

        // Per-sample p.m.c.: PmcPotential holds the slot's reference potential, so a cell
        // the reader filled with it gives an activity of exactly 1.
        for (int c = 1; c <= m.SamplePmcCount; ++c) {
            const int p = m.SamplePmcSlot[c];
            m.PmcActivity[p] = CheckedExp(
                (static_cast<double>(sample.Potentials[c]) - m.PmcPotential[p]) / state.RT);
        }

        const int elements = m.SystemInfo.ElementCount;
        for (int e = 1; e <= elements; ++e)
            m.BulkComposition[e] = 0;
        for (int f = 1; f <= m.FormulaCount; ++f) {
            const double amount = sample.Amounts[f];
            if (!(amount > 0)) continue;
            for (int e = 1; e <= elements; ++e) {
                m.BulkComposition[e] = Finite(
                    m.BulkComposition[e] + static_cast<double>(m.FormulaElements(e, f)) * amount);
            }
        }
        m.BulkComposition[0] = kWaterMolesPerKg;

        if (!Calculate(m, context)) return;
        const double y = AxisValue(m, m.YAxis);
        if (m.StatusCode != 0) return;
        if (!hessian) sample.YCalc = ToStoredFloat(y);
        const double r = y - sample.YExp;

        if (!hessian) {
            sample.Error = ToStoredFloat(r);
            if (m.XAxis.Kind != AxisDef::kFixed) {
                const double x = AxisValue(m, m.XAxis);
                if (m.StatusCode != 0) return;
                sample.XFixed = ToStoredFloat(x);
            }
            // The System's species between the p.m.c. and the aqueous ones that are present.
            std::int16_t extras = 0;
            for (int i = 1; i <= m.AqFirst - 1 - m.PmcSlots; ++i) {
                if (m.SpeciesAmount[i] > 0) CheckedAdd(extras, 1);
            }
            sample.Extras = extras;
            if (m.IsWorkbook) WriteSampleCells(m, context, k);
        }

        state.SumOfSquares = Finite(state.SumOfSquares + r * r * sample.Weight);

        if (mode == PassMode::Iteration) {
            m.Jacobian(0, k) = -r;
            if (sample.Weight != 0 && !Derivatives(m, context, state, k)) return;
        }
    }
}

}  // namespace

void PrepareWork(ProblemModel& m) {
    MisfitState& state = m.Misfit;
    state.RT = static_cast<double>(m.TempK) * kInterfaceGasConstant;
    state.LastMultiplier = 1;
    m.BulkComposition.Redim(m.SystemInfo.ElementCount);
    m.PmcActivity.Redim(m.PmcSlots);
    m.SpeciesAmount.Redim(m.SystemInfo.LastAqueous - m.PmcSlots);
    m.SpeciesLnActivity.Redim(m.SystemInfo.LastAqueous - m.PmcSlots);
}

void FixedPmcActivities(ProblemModel& m) {
    for (int i = 1; i <= m.PmcSlots; ++i) {
        bool perSample = false;
        for (int c = 1; c <= m.SamplePmcCount; ++c)
            perSample = perSample || m.SamplePmcSlot[c] == i;
        if (perSample) continue;

        const float reference = PmcReferencePotential(
            *m.Thermo, m.PmcCode[i], m.PmcComputable[i] != 0, m.TempK, m.PressureBar);
        m.PmcActivity[i] =
            CheckedExp((static_cast<double>(m.PmcPotential[i]) - reference) / m.Misfit.RT);
    }
}

void EvaluateModel(ProblemModel& m, RunContext& context, PassMode mode) {
    int currentSample = 0;
    try {
        Pass(m, context, m.Misfit, mode, currentSample);
    } catch (const std::exception& failure) {
        // An arithmetic fault, or an engine or spreadsheet call that could not be carried
        // out: the run ends in order with a reason that names the sample.
        m.StatusCode = 1;
        m.StatusText = "calculation failed";
        if (currentSample >= 1 && currentSample <= m.SampleCount) {
            m.StatusText += " at sample " + m.Samples[currentSample].Name;
        }
        m.StatusText += std::string(": ") + failure.what();
    }
}

double AxisValue(ProblemModel& m, const AxisDef& axis) {
    double result = 0;
    bool valid = true;
    if (axis.Kind == AxisDef::kSpecies) {
        const int i = axis.Index - m.PmcSlots;
        if (m.SpeciesAmount[i] == 0) {
            valid = false;
        } else {
            result = (m.SpeciesLnActivity[i] + kLnWaterMoles) * kLog10E;
        }
    } else if (axis.Kind == AxisDef::kElement) {
        double total = 0;
        for (int s = m.AqFirst + 1; s <= m.AqLast; ++s) {
            total += static_cast<double>(m.SystemInfo.Stoich(axis.Index, s)) *
                     m.SpeciesAmount[s - m.PmcSlots];
        }
        const double solvent = m.SpeciesAmount[m.AqFirst - m.PmcSlots];
        // The logarithm needs a positive molality: a zero total, a non-positive solvent
        // amount or a quotient that is not a number cannot give one.
        const double ratio = solvent != 0 ? total / solvent : 0.0;
        if (total == 0 || !(ratio > 0) || !std::isfinite(ratio)) {
            valid = false;
        } else {
            result = (std::log(ratio) + kLnWaterMoles) * kLog10E;
        }
    }
    if (valid && std::isfinite(result)) return result;
    m.StatusCode = 1;
    m.StatusText = "invalid " + axis.Text + " value";
    return 0;
}

double MeanError(const ProblemModel& m, double sumOfSquares) {
    return std::sqrt(CheckedDivide(sumOfSquares, m.WeightSum));
}

}  // namespace varsel
