#pragma once

// A small strict reader of JSON text (RFC 8259), for the files the program
// writes itself: no comments, no trailing commas, no duplicate keys, only
// finite numbers, strings of valid UTF-8, nesting at most 32 deep.

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace veltrim {

struct JsonMember;

struct JsonValue {
    enum class Kind { Null, Boolean, Number, String, Array, Object };
    Kind Type = Kind::Null;
    bool Boolean = false;
    double Number = 0.0;
    std::string String;
    std::vector<JsonValue> Items;
    // In the order written.
    std::vector<JsonMember> Members;

    // The member of that name, or none.
    const JsonValue* Find(std::string_view name) const;
};

struct JsonMember {
    std::string Name;
    JsonValue Value;
};

// Text that is not such JSON: what was wrong, in English, and at which byte.
class JsonError : public std::runtime_error {
  public:
    JsonError(const std::string& what, std::size_t offset);
};

// The one value the text holds, blanks around it allowed. Throws JsonError.
JsonValue ParseJson(std::string_view text);

// The length of the UTF-8 character at `pos` (< text.size()), or 0 where
// none begins: a stray or missing continuation byte, an overlong form, a
// surrogate, a code point beyond U+10FFFF.
std::size_t Utf8CharacterLength(std::string_view text, std::size_t pos);
bool IsUtf8(std::string_view text);
// The text with each byte that begins no UTF-8 character replaced by U+FFFD.
std::string ReplacingInvalidUtf8(std::string_view text);

// A string as a JSON string literal, quotes included.
std::string JsonString(std::string_view text);

} // namespace veltrim
