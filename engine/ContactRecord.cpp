#include "ContactRecord.h"

#include <array>

namespace {

struct SlotInfo {
  const char* item;      // one-byte text: the library takes item names as LMBCS
  const wchar_t* label;  // wide, so building a preview converts nothing
};

const SlotInfo kSlots[CContactRecord::kSlotCount] = {
    {"From", L"From : "},
    {"FullNameInput", L"Full Name : "},
    {"NameHelperInput", L"Name Helper : "},
    {"CompanyName", L"Company Name : "},
    {"JobTitle", L"Job Title : "},
    {"AltFullName", L"Alt FullName : "},
    {"FirstName", L"First Name : "},
    {"MiddleInitial", L"Middle Initial : "},
    {"LastName", L"Last Name : "},
    {"Title", L"Title : "},
    {"Suffix", L"Suffix : "},
    {"MailAddress", L"Mail Address : "},
    {"InternetAddress", L"Internet Address : "},
    {"primaryPhoneNumber", L"Primary PhoneNumber : "},
    {"primaryAddress", L"Primary Address : "},
    {"email_1", L"Email 1 : "},
    {"MiscPhone1", L"Misc Phone1 : "},
    {"MiscPhone2", L"Misc Phone2 : "},
    {"MiscPhone3", L"Misc Phone3 : "},
    {"email_5", L"Email 5 : "},
    {"OfficePhoneNumber", L"Office Phone Number : "},
    {"PhoneNumber", L"Phone Number : "},
    {"CellPhoneNumber", L"Cell Phone Number : "},
    {"OfficeFAXPhoneNumber", L"Office FAX Phone Number : "},
    {"PhoneNumber_6", L"Phone Number 6 : "},
    {"PhoneNumber_8", L"Phone Number 8 : "},
    {"HomeFAXPhoneNumber", L"Home FAX Phone Number : "},
    {"PhoneNumber_9", L"Phone Number 9 : "},
    {"PhoneNumber_10", L"Phone Number 10 : "},
    {"SametimeLogin", L"Sametime Login : "},
    {"Department", L"Department : "},
    {"Location", L"Location : "},
    {"Manager", L"Manager : "},
    {"Assistant", L"Assistant : "},
    {"WebSite", L"WebSite : "},
    {"Blogsite", L"Blogsite : "},
    {"Spouse", L"Spouse : "},
    {"Children", L"Children : "},
    {"Birthday", L"Birthday : "},
    {"Anniversary", L"Anniversary : "},
    {"OfficeStreetAddress", L"Office Street Address : "},
    {"OfficeCity", L"Office City : "},
    {"OfficeState", L"Office State : "},
    {"OfficeZIP", L"Office ZIP : "},
    {"OfficeCountry", L"Office Country : "},
    {"StreetAddress", L"Street Address : "},
    {"City", L"City : "},
    {"State", L"State : "},
    {"Zip", L"Zip : "},
    {"country", L"Country : "},
    {"OtherStreetAddress", L"Other StreetAddress : "},
    {"OtherCity", L"Other City : "},
    {"OtherState", L"Other State : "},
    {"OtherZip", L"Other Zip : "},
    {"OtherCountry", L"Other Country : "},
    {"Categories", L"Categories : "},
    {"FullName", L"Full Name : "},
    {"ShortName", L"Short Name : "},
    {"AltFullNameSort", L"Alt FullNameSort : "},
    {"MailDomain", L"Mail Domain : "},
    {"MailSystem", L"MailSystem : "},
    {"Type", L"Type : "},
    {"InternetAddress1", L"Internet Address1 : "},
    {"HomeAddress", L"Home Address : "},
    {"BusinessAddress", L"Business Address : "},
    // Not an item: the attachment list, read from the document's files.
    {nullptr, L"Attachments : "},
};

bool ValidSlot(int slot) { return slot >= 0 && slot < CContactRecord::kSlotCount; }

// Label lengths, counted once: previews are built for every contact listed.
const int* LabelLengths() {
  static const auto lengths = [] {
    std::array<int, CContactRecord::kSlotCount> v{};
    for (int slot = 0; slot < CContactRecord::kSlotCount; ++slot) v[slot] = lstrlenW(kSlots[slot].label);
    return v;
  }();
  return lengths.data();
}

}  // namespace

const char* CContactRecord::ItemName(int slot) { return ValidSlot(slot) ? kSlots[slot].item : nullptr; }

const char* CContactRecord::ColumnName(int slot) {
  if (slot == kAttachmentSlot) return "Attachment";
  return ItemName(slot);
}

const wchar_t* CContactRecord::PreviewLabel(int slot) { return ValidSlot(slot) ? kSlots[slot].label : nullptr; }

int CContactRecord::PreviewLength(int first, int last) const {
  const int* labels = LabelLengths();
  int length = 0;
  for (int slot = first; slot <= last; ++slot) length += labels[slot] + m_strSlots[slot].GetLength() + 2;
  return length;
}

namespace {
// Label and value texts are a few characters each: copied here character by character
// rather than by a library call each (three per slot, about 200 per preview), which costs
// more than the copy itself. The compiler is told not to turn the loop into such a call.
__attribute__((optimize("no-tree-loop-distribute-patterns"))) wchar_t* CopyChars(wchar_t* out, const wchar_t* in,
                                                                                   int length) {
  for (int i = 0; i < length; ++i) out[i] = in[i];
  return out + length;
}
}  // namespace

wchar_t* CContactRecord::WritePreviewLines(wchar_t* out, int first, int last) const {
  const int* labels = LabelLengths();
  for (int slot = first; slot <= last; ++slot) {
    out = CopyChars(out, kSlots[slot].label, labels[slot]);
    out = CopyChars(out, m_strSlots[slot].GetString(), m_strSlots[slot].GetLength());
    *out++ = L'\r';
    *out++ = L'\n';
  }
  return out;
}

void CContactRecord::AppendPreviewLines(CString& text, int first, int last) const {
  const int start = text.GetLength();
  const int length = PreviewLength(first, last);
  wchar_t* out = text.GetBufferSetLength(start + length);
  WritePreviewLines(out + start, first, last);
  text.ReleaseBuffer(start + length);
}

CString CContactRecord::PreviewLines(int first, int last) const {
  // Previews are built for every contact listed or saved: one allocation each.
  CString text;
  AppendPreviewLines(text, first, last);
  return text;
}

CString CContactRecord::GetCardText() const {
  const CString& strAttachments = m_strSlots[kAttachmentSlot];
  CString text;
  text.Preallocate(PreviewLength(0, kSlotCount - 1) + 4 + (strAttachments.IsEmpty() ? 0 : 2 + strAttachments.GetLength()));
  AppendPreviewLines(text, 0, 21);
  text += L"\r\n";
  AppendPreviewLines(text, 22, 39);
  text += L"\r\n";
  AppendPreviewLines(text, 40, 65);
  if (!strAttachments.IsEmpty()) {
    text += L"\r\n";
    text += strAttachments;
  }
  return text;
}

CString CContactRecord::GetPreviewPart1() const { return PreviewLines(0, 21); }
CString CContactRecord::GetPreviewPart2() const { return PreviewLines(22, 39); }
CString CContactRecord::GetPreviewPart3() const { return PreviewLines(40, 65); }
