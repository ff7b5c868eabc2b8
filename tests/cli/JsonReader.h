#pragma once

#include <cstdlib>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace veltrim::testing {

// A JSON value read by the grammar's strict rules (no leading zeros, no raw
// control characters in strings, nothing after the value), so that a test
// fails on output a JSON reader elsewhere would refuse.
struct Json {
    enum class Kind { Null, Boolean, Number, String, Array, Object } Type = Kind::Null;
    bool Boolean = false;
    double Number = 0.0;
    std::string Text;
    std::vector<Json> Items;
    std::map<std::string, Json> Members;

    const Json& operator[](const std::string& name) const {
        const auto found = Members.find(name);
        if (Type != Kind::Object || found == Members.end())
            throw std::runtime_error("no member \"" + name + "\"");
        return found->second;
    }
    const Json& operator[](std::size_t i) const { return Items.at(i); }
    bool Has(const std::string& name) const { return Members.count(name) != 0; }
};

class JsonReader {
  public:
    // Throws std::runtime_error with the offset of the first fault.
    static Json Read(const std::string& text) {
        JsonReader reader(text);
        Json value = reader.Value();
        reader.Blanks();
        if (reader.at_ != text.size())
            reader.Fail("text after the value");
        return value;
    }

  private:
    explicit JsonReader(const std::string& text) : text_(text) {}

    [[noreturn]] void Fail(const std::string& what) const {
        throw std::runtime_error(what + " at offset " + std::to_string(at_));
    }
    void Blanks() {
        while (at_ < text_.size() && std::string(" \t\r\n").find(text_[at_]) != std::string::npos)
            ++at_;
    }
    bool Take(char ch) {
        Blanks();
        if (at_ < text_.size() && text_[at_] == ch) {
            ++at_;
            return true;
        }
        return false;
    }
    void Expect(char ch) {
        if (!Take(ch))
            Fail(std::string("expected '") + ch + "'");
    }
    bool Word(const char* word) {
        const std::string w(word);
        if (text_.compare(at_, w.size(), w) != 0)
            return false;
        at_ += w.size();
        return true;
    }
    bool Digit() const { return at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9'; }
    void Digits() {
        if (!Digit())
            Fail("expected a digit");
        while (Digit())
            ++at_;
    }

    Json Value() {
        Blanks();
        Json v;
        if (at_ >= text_.size())
            Fail("end of text");
        const char ch = text_[at_];
        if (ch == '{') {
            v.Type = Json::Kind::Object;
            ++at_;
            if (Take('}'))
                return v;
            do {
                Blanks();
                const std::string name = String();
                Expect(':');
                if (!v.Members.emplace(name, Value()).second)
                    Fail("member \"" + name + "\" twice");
            } while (Take(','));
            Expect('}');
        } else if (ch == '[') {
            v.Type = Json::Kind::Array;
            ++at_;
            if (Take(']'))
                return v;
            do
                v.Items.push_back(Value());
            while (Take(','));
            Expect(']');
        } else if (ch == '"') {
            v.Type = Json::Kind::String;
            v.Text = String();
        } else if (Word("null")) {
        } else if (Word("true")) {
            v.Type = Json::Kind::Boolean;
            v.Boolean = true;
        } else if (Word("false")) {
            v.Type = Json::Kind::Boolean;
        } else {
            v.Type = Json::Kind::Number;
            v.Number = NumberValue();
        }
        return v;
    }

    double NumberValue() {
        const std::size_t start = at_;
        if (text_[at_] == '-')
            ++at_;
        if (at_ < text_.size() && text_[at_] == '0')
            ++at_; // a leading zero stands alone
        else
            Digits();
        if (at_ < text_.size() && text_[at_] == '.') {
            ++at_;
            Digits();
        }
        if (at_ < text_.size() && (text_[at_] == 'e' || text_[at_] == 'E')) {
            ++at_;
            if (at_ < text_.size() && (text_[at_] == '+' || text_[at_] == '-'))
                ++at_;
            Digits();
        }
        if (Digit())
            Fail("a number with a leading zero");
        return std::strtod(text_.substr(start, at_ - start).c_str(), nullptr);
    }

    std::string String() {
        if (at_ >= text_.size() || text_[at_] != '"')
            Fail("expected a string");
        ++at_;
        std::string s;
        for (;;) {
            if (at_ >= text_.size())
                Fail("unterminated string");
            const char ch = text_[at_++];
            if (ch == '"')
                return s;
            if (static_cast<unsigned char>(ch) < 0x20)
                Fail("a raw control character in a string");
            if (ch != '\\') {
                s += ch;
                continue;
            }
            if (at_ >= text_.size())
                Fail("unterminated escape");
            const char e = text_[at_++];
            const std::string simple = "\"\\/bfnrt", meaning = "\"\\/\b\f\n\r\t";
            if (const std::size_t k = simple.find(e); k != std::string::npos) {
                s += meaning[k];
            } else if (e == 'u' && at_ + 4 <= text_.size()) {
                const unsigned long code = std::stoul(text_.substr(at_, 4), nullptr, 16);
                at_ += 4;
                if (code >= 0x80)
                    Fail("only ASCII \\u escapes are read here");
                s += static_cast<char>(code);
            } else {
                Fail("a bad escape");
            }
        }
    }

    const std::string& text_;
    std::size_t at_ = 0;
};

} // namespace veltrim::testing
