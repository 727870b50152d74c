#include "engine/water/Helmholtz.h"

#include <cmath>
#include <initializer_list>

namespace varsel::engine::water::detail {
namespace {

// Ideal-gas part (Wagner & Pruss 2002, table 6.1; n°1 and n°2 as revised in IAPWS R6-95(2018)
// so that the internal energy and entropy of the triple-point liquid are exactly zero).
constexpr double kIdealN[9] = {0,       -8.3204464837497, 6.6832105275932, 3.00632, 0.012436,
                               0.97315, 1.2795,           0.96956,         0.24873};
constexpr double kIdealGamma[9] = {0,          0,          0,          0,         1.28728967,
                                   3.53734222, 7.74073708, 9.24437796, 27.5075105};

// Residual part, terms 1 to 51: n δ^d τ^t exp(−δ^c), with c = 0 meaning no exponential
// (table 6.2).
struct PowerTerm {
    double n;
    int d;
    double t;
    int c;
};
constexpr PowerTerm kPowerTerms[51] = {
    {0.12533547935523e-1, 1, -0.5, 0},  {0.78957634722828e1, 1, 0.875, 0},
    {-0.87803203303561e1, 1, 1.0, 0},   {0.31802509345418, 2, 0.5, 0},
    {-0.26145533859358, 2, 0.75, 0},    {-0.78199751687981e-2, 3, 0.375, 0},
    {0.88089493102134e-2, 4, 1.0, 0},   {-0.66856572307965, 1, 4, 1},
    {0.20433810950965, 1, 6, 1},        {-0.66212605039687e-4, 1, 12, 1},
    {-0.19232721156002, 2, 1, 1},       {-0.25709043003438, 2, 5, 1},
    {0.16074868486251, 3, 4, 1},        {-0.40092828925807e-1, 4, 2, 1},
    {0.39343422603254e-6, 4, 13, 1},    {-0.75941377088144e-5, 5, 9, 1},
    {0.56250979351888e-3, 7, 3, 1},     {-0.15608652257135e-4, 9, 4, 1},
    {0.11537996422951e-8, 10, 11, 1},   {0.36582165144204e-6, 11, 4, 1},
    {-0.13251180074668e-11, 13, 13, 1}, {-0.62639586912454e-9, 15, 1, 1},
    {-0.10793600908932, 1, 7, 2},       {0.17611491008752e-1, 2, 1, 2},
    {0.22132295167546, 2, 9, 2},        {-0.40247669763528, 2, 10, 2},
    {0.58083399985759, 3, 10, 2},       {0.49969146990806e-2, 4, 3, 2},
    {-0.31358700712549e-1, 4, 7, 2},    {-0.74315929710341, 4, 10, 2},
    {0.47807329915480, 5, 10, 2},       {0.20527940895948e-1, 6, 6, 2},
    {-0.13636435110343, 6, 10, 2},      {0.14180634400617e-1, 7, 10, 2},
    {0.83326504880713e-2, 9, 1, 2},     {-0.29052336009585e-1, 9, 2, 2},
    {0.38615085574206e-1, 9, 3, 2},     {-0.20393486513704e-1, 9, 4, 2},
    {-0.16554050063734e-2, 9, 8, 2},    {0.19955571979541e-2, 10, 6, 2},
    {0.15870308324157e-3, 10, 9, 2},    {-0.16388568342530e-4, 12, 8, 2},
    {0.43613615723811e-1, 3, 16, 3},    {0.34994005463765e-1, 4, 22, 3},
    {-0.76788197844621e-1, 4, 23, 3},   {0.22446277332006e-1, 5, 23, 3},
    {-0.62689710414685e-4, 14, 10, 4},  {-0.55711118565645e-9, 3, 50, 6},
    {-0.19905718354408, 6, 44, 6},      {0.31777497330738, 6, 46, 6},
    {-0.11841182425981, 6, 50, 6}};

// Terms 52 to 54: n δ^d τ^t exp(−α(δ − ε)² − β(τ − γ)²). All three have d = 3, α = 20 and
// ε = 1, so their δ factor is shared.
struct GaussTerm {
    double n;
    double t;
    double beta;
    double gamma;
};
constexpr GaussTerm kGaussTerms[3] = {{-0.31306260323435e2, 0, 150, 1.21},
                                      {0.31546140237781e2, 1, 150, 1.21},
                                      {-0.25213154341695e4, 4, 250, 1.25}};
constexpr int kGaussD = 3;
constexpr double kGaussAlpha = 20;

// Terms 55 and 56, the non-analytic terms n Δ^b δ ψ that shape the critical region. They share
// a = 3.5, B = 0.2, A = 0.32 and β = 0.3.
struct CriticalTerm {
    double n;
    double b;
    double C;
    double D;
};
constexpr CriticalTerm kCriticalTerms[2] = {{-0.14874640856724, 0.85, 28, 700},
                                            {0.31806110878444, 0.95, 32, 800}};
constexpr double kCritA = 0.32;
constexpr double kCritB = 0.2;
constexpr double kCritSmallA = 3.5;
constexpr double kCritBeta = 0.3;

// Every exponent t of τ is a multiple of 1/8: integer ones from a table of products, the
// others as powers of τ^(1/8), taken by three square roots.
constexpr bool AllEighths() {
    for (const PowerTerm& term : kPowerTerms)
        if (static_cast<int>(term.t * 8) != term.t * 8) return false;
    for (const GaussTerm& term : kGaussTerms)
        if (static_cast<int>(term.t * 8) != term.t * 8) return false;
    return true;
}
static_assert(AllEighths(), "exponents of tau must be multiples of 1/8");

struct TauPowers {
    double integer[51];  // τ^0 .. τ^50
    double eighth;       // τ^(1/8)

