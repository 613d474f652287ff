// Stands in for the register driver where a test wants to see exactly how it
// was started: writes its argument vector, one argument per line, and its
// current directory into "argv.txt" of its current directory.
#include <unistd.h>

#include <fstream>

int main(int argc, char** argv) {
    std::ofstream out("argv.txt", std::ios::binary);
    for (int i = 0; i < argc; ++i) out << argv[i] << "\n";
    char cwd[4096];
    if (::getcwd(cwd, sizeof cwd)) out << "cwd " << cwd << "\n";
    return 0;
}
