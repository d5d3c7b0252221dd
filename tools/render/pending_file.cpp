#include "pending_file.h"

#include "render_error.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

PendingFile::PendingFile(std::string finalPath) : finalPath(std::move(finalPath)) {
    std::vector<char> name(this->finalPath.begin(), this->finalPath.end());
    const char suffix[] = ".partial-XXXXXX";
    name.insert(name.end(), suffix, suffix + sizeof suffix);
    const int fd = mkstemp(name.data());
    if (fd < 0) throw RenderError("cannot write " + this->finalPath + ": " + std::strerror(errno));
    // mkstemp makes the file private; an output file gets the usual rights.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    close(fd);
    temporaryPath = name.data();
}

PendingFile::~PendingFile() {
    if (!committed) unlink(temporaryPath.c_str());
}

void PendingFile::write(const std::string& bytes) {
    FILE* out = std::fopen(temporaryPath.c_str(), "wb");
    const bool written = out && std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    const bool closed = out && std::fclose(out) == 0;
    if (!written || !closed) throw RenderError("cannot write " + finalPath);
}

void PendingFile::commit() {
    if (std::rename(temporaryPath.c_str(), finalPath.c_str()) != 0)
        throw RenderError("cannot write " + finalPath + ": " + std::strerror(errno));
    committed = true;
}
