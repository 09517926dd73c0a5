#include "sql_parser.hpp"

#include <algorithm>

#include "vorlix/xls/unicode.hpp"

namespace vorlix::xls::detail {

namespace {

enum class Tok { End, Word, Quoted, String, Number, Punct };

struct Token {
    Tok kind = Tok::End;
    std::u16string_view text;
    std::size_t at = 0;
};

bool isWordChar(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_' ||
           c == u'$' || c >= 0x80;
}

class Lexer {
public:
    Lexer(std::u16string_view s, std::forward_list<std::u16string>& storage) : s_(s), storage_(storage) {}

    Token next() {
        while (i_ < s_.size() && (s_[i_] == u' ' || s_[i_] == u'\t' || s_[i_] == u'\r' || s_[i_] == u'\n')) ++i_;
        Token t;
        t.at = i_;
        if (i_ >= s_.size()) return t;
        const char16_t c = s_[i_];
        if (c == u'[' || c == u'`') {
            const char16_t close = c == u'[' ? u']' : u'`';
            const std::size_t end = s_.find(close, i_ + 1);
            if (end == std::u16string_view::npos) fail(std::string("an unclosed ") + (c == u'[' ? "[" : "`"), i_);
            t.kind = Tok::Quoted;
            t.text = s_.substr(i_ + 1, end - i_ - 1);
            i_ = end + 1;
            return t;
        }
        if (c == u'\'') {
            // A literal without doubled quotes is a view of the statement; one with them
            // is unescaped into the storage.
            t.kind = Tok::String;
            const std::size_t begin = ++i_;
            std::u16string* unescaped = nullptr;
            for (;;) {
                const std::size_t quote = s_.find(u'\'', i_);
                if (quote == std::u16string_view::npos) fail("an unterminated string literal", t.at);
                if (quote + 1 < s_.size() && s_[quote + 1] == u'\'') {
                    if (!unescaped) unescaped = &storage_.emplace_front(s_.substr(begin, quote + 1 - begin));
                    else unescaped->append(s_.substr(i_, quote + 1 - i_));
                    i_ = quote + 2;
                    continue;
                }
                if (unescaped) {
                    unescaped->append(s_.substr(i_, quote - i_));
                    t.text = *unescaped;
                } else {
                    t.text = s_.substr(begin, quote - begin);
                }
                i_ = quote + 1;
                return t;
            }
        }
        if ((c >= u'0' && c <= u'9') || ((c == u'-' || c == u'+' || c == u'.') && i_ + 1 < s_.size() &&
                                         ((s_[i_ + 1] >= u'0' && s_[i_ + 1] <= u'9') || s_[i_ + 1] == u'.'))) {
            t.kind = Tok::Number;
            std::size_t j = i_ + 1;
            while (j < s_.size() && ((s_[j] >= u'0' && s_[j] <= u'9') || s_[j] == u'.' || s_[j] == u'e' ||
                                     s_[j] == u'E' ||
                                     ((s_[j] == u'-' || s_[j] == u'+') && (s_[j - 1] == u'e' || s_[j - 1] == u'E'))))
                ++j;
            t.text = s_.substr(i_, j - i_);
            i_ = j;
            return t;
        }
        if (isWordChar(c)) {
            std::size_t j = i_;
            while (j < s_.size() && isWordChar(s_[j])) ++j;
            t.kind = Tok::Word;
            t.text = s_.substr(i_, j - i_);
            i_ = j;
            return t;
        }
        if (c == u'(' || c == u')' || c == u',' || c == u'*' || c == u';') {
            t.kind = Tok::Punct;
            t.text = s_.substr(i_, 1);
            ++i_;
            return t;
        }
        fail("an unexpected character '" + toUtf8(s_.substr(i_, 1)) + "'", i_);
    }

    [[noreturn]] void fail(const std::string& what, std::size_t at) const {
        throw SyntaxError("syntax error: " + what + " at character " + std::to_string(at + 1));
    }

private:
    std::u16string_view s_;
    std::forward_list<std::u16string>& storage_;
    std::size_t i_ = 0;
};

class Parser {
public:
    Parser(std::u16string_view sql, std::forward_list<std::u16string>& storage) : lex_(sql, storage) { advance(); }

    Statement statement() {
        if (isKeyword(u"SELECT")) return select();
        if (isKeyword(u"DROP")) return drop();
        if (isKeyword(u"CREATE")) return create();
        if (isKeyword(u"INSERT")) return insert();
        fail("expected SELECT, INSERT, CREATE TABLE or DROP TABLE");
    }

private:
    SelectStatement select() {
        advance();
        SelectStatement s;
        if (isPunct(u'*')) {
            advance();
        } else {
            s.columns = nameList("a column name or *");
        }
        keyword(u"FROM");
        s.table = table();
        end();
        return s;
    }

    DropStatement drop() {
        advance();
        keyword(u"TABLE");
        DropStatement s{table()};
        end();
        return s;
    }

