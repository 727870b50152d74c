#include "series/SeriesResults.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine/thermo/Thermo.h"
#include "engine/thermo/Units.h"
#include "series/ChiSquare.h"
#include "series/Display.h"

namespace varsel::series {

namespace {

constexpr int kCurvePoints = 56;
constexpr double kSamePressure = 1e-5;  // relative

// The pressure a data file with "P, bar: 0" runs at: the saturation pressure as the engine
// gives it, and 1 bar below 100 °C.
double SaturationBar(double temperatureC) {
    thermo::Thermo water;
    const float p = water.SaturationPressure(static_cast<float>(temperatureC + 273.15));
    return std::isfinite(p) && p < 1e30f ? std::max(1.0, static_cast<double>(p)) : 1.0;
}

bool Same(double a, double b) {
    return std::fabs(a - b) <= kSamePressure * std::max(std::fabs(a), std::fabs(b));
}

// The 95 % half-width (kJ/mol) of a potential with gradient g (kJ/mol per SI unit).
double HalfWidthOf(const std::vector<double>& g, const Matrix& covariance) {
    const double variance = QuadraticForm(covariance, g, g);
    return variance > 0 ? kSeriesQuantile95 * std::sqrt(variance) : 0.0;
}

std::string Coefficient(double r) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", std::fabs(r));
    return (r < 0 ? "\xE2\x88\x92" : "") + std::string(text);
}

std::string Label(const SeriesParameter& p) {
    return p.Species + " " + p.Name;
}

std::vector<std::string> FlagsOf(const SeriesSummary& s) {
    std::vector<std::string> flags;
    const std::size_t n = s.Parameters.size();
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t j = i + 1; j < n; ++j) {
            const double r = s.Correlation[i][j];
            if (!(std::fabs(r) >= kStrongCorrelation)) continue;
            flags.push_back(Label(s.Parameters[i]) + " and " + Label(s.Parameters[j]) +
                            " are strongly correlated (r = " + Coefficient(r) +
                            "): the data determine their combination better than each");
        }
    }
    for (const SeriesParameter& p : s.Parameters) {
        if (p.HalfWidth > std::fabs(p.Value)) {
            flags.push_back(Label(p) + " is poorly determined: its half-width (" +
                            WithHalfWidth(p.HalfWidth, 0) + " " + p.Unit + ") exceeds its value (" +
                            WithHalfWidth(p.Value, 0) + ")");
        }
    }
    return flags;
}

struct Where {
    double TemperatureC, PressureBar;
    thermo::Modes Modes;
};

SeriesCurve::Point PointAt(const Model& model, int s, const std::vector<double>& theta,
                           const Matrix& covariance, double t, double p, thermo::Modes modes,
                           bool& ok) {
    SeriesCurve::Point point{t, p, 0, 0};
    const std::optional<thermo::HkfWater> water =
        thermo::InterfaceWater(static_cast<float>(t + 273.15), static_cast<float>(p), modes);
    ok = water.has_value();
    if (!ok) return point;
    std::vector<double> g;
    point.Value = model.Potential(s, *water, theta, &g);
    point.HalfWidth = HalfWidthOf(g, covariance);
    return point;
}

// The curve along temperature at one pressure, or along the saturation pressure.
SeriesCurve Curve(const Model& model, int s, const SeriesFit& fit, double low, double high,
                  thermo::Modes modes, bool saturation, double pressure) {
    SeriesCurve curve;
    curve.Species = model.Species[s].Name;
    char label[48];
    std::snprintf(label, sizeof label, "%.4g bar", pressure);
    curve.Label = saturation ? "saturation pressure" : label;
    for (int i = 0; i < kCurvePoints; ++i) {
        const double t = low + (high - low) * i / (kCurvePoints - 1);
        const double p = saturation ? SaturationBar(t) : pressure;
        bool ok = false;
        const SeriesCurve::Point point =
            PointAt(model, s, fit.Theta, fit.Covariance, t, p, modes, ok);
        if (ok) curve.Points.push_back(point);
    }
    return curve;
}

