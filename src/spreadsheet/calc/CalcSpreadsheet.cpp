#include "spreadsheet/calc/CalcSpreadsheet.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <com/sun/star/awt/FontSlant.hpp>
#include <com/sun/star/awt/FontWeight.hpp>
#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/bridge/XUnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/datatransfer/DataFlavor.hpp>
#include <com/sun/star/datatransfer/UnsupportedFlavorException.hpp>
#include <com/sun/star/datatransfer/XTransferable.hpp>
#include <com/sun/star/datatransfer/XTransferableSupplier.hpp>
#include <com/sun/star/datatransfer/clipboard/SystemClipboard.hpp>
#include <com/sun/star/datatransfer/clipboard/XSystemClipboard.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
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
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/table/XTableColumns.hpp>
#include <com/sun/star/table/XTableRows.hpp>
#include <com/sun/star/view/XSelectionSupplier.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <cppuhelper/implbase1.hxx>
#include <filesystem>
#include <fstream>
#include <osl/file.hxx>
#include <rtl/bootstrap.hxx>
#include <sstream>
#include <thread>
#include <vector>

#include "spreadsheet/RangeAddress.h"

namespace utm {

namespace css = com::sun::star;
using css::uno::Any;
using css::uno::Reference;
using css::uno::Sequence;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using rtl::OString;
using rtl::OUString;

namespace {

constexpr const char* kProgramFolder = "/usr/lib/libreoffice/program";
constexpr const char* kStopped =
    "LibreOffice Calc stopped responding; the request was ended. Start Calc again and repeat it.";

OUString ToOUString(const std::string& text) {
    return OStringToOUString(OString(text.data(), static_cast<sal_Int32>(text.size())),
                             RTL_TEXTENCODING_UTF8);
}

std::string ToUtf8(const OUString& text) {
    OString bytes = OUStringToOString(text, RTL_TEXTENCODING_UTF8);
    return std::string(bytes.getStr(), static_cast<std::size_t>(bytes.getLength()));
}

css::beans::PropertyValue Property(const char* name, const Any& value) {
    css::beans::PropertyValue property;
    property.Name = OUString::createFromAscii(name);
    property.Value = value;
    return property;
}

// The component context of this process, made once: the URE libraries of the
// installed office serve the client side of the bridge.
Reference<css::uno::XComponentContext> LocalContext() {
    static Reference<css::uno::XComponentContext> context = [] {
        rtl::Bootstrap::set("URE_BOOTSTRAP", ToOUString(std::string("vnd.sun.star.pathname:") +
                                                        kProgramFolder + "/fundamentalrc"));
        return cppu::defaultBootstrap_InitialComponentContext();
    }();
    return context;
}

// The text of the installation's ooSetupVersion ("7.4"), for seeding a profile.
std::string SetupVersion() {
    std::ifstream in(std::string(kProgramFolder) + "/../share/registry/main.xcd");
    std::stringstream buffer;
    buffer << in.rdbuf();
    const std::string xcd = buffer.str();
    const std::string key = "<prop oor:name=\"ooSetupVersion\">";
    std::size_t at = xcd.find(key);
    if (at == std::string::npos) return "";
    std::size_t open = xcd.find("<value>", at);
    std::size_t close = xcd.find("</value>", open);
    if (open == std::string::npos || close == std::string::npos) return "";
    open += 7;
    return xcd.substr(open, close - open);
}

// A new profile starts without its first-start work and in en-US, so that
// copied numbers use "." whatever the machine's locale.
void SeedProfile(const std::string& folder) {
    std::filesystem::path user = std::filesystem::path(folder) / "user";
    std::filesystem::create_directories(user);
    std::filesystem::path file = user / "registrymodifications.xcu";
    if (std::filesystem::exists(file)) return;
    std::ofstream out(file);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" "
           "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
           "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n"
           "<item oor:path=\"/org.openoffice.Setup/Product\"><prop "
           "oor:name=\"ooSetupLastVersion\" oor:op=\"fuse\"><value>"
        << SetupVersion()
        << "</value></prop></item>\n"
           "<item oor:path=\"/org.openoffice.Setup/L10N\"><prop oor:name=\"ooLocale\" "
           "oor:op=\"fuse\"><value>en-US</value></prop></item>\n"
           "<item oor:path=\"/org.openoffice.Setup/L10N\"><prop "
           "oor:name=\"ooSetupSystemLocale\" oor:op=\"fuse\"><value>en-US</value></prop></item>\n"
           "<item oor:path=\"/org.openoffice.Office.Common/Misc\"><prop "
           "oor:name=\"FirstRun\" oor:op=\"fuse\"><value>false</value></prop></item>\n"
           "</oor:items>\n";
}

std::string FileUrl(const std::string& folder) {
    OUString url;
    osl::FileBase::getFileURLFromSystemPath(ToOUString(folder), url);
    return ToUtf8(url);
}

// Starts `argv` with its standard streams on /dev/null. Detached: the office
// is not this process's child (a person's Calc outlives the program) and 0 is
// returned; otherwise the child's process id.
pid_t Launch(const std::vector<std::string>& argv, bool detached) {
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    pid_t pid = ::fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        int null = ::open("/dev/null", O_RDWR);
        if (null >= 0) {
            ::dup2(null, 0);
            ::dup2(null, 1);
            ::dup2(null, 2);
        }
        ::setsid();
        if (detached && ::fork() != 0) ::_exit(0);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    if (detached) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        return 0;
    }
    return pid;
}

// True when the office next to `soffice` has a window-system plugin: the
// -nogui build has none and crashes when asked to show a document.
bool HasWindowSystem(const std::string& soffice) {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::path(soffice).parent_path();
    for (const auto& entry : std::filesystem::directory_iterator(program, error)) {
        if (entry.path().filename().string().rfind("libvclplug_", 0) == 0) return true;
    }
    return false;
}

// The processes whose parent is `parent`.
std::vector<pid_t> ChildrenOf(pid_t parent) {
    std::vector<pid_t> children;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        std::getline(stat, line);
        // pid (comm) state ppid ...: the name may hold blanks and parentheses.
        std::size_t close = line.rfind(')');
        if (close == std::string::npos) continue;
        std::istringstream rest(line.substr(close + 1));
        std::string state;
        long ppid = 0;
        if (rest >> state >> ppid && ppid == parent) children.push_back(std::stoi(name));
    }
    return children;
}

