#include "operations/TransferFile.h"

#include <cmath>
#include <cstring>
#include <exception>
#include <filesystem>
#include <system_error>
#include <utility>

#include "common/BlockRunner.h"
#include "common/DataFileReader.h"
#include "common/FastNumberFormat.h"
#include "common/FileIO.h"
#include "common/GeneralFormText.h"
#include "common/NumberFormat.h"
#include "common/PairScanner.h"
#include "geodesy/Accuracy.h"
#include "geodesy/GridDefinition.h"
#include "geodesy/GridTransform.h"
#include "gis/GisFormat.h"
#include "gis/GisTransform.h"
#include "operations/TransferKind.h"

namespace utm {

namespace {

constexpr const char* kNothingWritten = " No result file was written.";

char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string PointText(const PointRow& point) {
    return "(" + FormatGeneral(point[0]) + ", " + FormatGeneral(point[1]) + ")";
}

std::string Quoted(std::string_view text) {
    return QuotedText(text);
}

/// Writes one value of a text-mode line: the sign position, the digits, one blank.
char* WriteTextValue(char* out, double value, char decimalSeparator) {
    if (!(value < 0)) *out++ = ' ';
    out = WritePlainDecimal(out, value, decimalSeparator);
    *out++ = ' ';
    return out;
}

/// The longest result line: four values with sign position and blank, CR LF.
constexpr std::size_t kMaxLineLength = 4 * (kMaxPlainDecimalTextLength + 2) + 2;

/// Writes the result line of one row at `out` (room for kMaxLineLength).
/// Writes an input value: its field copied when the field is already the
/// plain decimal the writer would give (`generalText`, empty otherwise).
char* WriteInputValue(char* out, std::string_view generalText, double value,
                      char decimalSeparator) {
    if (generalText.empty() || decimalSeparator != '.') {
        return WritePlainDecimal(out, value, decimalSeparator);
    }
    return CopyField(out, generalText);
}

char* WriteResultLine(char* out, const PointRow& point, const ResultRow& result, DataFileMode mode,
                      char decimalSeparator, std::string_view firstText = {},
                      std::string_view secondText = {}) {
    if (mode == DataFileMode::Csv) {
        out = WriteInputValue(out, firstText, point[0], '.');
        *out++ = ',';
        out = WriteInputValue(out, secondText, point[1], '.');
        *out++ = ',';
        if (result[0]) out = WritePlainDecimal(out, *result[0]);
        *out++ = ',';
        if (result[1]) out = WritePlainDecimal(out, *result[1]);
    } else {
        if (!(point[0] < 0)) *out++ = ' ';
        out = WriteInputValue(out, firstText, point[0], decimalSeparator);
        *out++ = ' ';
        if (!(point[1] < 0)) *out++ = ' ';
        out = WriteInputValue(out, secondText, point[1], decimalSeparator);
        *out++ = ' ';
        if (result[0]) out = WriteTextValue(out, *result[0], decimalSeparator);
        if (result[1]) out = WriteTextValue(out, *result[1], decimalSeparator);
    }
    *out++ = '\r';
    *out++ = '\n';
    return out;
}

/// The line of a point that cannot be transferred, under --on-error mark:
/// the inputs, then "*" for each result ("x,y,*,*" or " x  y  *  * ").
char* WriteMarkedLine(char* out, const PointRow& point, DataFileMode mode, char decimalSeparator,
                      std::string_view firstText, std::string_view secondText) {
    out = WriteResultLine(out, point, ResultRow{}, mode, decimalSeparator, firstText, secondText);
    out -= 2;  // before the CR LF
    const char* const marks = mode == DataFileMode::Csv ? "*,*\r\n" : " *  * \r\n";
    if (mode == DataFileMode::Csv) out -= 1;  // the CSV line ends in two commas: keep one
    const std::size_t n = std::strlen(marks);
    std::memcpy(out, marks, n);
    return out + n;
}

/// Writes the result line of a table row: its fields in the mode's style,
/// then the two results (or "*" for each when `result` is nothing).
char* WriteRowResultLine(char* out, std::string_view row, const TableLayout& layout,
                         const ResultRow* result, DataFileMode mode, char decimalSeparator,
                         bool scanned = false) {
    if (mode == DataFileMode::Csv) {
        out = scanned ? WriteScannedRow(out, row, layout, ',')
                      : WriteRowFields(out, row, layout, RowStyle::Joined, ',');
        *out++ = ',';
        if (result == nullptr) {
            *out++ = '*';
        } else if ((*result)[0]) {
            out = WritePlainDecimal(out, *(*result)[0]);
        }
        *out++ = ',';
        if (result == nullptr) {
            *out++ = '*';
        } else if ((*result)[1]) {
            out = WritePlainDecimal(out, *(*result)[1]);
        }
    } else {
        out = WriteRowFields(out, row, layout, RowStyle::SignPositioned, ' ');
        if (result == nullptr) {
            std::memcpy(out, " *  * ", 6);
            out += 6;
        } else {
            if ((*result)[0]) out = WriteTextValue(out, *(*result)[0], decimalSeparator);
            if ((*result)[1]) out = WriteTextValue(out, *(*result)[1], decimalSeparator);
        }
    }
    *out++ = '\r';
    *out++ = '\n';
    return out;
}

bool IsExistingFile(const std::string& path) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    return !ec && std::filesystem::exists(status) && !std::filesystem::is_directory(status);
}

/// What every block of one transfer run needs to know.
struct TransferSetup {
    /// The transformation of the run, or nullptr when no transfer is chosen
    /// (the result columns stay empty). Built once per run and only read by
    /// the blocks, on both threads.
    const GridTransform* transform = nullptr;
    DataFileMode mode = DataFileMode::Csv;
    char writeSeparator = '.';  // of text-mode values written
    bool strict = false;
    OnError onError = OnError::Stop;
    bool sourceIsGrid = true;  // else latitude/longitude in degrees
    bool targetIsGrid = true;
    double poleNorthing = 0.0;             // of the source grid
    TableLayout layout;                    // how the data file's rows are laid out
    ResultNames names = kGridResultNames;  // appended to a header row
};

/// The northing of the pole on `grid`.
double PoleNorthingOf(const GridDefinition& grid) {
    return PoleNorthing(TermsOf(*grid.ellipsoid), grid.k0);
}

/// Checks the source pair of one line: a northing beyond the pole on a source
/// grid, a latitude outside -90 to 90 on a latitude/longitude source.
void CheckSource(const TransferSetup& setup, const PointRow& point, std::size_t number,
                 RunReport& report) {
    if (setup.sourceIsGrid) {
        if (!(std::fabs(point[1]) <= setup.poleNorthing)) {
            if (setup.strict) {
                throw LineError(
                    number, "the northing " + FormatGeneral(point[1]) + " lies beyond the pole");
            }
            report.Add(Finding::LatitudeRange, number);
        }
    } else if (OutsideLatitudeRange(point[0])) {
        if (setup.strict) {
            throw LineError(number, "the latitude " + FormatGeneral(point[0]) +
                                        " lies outside -90 to 90 degrees");
        }
        report.Add(Finding::LatitudeRange, number);
    }
}

/// Transfers the lines of one block into result lines (see TransferFile).
void TransferBlock(const TransferSetup& setup, std::string_view block, BlockOutput& out) {
    // Lines are written straight into the block's output, in rooms of
    // kRoomSize bytes.
    constexpr std::size_t kRoomSize = 1 << 16;
    LineRooms rooms(out.bytes, kRoomSize, kMaxLineLength);
    char* p = rooms.Start();
    const GridTransform* const transform = setup.transform;
    const auto flush = [&] { p = rooms.Flush(p); };
    // Room for a line of `n` bytes besides the numbers (a table row).
    const auto room = [&](std::size_t n) { p = rooms.Need(p, n); };
    const TableLayout& layout = setup.layout;
    // `computed`: the transform's result for the point when it is already
    // known (from a batch), else nullptr. The texts come by reference: passed
    // by value they would go on the stack, and reading each back whole right
    // after its halves were stored stalls the processor on every line.
    const auto transferLine = [&](const TransferLine& line, std::string_view /*text*/,
                                  std::size_t number, const std::string_view& firstText,
                                  const std::string_view& secondText,
                                  const CoordinatePair* computed) {
        if (!line.row.empty()) room(RowFieldsRoom(line.row.size()));
        if (line.notNumbers != 0) {
            if (setup.strict) {
                throw LineError(number,
                                "the field " + QuotedExcerpt(line.badField) + " is not a number");
            }
            for (int i = 0; i < line.notNumbers; ++i) out.report.Add(Finding::NotNumber, number);
        }
        ResultRow result;
        if (transform != nullptr) {
            CheckSource(setup, line.point, number, out.report);
            CoordinatePair r{};
            try {
                // A batch result that is not finite is where Apply throws:
                // Apply runs again for its error.
                if (computed != nullptr && std::isfinite(computed->first) &&
                    std::isfinite(computed->second)) {
                    r = *computed;
                } else {
                    r = transform->Apply(line.point[0], line.point[1]);
                }
            } catch (const ArithmeticError& e) {
                if (setup.onError == OnError::Stop) {
                    throw LineError(number, "the point " + PointText(line.point) +
                                                " cannot be transferred: " + e.what());
                }
                out.report.Add(Finding::Failed, number);
                if (setup.onError == OnError::Mark) {
                    p = line.row.empty()
                            ? WriteMarkedLine(p, line.point, setup.mode, setup.writeSeparator,
                                              firstText, secondText)
                            : WriteRowResultLine(p, line.row, layout, nullptr, setup.mode,
                                                 setup.writeSeparator);
                    flush();
                }
                return;
            }
            if ((setup.sourceIsGrid && Beyond(line.point[0], kInverseCentimetreReach)) ||
                (setup.targetIsGrid && Beyond(r.first, kForwardCentimetreReach))) {
                out.report.Add(Finding::FarFromMeridian, number);
            }
            result = {r.first, r.second};
        }
        p = line.row.empty() ? WriteResultLine(p, line.point, result, setup.mode,
                                               setup.writeSeparator, firstText, secondText)
                             : WriteRowResultLine(p, line.row, layout, &result, setup.mode,
                                                  setup.writeSeparator, line.scannedRow);
        flush();
    };
    // Plain lines wait in a batch whose points are transformed together (the
    // same bits as one at a time, see GridTransform::ApplyBlock); the batch is
    // written out before any other line, so the lines keep their order.
    PlainLineBatch batch;
    const auto transferBatch = [&] {
        if (batch.count == 0) return;
        transform->ApplyBlock(batch.count, batch.first, batch.second, batch.resultFirst,
                              batch.resultSecond);
        for (std::size_t i = 0; i < batch.count; ++i) {
            TransferLine line;
            line.point = {batch.first[i], batch.second[i]};
            line.row = batch.row[i];
            line.scannedRow = true;
            const CoordinatePair computed{batch.resultFirst[i], batch.resultSecond[i]};
            transferLine(line, std::string_view(), batch.number[i], batch.firstText[i],
                         batch.secondText[i], &computed);
        }
        batch.count = 0;
    };
    // A row that is not a point is written as it stands (a header row with
    // the result names after it); a row whose coordinate field holds no
    // number gets no results.
    const auto otherRow = [&](std::string_view text, std::size_t number) {
        const RowKind kind = KindOfRow(text, layout);
        if (kind != RowKind::Data) {
            room(CarriedRowRoom(text.size()));
            const bool csv = setup.mode == DataFileMode::Csv;
            p = WriteCarriedRow(p, text, kind, layout,
                                csv ? RowStyle::Joined : RowStyle::SignPositioned, ',',
                                setup.names);
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
                p = WriteRowResultLine(p, text, layout, nullptr, setup.mode, setup.writeSeparator);
                flush();
            }
            return;
        }
        TransferLine line;
        if (!point.pair) line.row = text;
        line.point = {point.value[0], point.value[1]};
        for (std::size_t i = 0; i < 2; ++i) {
            if (point.reading[i] == CoordinateReading::Partial && line.notNumbers++ == 0) {
                line.badField = point.field[i];
            }
        }
        transferLine(line, text, number, {}, {}, nullptr);
    };
    const LineScan scan = FastScanOf(layout);
    // Most lines are plain numbers in plain fields: one pass reads them (when
    // the fields are read with "."). Any other line goes through the general
    // reader, which reads those the same way.
    out.lines = ForEachPairLine(
        block, scan,
        [&](const ScannedNumber& first, const ScannedNumber& second, std::size_t number,
            std::string_view row) {
            if (transform == nullptr) {
                TransferLine line;
                line.point = {first.value, second.value};
                line.row = row;
                line.scannedRow = true;
                transferLine(line, std::string_view(), number,
                             first.generalForm ? first.text : std::string_view(),
                             second.generalForm ? second.text : std::string_view(), nullptr);
                return;
            }
            if (batch.Add(first, second, number, row)) transferBatch();
        },
        [&](std::string_view text, std::size_t number) {
            transferBatch();
            otherRow(text, number);
        });
    transferBatch();
    rooms.Finish(p);
}

