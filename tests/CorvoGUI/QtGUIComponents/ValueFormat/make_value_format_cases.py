#!/usr/bin/env python3
"""Writes ValueFormatCases.h: value and unit texts of the value formatters, computed exactly.

Run with plain python3 (no packages):
    python3 make_value_format_cases.py > ValueFormatCases.h
Every expected text is worked out in exact rational arithmetic (fractions, and decimal at 60 digits
for the powers of the time and frequency scales). Each case is also run through the same steps in
IEEE double (and single precision where a rule asks for it); a case whose double result differs
from the exact one, or that prints an exact tie, is refused, so the table holds no case that only a
rounding artefact of double arithmetic decides. Rows near rounding boundaries are searched out here.
"""
import math
import struct
import sys
from decimal import Decimal, getcontext
from fractions import Fraction as F

getcontext().prec = 60

MAX_TEXT_DECIMALS = 20
TIME_DECADES_PER_STEP = F(11, 65536)  # 0.0001678466796875
UNITS = {"dB": "dB", "us": "\u00b5s", "ms": "ms", "s": "s", "Hz": "Hz", "kHz": "kHz", "k": "k",
         "S": "S", "C": "\u00b0C", "F": "\u00b0F", "ft": "ft", "m": "m"}


class Refused(Exception):
    pass


# ---- exact arithmetic -------------------------------------------------------------------------

def gain_steps(code):
    return -32767 if code == 0 else code - 32768


def trunc_places(p, x):
    if not 0 <= p <= 4:
        return x
    return F(math.trunc(x * 10 ** p), 10 ** p)


def round_places(p, x):
    if not 0 <= p <= 4:
        return x
    y = x * 10 ** p
    k = math.floor(y + F(1, 2)) if y >= 0 else math.ceil(y - F(1, 2))
    return F(k, 10 ** p)


def round_integer(x):
    return round_places(0, x)


def fixed(x, p):
    """x with p decimals (p brought into 0..MAX_TEXT_DECIMALS), nearest; exact ties refused."""
    p = max(0, min(p, MAX_TEXT_DECIMALS))
    y = abs(x) * 10 ** p
    k = math.floor(y)
    rest = y - k
    if rest == F(1, 2):
        raise Refused("prints an exact tie")
    if rest > F(1, 2):
        k += 1
    if k == 0 and x < 0:
        raise Refused("prints a negative zero")
    digits = str(k).rjust(p + 1, "0")
    text = digits if p == 0 else digits[:-p] + "." + digits[-p:]
    return ("-" if x < 0 else "") + text


def exact_time(code):
    if code == 0:
        return F(0)
    exponent = (code - 1) * TIME_DECADES_PER_STEP
    power = Decimal(10) ** (Decimal(exponent.numerator) / Decimal(exponent.denominator))
    return F(power) / 10 ** 6


def exact_frequency(code):
    return 4 * F(Decimal(2) ** (Decimal(code) / Decimal(4608)))


def f32(x):
    return F(struct.unpack("f", struct.pack("f", float(x)))[0])


# ---- the rules, written once over a number model ----------------------------------------------
# A model supplies the arithmetic: exact (fractions) or double (Python floats, as the program).

class Exact:
    gain = staticmethod(lambda code: F(gain_steps(code), 256))
    time = staticmethod(exact_time)
    frequency = staticmethod(exact_frequency)
    trunc = staticmethod(trunc_places)
    round = staticmethod(round_places)
    fixed = staticmethod(fixed)
    num = staticmethod(F)


def d_trunc(p, x):
    if not 0 <= p <= 4:
        return x
    return math.trunc(x * 10.0 ** p) / 10.0 ** p


def d_round(p, x):
    if not 0 <= p <= 4:
        return x
    y = x * 10.0 ** p
    k = math.floor(y + 0.5) if y >= 0 else math.ceil(y - 0.5)
    return k / 10.0 ** p


def d_fixed(x, p):
    p = max(0, min(p, MAX_TEXT_DECIMALS))
    return "%.*f" % (p, x)


class Double:
    gain = staticmethod(lambda code: gain_steps(code) / 256.0)
    time = staticmethod(lambda code: 0.0 if code == 0 else math.pow(10.0, (code - 1) * 0.0001678466796875) * 1e-6)
    frequency = staticmethod(lambda code: 4.0 * math.pow(2.0, code / 4608.0))
    trunc = staticmethod(d_trunc)
    round = staticmethod(d_round)
    fixed = staticmethod(d_fixed)
    num = staticmethod(float)


