// The Notes class library of this installation (lcppn30i.dll): sessions, databases on disk
// or on Domino servers, views and folders, documents, items, rich text, attachments and
// LMBCS strings. Link the import library (CMake target lcppn30i); at run time the DLL is
// found in the Notes program directory, which the launcher puts on PATH.
//
// Errors: every call that can fail returns an LNSTATUS (0 = success). After
// LNSetThrowAllErrorsGlobal(TRUE) every error status is thrown instead, as a C++
// exception of type LNSTATUS; warnings (0xD000xxxx, such as LNWARN_MORE_TEXT) are always
// returned. Calls that return something else (a count, a name, a flag) give an empty or
// zero value on an error that is not thrown.
//
// Text crosses this interface in LMBCS, the Notes character set; LNStringTranslate
// converts between LMBCS and Unicode (UTF-16, character set LNCHARSET_UNICODE = 0).
//
// Threads: LNNotesSession::Init starts Notes for the process and for the calling thread;
// every other thread that calls the library brackets its work with InitThread and
// TermThread (on a session object of its own). Objects are handles: a copy refers to the
// same database, view, document or item.
#pragma once

#include <cstdint>

#if defined(_WIN32)
#if defined(LNAPI_BUILD)
#define LNEXPORT __declspec(dllexport)
#else
#define LNEXPORT __declspec(dllimport)
#endif
#else
#define LNEXPORT
#endif

typedef std::uint32_t LNSTATUS;
typedef std::int32_t LNINT;
typedef std::uint32_t LNULONG;
typedef int LNBOOL;
typedef LNINT LNCHARSET;
typedef std::uint16_t LNITEMTYPE;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

const LNSTATUS LNNOERROR = 0;
// A piece of rich text was returned and more follows (LNRichText::GetText).
const LNSTATUS LNWARN_MORE_TEXT = 0xD000014F;
// LNStringTranslate: the result did not fit the buffer and was cut at a character boundary.
const LNSTATUS LNWARN_TRUNCATED = 0xD0000150;
// Some error statuses worth telling apart; LNGetErrorMessageText gives the text of any.
const LNSTATUS LNERR_FILE_NOT_FOUND = 0x0103;
const LNSTATUS LNERR_NOT_A_DATABASE = 0x0105;
const LNSTATUS LNERR_UNSUPPORTED_FORMAT = 0x0106;
const LNSTATUS LNERR_DATABASE_CORRUPT = 0x0107;
const LNSTATUS LNERR_NOTE_NOT_FOUND = 0x0108;
const LNSTATUS LNERR_ITEM_NOT_FOUND = 0x010A;
const LNSTATUS LNERR_ITEM_TYPE = 0x010B;
const LNSTATUS LNERR_NOT_A_DOCUMENT = 0x010C;
const LNSTATUS LNERR_VIEW_NOT_FOUND = 0x010D;
const LNSTATUS LNERR_SERVER_NOT_FOUND = 0x0111;
const LNSTATUS LNERR_SERVER_NOT_RESPONDING = 0x0112;
const LNSTATUS LNERR_NO_ACCESS = 0x0113;
const LNSTATUS LNERR_NETWORK_DOWN = 0x0114;
const LNSTATUS LNERR_NO_NOTES_INI = 0x0115;
const LNSTATUS LNERR_NO_DATA_DIRECTORY = 0x0116;
const LNSTATUS LNERR_NOT_INITIALIZED = 0x0117;
const LNSTATUS LNERR_THREAD_NOT_INITIALIZED = 0x0118;

const LNCHARSET LNCHARSET_UNICODE = 0;

const LNITEMTYPE LNITEMTYPE_RICHTEXT = 0x0001;
const LNITEMTYPE LNITEMTYPE_OBJECT = 0x0003;
const LNITEMTYPE LNITEMTYPE_NUMBERS = 0x0301;
const LNITEMTYPE LNITEMTYPE_DATETIMES = 0x0401;
const LNITEMTYPE LNITEMTYPE_TEXT = 0x0501;
const LNITEMTYPE LNITEMTYPE_FORMULA = 0x0600;
const LNITEMTYPE LNITEMTYPE_OTHER = 0x0700;

// LNNotesSession::GetDatabases: what to list.
const LNINT LNDBSEARCH_DATABASES = 0x1;   // .nsf files
const LNINT LNDBSEARCH_TEMPLATES = 0x2;   // .ntf files
const LNINT LNDBSEARCH_SUBFOLDERS = 0x4;  // descend into folders

// The longest text, in LMBCS bytes, that LNRichText::GetText returns in one piece.
const LNINT LNMAXTEXTPIECE = 32000;

class LNDatabase;
class LNDatabaseArray;
class LNText;
class LNViewFolder;
struct LNObjectData;

// An LMBCS string: a counted byte string, always followed by a 0 byte.
class LNEXPORT LNString {
 public:
  LNString();
  LNString(const char* lmbcs);
  LNString(const char* lmbcs, LNINT byteCount);
  LNString(const LNString& other);
  LNString& operator=(const LNString& other);
  LNString& operator=(const char* lmbcs);
  ~LNString();

