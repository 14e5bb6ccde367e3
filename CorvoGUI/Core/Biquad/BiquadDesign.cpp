#include "CorvoGUI/Core/Biquad/BiquadDesign.h"

#include "KVNet/QT/Trace/KVNetReports.h"

#include <cmath>

namespace
{

const double BIQUAD_PI = 3.141592654;
const double BIQUAD_TWO_PI = 6.283185308;

struct sSection
{
    double b0;
    double b1;
    double b2;
    double a1;
    double a2;
};

bool CheckPositive(const char* designer, const char* name, const double& value)
{
    if (std::isfinite(value) && value > 0.0)
    {
        return true;
    }
    KV_REPORT_ERROR("%s: %s = %g is not a positive number; coefficients unchanged", designer, name, value);
    return false;
}

bool CheckGain(const char* designer, const double& G)
{
    if (std::isfinite(G))
    {
        return true;
    }
    KV_REPORT_ERROR("%s: gain %g dB is not a number; coefficients unchanged", designer, G);
    return false;
}

// The period must have been checked first.
bool CheckFrequency(const char* designer, const double& f, const double& T)
{
    if (std::isfinite(f) && f > 0.0 && f * T < 0.5)
    {
        return true;
    }
    KV_REPORT_ERROR("%s: frequency %g Hz is not between 0 and %g Hz; coefficients unchanged", designer, f,
                    0.5 / T);
    return false;
}

// Writes the section when it is finite and its poles lie inside the unit circle. The recursion's
// denominator is 1 - a1*s*z^-1 - a2*s*z^-2.
bool Commit(const char* designer, const double& f, const sSection& c, const double& s, double& b0, double& b1,
            double& b2, double& a1, double& a2)
{
    const bool finite = std::isfinite(c.b0) && std::isfinite(c.b1) && std::isfinite(c.b2) &&
                        std::isfinite(c.a1) && std::isfinite(c.a2);
    const double p1 = c.a1 * s;
    const double p2 = c.a2 * s;
    if (!finite || !(std::fabs(p2) < 1.0) || !(std::fabs(p1) < 1.0 - p2))
    {
        KV_REPORT_ERROR("%s: the design at %g Hz is not a finite, stable section; coefficients unchanged",
                        designer, f);
        return false;
    }
    b0 = c.b0;
    b1 = c.b1;
    b2 = c.b2;
    a1 = c.a1;
    a2 = c.a2;
    return true;
}

} // namespace

bool BiquadBell(const double& G, const double& f, const double& Q, const double& s, const double& T,
                double& b0, double& b1, double& b2, double& a1, double& a2)
{
    const char* name = "BiquadBell";
    if (!CheckGain(name, G) || !CheckPositive(name, "Q", Q) || !CheckPositive(name, "s", s) ||
        !CheckPositive(name, "T", T) || !CheckFrequency(name, f, T))
    {
        return false;
    }
    const double A = std::pow(10.0, G / 20.0);
    const double K = std::tan(BIQUAD_PI * f * T);
    const double w = BIQUAD_TWO_PI * f;
    const double W = w / K;
    const double g = (A - 1.0) / (A + 1.0);
    const double B = w / (Q * f * BIQUAD_PI * T / K * 0.3023944391);
    const double P = W * W + w * w;
    const double N = 1.0 / ((P + W * B * (1.0 - g)) * s);
    const sSection c{(P + W * B * (1.0 + g)) * N, 2.0 * (w * w - W * W) * N, (P - W * B * (1.0 + g)) * N,
                     -2.0 * (w * w - W * W) * N, -(P - W * B * (1.0 - g)) * N};
    return Commit(name, f, c, s, b0, b1, b2, a1, a2);
}

