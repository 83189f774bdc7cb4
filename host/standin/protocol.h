// The stand-in host's control channel: one command per line on its standard input, one
// reply line per command on its standard output.
//
//   command:  VERB WORD WORD ...        words are separated by spaces; "-" is an empty word
//   reply:    ok[ FIELD<TAB>FIELD...]   or   error MESSAGE
//
// Texts travel as the plug-in's bytes (code page 1251). A reply field escapes what would
// break the line: backslash, tab, CR and LF as \\, \t, \r, \n, other control bytes as \xHH.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace standin {

struct Request {
    std::string verb;                // lower case
    std::vector<std::string> words;  // after the verb; "-" is kept as it is, see word()
    // The word at `index`, "" for "-" and for a word that is not there.
    std::string word(size_t index) const;
    // The text after the first `count` words, as typed (spaces inside kept), without the
    // spaces that lead it; for values that may hold spaces, such as a folder. A lone "-"
    // is the empty text here too.
    std::string after(size_t count) const;

    std::string line;               // the whole line without its line end
    std::vector<size_t> wordStart;  // where each word begins in `line`
};

Request parseRequest(std::string_view line);

std::string escapeField(std::string_view text);
// False when the text holds an escape that is not one of ours.
bool unescapeField(std::string_view text, std::string& out);

std::string okReply(const std::vector<std::string>& fields = {});
std::string errorReply(std::string_view message);

struct Reply {
    bool ok = false;
    std::vector<std::string> fields;  // unescaped; for an error the message alone
};
// False for a line that is neither an ok nor an error reply.
bool parseReply(std::string_view line, Reply& out);

}  // namespace standin
