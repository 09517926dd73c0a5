// Disk, text, memory and global-memory files, and the causes of their failures.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "framework.h"

namespace {

// A fresh folder under the temporary directory for each test, removed afterwards.
class FileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WCHAR szTemp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, szTemp);
    m_strDir.Format(L"%sfwcore_%lu_%lu", szTemp, ::GetCurrentProcessId(), ::GetTickCount());
    ASSERT_TRUE(::CreateDirectoryW(m_strDir, nullptr));
  }
  void TearDown() override {
    WIN32_FIND_DATAW fd;
    HANDLE h = ::FindFirstFileW(m_strDir + L"\\*", &fd);
    if (h != INVALID_HANDLE_VALUE) {
      do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ::DeleteFileW(Path(fd.cFileName));
      } while (::FindNextFileW(h, &fd));
      ::FindClose(h);
    }
    ::RemoveDirectoryW(m_strDir);
  }
  CString Path(LPCWSTR lpszName) const { return m_strDir + L"\\" + lpszName; }

  std::string ReadBytes(LPCWSTR lpszName) const {
    CFile f(Path(lpszName), CFile::modeRead | CFile::shareDenyNone);
    std::string bytes(static_cast<size_t>(f.GetLength()), '\0');
    if (!bytes.empty()) f.Read(&bytes[0], static_cast<UINT>(bytes.size()));
    return bytes;
  }
  void WriteBytes(LPCWSTR lpszName, const std::string& bytes) const {
    CFile f(Path(lpszName), CFile::modeCreate | CFile::modeWrite);
    f.Write(bytes.data(), static_cast<UINT>(bytes.size()));
  }

  CString m_strDir;
};

// Runs f, which must throw a CFileException; returns its cause and OS error.
template <class F>
std::pair<int, LONG> FileFailure(F f) {
  try {
    f();
  } catch (CFileException* e) {
    std::pair<int, LONG> result(e->m_cause, e->m_lOsError);
    e->Delete();
    return result;
  }
  return {-1, 0};
}

}  // namespace

