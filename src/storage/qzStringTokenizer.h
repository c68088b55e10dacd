#pragma once

#include <string>
#include <string_view>
#include <vector>

// Splits a text at delimiter characters, keeping quoted stretches whole. Empty tokens are never
// produced; a quote character is never a delimiter; an unclosed quote runs to the end.
class TStringTokenizer {
public:
    // Quotes: double quote and apostrophe; delimiters not returned; quotes kept.
    TStringTokenizer(std::string_view source, std::string_view delimiters);
    TStringTokenizer(std::string_view source, std::string_view delimiters, std::string_view quotes,
                     bool returnDelimiters, bool keepQuotes);
    // Tokens refer into the tokenizer's own texts.
    TStringTokenizer(const TStringTokenizer&) = delete;
    TStringTokenizer& operator=(const TStringTokenizer&) = delete;

    int Count() const { return static_cast<int>(Spans_.size()); }
    // The token at a 0-based index, or the empty text outside 0 .. Count - 1. The text lives as
    // long as the tokenizer.
    std::string_view Token(int index) const {
        if (index < 0 || index >= Count())
            return {};
        const TSpan& span = Spans_[static_cast<size_t>(index)];
        return std::string_view(span.InPieces ? Pieces_ : Source).substr(span.Offset, span.Length);
    }
    std::vector<std::string> Tokens() const;

    const std::string Source;
    const std::string Quotes;
    const std::string Delimiters;
    const bool ReturnDelimiters;
    const bool KeepQuotes;

private:
    // A token is a stretch of Source, or of Pieces_ when characters inside it were dropped.
    struct TSpan {
        size_t Offset;
        size_t Length;
        bool InPieces;
    };

    void Split();

    std::vector<TSpan> Spans_;
    std::string Pieces_;
};
