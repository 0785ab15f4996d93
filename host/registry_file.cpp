#include "registry_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "reg_file.h"

namespace host {

namespace {

long long Nanoseconds(const struct timespec &t)
{
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

std::string Reason()
{
    return std::strerror(errno);
}

std::string Directory(const std::string &path)
{
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Writes all of data, or sets errno and returns false.
bool WriteAll(int fd, std::string_view data)
{
    const char *p = data.data();
    std::size_t left = data.size();
    while (left > 0) {
        ssize_t n = write(fd, p, left);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

// Writes the registry through a buffer of its own; pieces as large as the
// buffer go straight to the file.
bool WriteTo(int fd, const Registry &registry)
{
    constexpr std::size_t kBuffer = 1 << 20;
    std::string buffer;
    buffer.reserve(kBuffer);
    bool ok = true;
    WriteRegFile(registry, [&](std::string_view piece) {
        if (!ok)
            return;
        if (buffer.size() + piece.size() > kBuffer) {
            ok = WriteAll(fd, buffer);
            buffer.clear();
        }
        if (piece.size() >= kBuffer)
            ok = ok && WriteAll(fd, piece);
        else
            buffer += piece;
    });
    return ok && WriteAll(fd, buffer);
}

}  // namespace

RegistryFile::RegistryFile(std::string path) : path_(std::move(path))
{
    openLocked();
    if (fd_ < 0)
        return;  // no file yet: an empty registry

    // The text is mapped, not copied: a large registry is read at the speed
    // of the page cache, and the layout points into it.
    std::string_view text;
    std::shared_ptr<const void> holder;
    if (size_ > 0) {
        void *mapped = mmap(nullptr, static_cast<std::size_t>(size_), PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd_, 0);
        if (mapped == MAP_FAILED)
            throw LoadError(path_ + ": cannot read: " + Reason());
        const auto length = static_cast<std::size_t>(size_);
        holder = std::shared_ptr<const void>(mapped, [length](const void *p) { munmap(const_cast<void *>(p), length); });
        text = std::string_view(static_cast<const char *>(mapped), length);
    }

    try {
        registry_ = ReadRegFile(text, holder);
    } catch (const RegFileError &e) {
        throw LoadError(path_ + ":" + std::to_string(e.line()) + ": " + e.what());
    }
}

RegistryFile::~RegistryFile()
{
    if (fd_ >= 0)
        close(fd_);
}

// Another run may rename a new file over the path while we wait for the lock;
// the lock then belongs to a file that is gone, so open the path again.
void RegistryFile::openLocked()
{
    for (;;) {
        fd_ = open(path_.c_str(), O_RDWR | O_CLOEXEC);
        writable_ = fd_ >= 0;
        if (fd_ < 0 && (errno == EACCES || errno == EROFS))
            fd_ = open(path_.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd_ < 0 && errno == ENOENT)
            return;
        if (fd_ < 0)
            throw LoadError(path_ + ": cannot open: " + Reason());

        struct stat held;
        if (fstat(fd_, &held) != 0)
            throw LoadError(path_ + ": cannot read: " + Reason());
        if (!S_ISREG(held.st_mode))
            throw LoadError(path_ + ": not a regular file");
        while (flock(fd_, LOCK_EX) != 0)
            if (errno != EINTR)
                throw LoadError(path_ + ": cannot lock: " + Reason());

        struct stat now;
        if (fstat(fd_, &held) == 0 && stat(path_.c_str(), &now) == 0 && now.st_dev == held.st_dev &&
            now.st_ino == held.st_ino) {
            device_ = held.st_dev;
            inode_ = held.st_ino;
            size_ = held.st_size;
            modified_ = Nanoseconds(held.st_mtim);
            mode_ = held.st_mode & 07777;
            return;
        }
        close(fd_);
        fd_ = -1;
    }
}

void RegistryFile::save()
{
    const std::string unchanged = "; " + path_ + " is unchanged";
    if (fd_ >= 0) {
        if (!writable_)
            throw SaveError(path_ + ": not saved: the file is read-only" + unchanged);
        struct stat held, now;
        if (fstat(fd_, &held) != 0 || stat(path_.c_str(), &now) != 0 || now.st_dev != device_ ||
            now.st_ino != inode_ || held.st_size != size_ || Nanoseconds(held.st_mtim) != modified_)
            throw SaveError(path_ + ": not saved: another program changed or replaced the file while it was in use");
    }

    std::string temp = path_ + ".XXXXXX";
    int out = mkstemp(&temp[0]);
    if (out < 0)
        throw SaveError(path_ + ": not saved: cannot create a temporary file in " + Directory(path_) + ": " +
                        Reason() + unchanged);

    std::string failed;  // what went wrong, with the reason
    auto check = [&](bool ok, const std::string &what) {
        if (!ok && failed.empty())
            failed = what + ": " + Reason();
    };
    check(fchmod(out, mode_) == 0, "cannot set the permissions of " + temp);
    if (failed.empty())
        check(WriteTo(out, registry_), "cannot write " + temp);
    if (failed.empty())
        check(fsync(out) == 0, "cannot flush " + temp);
    check(close(out) == 0, "cannot close " + temp);
    if (failed.empty())
        check(rename(temp.c_str(), path_.c_str()) == 0, "cannot rename " + temp + " over it");
    if (!failed.empty()) {
        unlink(temp.c_str());
        throw SaveError(path_ + ": not saved: " + failed + unchanged);
    }

    // The rename is durable once the directory is flushed too.
    int dir = open(Directory(path_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
}

}  // namespace host
