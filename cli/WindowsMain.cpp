// Entry of zorvik-cli.exe: the arguments as UTF-8 from the wide command line, UTF-8 on the
// console, and standard streams that pass bytes untranslated.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "files/WideText.h"

int main() {
    ::SetConsoleOutputCP(CP_UTF8);
    ::SetConsoleCP(CP_UTF8);
    // An image written to standard output, or read from standard input, keeps every byte: no
    // line end becomes "\r\n".
    ::_setmode(::_fileno(stdin), _O_BINARY);
    ::_setmode(::_fileno(stdout), _O_BINARY);
    ::_setmode(::_fileno(stderr), _O_BINARY);

    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr) {
        return 1;
    }
    std::vector<std::string> arguments;
    for (int i = 0; i < count; ++i) {
        arguments.push_back(zorvik::Narrow(wide[i]));
    }
    ::LocalFree(wide);
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    return zorvik::cli::Main(count, argv.data());
}
