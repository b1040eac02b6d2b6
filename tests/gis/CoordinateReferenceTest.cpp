// The reference systems against GDAL and PROJ: a GIS reprojects the program's
// definitions to WGS 84 where its datum shift puts the point, and recognises them.
#include <gtest/gtest.h>
#include <ogr_spatialref.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "geodesy/Accuracy.h"
#include "geodesy/ParameterError.h"
#include "gis/CoordinateReference.h"

namespace {

using namespace utm;

/// A definition as GDAL reads it from a file or a user (WKT of any kind, a
/// PROJ string, EPSG:n).
OGRSpatialReference Imported(const std::string& text) {
    OGRSpatialReference srs;
    EXPECT_EQ(srs.SetFromUserInput(text.c_str()), OGRERR_NONE) << text;
    srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    return srs;
}

/// Reprojects a grid of points over Nepal from `source` (the definition of
/// `system`) to EPSG:4326 with GDAL, and holds each result to the program's
/// own transformation with the EPSG:6208 shift.
void ExpectGdalAgrees(CoordinateSystem system, const OGRSpatialReference& source,
                      const std::string& label) {
    const OGRSpatialReference wgs84 = Imported("EPSG:4326");
    const std::unique_ptr<OGRCoordinateTransformation> gdal(
        OGRCreateCoordinateTransformation(&source, &wgs84));
    ASSERT_NE(gdal, nullptr) << label;
    const GridTransform toSystem(CoordinateSystem::LatLongWGS84, system, DatumShift::Epsg6208());
    const GridTransform ours(system, CoordinateSystem::LatLongWGS84, DatumShift::Epsg6208());
    const bool grid = GridOf(system) != nullptr;
    constexpr double kMetresPerDegree = 111320.0;
    int compared = 0;
    for (double lat = 26.3; lat <= 30.5; lat += 0.35) {
        for (double lon = 80.0; lon <= 88.3; lon += 0.4) {
            const CoordinatePair input = toSystem.Apply(lat, lon);
            // Beyond this reach the series themselves stray from the exact
            // Transverse Mercator by more than a millimetre.
            if (grid && Beyond(input.first, kInverseMillimetreReach)) continue;
            const CoordinatePair expected = ours.Apply(input);
            double x = grid ? input.first : input.second;
            double y = grid ? input.second : input.first;
            ASSERT_TRUE(gdal->Transform(1, &x, &y)) << label;
            const double north = (y - expected.first) * kMetresPerDegree;
            const double east = (x - expected.second) * kMetresPerDegree *
                                std::cos(expected.first * std::numbers::pi / 180);
            EXPECT_LT(std::hypot(north, east), 1e-3) << label << " at " << lat << ", " << lon;
            ++compared;
        }
    }
    EXPECT_GT(compared, 40) << label;
}

TEST(CoordinateReference, GdalReprojectsToWgs84WhereTheDatumShiftPutsThePoint) {
    for (const CoordinateSystem system : kCoordinateSystems) {
        const ReferenceSystem reference = ReferenceOf(system);
        const std::string name(NameOf(system));
        ExpectGdalAgrees(system, SpatialReferenceOf(reference), name);
        // ESRI's WKT holds no shift: it is held to recognition below.
        for (const CrsFormat format : {CrsFormat::Wkt2, CrsFormat::Wkt1, CrsFormat::Proj}) {
            const std::string text = CrsDefinition(reference, format);
            ExpectGdalAgrees(system, Imported(text), name + " from " + text);
        }
    }
}

TEST(CoordinateReference, EveryDefinitionIsRecognisedAgain) {
    std::vector<ReferenceSystem> references;
    for (const CoordinateSystem system : kCoordinateSystems) {
        references.push_back(ReferenceOf(system));
    }
    references.push_back({true, false, 82.5, 0.9999});  // the main window's Everest grid
    references.push_back({true, true, 84.0, 0.9996});   // the transfers' WGS 84 grid
    for (const ReferenceSystem& reference : references) {
        const OGRSpatialReference own = SpatialReferenceOf(reference);
        EXPECT_EQ(RecogniseReference(own), reference) << ReferenceName(reference);
        EXPECT_EQ(DescribeReference(own).rfind(ReferenceName(reference), 0), 0u);
        for (const CrsFormat format :
             {CrsFormat::Wkt2, CrsFormat::Wkt1, CrsFormat::Esri, CrsFormat::Proj}) {
            const std::string text = CrsDefinition(reference, format);
            const OGRSpatialReference srs = Imported(text);
            EXPECT_EQ(RecogniseReference(srs), reference) << text;
            if (!reference.wgs84 && format != CrsFormat::Esri) {
                // Nepal 1981's b as the series use it, to well under a micrometre.
                EXPECT_NEAR(srs.GetSemiMinor(), 6356075.413, 1e-6) << text;
            }
        }
    }
}

TEST(CoordinateReference, RecognisesTheUsualDefinitionsAndRefusesOthers) {
    const std::string tm = "+proj=tmerc +a=6377276.345 +b=6356075.413 +lon_0=84 ";
    const std::string everest84 = tm + "+k=0.9999 +x_0=500000";
    const std::pair<std::string, std::optional<CoordinateSystem>> cases[] = {
        {"EPSG:32644", CoordinateSystem::WGS84Zone44},
        {"EPSG:32645", CoordinateSystem::WGS84Zone45},
        {"EPSG:4326", CoordinateSystem::LatLongWGS84},
        {"EPSG:6207", CoordinateSystem::LatLongEverest},  // rf 300.8017: b 0.14 mm off
        {everest84, CoordinateSystem::Everest84},
        {everest84 + " +towgs84=293.17,726.18,245.36", CoordinateSystem::Everest84},
        {"EPSG:3857", std::nullopt},
        {"EPSG:32643", std::nullopt},
        {"EPSG:4269", std::nullopt},  // NAD83, on GRS 1980
        // Shifts to WGS 84 that circulate for Nepal but are not EPSG:6208's.
        {everest84 + " +towgs84=295,736,257", std::nullopt},
        {"+proj=longlat +a=6377276.345 +b=6356075.413 +towgs84=282,726,254", std::nullopt},
        {"+proj=longlat +a=6377304.063 +rf=300.8017", std::nullopt},  // another Everest
        {tm + "+k=0.9999", std::nullopt},                             // false easting 0
        {everest84 + " +lat_0=27", std::nullopt},
        {everest84 + " +units=ft", std::nullopt},
        {tm + "+k=0.9996 +x_0=500000", std::nullopt},
    };
    for (const auto& [definition, system] : cases) {
        std::optional<ReferenceSystem> expected;
        if (system) expected = ReferenceOf(*system);
        EXPECT_EQ(RecogniseReference(Imported(definition)), expected) << definition;
    }
}

TEST(CoordinateReference, NamesAndDescriptions) {
    EXPECT_EQ(ReferenceName(ReferenceOf(CoordinateSystem::Everest81)),
              "Nepal 1981 / Everest TM 81");
    EXPECT_EQ(ReferenceName(ReferenceOf(CoordinateSystem::LatLongEverest)), "Nepal 1981");
    EXPECT_EQ(ReferenceName({true, false, 82.5, 0.9999}), "Nepal 1981 / Everest TM 82.5");
    EXPECT_EQ(ReferenceName({true, false, 84, 1.0}), "Nepal 1981 / Everest TM 84 (k0 1)");
    EXPECT_EQ(ReferenceName({true, true, 82.5, 0.9996}), "WGS 84 / TM 82.5 (k0 0.9996)");
    EXPECT_EQ(DescribeReference(Imported("EPSG:32644")), "WGS 84 / UTM zone 44N (EPSG:32644)");
    EXPECT_EQ(DescribeReference(OGRSpatialReference()), "an unnamed coordinate system");
}

TEST(CoordinateReference, ParseCrsFormat) {
    const std::pair<const char*, std::optional<CrsFormat>> cases[] = {{"wkt2", CrsFormat::Wkt2},
                                                                      {"WKT1", CrsFormat::Wkt1},
                                                                      {" Esri\t", CrsFormat::Esri},
                                                                      {"PROJ", CrsFormat::Proj},
                                                                      {"", {}},
                                                                      {"wkt", {}},
                                                                      {"wkt 2", {}},
                                                                      {"proj4", {}}};
    for (const auto& [text, format] : cases) {
        try {
            EXPECT_EQ(ParseCrsFormat(text), format) << text;
        } catch (const ParameterError& e) {
            EXPECT_FALSE(format) << text;
            EXPECT_NE(std::string(e.what()).find('"' + std::string(text) +
                                                 "\": expected wkt2, wkt1, esri or proj"),
                      std::string::npos)
                << e.what();
        }
    }
}

}  // namespace
