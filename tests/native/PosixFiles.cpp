#include "PosixFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace hourmark::native {

namespace {

bool WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

std::string PosixFiles::Map(const std::string& path) const {
    std::string p = path;
    const std::string program = "C:\\HourMark";
    if (p.rfind(program, 0) == 0) {
        p = root_ + p.substr(program.size());
    }
    for (char& c : p) {
        if (c == '\\') {
            c = '/';
        }
    }
    return p;
}

std::optional<std::string> PosixFiles::ReadText(const std::string& path, std::size_t maxBytes) {
    const int fd = ::open(Map(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    std::string out;
    char buf[8192];
    while (out.size() < maxBytes) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        out.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    if (out.size() > maxBytes) {
        out.resize(maxBytes);
    }
    return out;
}

bool PosixFiles::AppendText(const std::string& path, const std::string& text) {
    const int fd = ::open(Map(path).c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd < 0) {
        return false;
    }
    struct stat before {};
    const bool sized = ::fstat(fd, &before) == 0;
    const bool ok = WriteAll(fd, text);
    if (!ok && sized) {
        // A full disk may take part of the text: cut it off again, so that the file never ends
        // in half a line that the next append would run on from.
        (void)::ftruncate(fd, before.st_size);
    }
    return ::close(fd) == 0 && ok;
}

bool PosixFiles::ReplaceText(const std::string& path, const std::string& text) {
    const std::string target = Map(path);
    const std::string temp = target + ".new";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return false;
    }
    bool ok = WriteAll(fd, text) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (!ok || ::rename(temp.c_str(), target.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

bool PosixFiles::CopyFile(const std::string& from, const std::string& to) {
    auto text = ReadText(from, static_cast<std::size_t>(-1));
    return text && ReplaceText(to, *text);
}

bool PosixFiles::Exists(const std::string& path) {
    struct stat st {};
    return ::stat(Map(path).c_str(), &st) == 0;
}

bool PosixFiles::IsDirectory(const std::string& path) {
    struct stat st {};
    return ::stat(Map(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::optional<DirectoryListing> PosixFiles::ListDirectory(const std::string& path) {
    DIR* d = ::opendir(Map(path).c_str());
    if (d == nullptr) {
        return std::nullopt;
    }
    DirectoryListing out;
    while (dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        (e->d_type == DT_DIR ? out.directories : out.files).push_back(name);
    }
    ::closedir(d);
    return out;
}

std::string PosixFiles::UpperCase(const std::string& text) {
    std::string out = text;
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

}  // namespace hourmark::native
