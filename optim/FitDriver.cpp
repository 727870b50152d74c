#include "optim/FitDriver.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <exception>
#include <limits>
#include <string>
#include <vector>

#include "model/Checked.h"
#include "model/DataSource.h"
#include "model/Layout.h"
#include "model/Numbers.h"
#include "model/ProblemModel.h"
#include "model/RuntimeFailure.h"
#include "optim/ConfidenceIntervals.h"
#include "optim/FitSummary.h"
#include "optim/LinearAlgebra.h"
#include "optim/Misfit.h"
#include "optim/StallWatch.h"
#include "optim/StepControl.h"
#include "services/EngineContract.h"
#include "services/RunContext.h"
#include "services/Spreadsheet.h"
#include "varsel/Window.h"

namespace varsel {

namespace {

// Ends the fit with StatusCode 1 and this text: the one way a failure leaves the driver.
struct FitFailure {
    std::string text;
};

// A value in kJ/mol with one decimal and a true minus sign, as a message shows a drift.
std::string Tenths(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", std::fabs(value));
    return (value < 0 && std::string(text) != "0.0" ? "\xE2\x88\x92" : "") + std::string(text);
}

class Fit {
  public:
    Fit(ProblemModel& m, RunContext& context, bool intervals)
        : m_(m), context_(context), window_(context.Window), intervals_(intervals) {}

    void Run() {
        Start();
        InitialPass();
        Iterate();
        FinalPass();
        if (m_.FreeCount == 0 || !intervals_) return;
        stage_ = "the confidence intervals";
        correlation_ = EstimateConfidenceIntervals(m_, context_);
        ThrowIfPassFailed();
    }

    // Runs on every way out: the progress bar goes, and a workbook's application gets its
    // input, screen updating and status bar back.
    void Exit() noexcept {
        try {
            if (window_ != nullptr) window_->ClearDrawing();
            if (m_.IsWorkbook && m_.ExcelApp) {
                m_.ExcelApp->SetScreenUpdating(true);
                m_.ExcelApp->SetInteractive(true);
                m_.ExcelApp->ResetStatusBar();
                if (statusBarSaved_) m_.ExcelApp->SetDisplayStatusBar(displayStatusBar_);
            }
        } catch (const std::exception& failure) {
            if (m_.StatusCode == 0) {
                m_.StatusCode = 1;
                m_.StatusText =
                    std::string("the spreadsheet could not be restored: ") + failure.what();
            }
        }
        d_.Erase();
        u_.Erase();
    }

    const std::string& Stage() const { return stage_; }

    // After a failure: puts back the last point whose every sample was evaluated, so that
    // the species values, the sample outputs and the mean error in memory (what a save
    // writes and the results view shows) are of one point. When the outputs in memory mix
    // points (a pass ended part-way) or belong to another point (the initial pass, with a
    // fixed species whose Result differs from its Initial), that point is evaluated again;
    // a stop request does not end that pass. Without such a point ResultReached stays false.
    void KeepLastCompletePoint() noexcept {
        m_.ResultReached = false;
        if (savedValues_.empty()) return;
        for (int i = 1; i <= m_.SpeciesCount; ++i)
            m_.SpeciesValue[i] = savedValues_[static_cast<std::size_t>(i)];
        if (outputsCurrent_) {
            m_.ResultSumOfSquares = ToStoredFloat(savedSum_);
            m_.ResultReached = true;
            return;
        }
        const std::int16_t code = m_.StatusCode;
        const std::string text = m_.StatusText;
        RunContext again = context_;
        again.Stop = StopToken();
        m_.StatusCode = 0;
        Caption("Recalculating the last complete state...");
        EvaluateModel(m_, again, PassMode::Final);
        try {
            if (m_.StatusCode == 0) {
                m_.ResultSumOfSquares = ToStoredFloat(m_.Misfit.SumOfSquares);
                m_.ResultReached = true;
            }
        } catch (const std::exception&) {
            m_.ResultReached = false;
        }
        m_.StatusCode = code;
        m_.StatusText = text;
    }

    // What the run learned, for the results view and the report files; Filled once a pass
    // has computed every sample.
    FitSummary Summary() const noexcept {
        try {
            FitSummary s;
            s.Filled = passReached_;
            s.Correlation = correlation_;
            const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - start_;
            FillFitSummary(s, m_, iterations_, wall.count());
            s.Succeeded = m_.StatusCode == 0;
            s.Outcome = s.Succeeded ? std::string() : m_.StatusText;
            return s;
        } catch (const std::exception&) {
            return FitSummary();
        }
    }

