#include "gis/CoordinateReference.h"

#include <cpl_conv.h>
#include <ogr_srs_api.h>

#include <array>
#include <charconv>
#include <cmath>
#include <initializer_list>
#include <stdexcept>
#include <vector>

#include "geodesy/DatumShift.h"
#include "geodesy/Ellipsoid.h"
#include "geodesy/GridDefinition.h"
#include "geodesy/NameText.h"
#include "geodesy/ParameterError.h"
#include "geodesy/ProjectionDomain.h"

namespace utm {

namespace {

/// The defining inverse flattening of WGS 84 (its definitions carry it, not b).
constexpr double kWgs84InverseFlattening = 298.257223563;
constexpr const char* kNepal1981 = "Nepal 1981";
constexpr const char* kWgs84 = "WGS 84";
/// The datum, named with the ellipsoid's b that the series use.
constexpr const char* kNepal1981Datum = "Nepal 1981 (Everest 1830, b 6356075.413)";

/// How close a file's ellipsoid axes must come to the program's, metres.
constexpr double kAxisTolerance = 1e-3;
/// How close a central meridian (degrees) or scale factor must come to the program's.
constexpr double kParameterTolerance = 1e-9;
/// How close a false easting or northing must come, metres.
constexpr double kOffsetTolerance = 1e-6;
/// How close a TOWGS84 parameter must come to EPSG:6208's (metres; the
/// rotations and scale of a translation are 0).
constexpr double kShiftTolerance = 1e-6;

/// The systems that carry an EPSG code: the WGS 84 zones and latitude/longitude.
struct EpsgSystem {
    CoordinateSystem system;
    int code;
    const char* name;
};
constexpr std::array<EpsgSystem, 3> kEpsgSystems = {{
    {CoordinateSystem::WGS84Zone44, 32644, "WGS 84 / UTM zone 44N"},
    {CoordinateSystem::WGS84Zone45, 32645, "WGS 84 / UTM zone 45N"},
    {CoordinateSystem::LatLongWGS84, 4326, "WGS 84"},
}};

const EpsgSystem* EpsgSystemOf(const ReferenceSystem& reference) {
    const std::optional<CoordinateSystem> system = SystemOfReference(reference);
    if (!system) return nullptr;
    for (const EpsgSystem& entry : kEpsgSystems) {
        if (entry.system == *system) return &entry;
    }
    return nullptr;
}

/// `value` in the shortest form that reads back to the same double, without
/// an exponent (500000, not 5e+05).
std::string Number(double value) {
    std::array<char, 512> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                      std::chars_format::fixed);
    return std::string(buffer.data(), result.ptr);
}

bool Near(double value, double expected, double tolerance) {
    return std::fabs(value - expected) <= tolerance;
}

/// Nepal 1981's inverse flattening from the series' a and b. In its shortest
/// exact form (17 digits) it gives b back to within a nanometre.
double Nepal1981InverseFlattening() {
    return Everest1830.a / (Everest1830.a - Everest1830.b);
}

/// "Everest TM 84" or "TM 82.5 (k0 0.9996)": the name of the grid's projection,
/// which the CRS name holds after the geographic CRS's name.
std::string ConversionName(const ReferenceSystem& reference) {
    if (!reference.wgs84) {
        std::string name = "Everest TM " + Number(reference.centralMeridian);
        if (reference.k0 != kEverestScaleFactor) name += " (k0 " + Number(reference.k0) + ")";
        return name;
    }
    // A WGS 84 Transverse Mercator that is no UTM zone of the program: its
    // scale is not implied by the name, so it is always written out.
    return "TM " + Number(reference.centralMeridian) + " (k0 " + Number(reference.k0) + ")";
}

// --- WKT2 (2019) of the systems without an EPSG code ------------------------
// The layout is the multi-line one of GDAL and PROJ: four blanks a level.

constexpr const char* kDegree = "ANGLEUNIT[\"degree\",0.0174532925199433]";
constexpr const char* kMetre = "LENGTHUNIT[\"metre\",1]";

/// `text` with every line moved right by `blanks`.
std::string Indented(const std::string& text, int blanks) {
    const std::string margin(static_cast<std::size_t>(blanks), ' ');
    std::string result = margin;
    for (const char c : text) {
        result += c;
        if (c == '\n') result += margin;
    }
    return result;
}

std::string DatumWkt(bool wgs84) {
    if (wgs84) {
        return std::string(
                   "DATUM[\"World Geodetic System 1984\",\n"
                   "    ELLIPSOID[\"WGS 84\",6378137,") +
               Number(kWgs84InverseFlattening) + ",\n        " + kMetre + "]]";
    }
    // Not EPSG's datum name: GDAL would identify the datum as EPSG's when it
    // writes a GeoPackage, and a GIS reading it back would drop the shift.
    return std::string("DATUM[\"") + kNepal1981Datum +
           "\",\n"
           "    ELLIPSOID[\"Everest 1830 (1937 Adjustment)\"," +
           Number(Everest1830.a) + "," + Number(Nepal1981InverseFlattening()) + ",\n        " +
           kMetre + "]]";
}

std::string PrimeMeridianWkt() {
    return std::string("PRIMEM[\"Greenwich\",0,\n    ") + kDegree + "]";
}

/// The geographic CRS of a datum, latitude before longitude.
std::string GeographicWkt(bool wgs84) {
    return std::string("GEOGCRS[\"") + (wgs84 ? kWgs84 : kNepal1981) + "\",\n" +
           Indented(DatumWkt(wgs84), 4) + ",\n" + Indented(PrimeMeridianWkt(), 4) +
           ",\n"
           "    CS[ellipsoidal,2],\n"
           "        AXIS[\"geodetic latitude (Lat)\",north,\n"
           "            ORDER[1],\n"
           "            " +
           kDegree +
           "],\n"
           "        AXIS[\"geodetic longitude (Lon)\",east,\n"
           "            ORDER[2],\n"
           "            " +
           kDegree + "]]";
}

std::string ParameterWkt(const char* name, double value, const std::string& unit, int id) {
    return std::string("PARAMETER[\"") + name + "\"," + Number(value) + ",\n    " + unit +
           ",\n    ID[\"EPSG\"," + std::to_string(id) + "]]";
}

std::string ProjectedWkt(const ReferenceSystem& reference) {
    const std::string base =
        std::string("BASEGEOGCRS[\"") + (reference.wgs84 ? kWgs84 : kNepal1981) + "\",\n" +
        Indented(DatumWkt(reference.wgs84), 4) + ",\n" + Indented(PrimeMeridianWkt(), 4) + "]";
    const std::string conversion =
        "CONVERSION[\"" + ConversionName(reference) +
        "\",\n"
        "    METHOD[\"Transverse Mercator\",\n"
        "        ID[\"EPSG\",9807]],\n" +
        Indented(ParameterWkt("Latitude of natural origin", 0.0, kDegree, 8801), 4) + ",\n" +
        Indented(
            ParameterWkt("Longitude of natural origin", reference.centralMeridian, kDegree, 8802),
            4) +
        ",\n" +
        Indented(ParameterWkt("Scale factor at natural origin", reference.k0,
                              "SCALEUNIT[\"unity\",1]", 8805),
                 4) +
        ",\n" + Indented(ParameterWkt("False easting", kFalseEasting, kMetre, 8806), 4) + ",\n" +
        Indented(ParameterWkt("False northing", kFalseNorthing, kMetre, 8807), 4) + "]";
    return "PROJCRS[\"" + ReferenceName(reference) + "\",\n" + Indented(base, 4) + ",\n" +
           Indented(conversion, 4) +
           ",\n"
           "    CS[Cartesian,2],\n"
           "        AXIS[\"easting (E)\",east,\n"
           "            ORDER[1],\n"
           "            " +
           kMetre +
           "],\n"
           "        AXIS[\"northing (N)\",north,\n"
           "            ORDER[2],\n"
           "            " +
           kMetre + "]]";
}

/// `source` (a Nepal 1981 CRS) bound to WGS 84 by EPSG:6208, so that a GIS
/// reprojects it to WGS 84 with the translation the program's datum shift applies.
std::string BoundToWgs84Wkt(const std::string& source) {
    const std::string target = GeographicWkt(true);
    // The target carries the identifier of EPSG:4326 so that PROJ takes it as that CRS.
    const std::string identified =
        target.substr(0, target.size() - 1) + ",\n    ID[\"EPSG\",4326]]";
    const std::string transformation =
        "ABRIDGEDTRANSFORMATION[\"Nepal 1981 to WGS 84 (1)\",\n"
        "    METHOD[\"Geocentric translations (geog2D domain)\",\n"
        "        ID[\"EPSG\",9603]],\n" +
        Indented(ParameterWkt("X-axis translation", kEpsg6208Tx, kMetre, 8605), 4) + ",\n" +
        Indented(ParameterWkt("Y-axis translation", kEpsg6208Ty, kMetre, 8606), 4) + ",\n" +
        Indented(ParameterWkt("Z-axis translation", kEpsg6208Tz, kMetre, 8607), 4) +
        ",\n"
        "    ID[\"EPSG\",6208]]";
    return "BOUNDCRS[\n    SOURCECRS[\n" + Indented(source, 8) + "],\n    TARGETCRS[\n" +
           Indented(identified, 8) + "],\n" + Indented(transformation, 4) + "]";
}

/// The WKT2 of a system without an EPSG code.
std::string OwnWkt2(const ReferenceSystem& reference) {
    const std::string crs =
        reference.grid ? ProjectedWkt(reference) : GeographicWkt(reference.wgs84);
    return reference.wgs84 ? crs : BoundToWgs84Wkt(crs);
}

/// Takes the text GDAL allocated.
std::string Taken(char* text) {
    std::string result = text != nullptr ? text : "";
    CPLFree(text);
    return result;
}

std::string ExportedWkt(const OGRSpatialReference& srs,
                        std::initializer_list<const char*> options) {
    std::vector<const char*> list(options);
    list.push_back(nullptr);
    char* text = nullptr;
    const OGRErr error = srs.exportToWkt(&text, list.data());
    std::string result = Taken(text);
    if (error != OGRERR_NONE) {
        throw std::runtime_error("GDAL cannot write the definition of " +
                                 std::string(srs.GetName() != nullptr ? srs.GetName() : "a CRS") +
                                 " as " + list.front());
    }
    return result;
}

/// True when `srs` attaches a shift to WGS 84 that TOWGS84 cannot express (a
/// bound CRS whose transformation is a grid, say), or cannot be written to tell.
bool BoundWithoutTowgs84(const OGRSpatialReference& srs) {
    char* text = nullptr;
    const char* const options[] = {"FORMAT=WKT2_2019", nullptr};
    const OGRErr error = srs.exportToWkt(&text, options);
    return error != OGRERR_NONE || Taken(text).starts_with("BOUNDCRS");
}

/// True when the shift to WGS 84 that `srs` attaches is `expected` (the seven
/// TOWGS84 parameters), or when it attaches none: a GIS reprojects a file
/// whose definition attaches another shift to another place than the program.
bool ShiftIsAbsentOr(const OGRSpatialReference& srs, const std::array<double, 7>& expected) {
    std::array<double, 7> shift{};
    if (srs.GetTOWGS84(shift.data(), 7) != OGRERR_NONE) return !BoundWithoutTowgs84(srs);
    for (std::size_t i = 0; i < shift.size(); ++i) {
        if (!Near(shift[i], expected[i], kShiftTolerance)) return false;
    }
    return true;
}

/// True when the axes of `srs` point east and north (in either order: the
/// traditional GIS order puts easting or longitude first).
bool AxesEastAndNorth(const OGRSpatialReference& srs) {
    bool east = false;
    bool north = false;
    for (int i = 0; i < 2; ++i) {
        OGRAxisOrientation orientation = OAO_Other;
        if (srs.GetAxis(nullptr, i, &orientation) == nullptr) return false;
        east = east || orientation == OAO_East;
        north = north || orientation == OAO_North;
    }
    return east && north;
}

}  // namespace

