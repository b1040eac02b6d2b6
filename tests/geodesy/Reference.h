// The forward and inverse series written out term by term with std::pow and a
// sine per multiple angle: a literal reading of the formulas that the fast
// implementation must agree with.
#pragma once

#include <cmath>

#include "geodesy/Ellipsoid.h"

namespace utm::test {

inline void ReferenceForward(const Ellipsoid& el, double k0, double phi, double lambda,
                             double lambda0, double& x, double& y) {
    const double e2s = 1 - (el.b * el.b) / (el.a * el.a);
    const double e = std::sqrt(e2s);
    const double e2 = std::pow(e, 2), e4 = std::pow(e, 4), e6 = std::pow(e, 6);
    const double ep = std::sqrt(e2 / (1 - e2));
    const double A = (lambda - lambda0) * std::cos(phi);
    const double C = std::pow(std::cos(phi) * ep, 2);
    const double T = std::pow(std::tan(phi), 2);
    const double M =
        el.a * ((1 - e2 / 4 - (3.0 / 64) * e4 - (5.0 / 256) * e6) * phi -
                ((3.0 / 8) * e2 + (3.0 / 32) * e4 + (45.0 / 1024) * e6) * std::sin(2 * phi) +
                ((15.0 / 256) * e4 + (45.0 / 1024) * e6) * std::sin(4 * phi) -
                (35.0 / 3072) * e6 * std::sin(6 * phi));
    const double N = el.a / std::sqrt(1 - std::pow(std::sin(phi) * e, 2));
    x = (std::pow(A, 3) * (1 - T + C) / 6 + A +
         std::pow(A, 5) * (std::pow(T, 2) + (5 - 18 * T) + 72 * C - 58 * std::pow(ep, 2)) / 120) *
            (N * k0) +
        500000;
    y = ((std::pow(A, 2) / 2 +
          (std::pow(A, 4) * (4 * std::pow(C, 2) + (5 - T + 9 * C)) / 24 +
           std::pow(A, 6) * (std::pow(T, 2) + (61 - 58 * T) + 600 * C - 330 * std::pow(ep, 2)) /
               720)) *
             (std::tan(phi) * N) +
         M) *
        k0;
}

inline void ReferenceInverse(const Ellipsoid& el, double k0, double x, double y, double lambda0,
                             double& phi, double& lambda) {
    const double e2s = 1 - (el.b * el.b) / (el.a * el.a);
    const double e = std::sqrt(e2s);
    const double e2 = std::pow(e, 2), e4 = std::pow(e, 4), e6 = std::pow(e, 6);
    const double ep = std::sqrt(e2 / (1 - e2));
    const double e1 = (1 - std::sqrt(1 - e2)) / (std::sqrt(1 - e2) + 1);
    const double M = y / k0;
    const double mu = M / (el.a * (1 - e2 / 4 - (3.0 / 64) * e4 - (5.0 / 256) * e6));
    const double phi1 = mu + (1.5 * e1 - 0.84375 * std::pow(e1, 3)) * std::sin(2 * mu) +
                        (1.3125 * std::pow(e1, 2) - 1.71875 * std::pow(e1, 4)) * std::sin(4 * mu) +
                        (151.0 / 96) * std::pow(e1, 3) * std::sin(6 * mu) +
                        2.142578125 * std::pow(e1, 4) * std::sin(8 * mu);
    const double N1 = el.a / std::sqrt(1 - std::pow(std::sin(phi1) * e, 2));
    const double R1 = (1 - e2) * el.a / std::pow(1 - e2 * std::pow(std::sin(phi1), 2), 1.5);
    const double C1 = std::pow(std::cos(phi1) * ep, 2);
    const double T1 = std::pow(std::tan(phi1), 2);
    const double D = (x - 500000) / (k0 * N1);
    const double ep2 = std::pow(ep, 2);
    phi = phi1 - (std::tan(phi1) * N1 / R1) *
                     (std::pow(D, 2) / 2 -
                      std::pow(D, 4) * (5 + 3 * T1 + 10 * C1 - 4 * std::pow(C1, 2) - 9 * ep2) / 24 +
                      std::pow(D, 6) *
                          (61 + 90 * T1 + 298 * C1 + 45 * std::pow(T1, 2) - 252 * ep2 -
                           3 * std::pow(C1, 2)) /
                          720);
    lambda =
        lambda0 +
        (D - std::pow(D, 3) * (1 + 2 * T1 + C1) / 6 +
         std::pow(D, 5) *
             (5 - 2 * C1 + 28 * T1 - 3 * std::pow(C1, 2) + 8 * ep2 + 24 * std::pow(T1, 2)) / 120) /
            std::cos(phi1);
}

}  // namespace utm::test