std::vector<SeriesCurve> CurvesOf(const Model& model, const SeriesFit& fit) {
    std::vector<SeriesCurve> curves;
    for (int s = 0; s < static_cast<int>(model.Species.size()); ++s) {
        std::vector<Where> where;
        for (const FileModel& file : model.Files) {
            if (std::find(file.Free.begin(), file.Free.end(), s) != file.Free.end()) {
                where.push_back({file.TemperatureC, file.PressureBar, file.Modes});
            }
        }
        const bool saturation = std::all_of(where.begin(), where.end(), [](const Where& w) {
            return Same(w.PressureBar, SaturationBar(w.TemperatureC));
        });
        std::vector<double> pressures;
        for (const Where& w : where) {
            if (saturation && !pressures.empty()) break;
            if (std::none_of(pressures.begin(), pressures.end(),
                             [&](double p) { return Same(p, w.PressureBar); })) {
                pressures.push_back(w.PressureBar);
            }
        }
        for (double pressure : pressures) {
            double low = 1e300, high = -1e300;
            for (const Where& w : where) {
                if (!saturation && !Same(w.PressureBar, pressure)) continue;
                low = std::min(low, w.TemperatureC);
                high = std::max(high, w.TemperatureC);
            }
            if (high > low) {
                curves.push_back(
                    Curve(model, s, fit, low, high, where.front().Modes, saturation, pressure));
            }
        }
    }
    return curves;
}

SeriesFileResult FileResult(const Model& model, const FileModel& file, const OwnFit& own) {
    SeriesFileResult r;
    r.Name = file.Name;
    r.TemperatureC = file.TemperatureC;
    r.PressureBar = file.PressureBar;
    r.XAxis = file.Data.XAxis();
    r.YAxis = file.Data.YAxis();
    r.OwnFitOutcome = own.Outcome;
    for (std::size_t i = 0; i < file.Free.size(); ++i) {
        SeriesSpeciesValue v;
        v.Name = model.Species[file.Free[i]].Name;
        v.OwnFit = own.Fitted();
        if (v.OwnFit) {
            const int k = static_cast<int>(i);
            v.Value = own.Values[i];
            v.HalfWidth = kSeriesQuantile95 * std::sqrt(own.Covariance(k, k));
        }
        r.Species.push_back(v);
    }
    return r;
}

std::string Range(double low, double high, const char* unit) {
    char text[64];
    if (Same(low, high)) {
        std::snprintf(text, sizeof text, "%.4g %s", low, unit);
    } else {
        std::snprintf(text, sizeof text, "%.4g-%.4g %s", low, high, unit);
    }
    return text;
}

}  // namespace

void SummarizeOwnFits(const Model& model, const std::vector<OwnFit>& own, SeriesSummary& summary) {
    summary.Files.clear();
    for (std::size_t f = 0; f < model.Files.size(); ++f) {
        summary.Files.push_back(FileResult(model, model.Files[f], own[f]));
        summary.Files.back().Samples = model.Files[f].Data.Samples();
    }
}

void Summarize(const Model& model, const std::vector<OwnFit>& own, const SeriesFit& fit,
               double energyUnit, SeriesSummary& summary) {
    const int n = model.Count();
    const std::vector<double> start = model.Start();
    std::vector<double> factor;
    summary.Parameters.clear();
    for (int p = 0; p < n; ++p) {
        const FittedParameter& parameter = model.Parameters[p];
        const thermo::HkfParameter kind = parameter.Kind;
        factor.push_back(DisplayFactor(kind, energyUnit));
        SeriesParameter shown;
        shown.Species = model.Species[parameter.Species].Name;
        shown.Name = std::string(thermo::HkfParameterName(kind));
        shown.Unit = DisplayUnit(kind, energyUnit);
        shown.Initial = start[p] * factor[p];
        shown.Value = fit.Theta[p] * factor[p];
        shown.HalfWidth = kSeriesQuantile95 * std::sqrt(fit.Covariance(p, p)) * factor[p];
        summary.Parameters.push_back(shown);
    }
    summary.Covariance.assign(n, std::vector<double>(n, 0.0));
    summary.Correlation.assign(n, std::vector<double>(n, 0.0));
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            summary.Covariance[i][j] = fit.Covariance(i, j) * factor[i] * factor[j];
            summary.Correlation[i][j] =
                fit.Covariance(i, j) / std::sqrt(fit.Covariance(i, i) * fit.Covariance(j, j));
        }
    }
    summary.ChiSquare = fit.ChiSquare;
    summary.DegreesOfFreedom = fit.DegreesOfFreedom;
    summary.Probability = ChiSquareProbability(fit.ChiSquare, fit.DegreesOfFreedom);
    summary.Iterations = fit.Iterations;
    summary.Guards = model.Guards;
    summary.Flags = FlagsOf(summary);
    SummarizeOwnFits(model, own, summary);
    for (std::size_t f = 0; f < model.Files.size(); ++f) {
        const FileModel& file = model.Files[f];
        Matrix dG;
        const std::vector<double> values = model.Potentials(file, fit.Theta, &dG);
        for (std::size_t i = 0; i < values.size(); ++i) {
            std::vector<double> g(static_cast<std::size_t>(n));
            for (int p = 0; p < n; ++p)
                g[p] = dG(static_cast<int>(i), p);
            summary.Files[f].Species[i].Series = values[i];
            summary.Files[f].Species[i].SeriesHalfWidth = HalfWidthOf(g, fit.Covariance);
        }
    }
    summary.Curves = CurvesOf(model, fit);
    summary.Filled = true;
}