/// The distance named in the report's far-from-meridian sentence, for the
/// grids at the ends of the run.
std::string FarDistanceText(bool sourceIsGrid, bool targetIsGrid) {
    const std::string source =
        std::to_string(std::lround(kInverseCentimetreReach / 1000.0)) + " km on the source grid";
    const std::string target =
        std::to_string(std::lround(kForwardCentimetreReach / 1000.0)) + " km on the target grid";
    if (sourceIsGrid && targetIsGrid) return source + " or " + target;
    return sourceIsGrid ? source : target;
}

/// The file run of TransferFile and TransformFile, with `transform` nullptr
/// when no transfer is chosen.
TransferFileResult RunTransferFile(const std::string& dataPath, const std::string& resultPath,
                                   const GridTransform* transform, const TransferOptions& options) {
    TransferFileResult result;
    std::optional<SafeFileWriter> writer;  // outside the try: a failure says what it wrote
    try {
        if (dataPath != kStandardInput && !IsExistingFile(dataPath)) {
            throw OperationError("There is no data file " + Quoted(dataPath) + ".");
        }
        DataFileReader reader(dataPath);
        TransferSetup setup;
        setup.mode = ModeOfPath(dataPath);
        {
            TableRequest table = options.table;
            table.fallback =
                setup.mode == DataFileMode::Csv ? FieldSeparator::Comma : FieldSeparator::Tab;
            // A CSV field cannot hold a decimal comma (it would split the
            // field), so CSV files are read with "." as their result files are
            // written.
            table.decimalSeparator =
                setup.mode == DataFileMode::Csv ? '.' : options.decimalSeparator;
            const bool latLongSource = transform != nullptr && GridOf(transform->from()) == nullptr;
            // The start first: PeekIsWhole tells about what Peek has read.
            const std::string_view start = reader.Peek();
            setup.layout = DetectTableLayout(
                start, reader.PeekIsWhole(),
                latLongSource ? CoordinateKind::LatLong : CoordinateKind::Grid, table);
        }
        writer.emplace(resultPath, reader.Identity());
        if (options.lfLineEnds) writer->WriteLfLineEnds();
        setup.transform = transform;
        setup.writeSeparator = options.decimalSeparator;
        setup.strict = options.strict;
        setup.onError = options.onError;
        if (options.onError == OnError::Mark)
            result.report.failedRule = "written with * as results";
        if (transform != nullptr) {
            const GridDefinition* source = GridOf(transform->from());
            setup.sourceIsGrid = source != nullptr;
            setup.targetIsGrid = GridOf(transform->to()) != nullptr;
            if (source != nullptr) setup.poleNorthing = PoleNorthingOf(*source);
        }
        setup.names = setup.targetIsGrid ? kGridResultNames : kLatLongResultNames;
        result.report.fieldCountRule = "each was taken as the pair (0, 0)";
        result.report.farDistance = FarDistanceText(setup.sourceIsGrid, setup.targetIsGrid);
        try {
            result.lines = RunBlocks(
                reader,
                [&setup](std::string_view block, BlockOutput& out) {
                    TransferBlock(setup, block, out);
                },
                [&writer](std::string_view bytes) { writer->Write(bytes); }, result.report,
                options.onProgress);
        } catch (const LineError& e) {
            throw OperationError("Line " + std::to_string(e.line()) + " of " +
                                 DataFileNamed(dataPath) + ": " + e.what() + ".");
        }
        if (result.lines == 0) {
            throw OperationError(Capitalized(DataFileNamed(dataPath)) + " holds no lines.");
        }
        writer->Commit();
    } catch (const OperationCancelled&) {
        throw OperationCancelled("Cancelled: no result file was written, and " +
                                 Quoted(resultPath) + " was left as it was.");
    } catch (const OperationError& e) {
        // Output to the standard output streams: what went there is said as such.
        const std::string sent = writer ? writer->WrittenBeforeFailure() : std::string();
        throw OperationError(Sentence(e.what()) + (sent.empty() ? kNothingWritten : " " + sent));
    }
    return result;
}

}  // namespace