TIME_BANDS = (0x1746, 0x2E8C, 0x45D2, 0x5D18, 0x745E, 0x8BA3, 0xA2E9, 0xBA2F)
DOUBLED_TIME_BANDS = (0x1045, 0x278B, 0x3ED0, 0x5616, 0x6D5C, 0x84A2, 0x9BE8, 0xB32E)


def unit(name, compress):
    return ("" if compress else " ") + UNITS[name]


def band_decimals(code, two, one):
    return 2 if code < two else (1 if code < one else 0)


def time_text(M, seconds, code, bands, compress):
    m2, m1, mend, n2, n1, nend, s2, s1 = bands
    if code < mend:
        x, d, u = seconds * M.num(1000000), band_decimals(code, m2, m1), "us"
    elif code < nend:
        x, d, u = seconds * M.num(1000), band_decimals(code, n2, n1), "ms"
    else:
        x, d, u = seconds, band_decimals(code, s2, s1), "s"
    return M.fixed(M.round(d, x), d), unit(u, compress)


def frequency_text(M, hz, compress, compact):
    if hz >= 1000:
        if compact:
            return M.fixed(M.round(1, hz / M.num(1000)), 1), unit("k", compress)
        return M.fixed(M.round(2, hz / M.num(1000)), 2), unit("kHz", compress)
    if hz >= 100:
        return M.fixed(M.round(0, hz), 0), unit("Hz", compress)
    return M.fixed(M.round(1, hz), 1), unit("Hz", compress)


def base_rule(M, t, v, p, c, e):
    db = lambda x: M.fixed(M.trunc(p, x), p)
    if t in (1, 4, 5):
        text = ("-Inf" if t != 5 else "<-40") if v == 0 else db(M.gain(v))
        return text, ("" if t == 4 else unit("dB", c))
    if t == 2:
        return M.fixed(M.trunc(p, M.gain(v)) + M.num(e) / M.num(256), p), unit("dB", c)
    if t == 3:
        if v == 0:
            return "-Inf", unit("dB", c)
        g = gain_steps(v)
        return db(M.num(0) if -51 <= g <= 51 else M.gain(v)), unit("dB", c)
    if t == 6:
        return time_text(M, M.time(v), v, TIME_BANDS, c)
    if t == 7:
        return time_text(M, M.time(0xFFFF - v), 0xFFFF - v, TIME_BANDS, c)
    if t == 8:
        return time_text(M, 2 * M.time(v), v, DOUBLED_TIME_BANDS, c)
    if t in (9, 10):
        return frequency_text(M, M.frequency(v), c, t == 10)
    if t == 11:
        return str(v), unit("S", c)
    if t == 12:
        return db(M.num(v - 32768) / M.num(256)), unit("C", c)
    if t == 13:
        celsius = (v - 32768) / 256.0  # exact in double
        fahrenheit = f32(f32(celsius * 1.8) + f32(32.0))  # the rule's single-precision steps
        return M.fixed(M.trunc(p, M.num(fahrenheit)), p), unit("F", c)
    if t == 14:
        return str(2 * v), ""
    if t == 16:
        return db(M.num(v) / M.num(256)), unit("s", c)
    if 17 <= t <= 20:
        return M.fixed(M.num(v) / M.num(10 ** (t - 16)), p), ""
    if t == 21:
        return str(v + 1), ""
    if t == 22:
        return str(v - 32768), ""
    if t in (23, 24):
        return M.fixed(M.num(v - 32768) / M.num(10 ** (t - 22)), p), ""
    if t == 25:
        return "0x%04x" % v, ""
    if t == 26:
        return "0x%04x0" % v, ""
    if t == 28:
        return str(v), "%"
    return str(v), ""


WIDTH_LABELS = ["3", "2.9", "2.8", "2.7", "2.6", "2.5", "2.4", "2.3", "2.2", "2.1", "2", "1.9", "1.8",
                "1.7", "1.6", "1.5", "1.4", "1.3", "1.2", "1.1", "1", "0.95", "0.9", "0.85", "0.8",
                "3/4", "0.7", "2/3", "0.6", "0.55", "0.5", "0.45", "0.4", "1/3", "0.3", "1/4", "0.2",
                "1/6", "0.13", "1/9", "0.09", "1/12", "1/16", "1/20", "1/24"]
