#include "cfile_selector.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

const char* kSelectEndMessage = "file selector ended";

namespace {
std::string& programOverride() {
    static std::string p;
    return p;
}

bool executableOnPath(const std::string& name, std::string& found) {
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos) end = dirs.size();
        std::string candidate = dirs.substr(start, end - start) + "/" + name;
        if (access(candidate.c_str(), X_OK) == 0) {
            found = candidate;
            return true;
        }
        start = end + 1;
    }
    return false;
}

// "fxp" becomes "*.[fF][xX][pP]": both dialogs match glob patterns by case.
std::string anyCasePattern(const std::string& extension) {
    std::string pattern = "*.";
    for (char c : extension) {
        const auto u = static_cast<unsigned char>(c);
        if (std::isalpha(u))
            pattern += std::string("[") + static_cast<char>(std::tolower(u)) +
                       static_cast<char>(std::toupper(u)) + "]";
        else
            pattern += c;
    }
    return pattern;
}
} // namespace

CFileSelector::CFileSelector(Style style) : style(style) {}

CFileSelector::~CFileSelector() {
    IdleClients::remove(this);
    if (child > 0) {
        kill(child, SIGTERM);
        waitpid(child, nullptr, 0);
    }
    if (outputFd >= 0) ::close(outputFd);
}

void CFileSelector::setProgramOverride(std::string path) {
    programOverride() = std::move(path);
}

void CFileSelector::addFileExtension(std::string description, std::string extension) {
    filters.emplace_back(std::move(description), std::move(extension));
}

const char* CFileSelector::getSelectedFile(int32_t index) const {
    return index >= 0 && index < getNumSelectedFiles() ? selected[index].c_str() : nullptr;
}

std::vector<std::string> CFileSelector::commandLine(const std::string& program) const {
    std::string dir = initialDirectory;
    if (!dir.empty() && dir.back() != '/') dir += '/';
    std::string start = dir + (style == kSelectSaveFile ? defaultSaveName : "");
    std::vector<std::string> args{program};
    bool kde = program.size() >= 7 && program.compare(program.size() - 7, 7, "kdialog") == 0;
    const std::string parent = parentWindow ? std::to_string(parentWindow) : std::string();
    if (kde) {
        if (!parent.empty()) args.insert(args.end(), {"--attach", parent});
        args.push_back(style == kSelectSaveFile ? "--getsavefilename" : "--getopenfilename");
        args.push_back(start.empty() ? "." : start);
        std::string filter;
        for (auto& [desc, ext] : filters)
            filter += (filter.empty() ? "" : "\n") + desc + " (" + anyCasePattern(ext) + ")";
        if (!filter.empty()) args.push_back(filter);
        if (!title.empty()) args.insert(args.end(), {"--title", title});
    } else {
        args.push_back("--file-selection");
        if (!parent.empty()) args.push_back("--attach=" + parent);
        if (style == kSelectSaveFile) args.insert(args.end(), {"--save", "--confirm-overwrite"});
        if (!title.empty()) args.push_back("--title=" + title);
        if (!start.empty()) args.push_back("--filename=" + start);
        for (auto& [desc, ext] : filters)
            args.push_back("--file-filter=" + desc + " | " + anyCasePattern(ext));
    }
    return args;
}

bool CFileSelector::run(CBaseObject* d) {
    if (child > 0) return false;
    delegate = d;
    selected.clear();
    output.clear();
    std::string program = programOverride();
    if (program.empty() && !executableOnPath("zenity", program) &&
        !executableOnPath("kdialog", program)) {
        finish(); // the caller tells the user
        return false;
    }
    std::vector<std::string> args = commandLine(program);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        finish();
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    pid_t pid;
    int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(fds[1]);
    if (rc != 0) {
        ::close(fds[0]);
        finish();
        return false;
    }
    fcntl(fds[0], F_SETFL, O_NONBLOCK);
    outputFd = fds[0];
    child = pid;
    remember(); // alive until the dialog has ended
    IdleClients::add(this);
    return true;
}

void CFileSelector::onIdle(IdleClock::time_point) {
    if (child <= 0) return;
    char buffer[1024];
    ssize_t n;
    while ((n = read(outputFd, buffer, sizeof buffer)) > 0) output.append(buffer, n);
    int status = 0;
    if (waitpid(child, &status, WNOHANG) != child) return;
    while ((n = read(outputFd, buffer, sizeof buffer)) > 0) output.append(buffer, n);
    ::close(outputFd);
    outputFd = -1;
    child = -1;
    IdleClients::remove(this);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        while (!output.empty() && (output.back() == '\n' || output.back() == '\r'))
            output.pop_back();
        if (!output.empty()) selected.push_back(output);
    }
    finish();
    forget();
}

void CFileSelector::abandon() {
    if (child <= 0) return;
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    child = -1;
    ::close(outputFd);
    outputFd = -1;
    IdleClients::remove(this);
    delegate = nullptr;
    forget(); // the reference the running dialog held
}

void CFileSelector::finish() {
    if (delegate) delegate->notify(this, kSelectEndMessage);
}