DataFileMode ModeOfPath(std::string_view path) {
    if (path.size() < 3) return DataFileMode::Text;
    const std::string_view tail = path.substr(path.size() - 3);
    const bool csv =
        UpperAscii(tail[0]) == 'C' && UpperAscii(tail[1]) == 'S' && UpperAscii(tail[2]) == 'V';
    return csv ? DataFileMode::Csv : DataFileMode::Text;
}

char DelimiterOf(DataFileMode mode) {
    return mode == DataFileMode::Csv ? ',' : '\t';
}

std::optional<std::string> ResultFilePath(std::string_view dataPath) {
    const std::size_t slash = dataPath.rfind('/');
    const std::string_view folder =
        slash == std::string_view::npos ? std::string_view() : dataPath.substr(0, slash + 1);
    const std::string_view name =
        slash == std::string_view::npos ? dataPath : dataPath.substr(slash + 1);
    if (name.empty() || name == "." || name == "..") return std::nullopt;
    std::string result(folder);
    // A GIS file's result is a file of its format: "parcels.gpkg" gives
    // "parcelsOut.gpkg".
    if (IsGisFormat(FormatOfPath(name))) {
        const std::size_t ending = name.rfind('.');
        result.append(name.substr(0, ending));
        result += "Out";
        result.append(name.substr(ending));
        return result;
    }
    // "pts.csv" loses ".csv"; a name without such an ending keeps all of
    // itself. Characters, not bytes: "pts.€€x" loses ".€€x".
    std::size_t dot = name.size();
    for (int characters = 0; characters < 3 && dot > 0; ++characters) {
        --dot;
        while (dot > 0 && (static_cast<unsigned char>(name[dot]) & 0xC0) == 0x80) --dot;
    }
    const bool dotAndThree =
        dot > 0 && name[dot - 1] == '.' && name.substr(dot).find('.') == std::string_view::npos;
    if (dotAndThree) {
        result.append(name.substr(0, dot - 1));
        result += ModeOfPath(dataPath) == DataFileMode::Csv ? "Out.csv" : "Out.txt";
    } else {
        result.append(name);
        result += "Out.txt";
    }
    return result;
}

