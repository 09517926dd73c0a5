// One Notes contact as the converters see it: 66 texts in a fixed order, one per Notes
// item the program knows and last the list of attached files. A missing or unreadable item
// leaves its slot empty; no slot is ever absent.
#pragma once

#include <framework.h>

class CContactRecord {
 public:
  static constexpr int kSlotCount = 66;
  // Slots read from Notes items; the last slot is the attachment list.
  static constexpr int kItemSlotCount = 65;
  static constexpr int kAttachmentSlot = 65;
  // Slots worth naming in code.
  static constexpr int kFullNameInput = 1;
  static constexpr int kFirstName = 6;
  static constexpr int kFullName = 56;

  // The Notes item a slot is read from (slots 0 to 64), as one-byte text.
  static const char* ItemName(int slot);
  // The spreadsheet column of a slot: the item name, and "Attachment" for the last slot.
  static const char* ColumnName(int slot);
  // The label that starts the slot's preview line, such as "Full Name : ".
  static const wchar_t* PreviewLabel(int slot);

  CString& operator[](int slot) { return m_strSlots[slot]; }
  const CString& operator[](int slot) const { return m_strSlots[slot]; }

  // Lines "label text\r\n" for slots 0-21, 22-39 and 40-65.
  CString GetPreviewPart1() const;
  CString GetPreviewPart2() const;
  CString GetPreviewPart3() const;
  // The contact's card on the folder page: the three parts separated by CR LF, then, when
  // there are attached files, CR LF and the attachment list once more.
  CString GetCardText() const;

 private:
  int PreviewLength(int first, int last) const;
  void AppendPreviewLines(CString& text, int first, int last) const;
  // Writes the lines of slots first..last at out (PreviewLength characters); the end.
  wchar_t* WritePreviewLines(wchar_t* out, int first, int last) const;
  CString PreviewLines(int first, int last) const;

  CString m_strSlots[kSlotCount];
};
