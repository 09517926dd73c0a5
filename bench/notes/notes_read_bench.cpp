// Reads an address book the way the engine's listing does and reports records per second:
// open and scan the database, then for each entry of a folder fetch and open the document,
// classify it, read the 65 items of a contact record as text, list its attachments.
//   notes_read_bench <book.nsf> [folder [open|has]]   (run under Wine with the Notes DLL on PATH)
// "open" only fetches and opens the documents, "has" also asks for the items, "get" also
// gets them; they show
// where the time goes.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "lnnotes.h"

namespace {

const char* const kItems[] = {
    "From", "FullNameInput", "NameHelperInput", "CompanyName", "JobTitle", "AltFullName", "FirstName",
    "MiddleInitial", "LastName", "Title", "Suffix", "MailAddress", "InternetAddress", "primaryPhoneNumber",
    "primaryAddress", "email_1", "MiscPhone1", "MiscPhone2", "MiscPhone3", "email_5", "OfficePhoneNumber",
    "PhoneNumber", "CellPhoneNumber", "OfficeFAXPhoneNumber", "PhoneNumber_6", "PhoneNumber_8",
    "HomeFAXPhoneNumber", "PhoneNumber_9", "PhoneNumber_10", "SametimeLogin", "Department", "Location",
    "Manager", "Assistant", "WebSite", "Blogsite", "Spouse", "Children", "Birthday", "Anniversary",
    "OfficeStreetAddress", "OfficeCity", "OfficeState", "OfficeZIP", "OfficeCountry", "StreetAddress", "City",
    "State", "Zip", "country", "OtherStreetAddress", "OtherCity", "OtherState", "OtherZip", "OtherCountry",
    "Categories", "FullName", "ShortName", "AltFullNameSort", "MailDomain", "MailSystem", "Type",
    "InternetAddress1", "HomeAddress", "BusinessAddress"};

std::wstring Wide(const LNString& s) {
  static std::vector<wchar_t> buf(65536);
  if (s.GetBufLength() == 0) return std::wstring();
  LNINT length = 0;
  LNINT capacity = s.GetBufLength() * 2;
  if (capacity > 131072) capacity = 131072;
  if (LNStringTranslate(s, LNCHARSET_UNICODE, capacity, buf.data(), &length) != 0) return std::wstring();
  return std::wstring(buf.data(), static_cast<std::size_t>(length) / 2);
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: notes_read_bench <book.nsf> [folder]\n");
    return 2;
  }
  const char* folderName = argc > 2 ? argv[2] : "Contacts";
  std::string mode = argc > 3 ? argv[3] : "";
  LNSetThrowAllErrorsGlobal(TRUE);
  LNNotesSession session;
  try {
    session.Init();
    auto t0 = std::chrono::steady_clock::now();
    LNDatabase db;
    session.GetDatabase(argv[1], &db, "");
    db.Open();
    LNViewFolderArray views;
    db.GetViewFolders(&views, TRUE);
    long scanned = 0;
    for (LNINT i = 0; i < views.GetCount(); ++i) {
      LNViewFolder vf = views[i];
      vf.Open(0);
      scanned += vf.GetEntryCount();
      Wide(vf.GetName());
      vf.Close();
    }
    double openSeconds = Seconds(t0);

    auto t1 = std::chrono::steady_clock::now();
    LNViewFolder folder;
    db.GetViewFolder(folderName, &folder);
    folder.Open(0);
    LNINT count = folder.GetEntryCount();
    long contacts = 0;
    std::size_t chars = 0;
    for (LNINT i = 0; i < count; ++i) {
      LNDocument doc;
      try {
        folder[i].GetDocument(&doc);
        doc.Open(0);
      } catch (LNSTATUS) {
        continue;
      }
      if (mode == "has" || mode == "get") {
        for (const char* item : kItems) {
          if (!doc.HasItem(item) || mode == "has") continue;
          LNText text;
          doc.GetItem(item, &text);
        }
      }
      if (mode.empty() && doc.HasItem("MiddleInitial")) {
        ++contacts;
        for (const char* item : kItems) {
          if (!doc.HasItem(item)) continue;
          try {
            LNText text;
            doc.GetItem(item, &text);
            LNString joined;
            text.GetText(&joined, ";");
            chars += Wide(joined).size();
          } catch (LNSTATUS) {
          }
        }
        LNAttachmentArray files;
        doc.GetAttachments(&files);
        for (LNINT k = 0; k < files.GetCount(); ++k) chars += Wide(files[k].GetAttachmentName()).size() + files[k].GetFileSize();
      }
      doc.Close();
    }
    folder.Close();
    double readSeconds = Seconds(t1);
    std::printf("open+scan: %.2f s (%ld view entries); read %ld contacts of %d entries in %.2f s: %.0f records/s "
                "(%.0f records/s including open); %zu characters\n",
                openSeconds, scanned, contacts, count, readSeconds, count / readSeconds,
                count / (readSeconds + openSeconds), chars);
    db.Close();
    session.Term(0);
  } catch (LNSTATUS status) {
    char message[512];
    LNGetErrorMessageText(status, message, 512, 0);
    std::fprintf(stderr, "Notes error 0x%04X: %s\n", static_cast<unsigned>(status), message);
    return 1;
  }
  return 0;
}
