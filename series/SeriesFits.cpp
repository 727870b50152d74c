#include "series/SeriesFits.h"

#include <cmath>
#include <cstdio>

#include "series/FileTasks.h"
#include "series/LevenbergMarquardt.h"
#include "varsel/Series.h"

namespace varsel::series {

namespace {

// Adds Σ_k w_k J_k J_kᵀ and Σ_k w_k r_k J_k of the rows J_k (parameters) of one file.
void Accumulate(Linearization& l, const std::vector<double>& row, double weight, double residual) {
    const int n = static_cast<int>(row.size());
    for (int i = 0; i < n; ++i) {
        if (row[i] == 0) continue;
        l.Gradient[i] += weight * residual * row[i];
        for (int j = 0; j < n; ++j)
            l.Normal(i, j) += weight * row[i] * row[j];
    }
}

Linearization Zero(int n) {
    Linearization l;
    l.Gradient.assign(static_cast<std::size_t>(n), 0.0);
    l.Normal = Matrix::Square(n);
    return l;
}

// J_fᵀWJ_f of a file's own Jacobian (free species × samples).
Matrix OwnNormal(const std::vector<std::vector<double>>& jacobian,
                 const std::vector<double>& weights) {
    const int n = static_cast<int>(jacobian.size());
    Matrix normal = Matrix::Square(n);
    for (std::size_t k = 0; k < weights.size(); ++k) {
        for (int i = 0; i < n; ++i) {
            for (int j = 0; j < n; ++j)
                normal(i, j) += weights[k] * jacobian[i][k] * jacobian[j][k];
        }
    }
    return normal;
}

std::string OwnFitLine(const Model& model, const FileModel& file, const OwnFit& fit) {
    char head[96];
    std::snprintf(head, sizeof head, "%s (%g C, %.4g bar): ", file.Name.c_str(), file.TemperatureC,
                  file.PressureBar);
    if (!fit.Fitted()) return head + ("not fitted alone: " + fit.Outcome);
    std::string line = head;
    for (std::size_t i = 0; i < file.Free.size(); ++i) {
        char value[96];
        std::snprintf(value, sizeof value, "%s%s %.3f \xC2\xB1 %.3f", i == 0 ? "" : ", ",
                      model.Species[file.Free[i]].Name.c_str(), fit.Values[i],
                      kSeriesQuantile95 *
                          std::sqrt(fit.Covariance(static_cast<int>(i), static_cast<int>(i))));
        line += value;
    }
    return line + " kJ/mol";
}

SeriesFit Finish(const Minimum& m, int degreesOfFreedom, const char* what) {
    SeriesFit fit;
    if (m.Theta.empty()) {
        fit.Failure = std::string("the ") + what + " cannot be computed at the database's values";
        return fit;
    }
    if (!m.Converged) {
        fit.Failure = std::string("the ") + what +
                      " did not converge (the data may not determine every parameter)";
        return fit;
    }
    const std::optional<Matrix> covariance = InverseOf(m.At.Normal);
    if (!covariance) {
        fit.Failure = std::string("the data do not determine the parameters of the ") + what +
                      ": their normal matrix is singular";
        return fit;
    }
    fit.Theta = m.Theta;
    fit.Covariance = *covariance;
    fit.ChiSquare = m.At.SumOfSquares;
    fit.DegreesOfFreedom = degreesOfFreedom;
    fit.Iterations = m.Iterations;
    return fit;
}

std::function<void(int, double)> Reporter(FileTasks& tasks, const char* name) {
    return [&tasks, name](int iteration, double s) {
        char line[96];
        std::snprintf(line, sizeof line, "%s iteration %d: sum of squares %.6g", name, iteration,
                      s);
        tasks.Post(line);
        tasks.Deliver();
    };
}

}  // namespace

std::vector<OwnFit> FitFilesAlone(Model& model, FileTasks& tasks, const StopToken& stop) {
    std::vector<OwnFit> fits(model.Files.size());
    tasks.Run(model.Files.size(), [&](std::size_t f) {
        FileModel& file = model.Files[f];
        OwnFit& own = fits[f];
        FitOptions options;
        options.Intervals = false;
        options.Stop = stop;
        const FitResult result = file.Data.Fit(options);
        if (stop.Requested()) return;
        if (!result.Summary.Succeeded) {
            own.Outcome = result.Summary.Outcome;
        } else {
            for (const FittedValue& v : result.Summary.Species)
                own.Values.push_back(v.Value);
            try {
                const Evaluation e = file.Data.Evaluate(own.Values, true, stop);
                own.Normal = OwnNormal(e.Jacobian, file.Weights);
                if (std::optional<Matrix> c = InverseOf(own.Normal)) {
                    own.Covariance = *c;
                } else {
                    own.Outcome = "the file alone does not determine its species";
                }
            } catch (const std::exception& error) {
                own.Outcome = error.what();
            }
        }
        tasks.Post(OwnFitLine(model, file, own));
    });
    if (stop.Requested()) throw Stopped();
    return fits;
}

SeriesFit FitOneStep(Model& model, FileTasks& tasks, const StopToken& stop) {
    const int n = model.Count();
    int weighted = 0;
    for (const FileModel& file : model.Files) {
        for (double w : file.Weights)
            weighted += w > 0 ? 1 : 0;
    }
    const Linearize linearize =
        [&](const std::vector<double>& theta) -> std::optional<Linearization> {
        std::vector<std::optional<Linearization>> parts(model.Files.size());
        tasks.Run(model.Files.size(), [&](std::size_t f) {
            FileModel& file = model.Files[f];
            Matrix dG;
            const std::vector<double> values = model.Potentials(file, theta, &dG);
            Evaluation e;
            try {
                e = file.Data.Evaluate(values, true, stop);
            } catch (const std::exception&) {
                return;  // a step into values the engine cannot compute: refused
            }
            Linearization part = Zero(n);
            part.SumOfSquares = e.SumOfSquares;
            std::vector<double> row(static_cast<std::size_t>(n));
            for (std::size_t k = 0; k < file.Weights.size(); ++k) {
                if (file.Weights[k] == 0) continue;
                // ∂Ycalc_k/∂θ = Σ_s ∂Ycalc_k/∂G_s · ∂G_s/∂θ
                for (int j = 0; j < n; ++j) {
                    double sum = 0;
                    for (std::size_t s = 0; s < values.size(); ++s)
                        sum += e.Jacobian[s][k] * dG(static_cast<int>(s), j);
                    row[j] = sum;
                }
                Accumulate(part, row, file.Weights[k], e.Residuals[k]);
            }
            parts[f] = std::move(part);
        });
        if (stop.Requested()) throw Stopped();
        Linearization total = Zero(n);
        for (const std::optional<Linearization>& part : parts) {
            if (!part) return std::nullopt;
            total.SumOfSquares += part->SumOfSquares;
            for (int i = 0; i < n; ++i)
                total.Gradient[i] += part->Gradient[i];
            total.Normal += part->Normal;
        }
        return total;
    };
    const Minimum m =
        Minimize(model.Start(), weighted - n, linearize, stop, Reporter(tasks, "One-step fit"));
    return Finish(m, weighted - n, "one-step fit");
}

SeriesFit FitTwoStep(const Model& model, const std::vector<OwnFit>& own, FileTasks& tasks,
                     const StopToken& stop) {
    const int n = model.Count();
    int values = 0;
    for (std::size_t f = 0; f < model.Files.size(); ++f) {
        if (!own[f].Fitted()) {
            SeriesFit failed;
            failed.Failure = model.Files[f].Name + " could not be fitted alone (" + own[f].Outcome +
                             "), which the two-step fit needs";
            return failed;
        }
        values += static_cast<int>(own[f].Values.size());
    }
    const Linearize linearize =
        [&](const std::vector<double>& theta) -> std::optional<Linearization> {
        Linearization l = Zero(n);
        for (std::size_t f = 0; f < model.Files.size(); ++f) {
            Matrix a;
            const std::vector<double> g = model.Potentials(model.Files[f], theta, &a);
            const Matrix& w = own[f].Normal;
            const int m = w.Rows();
            std::vector<double> r(g.size());
            for (std::size_t i = 0; i < g.size(); ++i)
                r[i] = g[i] - own[f].Values[i];
            l.SumOfSquares += QuadraticForm(w, r, r);
            // Aᵀ W r and Aᵀ W A with the file's full weight matrix.
            for (int i = 0; i < m; ++i) {
                for (int k = 0; k < m; ++k) {
                    for (int p = 0; p < n; ++p) {
                        if (a(i, p) == 0) continue;
                        l.Gradient[p] += a(i, p) * w(i, k) * r[k];
                        for (int q = 0; q < n; ++q)
                            l.Normal(p, q) += a(i, p) * w(i, k) * a(k, q);
                    }
                }
            }
        }
        if (!std::isfinite(l.SumOfSquares)) return std::nullopt;
        return l;
    };
    const Minimum m =
        Minimize(model.Start(), values - n, linearize, stop, Reporter(tasks, "Two-step fit"));
    return Finish(m, values - n, "two-step fit");
}

void EvaluateAt(Model& model, const std::vector<double>& theta, FileTasks& tasks,
                const StopToken& stop) {
    tasks.Run(model.Files.size(), [&](std::size_t f) {
        FileModel& file = model.Files[f];
        try {
            file.Data.Evaluate(model.Potentials(file, theta), false, stop);
        } catch (const std::exception& error) {
            if (stop.Requested()) return;
            throw SeriesError(file.Name +
                              ": cannot be evaluated at the fitted parameters: " + error.what());
        }
    });
    if (stop.Requested()) throw Stopped();
}

}  // namespace varsel::series
