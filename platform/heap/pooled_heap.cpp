// A module's C++ allocations (in the session server: the PST library's trees, tables and
// buffers; in the programs: the engine's records, texts and dispatch arguments) come from
// size-class pools of the module's own instead of the C runtime's heap.
//
// Why: a save keeps a few small index nodes per contact for good and frees buffers of many
// sizes between them. Wine's heap (unlike Windows, whose low-fragmentation heap takes
// these sizes) serves every block above a few hundred bytes first-fit from a single
// unsorted free list; the holes the long-lived nodes leave behind pile up there, every
// mid-sized allocation walks them, and the cost per contact grows with the count. It also
// takes a lock for every block. Here a block of a given class comes from that class's own
// free list in constant time, whatever the history of the others.
#include <windows.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <new>

namespace {

// Classes: 16-byte steps up to 1 KB, then eight per doubling up to 64 KB. Larger blocks are
// rare and go to the system heap.
constexpr std::size_t kAlign = 16;
constexpr std::size_t kFineLimit = 1024;
constexpr std::size_t kPooledLimit = 64 * 1024;
constexpr int kFineClasses = int(kFineLimit / kAlign);  // 16, 32, ... 1024
constexpr int kCoarseClasses = 6 * 8;                   // 1152 ... 65536
constexpr int kClasses = kFineClasses + kCoarseClasses;

// Pool memory is one reserved address range, committed a run at a time; a run holds blocks
// of one class, and the run table says which, so a pointer alone finds its class.
constexpr std::size_t kRunSize = 64 * 1024;
constexpr std::size_t kReserve = std::size_t(4) << 30;  // address space only
constexpr std::size_t kRuns = kReserve / kRunSize;

std::size_t ClassSize(int c) {
  if (c < kFineClasses) return std::size_t(c + 1) * kAlign;
  const int k = c - kFineClasses;
  const std::size_t base = kFineLimit << (k / 8);
  return base + base / 8 * std::size_t(k % 8 + 1);
}

int ClassOf(std::size_t size) {
  if (size <= kFineLimit) return size == 0 ? 0 : int((size - 1) / kAlign);
  int c = kFineClasses;
  while (ClassSize(c) < size) ++c;  // at most 48 steps, for blocks of a kilobyte or more
  return c;
}

struct FreeBlock {
  FreeBlock* next;
};

// Guards the free lists. Held for a few instructions, by one thread nearly always: a test
// and set is all it takes, where a slim reader/writer lock costs a wake-up call on every
// release under Wine.
class SpinLock {
 public:
  void Lock() {
    int spins = 0;
    while (m_busy.exchange(true, std::memory_order_acquire)) {
      while (m_busy.load(std::memory_order_relaxed)) {
        if (++spins < 64) YieldProcessor();
        else ::SwitchToThread();
      }
    }
  }
  void Unlock() { m_busy.store(false, std::memory_order_release); }

 private:
  std::atomic<bool> m_busy{false};
};

class Pools {
 public:
  Pools() {
    m_base = static_cast<char*>(::VirtualAlloc(nullptr, kReserve, MEM_RESERVE, PAGE_NOACCESS));
  }

  void* Allocate(std::size_t size) {
    if (size > kPooledLimit || !m_base) return ::HeapAlloc(::GetProcessHeap(), 0, size ? size : 1);
    const int c = ClassOf(size);
    const std::size_t blockSize = ClassSize(c);
    void* p = nullptr;
    m_lock.Lock();
    if (FreeBlock* block = m_free[c]) {
      m_free[c] = block->next;
      p = block;
    } else if (m_end[c] - m_next[c] >= std::ptrdiff_t(blockSize) || AddRun(c)) {
      // Fresh blocks come from the class's newest run in order, so its pages are touched
      // only as they are used.
      p = m_next[c];
      m_next[c] += blockSize;
    }
    m_lock.Unlock();
    return p ? p : ::HeapAlloc(::GetProcessHeap(), 0, size);
  }

  void Release(void* p) {
    if (!p) return;
    char* at = static_cast<char*>(p);
    if (!m_base || at < m_base || at >= m_base + kReserve) {
      ::HeapFree(::GetProcessHeap(), 0, p);
      return;
    }
    const std::size_t run = std::size_t(at - m_base) / kRunSize;
    m_lock.Lock();
    const int c = m_runClass[run];
    auto* block = static_cast<FreeBlock*>(p);
    block->next = m_free[c];
    m_free[c] = block;
    m_lock.Unlock();
  }

 private:
  // Commits the next run for class c; what is left of its previous run is too small for a
  // block.
  bool AddRun(int c) {
    if (m_usedRuns == kRuns) return false;
    char* run = m_base + m_usedRuns * kRunSize;
    if (!::VirtualAlloc(run, kRunSize, MEM_COMMIT, PAGE_READWRITE)) return false;
    m_runClass[m_usedRuns++] = std::uint8_t(c);
    m_next[c] = run;
    m_end[c] = run + kRunSize / ClassSize(c) * ClassSize(c);
    return true;
  }

  SpinLock m_lock;
  char* m_base = nullptr;
  std::size_t m_usedRuns = 0;
  FreeBlock* m_free[kClasses] = {};
  char* m_next[kClasses] = {};
  char* m_end[kClasses] = {};
  std::uint8_t m_runClass[kRuns] = {};
};
static_assert(kClasses <= 256, "a class must fit the run table's byte");

Pools* MakePools() {
  // The pools live as long as the process: frees from static destructors at unload still
  // find them. A DLL stays loaded for the same reason; otherwise every unload and reload
  // would leave a set of pools behind.
  HMODULE self = nullptr;
  ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCWSTR>(&MakePools), &self);
  alignas(Pools) static unsigned char storage[sizeof(Pools)];
  return new (storage) Pools();
}

Pools& ThePools() {
  // Made on first use: static constructors may allocate before anything else runs.
  static Pools* const pools = MakePools();
  return *pools;
}

void* Allocate(std::size_t size) {
  for (;;) {
    if (void* p = ThePools().Allocate(size)) return p;
    std::new_handler handler = std::get_new_handler();
    if (!handler) throw std::bad_alloc();
    handler();
  }
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return ThePools().Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return ThePools().Allocate(size); }
void operator delete(void* p) noexcept { ThePools().Release(p); }
void operator delete[](void* p) noexcept { ThePools().Release(p); }
void operator delete(void* p, std::size_t) noexcept { ThePools().Release(p); }
void operator delete[](void* p, std::size_t) noexcept { ThePools().Release(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { ThePools().Release(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { ThePools().Release(p); }
