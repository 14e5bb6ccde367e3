#pragma once

// Coefficient designers for the device's second-order sections.
//
// Every designer writes b0, b1, b2, a1, a2 for the recursion
//     y[n] = b0*x[n] + b1*x[n-1] + b2*x[n-2] + a1*y[n-1] + a2*y[n-2]
// so a1 and a2 are the denominator's coefficients with their signs inverted. All five are already
// divided by the scale s (2.0 for the high- and low-pass units, 8.0 for the parametric EQ): the section
// the device runs is s times the outputs. First-order sections write 0 to b2 and a2.
//
// Inputs: G gain in dB, f frequency in Hz, Q quality, s scale, T sample period in seconds, F sample rate
// in Hz. The designs use pi = 3.141592654 and 2*pi = 6.283185308.
//
// Pure functions, callable from any thread. Each returns true when it wrote the outputs. Inputs that
// cannot be designed (a frequency not strictly between 0 and the Nyquist frequency 1/(2T), Q, s, T or F
// not above 0, anything not finite) and designs that would not give a finite, stable section are
// reported through KV_REPORT_ERROR; the designer then returns false and leaves the outputs unchanged.

// Peaking band, gain A = 10^(G/20) at f; flat for G = 0 (used for every unity section).
bool BiquadBell(const double& G, const double& f, const double& Q, const double& s, const double& T,
                double& b0, double& b1, double& b2, double& a1, double& a2);
// Peaking band whose cuts mirror its boosts.
bool BiquadBellSymmetric(const double& G, const double& f, const double& Q, const double& s, const double& T,
                         double& b0, double& b1, double& b2, double& a1, double& a2);
// First-order shelves: gain A at DC (low) or at Nyquist (high), unity at the other end.
bool BiquadLowShelf1(const double& G, const double& f, const double& s, const double& T, double& b0,
                     double& b1, double& b2, double& a1, double& a2);
bool BiquadHighShelf1(const double& G, const double& f, const double& s, const double& T, double& b0,
                      double& b1, double& b2, double& a1, double& a2);
// Second-order high- and low-pass with corner f; the magnitude at f is Q.
bool BiquadHighPass2(const double& Q, const double& f, const double& s, const double& T, const double& F,
                     double& b0, double& b1, double& b2, double& a1, double& a2);
bool BiquadLowPass2(const double& Q, const double& f, const double& s, const double& T, const double& F,
                    double& b0, double& b1, double& b2, double& a1, double& a2);
// First-order high- and low-pass with corner f.
bool BiquadHighPass1(const double& f, const double& s, const double& T, const double& F, double& b0,
                     double& b1, double& b2, double& a1, double& a2);
bool BiquadLowPass1(const double& f, const double& s, const double& T, const double& F, double& b0,
                    double& b1, double& b2, double& a1, double& a2);
// Band-pass, unity at its peak, -3 dB at f*(sqrt(4 + 1/Q^2) +- 1/Q)/2; not scaled.
bool BiquadBandPass(const double& Q, const double& f, const double& T, double& b0, double& b1, double& b2,
                    double& a1, double& a2);
// All-pass sections (unity magnitude); the inverting one gives -1 at DC.
bool BiquadAllPass2(const double& Q, const double& f, const double& s, const double& T, double& b0,
                    double& b1, double& b2, double& a1, double& a2);
bool BiquadAllPass1(const double& f, const double& s, const double& T, double& b0, double& b1, double& b2,
                    double& a1, double& a2);
bool BiquadAllPass1Inverting(const double& f, const double& s, const double& T, double& b0, double& b1,
                             double& b2, double& a1, double& a2);
// Second-order shelves: gain A at DC (low) or at Nyquist (high), unity at the other end.
bool BiquadLowShelf2(const double& G, const double& f, const double& Q, const double& s, const double& T,
                     double& b0, double& b1, double& b2, double& a1, double& a2);
bool BiquadHighShelf2(const double& G, const double& f, const double& Q, const double& s, const double& T,
                      double& b0, double& b1, double& b2, double& a1, double& a2);
