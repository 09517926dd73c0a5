// The pooled allocator, compiled into this program so that its operator new and delete
// serve the test: blocks of every class stay intact while four threads allocate, fill,
// check and free them at once.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

namespace {

// A deterministic size sequence across the pooled classes and beyond them.
std::size_t SizeAt(std::uint32_t& state) {
  state = state * 1664525u + 1013904223u;
  const std::uint32_t r = state >> 8;
  switch (r % 4) {
    case 0: return 1 + r % 64;
    case 1: return 1 + r % 1024;
    case 2: return 1024 + r % (64 * 1024);
    default: return 60 * 1024 + r % (16 * 1024);  // across the limit to the system heap
  }
}

TEST(PooledHeap, ThreadsKeepTheirBlocksIntact) {
  constexpr int kThreads = 4;
  std::vector<int> failures(kThreads, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t, &failures] {
      std::uint32_t state = 12345u + std::uint32_t(t);
      struct Held {
        std::unique_ptr<unsigned char[]> p;
        std::size_t n;
        unsigned char tag;
      };
      std::vector<Held> held;
      for (int round = 0; round < 20000; ++round) {
        const std::size_t n = SizeAt(state);
        const unsigned char tag = static_cast<unsigned char>(t * 50 + round % 50);
        Held h{std::unique_ptr<unsigned char[]>(new unsigned char[n]), n, tag};
        std::memset(h.p.get(), tag, n);
        held.push_back(std::move(h));
        // Free a pseudo-random earlier block, checking that nobody wrote over it.
        if (held.size() > 64) {
          const std::size_t k = (state >> 4) % held.size();
          const Held& victim = held[k];
          for (std::size_t i = 0; i < victim.n; i += 97)
            if (victim.p[i] != victim.tag) { ++failures[t]; break; }
          if (victim.p[victim.n - 1] != victim.tag) ++failures[t];
          held[k] = std::move(held.back());
          held.pop_back();
        }
      }
      for (const Held& h : held)
        if (h.p[0] != h.tag || h.p[h.n - 1] != h.tag) ++failures[t];
    });
  }
  for (auto& th : threads) th.join();
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(0, failures[t]) << "thread " << t;
}

TEST(PooledHeap, BlocksAreAlignedAndDistinct) {
  std::vector<void*> blocks;
  for (std::size_t n : {1u, 15u, 16u, 17u, 1000u, 1024u, 1025u, 5000u, 65536u, 65537u, 300000u}) {
    void* p = ::operator new(n);
    EXPECT_EQ(0u, reinterpret_cast<std::uintptr_t>(p) % 16) << n;
    std::memset(p, 0xAB, n);
    for (void* q : blocks) EXPECT_NE(p, q);
    blocks.push_back(p);
  }
  for (void* p : blocks) ::operator delete(p);
}

}  // namespace
