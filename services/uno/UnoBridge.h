// The UNO plumbing of the Calc backend: the local component context (bootstrapped once per
// process from the office's fundamentalrc), the connection to an office over a named pipe,
// text conversion, and the translation of UNO exceptions into the program's RuntimeFailure.
#pragma once

#include <com/sun/star/uno/Exception.hpp>
#include <com/sun/star/uno/Reference.hxx>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <rtl/ustring.hxx>
#include <string>

#include "model/RuntimeFailure.h"

namespace varsel::calc {

namespace css = ::com::sun::star;

/// Why the socket of the pipe `pipeName` (/tmp/OSL_PIPE_<uid>_<name>, where the office makes
/// it) is not the user's office: a file there that belongs to another user, who would read
/// and answer every call. Empty when nothing is there or the user owns it.
std::string ForeignPipe(const std::string& pipeName);

/// The office's component context reached through the pipe `pipeName`; empty when nothing
/// accepts connections there or the pipe is foreign (ForeignPipe), with the reason in `*why`
/// when that is given.
css::uno::Reference<css::uno::XComponentContext> ConnectToPipe(const std::string& pipeName,
                                                               std::string* why = nullptr);

/// UTF-16 office text to UTF-8 and back.
std::string ToUtf8(const rtl::OUString& text);
rtl::OUString FromUtf8(const std::string& text);
/// The office's message of an exception, without the source position it often ends with.
std::string Reason(const css::uno::Exception& error);

/// The file URL of a full path, and the last segment of a URL, decoded (the file name).
rtl::OUString FileUrl(const std::string& path);
std::string LastSegment(const rtl::OUString& url);
/// The local path of a file URL; empty for any other URL.
std::string SystemPath(const rtl::OUString& url);

/// Runs `call`; a UNO exception becomes a RuntimeFailure (kSpreadsheetFailure) whose text says
/// what could not be done (`action`, e.g. "write cell (8, 3)") and the office's reason.
template <class Call>
auto Calling(const std::string& action, Call&& call) -> decltype(call()) {
    try {
        return call();
    } catch (const css::uno::Exception& error) {
        std::string text = "LibreOffice Calc could not " + action;
        const std::string reason = Reason(error);
        if (!reason.empty()) text += ": " + reason;
        throw RuntimeFailure(kSpreadsheetFailure, text);
    }
}

}  // namespace varsel::calc
