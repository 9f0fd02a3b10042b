#include "repository/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <cstring>

#include "repository/data_packet.h"

namespace korvo::repository {
namespace {

[[noreturn]] void refuse(const QString& path, const QString& what) {
  throw DataPacketError(path + QStringLiteral(": ") + what);
}

QString systemError(int code) { return QString::fromLocal8Bit(std::strerror(code)); }

QString kindOf(mode_t mode) {
  if (S_ISDIR(mode)) return QStringLiteral("a folder");
  if (S_ISFIFO(mode)) return QStringLiteral("a named pipe");
  if (S_ISCHR(mode)) return QStringLiteral("a character device");
  if (S_ISBLK(mode)) return QStringLiteral("a block device");
  if (S_ISSOCK(mode)) return QStringLiteral("a socket");
  return QStringLiteral("not a regular file");
}

void checkStatus(const QString& path, const struct stat& status, qint64 maxBytes) {
  if (!S_ISREG(status.st_mode)) {
    refuse(path, QStringLiteral("is %1, not a regular file").arg(kindOf(status.st_mode)));
  }
  if (status.st_size > maxBytes) {
    refuse(path, QStringLiteral("is %1 bytes long, over the limit of %2 bytes")
                     .arg(static_cast<qint64>(status.st_size))
                     .arg(maxBytes));
  }
}

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

QByteArray readRegularFile(const QString& path, qint64 maxBytes) {
  const QByteArray name = QFile::encodeName(path);
  // The kind is known before opening, so a named pipe is never opened.
  struct stat status {};
  if (::stat(name.constData(), &status) != 0) refuse(path, systemError(errno));
  checkStatus(path, status, maxBytes);

  // Non-blocking, in case the name was replaced by a pipe since: the open then
  // returns at once and the second check refuses it.
  const FileDescriptor file(::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (file.get() < 0) refuse(path, systemError(errno));
  if (::fstat(file.get(), &status) != 0) refuse(path, systemError(errno));
  checkStatus(path, status, maxBytes);

  // Read to the end but never past the limit, whatever size was announced.
  QByteArray bytes;
  bytes.reserve(static_cast<qsizetype>(status.st_size));
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(file.get(), buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      refuse(path, systemError(errno));
    }
    if (n == 0) break;
    if (bytes.size() + n > maxBytes) {
      refuse(path,
             QStringLiteral("grows over the limit of %1 bytes while it is read").arg(maxBytes));
    }
    bytes.append(buffer, n);
  }
  return bytes;
}

}  // namespace korvo::repository
