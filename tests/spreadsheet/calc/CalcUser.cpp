#include "spreadsheet/calc/CalcUser.h"

#include <chrono>
#include <com/sun/star/awt/FontSlant.hpp>
#include <com/sun/star/awt/FontWeight.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/datatransfer/DataFlavor.hpp>
#include <com/sun/star/datatransfer/UnsupportedFlavorException.hpp>
#include <com/sun/star/datatransfer/XTransferable.hpp>
#include <com/sun/star/datatransfer/clipboard/SystemClipboard.hpp>
#include <com/sun/star/datatransfer/clipboard/XSystemClipboard.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/Locale.hpp>
#include <com/sun/star/sheet/FilterOperator.hpp>
#include <com/sun/star/sheet/TableFilterField.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XCellRangesQuery.hpp>
#include <com/sun/star/sheet/XSheetCellRanges.hpp>
#include <com/sun/star/sheet/XSheetFilterDescriptor.hpp>
#include <com/sun/star/sheet/XSheetFilterable.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/sheet/XSpreadsheets.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/table/XTableColumns.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/util/XNumberFormats.hpp>
#include <com/sun/star/util/XNumberFormatsSupplier.hpp>
#include <com/sun/star/util/XProtectable.hpp>
#include <com/sun/star/view/XSelectionSupplier.hpp>
#include <cppuhelper/implbase1.hxx>
#include <filesystem>
#include <thread>

#include "spreadsheet/RangeAddress.h"
#include "spreadsheet/calc/UnoConnection.h"

namespace utm::test {

using css::uno::Any;
using css::uno::Reference;
using css::uno::Sequence;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using rtl::OUString;

namespace {

css::datatransfer::DataFlavor TextFlavor() {
    return css::datatransfer::DataFlavor("text/plain;charset=utf-16", "Unicode-Text",
                                         cppu::UnoType<OUString>::get());
}

class TextTransferable : public cppu::WeakImplHelper1<css::datatransfer::XTransferable> {
  public:
    explicit TextTransferable(OUString text) : text_(std::move(text)) {}
    Any SAL_CALL getTransferData(const css::datatransfer::DataFlavor& flavor) override {
        if (!isDataFlavorSupported(flavor)) throw css::datatransfer::UnsupportedFlavorException();
        return Any(text_);
    }
    Sequence<css::datatransfer::DataFlavor> SAL_CALL getTransferDataFlavors() override {
        css::datatransfer::DataFlavor flavor = TextFlavor();
        return Sequence<css::datatransfer::DataFlavor>(&flavor, 1);
    }
    sal_Bool SAL_CALL isDataFlavorSupported(const css::datatransfer::DataFlavor& flavor) override {
        return flavor.MimeType.startsWith("text/plain");
    }

  private:
    OUString text_;
};

}  // namespace

struct CalcUser::Impl {
    explicit Impl(const std::string& pipe) : connection(pipe) {}
    UnoConnection connection;

