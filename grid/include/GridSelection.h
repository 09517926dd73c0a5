// The set of selected cell positions of a grid.
//
// Positions are hashed by a 32-bit key that packs the low 16 bits of the column above the
// low 16 bits of the row; that key is what callers and the hash see. Two positions whose
// rows or columns differ only above bit 15 share a key, so entries are told apart by their
// full row and column, never by the key alone.
#pragma once

#include <functional>
#include <unordered_set>
#include <vector>

#include "GridTypes.h"

class CGridSelectionMap {
 public:
  static DWORD MakeKey(int row, int col) {
    return (static_cast<DWORD>(col & 0xFFFF) << 16) | static_cast<DWORD>(row & 0xFFFF);
  }

  void Add(const CGridCellId& cell) { m_cells.insert(cell); }
  void Remove(const CGridCellId& cell) { m_cells.erase(cell); }
  BOOL Contains(const CGridCellId& cell) const { return m_cells.count(cell) != 0; }
  int GetCount() const { return static_cast<int>(m_cells.size()); }
  BOOL IsEmpty() const { return m_cells.empty(); }
  void RemoveAll() { m_cells.clear(); }

  // A copy of the positions, for loops that change the map or the cells as they go.
  std::vector<CGridCellId> GetCells() const { return {m_cells.begin(), m_cells.end()}; }

 private:
  struct KeyHash {
    size_t operator()(const CGridCellId& cell) const { return MakeKey(cell.row, cell.col); }
  };
  std::unordered_set<CGridCellId, KeyHash> m_cells;
};
