// The datum shift between Nepal 1981 (on the Everest 1830 ellipsoid) and
// WGS 84 that a user chooses, and its application to latitude and longitude.
//
// Every shift is two-dimensional, as the published EPSG:6208 is defined: the
// point is taken on the source ellipsoid (ellipsoidal height 0), converted to
// geocentric X, Y, Z, moved by the Helmert transformation, converted back to
// latitude and longitude on the target ellipsoid, and the height found there
// is dropped. Because of that drop a round trip WGS 84 → Nepal 1981 → WGS 84
// does not return exactly: in and around Nepal the dropped height (25 to 65 m)
// times the angle between the two ellipsoids' normals leaves up to 3.2e-8°
// of longitude (about 3 mm), the same as PROJ's pipeline for the operation.
#pragma once

#include <string>
#include <string_view>

#include "geodesy/Geocentric.h"
#include "geodesy/Helmert.h"
#include "geodesy/TransverseMercator.h"

namespace utm {

/// Latitude and longitude in decimal degrees, north and east positive.
struct LatLong {
    double latitude;
    double longitude;
};

/// EPSG:6208 "Nepal 1981 to WGS 84 (1)": a geocentric translation from
/// Nepal 1981 (Everest 1830) to WGS 84, in metres; area of use Nepal.
inline constexpr double kEpsg6208Tx = 293.17;
inline constexpr double kEpsg6208Ty = 726.18;
inline constexpr double kEpsg6208Tz = 245.36;
/// The published accuracy of EPSG:6208, metres.
inline constexpr double kEpsg6208AccuracyMetres = 0.3;

/// The largest magnitudes the seven parameters of a shift may have: 10 km of
/// translation, 1 degree (3600 arc-seconds) of rotation and 1000 ppm of
/// scale. Published shifts between datums stay far inside them (EPSG:6208
/// moves by 820 m; rotations are a few arc-seconds, scales a few ppm).
inline constexpr double kLargestTranslationMetres = 10000.0;
inline constexpr double kLargestRotationSeconds = 3600.0;
inline constexpr double kLargestScalePpm = 1000.0;

/// The datum shift a user chose: none (the default), the published EPSG:6208,
/// or seven Helmert parameters given by the user. The parameters always
/// describe the direction Nepal 1981 → WGS 84 (the direction of EPSG:6208);
/// the opposite direction applies their reverse. A small value type: copy it,
/// compare it, write it with ToString and read it back with Parse.
class DatumShift {
  public:
    enum class Method {
        None,      ///< no shift: latitude and longitude carried over unchanged
        Epsg6208,  ///< the published translation of EPSG:6208
        Helmert,   ///< seven parameters given by the user
    };

    /// No shift.
    DatumShift() = default;
    static DatumShift None() { return DatumShift(); }
    static DatumShift Epsg6208();
    /// Seven parameters from Nepal 1981 to WGS 84 in the convention they name.
    /// Throws ParameterError when a parameter is not finite or lies beyond
    /// its bound (kLargestTranslationMetres, kLargestRotationSeconds,
    /// kLargestScalePpm), naming the value and the bound.
    static DatumShift SevenParameters(const HelmertParameters& parameters);

    /// Reads the texts of the command line: `none`, `epsg6208`,
    /// `helmert-pv:TX,TY,TZ,RX,RY,RZ,S` (position vector, EPSG:9606) or
    /// `helmert-cf:TX,TY,TZ,RX,RY,RZ,S` (coordinate frame, EPSG:9607), with
    /// translations in metres, rotations in arc-seconds and scale in ppm.
    /// Names in any letter case; blanks around the text and around each value
    /// are allowed; numbers with "." as decimal point, an optional sign and
    /// exponent. Throws ParameterError, with a message naming the text and what
    /// is wrong, for an unknown name, values after `none` or `epsg6208`, other
    /// than seven values, an empty value, a value that is not a finite number,
    /// or a value beyond its bound (as SevenParameters).
    static DatumShift Parse(std::string_view text);

    Method method() const { return method_; }
    bool IsNone() const { return method_ == Method::None; }

    /// The parameters applied from Nepal 1981 to WGS 84: for EPSG:6208 its
    /// three translations with no rotation and no scale change; all zero for none.
    const HelmertParameters& parameters() const { return parameters_; }

    /// The text Parse reads back to an equal shift: `none`, `epsg6208`, or
    /// `helmert-pv:` / `helmert-cf:` with the seven values in the shortest
    /// form that reads back exactly.
    std::string ToString() const;

    friend bool operator==(const DatumShift&, const DatumShift&) = default;

  private:
    Method method_ = Method::None;
    HelmertParameters parameters_{};
};

/// A datum shift made ready for many points: the two ellipsoids' constants
/// and the Helmert matrix are formed once. Every operation is pure and
/// reentrant. With no shift each operation returns its input unchanged, bit
/// for bit. An operation whose result is not finite throws ArithmeticError.
class DatumTransformation {
  public:
    explicit DatumTransformation(const DatumShift& shift);

    /// True when the shift is none and every operation returns its input.
    bool IsNone() const { return none_; }

    /// Nepal 1981 (Everest 1830) latitude and longitude to WGS 84, radians.
    GeodeticPoint ToWGS84(GeodeticPoint nepal1981) const;
    /// WGS 84 latitude and longitude to Nepal 1981 (Everest 1830), radians.
    GeodeticPoint ToNepal1981(GeodeticPoint wgs84) const;

    /// The same in decimal degrees (converted as the rest of the program does,
    /// (π × degrees)/180 and (radians × 180)/π).
    LatLong ToWGS84(LatLong nepal1981) const;
    LatLong ToNepal1981(LatLong wgs84) const;

  private:
    bool none_;
    Geocentric everest_;
    Geocentric wgs84_;
    Helmert helmert_;
};

/// One point, degrees: Nepal 1981 to WGS 84 with `shift` (input unchanged with none).
LatLong Nepal1981ToWGS84(const DatumShift& shift, LatLong nepal1981);
/// One point, degrees: WGS 84 to Nepal 1981 with `shift` (input unchanged with none).
LatLong WGS84ToNepal1981(const DatumShift& shift, LatLong wgs84);

}  // namespace utm
