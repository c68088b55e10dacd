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

    int Count() const { return static_cast<int>(Tokens_.size()); }
    // The token at a 0-based index, or the empty text outside 0 .. Count - 1.
    const std::string& Token(int index) const;
    const std::vector<std::string>& Tokens() const { return Tokens_; }

    const std::string Source;
    const std::string Quotes;
    const std::string Delimiters;
    const bool ReturnDelimiters;
    const bool KeepQuotes;

private:
    void Split();

    std::vector<std::string> Tokens_;
};
