// An output file that appears only when complete: it is written under a
// temporary name in the same folder and renamed into place by commit(), so
// a failed render never leaves a partial file behind.
#pragma once

#include <string>

class PendingFile {
public:
    explicit PendingFile(std::string finalPath); // throws RenderError
    ~PendingFile();                              // removes the file unless committed
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    const std::string& path() const { return temporaryPath; } // where to write
    void write(const std::string& bytes);
    void commit();

private:
    std::string finalPath;
    std::string temporaryPath;
    bool committed = false;
};