TEST_F(FileTest, OpenFailuresReportCauseAndOsError) {
  CFile file;
  CFileException e;
  EXPECT_FALSE(file.Open(Path(L"missing.txt"), CFile::modeRead, &e));
  EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
  EXPECT_EQ(e.m_lOsError, ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(e.m_strFileName, Path(L"missing.txt"));
  EXPECT_EQ(file.m_hFile, CFile::hFileNull);

  EXPECT_FALSE(file.Open(Path(L"nodir\\x.txt"), CFile::modeRead, &e));
  EXPECT_EQ(e.m_cause, CFileException::badPath);

  EXPECT_FALSE(file.Open(L"", CFile::modeRead, &e));
  EXPECT_EQ(e.m_cause, CFileException::badPath);

  // The throwing constructor carries the same information.
  auto failure = FileFailure([&] { CFile f(Path(L"missing.txt"), CFile::modeRead); });
  EXPECT_EQ(failure.first, CFileException::fileNotFound);
  EXPECT_EQ(failure.second, ERROR_FILE_NOT_FOUND);
}

TEST_F(FileTest, SharingModesAreEnforced) {
  const struct {
    UINT nFirst, nSecond;
    bool bSecondOpens;
  } cases[] = {
      {CFile::modeWrite | CFile::shareExclusive, CFile::modeRead | CFile::shareDenyNone, false},
      {CFile::modeRead | CFile::shareDenyWrite, CFile::modeRead | CFile::shareDenyNone, true},
      {CFile::modeRead | CFile::shareDenyWrite, CFile::modeWrite | CFile::shareDenyNone, false},
      {CFile::modeReadWrite | CFile::shareDenyNone, CFile::modeReadWrite | CFile::shareDenyNone,
       true},
  };
  WriteBytes(L"shared.bin", "data");
  for (const auto& c : cases) {
    CFile first(Path(L"shared.bin"), c.nFirst);
    CFile second;
    CFileException e;
    EXPECT_EQ(second.Open(Path(L"shared.bin"), c.nSecond, &e) != FALSE, c.bSecondOpens)
        << std::hex << c.nFirst << " then " << c.nSecond;
    if (!c.bSecondOpens) {
      EXPECT_EQ(e.m_cause, CFileException::sharingViolation);
      EXPECT_EQ(e.m_lOsError, ERROR_SHARING_VIOLATION);
    }
  }
}

TEST_F(FileTest, ReadWriteSeekLengthAndNames) {
  CFile f(Path(L"data.bin"), CFile::modeCreate | CFile::modeReadWrite);
  EXPECT_EQ(f.GetFilePath(), Path(L"data.bin"));
  EXPECT_EQ(f.GetFileName(), L"data.bin");
  EXPECT_EQ(f.GetFileTitle(), L"data");
  f.Write("0123456789", 10);
  EXPECT_EQ(f.GetLength(), 10u);
  EXPECT_EQ(f.GetPosition(), 10u);
  EXPECT_EQ(f.Seek(-4, CFile::end), 6u);
  char buf[8] = {};
  EXPECT_EQ(f.Read(buf, 8), 4u);  // short read at the end
  EXPECT_STREQ(buf, "6789");
  EXPECT_EQ(f.Read(buf, 8), 0u);
  f.SeekToBegin();
  EXPECT_EQ(f.Seek(3, CFile::current), 3u);
  f.SetLength(5);
  EXPECT_EQ(f.GetLength(), 5u);
  EXPECT_EQ(f.SeekToEnd(), 5u);
  auto failure = FileFailure([&] { f.Seek(-100, CFile::begin); });
  EXPECT_EQ(failure.first, CFileException::badSeek);

  CFile* pDup = f.Duplicate();
  pDup->SeekToBegin();
  EXPECT_EQ(f.GetPosition(), 0u);  // a duplicate shares the position
  delete pDup;
  f.Flush();
  f.Close();
  EXPECT_EQ(f.m_hFile, CFile::hFileNull);
  EXPECT_EQ(ReadBytes(L"data.bin"), "01234");

  // modeNoTruncate keeps the content; plain modeCreate empties it.
  {
    CFile keep(Path(L"data.bin"), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite);
    EXPECT_EQ(keep.GetLength(), 5u);
  }
  {
    CFile trunc(Path(L"data.bin"), CFile::modeCreate | CFile::modeWrite);
    EXPECT_EQ(trunc.GetLength(), 0u);
  }
}

TEST_F(FileTest, WritingAReadOnlyHandleFailsWithAccessDenied) {
  WriteBytes(L"ro.bin", "x");
  CFile f(Path(L"ro.bin"), CFile::modeRead);
  auto failure = FileFailure([&] { f.Write("y", 1); });
  EXPECT_EQ(failure.first, CFileException::accessDenied);
  EXPECT_EQ(failure.second, ERROR_ACCESS_DENIED);
}

TEST_F(FileTest, StatusRenameRemove) {
  WriteBytes(L"a.txt", "12345");
  CFileStatus status;
  ASSERT_TRUE(CFile::GetStatus(Path(L"a.txt"), status));
  EXPECT_EQ(status.m_size, 5u);
  EXPECT_STREQ(status.m_szFullName, Path(L"a.txt"));
  EXPECT_EQ(status.m_attribute & CFile::directory, 0);
  EXPECT_LE(CTime::GetCurrentTime().GetTime() - status.m_mtime.GetTime(), 60);
  EXPECT_FALSE(CFile::GetStatus(Path(L"none.txt"), status));

  CFile::Rename(Path(L"a.txt"), Path(L"b.txt"));
  EXPECT_FALSE(CFile::GetStatus(Path(L"a.txt"), status));
  {
    CFile f(Path(L"b.txt"), CFile::modeRead);
    ASSERT_TRUE(f.GetStatus(status));
    EXPECT_EQ(status.m_size, 5u);
  }
  auto failure = FileFailure([&] { CFile::Rename(Path(L"a.txt"), Path(L"c.txt")); });
  EXPECT_EQ(failure.first, CFileException::fileNotFound);

  CFile::Remove(Path(L"b.txt"));
  failure = FileFailure([&] { CFile::Remove(Path(L"b.txt")); });
  EXPECT_EQ(failure.first, CFileException::fileNotFound);
}

// ---------------------------------------------------------------------------------------
TEST_F(FileTest, StdioTextModeWritesCrLfAndAnsi) {
  {
    CStdioFile f(Path(L"lines.txt"), CFile::modeCreate | CFile::modeWrite | CFile::typeText);
    f.WriteString(L"first line\n");
    f.WriteString(L"Gr\u00fc\u00dfe\n");
    f.WriteString(L"no newline");
  }
  EXPECT_EQ(ReadBytes(L"lines.txt"),
            "first line\r\nGr\xfc\xdf"
            "e\r\nno newline");

  CStdioFile f(Path(L"lines.txt"), CFile::modeRead | CFile::typeText);
  CString line;
  EXPECT_TRUE(f.ReadString(line));
  EXPECT_EQ(line, L"first line");
  EXPECT_TRUE(f.ReadString(line));
  EXPECT_EQ(line, L"Gr\u00fc\u00dfe");
  EXPECT_TRUE(f.ReadString(line));
  EXPECT_EQ(line, L"no newline");
  EXPECT_FALSE(f.ReadString(line));
  EXPECT_TRUE(line.IsEmpty());
}

TEST_F(FileTest, StdioReadsMixedLineEndsAndBufferedLines) {
  WriteBytes(L"mixed.txt", "a\r\nb\n\r\nlonger line\rstill\n");
  CStdioFile f(Path(L"mixed.txt"), CFile::modeRead);
  const LPCWSTR expected[] = {L"a", L"b", L"", L"longer line\rstill"};
  CString line;
  for (LPCWSTR e : expected) {
    ASSERT_TRUE(f.ReadString(line));
    EXPECT_EQ(line, e);
  }
  EXPECT_FALSE(f.ReadString(line));

  // The buffer form keeps the newline and splits lines longer than the buffer.
  f.SeekToBegin();
  WCHAR buf[6];
  EXPECT_STREQ(f.ReadString(buf, 6), L"a\n");
  EXPECT_STREQ(f.ReadString(buf, 6), L"b\n");
  EXPECT_STREQ(f.ReadString(buf, 6), L"\n");
  EXPECT_STREQ(f.ReadString(buf, 6), L"longe");
  EXPECT_STREQ(f.ReadString(buf, 6), L"r lin");
  f.Seek(-6, CFile::end);
  EXPECT_STREQ(f.ReadString(buf, 6), L"still");
  EXPECT_STREQ(f.ReadString(buf, 6), L"\n");
  EXPECT_EQ(f.ReadString(buf, 6), nullptr);
}

TEST_F(FileTest, StdioBinaryModeKeepsUtf16) {
  {
    CStdioFile f(Path(L"wide.txt"), CFile::modeCreate | CFile::modeWrite | CFile::typeBinary);
    f.WriteString(L"\u0416x\n");
    EXPECT_EQ(f.GetLength(), 6u);
  }
  EXPECT_EQ(ReadBytes(L"wide.txt"), std::string("\x16\x04x\0\n\0", 6));
  CStdioFile f(Path(L"wide.txt"), CFile::modeRead | CFile::typeBinary);
  CString line;
  EXPECT_TRUE(f.ReadString(line));
  EXPECT_EQ(line, L"\u0416x");
}

TEST_F(FileTest, StdioWrapsAnOpenStream) {
  FILE* pStream = _wfopen(Path(L"stream.txt"), L"w+");
  ASSERT_NE(pStream, nullptr);
  {
    CStdioFile f(pStream);
    EXPECT_NE(f.m_hFile, CFile::hFileNull);
    f.WriteString(L"one\ntwo\n");
    f.SeekToBegin();
    CString line;
    EXPECT_TRUE(f.ReadString(line));
    EXPECT_EQ(line, L"one");
  }  // a wrapped stream stays open
  EXPECT_EQ(fseek(pStream, 0, SEEK_END), 0);
  EXPECT_EQ(ftell(pStream), 10);  // translated once: "one\r\ntwo\r\n"
  fclose(pStream);
  EXPECT_EQ(ReadBytes(L"stream.txt"), "one\r\ntwo\r\n");
}

TEST_F(FileTest, StdioOpenFailuresMatchCFile) {
  CStdioFile f;
  CFileException e;
  EXPECT_FALSE(f.Open(Path(L"missing.txt"), CFile::modeRead | CFile::typeText, &e));
  EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
  EXPECT_EQ(f.m_pStream, nullptr);

  WriteBytes(L"locked.txt", "x");
  CFile holder(Path(L"locked.txt"), CFile::modeReadWrite | CFile::shareExclusive);
  EXPECT_FALSE(f.Open(Path(L"locked.txt"), CFile::modeRead | CFile::shareDenyNone, &e));
  EXPECT_EQ(e.m_cause, CFileException::sharingViolation);
}

// ---------------------------------------------------------------------------------------
namespace {

// Exposes the buffer bookkeeping to check growth steps.
class CInspectableMemFile : public CMemFile {
 public:
  using CMemFile::CMemFile;
  SIZE_T BufferSize() const { return m_nBufferSize; }
};

}  // namespace

TEST(CMemFileTest, GrowsInStepsAndFillsGapsWithZeros) {
  CInspectableMemFile f(16);
  EXPECT_EQ(f.GetLength(), 0u);
  f.Write("abc", 3);
  EXPECT_EQ(f.BufferSize(), 16u);
  f.Write("0123456789ABCDEF", 16);
  EXPECT_EQ(f.BufferSize(), 32u);
  EXPECT_EQ(f.GetLength(), 19u);
  f.Seek(40, CFile::begin);  // past the end
  EXPECT_EQ(f.GetLength(), 19u);
  f.Write("Z", 1);
  EXPECT_EQ(f.GetLength(), 41u);
  EXPECT_EQ(f.BufferSize(), 48u);

  f.SeekToBegin();
  char buf[64] = {};
  EXPECT_EQ(f.Read(buf, sizeof(buf)), 41u);
  EXPECT_EQ(std::string(buf, 19), "abc0123456789ABCDEF");
  EXPECT_EQ(std::string(buf + 19, 21), std::string(21, '\0'));
  EXPECT_EQ(buf[40], 'Z');
  EXPECT_EQ(f.Read(buf, 1), 0u);

  f.SetLength(5);
  EXPECT_EQ(f.GetPosition(), 5u);
  EXPECT_THROW(
      {
        try {
          f.Seek(-6, CFile::current);
        } catch (CFileException* e) {
          EXPECT_EQ(e->m_cause, CFileException::badSeek);
          e->Delete();
          throw 1;
        }
      },
      int);

  ULONGLONG nLength = f.GetLength();
  BYTE* p = f.Detach();
  EXPECT_EQ(nLength, 5u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(p), 5), "abc01");
  EXPECT_EQ(f.GetLength(), 0u);
  free(p);
}

