// The exact results of the one-point conversions behind utmconv point,
// transfer and transform, for the Python module's tests: reads pairs of
// numbers (two a line, decimal or hexadecimal, nan and inf too) on standard
// input and writes, a line for each, the two results as hexadecimal floats,
// or "! " and the error's message when the conversion throws.
//
//   utm_python_probe to-xy|to-latlong everest|wgs84 everest|wgs84 CM
//   utm_python_probe transfer KIND SHIFT
//   utm_python_probe transform FROM TO SHIFT
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <functional>
#include <string>

#include "geodesy/ArithmeticError.h"
#include "geodesy/DatumShift.h"
#include "geodesy/GridTransform.h"
#include "geodesy/PointConversion.h"
#include "operations/TransferKind.h"

namespace {

using Conversion = std::function<utm::CoordinatePair(double, double)>;

int Run(const Conversion& convert) {
    char line[512];
    while (std::fgets(line, sizeof line, stdin) != nullptr) {
        char* end = nullptr;
        const double first = std::strtod(line, &end);
        const double second = std::strtod(end, nullptr);
        try {
            const utm::CoordinatePair r = convert(first, second);
            std::printf("%a %a\n", r.first, r.second);
        } catch (const utm::ArithmeticError& e) {
            std::printf("! %s\n", e.what());
        }
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}

int Usage() {
    std::fputs(
        "usage: utm_python_probe to-xy|to-latlong ELLIPSOID LATLONG_DATUM CM\n"
        "       utm_python_probe transfer KIND SHIFT\n"
        "       utm_python_probe transform FROM TO SHIFT\n",
        stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const std::string operation = argc > 1 ? argv[1] : "";
        if ((operation == "to-xy" || operation == "to-latlong") && argc == 5) {
            const utm::PointConversion conversion(std::strcmp(argv[2], "wgs84") == 0,
                                                  std::strcmp(argv[3], "wgs84") == 0,
                                                  std::strtod(argv[4], nullptr));
            if (operation == "to-xy") {
                return Run([&](double a, double b) {
                    const utm::GridPoint p = conversion.ToXY(a, b);
                    return utm::CoordinatePair{p.x, p.y};
                });
            }
            return Run([&](double a, double b) {
                const utm::LatLong g = conversion.ToLatLong(a, b);
                return utm::CoordinatePair{g.latitude, g.longitude};
            });
        }
        if (operation == "transfer" && argc == 4) {
            const utm::GridTransform transform =
                utm::TransformOfKind(std::atoi(argv[2]), utm::DatumShift::Parse(argv[3]));
            return Run([&](double a, double b) { return transform.Apply(a, b); });
        }
        if (operation == "transform" && argc == 5) {
            const utm::GridTransform transform(utm::ParseCoordinateSystem(argv[2]),
                                               utm::ParseCoordinateSystem(argv[3]),
                                               utm::DatumShift::Parse(argv[4]));
            return Run([&](double a, double b) { return transform.Apply(a, b); });
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "utm_python_probe: %s\n", e.what());
        return 2;
    }
    return Usage();
}