    CreateStatement create() {
        advance();
        keyword(u"TABLE");
        CreateStatement s;
        s.table = table();
        s.columns.reserve(64);
        punct(u'(', "'(' before the column definitions");
        for (;;) {
            s.columns.push_back(name("a column name"));
            // The type: a word with an optional size, e.g. char(255). Every column is text.
            if (cur_.kind != Tok::Word) fail("expected a column type such as char(255)");
            advance();
            if (isPunct(u'(')) {
                advance();
                if (cur_.kind != Tok::Number) fail("expected a column size");
                advance();
                punct(u')', "')' after the column size");
            }
            if (isPunct(u',')) {
                advance();
                continue;
            }
            punct(u')', "',' or ')' after a column definition");
            break;
        }
        end();
        return s;
    }

    InsertStatement insert() {
        advance();
        keyword(u"INTO");
        InsertStatement s;
        s.table = table();
        if (isPunct(u'(')) {
            advance();
            s.columns = nameList("a column name");
            punct(u')', "')' after the column list");
        }
        keyword(u"VALUES");
        punct(u'(', "'(' before the values");
        s.values.reserve(std::max<std::size_t>(s.columns.size(), 64));
        for (;;) {
            if (cur_.kind == Tok::String || cur_.kind == Tok::Number) {
                s.values.push_back(cur_.text);
            } else if (cur_.kind == Tok::Word && equalsIgnoreCase(cur_.text, u"NULL")) {
                s.values.emplace_back();
            } else {
                fail("expected a quoted value, a number or NULL");
            }
            advance();
            if (isPunct(u',')) {
                advance();
                continue;
            }
            punct(u')', "',' or ')' after a value");
            break;
        }
        end();
        return s;
    }

    TableRef table() {
        if (cur_.kind != Tok::Quoted && cur_.kind != Tok::Word) fail("expected a table name");
        if (cur_.kind == Tok::Word && isReserved(cur_.text)) fail("expected a table name");
        TableRef t = parseTableName(cur_.text);
        advance();
        return t;
    }

    std::vector<std::u16string_view> nameList(const char* what) {
        std::vector<std::u16string_view> names;
        names.reserve(64);  // a contact table has 66 columns: one allocation for most lists
        names.push_back(name(what));
        while (isPunct(u',')) {
            advance();
            names.push_back(name(what));
        }
        return names;
    }

    std::u16string_view name(const char* what) {
        if (cur_.kind != Tok::Quoted && cur_.kind != Tok::Word) fail(std::string("expected ") + what);
        const std::u16string_view n = cur_.text;
        advance();
        return n;
    }

    void end() {
        if (isPunct(u';')) advance();
        if (cur_.kind != Tok::End) fail("unexpected text after the end of the statement");
    }

    static bool isReserved(std::u16string_view w) {
        for (const char16_t* k : {u"SELECT", u"FROM", u"TABLE", u"VALUES", u"INTO", u"WHERE"})
            if (equalsIgnoreCase(w, k)) return true;
        return false;
    }
    bool isKeyword(std::u16string_view k) const { return cur_.kind == Tok::Word && equalsIgnoreCase(cur_.text, k); }
    bool isPunct(char16_t c) const { return cur_.kind == Tok::Punct && cur_.text[0] == c; }
    void keyword(std::u16string_view k) {
        if (!isKeyword(k)) fail("expected " + toUtf8(k));
        advance();
    }
    void punct(char16_t c, const char* what) {
        if (!isPunct(c)) fail(std::string("expected ") + what);
        advance();
    }
    void advance() { cur_ = lex_.next(); }
    [[noreturn]] void fail(const std::string& what) const {
        std::string near = cur_.kind == Tok::End ? "the end of the statement" : "'" + toUtf8(cur_.text) + "'";
        throw SyntaxError("syntax error: " + what + ", found " + near + " at character " + std::to_string(cur_.at + 1));
    }

    Lexer lex_;
    Token cur_;
};

// "A1" -> (row 0, column 0); false if not a cell reference within IV65536.
bool parseCell(std::u16string_view s, std::uint32_t& row, std::uint32_t& column) {
    std::size_t i = 0;
    std::uint32_t col = 0;
    while (i < s.size() && i < 3) {
        char16_t c = foldCase(s[i]);
        if (c < u'A' || c > u'Z') break;
        col = col * 26 + static_cast<std::uint32_t>(c - u'A' + 1);
        ++i;
    }
    if (i == 0 || i > 2 || i == s.size() || col > 256) return false;
    std::uint32_t r = 0;
    for (std::size_t j = i; j < s.size(); ++j) {
        if (s[j] < u'0' || s[j] > u'9' || (j == i && s[j] == u'0')) return false;
        r = r * 10 + static_cast<std::uint32_t>(s[j] - u'0');
        if (r > 65536) return false;
    }
    row = r - 1;
    column = col - 1;
    return true;
}

}  // namespace

TableRef parseTableName(std::u16string_view text) {
    TableRef t;
    t.text = text;
    t.sheet = text;
    const std::size_t dollar = text.rfind(u'$');
    if (dollar == std::u16string_view::npos) return t;
    const std::u16string_view range = text.substr(dollar + 1);
    if (range.empty()) {
        t.sheet = text.substr(0, dollar);
        t.dollar = true;
        return t;
    }
    const std::size_t colon = range.find(u':');
    std::uint32_t r0, c0, r1, c1;
    const bool ok = colon == std::u16string_view::npos
                        ? parseCell(range, r0, c0) && (r1 = r0, c1 = c0, true)
                        : parseCell(range.substr(0, colon), r0, c0) && parseCell(range.substr(colon + 1), r1, c1);
    if (!ok) return t;  // the "$" belongs to the name
    t.sheet = text.substr(0, dollar);
    t.dollar = true;
    t.firstRow = std::min(r0, r1), t.lastRow = std::max(r0, r1);
    t.firstColumn = std::min(c0, c1), t.lastColumn = std::max(c0, c1);
    return t;
}

Statement parseStatement(std::u16string_view sql, std::forward_list<std::u16string>& storage) {
    return Parser(sql, storage).statement();
}

namespace {

// A cursor over a statement for scanBulkInsert; every step says whether the text had
// what was asked for. Whitespace and word characters are the lexer's.
class Scanner {
public:
    explicit Scanner(std::u16string_view s) : s_(s) {}

