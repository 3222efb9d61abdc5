// The real program run through the shell, with what it wrote to its output and error streams.
#pragma once
#include <sys/wait.h>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

inline std::string ReadAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

struct ProgramRun {
    int status = -1;  // exit status; -1 for a signal, 124 for a hang under `timeout`
    std::string out;
    std::string err;
};

// `command` through a pipe: its standard output read whole (redirect inside `command` for more).
inline ProgramRun RunPiped(const std::string& command)
{
    ProgramRun run;
    FILE* p = popen(command.c_str(), "r");
    if (!p) return run;
    char buf[4096];
    std::size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) run.out.append(buf, n);
    int raw = pclose(p);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return run;
}

// `command` with its standard output and error caught in files under `dir`.
inline ProgramRun RunCapturing(const std::string& command, const std::filesystem::path& dir)
{
    std::string out = (dir / "out").string(), err = (dir / "err").string();
    int raw = std::system((command + " >'" + out + "' 2>'" + err + "'").c_str());
    ProgramRun run;
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.out = ReadAll(out);
    run.err = ReadAll(err);
    return run;
}
