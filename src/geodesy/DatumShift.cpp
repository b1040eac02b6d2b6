// Transformations between geographic coordinate reference systems through
// geocentric coordinates, as in IOGP Publication 373-7-2 (EPSG Guidance
// Note 7-2), section 2.4.4.1 "Transformations using geocentric methods":
// geographic 2D → geocentric (section 2.2.1, height 0) → geocentric
// translation (section 2.4.3.1, EPSG method 9603) or Helmert 7-parameter
// transformation (section 2.4.3.2, methods 9606 and 9607) → geographic 2D on
// the target ellipsoid (the height dropped).
#include "geodesy/DatumShift.h"

#include <array>
#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

#include "geodesy/Angles.h"
#include "geodesy/ArithmeticError.h"
#include "geodesy/Ellipsoid.h"
#include "geodesy/NameText.h"
#include "geodesy/ParameterError.h"

namespace utm {

namespace {

using name_text::EqualsIgnoringCase;
using name_text::TrimBlanks;

constexpr std::string_view kNone = "none";
constexpr std::string_view kEpsg6208 = "epsg6208";
constexpr std::string_view kHelmertPV = "helmert-pv";
constexpr std::string_view kHelmertCF = "helmert-cf";
constexpr std::array<std::string_view, 7> kValueNames = {"TX", "TY", "TZ", "RX", "RY", "RZ", "S"};

std::string Quoted(std::string_view text) {
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += '"';
    quoted.append(text);
    quoted += '"';
    return quoted;
}

/// The whole of `text` as a finite number ("." as decimal point, optional
/// sign and exponent), or false.
bool ReadNumber(std::string_view text, double& value) {
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && (text.front() == '+' || text.front() == '-')) return false;
    }
    if (text.empty()) return false;
    double v = 0.0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), v, std::chars_format::general);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(v)) {
        return false;
    }
    value = v;
    return true;
}

std::string ShortestText(double value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

void RequireUsableParameters(const HelmertParameters& p, std::string_view context) {
    const double values[] = {p.tx, p.ty, p.tz, p.rx, p.ry, p.rz, p.scalePpm};
    for (std::size_t i = 0; i < kValueNames.size(); ++i) {
        if (!std::isfinite(values[i])) {
            throw ParameterError(std::string(context) + ": value " + std::to_string(i + 1) + " (" +
                                 std::string(kValueNames[i]) + ") is not a finite number");
        }
    }
    // Bounds far beyond any published shift between two datums, which stop
    // a slip of the keyboard (a rotation in degrees or radians, a scale as a
    // factor) from giving positions kilometres away.
    const double bounds[] = {kLargestTranslationMetres, kLargestTranslationMetres,
                             kLargestTranslationMetres, kLargestRotationSeconds,
                             kLargestRotationSeconds,   kLargestRotationSeconds,
                             kLargestScalePpm};
    const char* const units[] = {" m", " m", " m", "\u2033", "\u2033", "\u2033", " ppm"};
    const char* const kinds[] = {"a translation", "a translation", "a translation", "a rotation",
                                 "a rotation",    "a rotation",    "the scale"};
    for (std::size_t i = 0; i < kValueNames.size(); ++i) {
        if (std::fabs(values[i]) > bounds[i]) {
            const std::string bound = ShortestText(bounds[i]);
            throw ParameterError(std::string(context) + ": value " + std::to_string(i + 1) + " (" +
                                 std::string(kValueNames[i]) + ") " + ShortestText(values[i]) +
                                 units[i] + " lies outside -" + bound + " to " + bound + units[i] +
                                 ", the bounds for " + kinds[i]);
        }
    }
}

std::string ExpectedForms() {
    return "expected none, epsg6208, helmert-pv:TX,TY,TZ,RX,RY,RZ,S or "
           "helmert-cf:TX,TY,TZ,RX,RY,RZ,S";
}

}  // namespace

DatumShift DatumShift::Epsg6208() {
    DatumShift shift;
    shift.method_ = Method::Epsg6208;
    shift.parameters_.tx = kEpsg6208Tx;
    shift.parameters_.ty = kEpsg6208Ty;
    shift.parameters_.tz = kEpsg6208Tz;
    return shift;
}

DatumShift DatumShift::SevenParameters(const HelmertParameters& parameters) {
    RequireUsableParameters(parameters, "seven-parameter datum shift");
    DatumShift shift;
    shift.method_ = Method::Helmert;
    shift.parameters_ = parameters;
    return shift;
}