std::string ReferenceName(const ReferenceSystem& reference) {
    if (const EpsgSystem* epsg = EpsgSystemOf(reference)) return epsg->name;
    if (!reference.grid) return reference.wgs84 ? kWgs84 : kNepal1981;
    return std::string(reference.wgs84 ? kWgs84 : kNepal1981) + " / " + ConversionName(reference);
}

std::string CrsDefinition(const ReferenceSystem& reference, CrsFormat format) {
    switch (format) {
        case CrsFormat::Wkt2:
            // The program's own text keeps Nepal 1981's inverse flattening to
            // the last digit (GDAL's writer rounds it to 15) and names the axes.
            if (EpsgSystemOf(reference) == nullptr) return OwnWkt2(reference);
            return ExportedWkt(SpatialReferenceOf(reference),
                               {"FORMAT=WKT2_2019", "MULTILINE=YES"});
        case CrsFormat::Wkt1:
            return ExportedWkt(SpatialReferenceOf(reference),
                               {"FORMAT=WKT1_GDAL", "MULTILINE=YES"});
        case CrsFormat::Esri:
            return ExportedWkt(SpatialReferenceOf(reference), {"FORMAT=WKT1_ESRI"});
        case CrsFormat::Proj: {
            char* text = nullptr;
            const OGRErr error = SpatialReferenceOf(reference).exportToProj4(&text);
            std::string result = Taken(text);
            if (error != OGRERR_NONE) {
                throw std::runtime_error("GDAL cannot write the PROJ string of " +
                                         ReferenceName(reference));
            }
            return result;
        }
    }
    return {};
}

