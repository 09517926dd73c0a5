// Per-thread tables that find the wrapper of a GDI, DC or image-list handle.
//
// "Attached" entries point at wrappers that own their handle (registered by Attach, removed
// by Detach). "Temporary" entries are wrappers FromHandle made for handles nobody wraps;
// they never own the handle and are deleted by AfxDeleteTempGdiObjects or at thread exit.
#pragma once

#include <map>
#include <memory>
#include <unordered_map>
#include <utility>

#include "framework.h"

namespace fw_gdi {

// Which table a handle lives in: the three handle spaces are distinct.
enum class Space { GdiObject, DC, ImageList };

// A pointer comparison that the optimiser may not fold away: wrappers are called through
// null pointers on purpose (GetSafeHandle on a missing object), which the compiler would
// otherwise assume impossible.
template <class T>
inline bool IsNullObject(const T* p) {
  const void* q = p;
  asm("" : "+r"(q));
  return q == nullptr;
}

void RegisterAttached(Space space, void* handle, CObject* wrapper);
void UnregisterAttached(Space space, void* handle, CObject* wrapper);
CObject* FindAttached(Space space, void* handle);

// Returns the temporary wrapper of (space, handle, kind), building it with make() the first
// time; release() clears its handle member before it is deleted.
using MakeFn = CObject* (*)(void* handle);
using ReleaseFn = void (*)(CObject* wrapper);
CObject* FindOrMakeTemporary(Space space, void* handle, const void* kind, MakeFn make,
                             ReleaseFn release);

// Sets a wrapper's handle member without registering it anywhere.
inline void SetRawHandle(CGdiObject* p, void* h) { p->m_hObject = static_cast<HGDIOBJ>(h); }
inline void SetRawHandle(CDC* p, void* h) { p->m_hDC = p->m_hAttribDC = static_cast<HDC>(h); }
inline void SetRawHandle(CImageList* p, void* h) { p->m_hImageList = static_cast<HIMAGELIST>(h); }

// The usual lookup: an attached wrapper, else a temporary of class T.
template <class T, Space S>
T* FromHandle(void* handle) {
  if (handle == nullptr) return nullptr;
  if (CObject* attached = FindAttached(S, handle)) return static_cast<T*>(attached);
  static const char kKind = 0;  // one address per wrapper class
  return static_cast<T*>(FindOrMakeTemporary(
      S, handle, &kKind,
      [](void* h) -> CObject* {
        T* p = new T;
        SetRawHandle(p, h);
        return p;
      },
      [](CObject* p) { SetRawHandle(static_cast<T*>(p), nullptr); }));
}

}  // namespace fw_gdi