// The block of one range address, from 1.
CellBlock BlockOf(const css::table::CellRangeAddress& a) {
    return {a.StartRow + 1, a.StartColumn + 1, a.EndRow + 1, a.EndColumn + 1};
}

// A text for the office's clipboard.
class TextTransferable : public cppu::WeakImplHelper1<css::datatransfer::XTransferable> {
  public:
    explicit TextTransferable(OUString text) : text_(std::move(text)) {}
    Any SAL_CALL getTransferData(const css::datatransfer::DataFlavor& flavor) override {
        if (!isDataFlavorSupported(flavor)) {
            throw css::datatransfer::UnsupportedFlavorException();
        }
        return Any(text_);
    }
    Sequence<css::datatransfer::DataFlavor> SAL_CALL getTransferDataFlavors() override {
        css::datatransfer::DataFlavor flavor = TextFlavor();
        return Sequence<css::datatransfer::DataFlavor>(&flavor, 1);
    }
    sal_Bool SAL_CALL isDataFlavorSupported(const css::datatransfer::DataFlavor& flavor) override {
        return flavor.MimeType.startsWith("text/plain");
    }
    static css::datatransfer::DataFlavor TextFlavor() {
        return css::datatransfer::DataFlavor("text/plain;charset=utf-16", "Unicode-Text",
                                             cppu::UnoType<OUString>::get());
    }

  private:
    OUString text_;
};

}  // namespace

CalcOptions CalcOptions::ForDesktop() {
    CalcOptions options;
    options.pipeName = "utm_calc_" + std::to_string(::getuid());
    return options;
}

