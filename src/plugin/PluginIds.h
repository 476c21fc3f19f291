/* The three fixed ids of the plug-in, in the one place both the C++ code and
   the type library's IDL read them (widl preprocesses this file too). */
#ifndef BC_PLUGIN_PLUGINIDS_H
#define BC_PLUGIN_PLUGINIDS_H

#define BC_WMP_CLSID_TEXT "2115F35C-822F-4C90-AD23-BE9DED4EFA37"
#define IBC_WMP_IID_TEXT "9E2CAC46-FE37-424C-BE58-47ED90DD4904"
#define BC_WMPLIB_LIBID_TEXT "B48FB491-06D5-4E2B-923E-96DBD482CD50"

#ifndef __WIDL__
#include <windows.h>

namespace plugin_ids {

constexpr int HexDigit(char c) {
  return c >= '0' && c <= '9'   ? c - '0'
         : c >= 'A' && c <= 'F' ? c - 'A' + 10
         : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                : -1;
}

constexpr unsigned long long HexValue(const char* text, int start, int digits) {
  unsigned long long value = 0;
  for (int i = 0; i < digits; ++i) {
    const int digit = HexDigit(text[start + i]);
    if (digit < 0) throw "not a GUID";  // only ever evaluated at compile time
    value = value * 16 + digit;
  }
  return value;
}

// Reads "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX".
constexpr GUID ParseGuid(const char (&text)[37]) {
  GUID guid{};
  guid.Data1 = static_cast<unsigned long>(HexValue(text, 0, 8));
  guid.Data2 = static_cast<unsigned short>(HexValue(text, 9, 4));
  guid.Data3 = static_cast<unsigned short>(HexValue(text, 14, 4));
  constexpr int kByteStarts[8] = {19, 21, 24, 26, 28, 30, 32, 34};
  for (int i = 0; i < 8; ++i) guid.Data4[i] = static_cast<unsigned char>(HexValue(text, kByteStarts[i], 2));
  return guid;
}

}  // namespace plugin_ids

inline constexpr CLSID kClsidBC_WMP = plugin_ids::ParseGuid(BC_WMP_CLSID_TEXT);
inline constexpr IID kIidIBC_WMP = plugin_ids::ParseGuid(IBC_WMP_IID_TEXT);
inline constexpr GUID kLibidBC_WMPLib = plugin_ids::ParseGuid(BC_WMPLIB_LIBID_TEXT);

// Registry texts: the ids in braces.
inline constexpr wchar_t kClsidBC_WMPText[] = L"{" BC_WMP_CLSID_TEXT "}";
inline constexpr wchar_t kLibidBC_WMPLibText[] = L"{" BC_WMPLIB_LIBID_TEXT "}";

#endif /* __WIDL__ */
#endif /* BC_PLUGIN_PLUGINIDS_H */