TransferLine ReadTransferLine(std::string_view text, char delimiter, char decimalSeparator) {
    TransferLine line;
    std::string_view fields[2];
    const std::size_t count = SplitFields(text, delimiter, fields, 2);
    if (count != 2) {
        line.fieldCount = true;
        return line;  // the pair (0, 0)
    }
    for (std::size_t i = 0; i < 2; ++i) {
        if (!ParseLocaleNumber(fields[i], decimalSeparator, line.point[i])) {
            line.point[i] = 0.0;
            if (line.notNumbers++ == 0) line.badField = fields[i];
        }
    }
    return line;
}

PointBlock ReadPointBlock(std::string_view content, DataFileMode mode, char decimalSeparator) {
    PointBlock points;
    const char delimiter = DelimiterOf(mode);
    // A CSV field cannot hold a decimal comma (it would split the field), so
    // CSV files are read with "." as their result files are written.
    const char separator = mode == DataFileMode::Csv ? '.' : decimalSeparator;
    ForEachLine(content, [&](std::string_view line, std::size_t) {
        points.push_back(ReadTransferLine(line, delimiter, separator).point);
    });
    return points;
}

void AppendResultLine(std::string& out, const PointRow& point, const ResultRow& result,
                      DataFileMode mode, char decimalSeparator) {
    char line[kMaxLineLength];
    const char* end = WriteResultLine(line, point, result, mode, decimalSeparator);
    out.append(line, static_cast<std::size_t>(end - line));
}

