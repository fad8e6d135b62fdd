// The indented JSON layout of the command line's listings.
#include "cli/Json.h"

namespace zorvik::cli {

namespace {

template <class Json>
void Append(std::string& out, const Json& value, int level) {
    const std::string inner(static_cast<std::size_t>(level + 1) * 4, ' ');
    const std::string outer(static_cast<std::size_t>(level) * 4, ' ');
    if (value.is_object() || value.is_array()) {
        const bool object = value.is_object();
        out += object ? "{\n" : "[\n";
        std::size_t left = value.size();
        for (auto it = value.begin(); it != value.end(); ++it) {
            out += inner;
            if (object) {
                out += Json(it.key()).dump(-1, ' ', false, Json::error_handler_t::replace);
                out += ": ";
            }
            Append(out, *it, level + 1);
            out += --left > 0 ? ",\n" : "\n";
        }
        out += outer;
        out += object ? "}" : "]";
        return;
    }
    out += value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

template <class Json>
std::string Indented(const Json& value) {
    std::string out;
    Append(out, value, 0);
    return out + "\n";
}

}  // namespace

std::string IndentedJson(const nlohmann::json& value) {
    return Indented(value);
}

std::string IndentedJson(const nlohmann::ordered_json& value) {
    return Indented(value);
}

}  // namespace zorvik::cli
