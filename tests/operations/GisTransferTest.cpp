// The transfer window's file transfer of GIS files: the result beside the
// data file in its format, every vertex moved by the kind's transformation.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "gis/CoordinateReference.h"
#include "gis/GisTransform.h"
#include "operations/TransferFile.h"
#include "operations/TransferKind.h"
#include "support/GisFiles.h"
#include "support/ScriptedPorts.h"
#include "support/TempFolder.h"

namespace {

class GisTransfer : public ::testing::Test {
  protected:
    utm::test::TempFolder folder;
    utm::test::ScriptedMessageBox messages;

    /// A shapefile of two lines on `system`'s grid; its path.
    std::string Shapefile(utm::CoordinateSystem system) {
        const std::string path = folder.File("parcels.shp");
        utm::test::WriteGisLayer(
            path, "ESRI Shapefile", utm::SpatialReferenceOf(utm::ReferenceOf(system)),
            wkbLineString,
            {{"LINESTRING (426207.01 3206261.5,426300 3206400.25)", "canal"},
             {"LINESTRING (500000 3000000,510000 3010000,520000 3005000)", "road"}});
        return path;
    }
};

TEST_F(GisTransfer, AShapefileIsMovedByTheKindsTransformationWithTheShift) {
    const struct {
        int kind;
        utm::DatumShift shift;
    } cases[] = {{0, utm::DatumShift::None()}, {2, utm::DatumShift::Epsg6208()}};
    for (const auto& c : cases) {
        const utm::TransferSystems systems = utm::SystemsOfKind(c.kind);
        const std::string data = Shapefile(systems.from);
        const auto outcome = utm::TransferDataFile(data, c.kind, '.', messages, {}, c.shift);
        ASSERT_EQ(outcome.status, utm::FileTransferStatus::Written);
        EXPECT_EQ(outcome.resultPath, folder.File("parcelsOut.shp"));
        EXPECT_TRUE(messages.shown.empty());
        EXPECT_EQ(utm::StatedReference(outcome.resultPath), utm::ReferenceOf(systems.to));
        const utm::GridTransform transform = utm::TransformOfKind(c.kind, c.shift);
        const auto in = utm::test::ReadGisFeatures(data);
        const auto out = utm::test::ReadGisFeatures(outcome.resultPath);
        ASSERT_EQ(out.size(), 2u);
        for (std::size_t f = 0; f < 2; ++f) {
            EXPECT_EQ(out[f].first, in[f].first);
            for (std::size_t v = 0; v < in[f].second.size(); ++v) {
                const auto [x, y] = transform.Apply(in[f].second[v][0], in[f].second[v][1]);
                EXPECT_EQ(out[f].second.at(v)[0], x);
                EXPECT_EQ(out[f].second.at(v)[1], y);
            }
        }
    }
}

TEST_F(GisTransfer, FilesTheTransfersCannotTakeAreRefusedWithNothingWritten) {
    const std::string gpx = folder.Write(
        "walk.gpx",
        "<gpx version=\"1.1\" creator=\"t\" xmlns=\"http://www.topografix.com/GPX/1/1\">"
        "<wpt lat=\"27.7\" lon=\"85.3\"/></gpx>");
    const std::string shp = Shapefile(utm::CoordinateSystem::Everest87);
    const struct {
        std::string data;
        int kind;
        std::string ending;
    } cases[] = {
        {gpx, 0,
         "A GPX file holds WGS 84 latitudes and longitudes, and the transfers run between grids: "
         "convert it in the main window's Multiple Data instead. No result file was written."},
        {shp, utm::kNoTransferKind,
         "No transfer is chosen in the list: a GIS file is transferred by one of its entries. No "
         "result file was written."},
        // The shapefile states Everest-87; the kind starts from Everest-81.
        {shp, 0,
         ", not Everest-81 (the grid the chosen transfer starts from). Nothing was written."},
    };
    const std::set<std::string> before = folder.Entries();
    for (const auto& c : cases) {
        messages.shown.clear();
        EXPECT_EQ(utm::TransferDataFile(c.data, c.kind, '.', messages).status,
                  utm::FileTransferStatus::Failed);
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_TRUE(messages.shown[0].text.ends_with(c.ending)) << messages.shown[0].text;
        EXPECT_EQ(folder.Entries(), before);
    }
}

}  // namespace
