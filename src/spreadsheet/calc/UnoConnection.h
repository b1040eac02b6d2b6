// One UNO connection to a LibreOffice office over a named pipe: the
// office's component context and Desktop, whether the office is still
// there, and the translation of what UNO throws into messages for the user.
#pragma once

#include <atomic>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/frame/XTerminateListener.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <functional>
#include <memory>
#include <rtl/ustring.hxx>
#include <string>

#include "spreadsheet/SpreadsheetPort.h"

namespace utm {

namespace css = com::sun::star;

/// The one message for an office that died or was ended during a request.
inline constexpr const char* kCalcStopped =
    "LibreOffice Calc stopped responding; the request was ended. Start Calc again and repeat it.";

rtl::OUString ToOUString(const std::string& text);
std::string ToUtf8(const rtl::OUString& text);
/// The file URL of a local path.
std::string FileUrl(const std::string& path);

/// The component context of this process, made once: the URE libraries of the
/// installed office serve the client side of the bridge.
css::uno::Reference<css::uno::XComponentContext> LocalContext();

class UnoConnection {
  public:
    explicit UnoConnection(std::string pipeName) : pipeName_(std::move(pipeName)) {}
    ~UnoConnection();
    UnoConnection(const UnoConnection&) = delete;
    UnoConnection& operator=(const UnoConnection&) = delete;

    const std::string& PipeName() const { return pipeName_; }

    /// Connects anew to the office on the pipe. False when none answers there:
    /// none runs, or one is shutting down and drops the handshake.
    bool Connect();
    /// True while connected to an office that answers and has not been
    /// terminated (by anyone). An office counts as gone from the moment
    /// Desktop.terminate() succeeds, although it answers calls for a little
    /// while longer; the connection then is dropped.
    bool Alive();
    /// Alive, or else connected anew.
    bool Bind() { return Alive() || Connect(); }
    /// For a step inside a request: an office that went away since the request
    /// bound it is reported (kCalcStopped), not silently replaced; without a
    /// connection one is made, or "not running" is reported.
    void Require();
    /// Closes the connection (the office is not told to stop).
    void Drop();

    const css::uno::Reference<css::frame::XDesktop2>& Desktop() const { return desktop_; }
    const css::uno::Reference<css::uno::XComponentContext>& Context() const { return context_; }

    /// Runs `body` and turns what UNO throws into SpreadsheetError: an office
    /// that is gone gives kCalcStopped; an object it disposed while it still
    /// runs (a closed workbook) says so; any other refusal of an office that
    /// still answers (a protected sheet) gives `refused()` when given;
    /// checked UNO exceptions give the office's own message.
    template <typename F>
    auto Guarded(F&& body, const std::function<std::string()>& refused = {}) -> decltype(body()) {
        try {
            return body();
        } catch (const SpreadsheetError&) {
            throw;
        } catch (...) {
            Translate(refused);
        }
    }

  private:
    /// Rethrows the exception being handled as SpreadsheetError.
    [[noreturn]] void Translate(const std::function<std::string()>& refused);

    std::string pipeName_;
    css::uno::Reference<css::uno::XComponentContext> context_;
    css::uno::Reference<css::frame::XDesktop2> desktop_;
    /// Told by the office when it terminates; sets `gone_`.
    css::uno::Reference<css::frame::XTerminateListener> watch_;
    std::shared_ptr<std::atomic<bool>> gone_;
};

}  // namespace utm
