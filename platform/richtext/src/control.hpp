// The rich text box control: one COM object per control, a RichEdit 2.0 window inside.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <atomic>

namespace richtext {

// {3B7C8860-D78F-101B-B9B5-04021C009402}
extern const CLSID kClsid;
extern const wchar_t kClsidText[];
// The control's own dispatch interface and its event interface (default source).
extern const IID kIidDispatch;
extern const IID kIidEvents;

// Dispatch identifiers of the control's properties and methods.
enum : DISPID {
  kDispTextRtf = 10,
  kDispSaveFile = 40,
  kDispLoadFile = 41,
  kDispText = DISPID_TEXT,  // -517
  kDispHwnd = DISPID_HWND,  // -515
};
// Kinds of SaveFile and LoadFile.
enum { kFileRtf = 0, kFileText = 1 };

// Live objects of the DLL (controls, connection points, enumerators).
extern std::atomic<long> g_objectCount;

// A new control with one reference, as IUnknown.
IUnknown* CreateControl();

}  // namespace richtext
