// "Did you mean ...": the nearest of the known words to a mistyped one.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvik::cli {

// The candidate nearest to `given` by edit distance, when it is near enough to be a slip of the
// keyboard rather than another word: at most a third of the word's letters changed.
[[nodiscard]] std::optional<std::string> Nearest(std::string_view given,
                                                 const std::vector<std::string>& candidates);

// "; did you mean 'read'?" for the nearest candidate, or nothing.
[[nodiscard]] std::string DidYouMean(std::string_view given,
                                     const std::vector<std::string>& candidates);

}  // namespace zorvik::cli
