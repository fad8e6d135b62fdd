// Edit distance between a mistyped word and the words it may have meant.
#include "cli/Suggest.h"

#include <algorithm>
#include <numeric>

namespace zorvik::cli {

namespace {

// Insertions, deletions, substitutions and swaps of two neighbours, each counting one.
std::size_t EditDistance(std::string_view a, std::string_view b) {
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i) {
        d[i][0] = i;
    }
    std::iota(d[0].begin(), d[0].end(), std::size_t{0});
    for (std::size_t i = 1; i <= a.size(); ++i) {
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
            }
        }
    }
    return d[a.size()][b.size()];
}

}  // namespace

std::optional<std::string> Nearest(std::string_view given,
                                   const std::vector<std::string>& candidates) {
    const std::size_t allowed = std::max<std::size_t>(1, given.size() / 3);
    std::optional<std::string> best;
    std::size_t bestDistance = allowed + 1;
    for (const std::string& candidate : candidates) {
        const std::size_t distance = EditDistance(given, candidate);
        if (distance < bestDistance) {
            best = candidate;
            bestDistance = distance;
        }
    }
    return best;
}

std::string DidYouMean(std::string_view given, const std::vector<std::string>& candidates) {
    const auto nearest = Nearest(given, candidates);
    return nearest ? "; did you mean '" + *nearest + "'?" : std::string();
}

}  // namespace zorvik::cli
