#include "uncertainty/Profile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <exception>
#include <string>

namespace varsel::uncertainty {

namespace {

// The narrowing ends when the bracket is this narrow (kJ/mol) or g is this close to 0
// relative to sqrt(T): well below the three decimals the intervals are shown with, and above
// the optimiser's own precision (a millionth of a value).
constexpr double kBracketWidth = 1e-3;
constexpr double kRootTolerance = 1e-4;
constexpr int kMaxNarrowing = 40;

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

// A refit that ended because the error stopped falling while some species still drifted has
// reached the smallest S all the same (the drifting species do not change it), which is all
// a profile point needs.
bool Stalled(const FitSummary& s) {
    return s.Filled && s.Outcome.rfind("the data do not determine ", 0) == 0;
}

class Tracer {
  public:
    Tracer(Problem& copy, const ProfileTask& task, StopToken stop)
        : copy_(copy), task_(task), stop_(stop) {
        // The optimum itself, with the others at their optimum.
        points_.push_back({0, 0, Others(task.FreeOptimum)});
    }

    End Search(double threshold) {
        for (;;) {
            const Point* low = Below(threshold);
            const Point* high = Above(threshold, low->Distance);
            if (high != nullptr) return Narrow(threshold, *low, *high);
            if (low->Distance >= kProfileReach) return {End::Kind::Unbounded, 0, {}};
            double next = task_.FirstStep * std::sqrt(threshold / task_.Individual) * 1.05;
            if (low->Distance > 0) {
                // Where a quadratic through the optimum and this point crosses, a bit beyond.
                const double quadratic =
                    low->Rise > 0 ? low->Distance * std::sqrt(threshold / low->Rise) * 1.1
                                  : 4 * low->Distance;
                next = std::clamp(quadratic, 1.25 * low->Distance, 4 * low->Distance);
            }
            if (!Make(std::min(next, kProfileReach))) return failed_;
        }
    }

    std::vector<ProfilePoint> Points() const {
        std::vector<ProfilePoint> points;
        for (const Point& p : points_)
            points.push_back({ValueAt(p.Distance), p.Rise});
        return points;
    }

  private:
    struct Point {
        double Distance = 0;         // from the optimum, on the task's side, kJ/mol
        double Rise = 0;             // S − S_R
        std::vector<double> Others;  // the other free species there
    };

    double ValueAt(double distance) const { return task_.Optimum + task_.Side * distance; }

    std::vector<double> Others(const std::vector<double>& free) const {
        std::vector<double> others;
        for (std::size_t i = 0; i < task_.FreeSpecies.size(); ++i)
            if (task_.FreeSpecies[i] != task_.Species) others.push_back(free[i]);
        return others;
    }

    // The furthest point at or below the threshold (the optimum at least).
    const Point* Below(double threshold) const {
        const Point* best = &points_.front();
        for (const Point& p : points_)
            if (p.Rise <= threshold && p.Distance > best->Distance) best = &p;
        return best;
    }

    // The nearest point above the threshold beyond `distance`, or null.
    const Point* Above(double threshold, double distance) const {
        const Point* best = nullptr;
        for (const Point& p : points_) {
            if (p.Rise > threshold && p.Distance > distance &&
                (best == nullptr || p.Distance < best->Distance))
                best = &p;
        }
        return best;
    }

    const Point& Nearest(double distance) const {
        const Point* best = &points_.front();
        for (const Point& p : points_)
            if (std::fabs(p.Distance - distance) < std::fabs(best->Distance - distance)) best = &p;
        return *best;
    }

    // Refits with the species held at the given distance and records the point; false with
    // failed_ set when the refit fails or a stop is asked.
    bool Make(double distance) {
        const double value = ValueAt(distance);
        const auto fail = [&](const std::string& why) {
            failed_ = {End::Kind::Failed, 0,
                       "the refit with " + task_.Name + " held at " + Number(value) +
                           " kJ/mol failed: " + why};
            return false;
        };
        if (stop_.Requested()) return fail(kStoppedByUser);
        Point point{distance, 0, {}};
        double sum = 0;
        try {
            if (task_.FreeSpecies.size() == 1) {
                // Nothing else to refit: the misfit at the value is the profile.
                const Evaluation e = copy_.Evaluate({value}, false, stop_);
                for (std::size_t k = 0; k < e.Residuals.size(); ++k)
                    sum += task_.Weights[k] * e.Residuals[k] * e.Residuals[k];
            } else {
                const std::vector<double>& start = Nearest(distance).Others;
                copy_.SetSpecies(task_.Species, value, value, false);
                std::size_t o = 0;
                for (int i : task_.FreeSpecies) {
                    if (i == task_.Species) continue;
                    copy_.SetSpecies(i, start[o], start[o], true);
                    ++o;
                }
                FitOptions options;
                options.Intervals = false;
                options.Stop = stop_;
                const FitResult refit = copy_.Fit(options);
                if (!refit.Summary.Succeeded && !Stalled(refit.Summary)) {
                    return fail(refit.Summary.Outcome);
                }
                for (const SamplePoint& p : refit.Summary.Samples)
                    sum += p.Weight * p.Error * p.Error;
                for (const FittedValue& v : refit.Summary.Species)
                    point.Others.push_back(v.Value);
            }
        } catch (const std::exception& failure) {
            return fail(failure.what());
        }
        point.Rise = sum - task_.SumOfSquares;
        points_.push_back(std::move(point));
        return true;
    }

    double G(const Point& p, double threshold) const {
        return std::sqrt(std::max(p.Rise, 0.0)) - std::sqrt(threshold);
    }

    End Narrow(double threshold, Point low, Point high) {
        double gLow = G(low, threshold);
        double gHigh = G(high, threshold);
        int lastMoved = 0;  // −1 low, +1 high: the Illinois halving of the end that stayed
        for (int step = 0; step < kMaxNarrowing; ++step) {
            if (high.Distance - low.Distance <= kBracketWidth) break;
            double d = (low.Distance * gHigh - high.Distance * gLow) / (gHigh - gLow);
            if (!(d > low.Distance && d < high.Distance)) d = (low.Distance + high.Distance) / 2;
            if (!Make(d)) return failed_;
            const Point& made = points_.back();
            const double g = G(made, threshold);
            if (std::fabs(g) <= kRootTolerance * std::sqrt(threshold)) {
                return {End::Kind::Found, ValueAt(d), {}};
            }
            if (g > 0) {
                high = made;
                gHigh = g;
                if (lastMoved == 1) gLow /= 2;
                lastMoved = 1;
            } else {
                low = made;
                gLow = g;
                if (lastMoved == -1) gHigh /= 2;
                lastMoved = -1;
            }
        }
        const double d = (low.Distance * gHigh - high.Distance * gLow) / (gHigh - gLow);
        return {End::Kind::Found, ValueAt(std::clamp(d, low.Distance, high.Distance)), {}};
    }

    Problem& copy_;
    const ProfileTask& task_;
    StopToken stop_;
    std::vector<Point> points_;
    End failed_;
};

}  // namespace

ProfileSide TraceSide(Problem& copy, const ProfileTask& task, StopToken stop) {
    Tracer tracer(copy, task, stop);
    ProfileSide side;
    side.Individual = tracer.Search(task.Individual);
    // An individual end that could not be reached leaves the joint one, further out, alike.
    side.Joint = side.Individual.What == End::Kind::Found && task.Joint > task.Individual
                     ? tracer.Search(task.Joint)
                     : side.Individual;
    side.Points = tracer.Points();
    return side;
}

}  // namespace varsel::uncertainty