std::string FormatResultFile(const PointBlock& points, const ResultBlock& results,
                             DataFileMode mode, char decimalSeparator) {
    std::string out;
    for (std::size_t i = 0; i < points.size(); ++i) {
        AppendResultLine(out, points[i], results.at(i), mode, decimalSeparator);
    }
    return out;
}

namespace {

/// A list caption's grids: "Everest-81" and "Everest-84" of "Everest-81 to Everest-84".
std::pair<std::string, std::string> CaptionGrids(int kind) {
    const std::string_view caption = kTransferKindCaptions[static_cast<std::size_t>(kind)];
    const std::size_t to = caption.find(" to ");
    return {std::string(caption.substr(0, to)), std::string(caption.substr(to + 4))};
}

/// The file transfer of a GIS data file into `resultPath`: every vertex by
/// the kind's transformation with the options' shift, written by RunGisFile.
TransferFileResult TransferGisFile(const std::string& dataPath, const std::string& resultPath,
                                   int kind, const TransferOptions& options) {
    const GisFormat format = FormatOfPath(dataPath);
    if (HoldsWgs84LatLong(format)) {
        throw OperationError("A " + std::string(FormatName(format)) +
                             " file holds WGS 84 latitudes and longitudes, and the transfers run "
                             "between grids: convert it in the main window's Multiple Data "
                             "instead." +
                             kNothingWritten);
    }
    if (!IsTransferKind(kind)) {
        throw OperationError(
            "No transfer is chosen in the list: a GIS file is transferred by one of its "
            "entries." +
            std::string(kNothingWritten));
    }
    const GridTransform transform = TransformOfKind(kind, options.datumShift);
    const auto [fromGrid, toGrid] = CaptionGrids(kind);
    GisRunRequest request;
    request.inputPath = dataPath;
    request.outputPath = resultPath;
    request.conversion = ConversionOf(transform);
    request.sourceLabel = fromGrid + " (the grid the chosen transfer starts from)";
    request.targetLabel = toGrid;
    // A feature that cannot be transferred is, as the options say, written
    // without its geometry, left out or stops the run.
    request.onError = options.onError;
    request.onProgress = options.onProgress;
    request.table = options.table;
    GisRunResult written = RunGisFile(request);
    TransferFileResult result;
    result.lines = written.features;
    result.report = std::move(written.report);
    return result;
}

}  // namespace

