#include "engine/thermo/Formula.h"

#include <charconv>
#include <cmath>

#include "engine/thermo/Elements.h"
#include "engine/thermo/TextTokens.h"

namespace varsel::engine::thermo {

namespace {

// Deeper nesting than this is certainly a typing error; the limit also keeps the recursion
// of the parser bounded for any input.
constexpr int kMaxDepth = 16;

bool EndsWith(std::string_view text, std::string_view tail) {
    return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsUpper(char c) {
    return c >= 'A' && c <= 'Z';
}
bool IsLower(char c) {
    return c >= 'a' && c <= 'z';
}

class Parser {
  public:
    Parser(std::string_view body, std::string_view whole) : s_(body), whole_(whole) {}

    Formula Run() {
        Formula formula;
        Counts counts = ParseSequence(0);
        // Hydrate parts: "*" or "·" (UTF-8), an optional multiplier, then a sequence.
        while (pos_ < s_.size() && AtHydrateSeparator()) {
            double multiplier = 1.0;
            if (auto number = ParseNumber()) multiplier = *number;
            Counts part = ParseSequence(0);
            if (part.empty()) Fail("nothing after the hydrate separator");
            for (const ElementAmount& e : part)
                Add(counts, e.Code, e.Amount * multiplier);
        }
        if (pos_ < s_.size()) formula.Charge = ParseCharge();
        if (pos_ < s_.size()) Fail("unexpected text after the charge");
        for (const ElementAmount& e : counts)
            if (e.Amount != 0.0) formula.Elements.push_back(e);
        if (formula.Elements.empty()) Fail("no element");
        return formula;
    }

  private:
    using Counts = std::vector<ElementAmount>;

    [[noreturn]] void Fail(const std::string& what) const {
        throw FormulaError("invalid formula \"" + std::string(whole_) + "\": " + what +
                           " at position " + std::to_string(pos_ + 1));
    }

    static void Add(Counts& counts, int code, double amount) {
        for (ElementAmount& e : counts)
            if (e.Code == code) {
                e.Amount += amount;
                return;
            }
        counts.push_back({code, amount});
    }

    bool AtHydrateSeparator() {
        if (s_[pos_] == '*') {
            ++pos_;
            return true;
        }
        if (s_.substr(pos_, 2) == "\xC2\xB7") {
            pos_ += 2;
            return true;
        }
        return false;
    }

    // A decimal number without sign or exponent: "2", "0.5", "2.", ".5".
    std::optional<double> ParseNumber() {
        std::size_t end = pos_;
        bool digits = false;
        while (end < s_.size() && IsDigit(s_[end]))
            ++end, digits = true;
        if (end < s_.size() && s_[end] == '.') {
            ++end;
            while (end < s_.size() && IsDigit(s_[end]))
                ++end, digits = true;
        }
        if (!digits) return std::nullopt;
        double value = 0;
        auto [ptr, ec] = std::from_chars(s_.data() + pos_, s_.data() + end, value);
        if (ec != std::errc() || !std::isfinite(value) || value > 1.0e6) Fail("count out of range");
        (void)ptr;
        pos_ = end;
        return value;
    }

    // A count after an element or a group: a plain number, a number in parentheses (the
    // SUPCRT92 style), or nothing for one.
    double ParseCount() {
        if (auto number = ParseNumber()) return *number;
        if (pos_ < s_.size() && s_[pos_] == '(') {
            std::size_t save = pos_;
            ++pos_;
            if (auto number = ParseNumber()) {
                if (pos_ < s_.size() && s_[pos_] == ')') {
                    ++pos_;
                    return *number;
                }
            }
            pos_ = save;
        }
        return 1.0;
    }

    // "(+)", "(-2)" at the very end of the formula: a charge, not a group.
    bool AtChargeInParentheses() const {
        if (s_[pos_] != '(' || s_.back() != ')' || pos_ + 1 >= s_.size()) return false;
        char sign = s_[pos_ + 1];
        return sign == '+' || sign == '-';
    }

    Counts ParseSequence(int depth, char closer = '\0') {
        if (depth > kMaxDepth) Fail("parentheses nested too deeply");
        Counts counts;
        while (pos_ < s_.size()) {
            char c = s_[pos_];
            if (IsUpper(c)) {
                std::size_t start = pos_++;
                while (pos_ < s_.size() && IsLower(s_[pos_]))
                    ++pos_;
                std::string_view symbol = s_.substr(start, pos_ - start);
                int code = ElementCode(symbol);
                if (code == 0) {
                    pos_ = start;
                    Fail("unknown element \"" + std::string(symbol) + "\"");
                }
                Add(counts, code, ParseCount());
            } else if (c == '(' || c == '[') {
                if (depth == 0 && AtChargeInParentheses()) return counts;
                ++pos_;
                Counts inner = ParseSequence(depth + 1, c == '(' ? ')' : ']');
                if (pos_ >= s_.size())
                    Fail(std::string("missing '") + (c == '(' ? ')' : ']') + "'");
                ++pos_;  // the closer, checked by the inner sequence
                if (inner.empty()) Fail("empty parentheses");
                double count = ParseCount();
                for (const ElementAmount& e : inner)
                    Add(counts, e.Code, e.Amount * count);
            } else if (c == ')' || c == ']') {
                if (c != closer) Fail(std::string("unbalanced '") + c + "'");
                return counts;
            } else if (c == '+' || c == '-' || c == '*' || c == '\xC2') {
                if (depth > 0) Fail(std::string("unexpected '") + c + "' inside parentheses");
                return counts;
            } else {
                Fail(std::string("unexpected character '") + c + "'");
            }
        }
        if (closer != '\0') Fail(std::string("missing '") + closer + "'");
        return counts;
    }

    // The charge suffix: "+", "++", "-2", "+(1)", "(+)", "(-2)".
    double ParseCharge() {
        bool parenthesised = s_[pos_] == '(';
        if (parenthesised) ++pos_;
        if (pos_ >= s_.size() || (s_[pos_] != '+' && s_[pos_] != '-'))
            Fail("unexpected character '" + std::string(1, s_[std::min(pos_, s_.size() - 1)]) +
                 "'");
        char sign = s_[pos_];
        int signs = 0;
        while (pos_ < s_.size() && s_[pos_] == sign)
            ++pos_, ++signs;
        double magnitude = signs;
        std::optional<double> number = ParseNumber();
        if (!number && !parenthesised && pos_ < s_.size() && s_[pos_] == '(') {
            ++pos_;
            number = ParseNumber();
            if (!number || pos_ >= s_.size() || s_[pos_] != ')') Fail("malformed charge");
            ++pos_;
        }
        if (number) {
            if (signs > 1) Fail("malformed charge");
            magnitude = *number;
        }
        if (parenthesised) {
            if (pos_ >= s_.size() || s_[pos_] != ')') Fail("malformed charge");
            ++pos_;
        }
        return sign == '+' ? magnitude : -magnitude;
    }

    std::string_view s_;
    std::string_view whole_;
    std::size_t pos_ = 0;
};

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

}  // namespace

double Formula::Amount(int code) const {
    for (const ElementAmount& e : Elements)
        if (e.Code == code) return e.Amount;
    return 0.0;
}

double Formula::MolarMass() const {
    double mass = 0.0;
    for (const ElementAmount& e : Elements)
        if (const Element* element = ElementByCode(e.Code)) mass += e.Amount * element->AtomicMass;
    return mass;
}

std::string Formula::ToText() const {
    std::string text;
    for (const ElementAmount& e : Elements) {
        const Element* element = ElementByCode(e.Code);
        text += element ? std::string(element->Symbol) : "?";
        if (e.Amount != 1.0) text += FormatNumber(e.Amount);
    }
    if (Charge != 0.0) {
        text += Charge > 0 ? "+" : "-";
        if (std::fabs(Charge) != 1.0) text += FormatNumber(std::fabs(Charge));
    }
    return text;
}

Formula ParseFormula(std::string_view text) {
    std::string_view body = Trim(text);
    if (body.empty()) throw FormulaError("invalid formula \"" + std::string(text) + "\": empty");
    // Name qualifiers of aqueous neutral species and gases carry no composition.
    for (std::string_view suffix : {",aq", ",AQ", ",g", "(aq)", "(g)", "(s)"})
        if (EndsWith(body, suffix) && body.size() > suffix.size()) {
            body.remove_suffix(suffix.size());
            break;
        }
    return Parser(body, text).Run();
}

std::optional<Formula> TryParseFormula(std::string_view text, std::string* error) {
    try {
        return ParseFormula(text);
    } catch (const FormulaError& e) {
        if (error) *error = e.what();
        return std::nullopt;
    }
}

}  // namespace varsel::engine::thermo
