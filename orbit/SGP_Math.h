#pragma once
// Maths functions of the orbit model and the element decoder.

#include <cmath>
#include <stdexcept>
#include <string>

namespace elsetry {

// An arithmetic failure: a floating-point fault or an argument outside a function's domain.
// The model and the decoder stop with it instead of going on with infinities or NaNs.
class EMathError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr double Pi = 3.14159265358979323846;
inline constexpr double TwoPi = 6.283185307179586;

// exp(Exponent * ln Base); Base must be greater than 0.
double Power(double Base, double Exponent);
double CubeOf(double X);
double DegToRad(double X);
// A - B * trunc(A / B), shifted by B when negative.
double PositiveModulus(double A, double B);
double WrapTwoPi(double X);
// Angle whose sine and cosine are proportional to S and C, in (-pi/2, 3pi/2].
double QuadrantArcTan(double S, double C);

// Checked operations: each raises EMathError where plain arithmetic would give inf or NaN.
// Inline, since the orbit model runs them dozens of times per element set.
[[noreturn]] void RaiseDivisionByZero();
[[noreturn]] void RaiseInvalidOperation();
[[noreturn]] void RaiseOverflow();

// Raises EMathError when X is infinite or NaN (an overflow or invalid operation upstream).
inline double Finite(double X)
{
    if (std::isnan(X))
        RaiseInvalidOperation();
    if (std::isinf(X))
        RaiseOverflow();
    return X;
}

inline double Divide(double Numerator, double Denominator)
{
    if (Denominator == 0.0)
        RaiseDivisionByZero();
    return Finite(Numerator / Denominator);
}

inline double SquareRoot(double X)
{
    if (X < 0.0 || std::isnan(X))
        RaiseInvalidOperation();
    return Finite(std::sqrt(X));
}

} // namespace elsetry