  private:
    // A pass reports its failure through the status; the driver ends on it.
    void ThrowIfPassFailed() const {
        if (m_.StatusCode != 0) throw FitFailure{m_.StatusText};
    }

    void Caption(const std::string& text) {
        if (window_ != nullptr) window_->SetStatusCaption(text);
    }

    void WriteSpeciesValues(bool fixedOnly) {
        for (int i = 1; i <= m_.SpeciesCount; ++i) {
            if (fixedOnly && m_.SpeciesFree[i]) continue;
            WriteCell(context_, layout::SpeciesRow(m_, i), layout::kResultColumn,
                      m_.SpeciesValue[i]);
        }
    }

    // The current species values and the outputs of the pass just completed are one point.
    void RecordCompletePoint(double sumOfSquares) {
        savedValues_.assign(1, 0.0f);
        for (int i = 1; i <= m_.SpeciesCount; ++i)
            savedValues_.push_back(m_.SpeciesValue[i]);
        savedSum_ = sumOfSquares;
        outputsCurrent_ = true;
    }

    void Start() {
        stage_ = "the start";
        m_.ResultReached = false;
        start_ = std::chrono::steady_clock::now();
        m_.Misfit.Calculations = 0;
        d_.Redim(m_.FreeCount);
        u_.Redim(m_.FreeCount);
        if (m_.IsWorkbook) {
            if (!m_.ExcelApp) {
                throw RuntimeFailure(kSpreadsheetFailure, "no spreadsheet application");
            }
            displayStatusBar_ = m_.ExcelApp->DisplayStatusBar();
            statusBarSaved_ = true;
            m_.ExcelApp->SetStatusBar("Optimizing...");
            m_.ExcelApp->SetInteractive(false);
        }

        PrepareWork(m_);
        Caption("Initial estimating...");
        // The mean error divides by the sum of weights; with no weight at all there is
        // nothing to fit and no error to show.
        if (!(m_.WeightSum > 0)) {
            throw FitFailure{"every sample has weight 0, so there is nothing to fit"};
        }
        FixedPmcActivities(m_);
    }

    void InitialPass() {
        stage_ = "the initial pass";
        // Every species, fixed ones too, is evaluated at its initial value; SpeciesInterval
        // holds the values set aside meanwhile.
        for (int i = 1; i <= m_.SpeciesCount; ++i) {
            m_.SpeciesInterval[i] = m_.SpeciesValue[i];
            m_.SpeciesValue[i] = m_.SpeciesInitial[i];
        }
        EvaluateModel(m_, context_, PassMode::Iteration);
        for (int i = 1; i <= m_.SpeciesCount; ++i) {
            m_.SpeciesValue[i] = m_.SpeciesInterval[i];
            m_.SpeciesInterval[i] = 0;
        }
        ThrowIfPassFailed();
        passReached_ = true;
        // The outputs are of the initial values; they stand for the values a save writes
        // only where every species' value is its initial one.
        RecordCompletePoint(m_.Misfit.SumOfSquares);
        for (int i = 1; i <= m_.SpeciesCount; ++i) {
            if (m_.SpeciesValue[i] != m_.SpeciesInitial[i]) outputsCurrent_ = false;
        }

        if (m_.IsWorkbook) WriteSpeciesValues(true);
        const double s = m_.Misfit.SumOfSquares;
        m_.InitialSumOfSquares = ToStoredFloat(s);
        const double e = MeanError(m_, s);
        if (m_.IsWorkbook) {
            WriteCellNumber(context_, layout::MeanErrorRow(m_), layout::kInitialColumn, e);
        }
        Caption("Initial data set.    Error: " + FixedSix(e));
    }