  const char* GetBuf() const;        // never null
  LNINT GetBufLength() const;        // bytes, without the final 0
  LNINT GetCharacterCount() const;   // LMBCS characters
  LNBOOL IsNull() const;             // empty
  operator const char*() const { return GetBuf(); }

  LNString& operator+=(const LNString& other);
  bool operator==(const LNString& other) const;
  bool operator!=(const LNString& other) const { return !(*this == other); }

 private:
  void Assign(const char* lmbcs, LNINT byteCount);
  void Free();
  // Short strings (most item values) live inside the object.
  enum { kInline = 31 };
  char* m_buf;
  LNINT m_len;
  char m_inline[kInline + 1];
};

// Throw-all-errors mode for every later call of every thread.
LNEXPORT void LNSetThrowAllErrorsGlobal(LNBOOL on);
LNEXPORT LNBOOL LNGetThrowAllErrorsGlobal();
// The message text of a status, in the ANSI code page (plain ASCII), cut to fit bufferSize
// bytes with its terminating 0. Returns the length written. flags: reserved, pass 0.
LNEXPORT LNINT LNGetErrorMessageText(LNSTATUS status, char* buffer, LNINT bufferSize, LNINT flags);

// LMBCS -> charset: writes at most capacity bytes of the converted text into buffer and a
// terminating 0 (two bytes for Unicode) when there is room; *length receives the bytes
// written without the terminator. Text that does not fit is cut at a character boundary
// and LNWARN_TRUNCATED is returned.
LNEXPORT LNSTATUS LNStringTranslate(const LNString& text, LNCHARSET charset, LNINT capacity, void* buffer,
                                    LNINT* length);
// charset -> LMBCS: text is 0-terminated in that character set (UTF-16 for Unicode);
// *length (may be null) receives the LMBCS byte count.
LNEXPORT LNSTATUS LNStringTranslate(const void* text, LNCHARSET charset, LNString* result, LNINT* length);

// Base of the objects that refer to shared library state.
class LNEXPORT LNNotesClass {
 public:
  LNNotesClass();
  LNNotesClass(const LNNotesClass& other);
  LNNotesClass& operator=(const LNNotesClass& other);
  virtual ~LNNotesClass();
  LNBOOL IsNull() const { return m_data == 0; }

 protected:
  LNObjectData* m_data;
  friend struct LNAccess;
};

class LNEXPORT LNTextElement : public LNNotesClass {
 public:
  LNString GetText() const;
  operator LNString() const { return GetText(); }
};

class LNEXPORT LNItem : public LNNotesClass {
 public:
  LNString GetName() const;
  LNITEMTYPE GetType() const;

 protected:
  // What a GetItem into this object accepts (set by the derived classes).
  int m_accepts = 0;
  friend struct LNAccess;
};

// A text item. Number and date/time items are read into it as their text form
// ("42", "01/31/1980 10:15:00 AM").
class LNEXPORT LNText : public LNItem {
 public:
  LNText();
  LNINT GetCount() const;
  LNTextElement operator[](LNINT n) const;
  // All values joined with the separator.
  LNSTATUS GetText(LNString* text, const LNString& separator) const;
};

// A position in a rich-text item.
class LNEXPORT LNRTCursor {
 public:
  LNRTCursor();
  LNRTCursor(const LNRTCursor& other);
  LNRTCursor& operator=(const LNRTCursor& other);
  ~LNRTCursor();
  LNINT GetPosition() const { return m_pos; }

 private:
  const void* m_owner;  // the rich text it belongs to
  LNINT m_pos;          // UTF-16 offset in the plain text
  friend class LNRichText;
};

class LNEXPORT LNRichText : public LNItem {
 public:
  LNRichText();
  LNSTATUS GetCursor(LNRTCursor* cursor) const;     // at the start
  LNSTATUS GetEndCursor(LNRTCursor* cursor) const;  // after the end
  // Plain text (paragraphs separated by CR LF). Each call returns at most LNMAXTEXTPIECE
  // bytes; when more text follows it returns LNWARN_MORE_TEXT and, in the range form, puts
  // the position where the next piece starts into *next (which may be the start cursor).
  LNSTATUS GetText(LNString* text) const;
  LNSTATUS GetText(const LNRTCursor& start, LNString* text) const;
  LNSTATUS GetText(const LNRTCursor& start, const LNRTCursor& end, LNString* text, LNRTCursor* next = 0) const;
  // Writes the item, or the range, to a file; format "RTF" (case ignored) is the only one.
  LNSTATUS Export(const LNString& filename, const LNString& format) const;
  LNSTATUS Export(const LNRTCursor& start, const LNRTCursor& end, const LNString& filename,
                  const LNString& format) const;
};

class LNEXPORT LNAttachment : public LNNotesClass {
 public:
  LNString GetAttachmentName() const;
  LNULONG GetFileSize() const;
  // Writes the file to path (an existing file is replaced).
  LNSTATUS Detach(const LNString& path) const;
};

