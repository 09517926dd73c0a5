// The automation objects of the stand-in: session, stores, store, folders, folder, items,
// contact item, attachments and attachment, each answering the dispatch identifiers the
// engine calls, over a PST file opened with the PST library.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "dispatch.hpp"
#include "pst/pst.hpp"

namespace rdo {

// One PST file opened in a session. Every object reached from it holds a reference, so
// the file stays open until the last of them is released, even after a logoff.
struct StoreState {
  std::unique_ptr<pst::Store> store;
  std::wstring path;
};
using StorePtr = std::shared_ptr<StoreState>;

struct SessionState {
  bool loggedOn = false;
  std::vector<StorePtr> stores;
};

// The object behind the ProgID, with one reference for the caller.
IDispatch* CreateSession();

// The version text the session reports: the environment variable VORLIX_RDO_VERSION when
// set, else the value "Version" of HKLM\Software\Vorlix\RDOSession, else kDefaultVersion.
extern const wchar_t kDefaultVersion[];
std::wstring ConfiguredVersion();

// Item saves within this many milliseconds of the store's last commit are committed with
// the next commit after it (pst::StoreOptions::groupSavesMs); the first group holds at most
// kItemSaveGroupMax saves, each later one twice the one before (groupSavesMax).
extern const unsigned kItemSaveGroupMs;
extern const unsigned kItemSaveGroupMax;

// Opens (or, for a missing or empty file, creates in the Unicode layout) a PST file.
StorePtr OpenStoreFile(const std::wstring& path);

}  // namespace rdo