    std::size_t position() const { return i_; }
    void skipSpace() {
        while (i_ < s_.size() && (s_[i_] == u' ' || s_[i_] == u'\t' || s_[i_] == u'\r' || s_[i_] == u'\n')) ++i_;
    }
    bool atEnd() const { return i_ == s_.size(); }
    bool punct(char16_t c) {
        skipSpace();
        if (i_ >= s_.size() || s_[i_] != c) return false;
        ++i_;
        return true;
    }
    // A whole word, in any letter case (`k` in capitals).
    bool keyword(std::u16string_view k) {
        skipSpace();
        if (s_.size() - i_ < k.size()) return false;
        for (std::size_t j = 0; j < k.size(); ++j) {
            const char16_t c = s_[i_ + j];
            if (c != k[j] && c != k[j] + (u'a' - u'A')) return false;
        }
        if (i_ + k.size() < s_.size() && isWordChar(s_[i_ + k.size()])) return false;
        i_ += k.size();
        return true;
    }
    // "[name]": the name.
    bool bracketed(std::u16string_view& name) {
        skipSpace();
        if (i_ >= s_.size() || s_[i_] != u'[') return false;
        const std::size_t end = s_.find(u']', i_ + 1);
        if (end == std::u16string_view::npos) return false;
        name = s_.substr(i_ + 1, end - i_ - 1);
        i_ = end + 1;
        return true;
    }
    // A string literal; with doubled quotes its text is unescaped to the end of `unescaped`,
    // whose capacity the caller has made large enough that appending never moves it.
    bool literal(std::u16string_view& value, std::u16string& unescaped) {
        skipSpace();
        if (i_ >= s_.size() || s_[i_] != u'\'') return false;
        const std::size_t begin = ++i_;
        std::size_t quote = s_.find(u'\'', i_);
        if (quote == std::u16string_view::npos) return false;
        if (quote + 1 >= s_.size() || s_[quote + 1] != u'\'') {
            value = s_.substr(begin, quote - begin);
            i_ = quote + 1;
            return true;
        }
        const std::size_t start = unescaped.size();
        for (;;) {
            if (quote + 1 < s_.size() && s_[quote + 1] == u'\'') {
                unescaped.append(s_.substr(i_, quote + 1 - i_));  // the text and one quote
                i_ = quote + 2;
            } else {
                unescaped.append(s_.substr(i_, quote - i_));
                i_ = quote + 1;
                value = std::u16string_view(unescaped).substr(start);
                return true;
            }
            quote = s_.find(u'\'', i_);
            if (quote == std::u16string_view::npos) return false;
        }
    }

private:
    std::u16string_view s_;
    std::size_t i_ = 0;
};

}  // namespace

bool scanBulkInsert(std::u16string_view sql, BulkInsert& out, std::u16string& unescaped) {
    out.columns.clear();
    out.values.clear();
    out.longestValue = 0;
    unescaped.clear();
    unescaped.reserve(sql.size());
    Scanner in(sql);
    if (!in.keyword(u"INSERT") || !in.keyword(u"INTO") || !in.bracketed(out.table)) return false;
    in.skipSpace();
    const std::size_t listStart = in.position();
    if (!in.punct(u'(')) return false;
    do {
        std::u16string_view name;
        if (!in.bracketed(name)) return false;
        out.columns.push_back(name);
    } while (in.punct(u','));
    if (!in.punct(u')')) return false;
    out.columnList = sql.substr(listStart, in.position() - listStart);
    if (!in.keyword(u"VALUES") || !in.punct(u'(')) return false;
    do {
        std::u16string_view value;
        if (!in.literal(value, unescaped)) return false;
        out.values.push_back(value);
        out.longestValue = std::max(out.longestValue, value.size());
    } while (in.punct(u','));
    if (!in.punct(u')')) return false;
    in.punct(u';');
    in.skipSpace();
    return in.atEnd();
}

}  // namespace vorlix::xls::detail
