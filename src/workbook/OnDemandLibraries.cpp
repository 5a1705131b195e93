#include "OnDemandLibraries.h"

#include <optional>

#include <QLibrary>

namespace {

// QLibrary leaves the library loaded when it goes: the pointers stay valid.
template <typename Api, typename Resolve>
std::optional<Api> load(const char* soname, Resolve resolve) {
    QLibrary library(QString::fromLatin1(soname));
    if (!library.load())
        return std::nullopt;
    Api api;
    if (!resolve(library, api))
        return std::nullopt;
    return api;
}

#define OST_RESOLVE(name)                                                                          \
    ok = ok && (api.name = reinterpret_cast<decltype(api.name)>(library.resolve(#name)));

} // namespace

const XlsxWriterLibrary* XlsxWriter() {
    static const std::optional<XlsxWriterLibrary> api = load<XlsxWriterLibrary>(
        OST_XLSXWRITER_SONAME, [](QLibrary& library, XlsxWriterLibrary& api) {
            bool ok = true;
            OST_XLSXWRITER_FUNCTIONS(OST_RESOLVE)
            return ok;
        });
    return api ? &*api : nullptr;
}

const ZipLibrary* Zip() {
    static const std::optional<ZipLibrary> api =
        load<ZipLibrary>(OST_ZIP_SONAME, [](QLibrary& library, ZipLibrary& api) {
            bool ok = true;
            OST_ZIP_FUNCTIONS(OST_RESOLVE)
            return ok;
        });
    return api ? &*api : nullptr;
}
