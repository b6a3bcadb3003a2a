#pragma once
// The program's texts are CP949 bytes; the system speaks UTF-16. A name from the system
// may hold characters that CP949 cannot spell (a folder "Café" on a Western Windows), and
// such a name must still reach the same file, registry value or process again. So a UTF-16
// code unit without an exact CP949 spelling is kept inside the program's text as an escape
// that no CP949 text contains: the byte 0xFF, then the unit as four upper-case hex digits
// (a surrogate pair as two escapes). Nothing is ever narrowed to a look-alike.
#include <cstddef>
#include <string>
#include <vector>

namespace plat {

constexpr char kTextEscape = '\xFF';

// UTF-16 code units to the program's text, losslessly.
std::string TextFromUtf16(const char16_t* units, std::size_t count);
inline std::string TextFromUtf16(const std::u16string& units) { return TextFromUtf16(units.data(), units.size()); }

// The program's text to UTF-16. Escapes take upper- or lower-case hex digits (the program
// changes the case of A-Z in names it compares); a 0xFF not followed by four hex digits is
// converted like any other byte.
std::u16string TextToUtf16(const std::string& text);

// The bytes of the character at text[i]: an escape (two for a surrogate pair, which is one
// character), a CP949 lead and trail byte, or a single byte. Every cut of a text for a
// message, a tip or a printed line falls between characters by it.
std::size_t CharBytes(const std::string& text, std::size_t i);

// Adds to found the characters of the text that CP949 cannot spell (its escapes) that it
// does not hold yet, in the order they first stand; and the text without them. For a CP949
// file, which must hold neither the escapes nor a look-alike in their place.
void FindCharactersOutsideCp949(const std::string& text, std::vector<std::string>& found);
std::string WithoutCharactersOutsideCp949(const std::string& text);
// "é (U+00E9)": a character named for a message, its code point beside it, since it may be
// invisible (a no-break space) or look like another.
std::string NameOfCharacter(const std::string& character);

// UTF-8 (a file's text) to UTF-16 and back. A malformed sequence reads as U+FFFD; a lone
// surrogate is written as U+FFFD.
std::u16string Utf8ToUtf16(const std::string& bytes);
std::string Utf16ToUtf8(const std::u16string& units);

// The per-character CP949 conversion, supplied by the backend (the system's tables on
// Windows, iconv in the simulation).
namespace text_backend {
// CP949 bytes (no escapes among them) to UTF-16, as the system converts them.
std::u16string Cp949ToUtf16(const char* bytes, std::size_t size);
// Appends the exact CP949 spelling of the units (no surrogates among them) to out; false,
// with out as it was, when any of them has none.
bool Utf16ToCp949(const char16_t* units, std::size_t count, std::string& out);
}  // namespace text_backend

}  // namespace plat
