// A number that carries its first and second derivatives with respect to two variables
// (forward-mode differentiation to second order). The dielectric formulations are written
// once with it, in the form the papers give, and their derivatives with respect to
// temperature and density come out exactly. Internal to the water library.
#pragma once

#include <cmath>

namespace varsel::engine::water::detail {

/// f and ∂f/∂x, ∂f/∂y, ∂²f/∂x², ∂²f/∂x∂y, ∂²f/∂y².
struct Jet {
    double v = 0;
    double x = 0;
    double y = 0;
    double xx = 0;
    double xy = 0;
    double yy = 0;

    Jet() = default;
    Jet(double value) : v(value) {}  // NOLINT: constants mix freely with jets
    Jet(double value, double dx, double dy, double dxx = 0, double dxy = 0, double dyy = 0)
        : v(value), x(dx), y(dy), xx(dxx), xy(dxy), yy(dyy) {}
    static Jet VariableX(double value) { return {value, 1, 0}; }
    static Jet VariableY(double value) { return {value, 0, 1}; }
};

/// g(f) for a function g with g' = d1 and g'' = d2 at f.v (the chain rule to second order).
inline Jet Chain(const Jet& f, double g, double d1, double d2) {
    Jet r;
    r.v = g;
    r.x = d1 * f.x;
    r.y = d1 * f.y;
    r.xx = d1 * f.xx + d2 * f.x * f.x;
    r.xy = d1 * f.xy + d2 * f.x * f.y;
    r.yy = d1 * f.yy + d2 * f.y * f.y;
    return r;
}

inline Jet operator+(const Jet& a, const Jet& b) {
    return {a.v + b.v, a.x + b.x, a.y + b.y, a.xx + b.xx, a.xy + b.xy, a.yy + b.yy};
}
inline Jet operator-(const Jet& a, const Jet& b) {
    return {a.v - b.v, a.x - b.x, a.y - b.y, a.xx - b.xx, a.xy - b.xy, a.yy - b.yy};
}
inline Jet operator-(const Jet& a) {
    return {-a.v, -a.x, -a.y, -a.xx, -a.xy, -a.yy};
}
inline Jet operator*(const Jet& a, const Jet& b) {
    return {a.v * b.v,
            a.x * b.v + a.v * b.x,
            a.y * b.v + a.v * b.y,
            a.xx * b.v + 2 * a.x * b.x + a.v * b.xx,
            a.xy * b.v + a.x * b.y + a.y * b.x + a.v * b.xy,
            a.yy * b.v + 2 * a.y * b.y + a.v * b.yy};
}
inline Jet Reciprocal(const Jet& a) {
    const double inv = 1 / a.v;
    return Chain(a, inv, -inv * inv, 2 * inv * inv * inv);
}
inline Jet operator/(const Jet& a, const Jet& b) {
    return a * Reciprocal(b);
}
inline Jet& operator+=(Jet& a, const Jet& b) {
    return a = a + b;
}

/// a^p for a real exponent p (a > 0 unless p is a non-negative integer).
inline Jet Pow(const Jet& a, double p) {
    const double g = std::pow(a.v, p);
    const double d1 = p * std::pow(a.v, p - 1);
    const double d2 = p * (p - 1) * std::pow(a.v, p - 2);
    return Chain(a, g, d1, d2);
}
inline Jet Sqrt(const Jet& a) {
    const double s = std::sqrt(a.v);
    return Chain(a, s, 0.5 / s, -0.25 / (s * a.v));
}
// The same functions on plain numbers, so that a formula written once serves both.
inline double Reciprocal(double a) {
    return 1 / a;
}
inline double Pow(double a, double p) {
    return std::pow(a, p);
}
inline double Sqrt(double a) {
    return std::sqrt(a);
}

}  // namespace varsel::engine::water::detail
