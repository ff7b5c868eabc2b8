#pragma once

#include <cstdlib>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace veltrim::testing {

// A JSON value read by the grammar's strict rules (no leading zeros, no raw
// control characters in strings, nothing after the value), so that a test
// fails on output a JSON reader elsewhere would refuse. Objects, arrays,
// strings, numbers and null: what the batch output holds.
struct Json {
    double Number = 0.0;
    std::string Text;
    std::vector<Json> Items;
    std::map<std::string, Json> Members;

    const Json& operator[](const std::string& name) const { return Members.at(name); }
    const Json& operator[](std::size_t i) const { return Items.at(i); }
    bool Has(const std::string& name) const { return Members.count(name) != 0; }
};

class JsonReader {
  public:
    // Throws std::runtime_error with the offset of the first fault.
    static Json Read(const std::string& text) {
        JsonReader reader(text);
        Json value = reader.Value();
        if (reader.Blanks(), reader.at_ != text.size())
            reader.Fail("text after the value");
        return value;
    }

  private:
    explicit JsonReader(const std::string& text) : t_(text) {}

    [[noreturn]] void Fail(const std::string& what) const {
        throw std::runtime_error(what + " at offset " + std::to_string(at_));
    }
    char Peek() const { return at_ < t_.size() ? t_[at_] : '\0'; }
    void Blanks() {
        while (Peek() == ' ' || Peek() == '\n' || Peek() == '\r' || Peek() == '\t')
            ++at_;
    }
    bool Take(char ch) {
        Blanks();
        return Peek() == ch ? (++at_, true) : false;
    }
    void Expect(char ch) {
        if (!Take(ch))
            Fail(std::string("expected '") + ch + "'");
    }
    void Digits() {
        if (Peek() < '0' || Peek() > '9')
            Fail("expected a digit");
        while (Peek() >= '0' && Peek() <= '9')
            ++at_;
    }

    Json Value() {
        Blanks();
        Json v;
        if (Take('{')) {
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
        } else if (Take('[')) {
            if (Take(']'))
                return v;
            do
                v.Items.push_back(Value());
            while (Take(','));
            Expect(']');
        } else if (Peek() == '"') {
            v.Text = String();
        } else if (t_.compare(at_, 4, "null") == 0) {
            at_ += 4;
        } else {
            const std::size_t start = at_;
            if (Peek() == '-')
                ++at_;
            if (Peek() == '0')
                ++at_; // a zero before the point stands alone
            else
                Digits();
            if (Peek() == '.')
                ++at_, Digits();
            if (Peek() == 'e' || Peek() == 'E') {
                ++at_;
                if (Peek() == '+' || Peek() == '-')
                    ++at_;
                Digits();
            }
            if (Peek() >= '0' && Peek() <= '9')
                Fail("a number with a leading zero");
            v.Number = std::strtod(t_.substr(start, at_ - start).c_str(), nullptr);
        }
        return v;
    }

    std::string String() {
        if (Peek() != '"')
            Fail("expected a string");
        ++at_;
        std::string s;
        for (char ch; (ch = Peek()) != '"'; ++at_) {
            if (static_cast<unsigned char>(ch) < 0x20)
                Fail("a raw control character (or the end) in a string");
            if (ch != '\\') {
                s += ch;
                continue;
            }
            ++at_;
            const std::string escape = "\"\\/bfnrt", meaning = "\"\\/\b\f\n\r\t";
            if (const std::size_t k = escape.find(Peek()); k != std::string::npos && Peek())
                s += meaning[k];
            else if (Peek() == 'u' && at_ + 5 <= t_.size()) // ASCII is all the output escapes
                s += static_cast<char>(std::stoul(t_.substr(at_ + 1, 4), nullptr, 16)), at_ += 4;
            else
                Fail("a bad escape");
        }
        ++at_;
        return s;
    }

    const std::string& t_;
    std::size_t at_ = 0;
};

} // namespace veltrim::testing
