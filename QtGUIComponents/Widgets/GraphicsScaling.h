#pragma once

// The process-wide scaling factors of the drawn widget images, and the integer mappings the
// painters use. The factors start at 1.0; every operation may be called from any thread.

// The screen scaling factor (published to QML as "_screenScalingFactor").
double GetScreenScalingFactor();
// The font scaling factor (published to QML as "_fontScalingFactor").
double GetFontScalingFactor();
// Sets the screen and the font factor to one value.
void SetScalingFactors(double factor);
double GetAuxiliaryScalingFactor();
void SetAuxiliaryScalingFactor(double factor);
// Always 1.0.
double GetUnitScalingFactor();

// The results below that are not finite give 0 and those beyond an int are held at its limits.

// length / (high - low) x (value - low) in single precision, rounded half away from zero; 0 when
// high equals low (no range).
int ValueToPixel(int value, int low, int high, int length);
// floor(scale x (value - offset)).
int ValueToPixelFloor(int value, float scale, int offset);
// (value - offset) x scale.
float ValueToPixelF(int value, float scale, int offset);
// offset + ceil(a / b).
int CeilOffset(float a, float b, int offset);
// length truncated to an integer above high, 0 below low, else (value - low) x scale.
float ClampedValueToPixel(int value, float scale, int low, int high, float length);

// A float toward zero as an int: 0 when not finite, the int's limits beyond them.
int TruncatedToInt(double value);
