// The words of an archiver command string, as the program builds them and the libraries and
// companions read them. Blanks separate words; a double quote starts a quoted stretch in
// which blanks are ordinary characters, and the next lone double quote ends it. Inside a
// quoted stretch a doubled quote ("") stands for one quote character, which is how a name
// holding '"' is written. A backslash is always an ordinary character, so a quoted folder
// may end in '\' ("C:\out\").
//
// Before doubled quotes meant a quote, "" inside a quoted stretch closed and reopened it,
// which added nothing; every string that did not use that empty pair reads as before.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace zv::command_words {

struct Word {
  std::string text;
  bool quoted = false;  // some of it was in quotes: never a switch
};

// Splits at blanks (space, tab, CR, LF) outside quotes.
std::vector<Word> split(std::string_view line);

// Encloses in double quotes, writing each quote inside twice.
std::string quote(std::string_view text);

// The text of one word: a word that is wholly one quoted stretch loses its quotes and its
// doubled quotes; any other text comes back as given.
std::string unquote(std::string_view text);

// A path for the ISH command lines, which are cut at their switches rather than at blanks:
// given as it is unless the reader would take it for something else (a quote, a blank at
// either end, or a blank followed by '/', which could read as a switch), then quoted.
std::string switchLinePath(std::string_view path);

}  // namespace zv::command_words
