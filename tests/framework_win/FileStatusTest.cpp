// File status by path, and file exceptions thrown in the framework library
// and caught here.
#include <gtest/gtest.h>
#include <stdio.h>

#include "FrameworkWinTest.h"

namespace {

std::string FullPath(const std::string& path) {
  char szFull[MAX_PATH];
  GetFullPathNameA(path.c_str(), MAX_PATH, szFull, NULL);
  return szFull;
}

void WriteFile(const std::string& path, const char* text) {
  FILE* f = fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  fputs(text, f);
  fclose(f);
}

TEST(FileStatus, DescribesAFileAndADirectory) {
  TempDir dir;
  const std::string file = dir.Path("five.txt");
  WriteFile(file, "hello");
  CTime before(CTime::GetCurrentTime().GetTime() - 60);

  CFileStatus status;
  ASSERT_TRUE(CFile::GetStatus(file.c_str(), status));
  EXPECT_EQ(status.m_size, 5);
  EXPECT_EQ(status.m_attribute & (CFile::directory | CFile::readOnly), 0);
  EXPECT_STREQ(status.m_szFullName, FullPath(file).c_str());
  EXPECT_GE(status.m_mtime, before);
  EXPECT_NE(status.m_ctime.GetTime(), 0);
  EXPECT_NE(status.m_atime.GetTime(), 0);

  for (const std::string& path : {dir.Root(), dir.Root() + "\\"}) {
    CFileStatus dirStatus;
    ASSERT_TRUE(CFile::GetStatus(path.c_str(), dirStatus)) << path;
    EXPECT_TRUE(dirStatus.m_attribute & CFile::directory) << path;
  }
}

TEST(FileStatus, MissingFilesAndPatternsHaveNoStatus) {
  TempDir dir;
  WriteFile(dir.Path("match.txt"), "x");
  const std::string missing = dir.Path("missing.txt");
  CFileStatus status;
  EXPECT_FALSE(CFile::GetStatus(missing.c_str(), status));
  EXPECT_STREQ(status.m_szFullName, FullPath(missing).c_str());
  EXPECT_FALSE(CFile::GetStatus(dir.Path("*.txt").c_str(), status));
  EXPECT_FALSE(CFile::GetStatus(dir.Path("match.tx?").c_str(), status));
  EXPECT_FALSE(CFile::GetStatus((std::string(MAX_PATH, 'a')).c_str(), status));
}

TEST(FileStatus, SetStatusWritesTimesAndAttributes) {
  TempDir dir;
  const std::string file = dir.Path("dated.txt");
  WriteFile(file, "data");
  CFileStatus status;
  ASSERT_TRUE(CFile::GetStatus(file.c_str(), status));

  const CTime modified(2000, 5, 4, 0, 0, 0);
  status.m_mtime = modified;
  status.m_atime = CTime(2001, 2, 3, 4, 5, 6);
  status.m_attribute |= CFile::readOnly;
  CFile::SetStatus(file.c_str(), status);

  CFileStatus after;
  ASSERT_TRUE(CFile::GetStatus(file.c_str(), after));
  EXPECT_EQ(after.m_mtime, modified);
  EXPECT_EQ(after.m_atime, CTime(2001, 2, 3, 4, 5, 6));
  EXPECT_TRUE(after.m_attribute & CFile::readOnly);

  // Clearing the flag of a read-only file, as a package update does; the
  // times of a read-only file can be changed in the same call.
  after.m_attribute &= ~CFile::readOnly;
  after.m_mtime = CTime(2002, 1, 1, 12, 0, 0);
  CFile::SetStatus(file.c_str(), after);
  ASSERT_TRUE(CFile::GetStatus(file.c_str(), status));
  EXPECT_FALSE(status.m_attribute & CFile::readOnly);
  EXPECT_EQ(status.m_mtime, CTime(2002, 1, 1, 12, 0, 0));
}

TEST(FileStatus, FileTimesAreTheSameInstantInEitherSeason) {
  // Under a time zone with daylight saving time (framework_win_dst_tests)
  // a summer and a winter date are an hour apart from today's offset.
  TempDir dir;
  const std::string file = dir.Path("seasons.txt");
  WriteFile(file, "data");
  for (const CTime& when : {CTime(2000, 5, 4, 0, 0, 0), CTime(1999, 12, 9, 0, 0, 0)}) {
    SCOPED_TRACE(when.GetTime());
    CFileStatus status;
    ASSERT_TRUE(CFile::GetStatus(file.c_str(), status));
    status.m_mtime = when;
    status.m_atime = status.m_ctime = CTime(0);
    CFile::SetStatus(file.c_str(), status);
    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &data));
    ULONGLONG ticks = (static_cast<ULONGLONG>(data.ftLastWriteTime.dwHighDateTime) << 32) |
                      data.ftLastWriteTime.dwLowDateTime;
    EXPECT_EQ(ticks, 116444736000000000ULL + static_cast<ULONGLONG>(when.GetTime()) * 10000000ULL);
    ASSERT_TRUE(CFile::GetStatus(file.c_str(), status));
    EXPECT_EQ(status.m_mtime, when);
  }
}

