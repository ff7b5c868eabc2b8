#include "core/JsonReading.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <utility>

namespace veltrim {

std::size_t Utf8CharacterLength(std::string_view text, std::size_t pos) {
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned lead = at(pos);
    if (lead < 0x80)
        return 1;
    int more = 0;
    unsigned least = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        more = 1;
        least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        more = 2;
        least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        more = 3;
        least = 0x10000;
    } else {
        return 0;
    }
    if (text.size() - pos <= static_cast<std::size_t>(more))
        return 0;
    unsigned code = lead & (0x3Fu >> more);
    for (int i = 1; i <= more; ++i) {
        const unsigned next = at(pos + static_cast<std::size_t>(i));
        if ((next & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (next & 0x3F);
    }
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return static_cast<std::size_t>(more) + 1;
}

bool IsUtf8(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = Utf8CharacterLength(text, pos);
        if (length == 0)
            return false;
        pos += length;
    }
    return true;
}

std::string ReplacingInvalidUtf8(std::string_view text) {
    std::string out;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = Utf8CharacterLength(text, pos);
        out += length == 0 ? std::string_view("\xEF\xBF\xBD") : text.substr(pos, length);
        pos += length == 0 ? 1 : length;
    }
    return out;
}

namespace {

constexpr int MaxDepth = 32;

class Reader {
  public:
    explicit Reader(std::string_view text) : text_(text) {}

    JsonValue Document() {
        SkipBlanks();
        JsonValue value = Value(0);
        SkipBlanks();
        if (pos_ != text_.size())
            Fail("text after the value");
        return value;
    }

  private:
    [[noreturn]] void Fail(const std::string& what) const { throw JsonError(what, pos_); }

    bool AtEnd() const { return pos_ >= text_.size(); }
    char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }

    void SkipBlanks() {
        while (!AtEnd() && (Peek() == ' ' || Peek() == '\t' || Peek() == '\n' || Peek() == '\r'))
            ++pos_;
    }

    void Expect(char ch) {
        if (Peek() != ch || AtEnd())
            Fail(std::string("'") + ch + "' expected");
        ++pos_;
    }

    void Word(std::string_view word) {
        if (text_.substr(pos_, word.size()) != word)
            Fail("a value expected");
        pos_ += word.size();
    }

    JsonValue Value(int depth) {
        if (depth > MaxDepth)
            Fail("nested too deeply");
        JsonValue value;
        switch (Peek()) {
        case '{':
            value.Type = JsonValue::Kind::Object;
            Object(value, depth);
            break;
        case '[':
            value.Type = JsonValue::Kind::Array;
            Array(value, depth);
            break;
        case '"':
            value.Type = JsonValue::Kind::String;
            value.String = String();
            break;
        case 't':
            Word("true");
            value.Type = JsonValue::Kind::Boolean;
            value.Boolean = true;
            break;
        case 'f':
            Word("false");
            value.Type = JsonValue::Kind::Boolean;
            break;
        case 'n':
            Word("null");
            break;
        default:
            value.Type = JsonValue::Kind::Number;
            value.Number = Number();
        }
        return value;
    }

    // The comma-separated elements between `open` and `close`, each read by
    // `element` after the blanks before it.
    template <class Element> void Elements(char open, char close, Element element) {
        Expect(open);
        SkipBlanks();
        if (Peek() == close && !AtEnd()) {
            ++pos_;
            return;
        }
        for (;;) {
            SkipBlanks();
            element();
            SkipBlanks();
            if (Peek() != ',' || AtEnd())
                break;
            ++pos_;
        }
        Expect(close);
    }

    void Object(JsonValue& object, int depth) {
        Elements('{', '}', [&] {
            if (Peek() != '"' || AtEnd())
                Fail("a name in quotes expected");
            std::string name = String();
            if (object.Find(name) != nullptr)
                Fail("\"" + name + "\" given twice");
            SkipBlanks();
            Expect(':');
            SkipBlanks();
            object.Members.push_back({std::move(name), Value(depth + 1)});
        });
    }

    void Array(JsonValue& array, int depth) {
        Elements('[', ']', [&] { array.Items.push_back(Value(depth + 1)); });
    }

