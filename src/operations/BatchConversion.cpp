#include "operations/BatchConversion.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>

#include "common/BlockRunner.h"
#include "common/DataFileReader.h"
#include "common/FastNumberFormat.h"
#include "common/FileIO.h"
#include "common/GeneralFormText.h"
#include "common/NumberFormat.h"
#include "common/NumericText.h"
#include "common/PairScanner.h"
#include "geodesy/Accuracy.h"
#include "geodesy/Angles.h"
#include "geodesy/ArithmeticError.h"
#include "geodesy/Declaration.h"
#include "geodesy/FastSeries.h"
#include "geodesy/GridDefinition.h"
#include "geodesy/GridTransform.h"
#include "geodesy/ProjectionDomain.h"
#include "geodesy/TransverseMercator.h"
#include "gis/GisFormat.h"
#include "gis/GisTransform.h"

namespace utm {

namespace {

constexpr const char* kNothingWritten = " Nothing was written.";

/// Room for one output line: four numbers, three TABs, CR LF.
constexpr std::size_t kMaxLineLength = 4 * kMaxGeneralTextLength + 5;
/// Room asked of the block's output at a time.
constexpr std::size_t kLineBufferSize = 1 << 16;

/// Writes the start of one output line at `out`: the two inputs in general
/// form, each followed by a TAB; a field already in that form is copied.
/// Returns the end.
char* WriteInput(char* out, std::string_view generalText, double value, char decimalSeparator) {
    if (decimalSeparator == '.' && !generalText.empty()) {
        return CopyField(out, generalText);
    }
    return WriteGeneral(out, value, decimalSeparator);
}

char* WriteText(char* out, std::string_view text) {
    std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

/// How the results of one run are written, each in general form.
enum class ResultForm {
    Rounded3,  ///< rounded through "##.000"
    Unrounded,
    Degrees8,  ///< rounded to eight decimals: latitudes and longitudes in Degrees8 or Dms
};

/// How one run converts a point: the direction, the grid's central meridian
/// and the datum of the latitudes and longitudes.
struct PointSetup {
    ConversionDirection direction = ConversionDirection::LatLongToXY;
    double centralMeridian = 0.0;  // radians
    /// The latitude/longitude side when it shifts the datum, else nullptr (the
    /// Everest 1830 side: the points go straight to the series). Built once
    /// per run and only read by the blocks, on both threads.
    const LatLongSide* shift = nullptr;
};

/// Converts one point of the main window's runs, in the order of the data
/// files (latitude then longitude in degrees; X then Y in metres): latitudes
/// and longitudes on the side's datum, shifted to Nepal 1981 before the
/// forward series and back after the inverse, on the Everest 1830 grid of
/// the central meridian. Both the text runs and the GIS runs convert through
/// it, so their results agree to the last bit. With no direction the results
/// are 0. Throws ArithmeticError for a point that cannot be converted.
CoordinatePair ConvertPoint(const PointSetup& setup, double first, double second) {
    const EllipsoidTerms& terms = Everest1830Terms();
    if (setup.direction == ConversionDirection::LatLongToXY) {
        GeodeticPoint r{DegreesToRadians(first), DegreesToRadians(second)};
        if (setup.shift != nullptr) r = setup.shift->ToGridDatum(r);
        const GridPoint g =
            ForwardSeries(terms, kEverestScaleFactor, r.phi, r.lambda, setup.centralMeridian);
        return {g.x, g.y};
    }
    if (setup.direction == ConversionDirection::XYToLatLong) {
        GeodeticPoint g =
            InverseSeries(terms, kEverestScaleFactor, first, second, setup.centralMeridian);
        if (setup.shift != nullptr) g = setup.shift->FromGridDatum(g);
        return {RadiansToDegrees(g.phi), RadiansToDegrees(g.lambda)};
    }
    return {0.0, 0.0};
}

/// What every block of one run needs to know.
struct BatchSetup {
    PointSetup point;
    double centralMeridianDegrees = 0.0;
    ResultForm results = ResultForm::Rounded3;
    bool strict = false;
    OnError onError = OnError::Stop;
    char separator = '.';
    double reach = kForwardCentimetreReach;  // metres of easting kept within 1 cm
    /// Whether the plain lines go through the fast series first: results
    /// rounded through "##.000" on Everest 1830 without a shift, where a result
    /// known to within the fast series' distance is mostly known to the
    /// millimetre or thousandth of a degree.
    bool fast = false;
    /// How the data file's rows are laid out.
    TableLayout layout;
    /// The names of the results appended to a header row.
    ResultNames names = kGridResultNames;
};

/// Writes the start of one output line: a row of two numbers as the two
/// inputs in general form, a table row as its fields; a TAB after them.
char* WriteInputs(char* out, const DataLine& data, const BatchSetup& setup) {
    if (!data.row.empty()) {
        out = data.scannedRow ? WriteScannedRow(out, data.row, setup.layout, '\t')
                              : WriteRowFields(out, data.row, setup.layout, RowStyle::Joined, '\t');
        *out++ = '\t';
        return out;
    }
    out = WriteInput(out, data.firstText, data.first, setup.separator);
    *out++ = '\t';
    out = WriteInput(out, data.secondText, data.second, setup.separator);
    *out++ = '\t';
    return out;
}

/// Writes line `i` of a batch whose fast results are in: the whole line when
/// both results are known to the millimetre (or thousandth of a degree) and
/// every finding is sure, else nothing. Returns the end, or nullptr when the
/// line must go the exact way.
char* WriteFastLine(const BatchSetup& setup, const PlainLineBatch& batch, std::size_t i, char* out,
                    RunReport& report) {
    const double first = batch.first[i];
    const double second = batch.second[i];
    const double resultFirst = batch.resultFirst[i];
    const double resultSecond = batch.resultSecond[i];
    double tolerance = 0.0;
    double easting = 0.0;
    if (setup.point.direction == ConversionDirection::LatLongToXY) {
        if (!InFastForwardDomain(first, second, setup.centralMeridianDegrees)) return nullptr;
        tolerance = kFastForwardMetres;
        easting = resultFirst;
    } else {
        // The latitudes of the inverse domain stay far inside -90 to 90.
        if (!InFastInverseDomain(first, second, setup.centralMeridianDegrees) ||
            !(std::fabs(resultFirst) < 89.0))
            return nullptr;
        tolerance = kFastInverseDegrees;
        easting = first;
    }
    // Far from the meridian or not must hold for every easting within reach.
    const double offset = std::fabs(easting - kFalseEasting) - setup.reach;
    const double eastingTolerance =
        setup.point.direction == ConversionDirection::LatLongToXY ? tolerance : 0.0;
    if (!(std::fabs(offset) > eastingTolerance)) return nullptr;

    DataLine data;
    data.first = first;
    data.second = second;
    data.firstText = batch.firstText[i];
    data.secondText = batch.secondText[i];
    data.row = batch.row[i];
    data.scannedRow = true;
    char* p = WriteInputs(out, data, setup);
    p = WriteRoundedFixed3Within(p, resultFirst, tolerance, setup.separator);
    if (p == nullptr) return nullptr;
    *p++ = '\t';
    p = WriteRoundedFixed3Within(p, resultSecond, tolerance, setup.separator);
    if (p == nullptr) return nullptr;
    *p++ = '\r';
    *p++ = '\n';
    if (offset > 0) report.Add(Finding::FarFromMeridian, batch.number[i]);
    return p;
}

/// Converts the lines of one block into output lines (see ConvertDataFile).
void ConvertBlock(const BatchSetup& setup, std::string_view block, BlockOutput& out) {
    // Lines are written straight into the block's output, in rooms of
    // kLineBufferSize bytes.
    LineRooms rooms(out.bytes, kLineBufferSize, kMaxLineLength);
    char* p = rooms.Start();
    const EllipsoidTerms& terms = Everest1830Terms();
    const auto flush = [&] { p = rooms.Flush(p); };
    // Room for a line of `n` bytes besides the numbers (a table row).
    const auto room = [&](std::size_t n) { p = rooms.Need(p, n); };
    const auto convertLine = [&](const DataLine& data, std::size_t number) {
        if (!data.row.empty()) room(RowFieldsRoom(data.row.size()));
        if (data.notNumbers != 0) {
            if (setup.strict) {
                throw LineError(number,
                                "the field " + QuotedExcerpt(data.badField) + " is not a number");
            }
            for (int i = 0; i < data.notNumbers; ++i) out.report.Add(Finding::NotNumber, number);
        }
        double resultFirst = 0.0;
        double resultSecond = 0.0;
        double latitude = 0.0;
        double easting = kFalseEasting;
        try {
            const CoordinatePair result = ConvertPoint(setup.point, data.first, data.second);
            resultFirst = result.first;
            resultSecond = result.second;
            if (setup.point.direction == ConversionDirection::LatLongToXY) {
                latitude = data.first;
                easting = resultFirst;
            } else if (setup.point.direction == ConversionDirection::XYToLatLong) {
                latitude = resultFirst;
                easting = data.first;
            }
        } catch (const ArithmeticError& e) {
            if (setup.onError != OnError::Stop) {
                out.report.Add(Finding::Failed, number);
                if (setup.onError == OnError::Mark) {
                    p = WriteInputs(p, data, setup);
                    p = WriteText(p, "*\t*\r\n");
                    flush();
                }
                return;
            }
            // A point outside the projection's domain says which bound it
            // passed; any other failure is a result that is not finite.
            if (dynamic_cast<const ProjectionDomainError*>(&e) != nullptr) {
                throw LineError(number, std::string("cannot be converted: ") + e.what());
            }
            throw LineError(number,
                            "cannot be converted: the projection gives no finite result "
                            "for " +
                                FormatGeneral(data.first, setup.separator) + "; " +
                                FormatGeneral(data.second, setup.separator));
        }
        if (OutsideLatitudeRange(latitude)) {
            if (setup.strict) {
                throw LineError(number, "the latitude " + FormatGeneral(latitude) +
                                            " lies outside -90 to 90 degrees");
            }
            out.report.Add(Finding::LatitudeRange, number);
        }
        if (Beyond(easting, setup.reach)) out.report.Add(Finding::FarFromMeridian, number);

        p = WriteInputs(p, data, setup);
        if (setup.results == ResultForm::Rounded3) {
            // Each result is rounded through "##.000" and written as the
            // number read back.
            double rounded = 0.0;
            p = WriteRoundedFixed3(p, resultFirst, setup.separator, rounded);
            *p++ = '\t';
            p = WriteRoundedFixed3(p, resultSecond, setup.separator, rounded);
        } else if (setup.results == ResultForm::Unrounded) {
            p = WriteGeneral(p, resultFirst, setup.separator);
            *p++ = '\t';
            p = WriteGeneral(p, resultSecond, setup.separator);
        } else {
            p = WriteGeneral(p, RoundAngleForUnits(resultFirst, Units::Degrees8), setup.separator);
            *p++ = '\t';
            p = WriteGeneral(p, RoundAngleForUnits(resultSecond, Units::Degrees8), setup.separator);
        }
        *p++ = '\r';
        *p++ = '\n';
        flush();
    };
    // With the fast series, plain lines wait in a batch that is converted at
    // once; each line is then written from the fast results or, when they
    // leave its text open, converted again the exact way. The batch is
    // written out before any other line, so the lines keep their order.
    PlainLineBatch batch;
    const auto convertBatch = [&] {
        if (batch.count == 0) return;
        if (setup.point.direction == ConversionDirection::LatLongToXY) {
            FastForwardSeries(terms, kEverestScaleFactor, setup.point.centralMeridian, batch.count,
                              batch.first, batch.second, batch.resultFirst, batch.resultSecond);
        } else {
            FastInverseSeries(terms, kEverestScaleFactor, setup.point.centralMeridian, batch.count,
                              batch.first, batch.second, batch.resultFirst, batch.resultSecond);
        }
        for (std::size_t i = 0; i < batch.count; ++i) {
            if (!batch.row[i].empty()) room(RowFieldsRoom(batch.row[i].size()));
            if (char* end = WriteFastLine(setup, batch, i, p, out.report)) {
                p = end;
                flush();
                continue;
            }
            DataLine data;
            data.first = batch.first[i];
            data.second = batch.second[i];
            data.firstText = batch.firstText[i];
            data.secondText = batch.secondText[i];
            data.row = batch.row[i];
            data.scannedRow = true;
            convertLine(data, batch.number[i]);
        }
        batch.count = 0;
    };
    // A row that is not a point is written as it stands (a header row with
    // the result names after it); a row whose coordinate field holds no
    // number gets no results.
    const TableLayout& layout = setup.layout;
    const auto otherRow = [&](std::string_view text, std::size_t number) {
        const RowKind kind = KindOfRow(text, layout);
        if (kind != RowKind::Data) {
            room(CarriedRowRoom(text.size()));
            p = WriteCarriedRow(p, text, kind, layout, RowStyle::Joined, '\t', setup.names);
            flush();
            return;
        }
        const RowPoint point = ReadRowPoint(text, layout);
        if (point.noNumber) {
            if (setup.strict || setup.onError == OnError::Stop) {
                throw LineError(number, NoNumberText(text, *point.noNumber));
            }
            out.report.Add(Finding::NoNumber, number);
            if (setup.onError == OnError::Mark) {
                room(RowFieldsRoom(text.size()));
                p = WriteRowFields(p, text, layout, RowStyle::Joined, '\t');
                p = WriteText(p, "\t*\t*\r\n");
                flush();
            }
            return;
        }
        DataLine data;
        // A row of two fields that are the two numbers is written as they
        // are read; any other row with its fields as they stand.
        if (!point.pair) data.row = text;
        data.first = point.value[0];
        data.second = point.value[1];
        std::string_view* const texts[2] = {&data.firstText, &data.secondText};
        for (std::size_t i = 0; i < 2; ++i) {
            const std::string_view field = TrimBlanks(point.field[i]);
            if (point.reading[i] == CoordinateReading::Partial) {
                if (data.notNumbers++ == 0) data.badField = field;
            } else if (point.pair && IsGeneralFormText(field)) {
                *texts[i] = field;
            }
        }
        convertLine(data, number);
    };
    const LineScan scan = FastScanOf(layout);
    // Most lines are plain numbers in plain fields: one pass reads them. Any
    // other line goes through the general reader, which reads those the same way.
    out.lines = ForEachPairLine(
        block, scan,
        [&](const ScannedNumber& first, const ScannedNumber& second, std::size_t number,
            std::string_view row) {
            if (setup.fast) {
                if (batch.Add(first, second, number, row)) convertBatch();
                return;
            }
            DataLine data;
            data.first = first.value;
            data.second = second.value;
            data.row = row;
            data.scannedRow = true;
            if (first.generalForm) data.firstText = first.text;
            if (second.generalForm) data.secondText = second.text;
            convertLine(data, number);
        },
        [&](std::string_view text, std::size_t number) {
            convertBatch();
            otherRow(text, number);
        });
    convertBatch();
    rooms.Finish(p);
}

bool IsRegularFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

/// Refuses (OperationError) a central meridian outside -180 to 360 degrees
/// and a run without a data file.
void CheckRunSettings(const ConvertDataFileRequest& request) {
    if (const std::string problem = CentralMeridianProblem(Val(request.CentralMeridianText));
        !problem.empty()) {
        throw OperationError(UserSentence(problem));
    }
    const std::string& dataPath = request.DataFilePath;
    if ((dataPath.empty() || dataPath == kNoDataFileText) && !IsRegularFile(dataPath)) {
        throw OperationError("No data file has been chosen: use Browse to choose one.");
    }
}

/// Refuses (OperationError) the settings a GIS run cannot go with: no
/// direction, or a GPX, KML or GeoJSON file (WGS 84 latitudes and longitudes
/// only) on the wrong side of the direction or with the datum on Everest 1830.
void CheckGisSettings(const ConvertDataFileRequest& request) {
    if (request.Direction == ConversionDirection::None) {
        throw OperationError(
            "Choose \"Lat-Long to XY\" or \"XY to LAT-Long\", then convert again.");
    }
    const GisFormat input = FormatOfPath(request.DataFilePath);
    const GisFormat output = FormatOfPath(request.OutputPath);
    const std::string wgs84 = std::string("\"") + kWGS84GpsCaption + "\"";
    const auto holds = [&](GisFormat format) {
        return "A " + std::string(FormatName(format)) + " file holds " + kWGS84GpsCaption +
               " latitudes and longitudes";
    };
    if (HoldsWgs84LatLong(input) && request.Direction == ConversionDirection::XYToLatLong) {
        throw OperationError(holds(input) +
                             ", not eastings and northings: choose \"Lat-Long to XY\" and " +
                             wgs84 + " as the Datum, then convert again.");
    }
    if (HoldsWgs84LatLong(output) && request.Direction == ConversionDirection::LatLongToXY) {
        throw OperationError(
            holds(output) + ", not eastings and northings: choose \"XY to LAT-Long\" and " + wgs84 +
            " as the Datum, or another kind of output file, then convert again.");
    }
    for (const GisFormat format : {input, output}) {
        if (HoldsWgs84LatLong(format) && request.Datum == LatLongDatum::Everest1830) {
            throw OperationError(holds(format) + ": choose " + wgs84 +
                                 " as the Datum, then convert again.");
        }
    }
}

/// ConvertDataFile when the data file or the output is a GIS file: every
/// vertex through ConvertPoint, written by RunGisFile in the format the
/// output's name says.
BatchRunResult ConvertGisFile(const ConvertDataFileRequest& request) {
    BatchRunResult result;
    try {
        CheckRunSettings(request);
        CheckGisSettings(request);
        // Refusals come before the question, as in the text runs.
        CheckOutputTarget(request.OutputPath, IdentityOf(request.DataFilePath));
    } catch (const OperationError& e) {
        throw OperationError(Sentence(e.what()) + kNothingWritten);
    }
    if (request.ConfirmReplace && IsRegularFile(request.OutputPath) && !request.ConfirmReplace()) {
        result.status = BatchRunResult::Status::Declined;
        return result;
    }
    const double centralMeridian = Val(request.CentralMeridianText);
    const LatLongSide side(request.Datum);
    PointSetup point;
    point.direction = request.Direction;
    point.centralMeridian = Declaration::SharedCM;
    if (side.Shifts()) point.shift = &side;

    const ReferenceSystem grid{true, false, centralMeridian, kEverestScaleFactor};
    const ReferenceSystem latLong{false, request.Datum == LatLongDatum::WGS84, 0.0, 1.0};
    const std::string gridLabel =
        "the Everest 1830 grid with central meridian " + FormatGeneral(centralMeridian);
    const std::string latLongLabel =
        std::string("latitudes and longitudes on ") +
        (request.Datum == LatLongDatum::WGS84 ? kWGS84GpsCaption : kEverest1830Caption);
    const bool forward = request.Direction == ConversionDirection::LatLongToXY;

    GisRunRequest run;
    run.inputPath = request.DataFilePath;
    run.outputPath = request.OutputPath;
    run.conversion.source = forward ? latLong : grid;
    run.conversion.target = forward ? grid : latLong;
    run.conversion.convert = [&point](std::size_t count, const double* first, const double* second,
                                      double* resultFirst, double* resultSecond) {
        for (std::size_t i = 0; i < count; ++i) {
            try {
                const CoordinatePair r = ConvertPoint(point, first[i], second[i]);
                resultFirst[i] = r.first;
                resultSecond[i] = r.second;
            } catch (const ArithmeticError&) {
                resultFirst[i] = resultSecond[i] = std::numeric_limits<double>::quiet_NaN();
            }
        }
    };
    run.conversion.whyNot = [&point](double first, double second) -> std::string {
        try {
            ConvertPoint(point, first, second);
        } catch (const ProjectionDomainError& e) {
            return e.what();  // which bound the point passed
        } catch (const ArithmeticError&) {
        }
        return "the projection gives no finite result for " + FormatGeneral(first) + "; " +
               FormatGeneral(second);
    };
    run.sourceLabel = forward ? latLongLabel : gridLabel;
    run.targetLabel = forward ? gridLabel : latLongLabel;
    run.onError = request.OnFailure;
    run.onProgress = request.OnProgress;
    run.table = request.Table;
    run.table.fallback = FieldSeparator::Comma;
    run.table.decimalSeparator = '.';
    try {
        GisRunResult written = RunGisFile(run);
        result.pointCount = written.features;
        result.report = std::move(written.report);
    } catch (const OperationCancelled&) {
        throw OperationCancelled("Cancelled: nothing was written, and " +
                                 QuotedText(request.OutputPath) + " was left as it was.");
    }
    result.status = BatchRunResult::Status::Written;
    return result;
}

}  // namespace

DataLine ReadDataLine(std::string_view line) {
    DataLine data;
    std::string_view fields[2];
    const std::size_t count = SplitFields(line, ',', fields, 2);
    if (count != 2) {
        data.fieldCount = true;
        // An empty line (or one of blanks only) is a line without numbers,
        // not a field that is not one.
        if (count == 1 && TrimBlanks(fields[0]).empty()) return data;
    }
    double* const values[2] = {&data.first, &data.second};
    std::string_view* const texts[2] = {&data.firstText, &data.secondText};
    for (std::size_t i = 0; i < count && i < 2; ++i) {
        const std::string_view text = TrimBlanks(fields[i]);
        if (ParseDecimal(text, *values[i])) {
            if (IsGeneralFormText(text)) *texts[i] = text;
        } else {
            *values[i] = 0.0;
            if (data.notNumbers++ == 0) data.badField = fields[i];
        }
    }
    return data;
}

std::string ChooseDataFile(CommonDialog& dialog, MessageBoxPort& messages) {
    dialog.Filter = kBrowseFilter;
    dialog.FilterIndex = 1;
    dialog.DialogTitle = kBrowseTitle;
    try {
        dialog.ShowOpen();
    } catch (const std::exception&) {
        return {};  // a failing dialog ends the command without a message
    }
    if (dialog.FileName.empty()) messages.Inform("Select the data file");
    return dialog.FileName;
}

std::size_t CountForBrowse(const std::string& path, CoordinateKind kind, const Progress& progress) {
    // A name typed for a file that does not exist counts no data; a file that
    // is no text file of numbers is named as such instead of being counted.
    if (!IdentityOf(path)) return 0;
    // A GIS file counts the features a run converts.
    if (IsGisFormat(FormatOfPath(path))) return CountFeatures(path);
    return CountDataRows(path, kind, {}, progress);
}

void ShowBrowseCount(MessageBoxPort& messages, dataload& loader, std::size_t count) {
    loader.Columns().DataCount = count;
    messages.Inform("No of Data = " + std::to_string(count));
}

std::string Browse(CommonDialog& dialog, MessageBoxPort& messages, dataload& loader,
                   const std::function<void(const std::string&)>& showPath, CoordinateKind kind) {
    const std::string path = ChooseDataFile(dialog, messages);
    if (path.empty()) return {};
    if (showPath) showPath(path);
    loader.Columns().DataCount = 0;
    std::size_t count = 0;
    try {
        count = CountForBrowse(path, kind);
    } catch (const OperationError& e) {
        messages.Inform(e.what());
        return path;
    }
    ShowBrowseCount(messages, loader, count);
    return path;
}

BatchRunResult ConvertDataFile(const ConvertDataFileRequest& request) {
    Declaration::SharedCM = DegreesToRadians(Val(request.CentralMeridianText));
    const std::string& dataPath = request.DataFilePath;
    if (IsGisRun(dataPath, request.OutputPath)) return ConvertGisFile(request);
    BatchRunResult result;
    std::optional<SafeFileWriter> writer;  // outside the try: a failure says what it wrote
    try {
        CheckRunSettings(request);
        DataFileReader reader(dataPath);
        // Refusals come before the question: an output that is the data file
        // or that may not be replaced is never offered for replacing.
        CheckOutputTarget(request.OutputPath, reader.Identity());
        if (request.ConfirmReplace && IsRegularFile(request.OutputPath) &&
            !request.ConfirmReplace()) {
            result.status = BatchRunResult::Status::Declined;
            return result;
        }
        TableRequest table = request.Table;
        table.fallback = FieldSeparator::Comma;
        table.decimalSeparator = '.';
        // The start first: PeekIsWhole tells about what Peek has read.
        const std::string_view start = reader.Peek();
        const TableLayout layout = DetectTableLayout(
            start, reader.PeekIsWhole(),
            request.Direction == ConversionDirection::XYToLatLong ? CoordinateKind::Grid
                                                                  : CoordinateKind::LatLong,
            table);
        writer.emplace(request.OutputPath, reader.Identity());
        if (request.LfLineEnds) writer->WriteLfLineEnds();
        // A header row of the file takes the place of the fixed header line,
        // with the result names after its own.
        if (!layout.HasHeader()) {
            writer->Write(kOutputHeader);
            writer->Write("\r\n");
        }

        const LatLongSide side(request.Datum);
        BatchSetup setup;
        if (side.Shifts()) setup.point.shift = &side;
        setup.point.centralMeridian = Declaration::SharedCM;
        setup.centralMeridianDegrees = RadiansToDegrees(setup.point.centralMeridian);
        setup.point.direction = request.Direction;
        if (request.FullPrecision) {
            setup.results = ResultForm::Unrounded;
        } else if (request.Direction == ConversionDirection::XYToLatLong &&
                   request.OutputUnits != Units::DegreesMetres) {
            setup.results = ResultForm::Degrees8;
        }
        setup.fast = setup.results == ResultForm::Rounded3 && setup.point.shift == nullptr &&
                     (setup.point.direction == ConversionDirection::LatLongToXY ||
                      setup.point.direction == ConversionDirection::XYToLatLong);
        setup.strict = request.Strict;
        setup.onError = request.OnFailure;
        setup.layout = layout;
        setup.names = request.Direction == ConversionDirection::XYToLatLong ? kLatLongResultNames
                                                                            : kGridResultNames;
        if (request.OnFailure == OnError::Mark)
            result.report.failedRule = "written with * as results";
        setup.separator = request.DecimalSeparator;
        setup.reach = request.Direction == ConversionDirection::XYToLatLong
                          ? kInverseCentimetreReach
                          : kForwardCentimetreReach;
        result.report.farDistance = std::to_string(std::lround(setup.reach / 1000.0)) + " km";
        std::size_t lines = 0;
        try {
            lines = RunBlocks(
                reader,
                [&setup](std::string_view block, BlockOutput& out) {
                    ConvertBlock(setup, block, out);
                },
                [&writer](std::string_view bytes) { writer->Write(bytes); }, result.report,
                request.OnProgress);
        } catch (const LineError& e) {
            throw OperationError(
                "Line " + std::to_string(e.line()) + " of " + DataFileNamed(dataPath) +
                (std::string_view(e.what()).starts_with("cannot") ? " " : ": ") + e.what() + ".");
        }
        if (lines == 0) {
            throw OperationError(Capitalized(DataFileNamed(dataPath)) + " holds no points.");
        }
        writer->Commit();
        result.pointCount = lines;
    } catch (const OperationCancelled&) {
        throw OperationCancelled("Cancelled: nothing was written, and " +
                                 QuotedText(request.OutputPath) + " was left as it was.");
    } catch (const OperationError& e) {
        // Output to the standard output streams: what went there is said as such.
        const std::string sent = writer ? writer->WrittenBeforeFailure() : std::string();
        throw OperationError(Sentence(e.what()) + (sent.empty() ? kNothingWritten : " " + sent));
    }
    result.status = BatchRunResult::Status::Written;
    return result;
}

BatchRunResult ConvertMultipleData(const MultipleDataRequest& request, CommonDialog& dialog,
                                   MessageBoxPort& messages, dataload& loader,
                                   const std::string& initialFolder) {
    BatchRunResult result;
    // A central meridian outside -180 to 360 is refused before any dialog.
    if (const std::string problem = CentralMeridianProblem(Val(request.CentralMeridianText));
        !problem.empty()) {
        result.status = BatchRunResult::Status::Failed;
        result.message = UserSentence(problem) + " Nothing was converted.";
        messages.Inform(result.message);
        return result;
    }
    dialog.Filter = kSaveFilter;
    // The run writes tab-separated text unless a GIS file is named: the dialog
    // opens on the text files' entry.
    dialog.FilterIndex = kSaveFilterTextIndex;
    dialog.DialogTitle = kSaveTitle;
    dialog.InitDir = initialFolder;
    dialog.ShowSave();
    if (dialog.FileName.empty()) {
        messages.Inform("Type the File Name");
        result.status = BatchRunResult::Status::NoFileName;
        return result;
    }
    ConvertDataFileRequest run;
    run.CentralMeridianText = request.CentralMeridianText;
    run.DataFilePath = request.DataFilePath;
    run.OutputPath = dialog.FileName;
    run.Direction = request.Direction;
    run.Datum = request.Datum;
    run.OutputUnits = request.OutputUnits;
    run.DecimalSeparator = request.DecimalSeparator;
    run.OnProgress = request.OnProgress;
    run.Table = request.Table;
    // A row without a point or a point that cannot be computed gets * as
    // results and is named after the run; the others are converted.
    run.OnFailure = OnError::Mark;
    run.ConfirmReplace = [&messages] {
        return messages.Show(kOverwriteQuestion, MsgButtons::YesNo, MsgIcon::None, "Confirmation",
                             MsgDefault::Second) == MsgAnswer::Yes;
    };
    try {
        result = ConvertDataFile(run);
    } catch (const OperationCancelled& e) {
        result.status = BatchRunResult::Status::Cancelled;
        result.message = e.what();
    } catch (const OperationError& e) {
        result.status = BatchRunResult::Status::Failed;
        result.message = e.what();
    }
    if (result.status != BatchRunResult::Status::Declined) loader.Reset();
    if (!result.message.empty()) messages.Inform(result.message);
    if (result.status == BatchRunResult::Status::Written && !result.report.Empty()) {
        // A run from a GIS file counts features, any other points.
        const char* counted = result.report.place == "feature" ? " features.\n" : " points.\n";
        messages.Show("The output file " + QuotedText(run.OutputPath) + " was written with " +
                          std::to_string(result.pointCount) + counted +
                          result.report.Text(run.DataFilePath),
                      MsgButtons::OK, MsgIcon::Information, "");
    }
    return result;
}

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
    if (const passwd* entry = ::getpwuid(::getuid());
        entry != nullptr && entry->pw_dir != nullptr) {
        return entry->pw_dir;
    }
    return "/";
}

}  // namespace utm