    // Normal equations JᵀWJ in NormalMatrix(1..n, 1..n) and −½ ∇S = JᵀW(−r) in column 0;
    // returns D, the largest diagonal element.
    double NormalEquations(int n) {
        Array2<double>& a = m_.NormalMatrix;
        const Array2<double>& jac = m_.Jacobian;
        double largest = 0;
        for (int i = 1; i <= n; ++i) {
            for (int j = i; j <= n; ++j) {
                double sum = 0;
                for (int k = 1; k <= m_.SampleCount; ++k)
                    sum += jac(i, k) * jac(j, k) * m_.Samples[k].Weight;
                a(i, j) = Finite(sum);
                if (j > i) a(j, i) = a(i, j);
            }
            if (a(i, i) > largest) largest = a(i, i);
            double rhs = 0;
            for (int k = 1; k <= m_.SampleCount; ++k)
                rhs += jac(i, k) * jac(0, k) * m_.Samples[k].Weight;
            a(i, 0) = Finite(rhs);
        }
        return largest;
    }

    void Iterate() {
        std::int16_t iterations = 0;  // N
        std::int16_t multiplier = 0;  // m
        double previousLength = 0;    // L′
        StallWatch stall(m_.FreeCount, m_.Misfit.SumOfSquares);
        // The free values after each of the last iterations the stall watch looks at, so that
        // a stall can say where a drifting species started.
        std::deque<std::vector<float>> history{FreeValues()};
        std::vector<double> moves(static_cast<std::size_t>(m_.FreeCount) + 1, 0.0);
        for (;;) {
            stage_ = "iteration " + std::to_string(iterations + 1);
            const std::int16_t n = m_.FreeCount;
            if (n == 0) return;
            if (context_.Stop.Requested()) throw FitFailure{kStoppedByUser};

            const double largest = NormalEquations(n);
            // No damping in the first solve; later it grows with the square root of N.
            const double lambda = largest * 1e-7 * std::sqrt(static_cast<double>(iterations));
            for (int i = 1; i <= n; ++i)
                m_.NormalMatrix(i, i) = Finite(m_.NormalMatrix(i, i) + lambda);
            if (SolveLinearSystem(n, m_.NormalMatrix) == LinearSolve::Singular) {
                throw FitFailure{"could not determine the direction"};
            }

            ShapeStep(n, m_.NormalMatrix, d_);
            double lengthSquared = 0;
            double projection = 0;
            for (int i = 1; i <= n; ++i) {
                lengthSquared = Finite(lengthSquared + d_[i] * d_[i]);
                projection += d_[i] * u_[i];
            }

            int significant = 0;  // K
            std::fill(moves.begin(), moves.end(), 0.0);
            if (lengthSquared != 0) {
                const double length = std::sqrt(lengthSquared);
                for (int i = 1; i <= n; ++i)
                    u_[i] = d_[i] / length;
                try {
                    multiplier =
                        NextMultiplier(multiplier, projection / length, previousLength, length);
                } catch (const RuntimeFailure&) {
                    throw FitFailure{"no convergence: the same step was repeated 32767 times"};
                }
                outputsCurrent_ = false;
                significant = ApplyStep(multiplier);
                for (int i = 1; i <= n; ++i)
                    moves[i] = std::fabs(d_[i] * multiplier);
            }
            previousLength = lengthSquared != 0 ? std::sqrt(lengthSquared) : 0;

            EvaluateModel(m_, context_, PassMode::Iteration);
            ThrowIfPassFailed();
            RecordCompletePoint(m_.Misfit.SumOfSquares);
            const double e = MeanError(m_, m_.Misfit.SumOfSquares);
            if (m_.IsWorkbook) {
                WriteSpeciesValues(false);
                WriteCellNumber(context_, layout::MeanErrorRow(m_), layout::kResultColumn, e);
            }
            // Converged: every free species moved by at most a millionth of its value or a
            // ten-thousandth of its scale. The last step is kept.
            if (significant == 0) return;
            stall.Record(m_.Misfit.SumOfSquares, moves);
            history.push_back(FreeValues());
            if (history.size() > StallWatch::kIterations + 1) history.pop_front();
            if (stall.Stalled()) {
                throw FitFailure{UndeterminedText(stall.Drifting(), history.front())};
            }

            if (iterations == std::numeric_limits<std::int16_t>::max()) {
                throw FitFailure{"no convergence after 32767 iterations"};
            }
            ++iterations;
            // The summary counts the iterations the run showed, so that its count is the
            // last one printed.
            iterations_ = iterations;
            Caption("Iteration:" + std::to_string(iterations) + ",    Error: " + FixedSix(e));
        }
    }

