// The direction the main window converts in: its option buttons `Option1`
// ("Lat-Long to XY") and `Option2` ("XY to LAT-Long"), or neither selected.
#pragma once

namespace utm {

enum class ConversionDirection {
    None,         ///< neither option button selected
    LatLongToXY,  ///< `Option1`: latitude/longitude (degrees) to easting/northing (metres)
    XYToLatLong,  ///< `Option2`: easting/northing (metres) to latitude/longitude (degrees)
};

}  // namespace utm
