// SPDX-License-Identifier: GPL-3.0-or-later
#include "catalogue.h"

#include <libintl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <vector>

namespace bivano::cli {
namespace {

constexpr char kDomain[] = "bivano";

// The folder the running program is in, or empty.
std::string ProgramFolder() {
    std::array<char, 4096> path{};
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= path.size()) {
        return {};
    }
    const std::string program(path.data(), static_cast<std::size_t>(length));
    const std::size_t slash = program.rfind('/');
    return slash == std::string::npos ? std::string() : program.substr(0, slash);
}

bool IsFolder(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace

void OpenCatalogue() {
    const std::string folder = ProgramFolder();
    if (folder.empty()) {
        return;  // the system's own place, where gettext looks by default
    }
    const std::string beside = folder + "/locale";
    const std::string installed = folder + "/../share/locale";
    ::bindtextdomain(kDomain, (IsFolder(beside) ? beside : installed).c_str());
}

const char* Translate(const char* english) {
    return ::dgettext(kDomain, english);
}

std::string Fill(std::string_view pattern, std::initializer_list<std::string_view> values) {
    const std::vector<std::string_view> by_number(values);
    std::string filled;
    filled.reserve(pattern.size());
    for (std::size_t at = 0; at < pattern.size(); ++at) {
        if (pattern[at] == '%' && at + 1 < pattern.size() && pattern[at + 1] >= '1' &&
            pattern[at + 1] <= '9') {
            const auto number = static_cast<std::size_t>(pattern[at + 1] - '1');
            if (number < by_number.size()) {
                filled.append(by_number[number]);
                ++at;
                continue;
            }
        }
        filled.push_back(pattern[at]);
    }
    return filled;
}

}  // namespace bivano::cli
