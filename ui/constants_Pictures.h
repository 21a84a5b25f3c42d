// The names of the bitmap resources the build draws for the kit's windows
// (ui/pictures/pictures.cmake) beside the theme picture and the language
// pictures, which the install component and the translator name.
#pragma once

// The red cross on the Cancel buttons.
constexpr const char* CancelGlyphResource = "BM_CANCELGLYPH";
// The copy window: extracting (36 x 37) and fetching from the net (37 x 36).
constexpr const char* ArchivePictureResource = "BM_ARCHIVE";
constexpr const char* TransferPictureResource = "BM_TRANSFER";
// The change-disk window (57 x 113).
constexpr const char* ChangeDiskPictureResource = "BM_CHANGEDISK";
// The language grid's empty slot.
constexpr const char* NoLanguagePictureResource = "BM_LANG_NONE";