bool BiquadBellSymmetric(const double& G, const double& f, const double& Q, const double& s, const double& T,
                         double& b0, double& b1, double& b2, double& a1, double& a2)
{
    const char* name = "BiquadBellSymmetric";
    if (!CheckGain(name, G) || !CheckPositive(name, "Q", Q) || !CheckPositive(name, "s", s) ||
        !CheckPositive(name, "T", T) || !CheckFrequency(name, f, T))
    {
        return false;
    }
    const double A = std::pow(10.0, G / 20.0);
    const double K = std::tan(BIQUAD_PI * f * T);
    const double w = BIQUAD_TWO_PI * f;
    const double W = w / K;
    const double B = w / (Q * f * BIQUAD_PI * T / K);
    const double num = A >= 1.0 ? A * B : B;
    const double den = A >= 1.0 ? B : B / A;
    const double P = W * W + w * w;
    const double N = 1.0 / ((P + W * den) * s);
    const sSection c{(P + W * num) * N, 2.0 * (w * w - W * W) * N, (P - W * num) * N,
                     -2.0 * (w * w - W * W) * N, -(P - W * den) * N};
    return Commit(name, f, c, s, b0, b1, b2, a1, a2);
}

bool BiquadLowShelf1(const double& G, const double& f, const double& s, const double& T, double& b0,
                     double& b1, double& b2, double& a1, double& a2)
{
    const char* name = "BiquadLowShelf1";
    if (!CheckGain(name, G) || !CheckPositive(name, "s", s) || !CheckPositive(name, "T", T) ||
        !CheckFrequency(name, f, T))
    {
        return false;
    }
    const double A = std::pow(10.0, G / 20.0);
    const double K = std::tan(BIQUAD_PI * f * T);
    const double w = BIQUAD_TWO_PI * f;
    const double W = w / K;
    const double p = BIQUAD_TWO_PI * w * A / (A + 1.0);
    const double q = BIQUAD_TWO_PI * w / (A + 1.0);
    const double N = 1.0 / ((W + q) * s);
    const sSection c{(W + p) * N, (p - W) * N, 0.0, (W - q) * N, 0.0};
    return Commit(name, f, c, s, b0, b1, b2, a1, a2);
}

bool BiquadHighShelf1(const double& G, const double& f, const double& s, const double& T, double& b0,
                      double& b1, double& b2, double& a1, double& a2)
{
    const char* name = "BiquadHighShelf1";
    if (!CheckGain(name, G) || !CheckPositive(name, "s", s) || !CheckPositive(name, "T", T) ||
        !CheckFrequency(name, f, T))
    {
        return false;
    }
    const double A = std::pow(10.0, G / 20.0);
    const double K = std::tan(BIQUAD_PI * f * T);
    const double w = BIQUAD_TWO_PI * f;
    const double W = w / K;
    const double c0 = 0.159 * w;
    const double p = W * A / (A + 1.0);
    const double q = W / (A + 1.0);
    const double N = 1.0 / ((q + c0) * s);
    const sSection c{(p + c0) * N, (c0 - p) * N, 0.0, (q - c0) * N, 0.0};
    return Commit(name, f, c, s, b0, b1, b2, a1, a2);
}

bool BiquadHighPass2(const double& Q, const double& f, const double& s, const double& T, const double& F,
                     double& b0, double& b1, double& b2, double& a1, double& a2)
{
    const char* name = "BiquadHighPass2";
    if (!CheckPositive(name, "Q", Q) || !CheckPositive(name, "s", s) || !CheckPositive(name, "T", T) ||
        !CheckPositive(name, "F", F) || !CheckFrequency(name, f, T))
    {
        return false;
    }
    const double K = std::tan(BIQUAD_PI * f * T);
    const double O = 2.0 * F * K;
    const double R = 2.0 * F;
    const double N = 1.0 / ((O * R / Q + R * R + O * O) * s);
    const sSection c{R * R * N, -2.0 * R * R * N, R * R * N, 2.0 * (R * R - O * O) * N,
                     -(R * R + O * O - O * R / Q) * N};
    return Commit(name, f, c, s, b0, b1, b2, a1, a2);
}

bool BiquadLowPass2(const double& Q, const double& f, const double& s, const double& T, const double& F,
                    double& b0, double& b1, double& b2, double& a1, double& a2)
{
    const char* name = "BiquadLowPass2";
    if (!CheckPositive(name, "Q", Q) || !CheckPositive(name, "s", s) || !CheckPositive(name, "T", T) ||
        !CheckPositive(name, "F", F) || !CheckFrequency(name, f, T))
    {
        return false;
    }
    const double K = std::tan(BIQUAD_PI * f * T);
    const double O = 2.0 * F * K;
    const double R = 2.0 * F;
    const double N = 1.0 / ((O * R / Q + R * R + O * O) * s);
    const sSection c{O * O * N, 2.0 * O * O * N, O * O * N, 2.0 * (R * R - O * O) * N,
                     -(R * R + O * O - O * R / Q) * N};
    return Commit(name, f, c, s, b0, b1, b2, a1, a2);
}

