#include "datapanel/SqlTokens.h"

using namespace Qt::StringLiterals;

bool SqlToken::isWord(QStringView lowerWord) const
{
    return kind == Kind::word && text.compare(lowerWord, Qt::CaseInsensitive) == 0;
}

namespace SqlTokens {
namespace {

bool isWordStart(QChar c)
{
    return c.isLetter() || c == u'_';
}

bool isWordPart(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

class Lexer {
public:
    explicit Lexer(const QString &sql) : sql_(sql) {}

    QList<SqlToken> run()
    {
        while (pos_ < sql_.size()) {
            const QChar c = sql_[pos_];
            if (c.isSpace()) {
                ++pos_;
            } else if (sql_.mid(pos_, 2) == u"--"_s) {
                const qsizetype end = sql_.indexOf(u'\n', pos_);
                pos_ = end < 0 ? sql_.size() : end + 1;
            } else if (sql_.mid(pos_, 2) == u"/*"_s) {
                skipBlockComment();
            } else if (c == u'\'') {
                quoted(SqlToken::Kind::string, u'\'', false);
            } else if ((c == u'E' || c == u'e') && peek(1) == u'\'' && !followsWord()) {
                ++pos_;
                quoted(SqlToken::Kind::string, u'\'', true, pos_ - 1);
            } else if ((c == u'N' || c == u'n') && peek(1) == u'\'' && !followsWord()) {
                ++pos_; // SQL Server's national strings
                quoted(SqlToken::Kind::string, u'\'', false, pos_ - 1);
            } else if (c == u'"') {
                quoted(SqlToken::Kind::quoted, u'"', false);
            } else if (c == u'`') {
                quoted(SqlToken::Kind::quoted, u'`', false);
            } else if (c == u'[' && !subscriptCanFollow()) {
                quoted(SqlToken::Kind::quoted, u']', false);
            } else if (c == u'$' && dollarQuoted()) {
            } else if (isWordStart(c)) {
                const qsizetype start = pos_;
                while (pos_ < sql_.size() && isWordPart(sql_[pos_]))
                    ++pos_;
                add(SqlToken::Kind::word, sql_.sliced(start, pos_ - start), start);
            } else if (c.isDigit() || (c == u'.' && peek(1).isDigit())) {
                number();
            } else {
                punctuation(c);
            }
        }
        return tokens_;
    }

private:
    QChar peek(qsizetype ahead) const
    {
        return pos_ + ahead < sql_.size() ? sql_[pos_ + ahead] : QChar();
    }

    bool followsWord() const { return pos_ > 0 && isWordPart(sql_[pos_ - 1]); }

    // "[" after a name, a closing bracket or ARRAY is a subscript or an array, not a name.
    bool subscriptCanFollow() const
    {
        if (tokens_.isEmpty())
            return false;
        const SqlToken &last = tokens_.constLast();
        return (last.kind == SqlToken::Kind::word && !isPrecedingKeyword(last)) ||
               last.kind == SqlToken::Kind::quoted || last.kind == SqlToken::Kind::close;
    }

    static bool isPrecedingKeyword(const SqlToken &t)
    {
        for (const auto *word : {u"select", u"as", u"distinct", u"by", u"from", u"join", u"on",
                                 u"where", u"and", u"or", u"when", u"then", u"else"})
            if (t.isWord(word))
                return true;
        return false;
    }

    void add(SqlToken::Kind kind, const QString &text, qsizetype start)
    {
        tokens_.append({kind, text, start, pos_});
    }

    void skipBlockComment()
    {
        int depth = 0;
        while (pos_ < sql_.size()) {
            if (sql_.mid(pos_, 2) == u"/*"_s) {
                ++depth;
                pos_ += 2;
            } else if (sql_.mid(pos_, 2) == u"*/"_s) {
                pos_ += 2;
                if (--depth == 0)
                    return;
            } else {
                ++pos_;
            }
        }
    }

    // From the opening quote at pos_ past its closing one; a doubled closing quote is one quote
    // of the content. Unterminated: to the end of the text.
    void quoted(SqlToken::Kind kind, QChar close, bool backslashEscapes, qsizetype start = -1)
    {
        if (start < 0)
            start = pos_;
        ++pos_;
        QString content;
        while (pos_ < sql_.size()) {
            const QChar c = sql_[pos_++];
            if (backslashEscapes && c == u'\\' && pos_ < sql_.size()) {
                content.append(sql_[pos_++]);
            } else if (c == close) {
                if (pos_ < sql_.size() && sql_[pos_] == close) {
                    content.append(close);
                    ++pos_;
                } else {
                    break;
                }
            } else {
                content.append(c);
            }
        }
        add(kind, content, start);
    }

    // A PostgreSQL $tag$...$tag$ string; false (nothing read) when the "$" opens none.
    bool dollarQuoted()
    {
        qsizetype end = pos_ + 1;
        while (end < sql_.size() && (sql_[end].isLetterOrNumber() || sql_[end] == u'_'))
            ++end;
        if (end >= sql_.size() || sql_[end] != u'$' || (end > pos_ + 1 && sql_[pos_ + 1].isDigit()))
            return false;
        const QString tag = sql_.sliced(pos_, end + 1 - pos_);
        const qsizetype start = pos_;
        const qsizetype close = sql_.indexOf(tag, end + 1);
        const qsizetype contentEnd = close < 0 ? sql_.size() : close;
        pos_ = close < 0 ? sql_.size() : close + tag.size();
        add(SqlToken::Kind::string, sql_.sliced(end + 1, contentEnd - end - 1), start);
        return true;
    }

    void number()
    {
        const qsizetype start = pos_;
        while (pos_ < sql_.size() &&
               (sql_[pos_].isLetterOrNumber() || sql_[pos_] == u'.' || sql_[pos_] == u'_')) {
            // an exponent's sign belongs to the number
            if ((sql_[pos_] == u'e' || sql_[pos_] == u'E') && (peek(1) == u'+' || peek(1) == u'-'))
                ++pos_;
            ++pos_;
        }
        add(SqlToken::Kind::number, sql_.sliced(start, pos_ - start), start);
    }

    void punctuation(QChar c)
    {
        const qsizetype start = pos_++;
        switch (c.unicode()) {
        case u'(':
        case u'[':
            return add(SqlToken::Kind::open, c, start);
        case u')':
        case u']':
            return add(SqlToken::Kind::close, c, start);
        case u',':
            return add(SqlToken::Kind::comma, c, start);
        case u'.':
            return add(SqlToken::Kind::period, c, start);
        case u';':
            return add(SqlToken::Kind::semicolon, c, start);
        case u':':
            if (pos_ < sql_.size() && sql_[pos_] == u':') {
                ++pos_;
                return add(SqlToken::Kind::cast, u"::"_s, start);
            }
            break;
        default:
            break;
        }
        // operators run together: <=, ||, ->>, ...
        static const QString operatorChars = u"+-*/<>=~!@#%^&|`?"_s;
        if (operatorChars.contains(c) && c != u'*')
            while (pos_ < sql_.size() && operatorChars.contains(sql_[pos_]) &&
                   sql_.mid(pos_, 2) != u"--"_s && sql_.mid(pos_, 2) != u"/*"_s)
                ++pos_;
        add(SqlToken::Kind::symbol, sql_.sliced(start, pos_ - start), start);
    }

    const QString &sql_;
    qsizetype pos_ = 0;
    QList<SqlToken> tokens_;
};

} // namespace

QList<SqlToken> tokenize(const QString &sql)
{
    return Lexer(sql).run();
}

} // namespace SqlTokens
