#include "base/Encoding.h"

#include <windows.h>

#include <algorithm>

namespace base {

namespace {

bool LeadByte(unsigned char c) {
  return IsDBCSLeadByte(c) != FALSE;
}

CodePageShape AnsiShape() {
  CPINFO info{};
  const UINT page = GetACP();
  if (page == CP_UTF8) return {true, nullptr};
  return {false, GetCPInfo(page, &info) && info.MaxCharSize > 1 ? &LeadByte : nullptr};
}

std::wstring Widen(std::string_view text, UINT codePage, DWORD flags) {
  if (text.empty()) return {};
  const int n = MultiByteToWideChar(codePage, flags, text.data(), int(text.size()), nullptr, 0);
  std::wstring wide(std::size_t(std::max(n, 0)), L'\0');
  if (n > 0) MultiByteToWideChar(codePage, flags, text.data(), int(text.size()), wide.data(), n);
  return wide;
}

std::string Narrow(std::wstring_view wide, UINT codePage, DWORD flags, const char* missing) {
  if (wide.empty()) return {};
  const int n = WideCharToMultiByte(codePage, flags, wide.data(), int(wide.size()), nullptr, 0, missing, nullptr);
  std::string text(std::size_t(std::max(n, 0)), '\0');
  if (n > 0) WideCharToMultiByte(codePage, flags, wide.data(), int(wide.size()), text.data(), n, missing, nullptr);
  return text;
}

}  // namespace

const CodePageShape& AnsiCodePageShape() {
  static const CodePageShape shape = AnsiShape();
  return shape;
}

std::string CutAnsi(const std::string& text, std::size_t maxBytes) {
  return text.substr(0, WholeCharactersCut(text, maxBytes, AnsiCodePageShape()));
}

std::wstring WideFromUtf8(std::string_view utf8) {
  return Widen(utf8, CP_UTF8, 0);
}

std::string Utf8FromWide(std::wstring_view wide) {
  return Narrow(wide, CP_UTF8, 0, nullptr);
}

std::string Utf8FromAnsi(std::string_view ansi) {
  return Utf8FromWide(Widen(ansi, CP_ACP, 0));
}

std::string AnsiFromWide(std::wstring_view wide) {
  // UTF-8 as the ANSI code page has every character, and takes neither option.
  const bool utf8Page = GetACP() == CP_UTF8;
  return Narrow(wide, CP_ACP, utf8Page ? 0 : WC_NO_BEST_FIT_CHARS, utf8Page ? nullptr : "?");
}

std::string AnsiFromUtf8(std::string_view utf8) {
  return AnsiFromWide(WideFromUtf8(utf8));
}

std::wstring WideFromUtf8OrAnsi(std::string_view text) {
  std::wstring wide = Widen(text, CP_UTF8, MB_ERR_INVALID_CHARS);
  return wide.empty() ? Widen(text, CP_ACP, 0) : wide;
}

std::string CutUtf8ToWide(const std::string& utf8, std::size_t maxUnits) {
  std::wstring wide = WideFromUtf8(utf8);
  if (wide.size() <= maxUnits) return utf8;
  wide.resize(maxUnits);
  if (!wide.empty() && wide.back() >= 0xD800 && wide.back() <= 0xDBFF) wide.pop_back();  // half a pair
  return Utf8FromWide(wide);
}

}  // namespace base
