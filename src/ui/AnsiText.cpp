#include "ui/AnsiText.h"

#include <windows.h>

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

std::string CutAnsi(const std::string& text, std::size_t maxBytes) {
  static const CodePageShape shape = AnsiShape();
  return text.substr(0, WholeCharactersCut(text, maxBytes, shape));
}

}  // namespace ui
