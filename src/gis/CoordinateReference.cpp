#include "gis/CoordinateReference.h"

#include <cmath>

#include "geodesy/ParameterError.h"

namespace utm {

std::string CrsDefinition(const ReferenceSystem&, CrsFormat) {
    return {};
}

OGRSpatialReference SpatialReferenceOf(const ReferenceSystem& reference) {
    OGRSpatialReference srs;
    std::string proj =
        reference.grid
            ? "+proj=tmerc +lat_0=0 +lon_0=" + std::to_string(reference.centralMeridian) +
                  " +k=" + std::to_string(reference.k0) + " +x_0=500000 +y_0=0"
            : "+proj=longlat";
    proj += reference.wgs84 ? " +datum=WGS84"
                            : " +a=6377276.345 +b=6356075.413 +towgs84=293.17,726.18,245.36";
    srs.importFromProj4(proj.c_str());
    srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    return srs;
}

std::optional<ReferenceSystem> RecogniseReference(const OGRSpatialReference& srs) {
    ReferenceSystem reference;
    reference.wgs84 = std::abs(srs.GetSemiMajor() - 6378137.0) < 0.01;
    if (srs.IsProjected()) {
        reference.grid = true;
        reference.centralMeridian = srs.GetProjParm(SRS_PP_CENTRAL_MERIDIAN);
        reference.k0 = srs.GetProjParm(SRS_PP_SCALE_FACTOR);
    }
    return reference;
}

std::string DescribeReference(const OGRSpatialReference& srs) {
    const char* name = srs.GetName();
    return name != nullptr ? name : "unnamed";
}

}  // namespace utm