std::vector<EntryUpdate> FittedEntries(const SeriesFile& series, const Model& model,
                                       const SeriesFit& fit, const SeriesSummary& summary,
                                       const std::string& date) {
    std::vector<EntryUpdate> entries;
    for (int s = 0; s < static_cast<int>(model.Species.size()); ++s) {
        const FittedSpecies& species = model.Species[s];
        EntryUpdate update;
        thermo::SpeciesRecord& record = update.Record;
        record = species.Record;
        const thermo::HkfParameterValues values = model.ValuesOf(s, fit.Theta);
        thermo::SetHkfParameterValues(record, values);
        const auto change = [&](thermo::HkfParameter p) {
            const auto k = static_cast<std::size_t>(p);
            return values[k] - species.Start[k];
        };
        const double dG = change(thermo::HkfParameter::G), dS = change(thermo::HkfParameter::S);
        if (record.H) record.H = *record.H + dG + thermo::kTr * dS;
        const thermo::HkfReferenceProperties at25 = thermo::HkfReferencePropertiesOf(values);
        if (record.V) record.V = at25.Volume;
        if (record.Cp) record.Cp = at25.HeatCapacity;

        std::vector<std::string> files;
        double tLow = 1e300, tHigh = -1e300, pLow = 1e300, pHigh = -1e300;
        for (const FileModel& file : model.Files) {
            if (std::find(file.Free.begin(), file.Free.end(), s) == file.Free.end()) continue;
            files.push_back(file.Name);
            tLow = std::min(tLow, file.TemperatureC);
            tHigh = std::max(tHigh, file.TemperatureC);
            pLow = std::min(pLow, file.PressureBar);
            pHigh = std::max(pHigh, file.PressureBar);
        }
        std::vector<std::string>& c = update.Comment;
        c.push_back("Fitted to a series of data files: " + series.Title);
        c.push_back(date + ", " + SeriesMethodName(series.Method) + " method, " +
                    std::to_string(files.size()) + " files at " + Range(tLow, tHigh, "C") +
                    " and " + Range(pLow, pHigh, "bar") + ":");
        std::string line = " ";
        for (std::size_t i = 0; i < files.size(); ++i) {
            if (line.size() + files[i].size() > 90) {
                c.push_back(line);
                line = " ";
            }
            line += " " + files[i] + (i + 1 < files.size() ? "," : "");
        }
        c.push_back(line);
        std::string fitted = "fitted, with 95 % half-widths:";
        std::string replaced = "replaced:";
        std::string correlation;
        for (std::size_t a = 0; a < species.Parameters.size(); ++a) {
            const int p = species.Parameters[a];
            const SeriesParameter& shown = summary.Parameters[p];
            fitted += (a == 0 ? " " : "; ") + shown.Name + " " +
                      WithHalfWidth(shown.Value, shown.HalfWidth) + " " + shown.Unit;
            replaced += (a == 0 ? " " : ", ") + shown.Name + " " + WithHalfWidth(shown.Initial, 0);
            for (std::size_t b = a + 1; b < species.Parameters.size(); ++b) {
                const int q = species.Parameters[b];
                char r[32];
                std::snprintf(r, sizeof r, "%.3f", summary.Correlation[p][q]);
                correlation += (correlation.empty() ? "correlation: " : ", ") + shown.Name + "/" +
                               summary.Parameters[q].Name + " " + r;
            }
        }
        c.push_back(fitted);
        if (!correlation.empty()) c.push_back(correlation);
        c.push_back(replaced + (record.H ? " (H moved with G and S" : " (") +
                    (record.H ? "; " : "") + "the other values kept from the entry)");
        if (species.Estimated) {
            c.push_back(
                "the entry had no HKF parameters: those estimated from its 25 C data "
                "are written out");
        }
        entries.push_back(std::move(update));
    }
    return entries;
}

}  // namespace varsel::series
