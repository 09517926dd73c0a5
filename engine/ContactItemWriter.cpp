// Writing one Notes contact document as a contact item of a PST folder (or as a
// spreadsheet row), with its attachments and body.
#include "ContactItemWriter.h"

#include <cstdio>

#include "ContactRecord.h"
#include "LnStrings.h"
#include "NotesReader.h"
#include "RdoWrappers.h"
#include "SpreadsheetWriter.h"

namespace {

const wchar_t kRtfFileName[] = L"ch111.rtf";
const wchar_t kMissingHeader[] = L"No header row. Add header row first";

// One field put: the record slot and the item's property it goes to.
struct FieldPut {
  int slot;
  void (CRdoContactItem::*put)(LPCWSTR);
};

// The record's fields in the order they are put. The full name goes twice: slot 56 comes
// later and wins over slot 1, even when it is empty.
const FieldPut kFieldPuts[] = {
    {1, &CRdoContactItem::SetFullName},           {3, &CRdoContactItem::SetCompanyName},
    {4, &CRdoContactItem::SetJobTitle},           {6, &CRdoContactItem::SetFirstName},
    {7, &CRdoContactItem::SetMiddleInitial},      {8, &CRdoContactItem::SetLastName},
    {9, &CRdoContactItem::SetTitle},              {10, &CRdoContactItem::SetSuffix},
    {11, &CRdoContactItem::SetMailAddress},       {13, &CRdoContactItem::SetPrimaryPhoneNumber},
    {15, &CRdoContactItem::SetEmail1},            {16, &CRdoContactItem::SetMiscPhone1},
    {19, &CRdoContactItem::SetEmail5},            {20, &CRdoContactItem::SetOfficePhoneNumber},
    {22, &CRdoContactItem::SetCellPhoneNumber},   {23, &CRdoContactItem::SetOfficeFaxPhoneNumber},
    {26, &CRdoContactItem::SetHomeFaxPhoneNumber}, {30, &CRdoContactItem::SetDepartment},
    {32, &CRdoContactItem::SetManager},           {33, &CRdoContactItem::SetAssistant},
    {34, &CRdoContactItem::SetWebSite},           {36, &CRdoContactItem::SetSpouse},
    {37, &CRdoContactItem::SetChildren},          {40, &CRdoContactItem::SetOfficeStreetAddress},
    {41, &CRdoContactItem::SetOfficeCity},        {42, &CRdoContactItem::SetOfficeState},
    {43, &CRdoContactItem::SetOfficeZip},         {44, &CRdoContactItem::SetOfficeCountry},
    {50, &CRdoContactItem::SetOtherStreetAddress}, {51, &CRdoContactItem::SetOtherCity},
    {52, &CRdoContactItem::SetOtherState},        {53, &CRdoContactItem::SetOtherZip},
    {54, &CRdoContactItem::SetOtherCountry},      {55, &CRdoContactItem::SetCategories},
    {56, &CRdoContactItem::SetFullName},          {57, &CRdoContactItem::SetShortName},
    {63, &CRdoContactItem::SetHomeAddress},       {64, &CRdoContactItem::SetBusinessAddress},
};

}  // namespace

CString GetExportTempFolder() {
  wchar_t buffer[MAX_PATH + 1] = L"";
  DWORD n = ::GetTempPathW(MAX_PATH, buffer);
  CString strFolder(buffer, (n > 0 && n <= MAX_PATH) ? int(n) : 0);
  if (strFolder.IsEmpty() || strFolder[strFolder.GetLength() - 1] != L'\\') strFolder += L"\\";
  return strFolder;
}

bool IsReportWindow(const CWnd* pWnd) {
  return pWnd && pWnd->m_hWnd != nullptr && pWnd->m_hWnd != reinterpret_cast<HWND>(-1);
}

