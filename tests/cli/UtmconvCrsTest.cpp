// utmconv crs: the definitions printed, and the names it refuses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/RunProcess.h"

namespace {

using utm::test::ProcessResult;
using utm::test::RunProcess;

TEST(UtmconvCrs, PrintsDefinitionsAndRefusesUnknownNames) {
    struct Case {
        std::vector<std::string> args;
        int status;
        std::vector<std::string> found;  // in stdout, or with status 2 in stderr
    };
    const Case cases[] = {
        {{"crs", "everest84"}, 0, {"Everest TM 84\"", "6377276.345", "293.17", "BOUNDCRS"}},
        {{"crs", "LatLong-Everest", "--format", "wkt1"}, 0, {"TOWGS84[293.17,726.18,245.36"}},
        {{"crs", "wgs84-45", "--format", "proj"}, 0, {"+proj=utm +zone=45 "}},
        {{"crs", "everest85"}, 2, {"unknown coordinate system \"everest85\": expected everest81"}},
        {{"crs", "everest84", "--format", "geojson"},
         2,
         {"--format: unknown definition format \"geojson\": expected wkt2, wkt1, esri or proj"}},
    };
    for (const Case& c : cases) {
        const ProcessResult r = RunProcess(UTMCONV_PATH, c.args);
        EXPECT_EQ(r.status, c.status) << c.args.at(1) << ": " << r.err;
        const std::string& text = c.status == 0 ? r.out : r.err;
        for (const std::string& found : c.found) {
            EXPECT_NE(text.find(found), std::string::npos) << c.args.at(1) << ": " << text;
        }
        EXPECT_TRUE((c.status == 0 ? r.err : r.out).empty()) << r.err << r.out;
    }
}

}  // namespace
