#pragma once

// The statics of the promotion screen that its data file and page table
// fill: the open file's offset table, the header's names, the page table
// with its addresses and availability, the two lists, the text numbering and
// the layout values of `setup`. They live in the class table's statics, where
// the collector sees them; the page table outlives every visit of the screen.

#include "runtime/Array.h"
#include "runtime/ReferenceFields.h"
#include "runtime/String.h"

#include <cstdint>

namespace platform {
class javax_microedition_midlet_MIDlet;
}

namespace game {

// The special pages after the regular ones, as offsets from their count.
inline constexpr std::int32_t kPromoPropertyPage = 0;
inline constexpr std::int32_t kPromoListPage0 = 1;
inline constexpr std::int32_t kPromoListPage1 = 2;
inline constexpr std::int32_t kPromoPortalPage = 3;
inline constexpr std::int32_t kPromoExtraPage = 4;
// Page kinds: a regular page with its own address, the property page.
inline constexpr std::int32_t kPromoKindRegular = 4;
inline constexpr std::int32_t kPromoKindProperty = 5;

struct PromoStatics {
    // The open data file: its entry count N (N offsets close N - 1 entries),
    // its offset table (int[N], relative to the end of the table), its whole
    // length in bytes, and, when set, the entries themselves (Object[] of
    // byte[]) served in place of the file.
    std::int32_t s_dataEntryCount = 0;
    rt::IntArray* s_dataOffsets = nullptr;
    std::int64_t s_dataFileLength = 0;
    rt::ObjectArray* s_dataCache = nullptr;

    // The header entry's fields.
    rt::String* s_dataHeaderText = nullptr;
    rt::String* s_fontVariant = nullptr;
    rt::ObjectArray* s_langCodes = nullptr; // String[]
    rt::ObjectArray* s_pageNames = nullptr; // String[]
    rt::ObjectArray* s_listNames0 = nullptr;
    rt::ObjectArray* s_listNames1 = nullptr;
    rt::ObjectArray* s_extraNames = nullptr;
    // Flag 0: the extra page exists.
    rt::BoolArray* s_dataFlags = nullptr;

    // Glyph-row layout: 0 narrow (byte columns), 2 wide (16-bit x and y);
    // the column of each value; the font's line step and gap.
    std::int32_t s_glyphRowWide = 0;
    std::int32_t s_glyphColX = 0;
    std::int32_t s_glyphColY = 1;
    std::int32_t s_glyphColW = 2;
    std::int32_t s_glyphColH = 3;
    std::int32_t s_fontLineStep = 6;
    std::int32_t s_fontGap = 3;
    rt::ByteArray* s_glyphTable = nullptr;

    // The page table.
    std::int32_t s_regularPageCount = 0;
    std::int32_t s_pageCount = 0;
    rt::ObjectArray* s_pageLinks = nullptr; // String[]
    rt::ByteArray* s_pageAvailable = nullptr;
    rt::IntArray* s_pageKinds = nullptr;
    rt::ObjectArray* s_regularPageImages = nullptr;
    std::int32_t s_propertyPage = 0;
    std::int32_t s_listPage0 = 0;
    std::int32_t s_listPage1 = 0;
    std::int32_t s_portalPage = 0;
    std::int32_t s_extraPage = 0;
    // Loading steps that depend on the header: the last fixed step, the
    // extra page's step (-2 none) and the step that closes the file.
    std::int32_t s_lastFixedStep = 8;
    std::int32_t s_extraPageStep = -2;
    std::int32_t s_closeStep = 9;

    // Per list (0, 1): the shown rows' addresses (String[]), their data rows
    // (int[]), each data row's text index (int[]), and the shown row count.
    rt::ObjectArray* s_listLinks = nullptr;
    rt::ObjectArray* s_listTexts = nullptr;
    rt::ObjectArray* s_listImages = nullptr;
    rt::IntArray* s_listRowCounts = nullptr;

    // The text numbering: the base b of the fixed texts (fixed text k is at
    // b + k), each list's first and last text index, and the table's length.
    std::int32_t s_fixedTextBase = 0;
    std::int32_t s_list0FirstText = 0;
    std::int32_t s_list0LastText = 0;
    std::int32_t s_list1FirstText = 0;
    std::int32_t s_list1LastText = 0;
    std::int32_t s_textTableLength = 0;

    // The addresses from the application properties.
    rt::String* s_addressBase = nullptr;
    std::int8_t s_langInAddress = 0;
    std::int8_t s_fieldsInProperty = 1;
    std::int32_t s_linkPageNumber = 0;
    rt::String* s_extraAddress = nullptr;
    rt::String* s_extraText = nullptr;
    std::int8_t s_enabled = 0;
    std::int32_t s_availablePageCount = -1;

    // `setup`: the MIDlet, the command option and the layout values.
    platform::javax_microedition_midlet_MIDlet* s_midlet = nullptr;
    std::int8_t s_useCommands = 0;
    std::int32_t s_screenWidth = 0;
    std::int32_t s_screenHeight = 0;
    std::int32_t s_centreX = 0;
    std::int32_t s_centreY = 0;
    std::int32_t s_height5Percent = 0;
    std::int32_t s_height93Percent = 0;
    std::int32_t s_halfHeight = 0;

    RT_REFERENCE_FIELDS(PromoStatics, rt::NoReferenceBase, s_dataOffsets, s_dataCache, s_dataHeaderText,
                        s_fontVariant, s_langCodes, s_pageNames, s_listNames0, s_listNames1, s_extraNames,
                        s_dataFlags, s_glyphTable, s_pageLinks, s_pageAvailable, s_pageKinds,
                        s_regularPageImages, s_listLinks, s_listTexts, s_listImages, s_listRowCounts,
                        s_addressBase, s_extraAddress, s_extraText, s_midlet)
};

PromoStatics& promoStatics();

} // namespace game
