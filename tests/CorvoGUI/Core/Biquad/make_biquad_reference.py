#!/usr/bin/env python3
"""Writes BiquadReferenceCases.h: reference coefficients for the biquad designers.

Run once with plain python3 (no packages):
    python3 make_biquad_reference.py > BiquadReferenceCases.h
The coefficients are computed here in IEEE double with the designers' constants (pi = 3.141592654,
2 pi = 6.283185308), T = 1/96000 s, F = 96000 Hz. Each case also lists probe frequencies with the
magnitude the section must have there on physical grounds (a bell's gain at its centre, a shelf's
gain at DC or Nyquist, a Butterworth corner at Q or 1/sqrt(2), zeros, all-pass unity); the script
checks its own coefficients against those before writing anything.
"""
import cmath
import math
import sys

PI = 3.141592654
TWO_PI = 6.283185308
T = 1.0 / 96000.0
F = 96000.0
NYQ = 48000.0


def common(G, f):
    A = 10.0 ** (G / 20.0)
    K = math.tan(PI * f * T)
    w = TWO_PI * f
    return A, K, w, w / K


def bell(G, f, Q, s):
    A, K, w, W = common(G, f)
    g = (A - 1) / (A + 1)
    B = w / (Q * f * PI * T / K * 0.3023944391)
    P = W * W + w * w
    N = 1 / ((P + W * B * (1 - g)) * s)
    return [(P + W * B * (1 + g)) * N, 2 * (w * w - W * W) * N, (P - W * B * (1 + g)) * N,
            -2 * (w * w - W * W) * N, -(P - W * B * (1 - g)) * N]


def bell_symmetric(G, f, Q, s):
    A, K, w, W = common(G, f)
    B = w / (Q * f * PI * T / K)
    num, den = (A * B, B) if A >= 1 else (B, B / A)
    P = W * W + w * w
    N = 1 / ((P + W * den) * s)
    return [(P + W * num) * N, 2 * (w * w - W * W) * N, (P - W * num) * N,
            -2 * (w * w - W * W) * N, -(P - W * den) * N]


def low_shelf1(G, f, Q, s):
    A, K, w, W = common(G, f)
    p = TWO_PI * w * A / (A + 1)
    q = TWO_PI * w / (A + 1)
    N = 1 / ((W + q) * s)
    return [(W + p) * N, (p - W) * N, 0.0, (W - q) * N, 0.0]


def high_shelf1(G, f, Q, s):
    A, K, w, W = common(G, f)
    c = 0.159 * w
    p = W * A / (A + 1)
    q = W / (A + 1)
    N = 1 / ((q + c) * s)
    return [(p + c) * N, (c - p) * N, 0.0, (q - c) * N, 0.0]


def pass2(Q, f, s, high):
    K = math.tan(PI * f * T)
    O, R = 2 * F * K, 2 * F
    N = 1 / ((O * R / Q + R * R + O * O) * s)
    n = R * R if high else O * O
    return [n * N, (-2 if high else 2) * n * N, n * N, 2 * (R * R - O * O) * N, -(R * R + O * O - O * R / Q) * N]


def pass1(f, s, high):
    K = math.tan(PI * f * T)
    O, R = 2 * F * K, 2 * F
    N = 1 / ((O + R) * s)
    return [R * N, -R * N, 0.0, (R - O) * N, 0.0] if high else [O * N, O * N, 0.0, (R - O) * N, 0.0]


def band_pass(G, f, Q, s):
    e = math.sqrt(4 + 1 / (Q * Q))
    t1 = math.tan((1 / Q + e) * (f / 2) * PI * T)
    t2 = math.tan((e - 1 / Q) * (f / 2) * PI * T)
    d, p = t1 - t2, t1 * t2
    D = d + 1 + p
    return [d / D, 0.0, -d / D, (2 - 2 * p) / D, -(p + 1 - d) / D]


def all_pass2(G, f, Q, s):
    x = PI * f * T
    v = x * x / (math.tan(x) * Q)
    c = (1 - v) / (1 + v)
    h = math.cos(TWO_PI * f * T)
    return [c / s, -(1 + c) * h / s, 1 / s, (1 + c) * h / s, -c / s]


def all_pass1(f, s, factor, sign):
    t = math.tan(TWO_PI * f * T * factor)
    k = (t - 1) / (t + 1)
    return [sign * k / s, sign / s, 0.0, -k / s, 0.0]