GEQ_STEP = F(6144, 255)  # the rule's 24.094117647058823


def project_rule(M, t, v, p, c, e):
    """(value, units, report)"""
    seconds = M.num(v) / M.num(96000)
    if t == 27:
        return M.fixed(M.trunc(p, seconds * M.num(1000)), p), unit("ms", c), ""
    if t == 28:
        return M.fixed(M.trunc(p, seconds * M.num(e) * M.num(F("3.28") if M is Exact else 3.28)), p), unit("ft", c), ""
    if t == 29:
        return M.fixed(M.trunc(p, seconds * M.num(e)), p), unit("m", c), ""
    if t == 30:
        g = gain_steps(v)
        if g == 0:
            return "Inf", unit("ms", c), ""
        r = M.num(g) / M.num(256)
        d = abs((M.num(1) / (r / M.num(20))) * M.num(10))
        places = 2 if d < 100 else (1 if d < 1000 else 0)
        return M.fixed(M.trunc(places, d), places), unit("ms", c), ""
    if t == 31:
        if v // 256 >= 45:
            return "", "", "%d / 256 == %d >= NUMBER_OF_WIDTH_VALUES" % (v, v // 256)
        return WIDTH_LABELS[v // 256], "", ""
    if t == 32:
        if v == 37:
            return "     0", "", ""
        return ("L %2d" % (37 - v)) if v < 37 else ("R %2d" % (v - 37)), "", ""
    if t == 33:
        product = v * GEQ_STEP if M is Exact else v * 24.094117647058823
        code = (int(product) + 0x7400) % 65536
        value, units = base_rule(M, 1, code, p, c, e)
        return value, units, ""
    if t == 34:
        return "", "", ""
    return str(v), "", "Unhandled type: %d" % t


# ---- the cases --------------------------------------------------------------------------------

BASE_NAMES = ["NO_UNITS", "GAIN_OFFSET_DB", "PADDED_GAIN_OFFSET_DB", "GAIN_OFFSET_DB_FORCE_ZERO",
              "GAIN_OFFSET_DB_NO_UNITS", "GAIN_OFFSET_DB_SUB_40", "TIME_SEC", "TIME_SEC_INVERTED",
              "TIME_SEC_DOUBLED", "FREQ_HZ", "FREQ_HZ_COMPACT", "DELAY_TIME_SAMPLES", "TEMP_C", "TEMP_F",
              "DOUBLED_VALUE", "DONT_INTERPRET", "TIME_8_DOT_8_SECONDS", "RAW_DIVIDED_10",
              "RAW_DIVIDED_100", "RAW_DIVIDED_1000", "RAW_DIVIDED_10000", "RAW_PLUS_1", "RAW_OFFSET",
              "RAW_OFFSET_DIVIDED_10", "RAW_OFFSET_DIVIDED_100", "RAW_HEX", "RAW_HEX_SHIFTED_1",
              "DERIVED_TYPE", "PERCENTAGE"]
PROJECT_NAMES = {27: "DELAY_TIME_MS_96K", 28: "DELAY_DISTANCE_FT_96K", 29: "DELAY_DISTANCE_M_96K",
                 30: "DB_PER_FRAME_TO_MS_PER_10DB", 31: "FILTER_WIDTH", 32: "PAN", 33: "GEQ_BAND_GAIN",
                 34: "SUPPRESS_VALUE_OUPUT"}

cases = []  # (project, type, code, decimals, compress, exponent, note)


def base(t, code, p=1, c=False, e=0.0, note=""):
    cases.append((False, t, code, p, c, e, note))


def project(t, code, p=2, c=False, e=0.0, note=""):
    cases.append((True, t, code, p, c, e, note))


def codes_near_half(shown, low, high):
    """Codes in [low, high) whose shown number (x, decimals) lies closest below and above a
    rounding half; codes too close to call in double are passed over."""
    below = above = None
    for code in range(low, high):
        x, d = shown(code)
        rest = x * 10 ** d - math.floor(x * 10 ** d) - F(1, 2)
        if abs(rest) < F(1, 10 ** 7):
            continue
        if rest < 0 and (below is None or rest > below[0]):
            below = (rest, code)
        if rest > 0 and (above is None or rest < above[0]):
            above = (rest, code)
    return below[1], above[1]


def shown_time(bands, factor):
    def shown(code):
        seconds = exact_time(code) * factor
        m2, m1, mend, n2, n1, nend, s2, s1 = bands
        if code < mend:
            return seconds * 10 ** 6, band_decimals(code, m2, m1)
        if code < nend:
            return seconds * 1000, band_decimals(code, n2, n1)
        return seconds, band_decimals(code, s2, s1)
    return shown


def shown_frequency(code):
    hz = exact_frequency(code)
    if hz >= 1000:
        return hz / 1000, 2
    return (hz, 0) if hz >= 100 else (hz, 1)


# Plain numbers: types without a rule of their own, and types outside the enumeration.
for t, code in ((0, 0), (0, 65535), (15, 1234), (27, 27), (29, 4660), (-1, 77)):
    base(t, code, p=2)
# Gains.
for code, p, c in ((0, 1, False), (0, 1, True), (0x8000, 1, False), (0x8001, 1, False), (0x7FE6, 1, False),
                   (0x7FFF, 1, False), (0xFFFF, 1, False), (1, 1, False), (0x8033, 2, False),
                   (0x8100, 0, True), (0x7FE6, 5, False), (0x8100, 1000, False), (0x81C0, -1, False)):
    base(1, code, p, c)
for code, p, e in ((0x8000, 0, -5120.0), (0x8000, 0, 0.0), (0, 1, 0.0), (0x8180, 0, -5120.0),
                   (0x8180, 1, -100.0)):
    base(2, code, p, e=e)
for code in (0, 0x8033, 0x7FCD, 0x8034, 0x7FCC, 0xFFFF):
    base(3, code, 1)
for code in (0, 0x8100):
    base(4, code, 1)
for code, c in ((0, False), (0, True), (0x8000, False)):
    base(5, code, 1, c)
# Times: every band edge, both sides; the ends; rounding halves; DecimalPlaces is ignored.
for code in (0, 1, 0x1745, 0x1746, 0x2E8B, 0x2E8C, 0x45D1, 0x45D2, 0x5D17, 0x5D18, 0x745D, 0x745E, 0x8BA2,
             0x8BA3, 0xA2E8, 0xA2E9, 0xBA2E, 0xBA2F, 0xFFFF):
    base(6, code, 3)
base(6, 0x45D2, 0, True)
for low, high in ((1, 0x1746), (0x5D18, 0x745E), (0xBA2F, 0x10000)):
    for code in codes_near_half(shown_time(TIME_BANDS, 1), low, high):
        base(6, code, 0, note="near a rounding half")
for code in (0xFFFF, 0, 0xBA2E, 0xBA2D, 0x745C):
    base(7, code, 0)
for code in (0, 0x1044, 0x1045, 0x278A, 0x278B, 0x3ECF, 0x3ED0, 0x5615, 0x5616, 0x6D5B, 0x6D5C, 0x84A1,
             0x84A2, 0x9BE7, 0x9BE8, 0xB32D, 0xB32E, 0xFFFF):
    base(8, code, 0)
for code in codes_near_half(shown_time(DOUBLED_TIME_BANDS, 2), 0x278B, 0x3ED0):
    base(8, code, 0, note="near a rounding half")
# Frequencies: 4 Hz, the band edges at 100 Hz and 1 kHz (the band is chosen before rounding), the top.
for code, c in ((0, False), (4608, False), (21398, False), (21399, False), (36706, False), (36707, False),
                (46080, True), (65535, False)):
    base(9, code, 0, c)
for low, high in ((0, 21399), (21399, 36707), (36707, 65536)):
    for code in codes_near_half(shown_frequency, low, high):
        base(9, code, 0, note="near a rounding half")
for code, c in ((0, False), (21398, False), (36706, False), (36707, False), (41315, True), (65535, True)):
    base(10, code, 0, c)
for code in (0, 65535):
    base(11, code, 0)
for code, p in ((0x8000, 1), (0x8100, 1), (0x7F00, 1), (0x7FE6, 1), (0, 1), (0xFFFF, 2), (0x80C0, 0),
                (0x8001, 6)):
    base(12, code, p)
for code, p in ((0x8100, 1), (0x8000, 1), (0, 1), (0xFFFF, 0), (0x7000, 2)):
    base(13, code, p)
for code in (0, 65535):
    base(14, code, 0)
for code, p in ((0x0180, 1), (0xFFFF, 1), (0x0133, 2), (0, 0)):
    base(16, code, p)
for t, code, p in ((17, 12345, 1), (17, 12346, 0), (17, 12345, 6), (18, 12345, 2), (18, 12346, 1),
                   (19, 12345, 3), (19, 65535, 1), (20, 12345, 4), (20, 65535, 4), (20, 1, 2)):
    base(t, code, p)
for code in (0, 65535):
    base(21, code, 0)
for code in (0, 0xFFFF, 0x8000):
    base(22, code, 0)
for t, code, p in ((23, 0, 1), (23, 0xFFFF, 1), (23, 0x8001, 2), (24, 0, 2), (24, 0xFFFF, 2),
                   (24, 0x8001, 1)):
    base(t, code, p)
for t, code in ((25, 0x1A), (25, 0), (25, 0xFFFF), (26, 0x1A), (26, 0xFF), (26, 0xFFFF)):
    base(t, code, 0)
for code, c in ((50, False), (50, True), (65535, False)):
    base(28, code, 0, c)

# Project types.
for code, p, c in ((96, 2, False), (1, 2, False), (0, 2, False), (65535, 2, True), (4800, 0, False),
                   (123, 4, False)):
    project(27, code, p, c)
for code, e in ((48000, 343.0), (96, 343.0), (9601, -5120.0), (65535, 343.0)):
    project(28, code, 2, e=e)
for code, c, e in ((48000, False, 343.0), (48000, True, 343.0), (1, False, 343.0), (9601, False, -5120.0)):
    project(29, code, 2, c, e)
for code in (0x7F00, 0x8100, 0x8080, 0x8A00, 0x8000, 0x8001, 0x7FFF, 0, 0xFFFF, 0x8200, 0x8201, 0x8033):
    project(30, code, 4)
project(30, 0x8000, 4, True)
for code in (0, 0x00FF, 0x1400, 0x14FF, 0x1900, 0x1B00, 0x2C00, 0x2CFF, 0x2D00, 0xFFFF):
    project(31, code, 0)
for code in (37, 0, 36, 74, 40, 27, 65535):
    project(32, code, 0)
for code, p, c in ((0, 1, False), (255, 1, False), (128, 1, False), (85, 1, False), (170, 2, True),
                   (1, 2, False), (65535, 1, False)):
    project(33, code, p, c)
for code in (0, 12345):
    project(34, code, 2)
for t in (26, 35, 0):
    project(t, 12, 0)


# ---- output ------------------------------------------------------------------------------------

def run(M, pr, t, code, p, c, e):
    if pr:
        return project_rule(M, t, code, p, c, e)
    return base_rule(M, t, code, p, c, e) + ("",)


def c_string(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


def type_name(pr, t):
    if pr:
        return PROJECT_NAMES.get(t, "type %d" % t)
    return BASE_NAMES[t] if 0 <= t < len(BASE_NAMES) else "type %d" % t


rows = []
for pr, t, code, p, c, e, note in cases:
    label = "%s %s 0x%04X p%d%s%s%s" % ("project" if pr else "base", type_name(pr, t), code, p,
                                        " compressed" if c else "", " exponent %g" % e if e else "",
                                        " (%s)" % note if note else "")
    try:
        exact = run(Exact, pr, t, code, p, c, e)
    except Refused as refusal:
        sys.exit("refused %s: %s" % (label, refusal))
    double = run(Double, pr, t, code, p, c, e)
    if exact != double:
        sys.exit("refused %s: exact %r, double %r" % (label, exact, double))
    if label in (r[0] for r in rows):
        sys.exit("duplicate case " + label)
    rows.append((label, pr, t, code, p, c, e, exact))

out = sys.stdout
out.write("""#pragma once

// Generated by make_value_format_cases.py in this folder (plain python3); do not edit by hand.
// Value and unit texts worked out in exact arithmetic; report: text of the one error report the
// case gives (empty: none).

struct sValueFormatCase
{
    const char* label;
    bool project;
    int type;
    int code;
    int decimals;
    bool compress;
    double exponent;
    const char* value;
    const char* units;
    const char* report;
};

// clang-format off
static const sValueFormatCase VALUE_FORMAT_CASES[] = {
""")
for label, pr, t, code, p, c, e, (value, units, report) in rows:
    out.write("    {%s, %s, %d, 0x%04X, %d, %s, %r, %s, %s, %s},\n" % (
        c_string(label), "true" if pr else "false", t, code, p, "true" if c else "false", float(e),
        c_string(value), c_string(units), c_string(report)))
out.write("};\n// clang-format on\n")
