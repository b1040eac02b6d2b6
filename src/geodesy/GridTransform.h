// Transformations between any two coordinate systems of the program: the five
// grids and latitude/longitude on either datum, with a datum shift wherever
// the path crosses between WGS 84 and Nepal 1981 (Everest 1830).
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "geodesy/DatumShift.h"
#include "geodesy/Ellipsoid.h"
#include "geodesy/GridDefinition.h"

namespace utm {

/// The coordinate systems a transformation runs between.
enum class CoordinateSystem {
    Everest81,       ///< `everest81`: Everest 1830 grid, λ0 81° E (k0 0.9999)
    Everest84,       ///< `everest84`: Everest 1830 grid, λ0 84° E
    Everest87,       ///< `everest87`: Everest 1830 grid, λ0 87° E
    WGS84Zone44,     ///< `wgs84-44`: WGS84 UTM zone 44, λ0 81° E (k0 0.9996)
    WGS84Zone45,     ///< `wgs84-45`: WGS84 UTM zone 45, λ0 87° E
    LatLongEverest,  ///< `latlong-everest`: latitude/longitude on Nepal 1981 (Everest 1830)
    LatLongWGS84,    ///< `latlong-wgs84`: latitude/longitude on WGS 84
};

/// Every system, in the order above.
inline constexpr std::array<CoordinateSystem, 7> kCoordinateSystems = {
    CoordinateSystem::Everest81,    CoordinateSystem::Everest84,   CoordinateSystem::Everest87,
    CoordinateSystem::WGS84Zone44,  CoordinateSystem::WGS84Zone45, CoordinateSystem::LatLongEverest,
    CoordinateSystem::LatLongWGS84,
};

/// The command-line name of `system` (`everest81` ... `latlong-wgs84`).
std::string_view NameOf(CoordinateSystem system);

/// The system named `text` (names as NameOf gives them, in any letter case,
/// blanks around allowed). Throws ParameterError naming the text and the
/// seven names for anything else.
CoordinateSystem ParseCoordinateSystem(std::string_view text);

/// The ellipsoid of the system's datum: Everest 1830 for the Everest grids and
/// `latlong-everest`, WGS84 for the WGS84 grids and `latlong-wgs84`.
const Ellipsoid& EllipsoidOf(CoordinateSystem system);

/// The grid of the system, or nullptr for the two latitude/longitude systems.
const GridDefinition* GridOf(CoordinateSystem system);

/// True when a path from `from` to `to` crosses between WGS 84 and Everest
/// 1830, so that a datum shift applies to it (and, with none, the result is
/// a pure re-projection that differs from an EPSG:6208-shifted one by 164 to 274 m
/// on the Everest-84 grid over the area of use of EPSG:6208).
bool CrossesDatum(CoordinateSystem from, CoordinateSystem to);

/// One coordinate pair in the order of the data files: easting X then
/// northing Y (metres, false easting included) on a grid; latitude then
/// longitude (decimal degrees, north and east positive) on a latitude/longitude
/// system.
struct CoordinatePair {
    double first;
    double second;
};

/// A transformation from one coordinate system to another, made ready for
/// many points. Apply runs:
///   1. on a source grid, the inverse series of that grid (radians, then to
///      degrees); on a latitude/longitude source, the pair as given;
///   2. when the path crosses datums and the shift is not none, the datum shift
///      (WGS 84 → Nepal 1981 or Nepal 1981 → WGS 84, see DatumShift.h);
///   3. on a target grid, the forward series of that grid (degrees to radians);
///      on a latitude/longitude target, the pair in degrees.
/// This is the order of steps of ClsUTM's transfers, so with no shift (or on a
/// path that stays on one datum) the result equals the corresponding ClsUTM
/// operation bit for bit: wgs84-44 → everest84 is XYwgs81ToXYEverest84,
/// latlong-everest → everest84 is LatLongToXYEverest(lat, long, 84), everest84
/// → latlong-everest is XYToLatLongEverest(x, y, 84) in degrees, and so on.
/// Apply is pure and reentrant; a step whose result is not finite throws
/// ArithmeticError.
class GridTransform {
  public:
    GridTransform(CoordinateSystem from, CoordinateSystem to, const DatumShift& shift = {});

    CoordinatePair Apply(double first, double second) const;
    CoordinatePair Apply(CoordinatePair point) const { return Apply(point.first, point.second); }
    /// Apply for `count` points at once, bit for bit, except that a point
    /// for which Apply throws gets results that are not finite instead: the
    /// caller runs Apply on it again for the error. Without a datum shift the
    /// series run a block at a time (see ForwardSeriesBlock). Arrays may not
    /// overlap.
    void ApplyBlock(std::size_t count, const double* first, const double* second,
                    double* resultFirst, double* resultSecond) const;

    CoordinateSystem from() const { return from_; }
    CoordinateSystem to() const { return to_; }
    /// True when Apply shifts the datum (the path crosses datums and the shift is not none).
    bool ShiftsDatum() const { return direction_ != Direction::None; }

  private:
    enum class Direction { None, ToWGS84, ToNepal1981 };

    CoordinateSystem from_;
    CoordinateSystem to_;
    const GridDefinition* sourceGrid_;  ///< nullptr for a latitude/longitude source
    const GridDefinition* targetGrid_;  ///< nullptr for a latitude/longitude target
    const EllipsoidTerms* sourceTerms_;
    const EllipsoidTerms* targetTerms_;
    double sourceLambda0_;  ///< radians
    double targetLambda0_;  ///< radians
    Direction direction_;
    DatumTransformation datum_;
};

}  // namespace utm