DatumShift DatumShift::Parse(std::string_view text) {
    const std::string context = "datum shift " + Quoted(text);
    const std::string_view trimmed = TrimBlanks(text);
    const std::size_t colon = trimmed.find(':');
    const std::string_view name = TrimBlanks(trimmed.substr(0, colon));
    const bool hasValues = colon != std::string_view::npos;

    if (EqualsIgnoringCase(name, kNone) || EqualsIgnoringCase(name, kEpsg6208)) {
        if (hasValues) {
            throw ParameterError(context + ": " + std::string(name) + " takes no values");
        }
        return EqualsIgnoringCase(name, kNone) ? None() : Epsg6208();
    }

    HelmertParameters p;
    if (EqualsIgnoringCase(name, kHelmertPV)) {
        p.convention = HelmertConvention::PositionVector;
    } else if (EqualsIgnoringCase(name, kHelmertCF)) {
        p.convention = HelmertConvention::CoordinateFrame;
    } else {
        throw ParameterError("unknown datum shift " + Quoted(text) + ": " + ExpectedForms());
    }
    if (!hasValues) {
        throw ParameterError(context + ": seven values expected after \"" + std::string(name) +
                             ":\" (TX,TY,TZ,RX,RY,RZ,S)");
    }

    std::string_view rest = trimmed.substr(colon + 1);
    std::array<std::string_view, 7> fields;
    std::size_t count = 0;
    while (true) {
        const std::size_t comma = rest.find(',');
        const std::string_view field = rest.substr(0, comma);
        if (count < fields.size()) fields[count] = field;
        ++count;
        if (comma == std::string_view::npos) break;
        rest.remove_prefix(comma + 1);
    }
    if (count != fields.size()) {
        throw ParameterError(context + ": " + std::to_string(count) +
                             (count == 1 ? " value" : " values") +
                             " given, 7 expected (TX,TY,TZ,RX,RY,RZ,S)");
    }

    double* const targets[] = {&p.tx, &p.ty, &p.tz, &p.rx, &p.ry, &p.rz, &p.scalePpm};
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::string_view field = TrimBlanks(fields[i]);
        const std::string position =
            "value " + std::to_string(i + 1) + " (" + std::string(kValueNames[i]) + ")";
        if (field.empty()) throw ParameterError(context + ": " + position + " is empty");
        if (!ReadNumber(field, *targets[i])) {
            throw ParameterError(context + ": " + position + " " + Quoted(field) +
                                 " is not a number");
        }
    }
    RequireUsableParameters(p, context);
    DatumShift shift;
    shift.method_ = Method::Helmert;
    shift.parameters_ = p;
    return shift;
}

std::string DatumShift::ToString() const {
    switch (method_) {
        case Method::None:
            return std::string(kNone);
        case Method::Epsg6208:
            return std::string(kEpsg6208);
        case Method::Helmert:
            break;
    }
    const HelmertParameters& p = parameters_;
    std::string text(p.convention == HelmertConvention::PositionVector ? kHelmertPV : kHelmertCF);
    text += ':';
    const double values[] = {p.tx, p.ty, p.tz, p.rx, p.ry, p.rz, p.scalePpm};
    for (std::size_t i = 0; i < std::size(values); ++i) {
        if (i > 0) text += ',';
        text += ShortestText(values[i]);
    }
    return text;
}

DatumTransformation::DatumTransformation(const DatumShift& shift)
    : none_(shift.IsNone()), everest_(Everest1830), wgs84_(WGS84), helmert_(shift.parameters()) {}

GeodeticPoint DatumTransformation::ToWGS84(GeodeticPoint nepal1981) const {
    if (none_) return nepal1981;
    const GeodeticPoint g = wgs84_.Reverse(helmert_.Forward(everest_.Forward(nepal1981)));
    RequireFinite("the datum shift to WGS 84", g.phi, g.lambda);
    return g;
}

GeodeticPoint DatumTransformation::ToNepal1981(GeodeticPoint wgs84) const {
    if (none_) return wgs84;
    const GeodeticPoint g = everest_.Reverse(helmert_.Reverse(wgs84_.Forward(wgs84)));
    RequireFinite("the datum shift to Nepal 1981", g.phi, g.lambda);
    return g;
}

LatLong DatumTransformation::ToWGS84(LatLong nepal1981) const {
    if (none_) return nepal1981;
    const GeodeticPoint g = ToWGS84(
        GeodeticPoint{DegreesToRadians(nepal1981.latitude), DegreesToRadians(nepal1981.longitude)});
    return LatLong{RadiansToDegrees(g.phi), RadiansToDegrees(g.lambda)};
}

LatLong DatumTransformation::ToNepal1981(LatLong wgs84) const {
    if (none_) return wgs84;
    const GeodeticPoint g = ToNepal1981(
        GeodeticPoint{DegreesToRadians(wgs84.latitude), DegreesToRadians(wgs84.longitude)});
    return LatLong{RadiansToDegrees(g.phi), RadiansToDegrees(g.lambda)};
}

LatLong Nepal1981ToWGS84(const DatumShift& shift, LatLong nepal1981) {
    return DatumTransformation(shift).ToWGS84(nepal1981);
}

LatLong WGS84ToNepal1981(const DatumShift& shift, LatLong wgs84) {
    return DatumTransformation(shift).ToNepal1981(wgs84);
}

}  // namespace utm