CalcOptions CalcOptions::Headless(const std::string& profileFolder) {
    static std::atomic<int> counter{0};
    CalcOptions options;
    options.pipeName = "utm_test_" + std::to_string(::getpid()) + "_" + std::to_string(++counter);
    options.headless = true;
    options.profileFolder = profileFolder;
    options.terminateOnExit = true;
    return options;
}

struct CalcSpreadsheet::Impl {
    CalcOptions options;
    Reference<css::uno::XComponentContext> context;  ///< the office's
    Reference<css::frame::XDesktop2> desktop;
    Reference<css::frame::XModel> lastModel;  ///< the workbook bound or made last
    pid_t child = 0;       ///< the office this object started, when it is our child
    bool started = false;  ///< this object started the office

    // Drops the connection after the office went away.
    void Drop() {
        desktop.clear();
        context.clear();
        lastModel.clear();
    }

    template <typename F>
    auto Guarded(F&& body) -> decltype(body()) {
        try {
            return body();
        } catch (const SpreadsheetError&) {
            throw;
        } catch (const css::lang::DisposedException&) {
            Drop();
            throw SpreadsheetError(kStopped);
        } catch (const css::uno::RuntimeException& e) {
            Drop();
            throw SpreadsheetError(std::string(kStopped) + " (" + ToUtf8(e.Message) + ")");
        } catch (const css::uno::Exception& e) {
            throw SpreadsheetError("LibreOffice Calc reported an error: " + ToUtf8(e.Message));
        }
    }

    // Connects to the office on the pipe; false when none answers there.
    bool Connect() {
        Reference<css::bridge::XUnoUrlResolver> resolver =
            css::bridge::UnoUrlResolver::create(LocalContext());
        try {
            Reference<css::uno::XInterface> remote = resolver->resolve(ToOUString(
                "uno:pipe,name=" + options.pipeName + ";urp;StarOffice.ComponentContext"));
            Reference<css::uno::XComponentContext> remoteContext(remote, UNO_QUERY_THROW);
            desktop = css::frame::Desktop::create(remoteContext);
            context = remoteContext;
            return true;
        } catch (const css::connection::NoConnectException&) {
            return false;
        }
    }

    // True when the bound office still answers.
    bool Alive() {
        if (!desktop.is()) return false;
        try {
            desktop->getCurrentComponent();
            return true;
        } catch (const css::uno::RuntimeException&) {
            Drop();
            return false;
        }
    }

    bool Bind() { return Alive() || Connect(); }

    // Binds for a step inside a request: an office that went away since the
    // request bound it is reported, not silently replaced.
    void Require() {
        if (desktop.is()) {
            if (!Alive()) throw SpreadsheetError(kStopped);
        } else if (!Connect()) {
            throw SpreadsheetError("LibreOffice Calc is not running.");
        }
    }

    // Starts the office accepting on the pipe and waits until it answers.
    void Launch() {
        if (::access(options.soffice.c_str(), X_OK) != 0) {
            throw SpreadsheetError("LibreOffice Calc is not installed (" + options.soffice +
                                   " was not found), so no spreadsheet can be opened.");
        }
        if (!options.headless && !HasWindowSystem(options.soffice)) {
            throw SpreadsheetError(
                "LibreOffice Calc is installed without windows (the -nogui build), so it cannot "
                "show a spreadsheet to select cells in. Install libreoffice-calc.");
        }
        std::vector<std::string> argv = {options.soffice};
        if (options.headless) {
            argv.insert(argv.end(), {"--headless", "--invisible", "--nodefault", "--norestore",
                                     "--nolockcheck", "--nologo"});
        } else {
            argv.insert(argv.end(), {"--calc", "--norestore", "--nologo"});
        }
        if (!options.profileFolder.empty()) {
            SeedProfile(options.profileFolder);
            argv.push_back("-env:UserInstallation=" + FileUrl(options.profileFolder));
        }
        argv.push_back("--accept=pipe,name=" + options.pipeName + ";urp;");
        pid_t pid = utm::Launch(argv, !options.headless);
        if (pid < 0) throw SpreadsheetError("LibreOffice Calc could not be started.");
        if (pid > 0) child = pid;
        started = true;
        WaitForOffice();
    }