TEST(CMemFileTest, AttachedFixedBufferCannotGrow) {
  BYTE buffer[8] = {'1', '2', '3', '4', '5', '6', '7', '8'};
  CMemFile f(buffer, sizeof(buffer));
  EXPECT_EQ(f.GetLength(), 8u);  // a fixed buffer is a full file
  char c;
  f.Read(&c, 1);
  EXPECT_EQ(c, '1');
  f.Seek(6, CFile::begin);
  f.Write("ab", 2);
  EXPECT_EQ(buffer[7], 'b');
  bool bThrew = false;
  try {
    f.Write("x", 1);
  } catch (CMemoryException* e) {
    bThrew = true;
    e->Delete();
  }
  EXPECT_TRUE(bThrew);
  EXPECT_EQ(f.Detach(), buffer);
}

TEST(CMemFileTest, AttachedGrowableBufferStartsEmpty) {
  BYTE* p = static_cast<BYTE*>(malloc(4));
  CMemFile f;
  f.Attach(p, 4, 8);
  EXPECT_EQ(f.GetLength(), 0u);
  f.Write("123456", 6);  // reallocates the block
  EXPECT_EQ(f.GetLength(), 6u);
  BYTE* pOut = f.Detach();
  EXPECT_EQ(std::string(reinterpret_cast<char*>(pOut), 6), "123456");
  free(pOut);
}

