// libcups, opened on first use rather than linked in, and an owning handle for its IPP messages.
#pragma once

#include <cups/cups.h>

#include <memory>

namespace quarzello {

// libcups is opened the first time the print service is asked anything: linked in, it and the
// libraries it pulls in (TLS, Kerberos, service discovery) would cost every start of the
// program some 2 ms and 3 MB before its window is shown, for what most runs never use.
// clang-format off
#define QUARZELLO_CUPS_FUNCTIONS(X) \
    X(httpConnect2) X(httpSetTimeout) X(httpClose) X(cupsServer) X(ippPort) X(cupsEncryption) \
    X(cupsUser) X(cupsLastError) X(cupsLastErrorString) X(httpAssembleURIf) X(ippNewRequest) \
    X(ippAddString) X(ippAddStrings) X(ippAddInteger) X(cupsDoRequest) X(ippDelete) \
    X(ippFindAttribute) X(ippGetString) X(ippGetInteger) X(ippGetBoolean) X(ippFirstAttribute) \
    X(ippNextAttribute) X(ippGetName) X(cupsAddOption) X(cupsEncodeOptions2) X(cupsFreeOptions) \
    X(cupsParseOptions) X(cupsStartDocument) X(cupsWriteRequestData) X(cupsFinishDocument) \
    X(httpGetFd) X(ippGetCount) X(ippGetCollection)
// clang-format on

struct CupsLibrary {
#define QUARZELLO_CUPS_POINTER(name) decltype(&::name) name = nullptr;
    QUARZELLO_CUPS_FUNCTIONS(QUARZELLO_CUPS_POINTER)
#undef QUARZELLO_CUPS_POINTER
    bool loaded = false;
};

// The library, opened at the first call; not loaded when this machine has no libcups.
const CupsLibrary& cups();

// An IPP request or answer, deleted with its owner.
struct IppDeleter {
    void operator()(ipp_t* ipp) const {
        if (ipp) cups().ippDelete(ipp);
    }
};
using IppPointer = std::unique_ptr<ipp_t, IppDeleter>;

}  // namespace quarzello
