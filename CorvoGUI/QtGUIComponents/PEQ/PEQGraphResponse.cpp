#include "CorvoGUI/QtGUIComponents/PEQ/PEQGraphResponse.h"

#include "AES-Standards/KVConversions.h"
#include "CorvoGUI/Core/Units/PEQTypes.h"
#include "CorvoGUI/Core/Units/ParametricEQTables.h"

#include <cmath>
#include <complex>

namespace nPEQGraph
{

namespace
{

using tComplex = std::complex<double>;

double Db(double magnitudeSquared)
{
    if (!(magnitudeSquared > 0.0) || !std::isfinite(magnitudeSquared))
    {
        return SILENCE_DB;
    }
    return 10.0 * std::log10(magnitudeSquared);
}

// -w^2 / ((a - w^2) + j b w)
tComplex SecondOrderHighPass(double a, double b, double omega, double omegaSquared)
{
    return tComplex(-omegaSquared, 0.0) / tComplex(a - omegaSquared, b * omega);
}

// j w / (c + j w)
tComplex FirstOrderHighPass(double c, double omega)
{
    return tComplex(0.0, omega) / tComplex(c, omega);
}

// Squared distance of `point` from the line through `from` and `to`: the squared length of the
// component of from - point perpendicular to to - from.
double DistanceSquared(const QPointF& from, const QPointF& point, const QPointF& to)
{
    const double dx = to.x() - from.x();
    const double dy = to.y() - from.y();
    const double vx = from.x() - point.x();
    const double vy = from.y() - point.y();
    const double lengthSquared = dx * dx + dy * dy;
    const double vSquared = vx * vx + vy * vy;
    if (lengthSquared == 0.0)
    {
        return vSquared;
    }
    const double along = vx * dx + vy * dy;
    return vSquared - along * along / lengthSquared;
}

// Squared distance of `point` from the segment from `from` to `to`.
double SegmentDistanceSquared(const QPointF& from, const QPointF& point, const QPointF& to)
{
    const double dx = to.x() - from.x();
    const double dy = to.y() - from.y();
    const double lengthSquared = dx * dx + dy * dy;
    double t = lengthSquared > 0.0
                   ? ((point.x() - from.x()) * dx + (point.y() - from.y()) * dy) / lengthSquared
                   : 0.0;
    t = t < 0.0 ? 0.0 : (t > 1.0 ? 1.0 : t);
    const double ex = from.x() + t * dx - point.x();
    const double ey = from.y() + t * dy - point.y();
    return ex * ex + ey * ey;
}

// True when every original point strictly between indices `first` and `last` lies within the
// tolerance of the segment joining those two.
bool CoveredPointsWithin(const QVector<QPointF>& points, int first, int last)
{
    for (int k = first + 1; k < last; ++k)
    {
        if (SegmentDistanceSquared(points[first], points[k], points[last]) >= SIMPLIFY_TOLERANCE_SQUARED)
        {
            return false;
        }
    }
    return true;
}

// One pass over the indices (into `points`) still kept.
QVector<int> SimplifyOnce(const QVector<QPointF>& points, const QVector<int>& current)
{
    const int m = current.size();
    QVector<int> kept;
    kept.reserve(m);
    int i = 0;
    while (i < m - 2)
    {
        const int from = current[i];
        const int middle = current[i + 1];
        const int to = current[i + 2];
        kept.append(from);
        const bool drop =
            DistanceSquared(points[from], points[middle], points[to]) < SIMPLIFY_TOLERANCE_SQUARED &&
            CoveredPointsWithin(points, from, to);
        if (!drop)
        {
            kept.append(middle);
        }
        i += 2;
    }
    for (; i < m; ++i)
    {
        kept.append(current[i]);
    }
    return kept;
}

} // namespace

double AngularFrequency(UWORD frequencyCode)
{
    return TWO_PI * ConvertUWORDToFrequency(frequencyCode);
}

double BandGainFactor(int type, GAIN gain)
{
    if (type == nPEQ::LOW_CONTOUR || type == nPEQ::HIGH_CONTOUR)
    {
        return std::pow(10.0, CONTOUR_EXPONENT);
    }
    return std::pow(10.0, double(gain) / 256.0 / 20.0);
}

sSPlaneSection ParametricSection(int type, double w0, double q, double a)
{
    sSPlaneSection s;
    switch (type)
    {
    case nPEQ::LFSHELF:
    case nPEQ::LOW_CONTOUR:
        s.mN0 = TWO_PI * w0 * a / (a + 1.0);
        s.mN1 = 1.0;
        s.mD0 = TWO_PI * w0 / (a + 1.0);
        s.mD1 = 1.0;
        break;
    case nPEQ::HFSHELF:
    case nPEQ::HIGH_CONTOUR:
        s.mN0 = w0;
        s.mN1 = TWO_PI * a / (a + 1.0);
        s.mD0 = w0;
        s.mD1 = TWO_PI / (a + 1.0);
        break;
    case nPEQ::LPASS:
        s.mN0 = w0 * w0;
        s.mD0 = w0 * w0;
        s.mD1 = w0 / BUTTERWORTH_Q;
        s.mD2 = 1.0;
        break;
    case nPEQ::HPASS:
        s.mN2 = 1.0;
        s.mD0 = w0 * w0;
        s.mD1 = w0 / BUTTERWORTH_Q;
        s.mD2 = 1.0;
        break;
    default: // BELL, NOTCH and unknown types
    {
        const double p = PI / q;
        const double k = (a - 1.0) / (a + 1.0) * p;
        s.mN0 = w0 * w0;
        s.mN1 = (p + k) * w0;
        s.mN2 = 1.0;
        s.mD0 = w0 * w0;
        s.mD1 = (p - k) * w0;
        s.mD2 = 1.0;
        break;
    }
    }
    return s;
}

sSPlaneSection ParametricBandSection(int type, UWORD frequencyCode, UWORD widthCode, GAIN gain)
{
    return ParametricSection(type, AngularFrequency(frequencyCode),
                             nParametricEQTables::QFromWidthCode(widthCode), BandGainFactor(type, gain));
}

double MagnitudeDb(const sSPlaneSection& s, double omega, double omegaSquared)
{
    const double nr = s.mN0 - s.mN2 * omegaSquared;
    const double ni = s.mN1 * omega;
    const double dr = s.mD0 - s.mD2 * omegaSquared;
    const double di = s.mD1 * omega;
    return Db((nr * nr + ni * ni) / (dr * dr + di * di));
}

double HighPassMagnitudeDb(int type, double w0, double omega, double omegaSquared)
{
    const double w0Squared = w0 * w0;
    tComplex h;
    switch (type)
    {
    case nPEQ::HPF_BUTTERWORTH_18_DB:
        h = FirstOrderHighPass(w0, omega) * SecondOrderHighPass(w0Squared, w0, omega, omegaSquared);
        break;
    case nPEQ::HPF_BUTTERWORTH_24_DB:
        h = SecondOrderHighPass(w0Squared, w0 / 0.541196100146, omega, omegaSquared) *
            SecondOrderHighPass(w0Squared, w0 / 1.306562964876, omega, omegaSquared);
        break;
    case nPEQ::HPF_BESSEL_18_DB:
    {
        const double wb = w0 / 1.44761713315;
        h = FirstOrderHighPass(w0 / 1.32267579991, omega) *
            SecondOrderHighPass(wb * wb, wb / 0.691046625825, omega, omegaSquared);
        break;
    }
    default: // HPF_BUTTERWORTH_12_DB and unknown types
        h = SecondOrderHighPass(w0Squared, w0 / BUTTERWORTH_Q, omega, omegaSquared);
        break;
    }
    return Db(std::norm(h));
}

QVector<QPointF> SimplifyPoints(const QVector<QPointF>& points)
{
    QVector<int> current(points.size());
    for (int i = 0; i < points.size(); ++i)
    {
        current[i] = i;
    }
    while (current.size() >= 2)
    {
        QVector<int> kept = SimplifyOnce(points, current);
        const bool again = 3 * kept.size() < 2 * current.size();
        current = std::move(kept);
        if (!again)
        {
            break;
        }
    }
    QVector<QPointF> result;
    result.reserve(current.size());
    for (int index : current)
    {
        result.append(points[index]);
    }
    return result;
}

} // namespace nPEQGraph
