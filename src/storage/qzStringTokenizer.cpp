#include "qzStringTokenizer.h"

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

    std::string token;
    char openQuote = 0;
    bool quoteOpen = false;
    for (const char c : Source) {
        switch (kinds[static_cast<unsigned char>(c)]) {
        case Quote:
            if (!quoteOpen) {
                quoteOpen = true;
                openQuote = c;
            } else if (c == openQuote) {
                quoteOpen = false;
            } else {
                break; // another quote inside an open one is dropped
            }
            if (KeepQuotes)
                token += c;
            break;
        case Delimiter:
            if (!quoteOpen) {
                if (!token.empty())
                    Tokens_.push_back(std::move(token));
                token.clear();
                if (ReturnDelimiters)
                    Tokens_.emplace_back(1, c);
                break;
            }
            token += c;
            break;
        case Plain:
            token += c;
            break;
        }
    }
    if (!token.empty())
        Tokens_.push_back(std::move(token));
}
