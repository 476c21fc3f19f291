// The player's visualization interfaces that the mingw-w64 headers lack,
// declared from the player's public documentation. Slot order matters: the
// player calls these through their vtables.
#pragma once

#include <ole2.h>
#include <windows.h>
#include <wmp.h>

#include "plugin/TimedLevel.h"

// Flags returned by IWMPEffects::GetCapabilities.
constexpr DWORD EFFECT_CANGOFULLSCREEN = 0x1;
constexpr DWORD EFFECT_HASPROPERTYPAGE = 0x2;
constexpr DWORD EFFECT_VARIABLEFREQSTEP = 0x4;
constexpr DWORD EFFECT_WINDOWEDONLY = 0x8;
constexpr DWORD EFFECT2_FULLSCREENEXCLUSIVE = 0x10;

struct IWMPEffects : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE Render(TimedLevel* levels, HDC hdc, RECT* rect) = 0;
  virtual HRESULT STDMETHODCALLTYPE MediaInfo(LONG channelCount, LONG sampleRate, BSTR title) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetCapabilities(DWORD* capabilities) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetTitle(BSTR* title) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetPresetTitle(LONG preset, BSTR* title) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetPresetCount(LONG* count) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetCurrentPreset(LONG preset) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetCurrentPreset(LONG* preset) = 0;
  virtual HRESULT STDMETHODCALLTYPE DisplayPropertyPage(HWND owner) = 0;
  virtual HRESULT STDMETHODCALLTYPE GoFullscreen(BOOL fullScreen) = 0;
  virtual HRESULT STDMETHODCALLTYPE RenderFullScreen(TimedLevel* levels) = 0;
};

struct IWMPEffects2 : public IWMPEffects {
  virtual HRESULT STDMETHODCALLTYPE SetCore(IWMPCore* core) = 0;
  virtual HRESULT STDMETHODCALLTYPE Create(HWND parent) = 0;
  virtual HRESULT STDMETHODCALLTYPE Destroy() = 0;
  virtual HRESULT STDMETHODCALLTYPE NotifyNewMedia(IWMPMedia* media) = 0;
  virtual HRESULT STDMETHODCALLTYPE OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam,
                                                    LRESULT* result) = 0;
  virtual HRESULT STDMETHODCALLTYPE RenderWindowed(TimedLevel* levels, BOOL requiredRender) = 0;
};

// Embedded album art, reached through getItemInfoByType("WM/Picture").
struct IWMPMetadataPicture : public IDispatch {
  virtual HRESULT STDMETHODCALLTYPE get_mimeType(BSTR* mimeType) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_pictureType(BSTR* pictureType) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_description(BSTR* description) = 0;
  virtual HRESULT STDMETHODCALLTYPE get_URL(BSTR* url) = 0;
};

// libuuid has none of the player's ids and wmp.h only declares its IID_IWMP*
// symbols, so code asks for ids with __uuidof, which needs no link symbol.
__CRT_UUID_DECL(IWMPEffects, 0xD3984C13, 0xC3CB, 0x48E2, 0x8B, 0xE5, 0x51, 0x68, 0x34, 0x0B, 0x4F, 0x35)
__CRT_UUID_DECL(IWMPEffects2, 0x695386EC, 0xAA3C, 0x4618, 0xA5, 0xE1, 0xDD, 0x9A, 0x8B, 0x98, 0x76, 0x32)
__CRT_UUID_DECL(IWMPMetadataPicture, 0x5C29BBE0, 0xF87D, 0x4C45, 0xAA, 0x28, 0xA7, 0x0F, 0x02, 0x30, 0xFF,
                0xA9)