def shelf2(G, f, Q, s, high):
    A, K, w, W = common(G, f)
    r = math.sqrt(A)
    g = (r - 1) / (r + 1)
    M, L = (1 + g) * PI, (1 - g) * PI
    if not high:
        N = 1 / ((2 * L * W * w + Q * W * W + L * L * w * w) * s)
        return [(2 * M * W * w + Q * W * W + M * M * w * w) * N, 2 * (M * M * w * w - Q * W * W) * N,
                (M * M * w * w + Q * W * W - 2 * M * W * w) * N, -2 * (L * L * w * w - Q * W * W) * N,
                -(Q * W * W + L * L * w * w - 2 * L * W * w) * N]
    N = 1 / ((Q * w * w + L * L * W * W + 2 * L * W * w) * s)
    return [(M * M * W * W + Q * w * w + 2 * M * W * w) * N, 2 * (Q * w * w - M * M * W * W) * N,
            (M * M * W * W - 2 * M * W * w + Q * w * w) * N, -2 * (Q * w * w - L * L * W * W) * N,
            -(L * L * W * W - 2 * L * W * w + Q * w * w) * N]


DESIGNERS = {
    "BiquadBell": bell,
    "BiquadBellSymmetric": bell_symmetric,
    "BiquadLowShelf1": low_shelf1,
    "BiquadHighShelf1": high_shelf1,
    "BiquadHighPass2": lambda G, f, Q, s: pass2(Q, f, s, True),
    "BiquadLowPass2": lambda G, f, Q, s: pass2(Q, f, s, False),
    "BiquadHighPass1": lambda G, f, Q, s: pass1(f, s, True),
    "BiquadLowPass1": lambda G, f, Q, s: pass1(f, s, False),
    "BiquadBandPass": band_pass,
    "BiquadAllPass2": all_pass2,
    "BiquadAllPass1": lambda G, f, Q, s: all_pass1(f, s, 0.477, 1.0),
    "BiquadAllPass1Inverting": lambda G, f, Q, s: all_pass1(f, s, 0.556, -1.0),
    "BiquadLowShelf2": lambda G, f, Q, s: shelf2(G, f, Q, s, False),
    "BiquadHighShelf2": lambda G, f, Q, s: shelf2(G, f, Q, s, True),
}

HALF = 1 / math.sqrt(2)


def gain(G):
    return 10.0 ** (G / 20.0)


def edges(f, Q):
    e = math.sqrt(4 + 1 / (Q * Q))
    return [f * (e - 1 / Q) / 2, f * (e + 1 / Q) / 2]


