// A text form of the tokenizer's symbol stream, for the developer tool and for tests:
//   symName [level] "token text"
//     symAttr value "attribute text"      (one line per attribute of a tag that takes them)
// Quoted texts are UTF-8 and escape " and \ with a backslash, CR as \r, and the other control
// characters (below 32, 127 and 128..159) as \xNN.
#pragma once

#include <string>
#include <string_view>

#include "html/reader/tokenizer.h"

namespace brisomel {

std::string QuoteText(std::u16string_view text);
// Windows-1252 text, with every byte outside 32..126 as \xNN.
std::string QuoteText(std::string_view text);

// The lines of the current symbol, each ending in "\n".
std::string DumpSymbol(const Tokenizer& tokenizer);

// Loads the first character, then dumps every symbol NextSymbol delivers through symEof; an
// EParseError ends the dump with `error "message"`. `sink` receives the text in pieces.
template <typename Sink>
void DumpSymbolStream(Tokenizer& tokenizer, Sink&& sink) {
  try {
    tokenizer.Advance();
    do {
      tokenizer.NextSymbol();
      sink(DumpSymbol(tokenizer));
    } while (tokenizer.Symbol != symEof);
  } catch (const EParseError& error) {
    sink("error " + QuoteText(error.what()) + "\n");
  }
}

}  // namespace brisomel
