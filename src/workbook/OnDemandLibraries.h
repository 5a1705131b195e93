#pragma once

#include <xlsxwriter.h>
#include <zip.h>

// libxlsxwriter and libzip are loaded the first time a workbook is written or
// read, not when the program starts: with the libraries they bring along
// (OpenSSL's libcrypto among them) they cost the start about 5 ms and 2 MB
// for something most sessions never do. Each function pointer has the name
// and type of the library's function; null when the library is missing.
#define OST_XLSXWRITER_FUNCTIONS(X)                                                                \
    X(workbook_new)                                                                                \
    X(workbook_add_worksheet)                                                                      \
    X(workbook_add_format)                                                                         \
    X(workbook_close)                                                                              \
    X(format_set_bold)                                                                             \
    X(format_set_font_color)                                                                       \
    X(format_set_align)                                                                            \
    X(format_set_text_wrap)                                                                        \
    X(format_set_border)                                                                           \
    X(format_set_num_format)                                                                       \
    X(worksheet_merge_range)                                                                       \
    X(worksheet_write_number)                                                                      \
    X(worksheet_write_blank)                                                                       \
    X(worksheet_write_string)                                                                      \
    X(worksheet_set_column)

#define OST_ZIP_FUNCTIONS(X)                                                                       \
    X(zip_error_init)                                                                              \
    X(zip_error_fini)                                                                              \
    X(zip_source_buffer_create)                                                                    \
    X(zip_source_free)                                                                             \
    X(zip_open_from_source)                                                                        \
    X(zip_discard)                                                                                 \
    X(zip_name_locate)                                                                             \
    X(zip_stat_index)                                                                              \
    X(zip_fopen_index)                                                                             \
    X(zip_fread)                                                                                   \
    X(zip_fclose)

#define OST_DECLARE_POINTER(name) decltype(&::name) name = nullptr;

struct XlsxWriterLibrary {
    OST_XLSXWRITER_FUNCTIONS(OST_DECLARE_POINTER)
};
struct ZipLibrary {
    OST_ZIP_FUNCTIONS(OST_DECLARE_POINTER)
};

#undef OST_DECLARE_POINTER

// Loaded once, on the first call (from any thread); null if the library or
// one of its functions cannot be found.
const XlsxWriterLibrary* XlsxWriter();
const ZipLibrary* Zip();
