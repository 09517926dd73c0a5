// What the settings-exchange tests share: archives in memory, a scratch registry key and
// small classes to exchange.
#pragma once

#include <framework.h>

#include <functional>
#include <string>
#include <vector>

#include "XTPPropExchange.h"

namespace pxtest {

using Bytes = std::vector<BYTE>;

// Runs fn on an archive exchange that stores into memory; the bytes written.
inline Bytes StoreArchive(const std::function<void(CXTPPropExchange*)>& fn) {
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    CXTPPropExchangeArchive px(ar);
    fn(&px);
    ar.Close();
  }
  const UINT n = static_cast<UINT>(file.GetLength());
  BYTE* p = file.Detach();
  Bytes bytes(p, p + n);
  free(p);
  return bytes;
}

// Runs fn on an archive exchange that loads from the bytes.
inline void LoadArchive(const Bytes& bytes, const std::function<void(CXTPPropExchange*)>& fn) {
  Bytes copy = bytes;
  BYTE dummy = 0;
  CMemFile file(copy.empty() ? &dummy : copy.data(), static_cast<UINT>(copy.size()));
  CArchive ar(&file, CArchive::load);
  CXTPPropExchangeArchive px(ar);
  fn(&px);
  ar.Abort();
  file.Detach();
}

// A key of its own under HKCU\Software\VorlixTests\Respx, deleted before and after.
class ScratchKey {
 public:
  explicit ScratchKey(const wchar_t* name) : m_path(std::wstring(L"Software\\VorlixTests\\Respx\\") + name) {
    ::RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str());
    ::RegCreateKeyExW(HKEY_CURRENT_USER, m_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_hKey, nullptr);
  }
  ~ScratchKey() {
    if (m_hKey) ::RegCloseKey(m_hKey);
    ::RegDeleteTreeW(HKEY_CURRENT_USER, m_path.c_str());
  }
  HKEY Key() const { return m_hKey; }
  // A value's type and bytes under the section (a subkey path of this key); false when
  // it is not there.
  bool Value(const wchar_t* section, const wchar_t* name, DWORD* type, Bytes* data) const {
    HKEY h;
    if (::RegOpenKeyExW(m_hKey, section, 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    DWORD cb = 0;
    bool ok = ::RegQueryValueExW(h, name, nullptr, type, nullptr, &cb) == ERROR_SUCCESS;
    if (ok) {
      data->assign(cb, 0);
      ok = ::RegQueryValueExW(h, name, nullptr, type, data->data(), &cb) == ERROR_SUCCESS;
    }
    ::RegCloseKey(h);
    return ok;
  }
  bool HasSubkey(const wchar_t* section) const {
    HKEY h;
    if (::RegOpenKeyExW(m_hKey, section, 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    ::RegCloseKey(h);
    return true;
  }
  // Writes a raw value under the section (created).
  void Put(const wchar_t* section, const wchar_t* name, DWORD type, const void* data, DWORD cb) const {
    HKEY h;
    ::RegCreateKeyExW(m_hKey, section, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr);
    ::RegSetValueExW(h, name, 0, type, static_cast<const BYTE*>(data), cb);
    ::RegCloseKey(h);
  }

 private:
  std::wstring m_path;
  HKEY m_hKey = nullptr;
};

// Objects created by name from stored data; counts how many exist.
extern int g_nShapesAlive;
extern int g_nShapesMade;

class CShape : public CObject {
  DECLARE_SERIAL(CShape)
 public:
  CShape() {
    ++g_nShapesAlive;
    ++g_nShapesMade;
  }
  ~CShape() override { --g_nShapesAlive; }
  void Serialize(CArchive& ar) override {
    if (ar.IsStoring())
      ar << m_nSides << m_strName;
    else
      ar >> m_nSides >> m_strName;
  }
  int m_nSides = 0;
  CString m_strName;
};

class CSquare : public CShape {
  DECLARE_SERIAL(CSquare)
};

// Not a shape, though creatable by name.
class CNotAShape : public CObject {
  DECLARE_SERIAL(CNotAShape)
 public:
  CNotAShape() { ++g_nShapesMade; }
};

}  // namespace pxtest
