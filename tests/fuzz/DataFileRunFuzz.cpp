// Whole runs of both windows' data-file paths on any bytes: the main window's
// batch conversion in both directions (strict and not) and the transfer of
// every kind (with and without the datum shift), in CSV and text mode, each
// writing to /dev/null, with every way of treating a point that cannot be
// computed. A run either ends with its output or refuses the file with an
// OperationError; it never crashes, and its findings name real lines.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/OperationError.h"
#include "fuzz/FuzzSupport.h"
#include "operations/BatchConversion.h"
#include "operations/TransferFile.h"

namespace {

using utm::fuzz::Require;

void CheckReport(const utm::RunReport& report, std::size_t lines, std::string_view bytes) {
    for (const utm::Finding f :
         {utm::Finding::NotNumber, utm::Finding::FieldCount, utm::Finding::LatitudeRange,
          utm::Finding::FarFromMeridian, utm::Finding::Failed}) {
        for (const std::size_t line : report.Lines(f)) {
            Require(line >= 1 && line <= lines, "a finding names a line of the file", bytes);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const unsigned choice = data[0];
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);

    const std::string csv = utm::fuzz::TempFile(bytes, ".csv");
    utm::ConvertDataFileRequest request;
    request.CentralMeridianText = (choice & 1) ? "87" : "84";
    request.DataFilePath = csv;
    request.OutputPath = "/dev/null";
    request.Direction = (choice & 2) ? utm::ConversionDirection::XYToLatLong
                                     : utm::ConversionDirection::LatLongToXY;
    request.Strict = (choice & 4) != 0;
    request.FullPrecision = (choice & 8) != 0;
    request.OnFailure = static_cast<utm::OnError>((choice >> 5) % 3);
    if (choice & 64) request.Datum = utm::LatLongDatum::WGS84;
    try {
        const utm::BatchRunResult result = utm::ConvertDataFile(request);
        CheckReport(result.report, result.pointCount, bytes);
    } catch (const utm::OperationError&) {
        // A refusal with a message is a correct end.
    }

    const std::string txt = utm::fuzz::TempFile(bytes, ".dat");
    const int kind = static_cast<int>((choice >> 4) % 9) - 1;  // -1 to 7
    const utm::OnError onError = static_cast<utm::OnError>((choice >> 2) % 3);
    for (const std::string& path : {csv, txt}) {
        utm::TransferOptions options;
        options.strict = (choice & 4) != 0;
        options.decimalSeparator = (choice & 8) ? ',' : '.';
        options.onError = onError;
        if (choice & 128) options.datumShift = utm::DatumShift::Epsg6208();
        try {
            const utm::TransferFileResult result =
                utm::TransferFile(path, "/dev/null", kind, options);
            CheckReport(result.report, result.lines, bytes);
        } catch (const utm::OperationError&) {
        }
    }
    ::unlink(csv.c_str());
    ::unlink(txt.c_str());
    return 0;
}