void CNotesReader::WriteContact(COleDispatchDriver* pItems, LNDocument document, BOOL bBodyIsRtf, CString strRtf,
                                CString strPlain, int nMode, CSpreadsheetWriter* pWriter) {
  if (nMode == 1) {
    CStringArray names, values;
    BuildContactRecord(document, &names, &values, TRUE);
    if (!pWriter) return;
    if (!pWriter->AddRow(values, 0, false) && pWriter->GetLastError() == kMissingHeader) {
      pWriter->AddHeaders(names, false);
      pWriter->AddRow(values, 0, false);
    }
    return;
  }
  if (nMode != 0) return;

  const CString strSubject = GetItemText(L"Subject", document);
  const CString strFrom = GetItemText(L"From", document);
  const CString strSendTo = GetItemText(L"SendTo", document);
  const CContactRecord record = BuildContactRecord(document, nullptr, nullptr, FALSE);

  // A failure anywhere from here abandons this item unsaved; the folder goes on.
  CRdoContactItem item;
  CRdoAttachments attachments;
  RunGuarded([&] {
    CRdoItems items(pItems ? pItems->m_lpDispatch : nullptr, FALSE);
    COleVariant messageClass(L"IPM.Contact");
    item.AttachDispatch(items.Add(messageClass));
    items.DetachDispatch();

    item.SetSubject(strSubject.GetString());
    item.SetSendToText(strSendTo.GetString());
    item.SetFromText1(strFrom.GetString());
    item.SetFromText2(strFrom.GetString());
    if (bBodyIsRtf) {
      item.SetRtfBody(strRtf.GetString());
      CString strBack = item.GetBody();
      if (strBack.IsEmpty() || strPlain.GetLength() > strBack.GetLength()) item.SetBody(strPlain.GetString());
    } else {
      item.SetBody(strPlain.GetString());
    }
    for (const FieldPut& f : kFieldPuts) (item.*f.put)(record[f.slot].GetString());

    CString strBody = record.GetPreviewPart1() + L"\r\n" + record.GetPreviewPart2() + L"\r\n" +
                      record.GetPreviewPart3() + L"\r\n" + item.GetBody();
    item.SetBody(strBody.GetString());
    item.SetBooleanFlag(TRUE);

    attachments.AttachDispatch(item.GetAttachments());
    CopyAttachments(document, attachments);
    CRdoFolder::SaveObject(item);
  });
}

// The attachment file is unique, made by us, and only ever named by us: the attachment's
// own name never becomes part of a path, so names such as "..\x" or "C:\..." cannot
// reach other files. One file serves all attachments of a folder, because creating and
// deleting a file per attachment costs more than the rest of the contact.
const CString& CNotesReader::GetAttachmentFile() {
  if (m_strAttachmentFile.IsEmpty()) {
    wchar_t path[MAX_PATH];
    if (::GetTempFileNameW(GetExportTempFolder().GetString(), L"vat", 0, path) != 0) m_strAttachmentFile = path;
  }
  return m_strAttachmentFile;
}

void CNotesReader::DeleteAttachmentFile() {
  if (m_strAttachmentFile.IsEmpty()) return;
  ::DeleteFileW(m_strAttachmentFile.GetString());
  m_strAttachmentFile.Empty();
}

void CNotesReader::CopyAttachments(LNDocument document, COleDispatchDriver attachments) {
  LNAttachmentArray array;
  if (document.GetAttachments(&array) != LNNOERROR) return;
  CRdoAttachments target(attachments.m_lpDispatch, FALSE);
  const LNINT count = array.GetCount();
  for (LNINT i = 0; i < count && !IsCancelRequested(); ++i) {
    LNAttachment attachment = array[i];
    const CString strName = LNStringToCString(attachment.GetAttachmentName());
    const CString strFile = GetAttachmentFile();
    if (strFile.IsEmpty()) continue;
    // A failed detach or add skips this attachment.
    RunGuarded([&] {
      if (attachment.Detach(CStringToLNString(strFile)) != LNNOERROR) return;
      COleVariant source(strFile), byValue(1L), position(long(i + 1)), displayName(strName);
      COleDispatchDriver added(target.Add(source, byValue, position, displayName), TRUE);
    });
  }
  target.DetachDispatch();
}

