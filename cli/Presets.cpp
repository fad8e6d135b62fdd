// Preset layering.
#include "cli/Presets.h"

#include <map>
#include <string_view>

#include "cli/CommandSupport.h"
#include "cli/ConfigForms.h"
#include "cli/ExitCode.h"

namespace zorvik::cli {

Configuration ApplyPresets(const Configuration& start, const std::vector<std::string>& paths,
                           bool laterWins) {
    std::vector<std::string> texts;
    std::map<std::string, std::string> givenBy;  // key -> the first preset that gave it
    for (const std::string& path : paths) {
        if (IsImageFile(path)) {
            throw CliError(Exit::FileError,
                           Shown(path) + ": a preset is a text or JSON form, not a .zvk image");
        }
        // A preset that gives nothing is a mistake, as an empty form to write is.
        texts.push_back(FormText(path));
        (void)ParseForm(texts.back(), path, start);  // a bad setting is named before anything
        for (const std::string& key : GivenKeys(texts.back(), path)) {
            const auto [first, isNew] = givenBy.emplace(key, path);
            if (!isNew && !laterWins) {
                throw CliError(Exit::FileError,
                               "presets " + Shown(first->second) + " and " + Shown(path) +
                                   " both give " + key +
                                   "; keep it in one of them, or let the later win with "
                                   "--preset-override");
            }
        }
    }
    Configuration value = start;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        value = ParseForm(texts[i], paths[i], value);
    }
    return value;
}

}  // namespace zorvik::cli
