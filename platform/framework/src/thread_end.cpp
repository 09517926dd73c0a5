// Clean-up at the end of a thread through a fiber-local slot: the system calls the slot's
// callback with the slot's value when the thread ends, whatever made the thread, before
// the C runtime releases the thread's storage, and for the main thread at process exit.
#include "framework.h"

#include <utility>
#include <vector>

namespace fwthread {
namespace {

using CleanupList = std::vector<std::pair<void (*)(void*), void*>>;

DWORD Slot();

void WINAPI RunCleanups(void* pList) {
  auto* list = static_cast<CleanupList*>(pList);
  if (list == nullptr) return;
  // A clean-up may register another one (a window destroyed late asking for the thread's
  // state again): those are run too, from the same list.
  while (!list->empty()) {
    const auto entry = list->back();
    list->pop_back();
    entry.first(entry.second);
  }
  ::FlsSetValue(Slot(), nullptr);
  delete list;
}

DWORD Slot() {
  static const DWORD nSlot = ::FlsAlloc(&RunCleanups);
  return nSlot;
}

}  // namespace

void AtThreadEnd(void (*pfnCleanup)(void*), void* pObject) {
  const DWORD nSlot = Slot();
  if (nSlot == FLS_OUT_OF_INDEXES || pfnCleanup == nullptr) return;  // the object stays until the process ends
  auto* list = static_cast<CleanupList*>(::FlsGetValue(nSlot));
  if (list == nullptr) {
    list = new CleanupList;
    if (!::FlsSetValue(nSlot, list)) {
      delete list;
      return;
    }
  }
  list->emplace_back(pfnCleanup, pObject);
}

}  // namespace fwthread