TEST(FileStatus, SetStatusChangesADirectorysTime) {
  TempDir dir;
  CFileStatus status;
  ASSERT_TRUE(CFile::GetStatus(dir.Root().c_str(), status));
  status.m_mtime = CTime(1999, 12, 9, 0, 0, 0);
  status.m_atime = status.m_ctime = CTime(0);  // leave those alone
  CFile::SetStatus(dir.Root().c_str(), status);
  ASSERT_TRUE(CFile::GetStatus(dir.Root().c_str(), status));
  EXPECT_EQ(status.m_mtime, CTime(1999, 12, 9, 0, 0, 0));
}

TEST(FileStatus, SetStatusOnAMissingFileThrowsAFileException) {
  TempDir dir;
  const std::string missing = dir.Path("missing.txt");
  CFileStatus status = {};
  status.m_mtime = CTime(2000, 1, 1, 0, 0, 0);
  try {
    CFile::SetStatus(missing.c_str(), status);
    ADD_FAILURE() << "no exception";
  } catch (CFileException* e) {
    EXPECT_EQ(e->m_cause, CFileException::fileNotFound);
    EXPECT_EQ(e->m_lOsError, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Text(e->m_strFileName), missing);
    e->Delete();
  }

  // Also as the root class, as code that catches any framework exception.
  try {
    CFile::SetStatus(dir.Path("no\\such\\dir.txt").c_str(), status);
    ADD_FAILURE() << "no exception";
  } catch (CException* e) {
    ASSERT_TRUE(e->IsKindOf(RUNTIME_CLASS(CFileException)));
    EXPECT_EQ(static_cast<CFileException*>(e)->m_cause, CFileException::badPath);
    e->Delete();
  }
}

TEST(FileStatus, SystemErrorsMapToCauses) {
  const struct {
    LONG lOsError;
    int cause;
  } cases[] = {
      {NO_ERROR, CFileException::none},
      {ERROR_FILE_NOT_FOUND, CFileException::fileNotFound},
      {ERROR_PATH_NOT_FOUND, CFileException::badPath},
      {ERROR_ACCESS_DENIED, CFileException::accessDenied},
      {ERROR_SHARING_VIOLATION, CFileException::sharingViolation},
      {ERROR_LOCK_VIOLATION, CFileException::lockViolation},
      {ERROR_DISK_FULL, CFileException::diskFull},
      {ERROR_HANDLE_EOF, CFileException::endOfFile},
      {ERROR_TOO_MANY_OPEN_FILES, CFileException::tooManyOpenFiles},
      {ERROR_DIR_NOT_EMPTY, CFileException::removeCurrentDir},
      {ERROR_NEGATIVE_SEEK, CFileException::badSeek},
      {ERROR_CRC, CFileException::hardIO},
      {ERROR_BAD_EXE_FORMAT, CFileException::invalidFile},
      {ERROR_NO_SPOOL_SPACE, CFileException::directoryFull},
      {12345, CFileException::generic},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CFileException::OsErrorToException(c.lOsError), c.cause) << c.lOsError;
  }
}

TEST(FileStatus, ThrowOsErrorWithoutACodeStillThrows) {
  try {
    CFileException::ThrowOsError(0, "x");
    ADD_FAILURE() << "no exception";
  } catch (CFileException* e) {
    EXPECT_EQ(e->m_cause, CFileException::generic);
    e->Delete();
  }
}

}  // namespace
