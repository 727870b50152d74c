#include "optim/ConfidenceIntervals.h"

#include <cmath>
#include <cstdint>
#include <exception>
#include <limits>
#include <vector>

#include "model/Checked.h"
#include "model/DataSource.h"
#include "model/Layout.h"
#include "model/ProblemModel.h"
#include "optim/FitSummary.h"
#include "optim/LinearAlgebra.h"
#include "optim/Misfit.h"
#include "services/RunContext.h"
#include "varsel/Window.h"

namespace varsel {

namespace {

constexpr double kReacts = 1e-7;       // S must change by more than this to count as moved
constexpr double kLargestStep = 1000;  // the step stops growing once it reaches this

// The yellow bar over the Status label that grows by one share per Hessian-mode pass.
class ProgressBar {
  public:
    ProgressBar(IWindow* window, int total) : window_(window), total_(CheckedInt16(total)) {
        if (window_ == nullptr) return;
        const LabelGeometry g = window_->StatusGeometry();
        left_ = g.Left;
        top_ = g.Top;
        width_ = g.Width - g.PixelWidth;
        height_ = g.Height - g.PixelHeight;
    }

    void Step() {
        CheckedAdd(count_, 1);
        if (window_ == nullptr) return;
        const float width = width_ * static_cast<float>(count_) / static_cast<float>(total_);
        window_->DrawFilledRectangle(left_, top_, width, height_, 255, 255, 0);
        window_->ProcessEvents();
    }

  private:
    IWindow* window_;
    std::int16_t total_;
    std::int16_t count_ = 0;
    float left_ = 0, top_ = 0, width_ = 0, height_ = 0;
};

// Puts a species value back when it goes out of scope, also when a pass throws.
class ValueRestorer {
  public:
    ValueRestorer(ProblemModel& m, int species)
        : m_(m), species_(species), value_(m.SpeciesValue[species]) {}
    ~ValueRestorer() { m_.SpeciesValue[species_] = value_; }
    ValueRestorer(const ValueRestorer&) = delete;
    ValueRestorer& operator=(const ValueRestorer&) = delete;
    float Value() const { return value_; }

  private:
    ProblemModel& m_;
    int species_;
    float value_;
};

class HessianBuilder {
  public:
    HessianBuilder(ProblemModel& m, RunContext& context, ProgressBar& bar)
        : m_(m),
          context_(context),
          bar_(bar),
          reference_(m.ResultSumOfSquares),
          h_(m.Misfit.LastMultiplier) {}

    // Fills NormalMatrix(1..n, 1..n); false when a pass failed (StatusCode is then 1).
    bool Build() {
        std::vector<int> free;
        for (int i = 1; i <= m_.SpeciesCount; ++i) {
            if (m_.SpeciesFree[i]) free.push_back(i);
        }
        for (std::size_t p = 0; p < free.size(); ++p) {
            if (!Diagonal(free[p], static_cast<int>(p) + 1)) return false;
            for (std::size_t q = p + 1; q < free.size(); ++q) {
                if (!OffDiagonal(free[p], static_cast<int>(p) + 1, free[q],
                                 static_cast<int>(q) + 1)) {
                    return false;
                }
            }
        }
        return true;
    }

  private:
    // One Hessian-mode pass at the species values as they stand; adds sign × S to `sum`.
    bool Pass(double sign, double& sum, bool& moved) {
        EvaluateModel(m_, context_, PassMode::Hessian);
        if (m_.StatusCode != 0) return false;
        const double s = m_.Misfit.SumOfSquares;
        sum = Finite(sum + sign * s);
        if (std::fabs(s - reference_) > kReacts) moved = true;
        bar_.Step();
        return true;
    }

    bool Diagonal(int i, int p) {
        const ValueRestorer restoreI(m_, i);
        const double x = restoreI.Value();
        double sum = 0;
        bool ok = true;
        bool reacted = false;
        for (;;) {
            sum = 0;
            bool moved = false;
            m_.SpeciesValue[i] = ToStoredFloat(x + h_);
            ok = Pass(1, sum, moved);
            if (ok) {
                m_.SpeciesValue[i] = ToStoredFloat(x - h_);
                ok = Pass(1, sum, moved);
            }
            reacted = moved;
            if (!ok || moved || h_ >= kLargestStep) break;
            h_ *= 2;
        }
        if (!ok) return false;
        // S never reacted, even at the largest step: what the difference would measure is
        // only the rounding of S_R to a float, whose sign is chance. No curvature is known,
        // which the inversion then reports.
        const double entry = reacted ? CheckedDivide(sum - 2 * reference_, h_ * h_) : 0.0;
        m_.NormalMatrix(p, p) = entry;
        return true;
    }

