#include "spreadsheet/calc/CalcSpreadsheet.h"

#include <algorithm>
#include <chrono>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/datatransfer/DataFlavor.hpp>
#include <com/sun/star/datatransfer/UnsupportedFlavorException.hpp>
#include <com/sun/star/datatransfer/XTransferable.hpp>
#include <com/sun/star/datatransfer/XTransferableSupplier.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/io/IOException.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/lang/IllegalArgumentException.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XSheetCellRanges.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/table/CellRangeAddress.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/table/XTableColumns.hpp>
#include <com/sun/star/table/XTableRows.hpp>
#include <com/sun/star/view/XSelectionSupplier.hpp>
#include <filesystem>
#include <thread>
#include <vector>

#include "spreadsheet/RangeAddress.h"
#include "spreadsheet/calc/CalcWorksheet.h"
#include "spreadsheet/calc/UnoConnection.h"

namespace utm {

using css::uno::Any;
using css::uno::Reference;
using css::uno::Sequence;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using rtl::OUString;

namespace {

css::beans::PropertyValue Property(const char* name, const Any& value) {
    css::beans::PropertyValue property;
    property.Name = OUString::createFromAscii(name);
    property.Value = value;
    return property;
}

bool IsSpreadsheet(const Reference<css::frame::XModel>& model) {
    return Reference<css::sheet::XSpreadsheetDocument>(model, UNO_QUERY).is();
}

// The flavour of plain text that a copy of cells offers.
css::datatransfer::DataFlavor TextFlavor() {
    return css::datatransfer::DataFlavor("text/plain;charset=utf-16", "Unicode-Text",
                                         cppu::UnoType<OUString>::get());
}

// `text`, the office's copy of the data area of a block whose contents are
// `cells`, completed with the empty rows and columns around that area: rows
// ended by LF, cells separated by TAB. Returned unchanged when its rows do not
// match the data area (a cell text holding a line break).
std::string PadToBlock(const std::string& text, const Sequence<Sequence<Any>>& cells) {
    const sal_Int32 rows = cells.getLength();
    const sal_Int32 columns = rows > 0 ? cells[0].getLength() : 0;
    sal_Int32 top = rows, bottom = -1, left = columns, right = -1;
    for (sal_Int32 r = 0; r < rows; ++r) {
        for (sal_Int32 c = 0; c < cells[r].getLength(); ++c) {
            const Any& cell = cells[r][c];
            OUString string;
            const bool empty = !cell.hasValue() || ((cell >>= string) && string.isEmpty());
            if (empty) continue;
            top = std::min(top, r);
            bottom = std::max(bottom, r);
            left = std::min(left, c);
            right = std::max(right, c);
        }
    }
    const std::string emptyRow(static_cast<std::size_t>(std::max<sal_Int32>(columns - 1, 0)), '\t');
    if (bottom < 0) {
        std::string all;
        for (sal_Int32 r = 0; r < rows; ++r) all += emptyRow + "\n";
        return all;
    }
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    if (static_cast<sal_Int32>(lines.size()) != bottom - top + 1) return text;
    const std::string before(static_cast<std::size_t>(left), '\t');
    const std::string after(static_cast<std::size_t>(columns - 1 - right), '\t');
    std::string padded;
    for (sal_Int32 r = 0; r < top; ++r) padded += emptyRow + "\n";
    for (const std::string& line : lines) padded += before + line + after + "\n";
    for (sal_Int32 r = bottom + 1; r < rows; ++r) padded += emptyRow + "\n";
    return padded;
}

// Row/column text of one range: "R2C3:R10C4", "R2C3", whole rows "R2:R5"
// (one row "R2"), whole columns "C1:C3" (one column "C1").
std::string AddressText(const css::table::CellRangeAddress& address, int rowCount,
                        int columnCount) {
    const CellBlock block{address.StartRow + 1, address.StartColumn + 1, address.EndRow + 1,
                          address.EndColumn + 1};
    const bool wholeRows = block.firstColumn == 1 && block.lastColumn == columnCount;
    const bool wholeColumns = block.firstRow == 1 && block.lastRow == rowCount;
    auto span = [](const char* letter, int first, int last) {
        std::string text;
        text.append(letter).append(std::to_string(first));
        if (last != first) text.append(":").append(letter).append(std::to_string(last));
        return text;
    };
    if (wholeRows && !wholeColumns) return span("R", block.firstRow, block.lastRow);
    if (wholeColumns && !wholeRows) return span("C", block.firstColumn, block.lastColumn);
    return FormatBlockAddress(block);
}

}  // namespace

struct CalcSpreadsheet::Impl {
    explicit Impl(CalcOptions o)
        : options(std::move(o)), process(options), connection(options.pipeName) {}

    CalcOptions options;
    OfficeProcess process;
    UnoConnection connection;
    Reference<css::frame::XModel> lastModel;  ///< the workbook bound or made last

    bool Bind() {
        if (connection.Bind()) return true;
        lastModel.clear();
        return false;
    }

