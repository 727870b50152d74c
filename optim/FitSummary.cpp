#include "optim/FitSummary.h"

#include <cctype>
#include <cmath>
#include <cstdio>

#include "model/ProblemModel.h"
#include "optim/Misfit.h"

namespace varsel {

namespace {

// Two decimals with a true minus sign, as the flags show a correlation.
std::string Coefficient(double r) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", std::fabs(r));
    return (r < 0 ? "\xE2\x88\x92" : "") + std::string(text);
}

// The activity model the options text chooses with /act=NAME; the B-dot equation without.
std::string ActivityModelOf(const std::string& options) {
    const std::size_t at = options.find("/act=");
    if (at == std::string::npos) return "bdot";
    std::string name;
    for (std::size_t i = at + 5; i < options.size() && options[i] != ' ' && options[i] != '/'; ++i)
        name.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(options[i]))));
    return name;
}

// An axis as a plot or report names it: species activities and element molalities are
// decimal logarithms; a value given per sample is titled by its column.
AxisSummary AxisOf(const AxisDef& axis, const char* column) {
    AxisSummary a;
    a.Definition = axis.Text;
    a.Log10 = axis.Kind != AxisDef::kFixed;
    a.Quantity = a.Log10 ? "log10 " + axis.Text : std::string(column);
    return a;
}

}  // namespace

Correlation CorrelationOf(int n, const Array2<double>& c) {
    for (int i = 1; i <= n; ++i) {
        if (!(c(i, i) > 0) || !std::isfinite(c(i, i))) return {};
    }
    Correlation r(n, std::vector<double>(n, 0.0));
    for (int i = 1; i <= n; ++i) {
        for (int j = 1; j <= n; ++j) {
            // The inversion leaves its result in the upper triangle only.
            const double cij = i <= j ? c(i, j) : c(j, i);
            r[i - 1][j - 1] = i == j ? 1.0 : cij / std::sqrt(c(i, i) * c(j, j));
        }
    }
    return r;
}

std::vector<std::string> FlagsOf(const FitSummary& s) {
    std::vector<std::string> flags;
    const std::size_t n = s.Species.size();
    if (s.Correlation.size() == n) {
        for (std::size_t i = 0; i < n; ++i) {
            for (std::size_t j = i + 1; j < n; ++j) {
                const double r = s.Correlation[i][j];
                if (!(std::fabs(r) >= kStrongCorrelation)) continue;
                flags.push_back(s.Species[i].Name + " and " + s.Species[j].Name +
                                " are strongly correlated (r = " + Coefficient(r) +
                                "): the data determine their combination better than each");
            }
        }
    }
    for (const FittedValue& v : s.Species) {
        if (v.HalfWidth > kPoorHalfWidth) {
            char width[32];
            std::snprintf(width, sizeof width, "%.1f", v.HalfWidth);
            flags.push_back(v.Name + " is poorly determined (\xC2\xB1 " + width + " kJ/mol)");
        }
    }
    return flags;
}

void FillFitSummary(FitSummary& s, const ProblemModel& m, int iterations, double wallSeconds) {
    s.Title = m.Title;
    s.XAxis = m.XAxis.Text;
    s.YAxis = m.YAxis.Text;
    s.Species.clear();
    for (int i = 1; i <= m.SpeciesCount; ++i) {
        if (!m.SpeciesFree[i]) continue;
        s.Species.push_back({m.SystemInfo.SpeciesNames[m.SpeciesIndex[i]], m.SpeciesValue[i],
                             m.SpeciesInterval[i]});
    }
    if (s.Correlation.size() != s.Species.size()) s.Correlation.clear();
    s.HasWeights = m.WeightSum > 0;
    s.MeanErrorBefore = s.HasWeights ? MeanError(m, m.InitialSumOfSquares) : 0.0;
    s.HasMeanErrorAfter = s.HasWeights && m.ResultReached;
    s.MeanErrorAfter = s.HasMeanErrorAfter ? MeanError(m, m.ResultSumOfSquares) : 0.0;
    s.Iterations = iterations;
    s.EngineCalculations = m.Misfit.Calculations;
    s.WallSeconds = wallSeconds;
    s.Samples.clear();
    for (int k = 1; k <= m.SampleCount; ++k) {
        const SampleRec& r = m.Samples[k];
        s.Samples.push_back({r.Name, r.XFixed, r.YExp, r.YCalc, r.Error, r.Weight});
    }
    s.DataFile = m.DataFile;
    s.Conditions.TemperatureC = m.TempC;
    s.Conditions.PressureBar = m.PressureBar;
    s.Conditions.Database = m.Database;
    s.Conditions.System = m.SystemFile;
    s.Conditions.Options = m.Options;
    s.Conditions.ActivityModel = ActivityModelOf(m.Options);
    s.X = AxisOf(m.XAxis, "X");
    s.Y = AxisOf(m.YAxis, "Y (exp)");
    s.FixedSpecies.clear();
    for (int i = 1; i <= m.SpeciesCount; ++i) {
        if (m.SpeciesFree[i]) continue;
        s.FixedSpecies.push_back(
            {m.SystemInfo.SpeciesNames[m.SpeciesIndex[i]], m.SpeciesValue[i], 0.0});
    }
    s.NothingToFit = !NothingToFitText(m).empty();
    s.Flags = FlagsOf(s);
}

std::string NothingToFitText(const ProblemModel& m) {
    for (int i = 1; i <= m.SpeciesCount; ++i) {
        if (m.SpeciesFree[i]) return {};
    }
    return "Nothing to fit: every species has a Result; empty a Result cell to fit it again";
}

}  // namespace varsel