class LNEXPORT LNAttachmentArray : public LNNotesClass {
 public:
  LNINT GetCount() const;
  LNAttachment operator[](LNINT n) const;
};

class LNEXPORT LNNote : public LNNotesClass {
 public:
  LNSTATUS Close();
  LNBOOL IsOpen() const;
  LNULONG GetNoteID() const;
  LNBOOL HasItem(const LNString& name) const;
  // Into an LNText (text, number and date/time items), an LNRichText (rich text) or an
  // LNItem (any). LNERR_ITEM_NOT_FOUND / LNERR_ITEM_TYPE on failure.
  LNSTATUS GetItem(const LNString& name, LNItem* item) const;
  // LNITEMTYPE_xxx of the first item of that name; LNERR_ITEM_NOT_FOUND when absent.
  LNITEMTYPE GetItemType(const LNString& name) const;
  LNSTATUS GetAttachments(LNAttachmentArray* attachments) const;
  // Brings the object up to date with its open note; status 0x0119 when it is not open.
  LNSTATUS RefreshObjectFromNoteHandle();
};

class LNEXPORT LNDocument : public LNNote {
 public:
  LNSTATUS Open(LNINT options = 0);
  LNString GetForm() const;
};

// One row of a view or folder: a document, or a category or total row.
class LNEXPORT LNVFEntry : public LNNotesClass {
 public:
  LNBOOL IsCategory() const;
  LNBOOL IsDocument() const;
  // LNERR_NOT_A_DOCUMENT for a category or total row, LNERR_NOTE_NOT_FOUND when the
  // document is gone. The document still has to be opened.
  LNSTATUS GetDocument(LNDocument* document) const;
};

class LNEXPORT LNViewFolder : public LNNote {
 public:
  LNSTATUS Open(LNINT options = 0);
  LNBOOL IsFolder() const;
  LNString GetName() const;   // levels separated by '\'
  LNString GetAlias() const;  // the first alias, or empty
  LNINT GetEntryCount() const;  // of the open view: documents and category/total rows
  LNVFEntry operator[](LNINT n) const;
};

class LNEXPORT LNViewFolderArray : public LNNotesClass {
 public:
  LNINT GetCount() const;
  LNViewFolder operator[](LNINT n) const;
};

class LNEXPORT LNDatabase : public LNNotesClass {
 public:
  LNSTATUS Open(LNINT options = 0);
  LNSTATUS Close();
  LNBOOL IsOpen() const;
  // Every view and folder, in design order; includeHidden FALSE leaves out the names in
  // parentheses.
  LNSTATUS GetViewFolders(LNViewFolderArray* viewFolders, LNBOOL includeHidden = TRUE) const;
  // Lookups match the name exactly, then without regard to case, then the aliases.
  LNBOOL ViewFolderExists(const LNString& name) const;
  LNSTATUS GetViewFolder(const LNString& name, LNViewFolder* viewFolder) const;
  LNString GetFilename() const;  // the last component of the path
  LNString GetFilepath() const;  // the path as opened; on a server, relative to its data directory
  LNString GetServer() const;
  LNString GetTitle() const;     // of the open database
};

class LNEXPORT LNDatabaseArray : public LNNotesClass {
 public:
  LNINT GetCount() const;
  LNDatabase operator[](LNINT n) const;
};

class LNEXPORT LNNotesSession {
 public:
  LNNotesSession();
  ~LNNotesSession();

  // Starts Notes for the process and the calling thread. argv[1] (or any argument) of the
  // form "=<path>" names the notes.ini to use; otherwise notes.ini is looked for beside
  // this DLL, then in the program directory registered under
  // HKEY_LOCAL_MACHINE\SOFTWARE\Lotus\Notes ("path"). Fails with LNERR_NO_NOTES_INI or
  // LNERR_NO_DATA_DIRECTORY.
  LNSTATUS Init() { return Initialize(300, 0, 0, TRUE, 0); }
  LNSTATUS Init(int argc, char* argv[]) { return Initialize(300, argc, argv, TRUE, 0); }
  LNSTATUS Term(LNINT options = 0);
  LNSTATUS InitThread();
  LNSTATUS TermThread();
  LNBOOL IsInitialized() const;

  // Sets up a database object for a path (absolute, or relative to the data directory)
  // on disk, or relative to a server's data directory; it is opened with LNDatabase::Open.
  LNSTATUS GetDatabase(const LNString& path, LNDatabase* database, const LNString& server = "") const;
  // The Domino servers this client knows.
  LNSTATUS GetServerNames(LNText* names) const;
  // The databases of a server (empty: the local data directory) under a folder of it
  // (empty: all), flags LNDBSEARCH_xxx (0: databases and subfolders).
  LNSTATUS GetDatabases(LNDatabaseArray* databases, const LNString& server, const LNString& folder,
                        LNINT flags) const;
  LNString GetDataDirectory() const;
  LNString GetProgramDirectory() const;

 private:
  LNSTATUS Initialize(LNINT version, int argc, char** argv, LNBOOL initThread, const char* iniFile);
  LNBOOL m_started;  // this object started the process session
  LNINT m_threadInits;
};
