// The table reader on any bytes: the first bytes of a file give a layout
// (or a refusal of the request's columns), and every line of them is
// classified, split and written again without a crash and within the room
// the writers promise:
//  - the coordinate columns are two different columns;
//  - SplitRow counts the same fields whether or not it keeps them;
//  - WriteRowFields and WriteScannedRow stay within RowFieldsRoom;
//  - a row written Joined with its own separator and split again has as many
//    fields as the row.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/DataTable.h"
#include "common/OperationError.h"
#include "fuzz/FuzzSupport.h"

namespace {

using utm::fuzz::Require;

void CheckLine(std::string_view line, const utm::TableLayout& layout) {
    const utm::RowKind kind = utm::KindOfRow(line, layout);
    (void)kind;
    const std::vector<std::string_view> fields = utm::RowFields(line, layout.separator);
    Require(fields.size() == utm::SplitRow(line, layout.separator, nullptr, 0),
            "SplitRow counts the fields it keeps", line);
    const std::size_t room = utm::RowFieldsRoom(line.size());
    // A guard past the room catches a writer that oversteps it.
    std::string out(room + 64, '\x7f');
    for (const auto& [style, separator] :
         {std::pair{utm::RowStyle::Joined, '\t'}, std::pair{utm::RowStyle::Joined, ','},
          std::pair{utm::RowStyle::SignPositioned, ' '}}) {
        const char* end = utm::WriteRowFields(out.data(), line, layout, style, separator);
        Require(static_cast<std::size_t>(end - out.data()) <= room, "WriteRowFields stays in room",
                line);
        Require(out[room] == '\x7f', "WriteRowFields writes nothing past its end", line);
    }
    if (layout.separator != utm::FieldSeparator::Blank && !fields.empty()) {
        const char own = utm::SeparatorChar(layout.separator);
        const char* end = utm::WriteRowFields(out.data(), line, layout, utm::RowStyle::Joined, own);
        const std::string_view written(out.data(), static_cast<std::size_t>(end - out.data()));
        Require(utm::SplitRow(written, layout.separator, nullptr, 0) == fields.size() ||
                    line.find('"') != std::string_view::npos,
                "a row written with its own separator keeps its fields", line);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    // The first byte picks the request: separator (or none), columns, kind.
    const std::uint8_t choice = data[0];
    const std::string_view start(reinterpret_cast<const char*>(data) + 1, size - 1);
    utm::TableRequest request;
    if ((choice & 7) < 4) request.separator = static_cast<utm::FieldSeparator>(choice & 3);
    if (choice & 8) request.columns = (choice & 16) ? "2,1" : "Lat,Lon";
    request.decimalSeparator = (choice & 32) ? ',' : '.';
    const auto kind = (choice & 64) ? utm::CoordinateKind::Grid : utm::CoordinateKind::LatLong;
    utm::TableLayout layout;
    try {
        layout = utm::DetectTableLayout(start, (choice & 128) != 0, kind, request);
    } catch (const utm::OperationError&) {
        return 0;  // columns the first row does not have
    }
    Require(layout.first != layout.second, "two different coordinate columns", start);
    std::size_t from = 0;
    while (from <= start.size()) {
        std::size_t stop = start.find_first_of("\r\n", from);
        if (stop == std::string_view::npos) stop = start.size();
        CheckLine(start.substr(from, stop - from), layout);
        from = stop + 1;
    }
    double value = 0.0;
    utm::ReadCoordinate(start, layout.decimalSeparator, value);
    return 0;
}
