// The tokenizer against a plain model of its rules, one character at a time. Input: the
// delimiters and the quotes, each ended by a backslash and one other character
// (FuzzedDataProvider's strings), then the source; the last two bytes are the flags, the very
// last being ReturnDelimiters and the one before KeepQuotes (odd: on). The source is also split
// as the program splits its compact records, XML tags and addresses.

#include "FuzzCheck.h"
#include "qzStringTokenizer.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

// A quote opens a stretch that only the same quote closes; another quote inside it is
// dropped; delimiters inside it are text; a quote character is never a delimiter.
std::vector<std::string> Model(std::string_view source, std::string_view delimiters,
                               std::string_view quotes, bool returnDelimiters, bool keepQuotes) {
    std::vector<std::string> tokens;
    std::string token;
    char open = 0;
    bool quoted = false;
    for (const char c : source) {
        if (quotes.find(c) != std::string_view::npos) {
            if (!quoted || c == open) {
                quoted = !quoted;
                open = c;
                if (keepQuotes)
                    token += c;
            }
        } else if (!quoted && delimiters.find(c) != std::string_view::npos) {
            if (!token.empty())
                tokens.push_back(token);
            token.clear();
            if (returnDelimiters)
                tokens.emplace_back(1, c);
        } else {
            token += c;
        }
    }
    if (!token.empty())
        tokens.push_back(token);
    return tokens;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const bool returnDelimiters = input.ConsumeBool();
    const bool keepQuotes = input.ConsumeBool();
    const std::string delimiters = input.ConsumeRandomLengthString(16);
    const std::string quotes = input.ConsumeRandomLengthString(8);
    const std::string source = input.ConsumeRemainingBytesAsString();

    const TStringTokenizer tokens(source, delimiters, quotes, returnDelimiters, keepQuotes);
    Require(tokens.Tokens() == Model(source, delimiters, quotes, returnDelimiters, keepQuotes),
            "the tokens follow the rules");
    Require(tokens.Token(-1).empty() && tokens.Token(tokens.Count()).empty(),
            "outside the tokens the text is empty");

    const TStringTokenizer usual(source, delimiters);
    Require(usual.Tokens() == Model(source, delimiters, "\"'", false, true),
            "the short form quotes with both quote characters and keeps them");

    // The forms the program splits with: a compact record, an XML tag, an address.
    struct TForm {
        std::string_view Delimiters;
        std::string_view Quotes;
        bool KeepQuotes;
    };
    static constexpr TForm kForms[] = {
        {" ,{}", "\"", false}, {" \r\n\t=<>/", "\"", true}, {"@:", "\"'", true}};
    for (const TForm& form : kForms) {
        const TStringTokenizer split(source, form.Delimiters, form.Quotes, false, form.KeepQuotes);
        Require(split.Tokens() ==
                    Model(source, form.Delimiters, form.Quotes, false, form.KeepQuotes),
                "the program's forms follow the rules");
    }
    return 0;
}
