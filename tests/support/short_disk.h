#pragma once
// Real short file systems for the tests of saving: the kernel itself refuses the writes.
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <fcntl.h>
#include <string>

#include <QByteArray>
#include <QFile>
#include <QString>

namespace sorvel::testing {

// Within its scope, every write of this process past `bytes` into a file fails with EFBIG
// (RLIMIT_FSIZE, with SIGXFSZ ignored so the write returns its error). Needs no root.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        previous_ = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, old_.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, previous_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit old_{};
    void (*previous_)(int) = SIG_DFL;
};

// A tmpfs of `size` (mount(2) options, "64k") mounted on an existing directory; only root may
// mount it. fill() then takes every block that is left (writes there fail with ENOSPC).
class TinyTmpfs {
public:
    TinyTmpfs(const QString& dir, const char* size) : dir_(QFile::encodeName(dir)) {
        const std::string options = std::string("size=") + size;
        mounted_ = ::geteuid() == 0 && ::mount("tmpfs", dir_.constData(), "tmpfs", 0, options.c_str()) == 0;
    }
    ~TinyTmpfs() {
        if (mounted_) ::umount2(dir_.constData(), MNT_DETACH);
    }
    TinyTmpfs(const TinyTmpfs&) = delete;
    TinyTmpfs& operator=(const TinyTmpfs&) = delete;
    bool mounted() const { return mounted_; }
    // Writes a file "filler" until the file system is full; true when it is.
    bool fill() const {
        const int fd = ::open((dir_ + "/filler").constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        if (fd < 0) return false;
        const std::string block(4096, 'f');
        bool full = false;
        for (int i = 0; i < 100000 && !full; ++i) full = ::write(fd, block.data(), block.size()) < 0 && errno == ENOSPC;
        // The last partial page as well.
        while (full && ::write(fd, "f", 1) == 1) {
        }
        ::close(fd);
        return full;
    }

private:
    QByteArray dir_;
    bool mounted_ = false;
};

}  // namespace sorvel::testing
