// A stand-in for the register driver in end-to-end tests of the interface
// program. It reads the command file like the driver, copies a prepared file
// for every NEWFILE whose name lies in $STANDIN_DATA, notes its call in
// standin_calls.txt of its current directory (command file and PELKO_CLOCK),
// and leaves the end file $STANDIN_END ("000" by default, "none" for none).
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

int main(int argc, char** argv) {
    std::string commandFile = argc > 1 ? argv[1] : "";
    const char* clock = std::getenv("PELKO_CLOCK");
    std::ofstream("standin_calls.txt", std::ios::app)
        << commandFile << " " << (clock ? clock : "-") << "\n";
    std::ifstream in(commandFile, std::ios::binary);
    std::string line, process;
    const char* data = std::getenv("STANDIN_DATA");
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind("PROCESS=", 0) == 0) process = line.substr(8);
        if (line.rfind("NEWFILE=", 0) == 0 && data) {
            std::filesystem::path target = line.substr(8);
            std::filesystem::path source = std::filesystem::path(data) / target.filename();
            std::error_code ec;
            if (std::filesystem::exists(source))
                std::filesystem::copy_file(source, target,
                                           std::filesystem::copy_options::overwrite_existing, ec);
        }
    }
    const char* end = std::getenv("STANDIN_END");
    std::string code = end ? end : "000";
    if (code != "none" && !process.empty())
        std::ofstream(process + ".END", std::ios::binary) << code;
    return 0;
}
