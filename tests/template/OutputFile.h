// A scratch file opened with the runtime's low-level calls in binary mode,
// as a host opens the file it hands to the expander; removed at the end.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#if defined(_WIN32)
#include <io.h>
#include <process.h>
#define OF_OPEN _open
#define OF_CLOSE _close
#define OF_WRITE_FLAGS (_O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY)
#define OF_READ_FLAGS (_O_RDONLY | _O_BINARY)
#define OF_MODE (_S_IREAD | _S_IWRITE)
#define OF_PID _getpid()
#define OF_TRUNCATE(fd) (_chsize(fd, 0), _lseek(fd, 0, SEEK_SET))
#else
#include <unistd.h>
#define OF_OPEN ::open
#define OF_CLOSE ::close
#define OF_WRITE_FLAGS (O_WRONLY | O_CREAT | O_TRUNC)
#define OF_READ_FLAGS (O_RDONLY)
#define OF_MODE 0600
#define OF_PID getpid()
#define OF_TRUNCATE(fd) (void)(ftruncate(fd, 0) == 0 && lseek(fd, 0, SEEK_SET) == 0)
#endif

class OutputFile {
 public:
  OutputFile() {
    static std::atomic<int> counter{0};
    path_ = (std::filesystem::temp_directory_path() /
             ("ldx-template-" + std::to_string(OF_PID) + "-" + std::to_string(counter++) + ".out"))
                .string();
    fd_ = OF_OPEN(path_.c_str(), OF_WRITE_FLAGS, OF_MODE);
  }
  ~OutputFile() {
    Close();
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  int fd() const { return fd_; }
  const std::string& path() const { return path_; }

  // A second handle on the same file that can only read: writes through it fail.
  int OpenReadOnly() const { return OF_OPEN(path_.c_str(), OF_READ_FLAGS, 0); }
  static void CloseHandle(int fd) { OF_CLOSE(fd); }

  // What the file holds now, read by path while it stays open.
  std::string Contents() const {
    std::ifstream in(path_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  // Empties the file for the next use of the same handle.
  void Reset() { OF_TRUNCATE(fd_); }

  void Close() {
    if (fd_ != -1) OF_CLOSE(fd_);
    fd_ = -1;
  }

 private:
  std::string path_;
  int fd_ = -1;
};
