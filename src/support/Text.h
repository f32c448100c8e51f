#pragma once
// Text helpers for byte strings (UTF-8 on Linux, possibly other bytes from old files).
#include <cstdint>
#include <string>

namespace pixadra {

// Upper-cases ASCII letters and the Latin-1 letters of UTF-8 text (ä -> Ä, é -> É, ...);
// other bytes stay as they are. Used wherever names, paths and extensions compare without case.
std::string FoldCase(const std::string& text);
bool EqualsIgnoreCase(const std::string& a, const std::string& b);

// The first at most `maxBytes` bytes of text, without splitting a UTF-8 character
// (a text that is not valid UTF-8 is cut at the byte limit).
std::string CutUtf8(const std::string& text, std::size_t maxBytes);

bool IsValidUtf8(const std::string& text);
// Text for display: itself when valid UTF-8, else read as Windows-1252 and converted.
std::string ToDisplayUtf8(const std::string& text);

// Extension from the last "." of the file name (after the last "/") to the end, dot included,
// case folded; empty when the name has none.
std::string UpperExtension(const std::string& path);
// File name without folder.
std::string FileNameOf(const std::string& path);
// Folder part including its trailing "/" (empty when the path has no "/").
std::string FolderOf(const std::string& path);
// The path with "/" appended unless it already ends in one (an empty path stays empty).
std::string WithTrailingSlash(const std::string& folder);

// Decimal text of a number with at most `decimals` decimals, trailing zeros dropped, and the
// given decimal separator ("0,09", "1", "0,1109").
std::string FormatDecimal(long double value, int decimals, const std::string& separator);

}  // namespace pixadra