TEST(CSharedFileTest, DetachHandsOverAGlobalHandle) {
  CSharedFile f;
  f.Write("clipboard text", 15);
  HGLOBAL h = f.Detach();
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(f.GetLength(), 0u);
  EXPECT_GE(::GlobalSize(h), 15u);
  EXPECT_EQ(::GlobalFlags(h) & GMEM_LOCKCOUNT, 0u);  // handed over unlocked
  const char* p = static_cast<const char*>(::GlobalLock(h));
  EXPECT_STREQ(p, "clipboard text");
  ::GlobalUnlock(h);

  // The handle read back through another shared file.
  CSharedFile reader;
  reader.SetHandle(h, FALSE);
  EXPECT_EQ(reader.GetLength(), ::GlobalSize(h));
  char buf[15];
  EXPECT_EQ(reader.Read(buf, 15), 15u);
  EXPECT_STREQ(buf, "clipboard text");
  bool bThrew = false;
  try {
    reader.SeekToEnd();
    reader.Write("more", 4);  // growth not allowed
  } catch (CMemoryException* e) {
    bThrew = true;
    e->Delete();
  }
  EXPECT_TRUE(bThrew);
  EXPECT_EQ(reader.Detach(), h);
  ::GlobalFree(h);
}

TEST(CSharedFileTest, GrowsAcrossReallocations) {
  CSharedFile f(GMEM_MOVEABLE, 64);
  std::string expected;
  for (int i = 0; i < 500; i++) {
    char line[32];
    int n = snprintf(line, sizeof(line), "line %d;", i);
    f.Write(line, n);
    expected.append(line, n);
  }
  EXPECT_EQ(f.GetLength(), expected.size());
  HGLOBAL h = f.Detach();
  const char* p = static_cast<const char*>(::GlobalLock(h));
  EXPECT_EQ(std::string(p, expected.size()), expected);
  ::GlobalUnlock(h);
  ::GlobalFree(h);
}