bool BiquadHighPass1(const double& f, const double& s, const double& T, const double& F, double& b0,
                     double& b1, double& b2, double& a1, double& a2)
{
    const char* name = "BiquadHighPass1";
    if (!CheckPositive(name, "s", s) || !CheckPositive(name, "T", T) || !CheckPositive(name, "F", F) ||
        !CheckFrequency(name, f, T))
    {
        return false;
    }
    const double K = std::tan(BIQUAD_PI * f * T);
    const double O = 2.0 * F * K;
    const double R = 2.0 * F;
    const double N = 1.0 / ((O + R) * s);
    const sSection c{R * N, -R * N, 0.0, (R - O) * N, 0.0};
    return Commit(name, f, c, s, b0, b1, b2, a1, a2);
}

bool BiquadLowPass1(const double& f, const double& s, const double& T, const double& F, double& b0,
                    double& b1, double& b2, double& a1, double& a2)
{
    const char* name = "BiquadLowPass1";
    if (!CheckPositive(name, "s", s) || !CheckPositive(name, "T", T) || !CheckPositive(name, "F", F) ||
        !CheckFrequency(name, f, T))
    {
        return false;
    }
    const double K = std::tan(BIQUAD_PI * f * T);
    const double O = 2.0 * F * K;
    const double R = 2.0 * F;
    const double N = 1.0 / ((O + R) * s);
    const sSection c{O * N, O * N, 0.0, (R - O) * N, 0.0};
    return Commit(name, f, c, s, b0, b1, b2, a1, a2);
}

bool BiquadBandPass(const double& Q, const double& f, const double& T, double& b0, double& b1, double& b2,
                    double& a1, double& a2)
{
    const char* name = "BiquadBandPass";
    if (!CheckPositive(name, "Q", Q) || !CheckPositive(name, "T", T) || !CheckFrequency(name, f, T))
    {
        return false;
    }
    const double e = std::sqrt(4.0 + 1.0 / (Q * Q));
    const double upper = (1.0 / Q + e) * (f / 2.0);
    if (!(upper * T < 0.5))
    {
        KV_REPORT_ERROR(
            "%s: upper band edge %g Hz of %g Hz, Q = %g is not below %g Hz; coefficients unchanged", name,
            upper, f, Q, 0.5 / T);
        return false;
    }
    const double t1 = std::tan((1.0 / Q + e) * (f / 2.0) * BIQUAD_PI * T);
    const double t2 = std::tan((e - 1.0 / Q) * (f / 2.0) * BIQUAD_PI * T);
    const double d = t1 - t2;
    const double p = t1 * t2;
    const double D = d + 1.0 + p;
    const sSection c{d / D, 0.0, -d / D, (2.0 - 2.0 * p) / D, -(p + 1.0 - d) / D};
    return Commit(name, f, c, 1.0, b0, b1, b2, a1, a2);
}

bool BiquadAllPass2(const double& Q, const double& f, const double& s, const double& T, double& b0,
                    double& b1, double& b2, double& a1, double& a2)
{
    const char* name = "BiquadAllPass2";
    if (!CheckPositive(name, "Q", Q) || !CheckPositive(name, "s", s) || !CheckPositive(name, "T", T) ||
        !CheckFrequency(name, f, T))
    {
        return false;
    }
    const double x = BIQUAD_PI * f * T;
    const double v = x * x / (std::tan(x) * Q);
    const double c0 = (1.0 - v) / (1.0 + v);
    const double h = std::cos(BIQUAD_TWO_PI * f * T);
    const sSection c{c0 / s, -(1.0 + c0) * h / s, 1.0 / s, (1.0 + c0) * h / s, -c0 / s};
    return Commit(name, f, c, s, b0, b1, b2, a1, a2);
}

bool BiquadAllPass1(const double& f, const double& s, const double& T, double& b0, double& b1, double& b2,
                    double& a1, double& a2)
{
    const char* name = "BiquadAllPass1";
    if (!CheckPositive(name, "s", s) || !CheckPositive(name, "T", T) || !CheckFrequency(name, f, T))
    {
        return false;
    }
    const double t = std::tan(BIQUAD_TWO_PI * f * T * 0.477);
    const double k = (t - 1.0) / (t + 1.0);
    const sSection c{k / s, 1.0 / s, 0.0, -k / s, 0.0};
    return Commit(name, f, c, s, b0, b1, b2, a1, a2);
}

