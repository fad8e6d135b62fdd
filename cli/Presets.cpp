// Preset layering.
#include "cli/Presets.h"

#include <map>
#include <string_view>

#include <nlohmann/json.hpp>

#include "cli/ConfigForms.h"
#include "cli/ExitCode.h"
#include "config/FormGrammar.h"

namespace zorvik::cli {

namespace {

std::string Named(const std::string& path) {
    return path == "-" ? std::string("standard input") : path;
}

// The keys a form gives. Called only on a form that has parsed, so its lines are well formed.
std::vector<std::string> KeysGiven(const std::string& text, const std::string& path) {
    std::vector<std::string> keys;
    const auto first = text.find_first_not_of(" \t\r\n");
    if (path.ends_with(".json") || (first != std::string::npos && text[first] == '{')) {
        const nlohmann::json json = nlohmann::json::parse(text, nullptr, false);
        if (json.is_object()) {
            for (const auto& member : json.items()) {
                keys.push_back(member.key());
            }
        }
        return keys;
    }
    FormReader reader(text);
    while (const auto line = reader.Next()) {
        keys.emplace_back(line->key);
    }
    return keys;
}

}  // namespace

Configuration ApplyPresets(const Configuration& start, const std::vector<std::string>& paths,
                           bool laterWins) {
    std::vector<std::string> texts;
    std::map<std::string, std::string> givenBy;  // key -> the first preset that gave it
    for (const std::string& path : paths) {
        if (IsImageFile(path)) {
            throw CliError(Exit::FileError,
                           Named(path) + ": a preset is a text or JSON form, not a .zvk image");
        }
        texts.push_back(LoadTextFile(path));
        (void)ParseForm(texts.back(), path, start);  // a bad setting is named before anything
        for (const std::string& key : KeysGiven(texts.back(), path)) {
            const auto [first, isNew] = givenBy.emplace(key, path);
            if (!isNew && !laterWins) {
                throw CliError(Exit::FileError,
                               "presets " + Named(first->second) + " and " + Named(path) +
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