    // The free species' values, from position 1.
    std::vector<float> FreeValues() const {
        std::vector<float> values(1, 0.0f);
        for (int i = 1; i <= m_.SpeciesCount; ++i) {
            if (m_.SpeciesFree[i]) values.push_back(m_.SpeciesValue[i]);
        }
        return values;
    }

    // Names the free species at positions `drifting` (from 1, in species order of the free
    // ones) as the ones the data do not determine, with how far each drifted since `from`,
    // and what the user can do about it.
    std::string UndeterminedText(const std::vector<int>& drifting,
                                 const std::vector<float>& from) const {
        const std::vector<float> to = FreeValues();
        std::string names;
        std::string moves;
        for (std::size_t k = 0; k < drifting.size(); ++k) {
            const int position = drifting[k];
            int f = 0;
            std::string name;
            for (int i = 1; i <= m_.SpeciesCount && name.empty(); ++i) {
                if (m_.SpeciesFree[i] && ++f == position) {
                    name = m_.SystemInfo.SpeciesNames[m_.SpeciesIndex[i]];
                }
            }
            const char* separator = k == 0 ? "" : k + 1 == drifting.size() ? " and " : ", ";
            names += separator + name;
            const auto p = static_cast<std::size_t>(position);
            moves += separator + std::string(drifting.size() == 1 ? "it" : name) +
                     " drifted from " + Tenths(from[p]) + " to " + Tenths(to[p]);
        }
        const bool one = drifting.size() == 1;
        return "the data do not determine " + names + ": " + moves +
               " kJ/mol without changing the error; " +
               (one ? "fix its value or add samples that depend on it"
                    : "fix their values or add samples that depend on them");
    }

    // Adds multiplier × d to the free species; returns how many moved significantly.
    int ApplyStep(std::int16_t multiplier) {
        int significant = 0;
        int f = 0;
        for (int i = 1; i <= m_.SpeciesCount; ++i) {
            if (!m_.SpeciesFree[i]) continue;
            ++f;
            const double delta = d_[f] * multiplier;
            const double v = Finite(static_cast<double>(m_.SpeciesValue[i]) + delta);
            m_.SpeciesValue[i] = ToStoredFloat(v);
            const bool insignificant = std::fabs(v) * 1e-6 >= std::fabs(delta) ||
                                       m_.SpeciesScale[i] * 1e-4 >= std::fabs(delta);
            if (!insignificant) ++significant;
        }
        return significant;
    }

    void FinalPass() {
        stage_ = "the final pass";
        Caption("Preparing optimized parameters...");
        outputsCurrent_ = false;
        EvaluateModel(m_, context_, PassMode::Final);
        ThrowIfPassFailed();
        const double s = m_.Misfit.SumOfSquares;
        RecordCompletePoint(s);
        m_.ResultSumOfSquares = ToStoredFloat(s);
        m_.ResultReached = true;
        if (m_.IsWorkbook) {
            WriteCellNumber(context_, layout::MeanErrorRow(m_), layout::kResultColumn,
                            MeanError(m_, s));
        }
    }

    ProblemModel& m_;
    RunContext& context_;
    IWindow* window_;
    bool intervals_;
    Correlation correlation_;
    Array1<double> d_;  // shaped step, one element per free species
    Array1<double> u_;  // unit direction of the last non-zero step
    bool statusBarSaved_ = false;
    bool displayStatusBar_ = true;
    std::string stage_;
    std::chrono::steady_clock::time_point start_;
    int iterations_ = 0;
    bool passReached_ = false;
    std::vector<float> savedValues_;  // species values of the last complete pass, from 1
    double savedSum_ = 0;             // its sum of squares
    bool outputsCurrent_ = false;     // the sample outputs in memory are of savedValues_
};

}  // namespace

FitSummary FitParameters(ProblemModel& m, RunContext& context, bool intervals) {
    Fit fit(m, context, intervals);
    try {
        fit.Run();
    } catch (const FitFailure& failure) {
        m.StatusCode = 1;
        m.StatusText = failure.text;
    } catch (const std::exception& failure) {
        m.StatusCode = 1;
        m.StatusText = "calculation failed in " + fit.Stage() + ": " + failure.what();
    } catch (...) {
        m.StatusCode = 1;
        m.StatusText = "calculation failed in " + fit.Stage();
    }
    if (m.StatusCode != 0) fit.KeepLastCompletePoint();
    fit.Exit();
    return fit.Summary();
}

}  // namespace varsel