    bool OffDiagonal(int i, int p, int j, int q) {
        const ValueRestorer restoreI(m_, i);
        const ValueRestorer restoreJ(m_, j);
        const double x = restoreI.Value();
        const double y = restoreJ.Value();
        // (step of i, step of j, sign of S in the sum) of the four corner passes.
        static constexpr int kCorners[4][3] = {{1, 1, 1}, {-1, -1, 1}, {1, -1, -1}, {-1, 1, -1}};
        double sum = 0;
        bool ok = true;
        for (;;) {
            sum = 0;
            bool moved = false;
            for (const auto& corner : kCorners) {
                m_.SpeciesValue[i] = ToStoredFloat(x + corner[0] * h_);
                m_.SpeciesValue[j] = ToStoredFloat(y + corner[1] * h_);
                ok = Pass(corner[2], sum, moved);
                if (!ok) break;
            }
            if (!ok || moved || h_ >= kLargestStep) break;
            h_ *= 2;
        }
        if (!ok) return false;
        const double entry = CheckedDivide(sum, 4 * h_ * h_);
        m_.NormalMatrix(p, q) = entry;
        m_.NormalMatrix(q, p) = entry;
        return true;
    }

    ProblemModel& m_;
    RunContext& context_;
    ProgressBar& bar_;
    const double reference_;  // S_R as the stored float
    double h_;                // kJ/mol; carried from entry to entry and only ever doubled
};

void ClearIntervals(ProblemModel& m) {
    for (int i = 1; i <= m.SpeciesCount; ++i)
        m.SpeciesInterval[i] = 0;
}

void Warn(IWindow* window, const char* text) {
    if (window != nullptr) {
        window->ShowMessage(text, MessageButtons::Ok, MessageIcon::Exclamation);
    }
}

}  // namespace

Correlation EstimateConfidenceIntervals(ProblemModel& m, RunContext& context) {
    IWindow* window = context.Window;
    if (window != nullptr) window->SetStatusCaption("Calculating confidence intervals...");
    const int n = m.FreeCount;
    ProgressBar bar(window, 2 * n * n);
    HessianBuilder builder(m, context, bar);
    if (!builder.Build()) return {};
    return EstimateHalfWidths(m, context);
}

Correlation EstimateHalfWidths(ProblemModel& m, RunContext& context) {
    const std::int16_t n = m.FreeCount;
    Inversion inversion = Inversion::ZeroPivot;
    try {
        inversion = InvertSymmetric(n, m.NormalMatrix);
    } catch (const std::exception&) {
        // An inversion that overflows is as useless as one that meets a zero pivot; the fit
        // itself succeeded, so this stays a warning like the zero pivot.
    }
    if (inversion != Inversion::Inverted) {
        Warn(context.Window, "Could not invert Hessian  ");
        ClearIntervals(m);
        return {};
    }

    Correlation correlation = CorrelationOf(n, m.NormalMatrix);
    const double q = static_cast<double>(ChiSquare95(n)) * n;
    int p = 0;
    for (int i = 1; i <= m.SpeciesCount; ++i) {
        if (!m.SpeciesFree[i]) {
            m.SpeciesInterval[i] = 0;
            continue;
        }
        ++p;
        const double g = m.NormalMatrix(p, p);
        const double halfWidth = std::sqrt(2 * g * q);
        // A half-width too wide for a float says as little as a negative variance.
        if (!(g > 0) || !(halfWidth <= std::numeric_limits<float>::max())) {
            Warn(context.Window, "Could not estimate intervals  ");
            ClearIntervals(m);
            break;
        }
        m.SpeciesInterval[i] = static_cast<float>(halfWidth);
    }

    if (m.IsWorkbook) {
        for (int i = 1; i <= m.SpeciesCount; ++i) {
            if (m.SpeciesInterval[i] != 0) {
                WriteCell(context, layout::SpeciesRow(m, i), layout::kHalfWidthColumn,
                          m.SpeciesInterval[i]);
            }
        }
    }
    if (IWindow* window = context.Window) window->Pause(500);
    return correlation;
}

std::vector<double> GaussNewtonHalfWidths(const ProblemModel& m) {
    const std::int16_t n = m.FreeCount;
    const double unbounded = std::numeric_limits<double>::infinity();
    std::vector<double> widths(static_cast<std::size_t>(n) + 1, unbounded);
    Array2<double> a;
    a.Redim(n, n);
    for (int i = 1; i <= n; ++i) {
        for (int j = i; j <= n; ++j) {
            double sum = 0;
            for (int k = 1; k <= m.SampleCount; ++k)
                sum += m.Jacobian(i, k) * m.Jacobian(j, k) * m.Samples[k].Weight;
            a(i, j) = sum;
        }
    }
    try {
        if (InvertSymmetric(n, a) != Inversion::Inverted) return widths;
    } catch (const std::exception&) {
        return widths;
    }
    const double q = static_cast<double>(ChiSquare95(n)) * n;
    for (int p = 1; p <= n; ++p) {
        if (a(p, p) > 0 && std::isfinite(a(p, p))) widths[p] = std::sqrt(a(p, p) * q);
    }
    return widths;
}

}  // namespace varsel
