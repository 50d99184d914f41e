#include "cli/commands.h"

#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include "platform/win32/wide.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>

// The command line arrives as UTF-16 and goes on as UTF-8, so any file name works.
int wmain(int argc, wchar_t** argv) {
    // "-o -" writes a bitmap to standard output: no line-end translation.
    _setmode(_fileno(stdout), _O_BINARY);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        args.push_back(pelmora::win32::Narrow(argv[i]));
    }
    return pelmora::cli::Run(args, std::cout, std::cerr);
}
#else
int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return pelmora::cli::Run(args, std::cout, std::cerr);
}
#endif