bool BiquadAllPass1Inverting(const double& f, const double& s, const double& T, double& b0, double& b1,
                             double& b2, double& a1, double& a2)
{
    const char* name = "BiquadAllPass1Inverting";
    if (!CheckPositive(name, "s", s) || !CheckPositive(name, "T", T) || !CheckFrequency(name, f, T))
    {
        return false;
    }
    // Above about 0.4496 of the sample rate the tangent changes sign and the pole leaves the unit circle;
    // the stability check in Commit rejects those designs.
    const double t = std::tan(BIQUAD_TWO_PI * f * T * 0.556);
    const double k = (t - 1.0) / (t + 1.0);
    const sSection c{-k / s, -1.0 / s, 0.0, -k / s, 0.0};
    return Commit(name, f, c, s, b0, b1, b2, a1, a2);
}

namespace
{

// The terms both second-order shelves are built from.
struct sShelf2Terms
{
    double w;
    double W;
    double M;
    double L;
};

sShelf2Terms Shelf2Terms(const double& G, const double& f, const double& T)
{
    const double A = std::pow(10.0, G / 20.0);
    const double K = std::tan(BIQUAD_PI * f * T);
    const double w = BIQUAD_TWO_PI * f;
    const double W = w / K;
    const double r = std::sqrt(A);
    const double g = (r - 1.0) / (r + 1.0);
    const double M = (1.0 + g) * BIQUAD_PI;
    const double L = (1.0 - g) * BIQUAD_PI;
    return {w, W, M, L};
}

} // namespace

bool BiquadLowShelf2(const double& G, const double& f, const double& Q, const double& s, const double& T,
                     double& b0, double& b1, double& b2, double& a1, double& a2)
{
    const char* name = "BiquadLowShelf2";
    if (!CheckGain(name, G) || !CheckPositive(name, "Q", Q) || !CheckPositive(name, "s", s) ||
        !CheckPositive(name, "T", T) || !CheckFrequency(name, f, T))
    {
        return false;
    }
    const sShelf2Terms t = Shelf2Terms(G, f, T);
    const double w = t.w;
    const double W = t.W;
    const double M = t.M;
    const double L = t.L;
    const double N = 1.0 / ((2.0 * L * W * w + Q * W * W + L * L * w * w) * s);
    const sSection c{(2.0 * M * W * w + Q * W * W + M * M * w * w) * N, 2.0 * (M * M * w * w - Q * W * W) * N,
                     (M * M * w * w + Q * W * W - 2.0 * M * W * w) * N,
                     -2.0 * (L * L * w * w - Q * W * W) * N,
                     -(Q * W * W + L * L * w * w - 2.0 * L * W * w) * N};
    return Commit(name, f, c, s, b0, b1, b2, a1, a2);
}

bool BiquadHighShelf2(const double& G, const double& f, const double& Q, const double& s, const double& T,
                      double& b0, double& b1, double& b2, double& a1, double& a2)
{
    const char* name = "BiquadHighShelf2";
    if (!CheckGain(name, G) || !CheckPositive(name, "Q", Q) || !CheckPositive(name, "s", s) ||
        !CheckPositive(name, "T", T) || !CheckFrequency(name, f, T))
    {
        return false;
    }
    const sShelf2Terms t = Shelf2Terms(G, f, T);
    const double w = t.w;
    const double W = t.W;
    const double M = t.M;
    const double L = t.L;
    const double N = 1.0 / ((Q * w * w + L * L * W * W + 2.0 * L * W * w) * s);
    const sSection c{(M * M * W * W + Q * w * w + 2.0 * M * W * w) * N, 2.0 * (Q * w * w - M * M * W * W) * N,
                     (M * M * W * W - 2.0 * M * W * w + Q * w * w) * N,
                     -2.0 * (Q * w * w - L * L * W * W) * N,
                     -(L * L * W * W - 2.0 * L * W * w + Q * w * w) * N};
    return Commit(name, f, c, s, b0, b1, b2, a1, a2);
}
