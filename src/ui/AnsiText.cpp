#include "ui/AnsiText.h"

#include <windows.h>

#include <algorithm>

#include "ui/TextRules.h"

namespace ui {

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

}  // namespace

const CodePageShape& AnsiCodePageShape() {
  static const CodePageShape shape = AnsiShape();
  return shape;
}

std::string CutAnsi(const std::string& text, std::size_t maxBytes) {
  return text.substr(0, WholeCharactersCut(text, maxBytes, AnsiCodePageShape()));
}

}  // namespace ui

namespace ui {

std::wstring WideFromUtf8(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
  std::wstring wide(std::size_t(std::max(n, 0)), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(), n);
  return wide;
}

std::string Utf8FromWide(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(std::size_t(std::max(n, 0)), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), utf8.data(), n, nullptr, nullptr);
  return utf8;
}

std::string Utf8FromAnsi(const std::string& ansi) {
  if (ansi.empty()) return {};
  const int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), int(ansi.size()), nullptr, 0);
  std::wstring wide(std::size_t(std::max(n, 0)), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), int(ansi.size()), wide.data(), n);
  return Utf8FromWide(wide);
}

std::string AnsiFromUtf8(const std::string& utf8) {
  const std::wstring wide = WideFromUtf8(utf8);
  if (wide.empty()) return {};
  const bool utf8Page = GetACP() == CP_UTF8;  // which takes neither option
  const DWORD flags = utf8Page ? 0 : WC_NO_BEST_FIT_CHARS;
  const char* missing = utf8Page ? nullptr : "?";
  const int n = WideCharToMultiByte(CP_ACP, flags, wide.data(), int(wide.size()), nullptr, 0, missing, nullptr);
  std::string ansi(std::size_t(std::max(n, 0)), '\0');
  WideCharToMultiByte(CP_ACP, flags, wide.data(), int(wide.size()), ansi.data(), n, missing, nullptr);
  return ansi;
}

std::string CutUtf8ToWide(const std::string& utf8, std::size_t maxUnits) {
  std::wstring wide = WideFromUtf8(utf8);
  if (wide.size() <= maxUnits) return utf8;
  wide.resize(maxUnits);
  if (!wide.empty() && wide.back() >= 0xD800 && wide.back() <= 0xDBFF) wide.pop_back();  // half a pair
  return Utf8FromWide(wide);
}

}  // namespace ui
