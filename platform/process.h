// Starting another program and waiting for it, without a shell.
#pragma once

#include <string>
#include <vector>

namespace plat {

// Looks for `name` beside the running executable, then in `workDir`, then on
// PATH. Empty when it is found nowhere.
std::string findProgram(const std::string& name, const std::string& workDir);

// Runs `program` with argv[0..] = args in `workDir` and waits for it.
// Answers the exit status (128+signal when killed), or -1 when it could not
// be started.
int runAndWait(const std::string& program, const std::vector<std::string>& args,
               const std::string& workDir);

}  // namespace plat