    // The number's text by the grammar (no leading zeros, no '+', no bare
    // '.'), then converted; one beyond the doubles is refused.
    double Number() {
        const std::size_t start = pos_;
        const auto digits = [this] {
            const std::size_t from = pos_;
            while (!AtEnd() && Peek() >= '0' && Peek() <= '9')
                ++pos_;
            return pos_ - from;
        };
        if (Peek() == '-')
            ++pos_;
        if (Peek() == '0' && !AtEnd())
            ++pos_;
        else if (digits() == 0)
            Fail("a value expected");
        if (Peek() == '.' && !AtEnd()) {
            ++pos_;
            if (digits() == 0)
                Fail("a digit expected after the decimal point");
        }
        if ((Peek() == 'e' || Peek() == 'E') && !AtEnd()) {
            ++pos_;
            if (Peek() == '+' || Peek() == '-')
                ++pos_;
            if (digits() == 0)
                Fail("a digit expected in the exponent");
        }
        double value = 0.0;
        const auto [end, error] = std::from_chars(text_.data() + start, text_.data() + pos_, value);
        if (error != std::errc() || end != text_.data() + pos_ || !std::isfinite(value))
            Fail("a number beyond the range of doubles");
        return value;
    }

    unsigned Hex4() {
        unsigned code = 0;
        for (int i = 0; i < 4; ++i, ++pos_) {
            const char ch = Peek();
            if (AtEnd())
                Fail("four hexadecimal digits expected");
            code <<= 4;
            if (ch >= '0' && ch <= '9')
                code |= static_cast<unsigned>(ch - '0');
            else if (ch >= 'a' && ch <= 'f')
                code |= static_cast<unsigned>(ch - 'a' + 10);
            else if (ch >= 'A' && ch <= 'F')
                code |= static_cast<unsigned>(ch - 'A' + 10);
            else
                Fail("four hexadecimal digits expected");
        }
        return code;
    }

    static void AppendUtf8(std::string& out, unsigned code) {
        const auto byte = [&out](unsigned b) { out += static_cast<char>(b); };
        if (code < 0x80) {
            byte(code);
        } else if (code < 0x800) {
            byte(0xC0 | (code >> 6));
            byte(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            byte(0xE0 | (code >> 12));
            byte(0x80 | ((code >> 6) & 0x3F));
            byte(0x80 | (code & 0x3F));
        } else {
            byte(0xF0 | (code >> 18));
            byte(0x80 | ((code >> 12) & 0x3F));
            byte(0x80 | ((code >> 6) & 0x3F));
            byte(0x80 | (code & 0x3F));
        }
    }

    // One character of UTF-8 as it stands in the text, checked.
    void CopyUtf8(std::string& out) {
        const std::size_t length = Utf8CharacterLength(text_, pos_);
        if (length == 0)
            Fail("not UTF-8 text");
        out.append(text_.substr(pos_, length));
        pos_ += length;
    }

    std::string String() {
        Expect('"');
        std::string out;
        for (;;) {
            if (AtEnd())
                Fail("the text ends inside a string");
            const char ch = Peek();
            if (ch == '"') {
                ++pos_;
                return out;
            }
            if (static_cast<unsigned char>(ch) < 0x20)
                Fail("a control character inside a string");
            if (static_cast<unsigned char>(ch) >= 0x80) {
                CopyUtf8(out);
                continue;
            }
            ++pos_;
            if (ch != '\\') {
                out += ch;
                continue;
            }
            const char escape = Peek();
            if (AtEnd())
                Fail("the text ends inside a string");
            ++pos_;
            switch (escape) {
            case '"':
            case '\\':
            case '/':
                out += escape;
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'u': {
                unsigned code = Hex4();
                // A character beyond the first plane is written as a pair
                // of surrogates; one alone is no character.
                if (code >= 0xDC00 && code <= 0xDFFF)
                    Fail("a lone low surrogate");
                if (code >= 0xD800 && code <= 0xDBFF) {
                    if (text_.substr(pos_, 2) != "\\u")
                        Fail("a lone high surrogate");
                    pos_ += 2;
                    const unsigned low = Hex4();
                    if (low < 0xDC00 || low > 0xDFFF)
                        Fail("a lone high surrogate");
                    code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                }
                AppendUtf8(out, code);
                break;
            }
            default:
                --pos_;
                Fail("an unknown escape");
            }
        }
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

} // namespace

const JsonValue* JsonValue::Find(std::string_view name) const {
    for (const JsonMember& member : Members)
        if (member.Name == name)
            return &member.Value;
    return nullptr;
}

JsonError::JsonError(const std::string& what, std::size_t offset)
    : std::runtime_error(what + " at byte " + std::to_string(offset)) {}

JsonValue ParseJson(std::string_view text) {
    return Reader(text).Document();
}

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (const char ch : text) {
        switch (ch) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(ch) < 0x20) {
                static constexpr char Hex[] = "0123456789abcdef";
                out += "\\u00";
                out += Hex[(ch >> 4) & 0xF];
                out += Hex[ch & 0xF];
            } else {
                out += ch;
            }
        }
    }
    return out + '"';
}

} // namespace veltrim
