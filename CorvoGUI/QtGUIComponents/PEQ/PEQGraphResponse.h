#pragma once

#include "KVNet/Core/KVNetTypes.h"

#include <QPointF>
#include <QVector>

// The response graph's analogue (s-plane) models of the EQ bands and its point simplification. The
// graph draws these shapes on purpose; they are close to, but not the same as, the device's digital
// designs. Pure functions, any thread.
namespace nPEQGraph
{

constexpr double PI = 3.141592654;
constexpr double TWO_PI = 6.283185308;
constexpr double BUTTERWORTH_Q = 0.707106781187;
// A magnitude of exactly 0 is drawn at this level.
constexpr double SILENCE_DB = -80.0;
// Gain of the contour types, whatever the band's gain: 10^(-0.45).
constexpr double CONTOUR_EXPONENT = -0.45;
// A middle point is kept when its squared distance from its neighbours' line is at least this
// (0.1 pixel, squared).
constexpr double SIMPLIFY_TOLERANCE_SQUARED = 0.010000000000000002;

// H(jw) = ((N0 - N2 w^2) + j N1 w) / ((D0 - D2 w^2) + j D1 w)
struct sSPlaneSection
{
    double mN0 = 0.0;
    double mN1 = 0.0;
    double mN2 = 0.0;
    double mD0 = 0.0;
    double mD1 = 0.0;
    double mD2 = 0.0;
};

// 6.283185308 x the frequency of a frequency code.
double AngularFrequency(UWORD frequencyCode);

// The linear gain A of a band: 10^(gain / 256 / 20), or 10^(-0.45) for the contour types.
double BandGainFactor(int type, GAIN gain);

// The section of a parametric band (nPEQ::eParametricEQType; unknown types are drawn as bells) at
// angular frequency w0 with quality q and gain factor a.
sSPlaneSection ParametricSection(int type, double w0, double q, double a);

// The section of a parametric band as the graph codes it: w0 from the frequency code, Q from the
// width code's high byte (the last entry for an index of 45 or more), A from the gain and type.
sSPlaneSection ParametricBandSection(int type, UWORD frequencyCode, UWORD widthCode, GAIN gain);

// 20 log10 |H(j omega)|; SILENCE_DB where the magnitude is 0 (or not a finite number).
double MagnitudeDb(const sSPlaneSection& section, double omega, double omegaSquared);

// The high-pass band's response (nPEQ::eHighPassType; unknown types are drawn as the 12 dB
// Butterworth) at angular corner w0.
double HighPassMagnitudeDb(int type, double w0, double omega, double omegaSquared);

// Thins a polyline: pass by pass, every second point is dropped when it lies within the tolerance of
// the line through its neighbours, until a pass keeps at least two thirds of its points. A point is
// dropped only while every original point it stood for stays within the tolerance of the new
// segment, so no point of the input ends up further than the tolerance from the result.
QVector<QPointF> SimplifyPoints(const QVector<QPointF>& points);

} // namespace nPEQGraph
