// String helpers for paths and separated fields, used throughout the kit.
// Portable: Windows paths are plain text here ("\" separates folders, a
// drive is "X:"), so the same code runs natively and in the setup program.
// Case helpers (UpperCase, LowerCase, SameText) live with the component
// model in rtl/cmp_TComponent.h.
#pragma once

#include <cstdint>
#include <string>

#include "rtl/cmp_TStrings.h"

// --- Paths ------------------------------------------------------------------

// S with "\" appended unless S is empty or already ends in "\".
std::string AddBackslash(const std::string& S);
// S without its last character if that is "\"; otherwise S.
std::string RemoveBackslash(const std::string& S);

// Up to and including the last "\" or ":" ("C:\Dir\" for "C:\Dir\a.txt").
std::string ExtractFilePath(const std::string& FileName);
// ExtractFilePath without its trailing "\", except for a root ("C:\", "\").
std::string ExtractFileDir(const std::string& FileName);
// After the last "\" or ":".
std::string ExtractFileName(const std::string& FileName);
// From the last "." of the name part, the dot included; empty when none.
std::string ExtractFileExt(const std::string& FileName);
// FileName with its extension replaced by Extension (which brings its dot),
// or Extension appended when there is none.
std::string ChangeFileExt(const std::string& FileName, const std::string& Extension);
// "C:" for "C:\...", "\\server\share" for a UNC path, otherwise empty.
std::string ExtractFileDrive(const std::string& FileName);

// S with every "/" turned into "-" and every character of " * : ; < > ? \ |
// removed, so text such as a URL can serve as a file name.
std::string MakeValidFileName(const std::string& S);

// --- Separated fields -------------------------------------------------------

// Number of fields of S split at Sep: the separators, plus one for the text
// after the last of them unless S is empty or ends in Sep (so "a;b;" and
// "a;b" both have two).
int FieldCount(const std::string& S, char Sep);
// The N-th field (from 1) of S split at Sep; empty when S has fewer than N-1
// separators or N < 1.  The last field runs to the end of S.
std::string GetField(const std::string& S, int N, char Sep);
// Clears List, then adds GetField(S, i, Sep) for i = 1 .. FieldCount(S, Sep).
void SplitToList(const std::string& S, char Sep, TStrings& List);

// The text after the first ":" of S; S unchanged when it has none.
std::string TextAfterColon(const std::string& S);

// --- General ----------------------------------------------------------------

// Without leading and trailing blanks and control characters (<= ' ').
std::string Trim(const std::string& S);
std::string TrimLeft(const std::string& S);
std::string TrimRight(const std::string& S);

// Decimal integer with an optional sign, nothing else around it; false when
// S is not one or does not fit 32 bits.
bool TryStrToInt(const std::string& S, int32_t& Value);
int32_t StrToIntDef(const std::string& S, int32_t Default);
