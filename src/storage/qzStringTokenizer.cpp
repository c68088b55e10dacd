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

std::vector<std::string> TStringTokenizer::Tokens() const {
    std::vector<std::string> tokens;
    for (int i = 0; i < Count(); ++i)
        tokens.emplace_back(Token(i));
    return tokens;
}

void TStringTokenizer::Split() {
    enum Kind : unsigned char { Plain, Quote, Delimiter };
    std::array<Kind, 256> kinds{};
    for (const char c : Delimiters)
        kinds[static_cast<unsigned char>(c)] = Delimiter;
    for (const char c : Quotes) // a quote character is never a delimiter
        kinds[static_cast<unsigned char>(c)] = Quote;

    // Kept characters come in runs: `run` is where the current run began. A token with no
    // character dropped inside it is its run of Source; otherwise its runs are copied together
    // into Pieces_ from `piece` on.
    const std::string_view source = Source;
    Spans_.reserve(32); // a note element has 29 tokens
    size_t run = 0;
    size_t piece = std::string::npos; // no piece of the current token copied yet
    char openQuote = 0;
    bool quoteOpen = false;
    const auto drop = [&](size_t i) {
        if (piece == std::string::npos)
            piece = Pieces_.size();
        Pieces_.append(source.substr(run, i - run));
        run = i + 1;
    };
    const auto finish = [&](size_t i) {
        if (piece == std::string::npos) {
            if (i > run)
                Spans_.push_back({run, i - run, false});
        } else {
            Pieces_.append(source.substr(run, i - run));
            if (Pieces_.size() > piece)
                Spans_.push_back({piece, Pieces_.size() - piece, true});
            piece = std::string::npos;
        }
        run = i + 1;
    };
    for (size_t i = 0; i < source.size(); ++i) {
        while (i < source.size() && kinds[static_cast<unsigned char>(source[i])] == Plain)
            ++i;
        if (i == source.size())
            break;
        const char c = source[i];
        switch (kinds[static_cast<unsigned char>(c)]) {
        case Quote:
            if (!quoteOpen) {
                quoteOpen = true;
                openQuote = c;
            } else if (c == openQuote) {
                quoteOpen = false;
            } else {
                drop(i); // another quote inside an open one is dropped
                break;
            }
            if (!KeepQuotes)
                drop(i);
            break;
        case Delimiter:
            if (quoteOpen)
                break;
            finish(i);
            if (ReturnDelimiters)
                Spans_.push_back({i, 1, false});
            break;
        case Plain:
            break;
        }
    }
    finish(source.size());
}