    Reference<css::frame::XModel> Model() {
        connection.Require();
        Reference<css::frame::XModel> model(connection.Desktop()->getCurrentComponent(),
                                            UNO_QUERY_THROW);
        return model;
    }
    Reference<css::sheet::XSpreadsheets> Sheets() {
        return Reference<css::sheet::XSpreadsheetDocument>(Model(), UNO_QUERY_THROW)->getSheets();
    }
    Reference<css::sheet::XSpreadsheet> Sheet(const std::string& name) {
        return Reference<css::sheet::XSpreadsheet>(Sheets()->getByName(ToOUString(name)),
                                                   UNO_QUERY_THROW);
    }
    Reference<css::table::XCellRange> Range(const std::string& sheet, const CellBlock& b) {
        return Sheet(sheet)->getCellRangeByPosition(b.firstColumn - 1, b.firstRow - 1,
                                                    b.lastColumn - 1, b.lastRow - 1);
    }
    Reference<css::beans::XPropertySet> CellProperties(const std::string& sheet, int row,
                                                       int column) {
        return Reference<css::beans::XPropertySet>(
            Sheet(sheet)->getCellByPosition(column - 1, row - 1), UNO_QUERY_THROW);
    }
    Reference<css::sheet::XSpreadsheetView> View() {
        return Reference<css::sheet::XSpreadsheetView>(Model()->getCurrentController(),
                                                       UNO_QUERY_THROW);
    }
};

CalcUser::CalcUser(const std::string& pipeName) : impl_(new Impl(pipeName)) {
    // The office the test just started may not accept a second connection
    // yet when the machine is busy: a few more tries, a moment apart.
    bool connected = impl_->connection.Connect();
    for (int attempt = 0; !connected && attempt < 20; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
        connected = impl_->connection.Connect();
    }
    if (!connected) {
        delete impl_;
        throw SpreadsheetError("No office answers on the pipe " + pipeName + ".");
    }
}

CalcUser::~CalcUser() {
    delete impl_;
}

void CalcUser::AddSheet(const std::string& name) {
    impl_->connection.Guarded([&] {
        Reference<css::sheet::XSpreadsheets> sheets = impl_->Sheets();
        const auto count =
            Reference<css::container::XIndexAccess>(sheets, UNO_QUERY_THROW)->getCount();
        sheets->insertNewByName(ToOUString(name), static_cast<sal_Int16>(count));
    });
}

void CalcUser::ActivateSheet(const std::string& sheet) {
    impl_->connection.Guarded([&] { impl_->View()->setActiveSheet(impl_->Sheet(sheet)); });
}

std::string CalcUser::ActiveSheetName() {
    return impl_->connection.Guarded([&] {
        return ToUtf8(
            Reference<css::container::XNamed>(impl_->View()->getActiveSheet(), UNO_QUERY_THROW)
                ->getName());
    });
}

void CalcUser::Select(const std::string& sheet, const CellBlock& block) {
    impl_->connection.Guarded([&] {
        impl_->View()->setActiveSheet(impl_->Sheet(sheet));
        Reference<css::view::XSelectionSupplier> selection(impl_->Model()->getCurrentController(),
                                                           UNO_QUERY_THROW);
        selection->select(Any(impl_->Range(sheet, block)));
    });
}

void CalcUser::FilterRows(const std::string& sheet, const CellBlock& block, int column,
                          double keep) {
    impl_->connection.Guarded([&] {
        Reference<css::sheet::XSheetFilterable> list(impl_->Range(sheet, block), UNO_QUERY_THROW);
        Reference<css::sheet::XSheetFilterDescriptor> descriptor =
            list->createFilterDescriptor(true);
        css::sheet::TableFilterField field;
        field.Field = column - block.firstColumn;
        field.IsNumeric = true;
        field.Operator = css::sheet::FilterOperator_EQUAL;
        field.NumericValue = keep;
        descriptor->setFilterFields(Sequence<css::sheet::TableFilterField>(&field, 1));
        Reference<css::beans::XPropertySet>(descriptor, UNO_QUERY_THROW)
            ->setPropertyValue("ContainsHeader", Any(true));
        list->filter(descriptor);
    });
}

void CalcUser::SelectVisible(const std::string& sheet, const CellBlock& block) {
    impl_->connection.Guarded([&] {
        impl_->View()->setActiveSheet(impl_->Sheet(sheet));
        Reference<css::sheet::XCellRangesQuery> query(impl_->Range(sheet, block), UNO_QUERY_THROW);
        Reference<css::view::XSelectionSupplier> selection(impl_->Model()->getCurrentController(),
                                                           UNO_QUERY_THROW);
        selection->select(Any(query->queryVisibleCells()));
    });
}

std::string CalcUser::SelectionAddress() {
    return impl_->connection.Guarded([&] {
        Reference<css::view::XSelectionSupplier> selection(impl_->Model()->getCurrentController(),
                                                           UNO_QUERY_THROW);
        Reference<css::sheet::XCellRangeAddressable> range(selection->getSelection(),
                                                           UNO_QUERY_THROW);
        const css::table::CellRangeAddress a = range->getRangeAddress();
        return FormatBlockAddress(
            {a.StartRow + 1, a.StartColumn + 1, a.EndRow + 1, a.EndColumn + 1});
    });
}

void CalcUser::Put(const std::string& sheet, int row, int column, const SheetRows& rows) {
    impl_->connection.Guarded([&] {
        const auto width = static_cast<sal_Int32>(rows.front().size());
        Sequence<Sequence<Any>> array(static_cast<sal_Int32>(rows.size()));
        for (sal_Int32 r = 0; r < array.getLength(); ++r) {
            Sequence<Any> cells(width);
            for (sal_Int32 c = 0; c < width; ++c) {
                const SheetValue& value =
                    rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
                if (const double* number = std::get_if<double>(&value)) {
                    cells.getArray()[c] <<= *number;
                } else if (const std::string* text = std::get_if<std::string>(&value)) {
                    cells.getArray()[c] <<= ToOUString(*text);
                } else {
                    cells.getArray()[c] <<= OUString();
                }
            }
            array.getArray()[r] = cells;
        }
        const CellBlock block{row, column, row + static_cast<int>(rows.size()) - 1,
                              column + width - 1};
        Reference<css::sheet::XCellRangeData>(impl_->Range(sheet, block), UNO_QUERY_THROW)
            ->setDataArray(array);
    });
}

SheetValue CalcUser::Cell(const std::string& sheet, int row, int column) {
    return impl_->connection.Guarded([&]() -> SheetValue {
        Reference<css::sheet::XCellRangeData> data(impl_->Range(sheet, {row, column, row, column}),
                                                   UNO_QUERY_THROW);
        const Any cell = data->getDataArray()[0][0];
        double number = 0;
        if (cell >>= number) return number;
        OUString text;
        if ((cell >>= text) && !text.isEmpty()) return ToUtf8(text);
        return std::monostate();
    });
}

std::string CalcUser::Shown(const std::string& sheet, int row, int column) {
    return impl_->connection.Guarded([&] {
        Reference<css::text::XText> text(
            impl_->Sheet(sheet)->getCellByPosition(column - 1, row - 1), UNO_QUERY_THROW);
        return ToUtf8(text->getString());
    });
}

void CalcUser::SetNumberFormat(const std::string& sheet, const CellBlock& block,
                               const std::string& format) {
    impl_->connection.Guarded([&] {
        Reference<css::util::XNumberFormats> formats =
            Reference<css::util::XNumberFormatsSupplier>(impl_->Model(), UNO_QUERY_THROW)
                ->getNumberFormats();
        const css::lang::Locale locale;
        sal_Int32 key = formats->queryKey(ToOUString(format), locale, false);
        if (key < 0) key = formats->addNew(ToOUString(format), locale);
        Reference<css::beans::XPropertySet>(impl_->Range(sheet, block), UNO_QUERY_THROW)
            ->setPropertyValue("NumberFormat", Any(key));
    });
}

void CalcUser::Protect(const std::string& sheet) {
    impl_->connection.Guarded([&] {
        Reference<css::util::XProtectable>(impl_->Sheet(sheet), UNO_QUERY_THROW)->protect("");
    });
}

CalcFont CalcUser::Font(const std::string& sheet, int row, int column) {
    return impl_->connection.Guarded([&] {
        Reference<css::beans::XPropertySet> properties = impl_->CellProperties(sheet, row, column);
        CalcFont font;
        OUString name;
        properties->getPropertyValue("CharFontName") >>= name;
        font.name = ToUtf8(name);
        float height = 0;
        properties->getPropertyValue("CharHeight") >>= height;
        font.size = height;
        float weight = 0;
        properties->getPropertyValue("CharWeight") >>= weight;
        css::awt::FontSlant slant = css::awt::FontSlant_NONE;
        properties->getPropertyValue("CharPosture") >>= slant;
        const bool bold = weight > css::awt::FontWeight::NORMAL;
        const bool italic = slant != css::awt::FontSlant_NONE;
        font.style = bold && italic ? "Bold Italic" : bold ? "Bold" : italic ? "Italic" : "Regular";
        return font;
    });
}

std::vector<double> CalcUser::ColumnWidths(const std::string& sheet, const CellBlock& block) {
    return impl_->connection.Guarded([&] {
        Reference<css::table::XColumnRowRange> range(impl_->Range(sheet, block), UNO_QUERY_THROW);
        Reference<css::container::XIndexAccess> columns(range->getColumns(), UNO_QUERY_THROW);
        std::vector<double> widths;
        for (sal_Int32 i = 0; i < columns->getCount(); ++i) {
            sal_Int32 width = 0;
            Reference<css::beans::XPropertySet>(columns->getByIndex(i), UNO_QUERY_THROW)
                ->getPropertyValue("Width") >>= width;
            widths.push_back(width);
        }
        return widths;
    });
}

void CalcUser::SaveAs(const std::string& path, const std::string& filter, bool copy) {
    impl_->connection.Guarded([&] {
        Sequence<css::beans::PropertyValue> properties;
        if (!filter.empty()) {
            css::beans::PropertyValue name;
            name.Name = "FilterName";
            name.Value <<= ToOUString(filter);
            properties = Sequence<css::beans::PropertyValue>(&name, 1);
        }
        Reference<css::frame::XStorable> storable(impl_->Model(), UNO_QUERY_THROW);
        const OUString url = ToOUString(FileUrl(std::filesystem::absolute(path).string()));
        if (copy) {
            storable->storeToURL(url, properties);
        } else {
            storable->storeAsURL(url, properties);
        }
    });
}

std::string CalcUser::ClipboardText() {
    return impl_->connection.Guarded([&] {
        impl_->connection.Require();
        Reference<css::datatransfer::clipboard::XSystemClipboard> clipboard =
            css::datatransfer::clipboard::SystemClipboard::create(impl_->connection.Context());
        Reference<css::datatransfer::XTransferable> contents = clipboard->getContents();
        OUString text;
        if (contents.is() && contents->isDataFlavorSupported(TextFlavor())) {
            contents->getTransferData(TextFlavor()) >>= text;
        }
        return ToUtf8(text);
    });
}

void CalcUser::SetClipboardText(const std::string& text) {
    impl_->connection.Guarded([&] {
        impl_->connection.Require();
        Reference<css::datatransfer::clipboard::XSystemClipboard> clipboard =
            css::datatransfer::clipboard::SystemClipboard::create(impl_->connection.Context());
        clipboard->setContents(new TextTransferable(ToOUString(text)), nullptr);
    });
}

bool CalcUser::OfficeAnswers() {
    return impl_->connection.Alive();
}

void CalcUser::TerminateOffice() {
    try {
        impl_->connection.Require();
        impl_->connection.Desktop()->terminate();
    } catch (const css::uno::Exception&) {
        // The office goes away during the call.
    }
    impl_->connection.Drop();
    // The office stops accepting on its pipe while it terminates; once a
    // connection is refused, none can be made to it again.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (impl_->connection.Connect()) {
        impl_->connection.Drop();
        if (std::chrono::steady_clock::now() > deadline) {
            throw SpreadsheetError("The office on " + impl_->connection.PipeName() +
                                   " still accepts connections a minute after terminate().");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

}  // namespace utm::test