# label, designer, G, f, Q, s, probes [(frequency, magnitude)]
CASES = [
    ("bell boost", "BiquadBell", 6.0, 1000.0, 1.415, 8.0, [(1000.0, gain(6.0)), (0.0, 1.0), (NYQ, 1.0)]),
    ("bell cut", "BiquadBell", -12.0, 10000.0, 4.319, 8.0, [(10000.0, gain(-12.0)), (0.0, 1.0)]),
    ("bell flat", "BiquadBell", 0.0, 1000.0, 2.41, 8.0, [(250.0, 1.0), (3000.0, 1.0)]),
    ("bell at top", "BiquadBell", 15.0, 43200.0, 0.404, 8.0, [(43200.0, gain(15.0)), (0.0, 1.0)]),
    ("symmetric boost", "BiquadBellSymmetric", 6.0, 1000.0, 1.415, 8.0, [(1000.0, gain(6.0)), (0.0, 1.0)]),
    ("symmetric cut", "BiquadBellSymmetric", -6.0, 200.0, 8.653, 8.0, [(200.0, gain(-6.0)), (NYQ, 1.0)]),
    ("low shelf boost", "BiquadLowShelf1", 9.0, 200.0, 0.0, 8.0, [(0.0, gain(9.0)), (NYQ, 1.0)]),
    ("low shelf contour", "BiquadLowShelf1", -9.0, 2000.0, 0.0, 8.0, [(0.0, gain(-9.0)), (NYQ, 1.0)]),
    ("low shelf flat", "BiquadLowShelf1", 0.0, 500.0, 0.0, 8.0, [(1000.0, 1.0)]),
    ("high shelf boost", "BiquadHighShelf1", 6.0, 5000.0, 0.0, 8.0, [(NYQ, gain(6.0)), (0.0, 1.0)]),
    ("high shelf contour", "BiquadHighShelf1", -9.0, 10000.0, 0.0, 8.0, [(NYQ, gain(-9.0)), (0.0, 1.0)]),
    ("high-pass 12 dB", "BiquadHighPass2", 0.0, 1000.0, 0.707106781187, 2.0,
     [(1000.0, 0.707106781187), (0.0, 0.0), (NYQ, 1.0)]),
    ("high-pass low Q", "BiquadHighPass2", 0.0, 40.0, 0.541196100146, 2.0, [(40.0, 0.541196100146), (0.0, 0.0)]),
    ("high-pass high Q", "BiquadHighPass2", 0.0, 20000.0, 1.306562964876, 2.0, [(20000.0, 1.306562964876)]),
    ("low-pass 12 dB", "BiquadLowPass2", 0.0, 1000.0, 0.707106781187, 2.0,
     [(1000.0, 0.707106781187), (0.0, 1.0), (NYQ, 0.0)]),
    ("low-pass at top", "BiquadLowPass2", 0.0, 43200.0, 1.306562964876, 2.0, [(43200.0, 1.306562964876)]),
    ("low-pass at 40 Hz", "BiquadLowPass2", 0.0, 40.0, 0.707106781187, 8.0, [(40.0, 0.707106781187), (0.0, 1.0)]),
    ("high-pass 1st order", "BiquadHighPass1", 0.0, 1000.0, 0.0, 2.0, [(1000.0, HALF), (0.0, 0.0), (NYQ, 1.0)]),
    ("high-pass 1st order low", "BiquadHighPass1", 0.0, 20.0, 0.0, 2.0, [(20.0, HALF)]),
    ("low-pass 1st order", "BiquadLowPass1", 0.0, 1000.0, 0.0, 2.0, [(1000.0, HALF), (0.0, 1.0), (NYQ, 0.0)]),
    ("low-pass 1st order high", "BiquadLowPass1", 0.0, 30000.0, 0.0, 2.0, [(30000.0, HALF)]),
    ("band-pass", "BiquadBandPass", 0.0, 1000.0, 2.0, 1.0,
     [(edges(1000.0, 2.0)[0], HALF), (edges(1000.0, 2.0)[1], HALF), (0.0, 0.0)]),
    ("band-pass wide", "BiquadBandPass", 0.0, 5000.0, 0.707, 1.0,
     [(edges(5000.0, 0.707)[0], HALF), (edges(5000.0, 0.707)[1], HALF), (NYQ, 0.0)]),
    ("all-pass 2nd order", "BiquadAllPass2", 0.0, 1000.0, 0.707, 1.0, [(700.0, 1.0), (5000.0, 1.0)]),
    ("all-pass 2nd order scaled", "BiquadAllPass2", 0.0, 10000.0, 5.0, 8.0, [(10000.0, 1.0), (0.0, 1.0)]),
    ("all-pass 1st order", "BiquadAllPass1", 0.0, 1000.0, 0.0, 2.0, [(300.0, 1.0), (20000.0, 1.0)]),
    ("all-pass 1st order inverting", "BiquadAllPass1Inverting", 0.0, 1000.0, 0.0, 2.0,
     [(300.0, 1.0), (20000.0, 1.0)]),
    ("low shelf 2nd order", "BiquadLowShelf2", 6.0, 500.0, 0.707, 8.0, [(0.0, gain(6.0)), (NYQ, 1.0)]),
    ("high shelf 2nd order", "BiquadHighShelf2", -6.0, 5000.0, 0.707, 8.0, [(NYQ, gain(-6.0)), (0.0, 1.0)]),
]


def magnitude(c, s, x):
    z = cmath.exp(-2j * math.pi * x * T)
    return abs(s * (c[0] + c[1] * z + c[2] * z * z)) / abs(1 - s * c[3] * z - s * c[4] * z * z)


def main():
    rows = []
    for label, name, G, f, Q, s, probes in CASES:
        c = DESIGNERS[name](G, f, Q, s)
        for x, expected in probes:
            got = magnitude(c, s, x)
            if abs(got - expected) > 1e-7 * max(1.0, expected):
                sys.exit("%s at %r Hz: magnitude %r, expected %r" % (label, x, got, expected))
        cells = ", ".join("{%r, %r}" % p for p in probes)
        rows.append('    {"%s", "%s", %r, %r, %r, %r, {%s}, %d, {%s}},' %
                    (label, name, G, f, Q, s, ", ".join(repr(v) for v in c), len(probes), cells))
    print("#pragma once")
    print()
    print("// Generated by make_biquad_reference.py in this folder (plain python3); do not edit by hand.")
    print("// T = 1/96000 s, F = 96000 Hz. Coefficients b0, b1, b2, a1, a2 as the designers write them;")
    print("// probes: frequency in Hz and the magnitude of the section (s times the coefficients) there.")
    print()
    print("struct sBiquadReferenceProbe")
    print("{")
    print("    double frequency;")
    print("    double magnitude;")
    print("};")
    print()
    print("struct sBiquadReferenceCase")
    print("{")
    print("    const char* label;")
    print("    const char* designer;")
    print("    double G;")
    print("    double f;")
    print("    double Q;")
    print("    double s;")
    print("    double coefficients[5];")
    print("    int probeCount;")
    print("    sBiquadReferenceProbe probes[3];")
    print("};")
    print()
    print("// clang-format off")
    print("static const sBiquadReferenceCase BIQUAD_REFERENCE_CASES[] = {")
    print("\n".join(rows))
    print("};")
    print("// clang-format on")


main()