    // Polls the pipe every 50 ms until the office answers.
    void WaitForOffice() {
        auto deadline =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(options.startTimeoutMs);
        while (std::chrono::steady_clock::now() < deadline) {
            if (Connect()) return;
            if (child > 0) {
                int status = 0;
                if (::waitpid(child, &status, WNOHANG) == child) {
                    child = 0;
                    throw SpreadsheetError("LibreOffice Calc could not be started (" +
                                           options.soffice + " ended at once).");
                }
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
        Reference<css::frame::XComponentLoader> loader(desktop, UNO_QUERY_THROW);
        css::beans::PropertyValue hidden = Property("Hidden", Any(options.headless));
        Sequence<css::beans::PropertyValue> properties(&hidden, 1);
        Reference<css::lang::XComponent> component = loader->loadComponentFromURL(
            ToOUString(url), OUString::createFromAscii(target), 0, properties);
        return Reference<css::frame::XModel>(component, UNO_QUERY);
    }

    static bool IsSpreadsheet(const Reference<css::frame::XModel>& model) {
        return Reference<css::sheet::XSpreadsheetDocument>(model, UNO_QUERY).is();
    }

    bool Usable(const Reference<css::frame::XModel>& model) {
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
        Require();
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

    Reference<css::frame::XController> CurrentController() {
        return CurrentModel()->getCurrentController();
    }
};

namespace {

class CalcSheet : public Worksheet {
  public:
    CalcSheet(CalcSpreadsheet::Impl& impl, Reference<css::frame::XModel> model,
              Reference<css::sheet::XSpreadsheet> sheet)
        : impl_(impl), model_(std::move(model)), sheet_(std::move(sheet)) {}

    SheetRows GetValues(const CellBlock& block) override {
        return impl_.Guarded([&] {
            Reference<css::sheet::XCellRangeData> data(Range(block), UNO_QUERY_THROW);
            const Sequence<Sequence<Any>> array = data->getDataArray();
            SheetRows rows;
            rows.reserve(static_cast<std::size_t>(array.getLength()));
            for (const Sequence<Any>& row : array) {
                std::vector<SheetValue> cells;
                cells.reserve(static_cast<std::size_t>(row.getLength()));
                for (const Any& cell : row) cells.push_back(FromAny(cell));
                rows.push_back(std::move(cells));
            }
            return rows;
        });
    }

    void SetValues(int topRow, int leftColumn, const SheetRows& rows) override {
        if (rows.empty() || rows.front().empty()) return;
        impl_.Guarded([&] {
            const auto width = static_cast<sal_Int32>(rows.front().size());
            Sequence<Sequence<Any>> array(static_cast<sal_Int32>(rows.size()));
            Sequence<Any>* out = array.getArray();
            for (const auto& row : rows) {
                Sequence<Any> cells(width);
                Any* cell = cells.getArray();
                for (sal_Int32 j = 0; j < width; ++j) {
                    cell[j] = ToAny(row.at(static_cast<std::size_t>(j)));
                }
                *out++ = cells;
            }
            CellBlock block{topRow, leftColumn, topRow + static_cast<int>(rows.size()) - 1,
                            leftColumn + width - 1};
            Reference<css::sheet::XCellRangeData> data(Range(block), UNO_QUERY_THROW);
            data->setDataArray(array);
        });
    }

    void Select(const CellBlock& block) override {
        impl_.Guarded([&] { SelectRange(Range(block)); });
    }

    void SelectColumns(int firstColumn, int lastColumn) override {
        impl_.Guarded([&] { SelectRange(Range({1, firstColumn, RowCount(), lastColumn})); });
    }

    void SetFont(const CellBlock& block, const std::string& name, double size,
                 const std::string& style) override {
        impl_.Guarded([&] {
            Reference<css::beans::XPropertySet> properties(Range(block), UNO_QUERY_THROW);
            const bool bold = style.find("Bold") != std::string::npos;
            const bool italic = style.find("Italic") != std::string::npos;
            properties->setPropertyValue("CharFontName", Any(ToOUString(name)));
            properties->setPropertyValue("CharHeight", Any(static_cast<float>(size)));
            properties->setPropertyValue("CharWeight", Any(bold ? css::awt::FontWeight::BOLD
                                                                : css::awt::FontWeight::NORMAL));
            properties->setPropertyValue(
                "CharPosture", Any(italic ? css::awt::FontSlant_ITALIC : css::awt::FontSlant_NONE));
        });
    }

    void AutoFitColumns(const CellBlock& block) override {
        impl_.Guarded([&] {
            Reference<css::beans::XPropertySet> columns(Columns(block), UNO_QUERY_THROW);
            columns->setPropertyValue("OptimalWidth", Any(true));
        });
    }

    std::vector<double> ColumnWidths(const CellBlock& block) override {
        return impl_.Guarded([&] {
            Reference<css::container::XIndexAccess> columns = Columns(block);
            std::vector<double> widths;
            for (sal_Int32 i = 0; i < columns->getCount(); ++i) {
                Reference<css::beans::XPropertySet> column(columns->getByIndex(i), UNO_QUERY_THROW);
                sal_Int32 width = 0;
                column->getPropertyValue("Width") >>= width;
                widths.push_back(width);
            }
            return widths;
        });
    }

    void SetColumnWidths(const CellBlock& block, const std::vector<double>& widths) override {
        impl_.Guarded([&] {
            Reference<css::container::XIndexAccess> columns = Columns(block);
            for (sal_Int32 i = 0; i < columns->getCount(); ++i) {
                Reference<css::beans::XPropertySet> column(columns->getByIndex(i), UNO_QUERY_THROW);
                column->setPropertyValue("Width", Any(static_cast<sal_Int32>(std::lround(
                                                      widths.at(static_cast<std::size_t>(i))))));
            }
        });
    }

    CalcCellFont Font(int row, int column) {
        return impl_.Guarded([&] {
            Reference<css::beans::XPropertySet> properties(Range({row, column, row, column}),
                                                           UNO_QUERY_THROW);
            CalcCellFont font;
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
            font.style = bold && italic ? "Bold Italic"
                         : bold         ? "Bold"
                         : italic       ? "Italic"
                                        : "Regular";
            return font;
        });
    }

  private:
    static SheetValue FromAny(const Any& cell) {
        double number = 0;
        if (cell >>= number) return number;
        OUString text;
        if ((cell >>= text) && !text.isEmpty()) return ToUtf8(text);
        return std::monostate();
    }

    static Any ToAny(const SheetValue& value) {
        if (const double* number = std::get_if<double>(&value)) return Any(*number);
        if (const std::string* text = std::get_if<std::string>(&value)) {
            return Any(ToOUString(*text));
        }
        return Any(OUString());  // an empty cell
    }

    int RowCount() {
        Reference<css::table::XColumnRowRange> ranges(sheet_, UNO_QUERY_THROW);
        return ranges->getRows()->getCount();
    }
    int ColumnCount() {
        Reference<css::table::XColumnRowRange> ranges(sheet_, UNO_QUERY_THROW);
        return ranges->getColumns()->getCount();
    }

    Reference<css::table::XCellRange> Range(const CellBlock& block) {
        if (block.firstRow < 1 || block.firstColumn < 1 || block.lastRow > RowCount() ||
            block.lastColumn > ColumnCount()) {
            throw SpreadsheetError(
                "The cells " + std::to_string(block.firstRow) + "," +
                std::to_string(block.firstColumn) + " to " + std::to_string(block.lastRow) + "," +
                std::to_string(block.lastColumn) + " (row, column) lie outside the sheet.");
        }
        return sheet_->getCellRangeByPosition(block.firstColumn - 1, block.firstRow - 1,
                                              block.lastColumn - 1, block.lastRow - 1);
    }

    Reference<css::container::XIndexAccess> Columns(const CellBlock& block) {
        Reference<css::table::XColumnRowRange> range(Range(block), UNO_QUERY_THROW);
        return Reference<css::container::XIndexAccess>(range->getColumns(), UNO_QUERY_THROW);
    }

    void SelectRange(const Reference<css::table::XCellRange>& range) {
        impl_.Activate(model_);
        Reference<css::frame::XController> controller = model_->getCurrentController();
        Reference<css::sheet::XSpreadsheetView> view(controller, UNO_QUERY_THROW);
        view->setActiveSheet(sheet_);
        Reference<css::view::XSelectionSupplier> selection(controller, UNO_QUERY_THROW);
        selection->select(Any(range));
    }

    CalcSpreadsheet::Impl& impl_;
    Reference<css::frame::XModel> model_;
    Reference<css::sheet::XSpreadsheet> sheet_;
};

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
    CellBlock block = BlockOf(address);
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

CalcSpreadsheet::CalcSpreadsheet(CalcOptions options) : impl_(std::make_unique<Impl>()) {
    impl_->options = std::move(options);
    // The UNO bridge writes to the office's pipe; when the office has died, a
    // write would raise SIGPIPE and end this program. Ignored, the write fails
    // and the bridge reports the office as gone, which the operations tell the
    // user about.
    ::signal(SIGPIPE, SIG_IGN);
}

CalcSpreadsheet::~CalcSpreadsheet() {
    if (impl_->options.terminateOnExit && impl_->started) {
        try {
            Terminate();
        } catch (...) {
        }
    }
}

const CalcOptions& CalcSpreadsheet::options() const {
    return impl_->options;
}

bool CalcSpreadsheet::BindRunning() {
    return impl_->Guarded([&] { return impl_->Bind(); });
}

void CalcSpreadsheet::StartNew() {
    impl_->Guarded([&] {
        if (!impl_->Bind()) impl_->Launch();
        Reference<css::frame::XModel> model = impl_->Load("private:factory/scalc", "_blank");
        if (!model.is()) throw SpreadsheetError("LibreOffice Calc made no new spreadsheet.");
        impl_->Activate(model);
    });
}

void CalcSpreadsheet::BindWorkbook(const std::string& path) {
    impl_->Guarded([&] {
        std::error_code error;
        std::filesystem::path absolute = std::filesystem::absolute(path, error);
        if (error || !std::filesystem::is_regular_file(absolute, error)) {
            throw SpreadsheetError("The workbook " + path + " cannot be opened: no such file.");
        }
        if (!impl_->Bind()) impl_->Launch();
        const std::string url = FileUrl(absolute.string());
        // A workbook already open is bound, not opened a second time.
        Reference<css::container::XEnumeration> components =
            impl_->desktop->getComponents()->createEnumeration();
        while (components->hasMoreElements()) {
            Reference<css::frame::XModel> model(components->nextElement(), UNO_QUERY);
            if (model.is() && ToUtf8(model->getURL()) == url && Impl::IsSpreadsheet(model)) {
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
        if (!Impl::IsSpreadsheet(model)) {
            throw SpreadsheetError("The file " + path + " is not a spreadsheet.");
        }
        impl_->Activate(model);
    });
}

void CalcSpreadsheet::Show() {
    impl_->Guarded([&] {
        Reference<css::frame::XModel> model = impl_->CurrentModel();
        Reference<css::frame::XFrame> frame = model->getCurrentController()->getFrame();
        // A headless office has no window to show.
        if (!impl_->options.headless) frame->getContainerWindow()->setVisible(true);
        frame->activate();
    });
}

std::string CalcSpreadsheet::SelectionAddress() {
    return impl_->Guarded([&] {
        Reference<css::frame::XController> controller = impl_->CurrentController();
        Reference<css::view::XSelectionSupplier> supplier(controller, UNO_QUERY_THROW);
        Any selection = supplier->getSelection();
        Reference<css::sheet::XSpreadsheetView> view(controller, UNO_QUERY_THROW);
        Reference<css::table::XColumnRowRange> sheet(view->getActiveSheet(), UNO_QUERY_THROW);
        const int rows = sheet->getRows()->getCount();
        const int columns = sheet->getColumns()->getCount();

        Reference<css::sheet::XSheetCellRanges> ranges(selection, UNO_QUERY);
        if (ranges.is()) {
            std::string text;
            for (const auto& address : ranges->getRangeAddresses()) {
                if (!text.empty()) text += ",";
                text += AddressText(address, rows, columns);
            }
            return text;
        }
        Reference<css::sheet::XCellRangeAddressable> range(selection, UNO_QUERY);
        if (!range.is()) {
            throw SpreadsheetError("The selection in LibreOffice Calc is not a block of cells.");
        }
        return AddressText(range->getRangeAddress(), rows, columns);
    });
}

std::shared_ptr<Worksheet> CalcSpreadsheet::ActiveSheet() {
    return impl_->Guarded([&]() -> std::shared_ptr<Worksheet> {
        Reference<css::frame::XModel> model = impl_->CurrentModel();
        Reference<css::sheet::XSpreadsheetView> view(model->getCurrentController(),
                                                     UNO_QUERY_THROW);
        return std::make_shared<CalcSheet>(*impl_, model, view->getActiveSheet());
    });
}

std::string CalcSpreadsheet::CopySelectionText() {
    return impl_->Guarded([&] {
        Reference<css::frame::XController> controller = impl_->CurrentController();
        Reference<css::datatransfer::XTransferableSupplier> supplier(controller, UNO_QUERY_THROW);
        Reference<css::datatransfer::XTransferable> transferable = supplier->getTransferable();
        OUString copied;
        try {
            if (transferable.is()) {
                transferable->getTransferData(TextTransferable::TextFlavor()) >>= copied;
            }
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

void CalcSpreadsheet::Terminate() {
    try {
        // Reconnect when an error dropped the connection to our own office.
        if (impl_->started && !impl_->desktop.is()) impl_->Connect();
        impl_->started = false;
        if (impl_->desktop.is()) impl_->desktop->terminate();
    } catch (const css::uno::Exception&) {
        // The office goes away during the call.
    }
    impl_->Drop();
    if (impl_->child <= 0) return;
    const pid_t child = impl_->child;
    impl_->child = 0;
    for (int i = 0; i < 200; ++i) {
        if (::waitpid(child, nullptr, WNOHANG) != 0) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    // It did not stop: end the start program and the office it runs.
    for (pid_t office : ChildrenOf(child)) ::kill(office, SIGKILL);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
}

void CalcSpreadsheet::SaveCurrentAs(const std::string& path) {
    impl_->Guarded([&] {
        Reference<css::frame::XStorable> storable(impl_->CurrentModel(), UNO_QUERY_THROW);
        storable->storeAsURL(ToOUString(FileUrl(std::filesystem::absolute(path).string())), {});
    });
}

CalcCellFont CalcSpreadsheet::CellFont(int row, int column) {
    std::shared_ptr<Worksheet> sheet = ActiveSheet();
    return static_cast<CalcSheet&>(*sheet).Font(row, column);
}

std::string CalcSpreadsheet::ClipboardText() {
    return impl_->Guarded([&] {
        if (!impl_->Bind()) throw SpreadsheetError("LibreOffice Calc is not running.");
        Reference<css::datatransfer::clipboard::XSystemClipboard> clipboard =
            css::datatransfer::clipboard::SystemClipboard::create(impl_->context);
        Reference<css::datatransfer::XTransferable> contents = clipboard->getContents();
        OUString text;
        if (contents.is() && contents->isDataFlavorSupported(TextTransferable::TextFlavor())) {
            contents->getTransferData(TextTransferable::TextFlavor()) >>= text;
        }
        return ToUtf8(text);
    });
}

void CalcSpreadsheet::SetClipboardText(const std::string& text) {
    impl_->Guarded([&] {
        if (!impl_->Bind()) throw SpreadsheetError("LibreOffice Calc is not running.");
        Reference<css::datatransfer::clipboard::XSystemClipboard> clipboard =
            css::datatransfer::clipboard::SystemClipboard::create(impl_->context);
        clipboard->setContents(new TextTransferable(ToOUString(text)), nullptr);
    });
}

}  // namespace utm
