// Contact records, item text, attachment lists, document kinds and the preview texts, read
// from the fixture address books.
#include <map>

#include "ReaderTestSupport.h"

using namespace readertest;

namespace {

// The preview labels, slot by slot, as the folder page shows them.
const char* const kLabels[CContactRecord::kSlotCount] = {
    "From : ", "Full Name : ", "Name Helper : ", "Company Name : ", "Job Title : ", "Alt FullName : ",
    "First Name : ", "Middle Initial : ", "Last Name : ", "Title : ", "Suffix : ", "Mail Address : ",
    "Internet Address : ", "Primary PhoneNumber : ", "Primary Address : ", "Email 1 : ", "Misc Phone1 : ",
    "Misc Phone2 : ", "Misc Phone3 : ", "Email 5 : ", "Office Phone Number : ", "Phone Number : ",
    "Cell Phone Number : ", "Office FAX Phone Number : ", "Phone Number 6 : ", "Phone Number 8 : ",
    "Home FAX Phone Number : ", "Phone Number 9 : ", "Phone Number 10 : ", "Sametime Login : ", "Department : ",
    "Location : ", "Manager : ", "Assistant : ", "WebSite : ", "Blogsite : ", "Spouse : ", "Children : ",
    "Birthday : ", "Anniversary : ", "Office Street Address : ", "Office City : ", "Office State : ",
    "Office ZIP : ", "Office Country : ", "Street Address : ", "City : ", "State : ", "Zip : ", "Country : ",
    "Other StreetAddress : ", "Other City : ", "Other State : ", "Other Zip : ", "Other Country : ",
    "Categories : ", "Full Name : ", "Short Name : ", "Alt FullNameSort : ", "Mail Domain : ", "MailSystem : ",
    "Type : ", "Internet Address1 : ", "Home Address : ", "Business Address : ", "Attachments : "};

// The spreadsheet columns, slot by slot.
const char* const kColumns[CContactRecord::kSlotCount] = {
    "From", "FullNameInput", "NameHelperInput", "CompanyName", "JobTitle", "AltFullName", "FirstName",
    "MiddleInitial", "LastName", "Title", "Suffix", "MailAddress", "InternetAddress", "primaryPhoneNumber",
    "primaryAddress", "email_1", "MiscPhone1", "MiscPhone2", "MiscPhone3", "email_5", "OfficePhoneNumber",
    "PhoneNumber", "CellPhoneNumber", "OfficeFAXPhoneNumber", "PhoneNumber_6", "PhoneNumber_8",
    "HomeFAXPhoneNumber", "PhoneNumber_9", "PhoneNumber_10", "SametimeLogin", "Department", "Location", "Manager",
    "Assistant", "WebSite", "Blogsite", "Spouse", "Children", "Birthday", "Anniversary", "OfficeStreetAddress",
    "OfficeCity", "OfficeState", "OfficeZIP", "OfficeCountry", "StreetAddress", "City", "State", "Zip", "country",
    "OtherStreetAddress", "OtherCity", "OtherState", "OtherZip", "OtherCountry", "Categories", "FullName",
    "ShortName", "AltFullNameSort", "MailDomain", "MailSystem", "Type", "InternetAddress1", "HomeAddress",
    "BusinessAddress", "Attachment"};

const wchar_t kAliceAttachments[] = L"card.vcf Size :42 \r\ncard.vcf Size :31 \r\n";

// Alice Example of names.nsf: every slot that is not empty.
const std::map<int, std::wstring> kAlice = {
    {1, L"Alice Q Example"},
    {3, L"Acme Corp"},
    {4, L"Chief Tester"},
    {6, L"Alice"},
    {7, L"Q"},
    {8, L"Example"},
    {9, L"Dr."},
    {10, L"PhD"},
    {11, L"Alice Example/Acme@Acme"},
    {12, L"alice.example@acme.example"},
    {20, L"+1 617 555 0100"},
    {22, L"+1 617 555 0199"},
    {23, L"+1 617 555 0101"},
    {30, L"Quality"},
    {34, L"https://acme.example/~alice?x=1&y=<2>"},
    {36, L"Bob Example"},
    {37, L"2;3.5"},
    {38, L"01/31/1980"},
    {39, L"01/02/2024 10:15:00 AM"},
    {40, L"1 Main Street  Suite 200"},
    {41, L"Boston"},
    {42, L"MA"},
    {43, L"02110"},
    {44, L"USA"},
    {55, L"Customers;VIP;Boston"},
    {56, L"CN=Alice Q Example/O=Acme;Alice Q Example"},
    {61, L"Person"},
    {65, kAliceAttachments},
};

std::wstring Preview(const CContactRecord& r, int first, int last) {
  std::wstring text;
  for (int slot = first; slot <= last; ++slot) text += W(CString(kLabels[slot])) + W(r[slot]) + L"\r\n";
  return text;
}

TEST(ContactRecord, TablesNameEverySlot) {
  for (int slot = 0; slot < CContactRecord::kSlotCount; ++slot) {
    EXPECT_EQ(std::wstring(CContactRecord::PreviewLabel(slot)), W(CString(kLabels[slot]))) << slot;
    EXPECT_STREQ(CContactRecord::ColumnName(slot), kColumns[slot]) << slot;
  }
  EXPECT_EQ(CContactRecord::ItemName(65), nullptr);
  EXPECT_EQ(CContactRecord::ItemName(66), nullptr);
  EXPECT_EQ(CContactRecord::PreviewLabel(-1), nullptr);
}

TEST(ContactRecord, PreviewPartsHaveOneLabelLinePerSlot) {
  CContactRecord empty;
  const std::wstring part1 = W(empty.GetPreviewPart1());
  EXPECT_EQ(part1.substr(0, 9), L"From : \r\n");
  EXPECT_EQ(part1, Preview(empty, 0, 21));
  EXPECT_EQ(W(empty.GetPreviewPart2()), Preview(empty, 22, 39));
  EXPECT_EQ(W(empty.GetPreviewPart3()), Preview(empty, 40, 65));
  const struct {
    CString text;
    int lines;
  } parts[] = {{empty.GetPreviewPart1(), 22}, {empty.GetPreviewPart2(), 18}, {empty.GetPreviewPart3(), 26}};
  for (const auto& p : parts) {
    int crlf = 0;
    for (int i = p.text.Find(L"\r\n"); i >= 0; i = p.text.Find(L"\r\n", i + 2)) ++crlf;
    EXPECT_EQ(crlf, p.lines);
  }

  CContactRecord r;
  r[0] = L"CN=Carol/O=Acme";
  r[21] = L"555";
  r[22] = L"cell";
  r[65] = L"a.txt Size :3 \r\nb.txt Size :4 \r\n";
  EXPECT_EQ(W(r.GetPreviewPart1()).substr(0, 24), L"From : CN=Carol/O=Acme\r\n");
  EXPECT_TRUE(EndsWith(W(r.GetPreviewPart1()), L"\r\nPhone Number : 555\r\n"));
  EXPECT_EQ(W(r.GetPreviewPart2()).substr(0, 26), L"Cell Phone Number : cell\r\n");
  // The attachment list brings its own line ends, so one more CR LF follows it.
  const std::wstring part3 = W(r.GetPreviewPart3());
  EXPECT_TRUE(EndsWith(part3, L"\r\nAttachments : a.txt Size :3 \r\nb.txt Size :4 \r\n\r\n")) << part3;
}

TEST(ContactRecord, CopiesCarryEveryText) {
  CContactRecord a;
  for (int slot = 0; slot < CContactRecord::kSlotCount; ++slot) a[slot].Format(L"slot %d", slot);
  CContactRecord b = a;
  a[5] = L"changed";
  EXPECT_EQ(W(b[5]), L"slot 5");
  EXPECT_EQ(W(b[65]), L"slot 65");
}

class RecordTest : public ReaderTest {
 protected:
  void SetUp() override {
    ReaderTest::SetUp();
    Open(SharedFixture(L"names.nsf"));
  }
};

TEST_F(RecordTest, AliceFillsExactlyTheSlotsOfHerItems) {
  const CContactRecord r = reader.BuildContactRecord(Document("Friends", 0), nullptr, nullptr, FALSE);
  for (int slot = 0; slot < CContactRecord::kSlotCount; ++slot) {
    const auto it = kAlice.find(slot);
    EXPECT_EQ(W(r[slot]), it == kAlice.end() ? L"" : it->second) << "slot " << slot << " " << kColumns[slot];
  }
  EXPECT_EQ(W(r.GetPreviewPart1()), Preview(r, 0, 21));
  EXPECT_TRUE(EndsWith(W(r.GetPreviewPart3()), std::wstring(L"\r\nAttachments : ") + kAliceAttachments + L"\r\n"));
}

TEST_F(RecordTest, ADocumentWithoutTheItemsGivesEmptySlots) {
  // The memo of ($Inbox) holds From but none of the other 64 items, and no files.
  const CContactRecord memo = reader.BuildContactRecord(Document("($Inbox)", 0), nullptr, nullptr, FALSE);
  EXPECT_EQ(W(memo[0]), L"CN=Carol/O=Acme");
  for (int slot = 1; slot < CContactRecord::kSlotCount; ++slot) EXPECT_EQ(W(memo[slot]), L"") << slot;

  Open(ReaderFixture(L"reader-cases.nsf"));
  const CContactRecord bare = reader.BuildContactRecord(Document("Odd", 1), nullptr, nullptr, FALSE);
  for (int slot = 0; slot < CContactRecord::kSlotCount; ++slot) EXPECT_EQ(W(bare[slot]), L"") << slot;
  EXPECT_EQ(W(bare.GetPreviewPart2()), Preview(bare, 22, 39));
}

TEST_F(RecordTest, ItemsOfOtherTypesGiveTheirTextOrAnEmptySlot) {
  Open(ReaderFixture(L"reader-cases.nsf"));
  const CContactRecord r = reader.BuildContactRecord(Document("Odd", 0), nullptr, nullptr, FALSE);
  const struct {
    int slot;
    const wchar_t* text;
  } cases[] = {
      {3, L""},            // rich text
      {4, L"42"},          // number
      {38, L"01/02/1970"}, // date
      {37, L"1;2"},        // number list
      {30, L""},           // raw item data
      {9, L""},            // formula
      {36, L""},           // empty text
      {6, L"Otto"},
  };
  for (const auto& c : cases) EXPECT_EQ(W(r[c.slot]), c.text) << c.slot;
}

TEST_F(RecordTest, ItemTextJoinsListsAndBlanksLineBreaks) {
  LNDocument alice = Document("Friends", 0);
  EXPECT_EQ(W(CNotesReader::GetItemText(L"Categories", alice)), L"Customers;VIP;Boston");
  EXPECT_EQ(W(CNotesReader::GetItemText(L"Comment", alice)), L"Line one  Line two Tabbed LF only");
  EXPECT_EQ(W(CNotesReader::GetItemText(L"Body", alice)), L"");  // rich text
  EXPECT_EQ(W(CNotesReader::GetItemText(L"NoSuchItem", alice)), L"");
  EXPECT_EQ(W(CNotesReader::GetItemText(L"", alice)), L"");
  LNDocument juergen = Document("Work\\Clients", 0);
  EXPECT_EQ(W(CNotesReader::GetItemText(L"CompanyName", juergen)), L"K\u00f6lner Ger\u00e4te GmbH");
  EXPECT_EQ(W(CNotesReader::GetItemText(L"Comment", juergen)),
            L"\u65e5\u672c\u8a9e \u0420\u0443\u0441\u0441\u043a\u0438\u0439 \U0001F600 \u0100\u4e00");
  // A long value comes back whole.
  EXPECT_EQ(W(CNotesReader::GetItemText(L"Comment", Document("Friends", 1))), std::wstring(5000, L'A'));
}

TEST_F(RecordTest, AttachmentListsNameAndSizeEachFile) {
  CStringArray names, sizes;
  EXPECT_EQ(W(CNotesReader::GetAttachmentList(Document("Friends", 0), &names, &sizes)), kAliceAttachments);
  EXPECT_EQ(Items(names), (std::vector<std::wstring>{L"card.vcf", L"card.vcf"}));
  EXPECT_EQ(Items(sizes), (std::vector<std::wstring>{L" Size :42 ", L" Size :31 "}));

  // ($People) entry 5: names that are no plain file names, an empty and a binary file.
  EXPECT_EQ(W(CNotesReader::GetAttachmentList(Document("($People)", 5), nullptr, nullptr)),
            L"..\\x.txt Size :11 \r\nC:\\evil.txt Size :9 \r\nR\u00e9sum\u00e9 \u65e5\u672c.txt Size :18 \r\n"
            L"empty.bin Size :0 \r\nbytes.bin Size :256 \r\n");
  EXPECT_EQ(W(CNotesReader::GetAttachmentList(Document("Friends", 1), &names, nullptr)), L"");
  EXPECT_EQ(names.GetSize(), 2);
}

TEST_F(RecordTest, FilledArraysHoldTheSixtySixColumnsOnce) {
  CStringArray names, values;
  names.Add(L"left over");
  for (int pass = 0; pass < 2; ++pass) {
    const CContactRecord r = reader.BuildContactRecord(Document("Friends", 0), &names, &values, TRUE);
    ASSERT_EQ(names.GetSize(), 66);
    ASSERT_EQ(values.GetSize(), 66);
    for (int slot = 0; slot < CContactRecord::kSlotCount; ++slot) {
      EXPECT_EQ(W(names[slot]), W(CString(kColumns[slot])));
      EXPECT_EQ(W(values[slot]), W(r[slot]));
    }
  }
}

TEST_F(RecordTest, WithoutFillOrWithOneArrayOnlyTheAttachmentsAreAppended) {
  CStringArray names;
  names.Add(L"kept");
  reader.BuildContactRecord(Document("Friends", 0), &names, nullptr, TRUE);
  EXPECT_EQ(Items(names), (std::vector<std::wstring>{L"kept", L"card.vcf", L"card.vcf"}));
  CStringArray values;
  reader.BuildContactRecord(Document("Friends", 0), nullptr, &values, TRUE);
  EXPECT_EQ(Items(values), (std::vector<std::wstring>{L" Size :42 ", L" Size :31 "}));
  CStringArray n2, v2;
  reader.BuildContactRecord(Document("Friends", 0), &n2, &v2, FALSE);
  EXPECT_EQ(n2.GetSize(), 2);
  EXPECT_EQ(v2.GetSize(), 2);
}

TEST_F(RecordTest, DocumentsAreClassifiedByTheFirstItemTheyHave) {
  const struct {
    const char* folder;
    int index;
    int kind;
  } cases[] = {
      {"($All)", 0, CNotesReader::kKindContact},    // alice
      {"($All)", 9, CNotesReader::kKindContact},    // MiddleInitial and Location
      {"($All)", 11, CNotesReader::kKindLocation},  // appointment
      {"($All)", 12, CNotesReader::kKindDueDate},   // task
      {"($All)", 13, CNotesReader::kKindDiary},     // journal
      {"($All)", 14, CNotesReader::kKindDueDate},   // DueDate and DiaryDate
      {"($All)", 15, CNotesReader::kKindOther},     // memo
      {"($All)", 16, CNotesReader::kKindOther},     // group
  };
  for (const auto& c : cases)
    EXPECT_EQ(CNotesReader::ClassifyDocument(Document(c.folder, c.index)), c.kind) << c.folder << " " << c.index;
}

}  // namespace
