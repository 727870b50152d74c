#include "services/uno/UnoBridge.h"

#include <sys/stat.h>
#include <unistd.h>
#include <chrono>
#include <com/sun/star/bridge/BridgeFactory.hpp>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/bridge/XUnoUrlResolver.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/uno/RuntimeException.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <csignal>
#include <cstdlib>
#include <mutex>
#include <osl/file.hxx>
#include <rtl/bootstrap.hxx>
#include <rtl/uri.hxx>
#include <thread>

namespace varsel::calc {

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::XComponentContext;

namespace {

// The local side of every connection: one per process, made on first use. The office's
// fundamentalrc tells the UNO runtime where the type libraries and services lie; it has to be
// named before the first bootstrap.
Reference<XComponentContext> LocalContext() {
    static std::mutex guard;
    static Reference<XComponentContext> context;
    std::lock_guard<std::mutex> lock(guard);
    if (!context.is()) {
        // The bridge writes to the office's socket from its own threads; when the office has
        // closed its end (a connection let go, an office that ended), the write must fail
        // with an error instead of ending the whole program with SIGPIPE.
        struct sigaction current {};
        if (sigaction(SIGPIPE, nullptr, &current) == 0 && current.sa_handler == SIG_DFL) {
            std::signal(SIGPIPE, SIG_IGN);
        }
        rtl::Bootstrap::set("URE_BOOTSTRAP",
                            "vnd.sun.star.pathname:" VARSEL_OFFICE_PROGRAM_DIR "/fundamentalrc");
        context = cppu::defaultBootstrap_InitialComponentContext();
    }
    return context;
}

// Ends every connection still open when the program exits. A connection's reader thread
// goes on decoding what the office sends (releases of objects the program let go of, for
// one) after main has returned; if it runs while exit destroys the UNO runtime's type
// tables, the program crashes after its work is done. Disposing a connection joins its
// threads, so none is left running.
void DisposeOpenConnections() {
    try {
        const Reference<css::bridge::XBridgeFactory2> factory =
            css::bridge::BridgeFactory::create(LocalContext());
        for (const Reference<css::bridge::XBridge>& bridge : factory->getExistingBridges()) {
            const Reference<css::lang::XComponent> component(bridge, UNO_QUERY);
            if (component.is()) component->dispose();
        }
    } catch (const css::uno::Exception&) {
        // An office that has gone has ended its connections itself.
    }
}

// Registers DisposeOpenConnections once, after the first connection: exit calls it before
// it destroys what existed at that point, the UNO runtime's type tables among them.
void DisposeConnectionsAtExit() {
    static std::once_flag once;
    std::call_once(once, [] { std::atexit(DisposeOpenConnections); });
}

}  // namespace

std::string ForeignPipe(const std::string& pipeName) {
    const std::string socket = "/tmp/OSL_PIPE_" + std::to_string(getuid()) + "_" + pipeName;
    struct stat entry {};
    if (lstat(socket.c_str(), &entry) != 0 || entry.st_uid == geteuid()) return std::string();
    return socket + " belongs to another user";
}

Reference<XComponentContext> ConnectToPipe(const std::string& pipeName, std::string* why) {
    if (const std::string foreign = ForeignPipe(pipeName); !foreign.empty()) {
        if (why != nullptr) *why = foreign;
        return Reference<XComponentContext>();
    }
    Reference<XComponentContext> local;
    try {
        local = LocalContext();
    } catch (const css::uno::Exception& error) {
        throw RuntimeFailure(kSpreadsheetFailure,
                             "The UNO runtime of LibreOffice could not start: " + Reason(error));
    }
    // An office that has taken the connection can still drop it while the bridge is set up,
    // which it does now and then while it takes down connections that a program let go of
    // just before (the first call then fails with "bridge disposed during call"). The office
    // is there: the connection is made anew until it holds, within a generous bound. Only an
    // office that does not take the connection at all counts as absent at once.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    for (;;) {
        try {
            const Reference<css::bridge::XUnoUrlResolver> resolver =
                css::bridge::UnoUrlResolver::create(local);
            const Reference<XComponentContext> remote(
                resolver->resolve("uno:pipe,name=" + FromUtf8(pipeName) +
                                  ";urp;StarOffice.ComponentContext"),
                UNO_QUERY);
            DisposeConnectionsAtExit();
            return remote;
        } catch (const css::uno::RuntimeException& error) {
            if (std::chrono::steady_clock::now() < deadline) {
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
                continue;
            }
            if (why != nullptr) *why = Reason(error);
            return Reference<XComponentContext>();
        } catch (const css::uno::Exception& error) {
            // Nothing accepts connections on that pipe.
            if (why != nullptr) *why = Reason(error);
            return Reference<XComponentContext>();
        }
    }
}

std::string ToUtf8(const rtl::OUString& text) {
    const rtl::OString bytes = rtl::OUStringToOString(text, RTL_TEXTENCODING_UTF8);
    return std::string(bytes.getStr(), static_cast<std::size_t>(bytes.getLength()));
}

std::string Reason(const css::uno::Exception& error) {
    std::string text = ToUtf8(error.Message);
    // The office appends the position in its own sources to many messages; users need the
    // reason only.
    const std::size_t at = text.find(" at ./");
    if (at != std::string::npos) text.erase(at);
    return text;
}

rtl::OUString FromUtf8(const std::string& text) {
    return rtl::OStringToOUString(rtl::OString(text.data(), static_cast<sal_Int32>(text.size())),
                                  RTL_TEXTENCODING_UTF8);
}

rtl::OUString FileUrl(const std::string& path) {
    rtl::OUString url;
    if (osl::FileBase::getFileURLFromSystemPath(FromUtf8(path), url) != osl::FileBase::E_None) {
        throw RuntimeFailure(kSpreadsheetFailure, "Not a valid file path: " + path);
    }
    return url;
}

std::string LastSegment(const rtl::OUString& url) {
    const sal_Int32 slash = url.lastIndexOf('/');
    const rtl::OUString segment = slash < 0 ? url : url.copy(slash + 1);
    return ToUtf8(rtl::Uri::decode(segment, rtl_UriDecodeWithCharset, RTL_TEXTENCODING_UTF8));
}

std::string SystemPath(const rtl::OUString& url) {
    rtl::OUString path;
    if (!url.startsWithIgnoreAsciiCase("file:") ||
        osl::FileBase::getSystemPathFromFileURL(url, path) != osl::FileBase::E_None) {
        return std::string();
    }
    return ToUtf8(path);
}

}  // namespace varsel::calc
