// The chunked coding of portal answers: the decoding stream the handlers read bodies through and
// the tracker that finds where a passing body ends. Both follow one grammar, so they must agree
// on every input, and the tracker on every way the reads cut it.
#include "forwarding/chunked_body_tracker.h"
#include "forwarding/http_chunked_input_stream.h"

#include "fuzz/fuzz_cuts.h"

#include "tessel/exception.h"

#include <cstdlib>
#include <sstream>
#include <string>

namespace {

struct Decoded
{
    bool complete = false;
    std::size_t size = 0;
    std::size_t consumed = 0; // framing and data taken from the source
};

Decoded decode(const std::string& body)
{
    std::istringstream source(body);
    tessel::HTTPChunkedInputStream stream(source);
    Decoded result;
    char block[1000];
    try {
        while (stream.read(block, sizeof block) || stream.gcount() > 0)
            result.size += static_cast<std::size_t>(stream.gcount());
        result.complete = true;
    } catch (const tessel::utils::exception&) {
        result.size += static_cast<std::size_t>(stream.gcount()); // a broken body, after what it gave
    }
    source.clear();
    result.consumed = static_cast<std::size_t>(source.tellg());
    return result;
}

struct Tracked
{
    bool finished = false;
    bool failed = false;
    std::size_t consumed = 0;
    bool operator==(const Tracked& other) const
    {
        return finished == other.finished && failed == other.failed && consumed == other.consumed;
    }
};

Tracked trackWhole(const std::string& body)
{
    tessel::ChunkedBodyTracker tracker;
    const std::size_t consumed = tracker.feed(body.data(), body.size());
    return {tracker.finished(), tracker.failed(), consumed};
}

Tracked trackInPieces(const std::string& body, FuzzCuts cuts)
{
    tessel::ChunkedBodyTracker tracker;
    std::size_t consumed = 0;
    for (std::size_t at = 0; at < body.size() && !tracker.finished() && !tracker.failed();) {
        const std::size_t piece = cuts.next(body.size() - at);
        const std::size_t used = tracker.feed(body.data() + at, piece);
        if (used > piece)
            std::abort();
        consumed += used;
        at += piece;
    }
    return {tracker.finished(), tracker.failed(), consumed};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The first byte chooses where the tracker's reads are cut, the rest is the body.
    if (size == 0)
        return 0;
    const std::string body(reinterpret_cast<const char*>(data) + 1, size - 1);
    const FuzzCuts cuts(data[0]);

    const Decoded decoded = decode(body);
    if (decoded.size > body.size() || decoded.consumed > body.size())
        std::abort();

    const Tracked whole = trackWhole(body);

    if (whole.finished != decoded.complete || (whole.finished && whole.consumed != decoded.consumed))
        std::abort();
    if (!(trackInPieces(body, cuts) == whole))
        std::abort();
    return 0;
}