BOOL CNotesReader::ExportBody(LNDocument document, BOOL* pbBodyIsRtf, CString* pstrRtf, CString* pstrPlain) {
  const CString strRtfPath = GetExportTempFolder() + kRtfFileName;
  ::DeleteFileW(strRtfPath.GetString());
  *pbBodyIsRtf = FALSE;
  bool bRefreshed = false;
  RunGuarded([&] { bRefreshed = document.RefreshObjectFromNoteHandle() == LNNOERROR; });
  if (!bRefreshed) return 0;

  LNRichText richText;
  bool bHaveRichText = false;
  RunGuarded([&] {
    const LNITEMTYPE type = document.GetItemType("Body");
    if (type == LNITEMTYPE_RICHTEXT) {
      bHaveRichText = document.GetItem("Body", &richText) == LNNOERROR;
    } else if (type == LNITEMTYPE_TEXT) {
      LNText text;
      LNString value;
      if (document.GetItem("Body", &text) == LNNOERROR && text.GetText(&value, ";") == LNNOERROR)
        *pstrPlain = LNStringToCString(value);
    }
  });
  ::DeleteFileW(strRtfPath.GetString());
  if (!bHaveRichText) return 1;

  RunGuarded([&] {
    LNRTCursor start;
    richText.GetCursor(&start);
    LNString first;
    CString strText;
    LNSTATUS status = richText.GetText(start, &first);
    if (status == LNWARN_MORE_TEXT) {
      // Too long for one string: read it in pieces, each starting where the last ended.
      // The loop also ends when a piece does not move the cursor on, or on cancel.
      LNRichText copy = richText;
      LNRTCursor from, end;
      copy.GetCursor(&from);
      copy.GetEndCursor(&end);
      do {
        LNString piece;
        const LNINT before = from.GetPosition();
        status = copy.GetText(from, end, &piece, &from);
        strText += LNStringToCString(piece);
        if (from.GetPosition() <= before || IsCancelRequested()) break;
      } while (status == LNWARN_MORE_TEXT);
    } else {
      strText = LNStringToCString(first);
    }
    if (document.GetItemType("Body") == LNITEMTYPE_RICHTEXT) *pstrPlain = strText;
  });
  if (m_nBodyFormat == kBodyRichText) {
    RunGuarded([&] {
      LNRTCursor start, end;
      richText.GetCursor(&start);
      richText.GetEndCursor(&end);
      if (richText.Export(start, end, CStringToLNString(strRtfPath), "RTF") == LNNOERROR) {
        CString strRtf = ReadTextFile(strRtfPath);
        if (!strRtf.IsEmpty()) {
          *pstrRtf = strRtf;
          *pbBodyIsRtf = TRUE;
        }
      }
    });
  }
  return 1;
}

CString CNotesReader::ReadTextFile(CString strPath) {
  CString strResult;
  FILE* f = _wfopen(strPath.GetString(), L"r+t");
  if (!f) return strResult;
  wchar_t line[4096];
  // Counting pass: lines, where a line longer than the buffer still counts once.
  int nLines = 0;
  while (fgetws(line, int(std::size(line)), f)) {
    size_t n = wcslen(line);
    if (n > 0 && line[n - 1] == L'\n') ++nLines;
    else if (feof(f)) ++nLines;
  }
  const int nBase = nLines + 10;
  rewind(f);
  int k = 0;
  bool bLineStart = true;
  while (fgetws(line, int(std::size(line)), f)) {
    size_t n = wcslen(line);
    const bool bLineEnd = n > 0 && line[n - 1] == L'\n';
    if (bLineStart) {
      ++k;
      if (IsReportWindow(m_pSecondProgress)) ::SendMessageW(m_pSecondProgress->m_hWnd, PBM_SETPOS, 100 * k / nBase, 0);
      if (IsCancelRequested()) break;
    }
    if (bLineEnd) line[--n] = L'\0';
    strResult += line;
    bLineStart = bLineEnd;
  }
  fclose(f);
  return strResult;
}

namespace {
// A plain array: the thread's end must not have to destroy it (see fw_thread_end.h).
constexpr int kGuardedFailureChars = 512;
thread_local wchar_t t_szGuardedFailure[kGuardedFailureChars];
}  // namespace

CString GetGuardedFailure() { return CString(t_szGuardedFailure); }

void ClearGuardedFailure() { t_szGuardedFailure[0] = L'\0'; }

void NoteGuardedFailure(CException* e) {
  wchar_t szText[kGuardedFailureChars] = {};
  try {
    if (e && e->GetErrorMessage(szText, _countof(szText))) {
      CString strText(szText);
      strText.TrimRight();
      // The first failure says why; the ones that follow it are mostly its consequences.
      if (!strText.IsEmpty() && t_szGuardedFailure[0] == L'\0')
        wcsncpy_s(t_szGuardedFailure, strText.GetString(), _TRUNCATE);
    }
  } catch (...) {
  }
}
