#include "platform/db/SqlDialect.h"

#include "platform/rtl/Cp1251.h"

namespace {

bool IsWordStart(unsigned char c) { return c == '_' || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 0x80; }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
bool IsWordChar(unsigned char c) { return IsWordStart(c) || IsDigit(c) || c == '$'; }
bool IsBlank(unsigned char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

bool IsKeyword(const TSqlToken& t, std::string_view word)
{
    return t.Kind == TSqlTokenKind::Word && SameText(t.Text, word);
}

bool IsPunct(const TSqlToken& t, std::string_view p) { return t.Kind == TSqlTokenKind::Punct && t.Text == p; }

bool AllDigits(std::string_view s)
{
    if (s.empty())
        return false;
    for (unsigned char c : s)
        if (!IsDigit(c))
            return false;
    return true;
}

// Significant tokens (no blanks or comments) with their positions in the full list.
struct Significant {
    const std::vector<TSqlToken>& All;
    std::vector<size_t> Index;

    explicit Significant(const std::vector<TSqlToken>& all) : All(all)
    {
        for (size_t i = 0; i < all.size(); ++i)
            if (all[i].Kind != TSqlTokenKind::Space && all[i].Kind != TSqlTokenKind::Comment)
                Index.push_back(i);
    }
    size_t Size() const { return Index.size(); }
    const TSqlToken& operator[](size_t i) const { return All[Index[i]]; }
    const TSqlToken* At(size_t i) const { return i < Index.size() ? &All[Index[i]] : nullptr; }
};

// term -> '(' column op value ')'   column -> name ['.' name]   value -> literal | '-' number | param
struct Term {
    size_t First = 0, Last = 0;  // significant-token indexes of '(' and ')'
    bool Equal = true;           // '=' (Or chains) or '<>' (And chains)
    std::string_view ColumnBegin, ColumnEnd;
    AnsiString Column;           // as written
    AnsiString Value;            // as written
};

bool IsName(const TSqlToken* t) { return t && (t->Kind == TSqlTokenKind::Word || t->Kind == TSqlTokenKind::QuotedId); }

bool ParseTerm(const Significant& s, size_t i, Term& term)
{
    if (!s.At(i) || !IsPunct(s[i], "("))
        return false;
    size_t k = i + 1;
    if (!IsName(s.At(k)))
        return false;
    term.Column = AnsiString(s[k].Text);
    ++k;
    if (s.At(k) && IsPunct(s[k], ".") && IsName(s.At(k + 1))) {
        term.Column += '.';
        term.Column += s[k + 1].Text;
        k += 2;
    }
    if (!s.At(k))
        return false;
    if (IsPunct(s[k], "=") || IsPunct(s[k], "=="))
        term.Equal = true;
    else if (IsPunct(s[k], "<>") || IsPunct(s[k], "!="))
        term.Equal = false;
    else
        return false;
    ++k;
    const TSqlToken* v = s.At(k);
    if (!v)
        return false;
    if (IsPunct(*v, "-") && s.At(k + 1) && s[k + 1].Kind == TSqlTokenKind::Number) {
        term.Value = "-" + AnsiString(s[k + 1].Text);
        k += 2;
    } else if (v->Kind == TSqlTokenKind::Number || v->Kind == TSqlTokenKind::String || v->Kind == TSqlTokenKind::Param) {
        term.Value = AnsiString(v->Text);
        ++k;
    } else {
        return false;
    }
    if (!s.At(k) || !IsPunct(s[k], ")"))
        return false;
    term.First = i;
    term.Last = k;
    return true;
}

// May a chain start right after token `prev` (none at the start of the text)?
bool MayPrecede(const TSqlToken* prev, bool orChain)
{
    if (!prev)
        return true;
    if (IsPunct(*prev, "("))
        return true;
    for (std::string_view w : {"Where", "On", "Having", "Or"})
        if (IsKeyword(*prev, w))
            return true;
    return !orChain && IsKeyword(*prev, "And");
}

bool MayFollow(const TSqlToken* next, bool orChain)
{
    if (!next)
        return true;
    if (IsPunct(*next, ")") || IsPunct(*next, ";"))
        return true;
    for (std::string_view w : {"Or", "Order", "Group", "Limit", "Union"})
        if (IsKeyword(*next, w))
            return true;
    return !orChain && IsKeyword(*next, "And");
}

}  // namespace

std::vector<TSqlToken> TokenizeSql(std::string_view sql)
{
    std::vector<TSqlToken> out;
    const size_t n = sql.size();
    size_t i = 0;
    auto push = [&](TSqlTokenKind kind, size_t start) { out.push_back({kind, sql.substr(start, i - start), start}); };
    while (i < n) {
        const size_t start = i;
        const unsigned char c = static_cast<unsigned char>(sql[i]);
        if (IsBlank(c)) {
            while (i < n && IsBlank(static_cast<unsigned char>(sql[i])))
                ++i;
            push(TSqlTokenKind::Space, start);
        } else if (c == '-' && i + 1 < n && sql[i + 1] == '-') {
            while (i < n && sql[i] != '\n')
                ++i;
            push(TSqlTokenKind::Comment, start);
        } else if (c == '/' && i + 1 < n && sql[i + 1] == '*') {
            const size_t end = sql.find("*/", i + 2);
            i = end == std::string_view::npos ? n : end + 2;
            push(TSqlTokenKind::Comment, start);
        } else if (c == '\'' || c == '"' || c == '`') {
            ++i;
            while (i < n) {
                if (static_cast<unsigned char>(sql[i]) == c) {
                    if (i + 1 < n && static_cast<unsigned char>(sql[i + 1]) == c) {
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            push(c == '\'' ? TSqlTokenKind::String : TSqlTokenKind::QuotedId, start);
        } else if (c == '[') {
            const size_t end = sql.find(']', i + 1);
            i = end == std::string_view::npos ? n : end + 1;
            push(TSqlTokenKind::QuotedId, start);
        } else if (IsDigit(c)) {
            while (i < n && IsDigit(static_cast<unsigned char>(sql[i])))
                ++i;
            if (i + 1 < n && sql[i] == '.' && IsDigit(static_cast<unsigned char>(sql[i + 1]))) {
                ++i;
                while (i < n && IsDigit(static_cast<unsigned char>(sql[i])))
                    ++i;
            }
            if (i < n && (sql[i] == 'e' || sql[i] == 'E')) {
                size_t k = i + 1;
                if (k < n && (sql[k] == '+' || sql[k] == '-'))
                    ++k;
                if (k < n && IsDigit(static_cast<unsigned char>(sql[k]))) {
                    i = k;
                    while (i < n && IsDigit(static_cast<unsigned char>(sql[i])))
                        ++i;
                }
            }
            push(TSqlTokenKind::Number, start);
        } else if (IsWordStart(c)) {
            while (i < n && IsWordChar(static_cast<unsigned char>(sql[i])))
                ++i;
            push(TSqlTokenKind::Word, start);
        } else if (c == ':' && i + 1 < n && IsWordChar(static_cast<unsigned char>(sql[i + 1]))) {
            ++i;
            while (i < n && IsWordChar(static_cast<unsigned char>(sql[i])))
                ++i;
            push(TSqlTokenKind::Param, start);
        } else {
            static constexpr std::string_view kTwo[] = {"<>", "<=", ">=", "!=", "==", "||", "<<", ">>", "::"};
            i += 1;
            for (std::string_view two : kTwo)
                if (sql.substr(start, 2) == two) {
                    i = start + 2;
                    break;
                }
            push(TSqlTokenKind::Punct, start);
        }
    }
    return out;
}

std::vector<AnsiString> SqlParamNames(std::string_view sql)
{
    std::vector<AnsiString> names;
    for (const TSqlToken& t : TokenizeSql(sql)) {
        if (t.Kind != TSqlTokenKind::Param)
            continue;
        const std::string_view name = t.Text.substr(1);
        bool seen = false;
        for (const AnsiString& n : names)
            seen = seen || AnsiSameText(n, name);
        if (!seen)
            names.emplace_back(name);
    }
    return names;
}

AnsiString FoldSqlChains(std::string_view sql)
{
    const std::vector<TSqlToken> tokens = TokenizeSql(sql);
    const Significant s(tokens);
    AnsiString out;
    out.reserve(sql.size());
    size_t copied = 0;  // byte offset of sql copied so far

    for (size_t i = 0; i < s.Size();) {
        Term first;
        if (!ParseTerm(s, i, first) || !MayPrecede(i > 0 ? &s[i - 1] : nullptr, first.Equal)) {
            ++i;
            continue;
        }
        const std::string_view connector = first.Equal ? "Or" : "And";
        std::vector<Term> run{first};
        for (;;) {
            const size_t k = run.back().Last + 1;
            Term next;
            if (!s.At(k) || !IsKeyword(s[k], connector) || !ParseTerm(s, k + 1, next) || next.Equal != first.Equal ||
                !AnsiSameText(next.Column, first.Column))
                break;
            run.push_back(next);
        }
        if (!MayFollow(s.At(run.back().Last + 1), first.Equal))
            run.pop_back();
        if (run.size() < 2) {
            ++i;
            continue;
        }
        const TSqlToken& open = s[run.front().First];
        const TSqlToken& close = s[run.back().Last];
        out.append(sql.substr(copied, open.Offset - copied));
        out += '(';
        out += first.Column;
        out += first.Equal ? " In (" : " Not In (";
        for (size_t r = 0; r < run.size(); ++r) {
            if (r)
                out += ',';
            out += run[r].Value;
        }
        out += "))";
        copied = close.Offset + close.Text.size();
        i = run.back().Last + 1;
    }
    out.append(sql.substr(copied));
    return out;
}

TRewrittenSql RewriteSql(std::string_view sql, const std::function<int(std::string_view)>& listSize)
{
    const AnsiString folded = FoldSqlChains(sql);
    const std::vector<TSqlToken> tokens = TokenizeSql(folded);
    const Significant s(tokens);
    TRewrittenSql result;
    result.Text.reserve(folded.size() + 16);

    // What each significant token becomes; tokens not listed are copied as they are.
    std::vector<int> action(tokens.size(), 0);  // 0 copy, 1 drop with following blanks, 2 quote
    enum { kCopy, kDropStar, kQuote };

    bool inSet = false;       // inside the assignments of Update ... Set
    int setDepth = 0;
    for (size_t i = 0; i < s.Size(); ++i) {
        const TSqlToken& t = s[i];
        const size_t at = s.Index[i];
        if (IsKeyword(t, "Delete") && s.At(i + 2) && IsPunct(s[i + 1], "*") && IsKeyword(s[i + 2], "From")) {
            action[s.Index[i + 1]] = kDropStar;
            continue;
        }
        if (IsKeyword(t, "Set")) {
            inSet = true;
            setDepth = 0;
            if (s.At(i + 2) && s[i + 1].Kind == TSqlTokenKind::Number && AllDigits(s[i + 1].Text) && IsPunct(s[i + 2], "="))
                action[s.Index[i + 1]] = kQuote;
            continue;
        }
        if (inSet) {
            if (IsPunct(t, "("))
                ++setDepth;
            else if (IsPunct(t, ")"))
                --setDepth;
            else if (IsKeyword(t, "Where") || IsPunct(t, ";"))
                inSet = false;
            else if (setDepth == 0 && IsPunct(t, ",") && s.At(i + 2) && s[i + 1].Kind == TSqlTokenKind::Number &&
                     AllDigits(s[i + 1].Text) && IsPunct(s[i + 2], "="))
                action[s.Index[i + 1]] = kQuote;
        }
        // Insert Into T (0, 1, ...): the column list right after the table name.
        if (IsKeyword(t, "Into") && IsName(s.At(i + 1)) && s.At(i + 2) && IsPunct(s[i + 2], "(")) {
            for (size_t k = i + 3; k < s.Size() && !IsPunct(s[k], ")"); ++k)
                if (s[k].Kind == TSqlTokenKind::Number && AllDigits(s[k].Text))
                    action[s.Index[k]] = kQuote;
        }
        // T.0
        if (t.Kind == TSqlTokenKind::Number && AllDigits(t.Text) && i >= 2 && IsPunct(s[i - 1], ".") &&
            IsName(&s[i - 2]) && s[i - 1].Offset == s[i - 2].Offset + s[i - 2].Text.size() &&
            t.Offset == s[i - 1].Offset + 1)
            action[at] = kQuote;
    }

    bool dropBlanks = false;
    for (size_t k = 0; k < tokens.size(); ++k) {
        const TSqlToken& t = tokens[k];
        if (dropBlanks && t.Kind == TSqlTokenKind::Space) {
            dropBlanks = false;
            continue;
        }
        dropBlanks = false;
        if (action[k] == kDropStar) {
            dropBlanks = true;
            continue;
        }
        if (action[k] == kQuote) {
            result.Text += '"';
            result.Text += t.Text;
            result.Text += '"';
            continue;
        }
        if (t.Kind == TSqlTokenKind::Param) {
            const std::string_view name = t.Text.substr(1);
            const int count = listSize ? listSize(name) : -1;
            if (count == kListAsJson) {
                result.Text += "Select value From json_each(?)";
                result.Slots.push_back({AnsiString(name), kListAsJson});
            } else if (count < 0) {
                result.Text += '?';
                result.Slots.push_back({AnsiString(name), -1});
            } else {
                for (int e = 0; e < count; ++e) {
                    if (e)
                        result.Text += ',';
                    result.Text += '?';
                    result.Slots.push_back({AnsiString(name), e});
                }
            }
            continue;
        }
        result.Text += t.Text;
    }
    return result;
}