OGRSpatialReference SpatialReferenceOf(const ReferenceSystem& reference) {
    OGRSpatialReference srs;
    const EpsgSystem* epsg = EpsgSystemOf(reference);
    const OGRErr error = epsg != nullptr ? srs.importFromEPSG(epsg->code)
                                         : srs.importFromWkt(OwnWkt2(reference).c_str());
    if (error != OGRERR_NONE) {
        // Only a PROJ without its database (proj.db) fails here.
        throw std::runtime_error("GDAL cannot build the coordinate system " +
                                 ReferenceName(reference) + " (is PROJ's proj.db installed?)");
    }
    srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    return srs;
}

std::optional<ReferenceSystem> RecogniseReference(const OGRSpatialReference& srs) {
    const bool projected = srs.IsProjected();
    if (!projected && !srs.IsGeographic()) return std::nullopt;

    ReferenceSystem reference;
    OGRErr error = OGRERR_NONE;
    const double a = srs.GetSemiMajor(&error);
    if (error != OGRERR_NONE) return std::nullopt;
    const double b = srs.GetSemiMinor(&error);
    if (error != OGRERR_NONE) return std::nullopt;
    const double rf = srs.GetInvFlattening(&error);
    if (error != OGRERR_NONE) return std::nullopt;
    if (Near(a, Everest1830.a, kAxisTolerance) && Near(b, Everest1830.b, kAxisTolerance)) {
        // Nepal 1981, EPSG:6207's rf 300.8017 included (its b differs by 0.14 mm).
        if (!ShiftIsAbsentOr(srs, {kEpsg6208Tx, kEpsg6208Ty, kEpsg6208Tz, 0, 0, 0, 0})) {
            return std::nullopt;
        }
        reference.wgs84 = false;
    } else if (Near(a, WGS84.a, kAxisTolerance) &&
               Near(rf, kWgs84InverseFlattening, kParameterTolerance)) {
        if (!ShiftIsAbsentOr(srs, {})) return std::nullopt;
        reference.wgs84 = true;
    } else {
        return std::nullopt;
    }
    if (srs.GetPrimeMeridian() != 0.0 || !AxesEastAndNorth(srs)) return std::nullopt;

    if (!projected) {
        const double degree = CPLAtof(SRS_UA_DEGREE_CONV);
        if (!Near(srs.GetAngularUnits(), degree, degree * 1e-12)) return std::nullopt;
        return reference;
    }
    const char* method = srs.GetAttrValue("PROJECTION");
    if (method == nullptr || !EQUAL(method, SRS_PT_TRANSVERSE_MERCATOR)) return std::nullopt;
    if (srs.GetLinearUnits() != 1.0) return std::nullopt;
    if (!Near(srs.GetNormProjParm(SRS_PP_LATITUDE_OF_ORIGIN, 0.0), 0.0, kParameterTolerance) ||
        !Near(srs.GetNormProjParm(SRS_PP_FALSE_EASTING, 0.0), kFalseEasting, kOffsetTolerance) ||
        !Near(srs.GetNormProjParm(SRS_PP_FALSE_NORTHING, 0.0), kFalseNorthing, kOffsetTolerance)) {
        return std::nullopt;
    }
    const double centralMeridian = srs.GetNormProjParm(SRS_PP_CENTRAL_MERIDIAN, 0.0);
    const double k0 = srs.GetNormProjParm(SRS_PP_SCALE_FACTOR, 1.0);
    reference.grid = true;
    if (reference.wgs84) {
        // The WGS 84 grids the program writes: UTM zones 44 and 45 and the
        // transfers' grid on 84° E, all at the UTM scale.
        for (const GridDefinition* grid :
             {&grids::WGS84Zone44, &grids::WGS84On84, &grids::WGS84Zone45}) {
            if (Near(centralMeridian, grid->centralMeridian, kParameterTolerance) &&
                Near(k0, grid->k0, kParameterTolerance)) {
                reference.centralMeridian = grid->centralMeridian;
                reference.k0 = grid->k0;
                return reference;
            }
        }
        return std::nullopt;
    }
    // The Everest grid on any central meridian the program takes, at its scale.
    if (!CentralMeridianProblem(centralMeridian).empty() ||
        !Near(k0, kEverestScaleFactor, kParameterTolerance)) {
        return std::nullopt;
    }
    reference.centralMeridian = centralMeridian;
    reference.k0 = kEverestScaleFactor;
    for (const GridDefinition* grid : {&grids::Everest81, &grids::Everest84, &grids::Everest87}) {
        if (Near(centralMeridian, grid->centralMeridian, kParameterTolerance)) {
            reference.centralMeridian = grid->centralMeridian;
        }
    }
    return reference;
}

std::string DescribeReference(const OGRSpatialReference& srs) {
    const char* name = srs.GetName();
    std::string description =
        name != nullptr && *name != '\0' ? name : "an unnamed coordinate system";
    const char* authority = srs.GetAuthorityName(nullptr);
    const char* code = srs.GetAuthorityCode(nullptr);
    if (authority != nullptr && code != nullptr && EQUAL(authority, "EPSG")) {
        description += std::string(" (EPSG:") + code + ")";
    }
    return description;
}

}  // namespace utm