TransferFileResult TransferFile(const std::string& dataPath, const std::string& resultPath,
                                int kind, const TransferOptions& options) {
    if (IsGisRun(dataPath, resultPath)) {
        return TransferGisFile(dataPath, resultPath, kind, options);
    }
    if (!IsTransferKind(kind)) return RunTransferFile(dataPath, resultPath, nullptr, options);
    const GridTransform transform = TransformOfKind(kind, options.datumShift);
    return RunTransferFile(dataPath, resultPath, &transform, options);
}

TransferFileResult TransformFile(const std::string& dataPath, const std::string& resultPath,
                                 CoordinateSystem from, CoordinateSystem to,
                                 const TransferOptions& options) {
    const GridTransform transform(from, to, options.datumShift);
    return RunTransferFile(dataPath, resultPath, &transform, options);
}

FileTransferOutcome TransferDataFile(const std::string& dataPath, int kind, char decimalSeparator,
                                     MessageBoxPort& messages, const Progress& progress,
                                     const DatumShift& shift, const TableRequest& table) {
    FileTransferOutcome outcome;
    if (dataPath.empty() || !IsExistingFile(dataPath)) return outcome;

    const std::optional<std::string> resultPath = ResultFilePath(dataPath);
    if (!resultPath) {
        outcome.status = FileTransferStatus::Failed;
        messages.Inform("The data file name " + Quoted(dataPath) +
                        " names no file to put a result file beside." + kNothingWritten);
        return outcome;
    }
    outcome.resultPath = *resultPath;
    TransferOptions options;
    options.decimalSeparator = decimalSeparator;
    options.onProgress = progress;
    options.datumShift = shift;
    options.table = table;
    // A row without a point or a point that cannot be transferred gets * as
    // results and is named after the run; the others are transferred.
    options.onError = OnError::Mark;
    try {
        TransferFileResult result = TransferFile(dataPath, *resultPath, kind, options);
        outcome.lines = result.lines;
        outcome.report = std::move(result.report);
        outcome.status = FileTransferStatus::Written;
    } catch (const OperationCancelled& e) {
        outcome.status = FileTransferStatus::Cancelled;
        messages.Inform(e.what());
    } catch (const OperationError& e) {
        outcome.status = FileTransferStatus::Failed;
        messages.Inform(e.what());
    }
    if (outcome.status == FileTransferStatus::Written && !outcome.report.Empty()) {
        // A GIS file's findings count its features, a text file's its lines.
        const char* counted = outcome.report.place == "feature" ? " features.\n" : " lines.\n";
        messages.Show("The result file " + Quoted(*resultPath) + " was written with " +
                          std::to_string(outcome.lines) + counted + outcome.report.Text(dataPath),
                      MsgButtons::OK, MsgIcon::Information, "");
    }
    return outcome;
}

}  // namespace utm