    // Starts the office and waits until it answers on the pipe.
    void Launch() {
        process.Start();
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(options.startTimeoutMs);
        while (std::chrono::steady_clock::now() < deadline) {
            if (connection.Connect()) return;
            if (process.EndedEarly() && !connection.Connect()) {
                throw SpreadsheetError("LibreOffice Calc could not be started (" + options.soffice +
                                       " ended at once).");
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        throw SpreadsheetError("LibreOffice Calc did not answer within " +
                               std::to_string(options.startTimeoutMs / 1000) + " seconds.");
    }

    void Activate(const Reference<css::frame::XModel>& model) {
        Reference<css::frame::XController> controller = model->getCurrentController();
        if (controller.is()) {
            Reference<css::frame::XFrame> frame = controller->getFrame();
            if (frame.is()) frame->activate();
        }
        lastModel = model;
    }

    Reference<css::frame::XModel> Load(const std::string& url, const char* target) {
        Reference<css::frame::XComponentLoader> loader(connection.Desktop(), UNO_QUERY_THROW);
        css::beans::PropertyValue hidden = Property("Hidden", Any(options.headless));
        Sequence<css::beans::PropertyValue> properties(&hidden, 1);
        Reference<css::lang::XComponent> component = loader->loadComponentFromURL(
            ToOUString(url), OUString::createFromAscii(target), 0, properties);
        return Reference<css::frame::XModel>(component, UNO_QUERY);
    }

    static bool Usable(const Reference<css::frame::XModel>& model) {
        if (!IsSpreadsheet(model)) return false;
        try {
            return model->getCurrentController().is();
        } catch (const css::lang::DisposedException&) {
            return false;
        }
    }

    // The current workbook: the office's current document when it is a
    // spreadsheet, else the one bound last, else the first open spreadsheet.
    Reference<css::frame::XModel> CurrentModel() {
        connection.Require();
        const Reference<css::frame::XDesktop2>& desktop = connection.Desktop();
        Reference<css::frame::XModel> model(desktop->getCurrentComponent(), UNO_QUERY);
        if (Usable(model)) return model;
        if (lastModel.is() && Usable(lastModel)) return lastModel;
        Reference<css::container::XEnumeration> components =
            desktop->getComponents()->createEnumeration();
        while (components->hasMoreElements()) {
            Reference<css::frame::XModel> candidate(components->nextElement(), UNO_QUERY);
            if (Usable(candidate)) return candidate;
        }
        throw SpreadsheetError("No spreadsheet is open in LibreOffice Calc.");
    }

    std::shared_ptr<Worksheet> SheetOf(const Reference<css::frame::XModel>& model,
                                       Reference<css::sheet::XSpreadsheet> sheet) {
        return std::make_shared<CalcWorksheet>(connection, model, std::move(sheet));
    }
};

CalcSpreadsheet::CalcSpreadsheet(CalcOptions options)
    : impl_(std::make_unique<Impl>(std::move(options))) {}

CalcSpreadsheet::~CalcSpreadsheet() {
    if (!impl_->options.terminateOnExit || !impl_->process.Started()) return;
    try {
        // Reconnect when an error dropped the connection to our own office.
        if (impl_->connection.Bind()) impl_->connection.Desktop()->terminate();
    } catch (const css::uno::Exception&) {
        // The office goes away during the call.
    }
    impl_->lastModel.clear();
    impl_->connection.Drop();
    impl_->process.AwaitEnd(std::chrono::seconds(10));
}

bool CalcSpreadsheet::BindRunning() {
    return impl_->connection.Guarded([&] { return impl_->Bind(); });
}

void CalcSpreadsheet::StartNew() {
    impl_->connection.Guarded([&] {
        if (!impl_->Bind()) impl_->Launch();
        Reference<css::frame::XModel> model = impl_->Load("private:factory/scalc", "_blank");
        if (!model.is()) throw SpreadsheetError("LibreOffice Calc made no new spreadsheet.");
        impl_->Activate(model);
    });
}

void CalcSpreadsheet::BindWorkbook(const std::string& path) {
    impl_->connection.Guarded([&] {
        std::error_code error;
        std::filesystem::path absolute = std::filesystem::absolute(path, error);
        if (error || !std::filesystem::is_regular_file(absolute, error)) {
            throw SpreadsheetError("The workbook " + path + " cannot be opened: no such file.");
        }
        if (!impl_->Bind()) impl_->Launch();
        const std::string url = FileUrl(absolute.string());
        // A workbook already open is bound, not opened a second time.
        Reference<css::container::XEnumeration> components =
            impl_->connection.Desktop()->getComponents()->createEnumeration();
        while (components->hasMoreElements()) {
            Reference<css::frame::XModel> model(components->nextElement(), UNO_QUERY);
            if (model.is() && ToUtf8(model->getURL()) == url && IsSpreadsheet(model)) {
                impl_->Activate(model);
                return;
            }
        }
        Reference<css::frame::XModel> model;
        try {
            model = impl_->Load(url, "_default");
        } catch (const css::lang::IllegalArgumentException&) {
        } catch (const css::io::IOException&) {
        }
        if (!model.is()) {
            throw SpreadsheetError("The workbook " + path + " cannot be opened.");
        }
        if (!IsSpreadsheet(model)) {
            throw SpreadsheetError("The file " + path + " is not a spreadsheet.");
        }
        impl_->Activate(model);
    });
}

void CalcSpreadsheet::Show() {
    impl_->connection.Guarded([&] {
        Reference<css::frame::XModel> model = impl_->CurrentModel();
        Reference<css::frame::XFrame> frame = model->getCurrentController()->getFrame();
        // A headless office has no window to show.
        if (!impl_->options.headless) frame->getContainerWindow()->setVisible(true);
        frame->activate();
    });
}

SheetSelection CalcSpreadsheet::Selection() {
    return impl_->connection.Guarded([&] {
        Reference<css::frame::XModel> model = impl_->CurrentModel();
        Reference<css::frame::XController> controller = model->getCurrentController();
        Any selection =
            Reference<css::view::XSelectionSupplier>(controller, UNO_QUERY_THROW)->getSelection();
        Reference<css::sheet::XSpreadsheetView> view(controller, UNO_QUERY_THROW);
        Reference<css::table::XColumnRowRange> extent(view->getActiveSheet(), UNO_QUERY_THROW);
        const int rows = extent->getRows()->getCount();
        const int columns = extent->getColumns()->getCount();

        std::vector<css::table::CellRangeAddress> addresses;
        if (Reference<css::sheet::XSheetCellRanges> ranges(selection, UNO_QUERY); ranges.is()) {
            for (const auto& address : ranges->getRangeAddresses()) addresses.push_back(address);
        } else if (Reference<css::sheet::XCellRangeAddressable> range(selection, UNO_QUERY);
                   range.is()) {
            addresses.push_back(range->getRangeAddress());
        }
        if (addresses.empty()) {
            throw SpreadsheetError("The selection in LibreOffice Calc is not a block of cells.");
        }
        SheetSelection result;
        for (const auto& address : addresses) {
            if (!result.address.empty()) result.address += ",";
            result.address += AddressText(address, rows, columns);
        }
        // The sheet that holds the selection, by its index in the workbook.
        Reference<css::container::XIndexAccess> sheets(
            Reference<css::sheet::XSpreadsheetDocument>(model, UNO_QUERY_THROW)->getSheets(),
            UNO_QUERY_THROW);
        Reference<css::sheet::XSpreadsheet> sheet(sheets->getByIndex(addresses.front().Sheet),
                                                  UNO_QUERY_THROW);
        result.sheet = impl_->SheetOf(model, sheet);
        return result;
    });
}

std::shared_ptr<Worksheet> CalcSpreadsheet::ActiveSheet() {
    return impl_->connection.Guarded([&]() -> std::shared_ptr<Worksheet> {
        Reference<css::frame::XModel> model = impl_->CurrentModel();
        Reference<css::sheet::XSpreadsheetView> view(model->getCurrentController(),
                                                     UNO_QUERY_THROW);
        return impl_->SheetOf(model, view->getActiveSheet());
    });
}

std::string CalcSpreadsheet::CopySelectionText() {
    return impl_->connection.Guarded([&] {
        Reference<css::frame::XController> controller =
            impl_->CurrentModel()->getCurrentController();
        Reference<css::datatransfer::XTransferableSupplier> supplier(controller, UNO_QUERY_THROW);
        Reference<css::datatransfer::XTransferable> transferable = supplier->getTransferable();
        OUString copied;
        try {
            if (transferable.is()) transferable->getTransferData(TextFlavor()) >>= copied;
        } catch (const css::datatransfer::UnsupportedFlavorException&) {
            // An empty block has no text form.
        }
        std::string text = ToUtf8(copied);

        // The office's copy leaves out the empty rows and columns at the edges
        // of the block (and has no text at all for an empty block); put them
        // back so that every row and column of the block keeps its place.
        Reference<css::view::XSelectionSupplier> selection(controller, UNO_QUERY_THROW);
        Any selected = selection->getSelection();
        Reference<css::sheet::XSheetCellRanges> several(selected, UNO_QUERY);
        Reference<css::sheet::XCellRangeData> data(selected, UNO_QUERY);
        if (!several.is() && data.is()) text = PadToBlock(text, data->getDataArray());

        // Rows end with CR LF, the last one included.
        std::string crlf;
        crlf.reserve(text.size() + text.size() / 8 + 2);
        for (char c : text) {
            if (c == '\n' && (crlf.empty() || crlf.back() != '\r')) crlf += '\r';
            crlf += c;
        }
        if (!crlf.empty() && crlf.back() != '\n') crlf += "\r\n";
        return crlf;
    });
}

}  // namespace utm
