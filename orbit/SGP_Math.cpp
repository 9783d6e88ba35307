#include "orbit/SGP_Math.h"

#include <cmath>
#include <cstdint>

namespace elsetry {

double Power(double Base, double Exponent)
{
    if (!(Base > 0.0))
        throw EMathError("Invalid argument in Function Power!");
    return Finite(std::exp(Exponent * std::log(Base)));
}

double CubeOf(double X)
{
    return X * X * X;
}

double DegToRad(double X)
{
    return X * Pi / 180.0;
}

double PositiveModulus(double A, double B)
{
    const double quotient = Divide(A, B);
    // The quotient must fit the 64-bit integer that trunc goes through.
    if (!(std::fabs(quotient) < 9.2e18))
        throw EMathError("Floating point overflow");
    const double r = A - B * static_cast<double>(static_cast<std::int64_t>(quotient));
    return r >= 0.0 ? r : r + B;
}

double WrapTwoPi(double X)
{
    return PositiveModulus(X, TwoPi);
}

double QuadrantArcTan(double S, double C)
{
    if (C == 0.0)
        return S > 0.0 ? Pi / 2.0 : 3.0 * Pi / 2.0;
    const double angle = std::atan(Divide(S, C));
    return C > 0.0 ? angle : angle + Pi;
}

void RaiseDivisionByZero()
{
    throw EMathError("Division by zero");
}

void RaiseInvalidOperation()
{
    throw EMathError("Invalid floating point operation");
}

void RaiseOverflow()
{
    throw EMathError("Floating point overflow");
}

} // namespace elsetry
