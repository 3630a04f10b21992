#include <gtest/gtest.h>

#include "base/win.h"
#include "io/text/code_page_tables.h"

namespace {

using Io::Text::CodePageTable;

// The tables that serve the single-byte code pages off Windows convert every
// byte and every character exactly as Windows does, with and without best fit.
TEST(CodePageTables, MatchTheWindowsConversion) {
    for (int32_t code_page : {1250, 1252, 28591, 28592}) {
        const CodePageTable* table = Io::Text::FindCodePageTable(code_page);
        ASSERT_NE(table, nullptr) << code_page;
        for (int byte = 0; byte < 256; ++byte) {
            char in = static_cast<char>(byte);
            wchar_t out = 0;
            ASSERT_EQ(MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, &in, 1, &out, 1), 1);
            EXPECT_EQ(out, table->to_unicode[byte]) << code_page << " byte " << byte;
        }
        for (int character = 1; character < 0x10000; ++character) {
            const Io::Text::CodePageEncoding* row =
                Io::Text::FindEncoding(*table, static_cast<char16_t>(character));
            for (bool best_fit : {false, true}) {
                wchar_t in = static_cast<wchar_t>(character);
                char out = 0;
                BOOL used_default = FALSE;
                DWORD flags = best_fit ? 0 : WC_NO_BEST_FIT_CHARS;
                ASSERT_EQ(
                    WideCharToMultiByte(code_page, flags, &in, 1, &out, 1, nullptr, &used_default),
                    1);
                bool writes = row && (best_fit || !row->best_fit);
                EXPECT_EQ(static_cast<uint8_t>(out), writes ? row->byte : '?')
                    << code_page << " character " << character << " best fit " << best_fit;
                EXPECT_EQ(used_default != FALSE, !writes)
                    << code_page << " character " << character << " best fit " << best_fit;
            }
        }
    }
}

}  // namespace
