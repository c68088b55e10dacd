#include "qzStringTokenizer.h"

#include <algorithm>
#include <array>

TStringTokenizer::TStringTokenizer(std::string_view source, std::string_view delimiters)
    : TStringTokenizer(source, delimiters, "\"'", false, true) {}

TStringTokenizer::TStringTokenizer(std::string_view source, std::string_view delimiters,
                                   std::string_view quotes, bool returnDelimiters, bool keepQuotes)
    : Source(source), Quotes(quotes), Delimiters(delimiters), ReturnDelimiters(returnDelimiters),
      KeepQuotes(keepQuotes) {
    Split();
}

const std::string& TStringTokenizer::Token(int index) const {
    static const std::string kEmpty;
    if (index < 0 || index >= Count())
        return kEmpty;
    return Tokens_[static_cast<size_t>(index)];
}

void TStringTokenizer::Split() {
    enum Kind : unsigned char { Plain, Quote, Delimiter };
    std::array<Kind, 256> kinds{};
    for (const char c : Delimiters)
        kinds[static_cast<unsigned char>(c)] = Delimiter;
    for (const char c : Quotes) // a quote character is never a delimiter
        kinds[static_cast<unsigned char>(c)] = Quote;

    // Characters that go into the token are appended in runs: `run` is where the current run
    // of kept characters began.
    const std::string_view source = Source;
    Tokens_.reserve(32); // a note element has 29 tokens
    std::string token;
    size_t run = 0;
    char openQuote = 0;
    bool quoteOpen = false;
    const auto skip = [&](size_t i) { // ends the run before i and leaves i out
        token.append(source.substr(run, i - run));
        run = i + 1;
    };
    for (size_t i = 0; i < source.size(); ++i) {
        const char c = source[i];
        switch (kinds[static_cast<unsigned char>(c)]) {
        case Quote:
            if (!quoteOpen) {
                quoteOpen = true;
                openQuote = c;
            } else if (c == openQuote) {
                quoteOpen = false;
            } else {
                skip(i); // another quote inside an open one is dropped
                break;
            }
            if (!KeepQuotes)
                skip(i);
            break;
        case Delimiter:
            if (quoteOpen)
                break;
            skip(i);
            if (!token.empty())
                Tokens_.push_back(std::move(token));
            token.clear();
            if (ReturnDelimiters)
                Tokens_.emplace_back(1, c);
            break;
        case Plain:
            break;
        }
    }
    token.append(source.substr(std::min(run, source.size())));
    if (!token.empty())
        Tokens_.push_back(std::move(token));
}
