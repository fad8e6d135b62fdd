// Arbitrary bytes from a network serial server through the telnet / RFC 2217 decoder: whatever
// arrives, in whatever pieces, the data that comes out is the same and no larger than what came
// in, the client's answers stay within what it was told, and data escaped for the wire decodes
// back to itself.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "serial/Telnet.h"
#include "serial/TelnetSession.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace zorvik::telnet;
    if (size == 0) {
        return 0;
    }
    // The first byte chooses where the rest is cut in two, as one TCP read may end anywhere.
    const std::span<const std::uint8_t> input(data + 1, size - 1);
    const std::size_t cut = input.empty() ? 0 : data[0] % (input.size() + 1);

    std::vector<std::uint8_t> whole;
    std::vector<Event> wholeEvents;
    Decoder once;
    once.Feed(input, whole, wholeEvents);

    std::vector<std::uint8_t> pieces;
    std::vector<Event> pieceEvents;
    Decoder twice;
    twice.Feed(input.first(cut), pieces, pieceEvents);
    twice.Feed(input.subspan(cut), pieces, pieceEvents);

    if (pieces != whole || pieceEvents != wholeEvents || whole.size() > input.size()) {
        std::abort();
    }
    for (const Event& event : wholeEvents) {
        if (event.payload.size() >= kMaxSubnegotiation) {
            std::abort();
        }
    }

    // The client's session answers at most one negotiation for each received, so no server can
    // make it say more than it was told, and passes on no more data than the decoder.
    Session session;
    (void)session.Offer();
    (void)session.Settings();
    std::vector<std::uint8_t> passed;
    std::vector<std::uint8_t> answers;
    session.Feed(input.first(cut), passed, answers);
    session.Feed(input.subspan(cut), passed, answers);
    if (answers.size() > input.size() || passed.size() > whole.size()) {
        std::abort();
    }

    // The bytes as data going the other way: escaped, they decode to themselves and nothing else.
    std::vector<std::uint8_t> back;
    std::vector<Event> backEvents;
    Decoder round;
    round.Feed(Escape(input), back, backEvents);
    if (!backEvents.empty() || back.size() != input.size() ||
        !std::equal(back.begin(), back.end(), input.begin())) {
        std::abort();
    }
    return 0;
}
