// The support report: what every platform's holds, around this system's own part.
#include "cli/SupportReport.h"

#include <algorithm>
#include <cstdint>
#include <span>
#include <sstream>

#include "files/FileIo.h"

namespace zorvik::cli {

namespace {

constexpr std::uint64_t kLongestTrace = 16 * 1024 * 1024;  // bytes of a trace taken in

std::string ReadTraceFile(const std::string& path) {
    InputFile file(path);
    const std::uint64_t size = std::min(file.Size(), kLongestTrace);
    std::string text(static_cast<std::size_t>(size), '\0');
    file.ReadExactly(std::span(reinterpret_cast<std::uint8_t*>(text.data()), text.size()));
    return text;
}

}  // namespace

std::string SupportReport(const PortMap& map, const std::optional<std::string>& tracePath) {
    // Read first: a trace that cannot be read ends the command before anything is written.
    const std::string trace = tracePath ? ReadTraceFile(*tracePath) : std::string();

    std::ostringstream out;
    out << "zorvik-cli support report\n\n";
    DescribeThisSystem(out, map);
    if (tracePath) {
        out << "\ntrace " << *tracePath << ":\n" << trace;
        if (!trace.empty() && trace.back() != '\n') {
            out << '\n';
        }
    }
    return out.str();
}

}  // namespace zorvik::cli
