#include "spreadsheet/calc/UnoConnection.h"

#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/bridge/XUnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <cppuhelper/implbase1.hxx>
#include <osl/file.hxx>
#include <rtl/bootstrap.hxx>

#include "spreadsheet/calc/OfficeProcess.h"

namespace utm {

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using rtl::OString;
using rtl::OUString;

namespace {

// Learns, on a thread of the bridge, that the office terminates: its Desktop
// tells every terminate listener before terminate() returns, whoever asked
// for it. Never vetoes a termination.
class OfficeWatch : public cppu::WeakImplHelper1<css::frame::XTerminateListener> {
  public:
    explicit OfficeWatch(std::shared_ptr<std::atomic<bool>> gone) : gone_(std::move(gone)) {}
    void SAL_CALL queryTermination(const css::lang::EventObject&) override {}
    void SAL_CALL notifyTermination(const css::lang::EventObject&) override { *gone_ = true; }
    void SAL_CALL disposing(const css::lang::EventObject&) override { *gone_ = true; }

  private:
    std::shared_ptr<std::atomic<bool>> gone_;
};

}  // namespace

OUString ToOUString(const std::string& text) {
    return OStringToOUString(OString(text.data(), static_cast<sal_Int32>(text.size())),
                             RTL_TEXTENCODING_UTF8);
}

std::string ToUtf8(const OUString& text) {
    OString bytes = OUStringToOString(text, RTL_TEXTENCODING_UTF8);
    return std::string(bytes.getStr(), static_cast<std::size_t>(bytes.getLength()));
}

std::string FileUrl(const std::string& path) {
    OUString url;
    osl::FileBase::getFileURLFromSystemPath(ToOUString(path), url);
    return ToUtf8(url);
}

Reference<css::uno::XComponentContext> LocalContext() {
    static Reference<css::uno::XComponentContext> context = [] {
        rtl::Bootstrap::set(
            "URE_BOOTSTRAP",
            ToOUString("vnd.sun.star.pathname:" + LibreOfficeProgramFolder() + "/fundamentalrc"));
        return cppu::defaultBootstrap_InitialComponentContext();
    }();
    return context;
}

UnoConnection::~UnoConnection() {
    Drop();
}

bool UnoConnection::Connect() {
    Drop();
    // A handshake that the office drops although it accepted the pipe is
    // tried again: an office that is shutting down refuses the next attempt
    // at once, while one that runs (it drops one now and then when the
    // machine is busy) answers it.
    for (int attempt = 0; attempt < 3; ++attempt) {
        auto gone = std::make_shared<std::atomic<bool>>(false);
        Reference<css::frame::XTerminateListener> watch(new OfficeWatch(gone));
        try {
            Reference<css::bridge::XUnoUrlResolver> resolver =
                css::bridge::UnoUrlResolver::create(LocalContext());
            Reference<css::uno::XComponentContext> remote(
                resolver->resolve(
                    ToOUString("uno:pipe,name=" + pipeName_ + ";urp;StarOffice.ComponentContext")),
                UNO_QUERY_THROW);
            Reference<css::frame::XDesktop2> desktop = css::frame::Desktop::create(remote);
            desktop->addTerminateListener(watch);
            if (*gone) return false;  // terminated meanwhile
            context_ = remote;
            desktop_ = desktop;
            watch_ = watch;
            gone_ = gone;
            return true;
        } catch (const css::connection::NoConnectException&) {
            return false;  // no office listens on the pipe
        } catch (const css::uno::Exception&) {
            // The connection was dropped during the handshake.
        }
    }
    return false;
}

bool UnoConnection::Alive() {
    if (!desktop_.is()) return false;
    if (!*gone_) {
        try {
            desktop_->getCurrentComponent();
        } catch (const css::uno::RuntimeException&) {
            *gone_ = true;
        }
    }
    // Asked again after the call: a termination may have been told meanwhile.
    if (*gone_) {
        Drop();
        return false;
    }
    return true;
}

void UnoConnection::Require() {
    if (desktop_.is()) {
        if (!Alive()) throw SpreadsheetError(kCalcStopped);
    } else if (!Connect()) {
        throw SpreadsheetError("LibreOffice Calc is not running.");
    }
}

void UnoConnection::Drop() {
    // A running office forgets the listener; a gone one is not asked anything.
    // The bridge ends by itself once nothing refers to the office's objects
    // (disposing it while a call of a dead office is pending would wait forever).
    if (desktop_.is() && watch_.is() && gone_ && !*gone_) {
        try {
            desktop_->removeTerminateListener(watch_);
        } catch (const css::uno::Exception&) {
        }
    }
    desktop_.clear();
    context_.clear();
    watch_.clear();
    gone_.reset();
}

void UnoConnection::Translate(const std::function<std::string()>& refused) {
    // Only an office that no longer answers has stopped; a refusal of one that
    // does (a protected sheet) must not send the user to end it.
    try {
        throw;
    } catch (const css::lang::DisposedException&) {
        if (!Alive()) throw SpreadsheetError(kCalcStopped);
        throw SpreadsheetError(
            "The workbook or sheet was closed or deleted in LibreOffice Calc while the request "
            "ran; the request was ended.");
    } catch (const css::uno::RuntimeException& e) {
        if (!Alive()) throw SpreadsheetError(kCalcStopped);
        std::string text;
        if (refused) {
            try {
                text = refused();
            } catch (const css::uno::Exception&) {
            }
        }
        if (text.empty()) {
            text = "LibreOffice Calc refused the request";
            const std::string detail = ToUtf8(e.Message);
            text += detail.empty() ? "." : " (" + detail + ").";
        }
        throw SpreadsheetError(text);
    } catch (const css::uno::Exception& e) {
        throw SpreadsheetError("LibreOffice Calc reported an error: " + ToUtf8(e.Message));
    }
}

}  // namespace utm
