#include "operations/DataLoad.h"

#include "common/BlockRunner.h"
#include "common/DataFileReader.h"
#include "operations/BatchConversion.h"

namespace utm {

std::size_t CountDataLines(const std::string& path) {
    DataFileReader reader(path);
    std::string block;
    std::size_t lines = 0;
    while (reader.NextBlock(block))
        lines += ForEachLine(block, [](std::string_view, std::size_t) {});
    return lines;
}

std::size_t CountDataRows(const std::string& path, CoordinateKind kind, const TableRequest& request,
                          const Progress& progress) {
    DataFileReader reader(path);
    const std::string_view start = reader.Peek();  // before PeekIsWhole, which it sets
    const TableLayout layout = DetectTableLayout(start, reader.PeekIsWhole(), kind, request);
    std::string block;
    std::size_t rows = 0;
    while (reader.NextBlock(block)) {
        ForEachLine(block, [&](std::string_view line, std::size_t) {
            if (KindOfRow(line, layout) == RowKind::Data) ++rows;
        });
        if (progress && !progress(reader.Done()))
            throw OperationCancelled("The count was cancelled.");
    }
    return rows;
}

void dataload::CountData(const std::string& location) {
    columns_.DataCount = 0;
    try {
        columns_.DataCount = CountDataLines(location);
    } catch (const OperationError&) {
        return;  // counted as no lines
    }
    if (columns_.DataCount == 0) return;
    columns_.DataFirst.Recreate(columns_.DataCount);
    columns_.DataSecond.Recreate(columns_.DataCount);
}

void dataload::ReadData(const std::string& location) {
    CountData(location);
    if (columns_.DataCount == 0) return;
    try {
        DataFileReader reader(location);
        std::string block;
        std::size_t i = 0;
        while (reader.NextBlock(block)) {
            ForEachLine(block, [&](std::string_view line, std::size_t) {
                if (++i > columns_.DataCount) return;  // the file grew since it was counted
                const DataLine data = ReadDataLine(line);
                columns_.DataFirst(i) = data.first;
                columns_.DataSecond(i) = data.second;
            });
        }
    } catch (const OperationError&) {
        // Points not read stay 0.
    }
}

void dataload::Reset() {
    columns_.DataFirst.Clear();
    columns_.DataSecond.Clear();
    columns_.DataCount = 0;
}

}  // namespace utm