    explicit TauPowers(double tau) {
        integer[0] = 1;
        for (int k = 1; k <= 50; ++k)
            integer[k] = integer[k - 1] * tau;
        eighth = std::sqrt(std::sqrt(std::sqrt(tau)));
    }
    double operator()(double t) const {
        const int eighths = static_cast<int>(t * 8);
        if (eighths % 8 == 0 && eighths >= 0) return integer[eighths / 8];
        double power = 1;
        for (int k = 0; k < (eighths < 0 ? -eighths : eighths); ++k)
            power *= eighth;
        return eighths < 0 ? 1 / power : power;
    }
};

}  // namespace

ReducedHelmholtz IdealPart(double delta, double tau) {
    ReducedHelmholtz r;
    r.phi = std::log(delta) + kIdealN[1] + kIdealN[2] * tau + kIdealN[3] * std::log(tau);
    r.t = kIdealN[2] + kIdealN[3] / tau;
    r.tt = -kIdealN[3] / (tau * tau);
    for (int i = 4; i <= 8; ++i) {
        const double e = std::exp(-kIdealGamma[i] * tau);
        const double oneMinus = -std::expm1(-kIdealGamma[i] * tau);  // 1 − e, without loss
        r.phi += kIdealN[i] * std::log(oneMinus);
        r.t += kIdealN[i] * kIdealGamma[i] * (1.0 / oneMinus - 1.0);
        r.tt -= kIdealN[i] * kIdealGamma[i] * kIdealGamma[i] * e / (oneMinus * oneMinus);
    }
    r.d = 1.0 / delta;
    r.dd = -1.0 / (delta * delta);
    r.dt = 0;
    return r;
}

ResidualIsotherm::ResidualIsotherm(double tau) : tau_(tau) {
    const TauPowers powerOf(tau);
    for (int i = 0; i < 51; ++i)
        powerCoefficient_[i] = kPowerTerms[i].n * powerOf(kPowerTerms[i].t);
    for (int i = 0; i < 3; ++i) {
        const GaussTerm& g = kGaussTerms[i];
        const double dtau = tau - g.gamma;
        gaussCoefficient_[i] = g.n * powerOf(g.t) * std::exp(-g.beta * dtau * dtau);
        gaussTauFactor_[i] = g.t / tau - 2 * g.beta * dtau;
        gaussTauSecond_[i] = -g.t / (tau * tau) - 2 * g.beta;
    }
    for (int i = 0; i < 2; ++i)
        criticalTauFactor_[i] = std::exp(-kCriticalTerms[i].D * (tau - 1) * (tau - 1));
}

ReducedHelmholtz ResidualIsotherm::At(double delta) const {
    const double tau = tau_;
    ReducedHelmholtz r;

    // δ^k for k = 0..15 and exp(−δ^c) for the exponents that occur.
    double deltaPowers[16];
    deltaPowers[0] = 1;
    for (int k = 1; k < 16; ++k)
        deltaPowers[k] = deltaPowers[k - 1] * delta;
    double expOfPower[7] = {1, 0, 0, 0, 0, 0, 0};
    for (int c : {1, 2, 3, 4, 6})
        expOfPower[c] = std::exp(-deltaPowers[c]);

    // Polynomial and exponential terms. With u = d − c δ^c:
    //   φ_δ = φ u/δ,  φ_δδ = φ [u(u − 1) − c² δ^c]/δ²,  φ_τ = φ t/τ, ...
    const double invDelta = 1.0 / delta;
    const double invTau = 1.0 / tau;
    for (int i = 0; i < 51; ++i) {
        const PowerTerm& term = kPowerTerms[i];
        const double deltaC = term.c ? deltaPowers[term.c] : 0.0;
        const double base = powerCoefficient_[i] * deltaPowers[term.d] * expOfPower[term.c];
        const double u = term.d - term.c * deltaC;
        r.phi += base;
        r.d += base * u * invDelta;
        r.dd += base * (u * (u - 1) - term.c * term.c * deltaC) * invDelta * invDelta;
        r.t += base * term.t * invTau;
        r.tt += base * term.t * (term.t - 1) * invTau * invTau;
        r.dt += base * u * term.t * invDelta * invTau;
    }

    // Gaussian terms: with Dδ = d/δ − 2α(δ − ε) and Dτ = t/τ − 2β(τ − γ),
    //   φ_δ = φ Dδ,  φ_δδ = φ (Dδ² − d/δ² − 2α),  φ_δτ = φ Dδ Dτ.
    {
        const double dd1 = delta - 1;
        const double deltaFactor = deltaPowers[kGaussD] * std::exp(-kGaussAlpha * dd1 * dd1);
        const double dDelta = kGaussD * invDelta - 2 * kGaussAlpha * dd1;
        const double dDelta2 = dDelta * dDelta - kGaussD * invDelta * invDelta - 2 * kGaussAlpha;
        for (int i = 0; i < 3; ++i) {
            const double base = gaussCoefficient_[i] * deltaFactor;
            const double dTau = gaussTauFactor_[i];
            r.phi += base;
            r.d += base * dDelta;
            r.dd += base * dDelta2;
            r.t += base * dTau;
            r.tt += base * (dTau * dTau + gaussTauSecond_[i]);
            r.dt += base * dDelta * dTau;
        }
    }

    // Non-analytic terms (Wagner & Pruss 2002, table 6.5). With q = (δ − 1)², the powers of
    // q are arranged so that no negative power of q appears: at δ = 1 they all vanish.
    {
        constexpr double e1 = 1.0 / (2 * kCritBeta) - 1;  // exponent of q in ∂θ/∂δ
        const double dm1 = delta - 1;
        const double q = dm1 * dm1;
        const double qE1 = std::pow(q, e1);               // q^(1/(2β) − 1)
        const double qA1 = std::pow(q, kCritSmallA - 1);  // q^(a − 1)
        const double theta = (1 - tau) + kCritA * qE1 * q;
        double bigDelta = theta * theta + kCritB * qA1 * q;
        // Δ vanishes only at the critical point itself, where φ_δδ and φ_ττ diverge; keep it
        // from zero so that the powers below stay finite there.
        if (bigDelta < 1e-200) bigDelta = 1e-200;
        const double inner =
            kCritA * theta * (2 / kCritBeta) * qE1 + 2 * kCritB * kCritSmallA * qA1;
        const double dDelta = dm1 * inner;
        const double dDeltaDelta =
            inner + 4 * kCritB * kCritSmallA * (kCritSmallA - 1) * qA1 +
            2 * kCritA * kCritA / (kCritBeta * kCritBeta) * qE1 * qE1 * q +
            kCritA * theta * (4 / kCritBeta) * (1 / (2 * kCritBeta) - 1) * qE1;
        for (int i = 0; i < 2; ++i) {
            const CriticalTerm& c = kCriticalTerms[i];
            const double b = c.b;
            const double powB1 = std::pow(bigDelta, b - 1);  // Δ^(b−1)
            const double powB = powB1 * bigDelta;            // Δ^b
            const double powB2 = powB1 / bigDelta;           // Δ^(b−2)
            const double db_d = b * powB1 * dDelta;
            const double db_dd = b * (powB1 * dDeltaDelta + (b - 1) * powB2 * dDelta * dDelta);
            const double db_t = -2 * theta * b * powB1;
            const double db_tt = 2 * b * powB1 + 4 * theta * theta * b * (b - 1) * powB2;
            const double db_dt = -kCritA * b * (2 / kCritBeta) * powB1 * dm1 * qE1 -
                                 2 * theta * b * (b - 1) * powB2 * dDelta;
            const double tm1 = tau - 1;
            const double psi = std::exp(-c.C * q) * criticalTauFactor_[i];
            const double psi_d = -2 * c.C * dm1 * psi;
            const double psi_dd = (2 * c.C * q - 1) * 2 * c.C * psi;
            const double psi_t = -2 * c.D * tm1 * psi;
            const double psi_tt = (2 * c.D * tm1 * tm1 - 1) * 2 * c.D * psi;
            const double psi_dt = 4 * c.C * c.D * dm1 * tm1 * psi;
            r.phi += c.n * powB * delta * psi;
            r.d += c.n * (powB * (psi + delta * psi_d) + db_d * delta * psi);
            r.dd += c.n * (powB * (2 * psi_d + delta * psi_dd) + 2 * db_d * (psi + delta * psi_d) +
                           db_dd * delta * psi);
            r.t += c.n * delta * (db_t * psi + powB * psi_t);
            r.tt += c.n * delta * (db_tt * psi + 2 * db_t * psi_t + powB * psi_tt);
            r.dt += c.n * (powB * (psi_t + delta * psi_dt) + delta * db_d * psi_t +
                           db_t * (psi + delta * psi_d) + db_dt * delta * psi);
        }
    }
    return r;
}

}  // namespace varsel::engine::water::detail
